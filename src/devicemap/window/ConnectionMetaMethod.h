#pragma once

#include "dozerozozu_export.h"

#include <QString>

/**
 * One side of a signal-to-slot pair: a method name and its parameter types, as parsed from a
 * signature such as "valueChanged(int)". A plain value, copied freely; any thread.
 *
 * An empty parameter list is kept as "void", so that a method without parameters still counts
 * as valid and signature() writes it back as "name()".
 */
struct DOZEROZOZU_EXPORT ConnectionMetaMethod
{
    /// The method name without its parameter list.
    QString name;
    /// The text between the first "(" and the last ")", or "void" when that text is empty.
    QString parameterTypes;

    /// Both name and parameter types are known.
    bool isValid() const;
    /// "name(types)", or "name()" for the parameter types "void".
    QString signature() const;
};
