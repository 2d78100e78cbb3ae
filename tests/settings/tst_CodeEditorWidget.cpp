#include "CodeEditorWidget.h"
#include "LineNumberAreaWidget.h"
#include "SyntaxFormatModel.h"

#include <QTest>
#include <QTextBlock>

#include <stdexcept>

namespace {

void placeCursor(CodeEditorWidget& editor, int line, int column)
{
    QTextCursor cursor(editor.document()->findBlockByNumber(line));
    cursor.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, column);
    editor.setTextCursor(cursor);
}

} // namespace

class CodeEditorWidgetTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void refusesMisuseWithInvalidArgument()
    {
        CodeEditorWidget editor;
        editor.setTabWidth(3);
        try {
            editor.setTabWidth(0);
            QFAIL("no exception");
        } catch (const std::invalid_argument& error) {
            QCOMPARE(QString::fromLatin1(error.what()), QStringLiteral("Tab width must be >= 1"));
        }
        QCOMPARE(editor.getTabWidth(), 3);
        QCOMPARE(editor.getIndentLevelBySymbol(QLatin1Char('\t')), 3);
        QVERIFY_EXCEPTION_THROWN(editor.getIndentLevelBySymbol(QLatin1Char('x')), std::invalid_argument);
        QVERIFY_EXCEPTION_THROWN(LineNumberAreaWidget(nullptr), std::invalid_argument);
    }

    void indentsOnKeys_data()
    {
        QTest::addColumn<int>("indentType");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("expected");
        const int spaces = CodeEditorWidget::Spaces;
        const int tabs = CodeEditorWidget::Tabs;
        QTest::newRow("tab: width spaces, no tab stop") << spaces << "abc" << 3 << int(Qt::Key_Tab) << "abc    ";
        QTest::newRow("backspace: six spaces lose two") << spaces << "      x" << 6 << int(Qt::Key_Backspace) << "    x";
        QTest::newRow("backspace: tab stays in line") << spaces << "a\n\tb" << 1 << int(Qt::Key_Backspace) << "a\nb";
        QTest::newRow("enter: spaces") << spaces << "\t  x" << 4 << int(Qt::Key_Return) << "\t  x\n      ";
        QTest::newRow("enter: tabs drop the rest") << tabs << "\t  x" << 4 << int(Qt::Key_Return) << "\t  x\n\t";
    }

    void indentsOnKeys()
    {
        QFETCH(int, indentType);
        QFETCH(QString, text);
        QFETCH(int, column);
        QFETCH(int, key);
        QFETCH(QString, expected);
        CodeEditorWidget editor;
        editor.setIndentType(CodeEditorWidget::IndentType(indentType));
        editor.setPlainText(text);
        placeCursor(editor, editor.document()->blockCount() - 1, column);
        QTest::keyClick(&editor, Qt::Key(key));
        QCOMPARE(editor.toPlainText(), expected);
    }

    void textLightnessPicksScheme()
    {
        CodeEditorWidget editor;
        QPalette palette = editor.palette();
        palette.setColor(QPalette::Text, QColor::fromHsl(0, 0, 126));
        editor.setPalette(palette);
        QCOMPARE(editor.syntaxFormatModel()->currentName(), SyntaxFormatModel::LightScheme);
        palette.setColor(QPalette::Text, QColor::fromHsl(0, 0, 127));
        editor.setPalette(palette);
        QCOMPARE(editor.syntaxFormatModel()->currentName(), SyntaxFormatModel::DarkScheme);
    }
};

QTEST_MAIN(CodeEditorWidgetTest)
#include "tst_CodeEditorWidget.moc"
