#include "MapAutoLayout.h"
#include "DeviceMapParts.h"

#include "ClusterRectItem.h"
#include "DeviceManager.h"
#include "DeviceNodeItem.h"
#include "LayoutGraphBuilder.h"
#include "MapItemIndex.h"
#include "MapSearch.h"
#include "MapWaitCursor.h"
#include "RearrangeGraphOperation.h"
#include "RunningCommands.h"
#include "ZenticMessageBox.h"

#include <QApplication>
#include <QPointer>
#include <QTimer>

#include <utility>

namespace {

/// How soon a notice that could not be shown is tried again.
constexpr int noticeRetryMs = 100;

bool isClustered(DeviceMapWidget::LayoutType type)
{
    return type == DeviceMapWidget::ClusterByGuiArea || type == DeviceMapWidget::ClusterByIO
           || type == DeviceMapWidget::FixedClusters;
}

} // namespace

MapAutoLayout::MapAutoLayout(DeviceMapWidget& map)
    : QObject(nullptr)
    , map(map)
{
}

MapAutoLayout::~MapAutoLayout() = default;

LayoutGraph MapAutoLayout::graphOf(const QList<DeviceInfo>& infos, DeviceMapWidget::LayoutType type) const
{
    LayoutGraphBuilder builder(map.getDeviceManager(), type);
    if (type == DeviceMapWidget::FixedClusters) {
        // Devices waiting in the unplaced zone have no place yet, so they belong to no cluster.
        const MapItemIndex& items = DeviceMapParts(map).itemIndex();
        QMap<QString, QRectF> clusterRects;
        for (auto it = items.clusters().cbegin(); it != items.clusters().cend(); ++it) {
            if (it.value())
                clusterRects.insert(it.key(), QRectF(it.value()->pos(), it.value()->rect().size()));
        }
        QMap<QString, QRectF> deviceRects;
        for (auto it = items.devices().cbegin(); it != items.devices().cend(); ++it) {
            if (it.value() && !it.value()->isUnplaced())
                deviceRects.insert(it.key(), it.value()->boundingRect().translated(it.value()->pos()));
        }
        builder.setMapClusters(clusterRects, deviceRects);
    }
    return builder.build(infos);
}

QList<DeviceInfo> MapAutoLayout::infosOf(const QStringList& names) const
{
    QList<DeviceInfo> infos;
    infos.reserve(names.size());
    for (const QString& name : names)
        infos.append(map.getDeviceManager()->getDeviceInfo(name));
    return infos;
}

GraphLayoutAdapter::Result MapAutoLayout::arrange(const QList<DeviceInfo>& infos, DeviceMapWidget::LayoutType type)
{
    // A clustered layout is recorded as Orthogonal: devices placed later join no cluster.
    map.setCurrentLayoutType(isClustered(type) ? DeviceMapWidget::Orthogonal : type);
    const LayoutGraph graph = graphOf(infos, type);
    if (graph.devices.isEmpty())
        return GraphLayoutAdapter::layOut(graph, adapterOptions);
    // The wait runs the host's timers, which may delete the map outright, and this with it:
    // the wait ends there, the adapter reads its own copy of the options, and nothing of this is
    // touched after.
    const QPointer<DeviceMapWidget> alive(&map);
    const GraphLayoutAdapter::Options options = adapterOptions;
    ++layoutsRunning;
    GraphLayoutAdapter::Result result = GraphLayoutAdapter::layOutWithin(graph, options, &map);
    if (!alive)
        return result;
    --layoutsRunning;
    if (result.fellBack)
        pendingNotice = result.reason;
    scheduleFallbackNotice();
    return result;
}

QFuture<GraphLayoutAdapter::Result> MapAutoLayout::start(const QList<DeviceInfo>& infos,
                                                         DeviceMapWidget::LayoutType type) const
{
    return GraphLayoutAdapter::start(graphOf(infos, type), adapterOptions);
}

