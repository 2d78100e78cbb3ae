#pragma once

#include "dozerozozu_export.h"

#include <QPointF>
#include <QString>

class DeviceConnectionItem;
class DeviceMapWidget;

/**
 * Runtime variables put into links of the device map (the "r" key): the user names the
 * variable, the manager makes its SET and GET devices, and the link from A to B becomes
 * A to SET and GET to B, one undoable InsertRuntimeVariableOperation.
 *
 * A name is letters, digits and "_" only and must not name a runtime variable the manager
 * has already; other names are refused with a message. When the manager refuses one of the
 * two devices, the other is removed again, the link stays as it was and the user is warned.
 *
 * A plain helper over the map, made where it is needed. The prompt and the messages run
 * nested event loops: the map and the link are checked again after each. GUI thread only.
 *
 *     RuntimeVariables(*map).insertIntoLinkUnderCursor();
 */
class DOZEROZOZU_EXPORT RuntimeVariables
{
public:
    explicit RuntimeVariables(DeviceMapWidget& map);

    /// Asks for a name and inserts a variable into the link under the cursor; nothing elsewhere.
    void insertIntoLinkUnderCursor();
    /// Asks for a name and inserts a variable into link, its devices placed at scenePos.
    void insertIntoLink(DeviceConnectionItem* link, const QPointF& scenePos);

    /// Not empty, and letters, digits and "_" only.
    static bool isWellFormedName(const QString& name);
    /// Whether a runtime variable of the manager bears the name already.
    bool isUsedName(const QString& name) const;

private:
    DeviceMapWidget& map;
};
