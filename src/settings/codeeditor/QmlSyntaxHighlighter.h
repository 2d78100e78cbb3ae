#pragma once

#include "JsSyntaxHighlighter.h"
#include "dozerozozu_export.h"

/// QML highlighting: every JavaScript rule plus "signal", "property", property names
/// before ":" and capitalised type qualifiers before ".".
class DOZEROZOZU_EXPORT QmlSyntaxHighlighter : public JsSyntaxHighlighter
{
    Q_OBJECT
public:
    explicit QmlSyntaxHighlighter(CodeEditorWidget* editor);
};
