#include "CodeEditorDialog.h"
#include "CodeEditorWidget.h"
#include "Config.h"
#include "ConfigOption.h"
#include "FileButton.h"
#include "HexSpinBox.h"
#include "Notifier.h"
#include "NumpadDialog.h"
#include "tst_ConfigOption_Modal.h"

#include <QApplication>
#include <QCheckBox>
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

/// "value|text" adds a pair, anything else a plain item.
void addItems(ConfigOption& option, const QStringList& items)
{
    for (const QString& item : items) {
        const int bar = item.indexOf(QLatin1Char('|'));
        if (bar >= 0)
            option << qMakePair(item.left(bar), item.mid(bar + 1));
        else
            option << item;
    }
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
        addItems(option, items);
    }
};

} // namespace

class ConfigOptionTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void roundTripsEditedValues_data();
    void roundTripsEditedValues();
    void leavesUneditedValuesAlone_data() { roundTripsEditedValues_data(); }
    void leavesUneditedValuesAlone();
    void writesAfterRealEditAndOnlyOnce();
    void hexEditorShowsStoredBase_data();
    void hexEditorShowsStoredBase();
    void rangeRereadsStoredValue();
    void editableChoiceModelFallsBackToText();
    void checkListCreatesMissingKey();
    void restartFlagComparesWithTextReadAtBuild();
    void editorKindsAndSizes();
    void boolIndicatorFollowsFont();
    void fileFilterNamesTheSuffix();
    void everyEditorChangeReachesNotifier();
    void tooltipGoesToLabel();
    void codeEditorWritesBackOnSaveOnly();
    void keyboardButtonFillsLineEdit();
    void numpadButtonSetsSpinBox();
};

void ConfigOptionTest::roundTripsEditedValues_data()
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
    row("bool nah", O::Bool, "nah", "false");
    row("bool YES is no word", O::Bool, "YES", "false");
    row("slider", O::Slider, "42", "42");
    row("real big", O::Real, "1234567", "1234567", {}, "mm");
    row("real all digits", O::Real, "1234567.12345", "1234567.12345");
    row("real five decimals", O::Real, "0.123456789", "0.12346");
    row("real negative", O::Real, "-0.5", "-0.5");
    row("integer", O::Integer, "1234567", "1234567", {}, "rpm");
    row("integer not a number", O::Integer, "abc", "0");
    row("colour rgb", O::Colour, "10,20,30", "#0a141e");
    row("colour name", O::Colour, "red", "#ff0000");
    row("colour hash", O::Colour, "#ABCDEF", "#abcdef");
    row("colour letters", O::Colour, "a,b,c", "#000000");
    row("colour empty removes", O::Colour, "", nullptr);
    row("colour out of range removes", O::Colour, "300,0,0", nullptr);
    row("file", O::File, "/etc/app/settings.yaml", "/etc/app/settings.yaml");
    row("hex", O::HexInteger, "0x1F", "0x1F");
    row("hex capital prefix", O::HexInteger, "0X1f", "0X1F");
    row("hex top bit", O::HexInteger, "0x80000000", "0x80000000");
    row("hex all ones", O::HexInteger, "0xFFFFFFFF", "0xFFFFFFFF");
    row("hex decimal", O::HexInteger, "31", "31");
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

void ConfigOptionTest::roundTripsEditedValues()
{
    QFETCH(int, kind);
    QFETCH(QString, unit);
    QFETCH(QString, storedText);
    QFETCH(QStringList, items);
    QFETCH(QString, saved);

    // Given an option built from the stored text
    OptionUnderTest subject(kind, unit, storedText, items);
    // When the user touches the editor without changing its value, then saves
    Q_EMIT subject.option.getNotifier()->paramChanged();
    QVERIFY(subject.option.isEdited());
    QVERIFY(!subject.option.save());
    // Then the store holds the editor's value in the stored format
    QCOMPARE(stored(subject.config), saved);
    QVERIFY(!subject.option.isEdited());
}

void ConfigOptionTest::leavesUneditedValuesAlone()
{
    QFETCH(int, kind);
    QFETCH(QString, unit);
    QFETCH(QString, storedText);
    QFETCH(QStringList, items);

    OptionUnderTest subject(kind, unit, storedText, items);
    QVERIFY(!subject.option.isEdited());
    subject.option.save();
    QCOMPARE(stored(subject.config), storedText);
}

