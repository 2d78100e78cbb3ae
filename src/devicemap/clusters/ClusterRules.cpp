#include "ClusterRules.h"

namespace ClusterRules {

bool isAcceptableName(const QString& name, const std::function<bool(const QString&)>& isClusterName)
{
    // A blank name shows as an empty label and cannot be told from another blank one.
    if (name.trimmed().isEmpty())
        return false;
    return !isClusterName(name);
}

QString templateClusterName(const QString& templateName, const std::function<bool(const QString&)>& isTaken)
{
    for (int number = 0;; ++number) {
        const QString name = templateName + QStringLiteral("-%0").arg(number);
        if (!isTaken(name))
            return name;
    }
}

QRect extendedRect(const QRectF& devicesRect)
{
    const QRect whole = devicesRect.toRect();
    return QRect(QPoint(whole.left() - margin, whole.top() - margin),
                 QPoint(whole.right() + margin, whole.bottom() + margin));
}

QRectF clusterRect(const QRect& extended)
{
    return QRectF(QPointF(extended.left(), extended.top()), QPointF(extended.right(), extended.bottom()));
}

bool fitsInScene(const QRect& extended, const QRectF& sceneRect, int tolerance)
{
    return sceneRect.adjusted(-tolerance, -tolerance, tolerance, tolerance).contains(QRectF(extended));
}

} // namespace ClusterRules
