#pragma once

#include <QHash>
#include <QMap>
#include <QString>

/**
 * An ordered map from text to T whose keys match in any letter case.
 *
 * Each key is kept in the letter case it was last inserted with; lookups, removal and
 * operator[] accept any case. The framework and the widget library share this layout
 * (the QMap base first, then storedKeys), so neither may change it.
 *
 * Writing through the inherited QMap operations would bypass storedKeys: use insert(),
 * remove() and operator[] only.
 */
template<typename T>
class CaseInsensetiveDictionary : public QMap<QString, T>
{
public:
    CaseInsensetiveDictionary() = default;
    CaseInsensetiveDictionary(const CaseInsensetiveDictionary&) = default;
    CaseInsensetiveDictionary& operator=(const CaseInsensetiveDictionary&) = default;
    virtual ~CaseInsensetiveDictionary() = default;

    bool contains(const QString& key) const
    {
        return storedKeys.contains(key.toLower());
    }

    /// Stores value under key exactly as spelled, replacing an entry stored in another case.
    typename QMap<QString, T>::iterator insert(const QString& key, const T& value)
    {
        const QString lowerKey = key.toLower();
        const auto stored = storedKeys.constFind(lowerKey);
        if (stored != storedKeys.constEnd() && stored.value() != key)
            QMap<QString, T>::remove(stored.value());
        storedKeys.insert(lowerKey, key);
        return QMap<QString, T>::insert(key, value);
    }

    /// Removes key in whatever case it is given; returns the number of entries removed.
    int remove(const QString& key)
    {
        const QString lowerKey = key.toLower();
        const auto stored = storedKeys.find(lowerKey);
        if (stored == storedKeys.end())
            return 0;
        const QString storedKey = stored.value();
        storedKeys.erase(stored);
        return QMap<QString, T>::remove(storedKey);
    }

    /// The value under key; an absent key is first inserted, as spelled, with T().
    T& operator[](const QString& key)
    {
        if (!contains(key))
            insert(key, T());
        return QMap<QString, T>::operator[](storedKeys.value(key.toLower()));
    }

    void clear()
    {
        QMap<QString, T>::clear();
        storedKeys.clear();
    }

    /// The value under key in any case, or defaultValue.
    T value(const QString& key, const T& defaultValue = T()) const
    {
        const auto stored = storedKeys.constFind(key.toLower());
        if (stored == storedKeys.constEnd())
            return defaultValue;
        return QMap<QString, T>::value(stored.value(), defaultValue);
    }

    /// The key as stored for key in any case, or a null string.
    QString storedKey(const QString& key) const
    {
        return storedKeys.value(key.toLower());
    }

protected:
    QHash<QString, QString> storedKeys;
};
