#pragma once

#include "Operation.h"

#include <QPointF>

/**
 * Creates one device of a type and places its item at a scene point.
 *
 * redo() asks the manager for the device (each redo makes a new one, whose name the text then
 * carries), waits for its item and places the item's top-left corner at the point; undo()
 * removes the device the last redo made.
 */
class DOZEROZOZU_EXPORT CreateDeviceOperation : public Operation
{
public:
    CreateDeviceOperation(DeviceMapWidget* map, QString type, QPointF position);

    void undo() override;
    void redo() override;

    /// The name the manager gave the device in the last redo(); empty when it refused.
    QString deviceName() const;

private:
    QString type;
    QString name;
    QPointF position;
};
