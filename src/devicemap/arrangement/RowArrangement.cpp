#include "RowArrangement.h"

#include "DeviceNodeItem.h"

#include <QHash>
#include <QSet>

namespace {

// The source device of a connection string "this.slot<source.signal"; empty without '<'.
QString sourceOfConnectionString(const QString& text)
{
    const int arrow = text.indexOf(QLatin1Char('<'));
    if (arrow < 0)
        return QString();
    const QString afterArrow = text.mid(arrow + 1);
    return afterArrow.left(afterArrow.indexOf(QLatin1Char('.')));
}

QList<ItemsConnection> connectionsOf(const QList<DeviceInfo>& infos)
{
    QSet<QString> names;
    for (const DeviceInfo& info : infos)
        names.insert(info.name);
    QList<ItemsConnection> connections;
    QSet<QPair<QString, QString>> linked;
    auto link = [&](const QString& from, const QString& to) {
        ItemsConnection connection;
        connection.from = from;
        connection.to = to;
        connections.append(connection);
        linked.insert(qMakePair(from, to));
    };
    for (const DeviceInfo& info : infos) {
        QSet<QString> peers;
        for (const Connection& connection : info.outgoingConnections) {
            if (peers.contains(connection.device) || !names.contains(connection.device))
                continue;
            peers.insert(connection.device);
            link(info.name, connection.device);
        }
    }
    for (const DeviceInfo& info : infos) {
        for (const QString& text : info.connectionStrings) {
            const QString source = sourceOfConnectionString(text);
            if (source.isNull() || !names.contains(source) || !names.contains(info.name))
                continue;
            if (linked.contains(qMakePair(source, info.name)) || linked.contains(qMakePair(info.name, source)))
                continue;
            link(source, info.name);
        }
    }
    return connections;
}

} // namespace

namespace RowArrangement {

DevicesArrangement arrange(const QList<DeviceInfo>& infos)
{
    DevicesArrangement arrangement;
    arrangement.devices = infos;
    QList<QSize> sizes;
    int columnWidth = 0;
    int rowHeight = 0;
    for (const DeviceInfo& info : infos) {
        sizes.append(DeviceNodeItem::getDeviceSize(info));
        columnWidth = qMax(columnWidth, sizes.last().width() + gap);
        rowHeight = qMax(rowHeight, sizes.last().height() + gap);
    }
    for (int i = 0; i < infos.size(); ++i) {
        const QPointF corner((i % devicesPerRow) * columnWidth, (i / devicesPerRow) * rowHeight);
        arrangement.deviceRects.insert(infos.at(i).name, QRectF(corner, QSizeF(sizes.at(i))));
    }
    arrangement.connections = connectionsOf(infos);
    arrangement.recalculateBounds();
    return arrangement;
}

} // namespace RowArrangement
