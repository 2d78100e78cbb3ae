#include "DeviceInputWidget.h"

#include "DeviceHandle.h"
#include "DeviceManager.h"
#include "LineEditWithKeyboard.h"
#include "ZenticDoubleSpinBox.h"

#include <QDebug>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <climits>

const QStringList DeviceInputWidget::supportedInputSuffixes = {
    QStringLiteral("(double)"), QStringLiteral("(int)"),     QStringLiteral("(bool)"),
    QStringLiteral("()"),       QStringLiteral("(QString)"), QStringLiteral("(QByteArray)"),
};

namespace {

const int longestArgumentText = 20;

QLocale numberLocale()
{
    QLocale locale(QLocale::Zarma, QLocale::Niger);
    locale.setNumberOptions(locale.numberOptions() & ~QLocale::OmitGroupSeparator);
    return locale;
}

bool isReturnKey(const QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const int key = static_cast<const QKeyEvent*>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

} // namespace

DeviceInputWidget::DeviceInputWidget(DeviceManager& manager, QString device, QString slot, QWidget* parent)
    : QWidget(parent)
    , deviceManager(&manager)
{
    installEventFilter(this);
    deviceHandle = deviceManager->getDeviceHandle(device);

    const int open = slot.indexOf(QLatin1Char('('));
    const QString slotName = open < 0 ? slot : slot.left(open);
    const int lastOpen = slot.lastIndexOf(QLatin1Char('('));
    QString argumentText = lastOpen < 0 ? QString() : slot.mid(lastOpen + 1, slot.size() - lastOpen - 2);
    if (argumentText.size() > longestArgumentText)
        argumentText = argumentText.left(longestArgumentText) + QStringLiteral("...");

    groupBox = new QGroupBox(slotName, this);
    auto* panelLayout = new QVBoxLayout(this);
    panelLayout->setContentsMargins(10, 2, 10, 3);
    panelLayout->addWidget(groupBox);
    auto* row = new QHBoxLayout(groupBox);
    groupBox->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);

    sendButton = new QPushButton(tr("Send"), groupBox);
    // Return sends the row's value; it must not also press a dialog's default button.
    sendButton->setAutoDefault(false);

    const QFontMetrics metrics = groupBox->fontMetrics();
    const int height = metrics.height();
    groupBox->setStyleSheet(QStringLiteral("QGroupBox {border: 1px solid #4F4F4F; border-radius: 6px; margin-top: %1px;} "
                                           "QGroupBox:title {subcontrol-origin: margin; left: %2px; padding: 0px %3px;}")
                                .arg(height / 2)
                                .arg(int(height * 0.5))
                                .arg(int(height * 0.3)));
    const int sendWidth = metrics.boundingRect(tr("Send")).width() + 20;
    const int fieldWidth = metrics.boundingRect(QStringLiteral("000,00")).width() + 20;

    row->addWidget(new QLabel(argumentText, groupBox));
    buildEditor(slot, fieldWidth, row);
    sendButton->setFixedWidth(sendWidth);
}

DeviceInputWidget::~DeviceInputWidget() = default;

bool DeviceInputWidget::isInputSupported(QString signature)
{
    const int open = signature.lastIndexOf(QLatin1Char('('));
    return supportedInputSuffixes.contains(open < 0 ? signature : signature.mid(open), Qt::CaseSensitive);
}

QWidget* DeviceInputWidget::getEditor() const
{
    if (doubleSpinBox)
        return doubleSpinBox;
    if (intSpinBox)
        return intSpinBox;
    if (boolButton)
        return boolButton;
    if (stringEdit)
        return stringEdit;
    return bytesEdit;
}

