#pragma once

#include "DeviceInfo.h"
#include "DevicesArrangement.h"
#include "dozerozozu_export.h"

#include <QList>
#include <QPoint>
#include <QPointF>
#include <QString>

class DeviceMapWidget;
class DeviceNodeItem;
class QDragEnterEvent;
class QDragMoveEvent;
class QDropEvent;
class QGraphicsItem;

/**
 * Devices leaving and entering the device map as device text: copy to and paste from the
 * clipboard, template export, meta-device export, and YAML files dragged onto the map
 * (insert, template, meta device, template import). Every paste is one PasteDevicesOperation
 * on the map's undo stack; a dropped template is one "Create template <name>" macro holding
 * the paste and a cluster around the pasted devices.
 *
 * While a file is dragged over the map, dragArrangement() holds its devices laid out for the
 * preview the map paints at the cursor, once their layout, asked for from the event loop after
 * the drag entered, is done (a file dropped before then is laid out at the drop). Nothing is
 * asked while dragging: the file is read and parsed quietly on entering, and a file that
 * cannot be read or parsed is reported when it is dropped. The drop itself is handled from
 * the event loop, after the drag has ended, so that its question box gets the pointer (a drag
 * holds it until its drop returns).
 *
 * Owned by the DeviceMapWidget, whose clipboard, template and drag members forward here. GUI
 * thread only. Boxes and prompts run nested event loops: the map may be deleted meanwhile,
 * and nothing here touches it afterwards.
 */
class DOZEROZOZU_EXPORT MapClipboard
{
public:
    explicit MapClipboard(DeviceMapWidget& map);

    /// The device text of the device items among items: the version header, then each device.
    QString deviceText(const QList<QGraphicsItem*>& items) const;
    /// Copies the selection, or else the device under the cursor, to the clipboard.
    void copy();
    /// Pastes the clipboard's devices, laid out afresh, around a viewport point (null: the cursor).
    void paste(const QPoint& viewportPoint);
    /// Pushes the paste of the arrangement's devices around a viewport point (null: the cursor).
    void pasteDevices(const DevicesArrangement& arrangement, const QPoint& viewportPoint);
    /// Asks for a name and writes the items' device text as a template file.
    void exportTemplate(const QList<QGraphicsItem*>& items);
    /// Opens the meta-device export wizard over the device items among items.
    void exportMetaDevice(const QList<QGraphicsItem*>& items);

    /// Accepts a local YAML file (the first URL) and has it laid out for the preview from the
    /// event loop; false when refused.
    bool dragEnter(QDragEnterEvent* event);
    void dragMove(QDragMoveEvent* event);
    void dragLeave();
    /// Takes the dragged file and handles it once the drag is over.
    void drop(QDropEvent* event);
    /**
     * The devices of a device file laid out with the map's current layout type, as the
     * templates panel previews them; see DeviceMapWidget::getDeviceArrangement().
     */
    DevicesArrangement fileArrangement(const QString& path);
    /// The devices of the file dragged over the map, laid out; empty when none.
    const DevicesArrangement& dragArrangement() const { return dragLayout; }
    QString draggedFilePath() const { return dragPath; }

private:
    struct DroppedFile
    {
        QString path;
        QString text;
        QString readError;
        DevicesArrangement layout;
        QPoint viewportPoint;
    };

    QPoint cursorPoint() const;
    /// The topmost device item at a viewport point, or null.
    DeviceNodeItem* deviceAt(const QPoint& viewportPoint) const;
    void pushPaste(const QList<DeviceInfo>& infos, const DevicesArrangement& arrangement, const QPoint& viewportPoint);
    /// Lays the dragged devices out for the preview, unless the drag of request is over.
    void layOutDrag(const QList<DeviceInfo>& infos, int request);
    void clearDrag();
    /// Waits for the map's running command, if any, before handling the drop.
    void processDropWhenIdle(const DroppedFile& file);
    void processDrop(const DroppedFile& file);
    void createTemplate(const QString& templateName, const DevicesArrangement& arrangement, const QPoint& viewportPoint);
    void askHowToProcess(const DroppedFile& file, const DevicesArrangement& arrangement);
    void importMetaDevice(const QString& path);
    void importTemplate(const QString& path);
    /// Asks before a template file is replaced; false when refused or when the map went meanwhile.
    bool confirmReplacing(const QString& path);

    DeviceMapWidget& map;
    QString dragPath;
    QString dragText;
    QString dragReadError;
    DevicesArrangement dragLayout;
    /// Counts the drags entered and ended; a layout asked for by an earlier one is dropped.
    int dragRequest = 0;
};