void MapAutoLayout::rearrangeGraph(DeviceMapWidget::LayoutType type, bool ask)
{
    // No question for a rearrangement that would be refused.
    if (!RunningCommands::mayBegin(&map, "DeviceMapWidget::rearrangeGraph()"))
        return;
    // The confirmation and the layout run event loops: this object goes with the map.
    QPointer<DeviceMapWidget> alive(&map);
    if (ask && !confirm(type))
        return;
    if (!alive)
        return;
    // From here on one command: the layout's wait, the push and what follows it.
    const RunningCommands::Entry command(&map, "DeviceMapWidget::rearrangeGraph()");
    if (!command.hasBegun())
        return;

    const QList<DeviceInfo> infos = infosOf(map.getDeviceManager()->getDeviceNames());
    int work = infos.size();
    for (const DeviceInfo& info : infos)
        work += info.outgoingConnections.size();
    // Over the layout and its application alike, up to the search sorted anew.
    MapWaitCursor busy(work);
    const GraphLayoutAdapter::Result result = arrange(infos, type);
    if (!alive)
        return;
    // Taken after the layout, whose wait lets the manager's signals in, so that undo gives
    // back exactly what the map showed when the rearrangement was applied.
    const DevicesArrangement before = map.getAllDevicesArrangement();
    const QRectF sceneRect = map.sceneRect();
    auto operation = new RearrangeGraphOperation(&map, before, result.arrangement, sceneRect);
    RunningCommands::OwnStep own(&map);
    if (!map.pushOperation(operation) || !alive)
        return;

    if (map.getGrid().isActive())
        map.getGrid().activate(true);
    map.setColorisationMode(map.getColorisationMode());
    DeviceMapParts(map).search().sortByPosition();
}

void MapAutoLayout::rearrangeGraphLater(DeviceMapWidget::LayoutType type)
{
    QTimer::singleShot(0, this, [this, type]() { rearrangeGraph(type, true); });
}

bool MapAutoLayout::confirm(DeviceMapWidget::LayoutType type)
{
    const bool dropsClusters = (type == DeviceMapWidget::Orthogonal || type == DeviceMapWidget::Hierarchical)
                               && !DeviceMapParts(map).itemIndex().clusters().isEmpty();
    // The rearrangement is one step on the undo stack, so nothing here claims it cannot be undone.
    if (dropsClusters) {
        return ZenticMessageBox::confirm(
            &map, QMessageBox::Warning, DeviceMapWidget::tr("Rearrange"),
            DeviceMapWidget::tr("Are you sure you want to rearrange layout without clusters?"),
            DeviceMapWidget::tr("All clusters will be removed. Device positions will be rearranged automatically."));
    }
    return ZenticMessageBox::confirm(&map, QMessageBox::Warning, DeviceMapWidget::tr("Rearrange"),
                                     DeviceMapWidget::tr("Are you sure you want to rearrange layout?"),
                                     DeviceMapWidget::tr("Device positions will be rearranged automatically."));
}

void MapAutoLayout::scheduleFallbackNotice()
{
    if (noticeScheduled || pendingNotice.isEmpty() || layoutsRunning > 0)
        return;
    noticeScheduled = true;
    QMetaObject::invokeMethod(this, &MapAutoLayout::showFallbackNotice, Qt::QueuedConnection);
}

// Any event loop may deliver the notice: not one of a layout's waits (the layout reschedules it
// when it ends), nor an operation's wait, nor a drag (the user still holds a button).
void MapAutoLayout::showFallbackNotice()
{
    if (layoutsRunning > 0) {
        noticeScheduled = false;
        return;
    }
    if (map.isWaitingForManager() || QGuiApplication::mouseButtons() != Qt::NoButton) {
        QTimer::singleShot(noticeRetryMs, this, &MapAutoLayout::showFallbackNotice);
        return;
    }
    noticeScheduled = false;
    const QString reason = std::exchange(pendingNotice, QString());
    if (!reason.isEmpty())
        ZenticMessageBox::warning(&map, DeviceMapWidget::tr("The devices were placed on a simple grid"), reason);
}
