#include "ConfigOption.h"

#include "CodeEditorDialog.h"
#include "Config.h"
#include "FileButton.h"
#include "HexSpinBox.h"
#include "Notifier.h"
#include "NumpadDialog.h"
#include "PickColorButton.h"
#include "ScreenKeyboardDialog.h"
#include "TouchScrollMaker.h"
#include "ZenticDoubleSpinBox.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDebug>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTextEdit>

#include <climits>
#include <stdexcept>

// What the editor showed once set up or last written, against which its value tells
// whether the user edited it, however the edit was made. Shared by every copy of one
// option, like its Notifier.
struct ConfigOption::EditState
{
    QString shownValue;
    bool shownValid = true;
    // The stored text once set-up is done: a range or item list may have created a
    // missing key, which is no change of the user's and needs no restart.
    QString storedWhenConfigured;
};

namespace {

const QString multilineUnit = QStringLiteral("multiline");

QLocale numberLocale()
{
    QLocale locale(QLocale::Zarma, QLocale::Niger);
    locale.setNumberOptions(locale.numberOptions() & ~QLocale::OmitGroupSeparator);
    return locale;
}

int lineHeight()
{
    return QFontMetrics(QApplication::font()).height();
}

QPushButton* makeFlatIconButton(const QString& icon, const QString& name)
{
    auto* button = new QPushButton;
    button->setAccessibleName(name);
    button->setToolTip(name);
    button->setFocusPolicy(Qt::NoFocus);
    button->setIcon(QIcon(icon));
    button->setStyleSheet(QStringLiteral("background: transparent; border: 0px"));
    const int side = 2 * QApplication::font().pointSize();
    button->setFixedWidth(side);
    button->setFixedHeight(side);
    button->setIconSize(QSize(side, side));
    return button;
}

// The button keeps only the spin box: the option that built it is usually a temporary.
QPushButton* makeNumpadButton(QAbstractSpinBox* spinBox)
{
    QPushButton* button = makeFlatIconButton(QStringLiteral(":/icons/dozerozozu_numpad"),
                                             QCoreApplication::translate("QObject", "Open numeric pad"));
    QObject::connect(button, &QPushButton::clicked, button,
                     [box = QPointer<QAbstractSpinBox>(spinBox)] { ConfigOption::openScreenNumpadDialog(box); });
    return button;
}

QWidget* makeContainer(QWidget* editor, QPushButton* touchButton)
{
    auto* container = new QWidget;
    auto* layout = new QGridLayout(container);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(editor, 0, 0);
    layout->addWidget(touchButton, 0, 1, Qt::AlignVCenter);
    return container;
}

int boundedInt(double value)
{
    return int(qBound(double(INT_MIN), value, double(INT_MAX)));
}

bool isHexText(const QString& text)
{
    // Both spellings of the prefix are hexadecimal: "0X1F" is not the decimal number 0.
    return text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive);
}

QColor parseColour(const QString& text)
{
    const QStringList parts = text.split(QLatin1Char(','), Qt::SkipEmptyParts);
    if (parts.size() == 3) {
        int rgb[3];
        for (int i = 0; i < 3; ++i) {
            rgb[i] = int(parts.at(i).toDouble());
            if (rgb[i] < 0 || rgb[i] > 255)
                return QColor();
        }
        return QColor(rgb[0], rgb[1], rgb[2], 255);
    }
    QColor colour;
    colour.setNamedColor(text);
    return colour;
}

} // namespace

ConfigOption::ConfigOption() = default;

ConfigOption::ConfigOption(Config* config, QString label, QString key, InputType inputType, bool restartRequired,
                           QString path, QString unit)
    : notifier(std::make_shared<Notifier>())
    , unit(unit)
    , restartRequired(restartRequired)
    , inputType(inputType)
    , key(key)
    , path(path)
    , config(config)
    , editState(std::make_shared<EditState>())
{
    initialValue = config->getParam(key, path, QString(), false);
    labelWidget = new QLabel(label);
    buildEditor(unit.isEmpty() ? QString() : QLatin1Char(' ') + unit);

    const int height = lineHeight();
    labelWidget->setMinimumHeight(int(1.4 * height));
    if (editorWidget) {
        const bool tall = inputType == CheckList || (inputType == Text && unit == multilineUnit);
        editorWidget->setMinimumHeight(tall ? 100 : int(1.4 * height));
    }
    configured();
}

