#pragma once

#include "dozerozozu_export.h"

#include <QColor>

/**
 * What the user set on a cluster of the device map besides its place, size and name: its
 * colour and whether dragging it moves the devices inside (the layout file keeps the latter).
 * A cluster's name is the key it is held by, in the map's table as in an arrangement.
 *
 * A plain value: copied, never shared, holds no pointer to a scene item. ClusterRectItem
 * gives and takes it whole (settings(), setSettings()), so that whatever is added here
 * travels with a cluster through undo.
 */
struct DOZEROZOZU_EXPORT ClusterSettings
{
    /// The outline's and label's colour; an invalid colour leaves an item's own.
    QColor color;
    /// Whether dragging the cluster takes the devices inside it along.
    bool movesContainedDevices = true;

    bool operator==(const ClusterSettings& other) const
    {
        return color == other.color && movesContainedDevices == other.movesContainedDevices;
    }
    bool operator!=(const ClusterSettings& other) const { return !(*this == other); }
};
