#pragma once

#include "orbodev_export.h"

#include <QHash>
#include <QMetaType>
#include <QString>

/**
 * Two parameter-type texts, such as "int" and "double", whose conversion a link may apply.
 *
 * In a connection list, first holds the signal's parameter types and second the slot's.
 * The pair is unordered for comparison: (a, b) and (b, a) are equal, hash alike and
 * neither is less than the other. Registered as the meta type "TypePair".
 */
struct ORBODEV_EXPORT TypePair
{
    QString first;
    QString second;

    TypePair() = default;
    TypePair(const QString& firstTypes, const QString& secondTypes) : first(firstTypes), second(secondTypes) {}

    /// The smaller of the two texts.
    QString smaller() const { return first < second ? first : second; }
    /// The larger of the two texts.
    QString larger() const { return first < second ? second : first; }

    bool operator==(const TypePair& other) const
    {
        return smaller() == other.smaller() && larger() == other.larger();
    }
    bool operator!=(const TypePair& other) const { return !(*this == other); }
    bool operator<(const TypePair& other) const
    {
        const QString own = smaller();
        const QString others = other.smaller();
        return own != others ? own < others : larger() < other.larger();
    }
};

/// The usual hash-combine of the smaller and then the larger text, so (a, b) and (b, a) hash alike.
inline uint qHash(const TypePair& pair, uint seed = 0)
{
    uint hash = seed;
    hash ^= qHash(pair.smaller(), 0) + 0x9E3779B9u + (hash << 6) + (hash >> 2);
    hash ^= qHash(pair.larger(), 0) + 0x9E3779B9u + (hash << 6) + (hash >> 2);
    return hash;
}

Q_DECLARE_METATYPE(TypePair)
