#pragma once

#include "dozerozozu_export.h"

#include <QMap>
#include <QMetaType>
#include <QTextCharFormat>

/**
 * A set of text formats by highlighting role: the colours one syntax highlighter
 * paints with. A cheap, implicitly shared value type that travels by value in
 * signals between a SyntaxFormatModel and its highlighters (GUI thread only).
 */
class DOZEROZOZU_EXPORT SyntaxFormatScheme
{
public:
    /// Highlighting roles. The numeric order is also the order in which rules are
    /// applied, so where matches overlap the higher role's format wins.
    enum Role {
        Keyword = 0,
        Number = 1,
        FunctionName = 2,
        PropertyName = 3,
        TypeQualifier = 4,
        StringLiteral = 5,
        Comment = 6
    };

    /// The role's format; a default QTextCharFormat when the scheme has none for it.
    QTextCharFormat format(Role role) const;
    /// Inserts or replaces the role's format.
    void setFormat(Role role, QTextCharFormat format);

    bool isEmpty() const;
    bool sharesDataWith(const SyntaxFormatScheme& other) const;

private:
    QMap<Role, QTextCharFormat> formats;
};

Q_DECLARE_METATYPE(SyntaxFormatScheme)
