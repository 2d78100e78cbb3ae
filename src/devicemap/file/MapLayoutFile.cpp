#include "MapLayoutFile.h"

#include "ClusterRectItem.h"
#include "IniFileText.h"
#include "DeviceConnectionItem.h"
#include "DeviceNodeItem.h"
#include "MapItemIndex.h"

#include "BoundedIni.h"
#include "SafeFileWriter.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSettings>
#include <QVarLengthArray>
#include <QtDebug>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

const QString layoutTypeKey = QStringLiteral("layoutType");
const QString sceneRectKey = QStringLiteral("sceneRect");
const QString clusterNamesKey = QStringLiteral("Clusters/ClusterNames");

QString deviceRectKey(const QString& name)
{
    QString key;
    key.reserve(name.size() + 5);
    return key.append(name).append(QLatin1String("/rect"));
}

QString bendsKey(const QString& from, const QString& to)
{
    QString key;
    key.reserve(from.size() + to.size() + 7);
    return key.append(from).append(QLatin1Char(':')).append(to).append(QLatin1String("/bends"));
}

// FNV-1a over the UTF-16 units of the parts, as if they were one text.
uint sectionHash(std::initializer_list<QStringView> parts)
{
    uint hash = 2166136261u;
    for (const QStringView part : parts) {
        for (const QChar c : part)
            hash = (hash ^ c.unicode()) * 16777619u;
    }
    return hash;
}

QString clusterKey(const QString& name, const char* field)
{
    return QStringLiteral("Clusters/") + name + QLatin1Char('/') + QLatin1String(field);
}

double clampCoordinate(double value)
{
    if (std::isnan(value))
        return 0;
    return qBound(-MapLayoutFile::maxExtent, value, MapLayoutFile::maxExtent);
}

// Edges beyond the extent are pulled in; a rectangle inside it stays exactly as it is.
QRectF clampRect(const QRectF& rect)
{
    const double right = rect.x() + rect.width();
    const double bottom = rect.y() + rect.height();
    const auto inside = [](double value) { return std::abs(value) <= MapLayoutFile::maxExtent; };
    if (inside(rect.x()) && inside(rect.y()) && inside(right) && inside(bottom))
        return rect;
    const double left = clampCoordinate(rect.x());
    const double top = clampCoordinate(rect.y());
    return QRectF(left, top, clampCoordinate(right) - left, clampCoordinate(bottom) - top);
}

// QSettings builds a QRect from the stored x, y, width and height, and its right edge wraps
// when x + width passes the int range; the width comes back exactly through unsigned arithmetic.
QRectF readRect(const QRect& rect)
{
    int x1 = 0;
    int y1 = 0;
    int x2 = 0;
    int y2 = 0;
    rect.getCoords(&x1, &y1, &x2, &y2);
    const auto size = [](int first, int last) { return qint32(quint32(last) - quint32(first) + 1u); };
    return clampRect(QRectF(x1, y1, size(x1, x2), size(y1, y2)));
}

QRectF readRect(const QVariant& value)
{
    if (value.userType() == QMetaType::QRect)
        return readRect(value.toRect());
    const QRectF rect = value.toRectF();
    if (!std::isfinite(rect.x()) || !std::isfinite(rect.y()) || !std::isfinite(rect.width())
        || !std::isfinite(rect.height()))
        return QRectF();
    return clampRect(rect);
}

int storedCoordinate(double value)
{
    return int(clampCoordinate(value));
}

// QSettings' cache takes a file whose size and modification time (in milliseconds) are
// unchanged for the file it read before; a replacement within the same millisecond must look newer.
void markNewerThan(const QString& path, const QDateTime& before)
{
    if (!before.isValid() || QFileInfo(path).lastModified() > before)
        return;
    QFile file(path);
    if (file.open(QIODevice::ReadWrite))
        file.setFileTime(before.addMSecs(1), QFileDevice::FileModificationTime);
}

} // namespace

// The keys of a file in the written form, and a hash of each first section of a key, so that
// the links of a large map can be told they have no bends without a key being made for each.
namespace {

// The rectangles of the sections whose names need no escaping, found by the names as written
// in the text, which the table points into: no key text is made for each of a large map's
// devices, and none has to be freed again.
class PlainRectTable
{
public:
    explicit PlainRectTable(int expected)
        : slots(size_t(capacityFor(expected)))
    {
    }

    bool insert(const char* name, int length, const QRect& rect)
    {
        if (2 * (used + 1) > int(slots.size()))
            grow();
        const uint hash = hashOf(name, length);
        Slot& slot = slots[indexOf(name, length, hash)];
        if (slot.name)
            return false;
        slot = Slot{name, length, hash, rect};
        ++used;
        return true;
    }