ConfigOption::ConfigOption(const ConfigOption& other) = default;
ConfigOption& ConfigOption::operator=(const ConfigOption& other) = default;
ConfigOption::~ConfigOption() = default;

void ConfigOption::buildEditor(const QString& suffix)
{
    Notifier* changed = notifier.get();
    switch (inputType) {
    case Text:
        if (unit == multilineUnit) {
            auto* textEdit = new QTextEdit;
            textEdit->setPlainText(initialValue);
            textEdit->setFixedHeight(64);
            QObject::connect(textEdit, SIGNAL(textChanged()), changed, SIGNAL(paramChanged()));
            QPushButton* button = makeFlatIconButton(QStringLiteral(":/icons/dozerozozu_devconsole"),
                                                     QCoreApplication::translate("QObject", "Open code editor"));
            QObject::connect(button, &QPushButton::clicked, button,
                             [edit = QPointer<QTextEdit>(textEdit)] { openCodeEditorDialog(edit); });
            editorWidget = makeContainer(textEdit, button);
        } else {
            auto* lineEdit = new QLineEdit(initialValue);
            QObject::connect(lineEdit, SIGNAL(textChanged(QString)), changed, SIGNAL(paramChanged()));
            QPushButton* button = makeFlatIconButton(QStringLiteral(":/icons/dozerozozu_keyboard"),
                                                     QCoreApplication::translate("QObject", "Open on-screen keyboard"));
            QObject::connect(button, &QPushButton::clicked, button,
                             [edit = QPointer<QLineEdit>(lineEdit)] { openScreenKeyboardDialog(edit); });
            editorWidget = makeContainer(lineEdit, button);
        }
        break;
    case Bool: {
        auto* checkBox = new QCheckBox;
        checkBox->setChecked(config->getBool(key, path, false, false));
        checkBox->setSizePolicy(checkBox->sizePolicy().horizontalPolicy(), QSizePolicy::Expanding);
        const double side = qMax(2.25 * checkBox->font().pointSizeF(), 15.0);
        checkBox->setStyleSheet(QStringLiteral("QCheckBox::indicator { width: %0px; height: %0px; }").arg(side));
        QObject::connect(checkBox, SIGNAL(stateChanged(int)), changed, SIGNAL(paramChanged()));
        editorWidget = checkBox;
        break;
    }
    case Choice: {
        auto* comboBox = new QComboBox;
        QObject::connect(comboBox, SIGNAL(currentIndexChanged(int)), changed, SIGNAL(paramChanged()));
        editorWidget = comboBox;
        break;
    }
    case Slider: {
        auto* slider = new QSlider(Qt::Horizontal);
        slider->setSizePolicy(slider->sizePolicy().horizontalPolicy(), QSizePolicy::Expanding);
        slider->setRange(0, 100);
        slider->setPageStep(1);
        slider->setSingleStep(1);
        slider->setValue(config->getInt(key, path, 0, false));
        QObject::connect(slider, SIGNAL(valueChanged(int)), changed, SIGNAL(paramChanged()));
        editorWidget = slider;
        break;
    }
    case Real: {
        auto* spinBox = new ZenticDoubleSpinBox(nullptr);
        spinBox->setLocale(numberLocale());
        spinBox->setGroupSeparatorShown(true);
        spinBox->setRange(-2147483648.0, 2147483647.0);
        spinBox->setDecimals(5);
        spinBox->setValue(config->getDouble(key, path, 0.0, false));
        spinBox->setSuffix(suffix);
        QObject::connect(spinBox, SIGNAL(valueChanged(double)), changed, SIGNAL(paramChanged()));
        editorWidget = makeContainer(spinBox, makeNumpadButton(spinBox));
        break;
    }
    case Integer: {
        auto* spinBox = new QSpinBox;
        spinBox->setLocale(numberLocale());
        spinBox->setGroupSeparatorShown(true);
        spinBox->setRange(INT_MIN, INT_MAX);
        spinBox->setValue(config->getInt(key, path, 0, false));
        spinBox->setSuffix(suffix);
        QObject::connect(spinBox, SIGNAL(valueChanged(int)), changed, SIGNAL(paramChanged()));
        editorWidget = makeContainer(spinBox, makeNumpadButton(spinBox));
        break;
    }
    case CheckList: {
        auto* list = new QListWidget;
        list->setObjectName(QStringLiteral("QBoxList"));
        TouchScrollMaker::activateTouchScroll(list);
        list->setMaximumSize(200, 150);
        // Ticked by mouse or keyboard alike.
        QObject::connect(list, SIGNAL(itemChanged(QListWidgetItem*)), changed, SIGNAL(paramChanged()));
        editorWidget = list;
        break;
    }
    case Colour: {
        auto* button = new PickColorButton(QCoreApplication::translate("QObject", "Change..."), nullptr);
        button->setColor(parseColour(initialValue));
        QObject::connect(button, SIGNAL(colorSelected(QColor)), changed, SIGNAL(paramChanged()));
        editorWidget = button;
        break;
    }
    case EditableChoice: {
        auto* comboBox = new QComboBox;
        comboBox->setInsertPolicy(QComboBox::NoInsert);
        comboBox->setEditable(true);
        QObject::connect(comboBox, SIGNAL(currentTextChanged(QString)), changed, SIGNAL(paramChanged()));
        QPushButton* button = makeFlatIconButton(QStringLiteral(":/icons/dozerozozu_keyboard"),
                                                 QCoreApplication::translate("QObject", "Open on-screen keyboard"));
        QObject::connect(button, &QPushButton::clicked, button,
                         [edit = QPointer<QLineEdit>(comboBox->lineEdit())] { openScreenKeyboardDialog(edit); });
        editorWidget = makeContainer(comboBox, button);
        break;
    }
    case File: {
        const QString suffixOfFile = QFileInfo(initialValue).suffix();
        const QString filter =
            QCoreApplication::translate("QObject", "%0 files (*.%1)").arg(suffixOfFile.toUpper(), suffixOfFile)
            + QStringLiteral(";;") + QCoreApplication::translate("QObject", "All files (*.*)");
        auto* button = new FileButton(initialValue, filter, nullptr);
        QObject::connect(button, SIGNAL(fileSelected()), changed, SIGNAL(paramChanged()));
        editorWidget = button;
        break;
    }
    case HexInteger:
        buildHexEditor();
        break;
    }
    // Unknown kinds still get an editor, so a dialog never lays out a null widget.
    if (!editorWidget)
        editorWidget = new QWidget;
}

