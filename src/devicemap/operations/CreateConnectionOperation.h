#pragma once

#include "RemoveConnectionOperation.h"

/**
 * Joins a source device to a target device: each signal with its slot, or, with empty lists,
 * plainly, leaving the pairing to the device manager. The removal run backwards; a new link
 * starts without bending points.
 */
class DOZEROZOZU_EXPORT CreateConnectionOperation : public RemoveConnectionOperation
{
public:
    CreateConnectionOperation(DeviceMapWidget* map, QString target, QString source, QStringList signalList,
                              QStringList slotList);

    void undo() override;
    void redo() override;
};