void ConfigOptionTest::writesAfterRealEditAndOnlyOnce()
{
    OptionUnderTest subject(ConfigOption::Integer, QString(), QStringLiteral("5"));
    auto* spinBox = subject.editor->findChild<QSpinBox*>();
    spinBox->setValue(6);
    subject.option.save();
    QCOMPARE(stored(subject.config), QStringLiteral("6"));

    // Someone else changes the value; an unedited option does not overwrite it again.
    subject.config.setParam(key, QStringLiteral("9"), node, false);
    subject.option.save();
    QCOMPARE(stored(subject.config), QStringLiteral("9"));

    spinBox->setValue(7);
    spinBox->setValue(6);
    subject.option.save();
    QCOMPARE(stored(subject.config), QStringLiteral("6"));
}

void ConfigOptionTest::hexEditorShowsStoredBase_data()
{
    QTest::addColumn<QString>("storedText");
    QTest::addColumn<bool>("decimal");
    QTest::addColumn<int>("value");
    QTest::newRow("hex") << "0x1F" << false << 31;
    QTest::newRow("capital prefix is hex") << "0X1F" << false << 31;
    QTest::newRow("decimal") << "31" << true << 31;
    QTest::newRow("above signed range") << "0xFFFFFFF0" << false << -16;
    QTest::newRow("missing") << QString() << true << 0;
}

void ConfigOptionTest::hexEditorShowsStoredBase()
{
    QFETCH(QString, storedText);
    QFETCH(bool, decimal);
    QFETCH(int, value);
    OptionUnderTest subject(ConfigOption::HexInteger, QString(), storedText);
    auto* spinBox = subject.editor->findChild<HexSpinBox*>();
    QPushButton* baseButton = nullptr;
    for (QPushButton* button : subject.editor->findChildren<QPushButton*>()) {
        if (button->isCheckable())
            baseButton = button;
    }
    QVERIFY(baseButton);
    QCOMPARE(spinBox->getUseDecimalBase(), decimal);
    QCOMPARE(spinBox->value(), value);
    QCOMPARE(baseButton->text(), decimal ? QStringLiteral("10") : QStringLiteral("16"));
    QCOMPARE(baseButton->isChecked(), decimal);
    baseButton->toggle();
    QCOMPARE(spinBox->getUseDecimalBase(), !decimal);
    QCOMPARE(baseButton->text(), decimal ? QStringLiteral("16") : QStringLiteral("10"));
}

void ConfigOptionTest::rangeRereadsStoredValue()
{
    OptionUnderTest hex(ConfigOption::HexInteger, QString(), QStringLiteral("0x1FF"));
    hex.option << ConfigOption::Range{0, 100};
    QCOMPARE(hex.editor->findChild<HexSpinBox*>()->value(), 100);
    QVERIFY(!hex.option.isEdited());

    OptionUnderTest slider(ConfigOption::Slider, QString(), QString());
    slider.option << ConfigOption::Range{-10, 10};
    auto* sliderWidget = qobject_cast<QSlider*>(slider.editor.get());
    QCOMPARE(sliderWidget->minimum(), -10);
    QCOMPARE(stored(slider.config), QStringLiteral("0"));

    OptionUnderTest real(ConfigOption::Real, QString(), QStringLiteral("7.5"));
    real.option << ConfigOption::Range{0, 5};
    QCOMPARE(real.editor->findChild<QDoubleSpinBox*>()->value(), 5.0);
}

void ConfigOptionTest::editableChoiceModelFallsBackToText()
{
    OptionUnderTest subject(ConfigOption::EditableChoice, QString(), QStringLiteral("other"));
    QStringListModel model(QStringList{"x", "y"});
    subject.option.setModel(&model);
    QCOMPARE(subject.editor->findChild<QComboBox*>()->currentText(), QStringLiteral("other"));
    subject.option.save();
    QCOMPARE(stored(subject.config), QStringLiteral("other"));
}

void ConfigOptionTest::checkListCreatesMissingKey()
{
    OptionUnderTest subject(ConfigOption::CheckList, QString(), QString(), {"a", "b"});
    QCOMPARE(stored(subject.config), QStringLiteral(""));
    auto* list = qobject_cast<QListWidget*>(subject.editor.get());
    QCOMPARE(list->objectName(), QStringLiteral("QBoxList"));
    QCOMPARE(list->item(0)->checkState(), Qt::Unchecked);
}

