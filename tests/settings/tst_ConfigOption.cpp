#include "CodeEditorDialog.h"
#include "CodeEditorWidget.h"
#include "Config.h"
#include "ConfigOption.h"
#include "FileButton.h"
#include "HexSpinBox.h"
#include "Notifier.h"
#include "NumpadDialog.h"
#include "PickColorButton.h"
#include "tst_ConfigOption_Modal.h"

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
    void realKeepsPrecision();
    void hexKeepsFullUnsignedRange();
    void hexEditorShowsStoredBase_data();
    void hexEditorShowsStoredBase();
    void rangeRereadsStoredValue();
    void choiceSelectsStoredItem();
    void editableChoiceModelFallsBackToText();
    void checkListCreatesMissingKey();
    void restartFlagComparesWithTextReadAtBuild();
    void editorKindsAndSizes();
    void boolIndicatorFollowsFont();
    void fileFilterNamesTheSuffix();
    void everyEditorChangeReachesNotifier();
    void tooltipGoesToLabel();
    void codeEditorSaveWritesBack();
    void codeEditorCancelKeepsText();
    void touchButtonsOutliveTheOption();
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

    const QString none;
    QTest::newRow("text") << int(ConfigOption::Text) << "" << "hello world" << QStringList() << "hello world";
    QTest::newRow("multiline") << int(ConfigOption::Text) << "multiline" << "a: 1\nb: 2" << QStringList()
                               << "a: 1\nb: 2";
    QTest::newRow("bool yes") << int(ConfigOption::Bool) << "" << "yes" << QStringList() << "true";
    QTest::newRow("bool nah") << int(ConfigOption::Bool) << "" << "nah" << QStringList() << "false";
    QTest::newRow("bool YES is no word") << int(ConfigOption::Bool) << "" << "YES" << QStringList() << "false";
    QTest::newRow("slider") << int(ConfigOption::Slider) << "" << "42" << QStringList() << "42";
    QTest::newRow("real big") << int(ConfigOption::Real) << "mm" << "1234567" << QStringList() << "1234567";
    QTest::newRow("real five decimals") << int(ConfigOption::Real) << "" << "0.123456789" << QStringList()
                                        << "0.12346";
    QTest::newRow("real negative") << int(ConfigOption::Real) << "" << "-0.5" << QStringList() << "-0.5";
    QTest::newRow("real top of range") << int(ConfigOption::Real) << "" << "2147483647.5" << QStringList()
                                       << "2147483647";
    QTest::newRow("integer") << int(ConfigOption::Integer) << "rpm" << "1234567" << QStringList() << "1234567";
    QTest::newRow("integer negative") << int(ConfigOption::Integer) << "" << "-7" << QStringList() << "-7";
    QTest::newRow("integer not a number") << int(ConfigOption::Integer) << "" << "abc" << QStringList() << "0";
    QTest::newRow("colour rgb") << int(ConfigOption::Colour) << "" << "10,20,30" << QStringList() << "#0a141e";
    QTest::newRow("colour name") << int(ConfigOption::Colour) << "" << "red" << QStringList() << "#ff0000";
    QTest::newRow("colour hash") << int(ConfigOption::Colour) << "" << "#ABCDEF" << QStringList() << "#abcdef";
    QTest::newRow("colour letters") << int(ConfigOption::Colour) << "" << "a,b,c" << QStringList() << "#000000";
    QTest::newRow("colour empty removes") << int(ConfigOption::Colour) << "" << "" << QStringList() << none;
    QTest::newRow("colour out of range removes") << int(ConfigOption::Colour) << "" << "300,0,0" << QStringList()
                                                 << none;
    QTest::newRow("file") << int(ConfigOption::File) << "" << "/etc/app/settings.yaml" << QStringList()
                          << "/etc/app/settings.yaml";
    QTest::newRow("hex") << int(ConfigOption::HexInteger) << "" << "0x1F" << QStringList() << "0x1F";
    QTest::newRow("hex capital prefix") << int(ConfigOption::HexInteger) << "" << "0X1f" << QStringList() << "0X1F";
    QTest::newRow("hex top bit") << int(ConfigOption::HexInteger) << "" << "0x80000000" << QStringList()
                                 << "0x80000000";
    QTest::newRow("hex all ones") << int(ConfigOption::HexInteger) << "" << "0xFFFFFFFF" << QStringList()
                                  << "0xFFFFFFFF";
    QTest::newRow("hex decimal") << int(ConfigOption::HexInteger) << "" << "31" << QStringList() << "31";
    QTest::newRow("hex decimal unsigned") << int(ConfigOption::HexInteger) << "" << "4294967295" << QStringList()
                                          << "4294967295";
    QTest::newRow("hex garbage") << int(ConfigOption::HexInteger) << "" << "zz" << QStringList() << "0";
    QTest::newRow("choice strings") << int(ConfigOption::Choice) << "" << "b" << QStringList{"a", "b", "c"} << "b";
    QTest::newRow("choice strings no match") << int(ConfigOption::Choice) << "" << "zz" << QStringList{"a", "b"}
                                             << "a";
    QTest::newRow("choice pairs") << int(ConfigOption::Choice) << "" << "2" << QStringList{"1|one", "2|two"} << "2";
    QTest::newRow("choice pairs no match") << int(ConfigOption::Choice) << "" << "9" << QStringList{"1|one", "2|two"}
                                           << "";
    QTest::newRow("editable typed") << int(ConfigOption::EditableChoice) << "" << "typed" << QStringList{"a", "b"}
                                    << "typed";
    QTest::newRow("editable pairs") << int(ConfigOption::EditableChoice) << "" << "2"
                                    << QStringList{"1|one", "2|two"} << "2";
    QTest::newRow("check list") << int(ConfigOption::CheckList) << "" << "a;;b" << QStringList{"a", "b", "c"}
                                << "a;b";
    QTest::newRow("check list order") << int(ConfigOption::CheckList) << "" << "c;a" << QStringList{"a", "b", "c"}
                                      << "a;c";
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

