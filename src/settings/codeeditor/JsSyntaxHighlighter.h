#pragma once

#include "SyntaxHighlighter.h"
#include "dozerozozu_export.h"

/**
 * JavaScript highlighting: keywords, numbers, strings, function names, line comments,
 * and block comments that run across lines (block state 1 inside an open comment).
 */
class DOZEROZOZU_EXPORT JsSyntaxHighlighter : public SyntaxHighlighter
{
    Q_OBJECT
public:
    explicit JsSyntaxHighlighter(CodeEditorWidget* editor);

    /// The number pattern shared by the JavaScript, QML and YAML highlighters.
    static QString numberPattern();

protected:
    void highlightBlock(const QString& text) override;

private:
    QRegularExpression commentStartExpression;
    QRegularExpression commentEndExpression;
};
