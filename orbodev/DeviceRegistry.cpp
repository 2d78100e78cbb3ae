#include "DeviceRegistry.h"

#include "BaseDevice.h"
#include "YamlDevices.h"
#include "YamlSerialiser.h"

#include <algorithm>

namespace {

// Folding is what QString::compare() applies with Qt::CaseInsensitive, so two names share a key
// exactly when they compare equal that way.
QString nameKey(const QString& name)
{
    return name.toCaseFolded();
}

// What a device's own name may not hold: a link's text ("device.slot<source.signal") could not
// be split again, or the name would read as a networked one. White space is ASCII's only, as
// names have always been checked.
bool isForbiddenInNames(QChar character)
{
    switch (character.unicode()) {
    case ' ': case '\t': case '\n': case '\v': case '\f': case '\r':
    case '.': case '<': case '>': case '@': case ':': case '/': case '\\': case '"': case '\'': case '(': case ')':
    case ',':
        return true;
    default:
        return false;
    }
}

// The code point at position, and in step the number of UTF-16 units it takes; a lone
// surrogate stands for itself.
uint codePointAt(const QString& text, int position, int* step)
{
    const QChar first = text.at(position);
    if (first.isHighSurrogate() && position + 1 < text.size() && text.at(position + 1).isLowSurrogate()) {
        *step = 2;
        return QChar::surrogateToUcs4(first, text.at(position + 1));
    }
    *step = 1;
    return first.unicode();
}

// A saved graph gives neither back: the writer puts U+FFFD and "?" in their places.
bool isLostInSavedGraphs(uint codePoint)
{
    return QChar::isNonCharacter(codePoint) || QChar::isSurrogate(codePoint);
}

// The rules of a device's own name that a look at each character settles.
bool isWellFormedName(const QString& name)
{
    return !name.isEmpty() && std::none_of(name.cbegin(), name.cend(), isForbiddenInNames)
        && name != YamlSerialiser::versionKey() && name != QLatin1String("export") && name != QLatin1String("this")
        && !DeviceRegistry::holdsNoncharacter(name);
}

} // namespace

DeviceRegistry::~DeviceRegistry()
{
    // The empty places hold null, which deletes nothing.
    qDeleteAll(m_records);
}

DeviceRecord* DeviceRegistry::find(const QString& name) const
{
    return m_index.value(nameKey(name));
}

QString DeviceRegistry::storedName(const QString& name) const
{
    const DeviceRecord* record = find(name);
    return record ? record->name : QString();
}

BaseDevice* DeviceRegistry::device(const QString& name) const
{
    const DeviceRecord* record = find(name);
    return record ? record->device : nullptr;
}

DeviceRecord* DeviceRegistry::recordOf(const QObject* device) const
{
    return m_objects.value(device);
}

void DeviceRegistry::PassedOverNames::insert(const QString& name)
{
    m_names.insert(nameKey(name));
}

QString DeviceRegistry::freshName(const QString& base, PassedOverNames* passedOver)
{
    const QString pattern = base.contains("%1") ? base : base + "%1";
    int& hint = m_freshNameHints[pattern];
    hint = qMax(hint, 1);
    // A load's names stay passed over until it ends, and a name taken stays so until a name is
    // freed: the load's own hint moves past both, so that fresh names given before many of the
    // text's "<type><number>" cost no more than the load.
    int* loadHint = nullptr;
    if (passedOver) {
        if (passedOver->m_freedCount != m_freedCount) {
            passedOver->m_hints.clear();
            passedOver->m_freedCount = m_freedCount;
        }
        loadHint = &passedOver->m_hints[pattern];
        *loadHint = qMax(*loadHint, hint);
    }
    const int first = loadHint ? *loadHint : hint;
    // The registry's hint only moves past numbers found taken, not past those merely passed
    // over; the candidate returned may still go unused.
    bool takenSoFar = first == hint;
    for (int number = first;; ++number) {
        const QString candidate = pattern.arg(number);
        const QString key = nameKey(candidate);
        const bool taken = find(candidate) || m_reserved.contains(key);
        if (!taken && !(passedOver && passedOver->m_names.contains(key)))
            return candidate;
        takenSoFar = takenSoFar && taken;
        if (takenSoFar)
            hint = number + 1;
        if (loadHint)
            *loadHint = number + 1;
    }
}

// One pass over the type's last part, as createDevice() makes one at every call.
QString DeviceRegistry::namePattern(const QString& type, const QString& networkManager)
{
    const int lastPart = type.lastIndexOf(QLatin1Char('/')) + 1;
    QString base;
    base.reserve(type.size() - lastPart + 3 + (networkManager.isEmpty() ? 0 : 1 + networkManager.size()));
    for (int position = lastPart; position < type.size();) {
        int step = 1;
        const uint codePoint = codePointAt(type, position, &step);
        // A type's own "%1" is text, not where the number goes. A leading U+FEFF would be read
        // as a byte order mark and dropped.
        const QChar character = type.at(position);
        if (isForbiddenInNames(character) || character == QLatin1Char('%') || isLostInSavedGraphs(codePoint)
            || (base.isEmpty() && codePoint == 0xFEFF))
            base.append(QLatin1Char('_'));
        else
            base.append(type.midRef(position, step));
        position += step;
    }
    if (base.isEmpty())
        base = QStringLiteral("device");
    base.append(QLatin1String("%1"));
    if (!networkManager.isEmpty())
        base.append(QLatin1Char('@')).append(networkManager);
    return base;
}

