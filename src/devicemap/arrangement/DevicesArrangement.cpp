#include "DevicesArrangement.h"

bool DevicesArrangement::isEmpty() const
{
    return connections.isEmpty() && deviceRects.isEmpty();
}

void DevicesArrangement::recalculateBounds()
{
    devicesRect = QRectF();
    QPointF centerSum;
    for (const QRectF& rect : qAsConst(deviceRects)) {
        devicesRect = devicesRect | rect;
        centerSum += rect.center();
    }
    center = deviceRects.isEmpty() ? QPointF() : centerSum / deviceRects.size();

    clustersRect = QRectF();
    for (const QRectF& rect : qAsConst(clusterRects))
        clustersRect = clustersRect | rect;

    boundingRect = devicesRect | clustersRect;
}
