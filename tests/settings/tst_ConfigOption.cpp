#include "CodeEditorDialog.h"
#include "CodeEditorWidget.h"
#include "Config.h"
#include "ConfigOption.h"
#include "HexSpinBox.h"
#include "Notifier.h"
#include "NumpadDialog.h"
#include "tst_ConfigOption_Modal.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QSpinBox>
#include <QStringListModel>
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

/// Answers the next modal of `className` with `text` in its editor, accepting or rejecting;
/// `shown` receives the code editor's text as the dialog opened.
void answerWithText(const char* className, const QString& text, bool accept, QString* shown = nullptr)
{
    ModalAnswer::whenModal(className, [text, accept, shown](QWidget* dialog) {
        if (auto* codeEditor = dialog->findChild<CodeEditorWidget*>()) {
            if (shown)
                *shown = codeEditor->toPlainText();
            codeEditor->setPlainText(text);
        } else
            dialog->findChild<QLineEdit*>()->setText(text);
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
        row("slider", O::Slider, "42", "42");
        row("real big", O::Real, "1234567", "1234567", {}, "mm");
        row("real all digits", O::Real, "1234567.12345", "1234567.12345");
        row("real five decimals", O::Real, "0.123456789", "0.12346");
        row("integer", O::Integer, "1234567", "1234567", {}, "rpm");
        row("integer not a number", O::Integer, "abc", "0");
        row("colour rgb", O::Colour, "10,20,30", "#0a141e");
        row("colour name", O::Colour, "red", "#ff0000");
        row("colour hash", O::Colour, "#ABCDEF", "#abcdef");
        row("colour empty removes", O::Colour, "", nullptr);
        row("colour out of range removes", O::Colour, "300,0,0", nullptr);
        row("file", O::File, "/etc/app/settings.yaml", "/etc/app/settings.yaml");
        row("hex capital prefix", O::HexInteger, "0X1f", "0X1F");
        row("hex top bit", O::HexInteger, "0x80000000", "0x80000000");
        row("hex all ones", O::HexInteger, "0xFFFFFFFF", "0xFFFFFFFF");
        row("hex decimal unsigned", O::HexInteger, "4294967295", "4294967295");
        row("hex garbage", O::HexInteger, "zz", "0");
        row("choice strings", O::Choice, "b", "b", {"a", "b", "c"});
        row("choice strings no match", O::Choice, "zz", "a", {"a", "b"});
        row("choice pairs", O::Choice, "2", "2", {"1|one", "2|two"});
        row("choice pairs no match", O::Choice, "9", "", {"1|one", "2|two"});
        row("editable typed", O::EditableChoice, "typed", "typed", {"a", "b"});
        row("editable pairs", O::EditableChoice, "2", "2", {"1|one", "2|two"});
        row("check list", O::CheckList, "a;;b", "a;b", {"a", "b", "c"});
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
        QSignalSpy changed(subject.option.getNotifier(), &Notifier::paramChanged);

        if (auto* list = qobject_cast<QListWidget*>(subject.editor.get())) {
            list->setCurrentRow(1);
            QTest::keyClick(list, Qt::Key_Space);
        } else {
            subject.editor->findChild<QPushButton*>()->click();
        }

        QVERIFY(changed.count() > 0);
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

        // Someone else changes the value; an unedited option does not overwrite it again.
        subject.config.setParam(key, QStringLiteral("9"), node, false);
        subject.option.save();
        QCOMPARE(stored(subject.config), QStringLiteral("9"));

        // An edit taken back is no edit either
        spinBox->setValue(7);
        spinBox->setValue(6);
        QVERIFY(!subject.option.isEdited());
        subject.option.save();
        QCOMPARE(stored(subject.config), QStringLiteral("9"));
        spinBox->setValue(8);
        subject.option.save();
        QCOMPARE(stored(subject.config), QStringLiteral("8"));
    }

    void rangeRereadsStoredValue()
    {
        OptionUnderTest hex(ConfigOption::HexInteger, QString(), QStringLiteral("0x1FF"));
        hex.option << ConfigOption::Range{0, 100};
        QCOMPARE(hex.editor->findChild<HexSpinBox*>()->value(), 100);
        QVERIFY(!hex.option.isEdited());

        OptionUnderTest slider(ConfigOption::Slider, QString(), QString());
        slider.option << ConfigOption::Range{-10, 10};
        QCOMPARE(qobject_cast<QSlider*>(slider.editor.get())->minimum(), -10);
        QCOMPARE(stored(slider.config), QStringLiteral("0"));
    }

    void editableChoiceModelFallsBackToText()
    {
        OptionUnderTest subject(ConfigOption::EditableChoice, QString(), QStringLiteral("other"));
        QStringListModel model(QStringList{"x", "y"});
        subject.option.setModel(&model);
        QCOMPARE(subject.editor->findChild<QComboBox*>()->currentText(), QStringLiteral("other"));
        subject.option.save();
        QCOMPARE(stored(subject.config), QStringLiteral("other"));
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

    void editorsFollowUnitAndReportEveryChange()
    {
        OptionUnderTest multiline(ConfigOption::Text, QStringLiteral("multiline"), QStringLiteral("x"));
        QSignalSpy changed(multiline.option.getNotifier(), &Notifier::paramChanged);
        QTest::keyClicks(multiline.editor->findChild<QTextEdit*>(), QStringLiteral("ab"));
        QCOMPARE(changed.count(), 2);
        OptionUnderTest real(ConfigOption::Real, QStringLiteral("mm"), QStringLiteral("0.5"));
        QCOMPARE(real.editor->findChild<QDoubleSpinBox*>()->suffix(), QStringLiteral(" mm"));
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
        answerWithText("CodeEditorDialog", QStringLiteral("dropped"), false);
        subject.editor->findChild<QPushButton*>()->click();
        QCOMPARE(textEdit->toPlainText(), QStringLiteral("a: 1"));
        QString shownText;
        answerWithText("CodeEditorDialog", QStringLiteral("a: 2"), true, &shownText);
        subject.editor->findChild<QPushButton*>()->click();

        // Then the dialog showed the stored text, only the accepted text reaches the field, and the dialog is gone
        QCOMPARE(shownText, QStringLiteral("a: 1"));
        QCOMPARE(textEdit->toPlainText(), QStringLiteral("a: 2"));
        QVERIFY(textEdit->findChildren<CodeEditorDialog*>().isEmpty());
    }

    void keyboardButtonFillsLineEdit()
    {
        OptionUnderTest subject(ConfigOption::Text, QString(), QStringLiteral("old"));
        answerWithText("ScreenKeyboardDialog", QStringLiteral("typed on screen"), true);
        subject.editor->findChild<QPushButton*>()->click();
        QVERIFY(subject.option.isEdited());
        answerWithText("ScreenKeyboardDialog", QStringLiteral("dropped"), false);
        subject.editor->findChild<QPushButton*>()->click();
        QCOMPARE(subject.editor->findChild<QLineEdit*>()->text(), QStringLiteral("typed on screen"));
    }

    void numpadButtonSetsSpinBox()
    {
        OptionUnderTest integer(ConfigOption::Integer, QStringLiteral("rpm"), QStringLiteral("5"));
        integer.option << ConfigOption::Range{0, 1000};
        QString padSuffix;
        NumpadDialog::AnswerGuard typeSeven([&](NumpadDialog& pad) {
            auto* spinBox = qobject_cast<QSpinBox*>(pad.editor());
            padSuffix = spinBox->suffix();
            spinBox->setValue(7);
            return NumpadDialog::Answer::Accept;
        });
        integer.editor->findChild<QPushButton*>()->click();
        QCOMPARE(padSuffix.trimmed(), QStringLiteral("rpm"));
        QCOMPARE(integer.editor->findChild<QSpinBox*>()->value(), 7);
        QVERIFY(integer.option.isEdited());
    }
};

QTEST_MAIN(ConfigOptionTest)
#include "tst_ConfigOption.moc"
