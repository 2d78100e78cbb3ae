#pragma once

#include "dozerozozu_export.h"

#include <QSharedPointer>
#include <QString>
#include <QWidget>

class DeviceHandle;
class DeviceManager;
class DeviceSignalsConsole;
class DeviceSignalsGraph;
class QComboBox;
class QGridLayout;
class QPushButton;

/**
 * The "Output" tab of the device settings dialog: a choice of the device's signals that carry
 * something it can show, the live graph (DeviceSignalsGraph) for a "(double)", "(int)" or
 * "(DoubleVec)" signal and the text console (DeviceSignalsConsole) for any other.
 *
 * Choosing a signal emits signalChanged(), which switches both panels; each subscribes only
 * to what it shows. The button beside the choice opens a detached copy in a window of its
 * own, on the same signal and with the lines written so far; that window deletes itself when
 * closed. Owned by its parent; GUI thread only.
 */
class DOZEROZOZU_EXPORT DeviceSignalsOutputWidget : public QWidget
{
    Q_OBJECT

public:
    DeviceSignalsOutputWidget(DeviceManager& manager, QString device, QWidget* parent = nullptr);
    ~DeviceSignalsOutputWidget() override;

    QComboBox* getSignalBox() const { return signalBox; }
    DeviceSignalsGraph* getGraph() const { return graph; }
    DeviceSignalsConsole* getSignalsConsole() const { return signalsConsole; }
    QPushButton* getDetachButton() const { return detachButton; }

    /// Opens the detached copy, as the detach button does, and returns it (it owns itself).
    DeviceSignalsOutputWidget* detach();

Q_SIGNALS:
    void signalChanged(QString signal);

private Q_SLOTS:
    void signalSelected(QString signal);

private:
    DeviceManager* deviceManager;
    QString deviceName;
    QGridLayout* layout = nullptr;
    QComboBox* signalBox = nullptr;
    QPushButton* detachButton = nullptr;
    DeviceSignalsGraph* graph = nullptr;
    DeviceSignalsConsole* signalsConsole = nullptr;
    QSharedPointer<DeviceHandle> deviceHandle;
};
