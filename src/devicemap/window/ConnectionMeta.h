#pragma once

#include "ConnectionMetaMethod.h"
#include "dozerozozu_export.h"

#include <QPair>
#include <QString>

/**
 * One signal-to-slot pair between a sending and a receiving device, parsed from its pair text
 * "slot(types)<signal(types)" (the receiver's slot, "<", the sender's signal). first is the
 * signal side, second the slot side. A plain value; any thread.
 *
 *     const ConnectionMeta pair = ConnectionMeta::fromSignature("setValue(int)<valueChanged(int)");
 *     pair.first.name;   // "valueChanged"
 *     pair.pairText();   // "setValue(int)<valueChanged(int)"
 *
 * fromSignature() reads any text without failing; isPairText() tells whether a text is a pair
 * that may be offered to the user and later split back into its signal and its slot.
 */
struct DOZEROZOZU_EXPORT ConnectionMeta : public QPair<ConnectionMetaMethod, ConnectionMetaMethod>
{
    /// Both sides empty.
    ConnectionMeta();
    ConnectionMeta(const ConnectionMetaMethod& first, const ConnectionMetaMethod& second);

    /**
     * The text from the first "(" to the last ")" of signature, without them; "void" when that
     * text is empty; an empty text when signature has no such parentheses.
     */
    static QString getParameterTypesFromSignature(const QString& signature);
    /**
     * Cuts text at its first "<": the part after it is the signal side (first), the part before
     * the slot side (second). Without "<" both sides are read from the whole text. Each side's
     * name is the side without its first "(" to last ")", its types getParameterTypesFromSignature().
     */
    static ConnectionMeta fromSignature(const QString& text);
    /**
     * Whether text is one well-formed pair: exactly one "<", and on each side of it a method
     * name (letters, digits and "_", not starting with a digit) followed by a parameter list
     * whose parentheses balance and which ends the side. Template types (which hold "<") are
     * not supported by the pair text, so they fail here.
     */
    static bool isPairText(const QString& text);

    /// Both sides valid.
    bool isValid() const;
    /// "slot signature<signal signature": the pair text as the dialog stores it.
    QString pairText() const;
    /// "signal signature > slot signature": the text the search looks in.
    QString fullText() const;
};