void ConfigOptionTest::realKeepsPrecision()
{
    OptionUnderTest subject(ConfigOption::Real, QString(), QStringLiteral("1"));
    auto* spinBox = subject.editor->findChild<QDoubleSpinBox*>();
    QCOMPARE(spinBox->decimals(), 5);
    spinBox->setValue(1234567);
    QCOMPARE(subject.option.getCurrentParamValue(nullptr), QStringLiteral("1234567"));
    spinBox->setValue(0.1);
    QCOMPARE(subject.option.getCurrentParamValue(nullptr), QStringLiteral("0.1"));
    spinBox->setValue(1234567.12345);
    QCOMPARE(subject.option.getCurrentParamValue(nullptr), QStringLiteral("1234567.12345"));
    subject.option.save();
    QCOMPARE(subject.config.getDouble(key, node, 0.0, false), 1234567.12345);
}

void ConfigOptionTest::hexKeepsFullUnsignedRange()
{
    OptionUnderTest subject(ConfigOption::HexInteger, QString(), QStringLiteral("0x0"));
    auto* spinBox = subject.editor->findChild<HexSpinBox*>();
    spinBox->setValue(-1);
    QCOMPARE(subject.option.getCurrentParamValue(nullptr), QStringLiteral("0xFFFFFFFF"));
    spinBox->useDecimalBase(true);
    QCOMPARE(subject.option.getCurrentParamValue(nullptr), QStringLiteral("4294967295"));
    spinBox->setValue(255);
    spinBox->useDecimalBase(false);
    QCOMPARE(subject.option.getCurrentParamValue(nullptr), QStringLiteral("0xFF"));
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

void ConfigOptionTest::choiceSelectsStoredItem()
{
    OptionUnderTest pairs(ConfigOption::Choice, QString(), QStringLiteral("9"), {"1|one", "2|two"});
    QCOMPARE(qobject_cast<QComboBox*>(pairs.editor.get())->currentIndex(), -1);

    OptionUnderTest strings(ConfigOption::Choice, QString(), QStringLiteral("b"), {"a", "b"});
    QCOMPARE(qobject_cast<QComboBox*>(strings.editor.get())->currentText(), QStringLiteral("b"));

    OptionUnderTest editable(ConfigOption::EditableChoice, QString(), QStringLiteral("typed"), {"a", "b"});
    QCOMPARE(editable.editor->findChild<QComboBox*>()->currentText(), QStringLiteral("typed"));
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

    OptionUnderTest colour(ConfigOption::Colour, QString(), QStringLiteral("10,20,30"));
    QCOMPARE(qobject_cast<PickColorButton*>(colour.editor.get())->getColor(), QColor(10, 20, 30));

    OptionUnderTest unknown(42, QString(), QStringLiteral("x"));
    QVERIFY(unknown.editor);
}

void ConfigOptionTest::boolIndicatorFollowsFont()
{
    OptionUnderTest subject(ConfigOption::Bool, QString(), QStringLiteral("true"));
    auto* checkBox = qobject_cast<QCheckBox*>(subject.editor.get());
    QVERIFY(checkBox->isChecked());
    const double side = qMax(2.25 * checkBox->font().pointSizeF(), 15.0);
    QCOMPARE(checkBox->styleSheet(),
             QStringLiteral("QCheckBox::indicator { width: %0px; height: %0px; }").arg(side));
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

    OptionUnderTest slider(ConfigOption::Slider, QString(), QStringLiteral("3"));
    QSignalSpy sliderChanged(slider.option.getNotifier(), &Notifier::paramChanged);
    qobject_cast<QSlider*>(slider.editor.get())->setValue(4);
    QCOMPARE(sliderChanged.count(), 1);
}

void ConfigOptionTest::tooltipGoesToLabel()
{
    OptionUnderTest subject(ConfigOption::Text, QString(), QStringLiteral("x"));
    subject.option.setToolTip(QStringLiteral("Speed of the motor"));
    QCOMPARE(subject.label->toolTip(), QStringLiteral("Speed of the motor"));
    QVERIFY(subject.editor->toolTip().isEmpty());
}

void ConfigOptionTest::codeEditorSaveWritesBack()
{
    OptionUnderTest subject(ConfigOption::Text, QStringLiteral("multiline"), QStringLiteral("a: 1"));
    auto* textEdit = subject.editor->findChild<QTextEdit*>();
    QSignalSpy changed(subject.option.getNotifier(), &Notifier::paramChanged);
    QString shownText;
    QString title;
    ModalAnswer::whenModal("CodeEditorDialog", [&](QWidget* dialog) {
        auto* editor = dialog->findChild<CodeEditorWidget*>();
        shownText = editor->toPlainText();
        title = dialog->windowTitle();
        editor->setPlainText(QStringLiteral("a: 2"));
        QMetaObject::invokeMethod(dialog, "accept");
    });
    ConfigOption::openCodeEditorDialog(textEdit);
    QCOMPARE(shownText, QStringLiteral("a: 1"));
    QCOMPARE(title, QStringLiteral("Edit the code"));
    QCOMPARE(textEdit->toPlainText(), QStringLiteral("a: 2"));
    QVERIFY(changed.count() > 0);
    QVERIFY(textEdit->findChildren<CodeEditorDialog*>().isEmpty());
    subject.option.save();
    QCOMPARE(stored(subject.config), QStringLiteral("a: 2"));
}

void ConfigOptionTest::codeEditorCancelKeepsText()
{
    OptionUnderTest subject(ConfigOption::Text, QStringLiteral("multiline"), QStringLiteral("a: 1"));
    auto* textEdit = subject.editor->findChild<QTextEdit*>();
    ModalAnswer::whenModal("CodeEditorDialog", [](QWidget* dialog) {
        dialog->findChild<CodeEditorWidget*>()->setPlainText(QStringLiteral("changed"));
        QMetaObject::invokeMethod(dialog, "reject");
    });
    ConfigOption::openCodeEditorDialog(textEdit);
    QCOMPARE(textEdit->toPlainText(), QStringLiteral("a: 1"));
    QVERIFY(!subject.option.isEdited());
}

void ConfigOptionTest::touchButtonsOutliveTheOption()
{
    Config config;
    config.setParam(key, QStringLiteral("old"), node, false);
    std::unique_ptr<QWidget> editor;
    {
        ConfigOption temporary(&config, QStringLiteral("Code"), key, ConfigOption::Text, false, node,
                               QStringLiteral("multiline"));
        editor.reset(temporary.getEditorWidget());
        delete temporary.getLabelWidget();
    }
    ModalAnswer::whenModal("CodeEditorDialog", [](QWidget* dialog) {
        dialog->findChild<CodeEditorWidget*>()->setPlainText(QStringLiteral("new"));
        QMetaObject::invokeMethod(dialog, "accept");
    });
    editor->findChild<QPushButton*>()->click();
    QCOMPARE(editor->findChild<QTextEdit*>()->toPlainText(), QStringLiteral("new"));
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
    {
        NumpadDialog::AnswerGuard cancel(NumpadDialog::Answer::Reject);
        real.editor->findChild<QPushButton*>()->click();
    }
    QCOMPARE(real.editor->findChild<QDoubleSpinBox*>()->value(), 1.5);
    NumpadDialog::AnswerGuard typeHalf(0.25);
    real.editor->findChild<QPushButton*>()->click();
    QCOMPARE(real.editor->findChild<QDoubleSpinBox*>()->value(), 0.25);
    real.option.save();
    QCOMPARE(stored(real.config), QStringLiteral("0.25"));
}

QTEST_MAIN(ConfigOptionTest)
#include "tst_ConfigOption.moc"
