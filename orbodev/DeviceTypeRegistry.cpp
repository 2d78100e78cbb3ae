#include "DeviceTypeRegistry.h"

#include "YamlDevices.h"

void DeviceTypeRegistry::registerType(const QString& type, const DeviceTypeInfo& info, const Factory& factory, bool meta)
{
    if (!m_types.contains(type)) {
        m_typeOrder.append(type);
    } else {
        // Registered again, the type may be filed elsewhere.
        const auto listed = m_typesByPath.find(listedPathOf(type));
        if (listed != m_typesByPath.end() && listed.value() == type)
            m_typesByPath.erase(listed);
    }
    m_types.insert(type, TypeRecord{info, factory, meta});
    const QString path = listedPathOf(type);
    if (!m_typesByPath.contains(path))
        m_typesByPath.insert(path, type);
}

bool DeviceTypeRegistry::isBuiltIn(const QString& type) const
{
    const auto entry = m_types.constFind(type);
    return entry != m_types.cend() && !entry.value().meta;
}

// The text only: what a lookup makes of the name read back is lookedUpAs()'s to say.
bool DeviceTypeRegistry::readsBack(const QString& type)
{
    return readsBackFromSavedGraph(QStringLiteral("device1"), type);
}

void DeviceTypeRegistry::addNetworkManager(const QString& managerName)
{
    if (!managerName.isEmpty() && !m_networkManagers.contains(managerName))
        m_networkManagers.append(managerName);
}

QString DeviceTypeRegistry::lookedUpAs(const QString& typeText)
{
    QString text = typeText.trimmed();
    while (text.startsWith('/'))
        text.remove(0, 1);
    return text;
}

QString DeviceTypeRegistry::builtInSpelledAs(const QString& type) const
{
    if (m_types.contains(type))
        return QString();
    for (const QString& registered : m_typeOrder) {
        if (isBuiltIn(registered) && pathOf(registered) == type)
            return registered;
    }
    QString networkManager;
    const QString resolved = resolve(type, &networkManager);
    return !networkManager.isEmpty() && isBuiltIn(resolved) ? resolved : QString();
}

// Both ways, so that the order in which two types come does not decide which of them a lookup makes.
QString DeviceTypeRegistry::sharingNameOrPath(const QString& type, const QStringList& categories) const
{
    const QString path = lookedUpAs("/" + pathOf(type, categories));
    for (const QString& registered : m_typeOrder) {
        if (registered == type)
            continue;
        const QString registeredPath = listedPathOf(registered);
        if (registeredPath == type || registered == path || registeredPath == path)
            return registered;
    }
    return QString();
}

QString DeviceTypeRegistry::resolve(const QString& typeText, QString* networkManager) const
{
    const QString text = lookedUpAs(typeText);
    if (m_types.contains(text))
        return text;
    if (!text.contains('/'))
        return QString();
    // The map's New device menu makes devices by the paths listed: before a networked manager
    // added later and before the last part, which may be another type's name.
    const QString listed = m_typesByPath.value(text);
    if (!listed.isEmpty())
        return listed;
    const QString head = text.section('/', 0, 0);
    if (m_networkManagers.contains(head)) {
        QString nested;
        const QString type = resolve(text.section('/', 1), &nested);
        if (!type.isEmpty() && nested.isEmpty())
            *networkManager = head;
        return type;
    }
    const QString last = text.section('/', -1);
    return m_types.contains(last) ? last : QString();
}

QStringList DeviceTypeRegistry::types(bool paths) const
{
    QStringList types;
    for (const QString& type : m_typeOrder)
        types.append(paths ? pathOf(type) : type);
    return types;
}

QString DeviceTypeRegistry::pathOf(const QString& type) const
{
    return pathOf(type, m_types.value(type).info.categories);
}

// As the map's New device menu hands it to createDevice().
QString DeviceTypeRegistry::listedPathOf(const QString& type) const
{
    return lookedUpAs("/" + pathOf(type));
}

QString DeviceTypeRegistry::pathOf(const QString& type, const QStringList& typeCategories)
{
    QStringList categories = typeCategories;
    if (categories.isEmpty())
        categories.append(QStringLiteral("General"));
    return categories.join('/') + "/" + type;
}

DeviceTypeInfo DeviceTypeRegistry::info(const QString& typeText) const
{
    QString networkManager;
    return m_types.value(resolve(typeText, &networkManager)).info;
}

BaseDevice* DeviceTypeRegistry::create(const QString& type, QString* typeName) const
{
    const auto entry = m_types.constFind(type);
    if (entry == m_types.cend())
        return nullptr;
    *typeName = entry.key();
    // A copy: a factory that registers types may replace its own record while it runs.
    const Factory factory = entry.value().factory;
    return factory();
}