    // Names with characters the file escapes are not in the table.
    const QRect* rectOf(const QString& name) const
    {
        if (used == 0 || !IniFileText::isPlainKey(name))
            return nullptr;
        QVarLengthArray<char, 128> latin(name.size());
        for (int i = 0; i < name.size(); ++i)
            latin[i] = char(name.at(i).unicode());
        const Slot& slot = slots[indexOf(latin.constData(), latin.size(), hashOf(latin.constData(), latin.size()))];
        return slot.name ? &slot.rect : nullptr;
    }

    template<typename Visit>
    void forEach(Visit visit) const
    {
        for (const Slot& slot : slots) {
            if (slot.name)
                visit(QString::fromLatin1(slot.name, slot.length), slot.rect);
        }
    }

private:
    struct Slot
    {
        const char* name = nullptr;
        int length = 0;
        uint hash = 0;
        QRect rect;
    };

    static int capacityFor(int count)
    {
        int capacity = 16;
        while (capacity < 2 * count)
            capacity *= 2;
        return capacity;
    }

    static uint hashOf(const char* name, int length)
    {
        uint hash = 2166136261u;
        for (int i = 0; i < length; ++i)
            hash = (hash ^ uchar(name[i])) * 16777619u;
        return hash;
    }

    // The slot holding the name, or the empty one where it would go.
    size_t indexOf(const char* name, int length, uint hash) const
    {
        const size_t mask = slots.size() - 1;
        for (size_t i = hash & mask;; i = (i + 1) & mask) {
            const Slot& slot = slots[i];
            if (!slot.name
                || (slot.hash == hash && slot.length == length && memcmp(slot.name, name, size_t(length)) == 0))
                return i;
        }
    }

    void grow()
    {
        std::vector<Slot> old(slots.size() * 2);
        old.swap(slots);
        for (const Slot& slot : old) {
            if (slot.name)
                slots[indexOf(slot.name, slot.length, slot.hash)] = slot;
        }
    }

    std::vector<Slot> slots;
    int used = 0;
};

} // namespace

struct MapLayoutFile::ParsedText
{
    explicit ParsedText(const QByteArray& source)
        : text(source)
        , rects(source.count('\n') / 3)
    {
    }

    // The text the table's names point into.
    const QByteArray text;
    QHash<QString, QVariant> values;
    PlainRectTable rects;
    QSet<uint> sectionHashes;
};

const QRect MapLayoutFile::unplacedRect(-1, -1, -1, -1);

QRect MapLayoutFile::storedRect(const QRectF& rect)
{
    const QRectF inside = clampRect(rect);
    return QRect(int(inside.x()), int(inside.y()), int(inside.width()), int(inside.height()));
}

MapLayoutFile MapLayoutFile::read(const QString& path)
{
    MapLayoutFile layout;
    // The text this map writes is read directly; any other goes through QSettings.
    QByteArray text;
    QString error;
    if (!BoundedIni::readFile(path, &text, &error)) {
        qWarning().noquote() << "MapLayoutFile: layout file not read |" << path << "|" << error;
        return layout;
    }
    auto parsed = std::make_shared<ParsedText>(text);
    text.clear();
    PlainRectTable& rects = parsed->rects;
    const auto takeRect = [&rects](const char* section, int length, const QRect& rect) {
        return rects.insert(section, length, rect);
    };
    if (QFileInfo::exists(path) && IniFileText::parse(parsed->text, &parsed->values, takeRect)) {
        for (auto it = parsed->values.cbegin(); it != parsed->values.cend(); ++it) {
            const int slash = it.key().indexOf(QLatin1Char('/'));
            if (slash > 0)
                parsed->sectionHashes.insert(sectionHash({QStringView(it.key()).left(slash)}));
        }
        layout.parsed = parsed;
        layout.keysCopied = false;
        return layout;
    }
    if (!BoundedIni::isSafeForSettings(parsed->text, &error)) {
        qWarning().noquote() << "MapLayoutFile: layout file not read |" << path << "|" << error;
        return layout;
    }
    layout.source = std::make_shared<QSettings>(path, QSettings::IniFormat);
    const QStringList groups = layout.source->childGroups();
    layout.sourceSections = std::make_shared<const QSet<QString>>(groups.cbegin(), groups.cend());
    layout.keysCopied = false;
    return layout;
}

QVariant MapLayoutFile::value(const QString& key, const QVariant& fallback) const
{
    if (keysCopied)
        return keyValues.value(key, fallback);
    if (parsed) {
        const auto stored = parsed->values.constFind(key);
        if (stored != parsed->values.cend())
            return stored.value();
        const QRect* rect = key.endsWith(QLatin1String("/rect")) ? parsed->rects.rectOf(key.chopped(5)) : nullptr;
        return rect ? QVariant(*rect) : fallback;
    }
    const int slash = key.indexOf(QLatin1Char('/'));
    if (slash > 0 && !sourceSections->contains(key.left(slash)))
        return fallback;
    return source->value(key, fallback);
}

