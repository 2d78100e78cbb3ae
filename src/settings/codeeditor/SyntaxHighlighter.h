#pragma once

#include "SyntaxFormatScheme.h"
#include "dozerozozu_export.h"

#include <QList>
#include <QRegularExpression>
#include <QSyntaxHighlighter>

class CodeEditorWidget;

/**
 * Rule-based highlighter over a CodeEditorWidget's document: a list of
 * (role, regular expression) rules applied in role order, coloured by the scheme the
 * editor's SyntaxFormatModel selects.
 *
 * A QObject child of the editor's QTextDocument, so it lives as long as the document.
 * Language highlighters derive from it and append their rules in their constructor.
 */
class DOZEROZOZU_EXPORT SyntaxHighlighter : public QSyntaxHighlighter
{
    Q_OBJECT
public:
    struct HighlightingRule
    {
        SyntaxFormatScheme::Role role;
        QRegularExpression pattern;
        bool operator<(const HighlightingRule& other) const { return role < other.role; }
    };

    /// Attaches to the editor's document and takes the model's current scheme.
    explicit SyntaxHighlighter(CodeEditorWidget* editor);

    /// Adds a rule; the rules stay sorted by role, so a higher role's format wins.
    void appendRule(SyntaxFormatScheme::Role role, QRegularExpression pattern);

    SyntaxFormatScheme currentScheme() const;

protected Q_SLOTS:
    /// Stores the scheme and re-highlights the whole document.
    void changeScheme(SyntaxFormatScheme scheme);

protected:
    void highlightBlock(const QString& text) override;

private:
    SyntaxFormatScheme scheme;
    QList<HighlightingRule> rules;
};
