#pragma once

#include "TypePair.h"

#include <QList>
#include <QString>
#include <QStringList>

class QMetaObject;
class QObject;

/**
 * Which signals of one device fit which slots of another: the signature lists of a device's
 * class, the candidate pairs, written "slot(types)<signal(types)", the MatchCode they give
 * and the pairs a plain join takes.
 *
 * Plain functions of their arguments; the signature lists are cached per class and must be
 * asked for on the thread of the DeviceManager. Internal to the framework.
 */
class MethodMatcher
{
public:
    struct Pairs
    {
        /// Pairs of identical parameter types.
        QStringList identical;
        /// Pairs that need one of the manager's type conversions.
        QStringList converted;
    };

    /// The public signals (or slots) a device declares beyond BaseDevice's, as signatures.
    static QStringList signatures(const QObject* device, bool wantSignals);
    /// The pairs joining source to target, restricted to signal and slot where those are not empty.
    static Pairs candidatePairs(const QObject* source, const QObject* target, const QString& signal,
                                const QString& slot, const QList<TypePair>& conversions);
    /// The DeviceManager::MatchCode of the pairs found.
    static int matchCode(const Pairs& pairs);
    /**
     * What a plain join takes, in list order: every identical pair whose signal and slot are
     * not used by an earlier one, or else the first converted pair.
     */
    static QStringList plainJoin(const Pairs& pairs);
    /// The slot side of a pair text.
    static QString slotOf(const QString& pair) { return pair.section('<', 0, 0); }
    /// The signal side of a pair text.
    static QString signalOf(const QString& pair) { return pair.section('<', 1); }

private:
    static QStringList listSignatures(const QMetaObject* metaObject, bool wantSignals);
};