const QMap<QString, QVariant>& MapLayoutFile::values() const
{
    if (!keysCopied && parsed) {
        for (auto it = parsed->values.cbegin(); it != parsed->values.cend(); ++it)
            keyValues.insert(it.key(), it.value());
        parsed->rects.forEach(
            [this](const QString& name, const QRect& rect) { keyValues.insert(deviceRectKey(name), rect); });
    } else if (!keysCopied) {
        const QStringList keys = source->allKeys();
        for (const QString& key : keys)
            keyValues.insert(key, source->value(key));
    }
    keysCopied = true;
    return keyValues;
}

QMap<QString, QVariant>& MapLayoutFile::editableValues()
{
    values();
    parsed.reset();
    source.reset();
    sourceSections.reset();
    return keyValues;
}

std::optional<QRect> MapLayoutFile::readDeviceRect(const QString& path, const QString& name)
{
    if (!BoundedIni::isFileSafeForSettings(path))
        return std::nullopt;
    const QVariant value = QSettings(path, QSettings::IniFormat).value(deviceRectKey(name));
    if (!value.isValid())
        return std::nullopt;
    return readRect(value).toRect();
}

MapLayoutFile MapLayoutFile::capture(const MapItemIndex& items, const QRectF& sceneRect, int layoutType)
{
    MapLayoutFile layout;
    const QMap<QString, DeviceNodeItem*>& devices = items.devices();
    const QMap<QString, ClusterRectItem*>& clusters = items.clusters();

    // Everything is measured on the rectangles as stored, not on the items' exact places: a map
    // read back from this file has its items exactly there, and must arrive at the same numbers.
    QRectF bounds;
    QPointF origin = sceneRect.topLeft();
    for (auto it = devices.cbegin(); it != devices.cend(); ++it) {
        DeviceNodeItem* item = it.value();
        if (!item)
            continue;
        const bool unplaced = item->isUnplaced();
        const QRect stored = unplaced ? unplacedRect : storedRect(QRectF(item->pos(), item->boundingRect().size()));
        layout.setDeviceRect(it.key(), stored);
        // Reading the file widens the scene around each stored rectangle, the unplaced form too.
        const QRectF widened =
            QRectF(stored).adjusted(-sceneMargin, -sceneMargin, sceneMargin, sceneMargin).normalized();
        origin.setX(std::min(origin.x(), widened.x()));
        origin.setY(std::min(origin.y(), widened.y()));
        if (!unplaced)
            bounds = bounds | QRectF(stored);
    }
    QList<QPair<const ClusterRectItem*, QRect>> clusterRects;
    for (const ClusterRectItem* cluster : clusters) {
        const QRect stored = storedRect(QRectF(cluster->pos(), cluster->boundingRect().size()));
        clusterRects.append(qMakePair(cluster, stored));
        bounds = bounds | QRectF(stored);
    }
    layout.setSceneRect(QRect(storedCoordinate(origin.x()), storedCoordinate(origin.y()),
                              storedCoordinate(bounds.right() + 50), storedCoordinate(bounds.bottom() + 50)));
    layout.setLayoutType(layoutType);

    const QList<DeviceConnectionItem*> links = items.links();
    for (DeviceConnectionItem* link : links) {
        const QString from = items.nameOf(link->getNodeFrom());
        const QString to = items.nameOf(link->getNodeTo());
        const QList<QPointF> bends = link->getBendingPoints();
        if (!from.isEmpty() && !to.isEmpty() && !bends.isEmpty())
            layout.setBends(from, to, bends);
    }

    // An empty list has no text of its own in the INI form (QSettings writes "@Invalid()"); a
    // missing key reads as no clusters everywhere.
    if (clusters.isEmpty())
        return layout;
    layout.setClusterNames(clusters.keys());
    for (auto cluster = clusterRects.cbegin(); cluster != clusterRects.cend(); ++cluster)
        layout.setCluster(cluster->first->getName(), cluster->second, cluster->first->getMovesContainedDevices());
    return layout;
}

bool MapLayoutFile::write(const QString& path, QString* error) const
{
    const QMap<QString, QVariant>& all = values();
    const QDateTime before = QFileInfo(path).lastModified();
    QByteArray text;
    const bool written = IniFileText::compose(all, &text) ? SafeFileWriter::writeFile(path, text, error)
                                                          : SafeFileWriter::writeSettings(
                                                              path,
                                                              [&all](QSettings& settings) {
                                                                  settings.clear();
                                                                  for (auto it = all.cbegin(); it != all.cend(); ++it)
                                                                      settings.setValue(it.key(), it.value());
                                                              },
                                                              error);
    if (written)
        markNewerThan(path, before);
    return written;
}

