#include "Configurable.h"

#include "Config.h"

Configurable::Configurable(Config* config, const QString& node)
    : config(config)
    , node(node.isEmpty() ? QStringLiteral("global") : node)
{
    if (config)
        config->addConfigurable(this);
}

Configurable::~Configurable()
{
    if (config)
        config->removeConfigurable(this);
}

void Configurable::addToWatchlist(const QString& key, const QString& path)
{
    watchlist.insert(QLatin1Char('/') + path.toLower() + QLatin1Char('/') + key.toLower());
}

QString Configurable::getParam(const QString& key, const QString& path, const QString& defaultValue,
                               bool storeDefault)
{
    addToWatchlist(key, path);
    return config->getParam(key, path, defaultValue, storeDefault);
}

bool Configurable::getBool(const QString& key, const QString& path, bool defaultValue, bool storeDefault)
{
    addToWatchlist(key, path);
    return config->getBool(key, path, defaultValue, storeDefault);
}

int Configurable::getInt(const QString& key, const QString& path, int defaultValue, bool storeDefault)
{
    addToWatchlist(key, path);
    return config->getInt(key, path, defaultValue, storeDefault);
}

double Configurable::getDouble(const QString& key, const QString& path, double defaultValue, bool storeDefault)
{
    addToWatchlist(key, path);
    return config->getDouble(key, path, defaultValue, storeDefault);
}

bool Configurable::setParam(const QString& key, const QString& value, const QString& path)
{
    return config->setParam(key, value, path, true);
}

void Configurable::_applyConfig(QSet<QString> changedKeys)
{
    for (const QString& changedKey : qAsConst(changedKeys)) {
        if (watchlist.contains(changedKey.toLower())) {
            applyConfig();
            return;
        }
    }
}
