#include "IniFileText.h"

#include <QRect>
#include <QStringList>

#include <algorithm>
#include <vector>

namespace {

const char hexDigits[] = "0123456789ABCDEF";

// A text that QSettings would read back as something else is marked the way it marks it.
QString textOfValue(const QString& text)
{
    if (text.contains(QChar::Null))
        return QStringLiteral("@String(") + text + QLatin1Char(')');
    if (text.startsWith(QLatin1Char('@')))
        return QLatin1Char('@') + text;
    return text;
}

} // namespace

// QSettings drops doubled, leading and trailing separators of a key.
QString IniFileText::normalisedKey(const QString& key)
{
    QString result;
    result.reserve(key.size());
    for (const QChar c : key) {
        if (c == QLatin1Char('/') && (result.isEmpty() || result.endsWith(QLatin1Char('/'))))
            continue;
        result += c;
    }
    if (result.endsWith(QLatin1Char('/')))
        result.chop(1);
    return result;
}

void IniFileText::appendEscapedKey(const QString& key, QByteArray& out)
{
    for (const QChar c : key) {
        uint ch = c.unicode();
        if (ch == '/') {
            out += '\\';
        } else if ((ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9') || ch == '_'
                   || ch == '-' || ch == '.') {
            out += char(ch);
        } else if (ch <= 0xFF) {
            out += '%';
            out += hexDigits[ch / 16];
            out += hexDigits[ch % 16];
        } else {
            out += "%U";
            char code[4];
            for (int i = 3; i >= 0; --i) {
                code[i] = hexDigits[ch % 16];
                ch >>= 4;
            }
            out.append(code, 4);
        }
    }
}

// Without a text codec QSettings writes every character past ASCII as a hexadecimal escape.
void IniFileText::appendEscapedText(const QString& text, QByteArray& out)
{
    const int start = out.size();
    bool needsQuotes = false;
    bool escapeNextIfDigit = false;
    for (const QChar c : text) {
        const uint ch = c.unicode();
        if (ch == ';' || ch == ',' || ch == '=')
            needsQuotes = true;
        if (escapeNextIfDigit
            && ((ch >= '0' && ch <= '9') || (ch >= 'a' && ch <= 'f') || (ch >= 'A' && ch <= 'F'))) {
            out += "\\x" + QByteArray::number(ch, 16);
            continue;
        }
        escapeNextIfDigit = false;
        switch (ch) {
        case '\0':
            out += "\\0";
            escapeNextIfDigit = true;
            break;
        case '\a':
            out += "\\a";
            break;
        case '\b':
            out += "\\b";
            break;
        case '\f':
            out += "\\f";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\v':
            out += "\\v";
            break;
        case '"':
        case '\\':
            out += '\\';
            out += char(ch);
            break;
        default:
            if (ch <= 0x1F || ch >= 0x7F) {
                out += "\\x" + QByteArray::number(ch, 16);
                escapeNextIfDigit = true;
            } else {
                out += char(ch);
            }
        }
    }
    if (needsQuotes || (start < out.size() && (out.at(start) == ' ' || out.at(out.size() - 1) == ' '))) {
        out.insert(start, '"');
        out += '"';
    }
}

bool IniFileText::appendValue(const QVariant& value, QByteArray& out)
{
    switch (value.userType()) {
    case QMetaType::UnknownType:
        out += "@Invalid()";
        return true;
    case QMetaType::QString:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Bool:
        appendEscapedText(textOfValue(value.toString()), out);
        return true;
    case QMetaType::QRect: {
        const QRect rect = value.toRect();
        appendEscapedText(QString::asprintf("@Rect(%d %d %d %d)", rect.x(), rect.y(), rect.width(), rect.height()),
                          out);
        return true;
    }
    case QMetaType::QStringList: {
        const QStringList texts = value.toStringList();
        if (texts.isEmpty())
            out += "@Invalid()";
        for (int i = 0; i < texts.size(); ++i) {
            if (i != 0)
                out += ", ";
            appendEscapedText(textOfValue(texts.at(i)), out);
        }
        return true;
    }
    default:
        return false;
    }
}

bool IniFileText::compose(const QMap<QString, QVariant>& values, QByteArray* text)
{
    // Sections in name order, the keys of each in name order: the order QSettings writes keys
    // it was given in one go.
    QMap<QString, QMap<QString, QVariant>> sections;
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        const QString key = normalisedKey(it.key());
        const int slash = key.indexOf(QLatin1Char('/'));
        sections[slash < 0 ? QString() : key.left(slash)].insert(slash < 0 ? key : key.mid(slash + 1), it.value());
    }
    QByteArray out;
    out.reserve(values.size() * 40);
    bool first = true;
    for (auto section = sections.cbegin(); section != sections.cend(); ++section) {
        QByteArray name;
        appendEscapedKey(section.key(), name);
        if (name.isEmpty())
            name = "[General]";
        else if (qstricmp(name.constData(), "general") == 0)
            name = "[%General]";
        else
            name = '[' + name + ']';
        if (!first)
            out += '\n';
        first = false;
        out += name;
        out += '\n';
        for (auto entry = section->cbegin(); entry != section->cend(); ++entry) {
            appendEscapedKey(entry.key(), out);
            out += '=';
            if (!appendValue(entry.value(), out))
                return false;
            out += '\n';
        }
    }
    *text = out;
    return true;
}
