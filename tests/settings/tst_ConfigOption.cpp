#include "CodeEditorWidget.h"
#include "Config.h"
#include "ConfigOption.h"
#include "Notifier.h"
#include "TestSupport.h"
#include "YamlConfig.h"
#include "tst_ConfigOption_Modal.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTextEdit>

#include <memory>

namespace {

const QString node = QStringLiteral("node");
const QString key = QStringLiteral("key");

/// The stored text, or a null string when the key is absent.
QString stored(Config& config)
{
    if (!config.getParams(node).contains(key, Qt::CaseInsensitive))
        return QString();
    return config.getParam(key, node, QString(), false);
}

/// Widgets of an option live as long as the test's holder.
struct OptionUnderTest
{
    Config config;
    ConfigOption option;
    std::unique_ptr<QWidget> editor;
    std::unique_ptr<QWidget> label;

    OptionUnderTest(int kind, const QString& unit, const QString& storedText, const QStringList& items = {},
                    bool restartRequired = false)
    {
        if (!storedText.isNull())
            config.setParam(key, storedText, node, false);
        option = ConfigOption(&config, QStringLiteral("Label"), key, ConfigOption::InputType(kind), restartRequired,
                              node, unit);
        editor.reset(option.getEditorWidget());
        label.reset(option.getLabelWidget());
        // "value|text" adds a pair, anything else a plain item.
        for (const QString& item : items) {
            const int bar = item.indexOf(QLatin1Char('|'));
            if (bar >= 0)
                option << qMakePair(item.left(bar), item.mid(bar + 1));
            else
                option << item;
        }
    }
};

/// Answers the next code editor dialog with `text`, accepting or rejecting; `shown` receives
/// its text as the dialog opened.
void answerWithText(const QString& text, bool accept, QString* shown = nullptr)
{
    ModalAnswer::whenModal("CodeEditorDialog", [text, accept, shown](QWidget* dialog) {
        auto* codeEditor = dialog->findChild<CodeEditorWidget*>();
        if (shown)
            *shown = codeEditor->toPlainText();
        codeEditor->setPlainText(text);
        QMetaObject::invokeMethod(dialog, accept ? "accept" : "reject");
    });
}

} // namespace

class ConfigOptionTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void savesEditedValuesInStoredFormatOnly_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("unit");
        QTest::addColumn<QString>("storedText");
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<QString>("saved");
        const auto row = [](const char* name, int kind, const char* stored, const char* saved, QStringList items = {},
                            const char* unit = "") {
            QTest::newRow(name) << kind << QString::fromLatin1(unit) << QString::fromLatin1(stored) << items
                                << (saved ? QString::fromLatin1(saved) : QString());
        };
        using O = ConfigOption;
        row("text", O::Text, "hello world", "hello world");
        row("multiline", O::Text, "a: 1\nb: 2", "a: 1\nb: 2", {}, "multiline");
        row("bool yes", O::Bool, "yes", "true");
        row("bool YES is no word", O::Bool, "YES", "false");
        row("real big", O::Real, "1234567", "1234567", {}, "mm");
        row("real all digits", O::Real, "1234567.12345", "1234567.12345");
        row("real five decimals", O::Real, "0.123456789", "0.12346");
        row("integer not a number", O::Integer, "abc", "0");
        row("colour hash", O::Colour, "#ABCDEF", "#abcdef");
        row("colour empty removes", O::Colour, "", nullptr);
        row("colour out of range removes", O::Colour, "300,0,0", nullptr);
        row("hex capital prefix", O::HexInteger, "0X1f", "0X1F");
        row("hex all ones", O::HexInteger, "0xFFFFFFFF", "0xFFFFFFFF");
        row("hex decimal unsigned", O::HexInteger, "4294967295", "4294967295");
        row("choice strings no match", O::Choice, "zz", "a", {"a", "b"});
        row("choice pairs no match", O::Choice, "9", "", {"1|one", "2|two"});
        row("editable typed", O::EditableChoice, "typed", "typed", {"a", "b"});
        row("check list order", O::CheckList, "c;a", "a;c", {"a", "b", "c"});
    }

    void savesEditedValuesInStoredFormatOnly()
    {
        QFETCH(int, kind);
        QFETCH(QString, unit);
        QFETCH(QString, storedText);
        QFETCH(QStringList, items);
        QFETCH(QString, saved);

        // Given an option built from the stored text
        OptionUnderTest subject(kind, unit, storedText, items);

        // When the editor reports a change that leaves its value as it was, and the option saves
        Q_EMIT subject.option.getNotifier()->paramChanged();
        QVERIFY(!subject.option.isEdited());
        QVERIFY(!subject.option.save());

        // Then the stored text is untouched, and an edit would write the editor's value in the stored format
        QCOMPARE(stored(subject.config), storedText);
        bool valid = true;
        QCOMPARE(subject.option.getCurrentParamValue(&valid), saved.isNull() ? QString("") : saved);
        QCOMPARE(valid, !saved.isNull());
    }

    void savesEveryWayOfEditing_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("storedText");
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<QString>("saved");
        QTest::newRow("check-list item ticked from the keyboard") << int(ConfigOption::CheckList) << "a" << QStringList{"a", "b"} << "a;b";
        QTest::newRow("base switched on a hexadecimal field") << int(ConfigOption::HexInteger) << "0x1F" << QStringList() << "31";
    }

    void savesEveryWayOfEditing()
    {
        QFETCH(int, kind);
        QFETCH(QString, storedText);
        QFETCH(QStringList, items);
        QFETCH(QString, saved);
        OptionUnderTest subject(kind, QString(), storedText, items);

        if (auto* list = qobject_cast<QListWidget*>(subject.editor.get())) {
            list->setCurrentRow(1);
            QTest::keyClick(list, Qt::Key_Space);
        } else {
            subject.editor->findChild<QPushButton*>()->click();
        }

        QVERIFY(subject.option.isEdited());
        subject.option.save();
        QCOMPARE(stored(subject.config), saved);
        QVERIFY(!subject.option.isEdited());
    }

    void writesAfterRealEditAndOnlyOnce()
    {
        OptionUnderTest subject(ConfigOption::Integer, QString(), QStringLiteral("5"));
        auto* spinBox = subject.editor->findChild<QSpinBox*>();
        spinBox->setValue(6);
        QVERIFY(!subject.option.save());
        QCOMPARE(stored(subject.config), QStringLiteral("6"));

        // Someone else changes the value; an unedited option, or an edit taken back, does not overwrite it.
        subject.config.setParam(key, QStringLiteral("9"), node, false);
        subject.option.save();
        spinBox->setValue(7);
        spinBox->setValue(6);
        subject.option.save();
        QCOMPARE(stored(subject.config), QStringLiteral("9"));
    }

    void restartFlagComparesWithTextReadAtBuild()
    {
        OptionUnderTest restart(ConfigOption::Text, QString(), QStringLiteral("old"), {}, true);
        QVERIFY(!restart.option.save());
        restart.editor->findChild<QLineEdit*>()->setText(QStringLiteral("new"));
        QVERIFY(restart.option.save());
        QVERIFY(restart.option.save());

        // A range or item list creating the missing key is no change of the user's.
        OptionUnderTest created(ConfigOption::Integer, QString(), QString(), {}, true);
        created.option << ConfigOption::Range{0, 10};
        QVERIFY(!created.option.save());
        created.editor->findChild<QSpinBox*>()->setValue(4);
        QVERIFY(created.option.save());
        OptionUnderTest list(ConfigOption::CheckList, QString(), QString(), {"a", "b"}, true);
        QCOMPARE(stored(list.config), QStringLiteral(""));
        QVERIFY(!list.option.save());
    }

    void missingNodeReadsAsEmptyAndOnlyTheYamlStoreSaysSo_data()
    {
        QTest::addColumn<bool>("yaml");
        QTest::newRow("in memory") << false;
        QTest::newRow("YAML") << true;
    }

    void missingNodeReadsAsEmptyAndOnlyTheYamlStoreSaysSo()
    {
        QFETCH(bool, yaml);
        std::unique_ptr<Config> config = yaml ? std::make_unique<YamlConfig>() : std::make_unique<Config>();
        TestSupport::LogCapture log;

        ConfigOption option(config.get(), QStringLiteral("Label"), key, ConfigOption::Text, false,
                            QStringLiteral("absent"), QString());
        std::unique_ptr<QWidget> editor(option.getEditorWidget());
        std::unique_ptr<QWidget> label(option.getLabelWidget());

        QCOMPARE(editor->findChild<QLineEdit*>()->text(), QString());
        // The in-memory store logs nothing; the YAML store a warning line naming the path.
        const QStringList warnings = log.messages().filter(QStringLiteral("| WARNING"));
        QCOMPARE(warnings.isEmpty(), !yaml);
        for (const QString& warning : warnings)
            QVERIFY2(warning.contains(QStringLiteral("absent")), qPrintable(warning));
    }

    void unknownKindStillGetsAnEditor()
    {
        OptionUnderTest unknown(42, QString(), QStringLiteral("x"));
        QVERIFY(unknown.editor);
    }

    void codeEditorWritesBackOnAcceptOnly()
    {
        // Given a multi-line option whose building object is gone, as in a dialog
        OptionUnderTest subject(ConfigOption::Text, QStringLiteral("multiline"), QStringLiteral("a: 1"));
        subject.option = ConfigOption();
        auto* textEdit = subject.editor->findChild<QTextEdit*>();

        // When the code button's dialog is cancelled, then accepted
        answerWithText(QStringLiteral("dropped"), false);
        subject.editor->findChild<QPushButton*>()->click();
        QCOMPARE(textEdit->toPlainText(), QStringLiteral("a: 1"));
        QString shownText;
        answerWithText(QStringLiteral("a: 2"), true, &shownText);
        subject.editor->findChild<QPushButton*>()->click();

        // Then the dialog showed the stored text, and only the accepted text reaches the field
        QCOMPARE(shownText, QStringLiteral("a: 1"));
        QCOMPARE(textEdit->toPlainText(), QStringLiteral("a: 2"));
    }

};

QTEST_MAIN(ConfigOptionTest)
#include "tst_ConfigOption.moc"
