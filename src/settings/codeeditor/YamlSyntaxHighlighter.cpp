#include "YamlSyntaxHighlighter.h"

#include "JsSyntaxHighlighter.h"

YamlSyntaxHighlighter::YamlSyntaxHighlighter(CodeEditorWidget* editor)
    : SyntaxHighlighter(editor)
{
    for (const char* word : {"true", "false", "yes", "no"})
        appendRule(SyntaxFormatScheme::Keyword,
                   QRegularExpression(QStringLiteral("\\b%1\\b").arg(QLatin1String(word))));
    appendRule(SyntaxFormatScheme::PropertyName, QRegularExpression(QStringLiteral("(([^\r\n:]+?)\\s*:)*")));
    appendRule(SyntaxFormatScheme::Comment, QRegularExpression(QStringLiteral("#[^\n]*")));
    appendRule(SyntaxFormatScheme::StringLiteral, QRegularExpression(QStringLiteral(R"re(("[^\n"]*"))re")));
    appendRule(SyntaxFormatScheme::Number, QRegularExpression(JsSyntaxHighlighter::numberPattern()));
}
