#include "CodeEditorWidget.h"
#include "JsSyntaxHighlighter.h"
#include "QmlSyntaxHighlighter.h"
#include "SyntaxFormatModel.h"
#include "YamlSyntaxHighlighter.h"

#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>

#include <stdexcept>

namespace {

const int noRole = -1;

QTextCharFormat formatAt(QTextDocument* document, int line, int column)
{
    const QTextBlock block = document->findBlockByNumber(line);
    QTextCharFormat found;
    const auto ranges = block.layout()->formats();
    for (const QTextLayout::FormatRange& range : ranges) {
        if (column >= range.start && column < range.start + range.length)
            found = range.format;
    }
    return found;
}

SyntaxHighlighter* attach(const QString& language, CodeEditorWidget* editor)
{
    if (language == QLatin1String("js"))
        return new JsSyntaxHighlighter(editor);
    if (language == QLatin1String("qml"))
        return new QmlSyntaxHighlighter(editor);
    return new YamlSyntaxHighlighter(editor);
}

} // namespace

class SyntaxHighlighterTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void selectsBothSchemesAndRefusesUnknownOne()
    {
        SyntaxFormatModel model;
        QSignalSpy selected(&model, &SyntaxFormatModel::schemeSelected);
        QCOMPARE(model.schemeNames(), (QStringList{"darkScheme", "lightScheme"}));
        model.selectScheme(SyntaxFormatModel::LightScheme);
        QVERIFY_EXCEPTION_THROWN(model.selectScheme(QStringLiteral("solarized")), std::invalid_argument);
        QCOMPARE(model.currentName(), SyntaxFormatModel::LightScheme);
        // An inserted scheme becomes current without being announced, so nothing is recoloured yet.
        model.insertScheme(QStringLiteral("plain"), SyntaxFormatScheme());
        QCOMPARE(model.currentName(), QStringLiteral("plain"));
        QCOMPARE(selected.count(), 1);
    }

    void highlightsKnownPositions_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("role");
        const auto row = [](const char* name, const char* language, const char* text, int line, int column, int role) {
            QTest::newRow(name) << QString::fromLatin1(language) << QString::fromLatin1(text) << line << column << role;
        };
        using S = SyntaxFormatScheme;
        row("yaml key", "yaml", "enabled: yes", 0, 0, S::PropertyName);
        row("yaml boolean", "yaml", "enabled: yes", 0, 9, S::Keyword);
        row("yaml Yes is no keyword", "yaml", "enabled: Yes", 0, 9, noRole);
        row("yaml time minutes", "yaml", "time: 12:30", 0, 9, S::Number);
        row("yaml hash in string", "yaml", "a: \"x#y\"", 0, 5, S::Comment);
        row("js number before comment", "js", "x = 1; // one", 0, 4, S::Number);
        row("identifier digit", "js", "a = x1;", 0, 5, noRole);
        row("qml qualified function", "qml", "Qt.rgba(1, 0, 0, 1)", 0, 3, S::FunctionName);
    }

    void highlightsKnownPositions()
    {
        QFETCH(QString, language);
        QFETCH(QString, text);
        QFETCH(int, line);
        QFETCH(int, column);
        QFETCH(int, role);

        for (const QString& schemeName : {SyntaxFormatModel::LightScheme, SyntaxFormatModel::DarkScheme}) {
            CodeEditorWidget editor;
            attach(language, &editor);
            editor.setPlainText(text);
            editor.syntaxFormatModel()->selectScheme(schemeName);
            const QTextCharFormat format = formatAt(editor.document(), line, column);
            if (role == noRole) {
                QVERIFY2(!format.hasProperty(QTextFormat::ForegroundBrush), qPrintable(schemeName));
            } else {
                const QTextCharFormat expected = editor.syntaxFormatModel()->currentScheme().format(
                    SyntaxFormatScheme::Role(role));
                QCOMPARE(format.foreground().color(), expected.foreground().color());
                QCOMPARE(format.fontItalic(), expected.fontItalic());
            }
        }
    }

    void blockStatesFollowOpenComments()
    {
        CodeEditorWidget editor;
        new JsSyntaxHighlighter(&editor);
        editor.setPlainText(QStringLiteral("/*/\na /* open\nstill\nend */ b"));
        QTextDocument* document = editor.document();
        QCOMPARE(document->findBlockByNumber(0).userState(), 0);
        QCOMPARE(formatAt(document, 2, 1).foreground().color(),
                 editor.syntaxFormatModel()->currentScheme().format(SyntaxFormatScheme::Comment).foreground().color());

        // Closing the comment on line 1 re-highlights the lines below it.
        QTextCursor cursor(document->findBlockByNumber(1));
        cursor.movePosition(QTextCursor::EndOfBlock);
        cursor.insertText(QStringLiteral(" */"));
        QCOMPARE(document->findBlockByNumber(2).userState(), 0);
        QVERIFY(!formatAt(document, 2, 1).hasProperty(QTextFormat::ForegroundBrush));
    }
};

QTEST_MAIN(SyntaxHighlighterTest)
#include "tst_SyntaxHighlighter.moc"