int ConfigOption::storedHexValue(const QString& text) const
{
    bool ok = false;
    const quint32 value = isHexText(text) ? text.mid(2).toUInt(&ok, 16) : text.toUInt(&ok, 10);
    return ok ? int(value) : 0;
}

void ConfigOption::buildHexEditor()
{
    const bool decimal = !isHexText(initialValue);
    auto* container = new QWidget;
    auto* layout = new QGridLayout(container);
    layout->setSizeConstraint(QLayout::SetMinimumSize);
    layout->setContentsMargins(0, 0, 0, 0);

    // The whole signed range holds every unsigned 32-bit value bit for bit.
    auto* spinBox = new HexSpinBox(nullptr, decimal);
    spinBox->setRange(INT_MIN, INT_MAX);
    spinBox->setValue(storedHexValue(initialValue));
    spinBox->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    QObject::connect(spinBox, SIGNAL(valueChanged(int)), notifier.get(), SIGNAL(paramChanged()));
    layout->addWidget(spinBox, 0, 0);

    const QString height = QString::number(lineHeight());
    auto* baseButton = new QPushButton(decimal ? QStringLiteral("10") : QStringLiteral("16"));
    baseButton->setStyleSheet(QStringLiteral("max-height: ") + height + QStringLiteral("px; min-height: ") + height
                              + QStringLiteral("px; max-width: ") + height + QStringLiteral("px; min-width: ") + height
                              + QStringLiteral("px; padding: 0px;"));
    baseButton->setFocusPolicy(Qt::NoFocus);
    baseButton->setCheckable(true);
    baseButton->setAccessibleName(QCoreApplication::translate("QObject", "Switch between decimal and hexadecimal"));
    baseButton->setToolTip(baseButton->accessibleName());
    QObject::connect(baseButton, SIGNAL(toggled(bool)), spinBox, SLOT(useDecimalBase(bool)));
    // The base is part of the stored text.
    QObject::connect(baseButton, SIGNAL(toggled(bool)), notifier.get(), SIGNAL(paramChanged()));
    QObject::connect(baseButton, &QPushButton::toggled, baseButton, [baseButton](bool checked) {
        baseButton->setText(checked ? QStringLiteral("10") : QStringLiteral("16"));
    });
    baseButton->setChecked(decimal);
    layout->addWidget(baseButton, 0, 1, Qt::AlignVCenter);

    layout->addWidget(makeNumpadButton(spinBox), 0, 2, Qt::AlignVCenter);
    editorWidget = container;
}

