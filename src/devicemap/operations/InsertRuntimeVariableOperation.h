#pragma once

#include "Operation.h"

#include <QList>
#include <QPointF>
#include <QStringList>

class DeviceManager;

/**
 * A runtime variable put into the link from one device to another: the source then feeds
 * the variable's SET device, and its GET device feeds the target, in place of the link.
 *
 * The manager makes the two devices from the short texts "runtime_variable(<name>,SET)" and
 * "runtime_variable(<name>,GET)" (createDevices(), which the caller runs first so that a
 * refusal costs no undo step). redo() places both devices at one scene point, replaces the
 * link by the two plain links and initialises the devices; undo() removes the two devices
 * and gives the link back its signal and slot pairs and its bending points. A redo() after
 * undo() has the manager make the devices again, under their former names where it agrees.
 * Text "Create runtime variable <name>". GUI thread only.
 */
class DOZEROZOZU_EXPORT InsertRuntimeVariableOperation : public Operation
{
public:
    /// The link the variable goes into: its ends, its pairs (empty for a plain link) and its bends.
    struct Link
    {
        QString source;
        QString target;
        QStringList signalList;
        QStringList slotList;
        QList<QPointF> bendingPoints;
    };

    /// setDevice and getDevice are the devices createDevices() made for variable.
    InsertRuntimeVariableOperation(DeviceMapWidget* map, QString variable, QString setDevice, QString getDevice,
                                   Link link, QPointF position);

    void undo() override;
    void redo() override;

    QString setDevice() const { return setName; }
    QString getDevice() const { return getName; }

    /**
     * Has the manager make the variable's SET and GET devices (both texts are always tried).
     * When either is refused, the other is removed again and false is returned: nothing is
     * left behind. On success the devices' names go to setDevice and getDevice.
     */
    static bool createDevices(DeviceManager* manager, const QString& variable, QString* setDevice,
                              QString* getDevice);

private:
    /// The devices of a redo() after undo(); false when the manager refused them.
    bool recreateDevices();
    void placeDevices();
    void relink();
    void restoreLink();

    QString variable;
    QString setName;
    QString getName;
    Link link;
    QPointF position;
    // The devices exist (made by the caller for the first redo(), or by the last redo()).
    bool devicesMade = true;
};
