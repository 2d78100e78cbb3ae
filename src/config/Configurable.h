#pragma once

#include "dozerozozu_export.h"

#include <QSet>
#include <QString>

class Config;

/**
 * Base of components that read settings from a Config and want to hear when one of
 * those settings changes.
 *
 * Every key read through the getters below is remembered (lower-cased, with its path);
 * when the store applies changes that meet one of them, applyConfig() is called once.
 * Registers with its store on construction and unregisters on destruction; the store is
 * not owned and must outlive this object. Without a store, do not call the getters.
 *
 *     class Motor : public Configurable {
 *         void applyConfig() override { speed = getInt("speed", node, 1, true); }
 *     };
 */
class DOZEROZOZU_EXPORT Configurable
{
public:
    /// An empty node becomes "global".
    explicit Configurable(Config* config, const QString& node = QString());
    Configurable(const Configurable&) = delete;
    Configurable& operator=(const Configurable&) = delete;

    // Declared before the destructor: the virtual table's order is part of the interface.
    /// Called by the store once per pass when a watched key changed.
    virtual void applyConfig() = 0;
    virtual ~Configurable();

    void addToWatchlist(const QString& key, const QString& path);
    QString getParam(const QString& key, const QString& path, const QString& defaultValue = QString(),
                     bool storeDefault = false);
    bool getBool(const QString& key, const QString& path, bool defaultValue = false, bool storeDefault = false);
    int getInt(const QString& key, const QString& path, int defaultValue = 0, bool storeDefault = false);
    double getDouble(const QString& key, const QString& path, double defaultValue = 0.0, bool storeDefault = false);
    /// Stores value and applies at once; adds nothing to the watch list.
    bool setParam(const QString& key, const QString& value, const QString& path);

    /// Called by the store with the pending changed-key paths.
    void _applyConfig(QSet<QString> changedKeys);

protected:
    Config* config;
    /// The component's own node, for its use only.
    QString node;
    QSet<QString> watchlist;
};