void ConfigOption::configured()
{
    // Changes the option makes while it is being set up are no edits of the user's.
    if (!editState)
        return;
    editState->shownValue = editorValue(&editState->shownValid);
    editState->storedWhenConfigured = config->getParam(key, path, QString(), false);
}

bool ConfigOption::isEdited() const
{
    if (!editState)
        return false;
    bool valid = true;
    const QString value = editorValue(&valid);
    return value != editState->shownValue || valid != editState->shownValid;
}

ConfigOption& ConfigOption::operator<<(const QString& item)
{
    addItem(item, item, false);
    return *this;
}

ConfigOption& ConfigOption::operator<<(const QStringList& items)
{
    for (const QString& item : items)
        *this << item;
    return *this;
}

ConfigOption& ConfigOption::operator<<(const QPair<QString, QString>& item)
{
    addItem(item.first, item.second, true);
    return *this;
}

ConfigOption& ConfigOption::operator<<(const QList<QPair<QString, QString>>& items)
{
    for (const QPair<QString, QString>& item : items)
        *this << item;
    return *this;
}

void ConfigOption::addItem(const QString& value, const QString& text, bool pair)
{
    if (!editorWidget)
        return;
    const Qt::MatchFlags exact = Qt::MatchExactly | Qt::MatchCaseSensitive;
    if (inputType == Choice || inputType == EditableChoice) {
        auto* comboBox = qobject_cast<QComboBox*>(editorWidget);
        if (!comboBox)
            comboBox = editorWidget->findChild<QComboBox*>();
        if (!comboBox)
            return;
        comboBox->addItem(text, value);
        if (pair) {
            comboBox->setCurrentIndex(comboBox->findData(initialValue, Qt::UserRole, exact));
        } else if (inputType == Choice) {
            comboBox->setCurrentText(initialValue);
        } else {
            comboBox->setCurrentIndex(comboBox->findData(initialValue, Qt::DisplayRole, exact));
            comboBox->setCurrentText(initialValue);
        }
    } else if (inputType == CheckList) {
        auto* list = qobject_cast<QListWidget*>(editorWidget);
        if (!list)
            return;
        auto* listItem = new QListWidgetItem(text);
        listItem->setData(Qt::UserRole, value);
        const QStringList checked =
            config->getParam(key, path, QString(), true).split(QLatin1Char(';'), Qt::SkipEmptyParts);
        listItem->setCheckState(checked.contains(value, Qt::CaseSensitive) ? Qt::Checked : Qt::Unchecked);
        list->addItem(listItem);
    }
    configured();
}

ConfigOption& ConfigOption::operator<<(const Range& range)
{
    if (!editorWidget)
        return *this;
    const int min = boundedInt(range.min);
    const int max = boundedInt(range.max);
    switch (inputType) {
    case Integer:
        if (auto* spinBox = editorWidget->findChild<QSpinBox*>()) {
            spinBox->setRange(min, max);
            spinBox->setValue(config->getInt(key, path, 0, true));
        }
        break;
    case HexInteger:
        if (auto* spinBox = editorWidget->findChild<HexSpinBox*>()) {
            spinBox->setRange(min, max);
            spinBox->setValue(storedHexValue(config->getParam(key, path, QStringLiteral("0"), true)));
        }
        break;
    case Real:
        if (auto* spinBox = editorWidget->findChild<QDoubleSpinBox*>()) {
            spinBox->setRange(range.min, range.max);
            spinBox->setValue(config->getDouble(key, path, 0.0, true));
        }
        break;
    case Slider:
        if (auto* slider = qobject_cast<QSlider*>(editorWidget)) {
            slider->setRange(min, max);
            slider->setValue(config->getInt(key, path, 0, true));
        }
        break;
    default:
        break;
    }
    configured();
    return *this;
}

