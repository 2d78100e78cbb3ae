#pragma once

#include "dozerozozu_export.h"

#include <QByteArray>
#include <QSharedPointer>
#include <QStringList>
#include <QWidget>

class DeviceHandle;
class DeviceManager;
class QGroupBox;
class QHBoxLayout;
class QLineEdit;
class QPushButton;
class QSpinBox;
class ZenticDoubleSpinBox;

/**
 * One row of the "Input" tab: a device slot's name, its argument type, an editor chosen by
 * that type and a "Send" button.
 *
 * The row's own output(...) signal of the slot's type is connected to the slot through the
 * framework (DeviceHandle::connectToSlot), so sending is emitting it: the device receives the
 * value in its own thread. Return or Enter in the editor sends as well. A slot whose argument
 * type is none of "(double)", "(int)", "(bool)", "()", "(QString)" and "(QByteArray)" shows
 * "(no input control)" and cannot be called. Built by DeviceSlotsInputWidget, owned by its
 * parent; GUI thread only.
 */
class DOZEROZOZU_EXPORT DeviceInputWidget : public QWidget
{
    Q_OBJECT

public:
    /// The argument suffixes a row can edit, in the order they are tested.
    static const QStringList supportedInputSuffixes;

    DeviceInputWidget(DeviceManager& manager, QString device, QString slot, QWidget* parent = nullptr);
    ~DeviceInputWidget() override;

    /// Whether the signature's part from its last "(" on (the whole signature without one) is supported.
    static bool isInputSupported(QString signature);

    /// The row's "Send" button (hidden when the slot cannot be called).
    QPushButton* getSendButton() const { return sendButton; }
    /// The editor of the argument, null for a slot without one or one that cannot be edited.
    QWidget* getEditor() const;

    bool eventFilter(QObject* watched, QEvent* event) override;

Q_SIGNALS:
    void output(double value);
    void output(int value);
    void output(bool value);
    void output();
    void output(QString value);
    void output(QByteArray value);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private Q_SLOTS:
    void intSendBtnClicked();
    void doubleSendBtnClicked();
    void boolSendBtnClicked();
    void noParamsSendBtnClicked();
    void qstringSendBtnClicked();
    void qbytearraySendBtnClicked();

private:
    void buildEditor(const QString& slot, int fieldWidth, QHBoxLayout* row);
    void connectToDevice(const QString& slot, const char* sendSlot, const QString& outputSignal);

    QSharedPointer<DeviceHandle> deviceHandle;
    DeviceManager* deviceManager;
    ZenticDoubleSpinBox* doubleSpinBox = nullptr;
    QSpinBox* intSpinBox = nullptr;
    QLineEdit* stringEdit = nullptr;
    QLineEdit* bytesEdit = nullptr;
    QPushButton* sendButton = nullptr;
    QPushButton* boolButton = nullptr;
    QGroupBox* groupBox = nullptr;
};
