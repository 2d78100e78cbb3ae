#include "ConnectionString.h"

namespace {

// The position of the one "<" outside parentheses; -1 when there is none or more than one.
int separatorIndex(const QString& text)
{
    int depth = 0;
    int found = -1;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('('))
            ++depth;
        else if (c == QLatin1Char(')'))
            depth = qMax(0, depth - 1);
        else if (c == QLatin1Char('<') && depth == 0) {
            if (found >= 0)
                return -1;
            found = i;
        }
    }
    return found;
}

bool splitHalf(const QString& half, QString* device, QString* method)
{
    const int dot = half.indexOf(QLatin1Char('.'));
    if (dot <= 0)
        return false;
    *device = half.left(dot);
    *method = half.mid(dot + 1);
    return !method->isEmpty();
}

} // namespace

std::optional<ConnectionString> ConnectionString::parse(const QString& text)
{
    const int separator = separatorIndex(text);
    if (separator < 0)
        return std::nullopt;
    ConnectionString parsed;
    if (!splitHalf(text.left(separator), &parsed.target, &parsed.slot)
        || !splitHalf(text.mid(separator + 1), &parsed.source, &parsed.signal))
        return std::nullopt;
    return parsed;
}

QString ConnectionString::toString() const
{
    return target + QLatin1Char('.') + slot + QLatin1Char('<') + source + QLatin1Char('.') + signal;
}