void ConfigOption::setModel(QAbstractItemModel* model)
{
    if (!editorWidget || (inputType != Choice && inputType != EditableChoice))
        return;
    auto* comboBox = qobject_cast<QComboBox*>(editorWidget);
    if (!comboBox)
        comboBox = editorWidget->findChild<QComboBox*>();
    if (!comboBox)
        return;
    comboBox->setModel(model);
    const int index = comboBox->findData(initialValue, Qt::UserRole, Qt::MatchExactly | Qt::MatchCaseSensitive);
    comboBox->setCurrentIndex(index);
    if (inputType == EditableChoice && index < 0)
        comboBox->setCurrentText(initialValue);
    configured();
}

void ConfigOption::setToolTip(QString text)
{
    if (labelWidget)
        labelWidget->setToolTip(QCoreApplication::translate("ParamDescriptions", text.toUtf8().constData()));
}

void ConfigOption::setEnabledConditions(QMap<QString, QStringList> conditions)
{
    enabledConditions = conditions;
}

void ConfigOption::addEnabledConditions(QString conditionKey, QStringList values)
{
    enabledConditions[conditionKey] = values;
}

QString ConfigOption::getCurrentParamValue(bool* valid)
{
    return editorValue(valid);
}

QString ConfigOption::editorValue(bool* valid) const
{
    if (valid)
        *valid = true;
    if (!editorWidget)
        return QString();
    switch (inputType) {
    case Text:
        if (unit == multilineUnit) {
            auto* textEdit = editorWidget->findChild<QTextEdit*>();
            return textEdit ? textEdit->toPlainText() : QString();
        } else {
            auto* lineEdit = editorWidget->findChild<QLineEdit*>();
            return lineEdit ? lineEdit->text() : QString();
        }
    case Bool: {
        auto* checkBox = qobject_cast<QCheckBox*>(editorWidget);
        return checkBox && checkBox->isChecked() ? QStringLiteral("true") : QStringLiteral("false");
    }
    case Choice: {
        auto* comboBox = qobject_cast<QComboBox*>(editorWidget);
        return comboBox ? comboBox->currentData(Qt::UserRole).toString() : QString();
    }
    case Slider: {
        auto* slider = qobject_cast<QSlider*>(editorWidget);
        return slider ? QString::number(slider->value()) : QString();
    }
    case Real: {
        auto* spinBox = editorWidget->findChild<QDoubleSpinBox*>();
        // 15 significant digits hold every value the editor can show (10 whole digits,
        // 5 decimals), so 1234567 stays 1234567 instead of 1.23457e+06.
        return spinBox ? QString::number(spinBox->value(), 'g', 15) : QString();
    }
    case Integer: {
        auto* spinBox = editorWidget->findChild<QSpinBox*>();
        return spinBox ? QString::number(spinBox->value()) : QString();
    }
    case CheckList: {
        auto* list = qobject_cast<QListWidget*>(editorWidget);
        QStringList checked;
        for (int row = 0; list && row < list->count(); ++row) {
            const QListWidgetItem* item = list->item(row);
            if (item->data(Qt::CheckStateRole).toInt() == Qt::Checked)
                checked << item->data(Qt::UserRole).toString();
        }
        return checked.join(QLatin1Char(';'));
    }
    case Colour: {
        auto* button = qobject_cast<PickColorButton*>(editorWidget);
        const QColor colour = button ? button->getColor() : QColor();
        if (!colour.isValid()) {
            if (valid)
                *valid = false;
            return QString();
        }
        return colour.name();
    }
    case EditableChoice: {
        auto* comboBox = editorWidget->findChild<QComboBox*>();
        if (!comboBox)
            return QString();
        const QString text = comboBox->currentText();
        if (comboBox->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive) >= 0)
            return comboBox->currentData(Qt::UserRole).toString();
        return text;
    }
    case File: {
        auto* button = qobject_cast<FileButton*>(editorWidget);
        return button ? button->getFileInfo().filePath() : QString();
    }
    case HexInteger: {
        auto* spinBox = editorWidget->findChild<HexSpinBox*>();
        if (!spinBox)
            return QString();
        // Read bit for bit as unsigned, so 0xFFFFFFFF survives instead of turning into -1.
        const quint32 value = quint32(spinBox->value());
        if (spinBox->getUseDecimalBase())
            return QString::number(value);
        const QString prefix = initialValue.startsWith(QLatin1String("0X")) ? QStringLiteral("0X") : QStringLiteral("0x");
        return prefix + QString::number(value, 16).toUpper();
    }
    }
    return QString();
}

