#pragma once

#include "DeviceMapWidget.h"
#include "dozerozozu_export.h"

#include <QColor>
#include <QMap>
#include <QString>

/**
 * The outline colours of the map's devices for the colour mode in force, and the colour
 * table that the colour legend shows (text to colour, in text order).
 *
 * Reads the manager only for what the mode needs: every look-up walks the framework's
 * device list and a change of mode recolours every device. Owned by the DeviceMapWidget,
 * which emits colorModeChanged() for it. GUI thread only.
 */
class DOZEROZOZU_EXPORT MapColoriser
{
public:
    explicit MapColoriser(DeviceMapWidget& map);

    DeviceMapWidget::ColorisationMode mode() const { return colorisationMode; }
    /// The mode before the last change; a search or a drawing goes back to it.
    DeviceMapWidget::ColorisationMode previousMode() const { return previousColorisationMode; }
    const QMap<QString, QColor>& colors() const { return colorsMap; }

    /// Sets the mode, empties the colour table and recolours every device.
    void setMode(DeviceMapWidget::ColorisationMode mode);
    /**
     * Ends a mode that was in force for a while (a connection being drawn): the mode and the
     * previous mode become what they were before it, so that a search in force meanwhile still
     * goes back to the mode in force before the search.
     */
    void restore(DeviceMapWidget::ColorisationMode mode, DeviceMapWidget::ColorisationMode previous);
    /// Recomputes the outline colour of one device; nothing for a name without an item.
    void colorise(const QString& name);

private:
    DeviceMapWidget& map;
    QMap<QString, QColor> colorsMap;
    DeviceMapWidget::ColorisationMode colorisationMode = DeviceMapWidget::ByState;
    DeviceMapWidget::ColorisationMode previousColorisationMode = DeviceMapWidget::ByState;
};
