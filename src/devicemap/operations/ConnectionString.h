#pragma once

#include "dozerozozu_export.h"

#include <QString>

#include <optional>

/**
 * One connection string of a device description, "target.slot<source.signal", split into
 * its four fields. The target is written "this" for the described device itself.
 *
 * Device names hold no "." (the framework refuses them), so each half splits at its first
 * "."; the halves split at the one "<" outside parentheses, so a signature whose parameter
 * types hold "<" (a template type) stays whole. A plain value; any thread.
 *
 *     if (const auto parsed = ConnectionString::parse(text))
 *         manager->addConnection(parsed->source, parsed->target, parsed->signal, parsed->slot);
 */
struct DOZEROZOZU_EXPORT ConnectionString
{
    QString target;
    QString slot;
    QString source;
    QString signal;

    /// The four fields; nothing when text is not of that form or a field is empty.
    static std::optional<ConnectionString> parse(const QString& text);
    /// "target.slot<source.signal" again.
    QString toString() const;
};
