#pragma once

#include "dozerozozu_export.h"

#include <QList>
#include <QMap>
#include <QPair>
#include <QPointF>
#include <QRect>
#include <QRectF>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>
#include <optional>

class MapItemIndex;
class QSettings;

/**
 * The device map's layout file as a plain value: where devices, bending points and clusters
 * are drawn, the scene rectangle and the recorded layout type.
 *
 * The file is an INI file in QSettings' format. Keys: "sceneRect" and "layoutType"; for each
 * device "<name>/rect" (x -1, y -1, width -1, height -1 when the device is unplaced); for
 * each link with bending points "<source>:<target>/bends", one "x;y" text per point; and
 * "Clusters/ClusterNames" with "Clusters/<name>/rect" and "Clusters/<name>/movesContainedDevices"
 * per cluster. Stored files depend on this format.
 *
 * No widget inside: tests and benchmarks read, build and write values directly. Writing
 * composes the file's text directly (IniFileText) and replaces the file in one step; reading
 * takes text in that form directly too. A file in another form is read through QSettings, which
 * is asked for each key when first needed (changing such a value copies every key first).
 *
 *     MapLayoutFile layout = MapLayoutFile::read(path);
 *     const std::optional<QRect> place = layout.deviceRect(QStringLiteral("pump"));
 */
class DOZEROZOZU_EXPORT MapLayoutFile
{
public:
    /// What an unplaced device stores as its rectangle.
    static const QRect unplacedRect;
    /// Every coordinate read from or written to the file lies within this distance of the origin.
    static constexpr double maxExtent = 1000000.0;
    /// The room the map keeps in its scene around every device rectangle it reads or places.
    static constexpr double sceneMargin = 16.0;

    /// A scene rectangle as the file stores it: edges truncated to whole units, within maxExtent.
    static QRect storedRect(const QRectF& rect);

    /// Every key of the file; a missing or unreadable file gives the empty value.
    static MapLayoutFile read(const QString& path);
    /// The stored rectangle of one device, read from the file without the rest.
    static std::optional<QRect> readDeviceRect(const QString& path, const QString& name);
    /**
     * The layout of what the index holds: placed devices at their positions, unplaced ones in
     * the unplaced form, links with bending points, clusters (no cluster keys without clusters).
     * sceneRect gives the stored scene rectangle's origin, moved out to hold every stored device
     * rectangle with sceneMargin around it, as reading the file back widens the scene; its size
     * reaches 50 past the stored rectangles of devices and clusters. So a map read from a file
     * it wrote, and captured again without a change, writes that file again byte for byte.
     */
    static MapLayoutFile capture(const MapItemIndex& items, const QRectF& sceneRect, int layoutType);

    /// Replaces the file with this value's keys. False, with a reason in error, on failure.
    bool write(const QString& path, QString* error = nullptr) const;

    std::optional<QRectF> sceneRect() const;
    void setSceneRect(const QRect& rect);
    /// 0 (orthogonal) when missing or not a number; any other number is kept as it is.
    int layoutType() const;
    void setLayoutType(int type);
    /// Missing keys give no value; a value that is no rectangle gives the null rectangle.
    std::optional<QRect> deviceRect(const QString& name) const;
    void setDeviceRect(const QString& name, const QRect& rect);
    /// Texts that are not "x;y" pairs of numbers are skipped.
    QList<QPointF> bends(const QString& source, const QString& target) const;
    /// An empty list writes no key.
    void setBends(const QString& source, const QString& target, const QList<QPointF>& points);
    /**
     * The links with a bends key that have one of names at an end, as (source, target) pairs.
     * Looks at every bends key of the file once, without reading its values.
     */
    QList<QPair<QString, QString>> bentLinksAt(const QSet<QString>& names) const;
    QStringList clusterNames() const;
    /// The null rectangle when missing.
    QRectF clusterRect(const QString& name) const;
    /// true when missing.
    bool clusterMovesContainedDevices(const QString& name) const;
    /// Writes the name list; each cluster's own keys come with setCluster().
    void setClusterNames(const QStringList& names);
    void setCluster(const QString& name, const QRect& rect, bool movesContainedDevices);

    /// Every key with its value, in key order.
    const QMap<QString, QVariant>& values() const;

private:
    QVariant value(const QString& key, const QVariant& fallback = QVariant()) const;
    /// The keys as a map of their own, copied from the file first when read from one.
    QMap<QString, QVariant>& editableValues();

    // A file read is asked one key at a time: a map of thousands of devices asks for one key per
    // device, and sorting every key of the file into the map first cost more than the rest of
    // the reading. Text in the written form is parsed into a hash; other text stays with
    // QSettings, which is not asked for keys whose first section the file lacks.
    struct ParsedText;
    std::shared_ptr<const ParsedText> parsed;
    std::shared_ptr<QSettings> source;
    std::shared_ptr<const QSet<QString>> sourceSections;
    mutable QMap<QString, QVariant> keyValues;
    mutable bool keysCopied = true;
};
