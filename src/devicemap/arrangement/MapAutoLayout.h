#pragma once

#include "DeviceMapWidget.h"
#include "GraphLayoutAdapter.h"
#include "LayoutGraph.h"
#include "dozerozozu_export.h"

#include <QFuture>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

/**
 * The device map's automatic layout: the graph of the map's devices for a layout type
 * (sizes of their nodes, links, groups by category, area or the map's own clusters), laid
 * out by GraphLayoutAdapter, and the user's command that rearranges the whole map as one
 * undoable RearrangeGraphOperation.
 *
 * No layout holds the window for longer than the deadline of options() (9 s by default):
 * past it, and whenever Graphviz fails, the devices get the adapter's plain grid and the
 * user is told why in a warning box. The box is shown from the event loop once the call
 * that asked for the layout has returned, so a layout asked for while painting, dragging
 * or inside an operation never opens a dialog there; several fallbacks in a row give one box.
 *
 * Owned by the DeviceMapWidget, whose layout members forward here. GUI thread only; the
 * layout itself runs on a thread of its own while this thread keeps processing events
 * other than user input.
 */
class DOZEROZOZU_EXPORT MapAutoLayout : public QObject
{
    Q_OBJECT

public:
    explicit MapAutoLayout(DeviceMapWidget& map);
    ~MapAutoLayout() override;

    /// The adapter's options for every layout of this map; tests shorten the deadline.
    GraphLayoutAdapter::Options options() const { return adapterOptions; }
    void setOptions(const GraphLayoutAdapter::Options& options) { adapterOptions = options; }

    /// The graph of infos for type, with the map's clusters and placed devices for FixedClusters.
    LayoutGraph graphOf(const QList<DeviceInfo>& infos, DeviceMapWidget::LayoutType type) const;
    /// The descriptions of names as the manager gives them, in the order given.
    QList<DeviceInfo> infosOf(const QStringList& names) const;

    /**
     * Records type as the map's layout type (Orthogonal for the clustered types) and lays
     * infos out within the deadline. Events other than user input are processed meanwhile:
     * callers re-check their own state afterwards. A host may delete the map outright there,
     * and this with it: the wait ends at once with an abandoned, empty result, and the caller
     * touches nothing of the map (nor of its collaborators) unless a QPointer to it says it is
     * still there.
     */
    GraphLayoutAdapter::Result arrange(const QList<DeviceInfo>& infos, DeviceMapWidget::LayoutType type);
    /// Starts a layout of infos on a thread of its own without recording the type; for the paint.
    QFuture<GraphLayoutAdapter::Result> start(const QList<DeviceInfo>& infos, DeviceMapWidget::LayoutType type) const;

    /**
     * The user's command: asks first when ask is true, lays every device of the manager out
     * and pushes one RearrangeGraphOperation; then rebuilds a shown grid, colours the
     * devices again and sorts the search result by the new places.
     */
    void rearrangeGraph(DeviceMapWidget::LayoutType type, bool ask);
    /**
     * rearrangeGraph(type, true) from the event loop, for a menu's entry: its triggered comes
     * in the middle of the menu's own event handling, which goes on over the menu once the slot
     * returns, and the question and the layout's wait may see the map and its menus deleted.
     */
    void rearrangeGraphLater(DeviceMapWidget::LayoutType type);

private:
    bool confirm(DeviceMapWidget::LayoutType type);
    /// Lets the event loop tell the user of the last fallback, if there is one to tell.
    void scheduleFallbackNotice();
    void showFallbackNotice();

    DeviceMapWidget& map;
    GraphLayoutAdapter::Options adapterOptions;
    QString pendingNotice;
    bool noticeScheduled = false;
    // Layouts this map is waiting for; their waits process events, where no box may open.
    int layoutsRunning = 0;
};
