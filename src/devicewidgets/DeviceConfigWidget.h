#pragma once

#include "Config.h"
#include "ConfigWidget.h"
#include "DeviceInfo.h"
#include "dozerozozu_export.h"

#include <QList>
#include <QMap>
#include <QPair>
#include <QPoint>
#include <QPointer>
#include <QString>

class DeviceManager;
class QLabel;
class QPushButton;

/**
 * The settings dialog of one device: its parameters as options grouped by the prefix of their
 * names (a parameter "widget/row" is the option Row in a tab and group Widget), a button that
 * shows the device's initialisation state and initialises or deinitialises it, the device's
 * error text, and the tabs "Output" (what the device emits, DeviceSignalsOutputWidget) and
 * "Input" (its slots, DeviceSlotsInputWidget) when it has signals or slots to show.
 *
 * "Save" writes the parameters the dialog was built from to the device (one the user did not
 * edit keeps the device's own text), re-initialises the device unless it is deinitialised,
 * and saves the manager's YAML configuration; the dialog stays open. A save makes all these
 * calls even when the dialog is deleted meanwhile (a host's slot on the manager's reports may
 * run a modal box in which it is closed, or its map window). A disabled device, or a
 * name the manager does not know, is shown read-only. The window has no frame and is moved by
 * dragging it. The opener shows it without blocking and deletes it when it finishes:
 *
 *     auto dialog = new DeviceConfigWidget(*manager, name, parent);
 *     QObject::connect(dialog, SIGNAL(finished(int)), dialog, SLOT(deleteLater()));
 *     dialog->show();
 *
 * The manager must outlive the dialog's use of it (the dialog notices when it goes and stays
 * read-only). GUI thread only.
 */
class DOZEROZOZU_EXPORT DeviceConfigWidget : public ConfigWidget
{
    Q_OBJECT

public:
    DeviceConfigWidget(DeviceManager& manager, QString name, QWidget* parent = nullptr);
    ~DeviceConfigWidget() override;

    /// The device's last description the dialog fetched.
    DeviceInfo getDeviceInfo() const { return deviceInfo; }
    QPushButton* getInitButton() const { return initButton; }
    QLabel* getStatusLabel() const { return statusLabel; }
    /// The store of the values being edited (node "global", one key per parameter).
    Config* getParameterConfig() { return &parameterConfig; }

Q_SIGNALS:
    void saved();

public Q_SLOTS:
    /// Writes the parameters to the device, re-initialises it unless deinitialised, saves the graph.
    void save() override;
    /// Shows the state of the device when device is this dialog's (in any letter case).
    void deviceInitialised(QString device, bool success);
    /// Initialises a deinitialised device, deinitialises an initialised one, and saves the graph.
    void initBtnClicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private Q_SLOTS:
    void deviceRemoved(QString device);

private:
    void addParamatersTab(const QString& name);
    void addParameters(QList<Param>& parameters, Config& store, bool grouped);
    void addOutputTab(const QString& name);
    void addInputTab(const QString& name);
    /// What save() writes: each parameter the dialog was built from with the value to write.
    QList<QPair<QString, QString>> valuesToWrite();
    void disableWidget();
    /// Shows notice and leaves only "Close" usable.
    void showReadOnly(const QString& notice);

    Config parameterConfig;
    DeviceInfo deviceInfo;
    QPointer<DeviceManager> deviceManager;
    QPushButton* initButton = nullptr;
    QLabel* statusLabel = nullptr;
    QPoint dragPosition;
    /// Per parameter the dialog was built from: its name, and the device's text and the
    /// editor's starting text at that time. Save writes these parameters only.
    struct BuiltParameter
    {
        QString name;
        QString deviceText;
        QString editorText;
    };
    QList<BuiltParameter> builtParameters;
};

/// The text with its first character in upper case.
DOZEROZOZU_EXPORT QString capitalizeFirstLetter(QString text);
