#include "ConnectionMeta.h"

#include <QRegExp>
#include <QRegularExpression>

namespace {

// Greedy on purpose: a parameter list may itself hold parentheses, so the whole stretch from
// the first "(" to the last ")" belongs to it.
const QString kParameterListPattern = QStringLiteral("\\((.*)\\)");

ConnectionMetaMethod methodFromSignature(const QString& signature)
{
    static const QRegExp parameterList(kParameterListPattern, Qt::CaseSensitive, QRegExp::RegExp);
    ConnectionMetaMethod method;
    method.name = QString(signature).remove(parameterList);
    method.parameterTypes = ConnectionMeta::getParameterTypesFromSignature(signature);
    return method;
}

bool isSignatureText(const QString& side)
{
    static const QRegularExpression shape(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*\\((.*)\\)$"));
    const QRegularExpressionMatch match = shape.match(side);
    if (!match.hasMatch())
        return false;
    int depth = 0;
    for (const QChar character : match.capturedRef(1)) {
        if (character == QLatin1Char('('))
            ++depth;
        else if (character == QLatin1Char(')') && --depth < 0)
            return false;
    }
    return depth == 0;
}

} // namespace

ConnectionMeta::ConnectionMeta() = default;

ConnectionMeta::ConnectionMeta(const ConnectionMetaMethod& first, const ConnectionMetaMethod& second)
    : QPair<ConnectionMetaMethod, ConnectionMetaMethod>(first, second)
{
}

QString ConnectionMeta::getParameterTypesFromSignature(const QString& signature)
{
    static const QRegularExpression parameterList(kParameterListPattern);
    const QRegularExpressionMatch match = parameterList.match(signature);
    if (!match.hasMatch())
        return QString();
    const QString types = match.captured(1);
    return types.isEmpty() ? QStringLiteral("void") : types;
}

ConnectionMeta ConnectionMeta::fromSignature(const QString& text)
{
    const int cut = text.indexOf(QLatin1Char('<'));
    const QString slotSide = cut < 0 ? text : text.left(cut);
    const QString signalSide = cut < 0 ? text : text.mid(cut + 1);
    return ConnectionMeta(methodFromSignature(signalSide), methodFromSignature(slotSide));
}

bool ConnectionMeta::isPairText(const QString& text)
{
    if (text.count(QLatin1Char('<')) != 1)
        return false;
    const int cut = text.indexOf(QLatin1Char('<'));
    return isSignatureText(text.left(cut)) && isSignatureText(text.mid(cut + 1));
}

bool ConnectionMeta::isValid() const
{
    return first.isValid() && second.isValid();
}

QString ConnectionMeta::pairText() const
{
    return QStringLiteral("%1<%2").arg(second.signature(), first.signature());
}

QString ConnectionMeta::fullText() const
{
    return QStringLiteral("%1 > %2").arg(first.signature(), second.signature());
}
