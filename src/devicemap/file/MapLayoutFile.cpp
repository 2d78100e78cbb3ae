#include "MapLayoutFile.h"

#include "ClusterRectItem.h"
#include "DeviceConnectionItem.h"
#include "DeviceNodeItem.h"
#include "MapItemIndex.h"

#include <QHash>
#include <QSettings>

namespace {

const QString layoutTypeKey = QStringLiteral("layoutType");
const QString sceneRectKey = QStringLiteral("sceneRect");
const QString clusterNamesKey = QStringLiteral("Clusters/ClusterNames");

QString deviceRectKey(const QString& name)
{
    return name + QStringLiteral("/rect");
}

QString bendsKey(const QString& from, const QString& to)
{
    return from + QLatin1Char(':') + to + QStringLiteral("/bends");
}

QString clusterKey(const QString& name, const char* field)
{
    return QStringLiteral("Clusters/") + name + QLatin1Char('/') + QLatin1String(field);
}

} // namespace

const QRect MapLayoutFile::unplacedRect(-1, -1, -1, -1);

MapLayoutFile MapLayoutFile::read(const QString& path)
{
    MapLayoutFile layout;
    QSettings settings(path, QSettings::IniFormat);
    const QStringList keys = settings.allKeys();
    for (const QString& key : keys)
        layout.keyValues.insert(key, settings.value(key));
    return layout;
}

std::optional<QRect> MapLayoutFile::readDeviceRect(const QString& path, const QString& name)
{
    const QVariant value = QSettings(path, QSettings::IniFormat).value(deviceRectKey(name));
    if (!value.isValid())
        return std::nullopt;
    return value.toRect();
}

MapLayoutFile MapLayoutFile::capture(const MapItemIndex& items, const QRectF& sceneRect, int layoutType)
{
    MapLayoutFile layout;
    const QMap<QString, DeviceNodeItem*>& devices = items.devices();
    const QMap<QString, ClusterRectItem*>& clusters = items.clusters();

    // The bounds of the map's whole arrangement, without its per-link snapshot, which is far dearer.
    QRectF bounds;
    for (DeviceNodeItem* item : devices) {
        if (item && !item->isUnplaced())
            bounds = bounds | item->boundingRect().translated(item->pos());
    }
    for (ClusterRectItem* cluster : clusters)
        bounds = bounds | cluster->rect().translated(cluster->pos());
    layout.setSceneRect(QRect(int(sceneRect.x()), int(sceneRect.y()), int(bounds.right() + 50),
                              int(bounds.bottom() + 50)));
    layout.setLayoutType(layoutType);

    for (auto it = devices.cbegin(); it != devices.cend(); ++it) {
        DeviceNodeItem* item = it.value();
        if (!item)
            continue;
        if (item->isUnplaced()) {
            layout.setDeviceRect(it.key(), unplacedRect);
            continue;
        }
        const QRectF bounding = item->boundingRect();
        layout.setDeviceRect(it.key(), QRect(int(item->pos().x()), int(item->pos().y()), int(bounding.width()),
                                             int(bounding.height())));
    }

    const QList<DeviceConnectionItem*> links = items.links();
    for (DeviceConnectionItem* link : links) {
        const QString from = items.nameOf(link->getNodeFrom());
        const QString to = items.nameOf(link->getNodeTo());
        const QList<QPointF> bends = link->getBendingPoints();
        if (!from.isEmpty() && !to.isEmpty() && !bends.isEmpty())
            layout.setBends(from, to, bends);
    }

    layout.setClusterNames(clusters.keys());
    for (ClusterRectItem* cluster : clusters) {
        const QRectF bounding = cluster->boundingRect();
        layout.setCluster(cluster->getName(),
                          QRect(int(cluster->pos().x()), int(cluster->pos().y()), int(bounding.width()),
                                int(bounding.height())),
                          cluster->getMovesContainedDevices());
    }
    return layout;
}

bool MapLayoutFile::write(const QString& path, QString* error) const
{
    QSettings settings(path, QSettings::IniFormat);
    settings.clear();
    for (auto it = keyValues.cbegin(); it != keyValues.cend(); ++it)
        settings.setValue(it.key(), it.value());
    settings.sync();
    if (settings.status() == QSettings::NoError)
        return true;
    if (error)
        *error = QStringLiteral("cannot write the settings");
    return false;
}

std::optional<QRectF> MapLayoutFile::sceneRect() const
{
    const QVariant value = keyValues.value(sceneRectKey);
    if (!value.isValid())
        return std::nullopt;
    return value.toRectF();
}

void MapLayoutFile::setSceneRect(const QRect& rect)
{
    keyValues.insert(sceneRectKey, rect);
}

int MapLayoutFile::layoutType() const
{
    return keyValues.value(layoutTypeKey, 0).toInt();
}

void MapLayoutFile::setLayoutType(int type)
{
    keyValues.insert(layoutTypeKey, type);
}

std::optional<QRect> MapLayoutFile::deviceRect(const QString& name) const
{
    const QVariant value = keyValues.value(deviceRectKey(name));
    if (!value.isValid())
        return std::nullopt;
    return value.toRect();
}

void MapLayoutFile::setDeviceRect(const QString& name, const QRect& rect)
{
    keyValues.insert(deviceRectKey(name), rect);
}

// Bending points are stored as "x;y" texts; anything else is skipped rather than guessed.
QList<QPointF> MapLayoutFile::bends(const QString& source, const QString& target) const
{
    const QStringList texts = keyValues.value(bendsKey(source, target)).toStringList();
    QList<QPointF> points;
    for (const QString& text : texts) {
        const QStringList parts = text.split(QLatin1Char(';'));
        if (parts.size() < 2)
            continue;
        bool xOk = false;
        bool yOk = false;
        const double x = parts.at(0).toDouble(&xOk);
        const double y = parts.at(1).toDouble(&yOk);
        if (xOk && yOk)
            points.append(QPointF(x, y));
    }
    return points;
}

void MapLayoutFile::setBends(const QString& source, const QString& target, const QList<QPointF>& points)
{
    if (points.isEmpty()) {
        keyValues.remove(bendsKey(source, target));
        return;
    }
    QStringList texts;
    for (const QPointF& point : points)
        texts.append(QStringLiteral("%0;%1").arg(point.x(), 0, 'g', -1).arg(point.y(), 0, 'g', -1));
    keyValues.insert(bendsKey(source, target), texts);
}

QStringList MapLayoutFile::clusterNames() const
{
    return keyValues.value(clusterNamesKey).toStringList();
}

QRectF MapLayoutFile::clusterRect(const QString& name) const
{
    return keyValues.value(clusterKey(name, "rect")).toRectF();
}

bool MapLayoutFile::clusterMovesContainedDevices(const QString& name) const
{
    return keyValues.value(clusterKey(name, "movesContainedDevices"), true).toBool();
}

void MapLayoutFile::setClusterNames(const QStringList& names)
{
    keyValues.insert(clusterNamesKey, names);
}

void MapLayoutFile::setCluster(const QString& name, const QRect& rect, bool movesContainedDevices)
{
    keyValues.insert(clusterKey(name, "rect"), rect);
    keyValues.insert(clusterKey(name, "movesContainedDevices"), movesContainedDevices);
}
