#include "QmlSyntaxHighlighter.h"

QmlSyntaxHighlighter::QmlSyntaxHighlighter(CodeEditorWidget* editor)
    : JsSyntaxHighlighter(editor)
{
    appendRule(SyntaxFormatScheme::Keyword, QRegularExpression(QStringLiteral(R"re(\bsignal\b)re")));
    appendRule(SyntaxFormatScheme::Keyword, QRegularExpression(QStringLiteral(R"re(\bproperty\b)re")));
    appendRule(SyntaxFormatScheme::PropertyName,
               QRegularExpression(QStringLiteral(R"re(\b([_a-zA-Z][_.a-zA-Z0-9]*)(?=\s*\:))re")));
    appendRule(SyntaxFormatScheme::TypeQualifier,
               QRegularExpression(QStringLiteral(R"re(\b([A-Z][_.a-zA-Z0-9]*)(?=\.))re")));
}
