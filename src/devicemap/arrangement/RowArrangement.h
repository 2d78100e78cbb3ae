#pragma once

#include "DevicesArrangement.h"
#include "dozerozozu_export.h"

#include <QList>

/**
 * A plain arrangement of described devices: in rows of five, each device at the size its
 * node item will have, with one connection per linked pair as the automatic layout records
 * them (from each device's outgoing connections, then from its connection strings), without
 * bending points.
 *
 * The map lays files and pasted text out this way until the automatic layout is wired into
 * DeviceMapWidget::rearrangeDevicesFromInfos(). No widget inside; GUI thread (text metrics).
 */
namespace RowArrangement {

constexpr int devicesPerRow = 5;
/// Space between neighbouring devices.
constexpr int gap = 20;

DOZEROZOZU_EXPORT DevicesArrangement arrange(const QList<DeviceInfo>& infos);

} // namespace RowArrangement
