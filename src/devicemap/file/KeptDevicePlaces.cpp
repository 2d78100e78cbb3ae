#include "KeptDevicePlaces.h"

#include "DeviceManager.h"
#include "MapLayoutFile.h"

#include <QSet>
#include <QStringList>

#include <algorithm>

KeptDevicePlaces::KeptDevicePlaces(DeviceManager* manager)
    : manager(manager)
{
}

void KeptDevicePlaces::remember(const MapLayoutFile& layout)
{
    rects.clear();
    bends.clear();
    const QStringList names = manager ? manager->getKeptDeviceNames() : QStringList();
    if (names.isEmpty())
        return;
    for (const QString& name : names) {
        if (const std::optional<QRect> rect = layout.deviceRect(name))
            rects.insert(name, *rect);
    }
    const QSet<QString> kept(names.cbegin(), names.cend());
    const QList<QPair<QString, QString>> links = layout.bentLinksAt(kept);
    for (const QPair<QString, QString>& link : links) {
        BentLink bent{link.first, link.second, kept.contains(link.first), kept.contains(link.second),
                      layout.bends(link.first, link.second)};
        if (!bent.points.isEmpty())
            bends.append(bent);
    }
}

void KeptDevicePlaces::rememberFile(const QString& path)
{
    if (!manager || manager->getKeptDeviceNames().isEmpty()) {
        rects.clear();
        bends.clear();
        return;
    }
    remember(MapLayoutFile::read(path));
}

void KeptDevicePlaces::putBack(MapLayoutFile& layout)
{
    if (isEmpty())
        return;
    if (manager) {
        const QStringList names = manager->getKeptDeviceNames();
        const QSet<QString> kept(names.cbegin(), names.cend());
        for (auto it = rects.begin(); it != rects.end();) {
            if (kept.contains(it.key()))
                ++it;
            else
                it = rects.erase(it);
        }
        const auto gone = [&kept](const BentLink& link) {
            return (link.sourceKept && !kept.contains(link.source)) || (link.targetKept && !kept.contains(link.target));
        };
        bends.erase(std::remove_if(bends.begin(), bends.end(), gone), bends.end());
    }
    for (auto it = rects.cbegin(); it != rects.cend(); ++it) {
        if (!layout.deviceRect(it.key()))
            layout.setDeviceRect(it.key(), it.value());
    }
    for (const BentLink& link : qAsConst(bends)) {
        if (layout.bends(link.source, link.target).isEmpty())
            layout.setBends(link.source, link.target, link.points);
    }
}

void KeptDevicePlaces::peerRenamed(const QString& oldName, const QString& newName)
{
    for (BentLink& link : bends) {
        if (!link.sourceKept && link.source == oldName)
            link.source = newName;
        if (!link.targetKept && link.target == oldName)
            link.target = newName;
    }
}

void KeptDevicePlaces::peerRemoved(const QString& name)
{
    const auto atRemoved = [&name](const BentLink& link) {
        return (!link.sourceKept && link.source == name) || (!link.targetKept && link.target == name);
    };
    bends.erase(std::remove_if(bends.begin(), bends.end(), atRemoved), bends.end());
}