void DeviceInputWidget::buildEditor(const QString& slot, int fieldWidth, QHBoxLayout* row)
{
    if (slot.contains(QLatin1String("(double)"))) {
        doubleSpinBox = new ZenticDoubleSpinBox(groupBox);
        doubleSpinBox->setLocale(numberLocale());
        doubleSpinBox->setGroupSeparatorShown(true);
        doubleSpinBox->setRange(-2147483648.0, 2147483647.0);
        doubleSpinBox->setFixedWidth(2 * fieldWidth);
        row->addWidget(doubleSpinBox);
        row->addWidget(sendButton);
        connectToDevice(slot, SLOT(doubleSendBtnClicked()), QStringLiteral("output(double)"));
    } else if (slot.contains(QLatin1String("(int)"))) {
        intSpinBox = new QSpinBox(groupBox);
        intSpinBox->setLocale(numberLocale());
        intSpinBox->setGroupSeparatorShown(true);
        intSpinBox->setRange(INT_MIN, INT_MAX);
        intSpinBox->setFixedWidth(2 * fieldWidth);
        row->addWidget(intSpinBox);
        row->addWidget(sendButton);
        connectToDevice(slot, SLOT(intSendBtnClicked()), QStringLiteral("output(int)"));
    } else if (slot.contains(QLatin1String("(bool)"))) {
        boolButton = new QPushButton(tr("False"), groupBox);
        boolButton->setCheckable(true);
        boolButton->setAutoDefault(false);
        boolButton->setFixedWidth(fieldWidth);
        boolButton->setStyleSheet(QStringLiteral("QPushButton { background-color: darkRed; }"));
        connect(boolButton, &QPushButton::toggled, this, [this](bool checked) {
            boolButton->setText(checked ? tr("True") : tr("False"));
            boolButton->setStyleSheet(checked ? QStringLiteral("QPushButton:checked { background-color: darkGreen; }")
                                              : QStringLiteral("QPushButton { background-color: darkRed; }"));
        });
        row->addWidget(boolButton);
        row->addWidget(sendButton);
        connectToDevice(slot, SLOT(boolSendBtnClicked()), QStringLiteral("output(bool)"));
    } else if (slot.contains(QLatin1String("()"))) {
        row->addWidget(sendButton);
        connectToDevice(slot, SLOT(noParamsSendBtnClicked()), QStringLiteral("output()"));
    } else if (slot.contains(QLatin1String("(QString)"))) {
        stringEdit = new LineEditWithKeyboard(groupBox, tr("Input text"));
        stringEdit->setFixedWidth(2 * fieldWidth);
        stringEdit->setPlaceholderText(tr("Enter text..."));
        row->addWidget(stringEdit);
        row->addWidget(sendButton);
        connectToDevice(slot, SLOT(qstringSendBtnClicked()), QStringLiteral("output(QString)"));
    } else if (slot.contains(QLatin1String("(QByteArray)"))) {
        bytesEdit = new LineEditWithKeyboard(groupBox, tr("Input text"));
        bytesEdit->setFixedWidth(2 * fieldWidth);
        bytesEdit->setPlaceholderText(tr("Hex: 00 FF..."));
        row->addWidget(bytesEdit);
        row->addWidget(sendButton);
        connectToDevice(slot, SLOT(qbytearraySendBtnClicked()), QStringLiteral("output(QByteArray)"));
    } else {
        auto* notice = new QLabel(tr("(no input control)"), groupBox);
        notice->setStyleSheet(QStringLiteral("QLabel { color: gray; font-style: italic; }"));
        row->addWidget(notice);
        row->addStretch();
        sendButton->hide();
    }
}

void DeviceInputWidget::connectToDevice(const QString& slot, const char* sendSlot, const QString& outputSignal)
{
    connect(sendButton, SIGNAL(clicked()), this, sendSlot);
    if (deviceHandle)
        deviceHandle->connectToSlot(this, outputSignal, slot, true);
}

bool DeviceInputWidget::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == this && isReturnKey(event)) {
        if (intSpinBox && intSpinBox->hasFocus())
            intSendBtnClicked();
        else if (doubleSpinBox && doubleSpinBox->hasFocus())
            doubleSendBtnClicked();
        else if (boolButton && boolButton->hasFocus())
            boolSendBtnClicked();
        else if (stringEdit && stringEdit->hasFocus())
            qstringSendBtnClicked();
        else if (bytesEdit && bytesEdit->hasFocus())
            qbytearraySendBtnClicked();
    }
    return QWidget::eventFilter(watched, event);
}

void DeviceInputWidget::keyPressEvent(QKeyEvent* event)
{
    // The key has sent the row's value (eventFilter); a dialog around the panel must not
    // take it as a press of its default button, which would save or close it.
    if (isReturnKey(event)) {
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void DeviceInputWidget::intSendBtnClicked()
{
    qDebug() << "int clicked";
    Q_EMIT output(intSpinBox->value());
}

void DeviceInputWidget::doubleSendBtnClicked()
{
    qDebug() << "double clicked";
    Q_EMIT output(doubleSpinBox->value());
}

void DeviceInputWidget::boolSendBtnClicked()
{
    qDebug() << "bool clicked";
    Q_EMIT output(boolButton->isChecked());
}

void DeviceInputWidget::noParamsSendBtnClicked()
{
    Q_EMIT output();
}

void DeviceInputWidget::qstringSendBtnClicked()
{
    qDebug() << "QString clicked";
    Q_EMIT output(stringEdit->text());
}

void DeviceInputWidget::qbytearraySendBtnClicked()
{
    QString hex = bytesEdit->text();
    hex.remove(QLatin1Char(' '));
    Q_EMIT output(QByteArray::fromHex(hex.toLatin1()));
}