void DeviceRegistry::reserveName(const QString& name)
{
    m_reserved.insert(nameKey(name));
}

void DeviceRegistry::releaseName(const QString& name)
{
    if (m_reserved.remove(nameKey(name)) && !find(name))
        nameFreed(name);
}

bool DeviceRegistry::isReserved(const QString& name) const
{
    return m_reserved.contains(nameKey(name));
}

bool DeviceRegistry::isValidName(const QString& name)
{
    return isWellFormedName(name) && readsBackFromSavedGraph(name, QStringLiteral("device"));
}

bool DeviceRegistry::isValidDeviceName(const QString& name)
{
    return isWellFormedName(name.section(QLatin1Char('@'), 0, 0)) && !holdsNoncharacter(name)
        && readsBackFromSavedGraph(name, QStringLiteral("device"));
}

QString DeviceRegistry::savedNamePart(const QString& part)
{
    QString saved;
    saved.reserve(part.size());
    for (int position = 0, step = 1; position < part.size(); position += step) {
        if (isLostInSavedGraphs(codePointAt(part, position, &step)))
            saved.append(QLatin1Char('_'));
        else
            saved.append(part.midRef(position, step));
    }
    return saved;
}

// A YAML file cannot carry a noncharacter raw, and the writer puts U+FFFD in its place: two
// names that differ only there would be saved as one.
bool DeviceRegistry::holdsNoncharacter(const QString& text)
{
    for (int position = 0, step = 1; position < text.size(); position += step) {
        if (QChar::isNonCharacter(codePointAt(text, position, &step)))
            return true;
    }
    return false;
}

DeviceRecord* DeviceRegistry::add(const QString& name, const QString& type, bool remote, BaseDevice* device)
{
    auto* record = new DeviceRecord;
    record->name = name;
    record->type = type;
    record->remote = remote;
    record->device = device;
    record->sequence = ++m_lastSequence;
    closeGaps();
    record->position = m_records.size();
    m_records.append(record);
    m_names.append(name);
    m_index.insert(nameKey(name), record);
    record->object = device;
    m_objects.insert(device, record);
    return record;
}

void DeviceRegistry::rename(DeviceRecord* record, const QString& newName)
{
    const QString oldName = record->name;
    record->name = newName;
    m_index.remove(nameKey(oldName));
    m_index.insert(nameKey(newName), record);
    m_names[record->position] = newName;
    nameFreed(oldName);
}

std::unique_ptr<DeviceRecord> DeviceRegistry::take(DeviceRecord* record)
{
    m_records[record->position] = nullptr;
    m_names[record->position] = QString();
    record->position = -1;
    ++m_gaps;
    m_index.remove(nameKey(record->name));
    nameFreed(record->name);
    // A device deleted behind our back may have left its address to a newer one.
    if (m_objects.value(record->object) == record)
        m_objects.remove(record->object);
    return std::unique_ptr<DeviceRecord>(record);
}

void DeviceRegistry::closeGaps() const
{
    if (m_gaps == 0)
        return;
    int kept = 0;
    for (int i = 0; i < m_records.size(); ++i) {
        DeviceRecord* record = m_records.at(i);
        if (!record)
            continue;
        record->position = kept;
        m_records[kept] = record;
        m_names[kept] = m_names.at(i);
        ++kept;
    }
    m_records.erase(m_records.begin() + kept, m_records.end());
    m_names.erase(m_names.begin() + kept, m_names.end());
    m_gaps = 0;
}

// Names match whatever their case, so the pattern's text around the number does too. Any number
// read there lowers the hint: one lowered too far only costs a longer search.
void DeviceRegistry::nameFreed(const QString& name)
{
    ++m_freedCount;
    for (auto hint = m_freshNameHints.begin(); hint != m_freshNameHints.end(); ++hint) {
        const QString& pattern = hint.key();
        const int marker = pattern.indexOf(QLatin1String("%1"));
        const QStringRef prefix = pattern.leftRef(marker);
        const QStringRef suffix = pattern.midRef(marker + 2);
        if (name.size() <= prefix.size() + suffix.size() || !name.startsWith(prefix, Qt::CaseInsensitive)
            || !name.endsWith(suffix, Qt::CaseInsensitive))
            continue;
        bool isNumber = false;
        const int number = name.midRef(prefix.size(), name.size() - prefix.size() - suffix.size()).toInt(&isNumber);
        if (isNumber && number < hint.value())
            hint.value() = qMax(number, 1);
    }
}
