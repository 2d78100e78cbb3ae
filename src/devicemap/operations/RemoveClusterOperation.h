#pragma once

#include "CreateClusterOperation.h"

/**
 * Takes a named cluster rectangle off the map; undo puts a fresh one back at the rectangle
 * given (the item's position and the size of its own rectangle). The devices inside stay
 * where they are. Removing a name no cluster has changes nothing, and its undo then makes
 * nothing either.
 */
class DOZEROZOZU_EXPORT RemoveClusterOperation : public CreateClusterOperation
{
public:
    RemoveClusterOperation(DeviceMapWidget* map, QString name, QRectF rect);

    void undo() override;
    void redo() override;
};