bool ConfigOption::save()
{
    if (!config)
        return false;
    if (isEdited()) {
        bool valid = true;
        const QString value = editorValue(&valid);
        if (valid)
            config->setParam(key, value, path, false);
        else
            config->removeParam(key, path);
        editState->shownValue = value;
        editState->shownValid = valid;
    }
    if (!restartRequired)
        return false;
    const QString stored = config->getParam(key, path, QString(), false);
    return stored != initialValue && stored != editState->storedWhenConfigured;
}

void ConfigOption::openScreenNumpadDialog(QAbstractSpinBox* box)
{
    if (!box)
        return;
    bool ok = false;
    const QString title = QCoreApplication::translate("QObject", "Input value");
    if (auto* doubleBox = qobject_cast<QDoubleSpinBox*>(box)) {
        const double value = NumpadDialog::getDouble(doubleBox, title, doubleBox->suffix().trimmed(), doubleBox->value(),
                                                     doubleBox->minimum(), doubleBox->maximum(), doubleBox->decimals(),
                                                     &ok, Qt::WindowFlags(), doubleBox->singleStep());
        if (ok)
            doubleBox->setValue(value);
    } else if (auto* intBox = qobject_cast<QSpinBox*>(box)) {
        const int value = NumpadDialog::getInt(intBox, title, intBox->suffix().trimmed(), intBox->value(),
                                               intBox->minimum(), intBox->maximum(), intBox->singleStep(), &ok,
                                               Qt::WindowFlags());
        if (ok)
            intBox->setValue(value);
    }
}

void ConfigOption::openScreenKeyboardDialog(QLineEdit* edit)
{
    if (!edit)
        return;
    // The field may go with its dialog while the keyboard is up.
    QPointer<QLineEdit> target(edit);
    bool ok = false;
    const QString text = ScreenKeyboardDialog::getText(edit, QCoreApplication::translate("QObject", "Input value"), edit->text(), Qt::WindowFlags(),
                                                       &ok, QString(), QString(), ScreenKeyboardDialog::InputCheck());
    if (ok && target)
        target->setText(text);
}

void ConfigOption::openCodeEditorDialog(QTextEdit* edit)
{
    if (!edit)
        return;
    QPointer<QTextEdit> target(edit);
    QString text;
    int result = QDialog::Rejected;
    // Reached from a button's click: nothing may unwind into the event loop.
    try {
        QPointer<CodeEditorDialog> dialog = new CodeEditorDialog(edit->toPlainText(), edit);
        result = dialog->exec();
        if (!dialog)
            return;
        text = dialog->text();
        delete dialog;
    } catch (const std::invalid_argument& error) {
        qWarning() << "ConfigOption: code editor failed:" << error.what();
        return;
    }
    if (result == QDialog::Accepted && target)
        target->setPlainText(text);
}

QWidget* ConfigOption::getEditorWidget() const { return editorWidget; }
QLabel* ConfigOption::getLabelWidget() const { return labelWidget; }
Notifier* ConfigOption::getNotifier() const { return notifier.get(); }
QString ConfigOption::getUnit() const { return unit; }
bool ConfigOption::isRestartRequired() const { return restartRequired; }
ConfigOption::InputType ConfigOption::getInputType() const { return inputType; }
QString ConfigOption::getInitialValue() const { return initialValue; }
QString ConfigOption::getKey() const { return key; }
QString ConfigOption::getPath() const { return path; }
QMap<QString, QStringList> ConfigOption::getEnabledConditions() const { return enabledConditions; }
Config* ConfigOption::getConfig() const { return config; }
