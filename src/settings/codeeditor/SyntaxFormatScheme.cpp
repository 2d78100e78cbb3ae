#include "SyntaxFormatScheme.h"

QTextCharFormat SyntaxFormatScheme::format(Role role) const
{
    return formats.value(role);
}

void SyntaxFormatScheme::setFormat(Role role, QTextCharFormat format)
{
    formats.insert(role, format);
}

bool SyntaxFormatScheme::isEmpty() const
{
    return formats.isEmpty();
}

bool SyntaxFormatScheme::sharesDataWith(const SyntaxFormatScheme& other) const
{
    return formats.isSharedWith(other.formats);
}
