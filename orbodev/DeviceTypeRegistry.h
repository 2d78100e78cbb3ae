#pragma once

#include "DeviceTypeInfo.h"

#include <QHash>
#include <QMap>
#include <QString>
#include <QStringList>

#include <functional>

class BaseDevice;

/**
 * The device types a DeviceManager can create, in registration order, and the networked
 * managers whose types it offers as "manager/type".
 *
 * Owned by the DeviceManager and used on its thread only. Internal to the framework.
 */
class DeviceTypeRegistry
{
public:
    using Factory = std::function<BaseDevice*()>;

    /// Makes type creatable; a type already registered is replaced, keeping its place. meta:
    /// the type comes from a meta-device file rather than from the framework or the host.
    void registerType(const QString& type, const DeviceTypeInfo& info, const Factory& factory, bool meta = false);
    /// Whether type (the registered name itself) is registered and was not made from a meta-device file.
    bool isBuiltIn(const QString& type) const;
    void addNetworkManager(const QString& managerName);
    /**
     * Whether a device of a type so named is of that type again once its graph is saved and
     * loaded: its device text, written as a saved graph is, gives the name back as written.
     * Not so for a name holding a lone surrogate or a noncharacter (the writer puts "?" or
     * U+FFFD in its place), nor for one starting with U+FEFF (reading UTF-8 drops a leading
     * byte order mark); such a type would come back as another or as an unknown one.
     */
    static bool readsBack(const QString& type);
    /// typeText as every lookup reads it (resolve()): without the white space around it and a leading "/".
    static QString lookedUpAs(const QString& typeText);
    /**
     * The type of the framework or the host (isBuiltIn()) that a lookup of type finds under
     * another spelling: its path as types(true) lists it ("maths/scaler") or "manager/type"
     * for a networked manager. Empty when none, and when type itself is registered.
     */
    QString builtInSpelledAs(const QString& type) const;
    /**
     * The registered type, other than type itself, that a lookup would take in the place of a
     * type so named and filed under categories, or the other way round: one whose path is
     * type, whose name or path is the path type would be listed under. Empty when none.
     */
    QString sharingNameOrPath(const QString& type, const QStringList& categories) const;

    /**
     * The registered type a type text names: "type", its listed path ("/category/type",
     * "category/type"), "manager/type" (then networkManager receives the manager), or a path of
     * no type whose last part is a type; empty when none. Names and listed paths come first,
     * so that every listed type is made as itself by both, whatever a networked manager is called.
     */
    QString resolve(const QString& typeText, QString* networkManager) const;
    /// Type names, or with paths true their "category/…/type" paths.
    QStringList types(bool paths) const;
    /// The description of what typeText resolves to; empty when unknown.
    DeviceTypeInfo info(const QString& typeText) const;
    /**
     * A new device of the registered type (not a type text), or null. typeName receives the
     * type's own text, which the devices of a type and their descriptions share.
     */
    BaseDevice* create(const QString& type, QString* typeName) const;

private:
    /// The "category/…/type" path of a registered type.
    QString pathOf(const QString& type) const;
    static QString pathOf(const QString& type, const QStringList& categories);
    /// pathOf() as lookups read it with a leading "/": the key of m_typesByPath.
    QString listedPathOf(const QString& type) const;

    struct TypeRecord
    {
        DeviceTypeInfo info;
        Factory factory;
        bool meta = false;
    };

    QMap<QString, TypeRecord> m_types;
    QStringList m_typeOrder;
    /// Each type by its listed path (listedPathOf()); the first type of a path keeps it.
    QHash<QString, QString> m_typesByPath;
    QStringList m_networkManagers;
};
