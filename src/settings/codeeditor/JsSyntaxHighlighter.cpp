#include "JsSyntaxHighlighter.h"

namespace {

const char* const jsKeywords[] = {
    "break", "case", "catch", "class", "const", "continue", "debugger", "default", "delete",
    "do", "else", "export", "extends", "false", "finally", "for", "function", "if", "import",
    "in", "instanceof", "new", "null", "return", "super", "switch", "this", "throw", "true",
    "try", "typeof", "var", "void", "while", "with"};

const int insideBlockComment = 1;

} // namespace

QString JsSyntaxHighlighter::numberPattern()
{
    return QStringLiteral(
        R"re(((?<=\b|\s|^)(?i)(?:(?:(?:(?:(?:\d+(?:'\d+)*)?\.(?:\d+(?:'\d+)*)(?:e[+-]?(?:\d+(?:'\d+)*))?)|(?:(?:\d+(?:'\d+)*)\.(?:e[+-]?(?:\d+(?:'\d+)*))?)|(?:(?:\d+(?:'\d+)*)(?:e[+-]?(?:\d+(?:'\d+)*)))|(?:0x(?:[0-9a-f]+(?:'[0-9a-f]+)*)?\.(?:[0-9a-f]+(?:'[0-9a-f]+)*)(?:p[+-]?(?:\d+(?:'\d+)*)))|(?:0x(?:[0-9a-f]+(?:'[0-9a-f]+)*)\.?(?:p[+-]?(?:\d+(?:'\d+)*))))[lf]?)|(?:(?:(?:[1-9]\d*(?:'\d+)*)|(?:0[0-7]*(?:'[0-7]+)*)|(?:0x[0-9a-f]+(?:'[0-9a-f]+)*)|(?:0b[01]+(?:'[01]+)*))(?:u?l{0,2}|l{0,2}u?)))(?=\b|\s|$)))re");
}

JsSyntaxHighlighter::JsSyntaxHighlighter(CodeEditorWidget* editor)
    : SyntaxHighlighter(editor)
    , commentStartExpression(QStringLiteral(R"re(/\*)re"))
    , commentEndExpression(QStringLiteral(R"re(\*/)re"))
{
    for (const char* keyword : jsKeywords)
        appendRule(SyntaxFormatScheme::Keyword,
                   QRegularExpression(QStringLiteral("\\b%1\\b").arg(QLatin1String(keyword))));
    appendRule(SyntaxFormatScheme::Number, QRegularExpression(numberPattern()));
    appendRule(SyntaxFormatScheme::StringLiteral, QRegularExpression(QStringLiteral(R"re(("[^\n"]*"))re")));
    appendRule(SyntaxFormatScheme::StringLiteral, QRegularExpression(QStringLiteral(R"re(('[^\n']*'))re")));
    appendRule(SyntaxFormatScheme::FunctionName,
               QRegularExpression(QStringLiteral(
                   R"re((\b(?=[_a-zA-Z][_a-zA-Z0-9]*\s+)?((?:[_a-zA-Z][_a-zA-Z0-9]*\s*::\s*)*[_a-zA-Z][_a-zA-Z0-9]*)(?=\s*\()))re")));
    appendRule(SyntaxFormatScheme::Comment, QRegularExpression(QStringLiteral("//[^\n]*")));
}

void JsSyntaxHighlighter::highlightBlock(const QString& text)
{
    SyntaxHighlighter::highlightBlock(text);

    int start = 0;
    if (previousBlockState() != insideBlockComment) {
        start = text.indexOf(commentStartExpression);
        if (start < 0)
            return;
    }
    const QTextCharFormat commentFormat = currentScheme().format(SyntaxFormatScheme::Comment);
    while (start >= 0) {
        const QRegularExpressionMatch end = commentEndExpression.match(text, start);
        int length = 0;
        if (!end.hasMatch()) {
            setCurrentBlockState(insideBlockComment);
            length = text.length() - start;
        } else {
            length = end.capturedStart() - start + end.capturedLength();
        }
        setFormat(start, length, commentFormat);
        start = text.indexOf(commentStartExpression, start + length);
    }
}
