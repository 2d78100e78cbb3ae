#pragma once

#include "SyntaxHighlighter.h"
#include "dozerozozu_export.h"

/// YAML highlighting: booleans, keys (through their last colon), comments, double-quoted
/// strings and numbers. The settings editor's code dialog uses it.
class DOZEROZOZU_EXPORT YamlSyntaxHighlighter : public SyntaxHighlighter
{
    Q_OBJECT
public:
    explicit YamlSyntaxHighlighter(CodeEditorWidget* editor);
};
