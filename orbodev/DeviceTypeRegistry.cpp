#include "DeviceTypeRegistry.h"

void DeviceTypeRegistry::registerType(const QString& type, const DeviceTypeInfo& info, const Factory& factory, bool meta)
{
    if (!m_types.contains(type))
        m_typeOrder.append(type);
    m_types.insert(type, TypeRecord{info, factory, meta});
}

bool DeviceTypeRegistry::isBuiltIn(const QString& type) const
{
    const auto entry = m_types.constFind(type);
    return entry != m_types.cend() && !entry.value().meta;
}

void DeviceTypeRegistry::addNetworkManager(const QString& managerName)
{
    if (!managerName.isEmpty() && !m_networkManagers.contains(managerName))
        m_networkManagers.append(managerName);
}

QString DeviceTypeRegistry::resolve(const QString& typeText, QString* networkManager) const
{
    QString text = typeText.trimmed();
    while (text.startsWith('/'))
        text.remove(0, 1);
    if (m_types.contains(text))
        return text;
    if (!text.contains('/'))
        return QString();
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
    for (const QString& type : m_typeOrder) {
        if (!paths) {
            types.append(type);
            continue;
        }
        QStringList categories = m_types.value(type).info.categories;
        if (categories.isEmpty())
            categories.append(QStringLiteral("General"));
        types.append(categories.join('/') + "/" + type);
    }
    return types;
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
