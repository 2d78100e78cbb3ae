#pragma once

#include "dozerozozu_export.h"

#include <QRect>
#include <QRectF>
#include <QString>

#include <functional>

/**
 * The plain rules behind the device map's clusters: which names a new or renamed cluster
 * may take, how a template's cluster is named, and the rectangle a cluster gets around its
 * devices. No widget inside; any thread.
 *
 *     const QRect around = ClusterRules::extendedRect(arrangement.devicesRect);
 *     if (ClusterRules::fitsInScene(around, sceneRect, ClusterRules::margin))
 *         push(new CreateClusterOperation(map, name, ClusterRules::clusterRect(around)));
 */
namespace ClusterRules {

/// Space between a cluster's edge and the devices it is made around, and the scene's tolerance.
constexpr int margin = 15;

/// Whether a typed name may name a cluster: not empty, not blank, not already a cluster's.
DOZEROZOZU_EXPORT bool isAcceptableName(const QString& name, const std::function<bool(const QString&)>& isClusterName);
/// templateName + "-N" with the smallest N from 0 for which isTaken is false.
DOZEROZOZU_EXPORT QString templateClusterName(const QString& templateName,
                                              const std::function<bool(const QString&)>& isTaken);
/// The devices' rectangle in whole units (QRectF::toRect), grown by margin on every side.
DOZEROZOZU_EXPORT QRect extendedRect(const QRectF& devicesRect);
/// The scene rectangle of a cluster from corner to corner of extended: its width is right - left.
DOZEROZOZU_EXPORT QRectF clusterRect(const QRect& extended);
/// Whether the scene rectangle, grown by tolerance on every side, holds extended (edges inclusive).
DOZEROZOZU_EXPORT bool fitsInScene(const QRect& extended, const QRectF& sceneRect, int tolerance);

} // namespace ClusterRules
