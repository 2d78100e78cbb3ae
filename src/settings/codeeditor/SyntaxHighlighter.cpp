#include "SyntaxHighlighter.h"

#include "CodeEditorWidget.h"
#include "SyntaxFormatModel.h"

#include <algorithm>

SyntaxHighlighter::SyntaxHighlighter(CodeEditorWidget* editor)
    : QSyntaxHighlighter(editor->document())
{
    connect(editor->syntaxFormatModel(), SIGNAL(schemeSelected(SyntaxFormatScheme)), this,
            SLOT(changeScheme(SyntaxFormatScheme)));
    changeScheme(editor->syntaxFormatModel()->currentScheme());
}

void SyntaxHighlighter::appendRule(SyntaxFormatScheme::Role role, QRegularExpression pattern)
{
    rules.append(HighlightingRule{role, pattern});
    std::sort(rules.begin(), rules.end());
}

SyntaxFormatScheme SyntaxHighlighter::currentScheme() const
{
    return scheme;
}

void SyntaxHighlighter::changeScheme(SyntaxFormatScheme newScheme)
{
    if (!scheme.sharesDataWith(newScheme))
        scheme = newScheme;
    rehighlight();
}

void SyntaxHighlighter::highlightBlock(const QString& text)
{
    for (const HighlightingRule& rule : qAsConst(rules)) {
        const QTextCharFormat format = scheme.format(rule.role);
        QRegularExpressionMatchIterator matches = rule.pattern.globalMatch(text);
        while (matches.hasNext()) {
            const QRegularExpressionMatch match = matches.next();
            if (match.capturedLength(0) > 0)
                setFormat(match.capturedStart(0), match.capturedLength(0), format);
        }
    }
    setCurrentBlockState(0);
}
