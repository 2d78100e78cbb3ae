#include "Config.h"

#include "Configurable.h"


Config::Config(QObject* parent)
    : QObject(parent)
{
}

Config::~Config() = default;

QString Config::getParam(const QString& key, const QString& path, const QString& defaultValue, bool storeDefault)
{
    const auto node = nodes.constFind(path);
    if (node != nodes.constEnd() && node->contains(key))
        return node->value(key);
    if (storeDefault) {
        changed = true;
        nodes[path].insert(key, defaultValue);
    }
    return defaultValue;
}

int Config::getInt(const QString& key, const QString& path, int defaultValue, bool storeDefault)
{
    bool ok = false;
    const int result = getParam(key, path, QString::number(defaultValue), storeDefault).toInt(&ok, 10);
    return ok ? result : defaultValue;
}

double Config::getDouble(const QString& key, const QString& path, double defaultValue, bool storeDefault)
{
    bool ok = false;
    const double result = getParam(key, path, QString::number(defaultValue, 'g', 12), storeDefault).toDouble(&ok);
    return ok ? result : defaultValue;
}

bool Config::getBool(const QString& key, const QString& path, bool defaultValue, bool storeDefault)
{
    const QString text = getParam(key, path, defaultValue ? QStringLiteral("true") : QStringLiteral("false"),
                                  storeDefault);
    // Exact, case-sensitive words: files written by other tools rely on these spellings only.
    if (text == QLatin1String("yes") || text == QLatin1String("yea") || text == QLatin1String("true"))
        return true;
    if (text == QLatin1String("no") || text == QLatin1String("nah") || text == QLatin1String("false"))
        return false;
    return defaultValue;
}

bool Config::setParam(const QString& key, const QString& value, const QString& path, bool apply)
{
    QString& current = nodes[path][key];
    if (current == value)
        return true;
    changedKeys.insert(changedKeyPath(key, path));
    current = value;
    changed = true;
    if (apply)
        applyConfig();
    return true;
}

bool Config::removeNode(const QString& path)
{
    nodes.remove(path);
    changed = true;
    return true;
}

bool Config::removeParam(const QString& key, const QString& path)
{
    nodes[path].remove(key);
    changedKeys.insert(changedKeyPath(key, path));
    changed = true;
    applyConfig();
    return true;
}

bool Config::renameNode(const QString& oldNodePath, const QString& newNodeName)
{
    // Renaming nothing must not wipe whatever is stored under the new name.
    if (!nodes.contains(oldNodePath))
        return false;
    if (oldNodePath != newNodeName) {
        const CaseInsensetiveDictionary<QString> contents = nodes.value(oldNodePath);
        nodes.insert(newNodeName, contents);
        nodes.remove(oldNodePath);
    }
    changed = true;
    applyConfig();
    return true;
}

QStringList Config::getNodes()
{
    return nodes.keys();
}

QStringList Config::getParams(const QString& path)
{
    return nodes[path].keys();
}

void Config::addConfigurable(Configurable* configurable)
{
    if (configurables.contains(configurable))
        return;
    configurables.insert(configurable);
    registrationNumbers.insert(configurable, ++registrationCount);
}

void Config::removeConfigurable(Configurable* configurable)
{
    configurables.remove(configurable);
    registrationNumbers.remove(configurable);
}

void Config::applyConfig()
{
    // A configurable may register, unregister or change the store from its applyConfig():
    // walk a snapshot, skip those gone or replaced meanwhile, and hand each the changes as they stand.
    const QHash<Configurable*, quint64> snapshot = registrationNumbers;
    for (auto registered = snapshot.constBegin(); registered != snapshot.constEnd(); ++registered) {
        if (registrationNumbers.value(registered.key()) == registered.value())
            registered.key()->_applyConfig(changedKeys);
    }
    changedKeys.clear();
    Q_EMIT configChanged();
}

bool Config::isConfigChanged()
{
    return changed;
}

QString Config::changedKeyPath(const QString& key, const QString& path)
{
    return QLatin1Char('/') + path + QLatin1Char('/') + key;
}
