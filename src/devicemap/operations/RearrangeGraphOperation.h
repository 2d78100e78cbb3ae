#pragma once

#include "DevicesArrangement.h"
#include "MapViewFocus.h"
#include "Operation.h"

#include <QRectF>

/**
 * The automatic re-layout of the whole device map: redo shows the new arrangement, undo the
 * one the map had, exactly (device places, bending points, clusters with what the user set on
 * them, and scene rectangle).
 *
 * Acts on the scene only, never on the device manager, and waits for nothing. Redo sizes the
 * scene rectangle from the new devices' rectangle (see sceneRectFor()), places every device
 * named in the arrangement (a device waiting in the unplaced zone is placed for good), gives
 * the links their bending points, splits a pair of opposite links that both come straight,
 * and makes the clusters of the arrangement anew in place of every cluster of the map; one of
 * the same name keeps its colour and moves-contained-devices flag. Undo puts the stored scene
 * rectangle back and the old places, bends and clusters. What the user set on the clusters
 * either way is no undo step of its own: each step records it for the clusters it takes
 * away, and the step back gives them back as the user left them. Snapping to the grid is off
 * while devices are placed, so that they land exactly, and is put back after.
 *
 * The view keeps the user's scale. Redo keeps it on the devices (MapViewFocus::follow()): on
 * the device the user was looking at, else on the drawing's start. Undo shows again the part
 * of the map the view showed before the redo, with its scroll bars as they were where the
 * view has kept its size and scale.
 *
 * Devices, links and clusters that are gone from the map when the operation runs are passed
 * over; clusters are taken out by their key in the map's cluster table.
 */
class DOZEROZOZU_EXPORT RearrangeGraphOperation : public Operation
{
public:
    RearrangeGraphOperation(DeviceMapWidget* map, DevicesArrangement oldArrangement,
                            DevicesArrangement newArrangement, QRectF oldSceneRect);

    void undo() override;
    void redo() override;

    /**
     * The scene rectangle for devices spanning devicesRect: at (0, 0), 500 wide up to a width
     * of 300, else the width truncated plus 200; 400 high below a height of 200, else the
     * height truncated plus 200. The view may then widen it to its visible area.
     */
    static QRectF sceneRectFor(const QRectF& devicesRect);

    /**
     * Removes every cluster of the map and makes those of arrangement, in name order. Each
     * takes its settings from the arrangement's clusterSettings, else from the cluster of its
     * name that it replaces; a cluster new by name gets a new one's.
     */
    void rearrangeClusters(const DevicesArrangement& arrangement);

private:
    enum class Step { Redo, Undo };

    void apply(const DevicesArrangement& arrangement, const QRectF& sceneRect, Step step);
    void placeDevices(const DevicesArrangement& arrangement);
    void bendLinks(const DevicesArrangement& arrangement, bool splitOppositeLinks);
    /// Records, in leaving, the settings of the map's clusters that leaving names.
    void rememberClusterSettings(DevicesArrangement& leaving) const;

    DevicesArrangement oldArrangement;
    DevicesArrangement newArrangement;
    QRectF oldSceneRect;
    /// What the view showed before the last redo, which undo shows again.
    MapViewFocus::View viewedBeforeRedo;
};
