#pragma once

#include "Operation.h"

#include <QString>

/**
 * Renames a device through the device manager; undo renames it back. The map follows the
 * manager's rename report by itself, so the device keeps its parameters, links and item.
 *
 * A rename the manager refuses changes nothing, and its undo then asks for nothing either
 * (renaming back would otherwise rename whichever device bears the new name).
 */
class DOZEROZOZU_EXPORT RenameDeviceOperation : public Operation
{
public:
    RenameDeviceOperation(DeviceMapWidget* map, QString oldName, QString newName);

    void undo() override;
    void redo() override;

    /// Whether the last redo() renamed the device: false when the manager refused the new name.
    bool renamed() const;

private:
    /// The name the manager filed the device under after a rename to requested.
    QString nameAfterRename(const QString& requested, const QString& former) const;

    QString oldName;
    QString newName;
    // What the last redo() did: empty when the manager refused it.
    QString renamedTo;
};
