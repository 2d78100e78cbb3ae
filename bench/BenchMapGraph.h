#pragma once

// The graph most map benchmarks measure: scalers named "scaler1", "scaler2", …, each feeding
// the devices a few steps further on (modulo the count), placed on a grid of rows of
// gridColumns devices.

#include "DeviceInfo.h"
#include "DevicesArrangement.h"
#include "DeviceManager.h"
#include "DeviceNodeItem.h"
#include "DeviceText.h"

#include <QList>
#include <QRect>
#include <QRectF>
#include <QSettings>
#include <QString>
#include <QStringList>

constexpr int gridColumns = 50;

/// "scaler1" to "scaler<count>".
inline QStringList scalerNames(int count)
{
    QStringList names;
    names.reserve(count);
    for (int i = 0; i < count; ++i)
        names << QStringLiteral("scaler%1").arg(i + 1);
    return names;
}

/// The place of device index on the grid: rows of gridColumns, 120 by 60 apart, each 80 by 30.
inline QRect gridPlace(int index)
{
    return QRect((index % gridColumns) * 120, (index / gridColumns) * 60, 80, 30);
}

/// count scalers, each feeding, from output(double) to input(double), the one each step further on.
inline QList<DeviceInfo> scalerInfos(int count, const QList<int>& steps)
{
    const QStringList names = scalerNames(count);
    QList<DeviceInfo> infos;
    infos.reserve(count);
    for (int i = 0; i < count; ++i) {
        DeviceInfo info;
        info.name = names.at(i);
        info.type = QStringLiteral("scaler");
        for (int step : steps) {
            // A step of the count or more would come round to the device itself or repeat a link.
            if (step >= count)
                continue;
            info.outgoingConnections.append(
                Connection{names.at((i + step) % count), QStringLiteral("output(double)"), QStringLiteral("input(double)")});
        }
        infos.append(info);
    }
    return infos;
}

/// Loads infos as one YAML graph under their fixed names, so that the figures are the map's and
/// not the manager's naming.
inline void loadGraph(DeviceManager& manager, const QList<DeviceInfo>& infos)
{
    if (!manager.loadYamlFromString(DeviceText::compose(infos)))
        qFatal("The benchmark graph did not load");
}

/// loadGraph() of scalerInfos(); the scalers' names.
inline QStringList loadScalerGraph(DeviceManager& manager, int count, const QList<int>& steps = {1, gridColumns})
{
    loadGraph(manager, scalerInfos(count, steps));
    return scalerNames(count);
}

/// The graph as its manager saves it, which is what a host loads: every device with its
/// parameters and its links both ways (the text the undo of a delete hands back is the same).
inline QString savedText(const QList<DeviceInfo>& infos)
{
    DeviceManager manager;
    loadGraph(manager, infos);
    return manager.toYamlString();
}

/// A densely linked group, as a paste brings it: every generator ("generator1", …) feeds every
/// scaler ("scaler1", …), generators x scalers links.
inline QList<DeviceInfo> denseInfos(int generators, int scalers)
{
    QList<DeviceInfo> infos;
    QList<Connection> feeds;
    for (int i = 0; i < scalers; ++i)
        feeds.append(Connection{QStringLiteral("scaler%1").arg(i + 1), QStringLiteral("valueChanged(double)"),
                                QStringLiteral("input(double)")});
    for (int i = 0; i < generators; ++i) {
        DeviceInfo info;
        info.name = QStringLiteral("generator%1").arg(i + 1);
        info.type = QStringLiteral("generator");
        info.outgoingConnections = feeds;
        infos.append(info);
    }
    for (int i = 0; i < scalers; ++i) {
        DeviceInfo info;
        info.name = QStringLiteral("scaler%1").arg(i + 1);
        info.type = QStringLiteral("scaler");
        infos.append(info);
    }
    return infos;
}

/// Where a paste puts a group: its devices on the grid, as an arrangement a drop would bring
/// (the automatic layout is another benchmark's business).
inline DevicesArrangement gridArrangement(const QList<DeviceInfo>& infos)
{
    DevicesArrangement arrangement;
    for (int i = 0; i < infos.size(); ++i)
        arrangement.deviceRects.insert(infos.at(i).name, QRectF(gridPlace(i)));
    arrangement.recalculateBounds();
    arrangement.devices = infos;
    return arrangement;
}

/// Writes the grid place of each named device, in order, to the layout file at layoutPath.
inline void writeGridPlaces(const QString& layoutPath, const QStringList& names)
{
    QSettings layout(layoutPath, QSettings::IniFormat);
    for (int i = 0; i < names.size(); ++i)
        layout.setValue(names.at(i) + QStringLiteral("/rect"), gridPlace(i));
}

/// The unplaced list is shared by every map of the process: the next map starts without this one's devices.
inline void forgetUnplacedDevices()
{
    DeviceNodeItem::setUnplacedDevices(QStringList());
}