void ConfigOptionTest::restartFlagComparesWithTextReadAtBuild()
{
    OptionUnderTest restart(ConfigOption::Text, QString(), QStringLiteral("old"), {}, true);
    QVERIFY(!restart.option.save());
    restart.editor->findChild<QLineEdit*>()->setText(QStringLiteral("new"));
    QVERIFY(restart.option.save());
    QVERIFY(restart.option.save());

    // A range creating the missing key is no change of the user's.
    OptionUnderTest created(ConfigOption::Integer, QString(), QString(), {}, true);
    created.option << ConfigOption::Range{0, 10};
    QVERIFY(!created.option.save());
    created.editor->findChild<QSpinBox*>()->setValue(4);
    QVERIFY(created.option.save());

    OptionUnderTest plain(ConfigOption::Text, QString(), QStringLiteral("old"));
    plain.editor->findChild<QLineEdit*>()->setText(QStringLiteral("new"));
    QVERIFY(!plain.option.save());
    QCOMPARE(stored(plain.config), QStringLiteral("new"));
}

void ConfigOptionTest::editorKindsAndSizes()
{
    OptionUnderTest multiline(ConfigOption::Text, QStringLiteral("multiline"), QStringLiteral("x"));
    QVERIFY(multiline.editor->findChild<QTextEdit*>());
    QCOMPARE(multiline.editor->findChild<QTextEdit*>()->height(), 64);
    QCOMPARE(multiline.editor->minimumHeight(), 100);

    OptionUnderTest capital(ConfigOption::Text, QStringLiteral("Multiline"), QStringLiteral("x"));
    QVERIFY(capital.editor->findChild<QLineEdit*>());
    QVERIFY(!capital.editor->findChild<QTextEdit*>());

    OptionUnderTest real(ConfigOption::Real, QStringLiteral("mm"), QStringLiteral("0.5"));
    auto* spinBox = real.editor->findChild<QDoubleSpinBox*>();
    QCOMPARE(spinBox->suffix(), QStringLiteral(" mm"));
    QCOMPARE(spinBox->locale().groupSeparator(), QChar(0x00A0));
    QVERIFY(spinBox->isGroupSeparatorShown());

    OptionUnderTest unknown(42, QString(), QStringLiteral("x"));
    QVERIFY(unknown.editor);
}

void ConfigOptionTest::boolIndicatorFollowsFont()
{
    const QFont previous = QApplication::font();
    for (const auto& [points, side] : {std::pair<int, QString>{6, "15"}, {10, "22.5"}}) {
        QFont font = previous;
        font.setPointSize(points);
        QApplication::setFont(font);
        OptionUnderTest subject(ConfigOption::Bool, QString(), QStringLiteral("true"));
        QVERIFY(qobject_cast<QCheckBox*>(subject.editor.get())->isChecked());
        QCOMPARE(subject.editor->styleSheet(),
                 QStringLiteral("QCheckBox::indicator { width: %1px; height: %1px; }").arg(side));
    }
    QApplication::setFont(previous);
}

void ConfigOptionTest::fileFilterNamesTheSuffix()
{
    OptionUnderTest yaml(ConfigOption::File, QString(), QStringLiteral("conf/main.yaml"));
    QCOMPARE(qobject_cast<FileButton*>(yaml.editor.get())->getFilter(),
             QStringLiteral("YAML files (*.yaml);;All files (*.*)"));
    OptionUnderTest bare(ConfigOption::File, QString(), QStringLiteral("README"));
    QVERIFY(qobject_cast<FileButton*>(bare.editor.get())->getFilter().startsWith(QStringLiteral(" files (*.)")));
}

void ConfigOptionTest::everyEditorChangeReachesNotifier()
{
    OptionUnderTest multiline(ConfigOption::Text, QStringLiteral("multiline"), QStringLiteral("x"));
    QSignalSpy changed(multiline.option.getNotifier(), &Notifier::paramChanged);
    QTest::keyClicks(multiline.editor->findChild<QTextEdit*>(), QStringLiteral("ab"));
    QCOMPARE(changed.count(), 2);
}