std::optional<QRectF> MapLayoutFile::sceneRect() const
{
    const QVariant stored = value(sceneRectKey);
    if (!stored.isValid())
        return std::nullopt;
    return readRect(stored);
}

void MapLayoutFile::setSceneRect(const QRect& rect)
{
    editableValues().insert(sceneRectKey, rect);
}

int MapLayoutFile::layoutType() const
{
    return value(layoutTypeKey, 0).toInt();
}

void MapLayoutFile::setLayoutType(int type)
{
    editableValues().insert(layoutTypeKey, type);
}

std::optional<QRect> MapLayoutFile::deviceRect(const QString& name) const
{
    if (!keysCopied && parsed) {
        if (const QRect* rect = parsed->rects.rectOf(name))
            return readRect(*rect).toRect();
    }
    const QVariant stored = value(deviceRectKey(name));
    if (!stored.isValid())
        return std::nullopt;
    return readRect(stored).toRect();
}

void MapLayoutFile::setDeviceRect(const QString& name, const QRect& rect)
{
    editableValues().insert(deviceRectKey(name), rect);
}

// Bending points are stored as "x;y" texts; anything else is skipped rather than guessed.
QList<QPointF> MapLayoutFile::bends(const QString& source, const QString& target) const
{
    if (!keysCopied && parsed
        && !parsed->sectionHashes.contains(sectionHash({source, QStringView(u":"), target})))
        return QList<QPointF>();
    const QStringList texts = value(bendsKey(source, target)).toStringList();
    QList<QPointF> points;
    for (const QString& text : texts) {
        const QStringList parts = text.split(QLatin1Char(';'));
        if (parts.size() < 2)
            continue;
        bool xOk = false;
        bool yOk = false;
        const double x = parts.at(0).toDouble(&xOk);
        const double y = parts.at(1).toDouble(&yOk);
        if (xOk && yOk && std::isfinite(x) && std::isfinite(y))
            points.append(QPointF(clampCoordinate(x), clampCoordinate(y)));
    }
    return points;
}

void MapLayoutFile::setBends(const QString& source, const QString& target, const QList<QPointF>& points)
{
    if (points.isEmpty()) {
        editableValues().remove(bendsKey(source, target));
        return;
    }
    QStringList texts;
    for (const QPointF& point : points)
        texts.append(QStringLiteral("%0;%1").arg(point.x(), 0, 'g', -1).arg(point.y(), 0, 'g', -1));
    editableValues().insert(bendsKey(source, target), texts);
}

QList<QPair<QString, QString>> MapLayoutFile::bentLinksAt(const QSet<QString>& names) const
{
    QList<QPair<QString, QString>> links;
    if (names.isEmpty())
        return links;
    const auto take = [&names, &links](const QString& key) {
        if (!key.endsWith(QLatin1String("/bends")))
            return;
        const QStringView link = QStringView(key).chopped(6);
        // A name may hold ':' itself: the key is split where one of the names ends or begins.
        int colon = link.indexOf(QLatin1Char(':'));
        while (colon >= 0) {
            const QString source = link.left(colon).toString();
            const QString target = link.mid(colon + 1).toString();
            if (names.contains(source) || names.contains(target)) {
                links.append(qMakePair(source, target));
                return;
            }
            colon = link.indexOf(QLatin1Char(':'), colon + 1);
        }
    };
    // The rectangles of a parsed file sit in a table of their own, apart from these keys.
    if (keysCopied) {
        for (auto it = keyValues.cbegin(); it != keyValues.cend(); ++it)
            take(it.key());
    } else if (parsed) {
        for (auto it = parsed->values.cbegin(); it != parsed->values.cend(); ++it)
            take(it.key());
    } else {
        const QStringList keys = source->allKeys();
        for (const QString& key : keys)
            take(key);
    }
    return links;
}

QStringList MapLayoutFile::clusterNames() const
{
    return value(clusterNamesKey).toStringList();
}

QRectF MapLayoutFile::clusterRect(const QString& name) const
{
    return readRect(value(clusterKey(name, "rect")));
}

bool MapLayoutFile::clusterMovesContainedDevices(const QString& name) const
{
    return value(clusterKey(name, "movesContainedDevices"), true).toBool();
}

void MapLayoutFile::setClusterNames(const QStringList& names)
{
    editableValues().insert(clusterNamesKey, names);
}

void MapLayoutFile::setCluster(const QString& name, const QRect& rect, bool movesContainedDevices)
{
    QMap<QString, QVariant>& all = editableValues();
    all.insert(clusterKey(name, "rect"), rect);
    all.insert(clusterKey(name, "movesContainedDevices"), movesContainedDevices);
}
