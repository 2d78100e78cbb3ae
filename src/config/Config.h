#pragma once

#include "CaseInsensetiveDictionary.h"
#include "dozerozozu_export.h"

#include <QHash>
#include <QMap>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>

class Configurable;

/**
 * The configuration store: named nodes of text values, with typed getters, change
 * tracking and notification of the Configurable objects that read a changed key.
 *
 * A node is addressed by a path, taken whole and case-sensitively here (YamlConfig splits
 * it into nested nodes); keys match in any letter case. Values are text: booleans are read
 * from "yes", "yea", "true" / "no", "nah", "false" exactly and written as "true" / "false",
 * doubles are written in format g with 12 significant digits.
 *
 * Missing nodes or keys and failed conversions yield the caller's default; the modifying
 * operations return true, but renameNode() of a node that does not exist returns false. This
 * class logs nothing. The YAML store (YamlConfig) logs a debug line "<operation> | WARNING
 * <problem> |" with the path where a path leads to no node (setParam() makes missing nodes
 * instead) or runs through a value, where a key is empty, and where removeParam() finds no
 * such key; a ConfigOption reading a node that does not exist yet gives one. Its modifying
 * operations then return false and change nothing. Lives on the GUI thread, no lock. Must
 * outlive every Configurable registered with it.
 *
 *     config.setParam("speed", "3", "motor", false);
 *     config.applyConfig(); // tells each Configurable that read /motor/speed, once
 */
class DOZEROZOZU_EXPORT Config : public QObject
{
    Q_OBJECT

public:
    explicit Config(QObject* parent = nullptr);
    ~Config() override;

    /// The value of key in node path; when absent, defaultValue, stored first if storeDefault.
    virtual QString getParam(const QString& key, const QString& path, const QString& defaultValue = QString(),
                             bool storeDefault = false);
    virtual int getInt(const QString& key, const QString& path, int defaultValue = 0, bool storeDefault = false);
    virtual double getDouble(const QString& key, const QString& path, double defaultValue = 0.0,
                             bool storeDefault = false);
    virtual bool getBool(const QString& key, const QString& path, bool defaultValue = false,
                         bool storeDefault = false);
    /**
     * Stores value under key in node path. A real change is recorded for the next
     * applyConfig(), which runs at once when apply is true. Note the argument order.
     */
    virtual bool setParam(const QString& key, const QString& value, const QString& path, bool apply);
    virtual bool removeNode(const QString& path);
    /// Removes key from node path and always runs applyConfig().
    virtual bool removeParam(const QString& key, const QString& path);
    /**
     * Moves the contents of node oldNodePath to node newNodeName (replacing what it held)
     * and runs applyConfig(). Returns false and changes nothing when oldNodePath is no node.
     */
    virtual bool renameNode(const QString& oldNodePath, const QString& newNodeName);
    virtual QStringList getNodes();
    /// The keys of node path, in their stored letter case.
    virtual QStringList getParams(const QString& path);
    virtual void addConfigurable(Configurable* configurable);
    virtual void removeConfigurable(Configurable* configurable);
    /**
     * Tells every registered Configurable that read a key changed since the last call
     * (once each), forgets the changes and emits configChanged(). A Configurable may
     * change the store or unregister (itself or others) from its applyConfig().
     */
    virtual void applyConfig();
    /// Whether anything was modified since the store was loaded or saved.
    virtual bool isConfigChanged();

Q_SIGNALS:
    void configChanged();

protected:
    /// "/" + path + "/" + key, the form in which changes are recorded and watched.
    static QString changedKeyPath(const QString& key, const QString& path);

    QMap<QString, CaseInsensetiveDictionary<QString>> nodes;
    QSet<Configurable*> configurables;
    /// The backing file; only YamlConfig uses it.
    QString file;
    bool changed = false;
    /// Changed-key paths, as the callers spelled them, not yet applied.
    QSet<QString> changedKeys;

private:
    // A configurable destroyed during a pass may be replaced by a new one at the same
    // address; its registration number tells the two apart.
    QHash<Configurable*, quint64> registrationNumbers;
    quint64 registrationCount = 0;
};