void ConfigOptionTest::tooltipGoesToLabel()
{
    OptionUnderTest subject(ConfigOption::Text, QString(), QStringLiteral("x"));
    subject.option.setToolTip(QStringLiteral("Speed of the motor"));
    QCOMPARE(subject.label->toolTip(), QStringLiteral("Speed of the motor"));
    QVERIFY(subject.editor->toolTip().isEmpty());
}

void ConfigOptionTest::codeEditorWritesBackOnSaveOnly()
{
    // Given a multi-line option whose building object is gone, as in a dialog
    Config config;
    config.setParam(key, QStringLiteral("a: 1"), node, false);
    std::unique_ptr<QWidget> editor;
    {
        ConfigOption temporary(&config, QStringLiteral("Code"), key, ConfigOption::Text, false, node,
                               QStringLiteral("multiline"));
        editor.reset(temporary.getEditorWidget());
        delete temporary.getLabelWidget();
    }
    auto* textEdit = editor->findChild<QTextEdit*>();
    QSignalSpy changed(textEdit, &QTextEdit::textChanged);

    // When the code button's dialog is cancelled, then saved
    ModalAnswer::whenModal("CodeEditorDialog", [](QWidget* dialog) {
        dialog->findChild<CodeEditorWidget*>()->setPlainText(QStringLiteral("dropped"));
        QMetaObject::invokeMethod(dialog, "reject");
    });
    editor->findChild<QPushButton*>()->click();
    QCOMPARE(textEdit->toPlainText(), QStringLiteral("a: 1"));
    QString shownText;
    QString title;
    ModalAnswer::whenModal("CodeEditorDialog", [&](QWidget* dialog) {
        auto* codeEditor = dialog->findChild<CodeEditorWidget*>();
        shownText = codeEditor->toPlainText();
        title = dialog->windowTitle();
        codeEditor->setPlainText(QStringLiteral("a: 2"));
        QMetaObject::invokeMethod(dialog, "accept");
    });
    editor->findChild<QPushButton*>()->click();

    // Then only the saved text reaches the field, and the dialog is gone
    QCOMPARE(shownText, QStringLiteral("a: 1"));
    QCOMPARE(title, QStringLiteral("Edit the code"));
    QCOMPARE(textEdit->toPlainText(), QStringLiteral("a: 2"));
    QVERIFY(changed.count() > 0);
    QVERIFY(textEdit->findChildren<CodeEditorDialog*>().isEmpty());
}

void ConfigOptionTest::keyboardButtonFillsLineEdit()
{
    OptionUnderTest subject(ConfigOption::Text, QString(), QStringLiteral("old"));
    ModalAnswer::whenModal("ScreenKeyboardDialog", [](QWidget* dialog) {
        dialog->findChild<QLineEdit*>()->setText(QStringLiteral("typed on screen"));
        QMetaObject::invokeMethod(dialog, "accept");
    });
    subject.editor->findChild<QPushButton*>()->click();
    QCOMPARE(subject.editor->findChild<QLineEdit*>()->text(), QStringLiteral("typed on screen"));
    QVERIFY(subject.option.isEdited());

    ModalAnswer::whenModal("ScreenKeyboardDialog", [](QWidget* dialog) {
        dialog->findChild<QLineEdit*>()->setText(QStringLiteral("dropped"));
        QMetaObject::invokeMethod(dialog, "reject");
    });
    subject.editor->findChild<QPushButton*>()->click();
    QCOMPARE(subject.editor->findChild<QLineEdit*>()->text(), QStringLiteral("typed on screen"));
}

void ConfigOptionTest::numpadButtonSetsSpinBox()
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
    QCOMPARE(typeSeven.titles(), QStringList{QStringLiteral("Input value")});
    QCOMPARE(padSuffix.trimmed(), QStringLiteral("rpm"));
    QCOMPARE(integer.editor->findChild<QSpinBox*>()->value(), 7);
    QVERIFY(integer.option.isEdited());

    OptionUnderTest real(ConfigOption::Real, QString(), QStringLiteral("1.5"));
    NumpadDialog::AnswerGuard cancel(NumpadDialog::Answer::Reject);
    real.editor->findChild<QPushButton*>()->click();
    QCOMPARE(real.editor->findChild<QDoubleSpinBox*>()->value(), 1.5);
}

QTEST_MAIN(ConfigOptionTest)
#include "tst_ConfigOption.moc"
