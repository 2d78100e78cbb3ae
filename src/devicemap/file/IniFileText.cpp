#include "IniFileText.h"

#include <QRect>
#include <QStringList>

#include <algorithm>
#include <climits>
#include <cctype>
#include <cstring>
#include <vector>
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

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool isPlainKeyCharacter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-'
           || c == '.';
}

// A whole number as QString::toInt() takes the texts the writer makes: optional minus, digits.
bool readInt(const QByteArray& text, int* value)
{
    bool ok = false;
    *value = text.toInt(&ok);
    return ok && !text.isEmpty() && (isdigit(uchar(text.at(0))) || text.at(0) == '-');
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

bool IniFileText::unescapeKey(const char* begin, const char* end, QString& out)
{
    out.reserve(out.size() + int(end - begin));
    for (const char* c = begin; c < end;) {
        if (*c == '\\') {
            out += QLatin1Char('/');
            ++c;
        } else if (isPlainKeyCharacter(*c)) {
            out += QLatin1Char(*c);
            ++c;
        } else if (*c == '%') {
            const bool wide = c + 1 < end && c[1] == 'U';
            const char* digits = c + (wide ? 2 : 1);
            const int count = wide ? 4 : 2;
            if (end - digits < count)
                return false;
            uint code = 0;
            for (int i = 0; i < count; ++i) {
                const int digit = hexValue(digits[i]);
                if (digit < 0)
                    return false;
                code = code * 16 + uint(digit);
            }
            out += QChar(ushort(code));
            c = digits + count;
        } else {
            return false;
        }
    }
    return true;
}

// Values without escapes only: plain or quoted texts, separated by ", " into lists; "@Rect(...)",
// "@Invalid()" and "@@..." as QSettings turns them into values.
// "@Rect(x y w h)" as the writer makes it, without the general path's copies.
bool readPlainRect(const char* begin, const char* end, QRect* rect)
{
    static const char prefix[] = "@Rect(";
    const size_t prefixLength = sizeof(prefix) - 1;
    if (size_t(end - begin) <= prefixLength + 1 || memcmp(begin, prefix, prefixLength) != 0 || end[-1] != ')')
        return false;
    int coordinates[4];
    const char* c = begin + prefixLength;
    for (int i = 0; i < 4; ++i) {
        const bool negative = *c == '-';
        if (negative)
            ++c;
        const char* digits = c;
        qint64 number = 0;
        while (c < end - 1 && *c >= '0' && *c <= '9' && c - digits < 10)
            number = number * 10 + (*c++ - '0');
        if (c == digits || (negative ? -number < INT_MIN : number > INT_MAX))
            return false;
        coordinates[i] = int(negative ? -number : number);
        if (i < 3 && (c >= end - 1 || *c++ != ' '))
            return false;
    }
    if (c != end - 1)
        return false;
    // What QRect(x, y, width, height) holds, its far edges wrapping past the int range as in
    // QSettings, without overflowing in the addition.
    const auto lastOf = [](int first, int size) { return int(quint32(first) + quint32(size) - 1u); };
    rect->setCoords(coordinates[0], coordinates[1], lastOf(coordinates[0], coordinates[2]),
                    lastOf(coordinates[1], coordinates[3]));
    return true;
}

bool IniFileText::readValue(const char* begin, const char* end, QVariant& value)
{
    QRect rect;
    if (readPlainRect(begin, end, &rect)) {
        value = rect;
        return true;
    }
    struct Item
    {
        QByteArray text;
        bool quoted = false;
    };
    QList<Item> items{Item()};
    bool inQuotes = false;
    for (const char* c = begin; c < end; ++c) {
        const char ch = *c;
        if (ch == '\\' || uchar(ch) < 0x20 || uchar(ch) > 0x7e)
            return false;
        Item& item = items.last();
        if (ch == '"') {
            // A quoted part must be the whole item.
            if (inQuotes ? (c + 1 < end && c[1] != ',') : (item.quoted || !item.text.isEmpty()))
                return false;
            inQuotes = !inQuotes;
            item.quoted = true;
            continue;
        }
        if (inQuotes) {
            item.text += ch;
            continue;
        }
        if (ch == ',') {
            // The writer separates list items by a comma and one blank.
            if (c + 1 >= end || c[1] != ' ')
                return false;
            ++c;
            items.append(Item());
            continue;
        }
        if (ch == ';' || ch == '=' || item.quoted)
            return false;
        item.text += ch;
    }
    if (inQuotes)
        return false;
    for (const Item& item : qAsConst(items)) {
        // QSettings drops blanks around an unquoted item; the writer quotes such texts.
        const QByteArray& text = item.text;
        if (!item.quoted && !text.isEmpty() && (text.at(0) == ' ' || text.at(text.size() - 1) == ' '))
            return false;
    }

    if (items.size() > 1) {
        QStringList texts;
        for (const Item& item : qAsConst(items)) {
            const QByteArray& part = item.text;
            if (part.startsWith('@') && !part.startsWith("@@"))
                return false;
            texts.append(QString::fromLatin1(part.startsWith("@@") ? part.mid(1) : part));
        }
        value = texts;
        return true;
    }
    const QByteArray& text = items.first().text;
    if (!text.startsWith('@')) {
        value = QString::fromLatin1(text);
        return true;
    }
    if (text.startsWith("@@")) {
        value = QString::fromLatin1(text.mid(1));
        return true;
    }
    if (text == "@Invalid()") {
        value = QVariant();
        return true;
    }
    if (!text.startsWith("@Rect(") || !text.endsWith(')'))
        return false;
    const QList<QByteArray> numbers = text.mid(6, text.size() - 7).split(' ');
    int coordinates[4];
    if (numbers.size() != 4)
        return false;
    for (int i = 0; i < 4; ++i) {
        if (!readInt(numbers.at(i), &coordinates[i]))
            return false;
    }
    value = QRect(coordinates[0], coordinates[1], coordinates[2], coordinates[3]);
    return true;
}

bool IniFileText::parse(const QByteArray& text, QHash<QString, QVariant>* values,
                        const PlainSectionRect& plainSectionRect)
{
    QHash<QString, QVariant> result;
    if (!plainSectionRect)
        result.reserve(text.count('\n'));
    QString section;
    std::vector<QLatin1String> takenRects;
    const char* plainSection = nullptr;
    int plainSectionLength = 0;
    bool inSection = false;
    const char* data = text.constData();
    const char* const end = data + text.size();
    for (const char* line = data; line < end;) {
        const char* lineEnd = static_cast<const char*>(memchr(line, '\n', size_t(end - line)));
        if (!lineEnd)
            lineEnd = end;
        const char* next = lineEnd + 1;
        if (line == lineEnd) {
            line = next;
            continue;
        }
        if (*line == '[') {
            if (lineEnd[-1] != ']')
                return false;
            const QByteArray name(line + 1, int(lineEnd - line - 2));
            section.clear();
            plainSection = nullptr;
            if (qstricmp(name.constData(), "general") != 0) {
                if (qstricmp(name.constData(), "%general") == 0)
                    section = QString::fromLatin1(name.mid(1));
                else if (!unescapeKey(name.constBegin(), name.constEnd(), section) || section.isEmpty())
                    return false;
                if (std::all_of(name.cbegin(), name.cend(), isPlainKeyCharacter)) {
                    plainSection = line + 1;
                    plainSectionLength = name.size();
                }
                section += QLatin1Char('/');
            }
            inSection = true;
            line = next;
            continue;
        }
        const char* equals = static_cast<const char*>(memchr(line, '=', size_t(lineEnd - line)));
        if (!inSection || !equals || equals == line)
            return false;
        QRect rect;
        if (plainSectionRect && plainSection && equals - line == 4 && memcmp(line, "rect", 4) == 0
            && readPlainRect(equals + 1, lineEnd, &rect)) {
            if (!plainSectionRect(plainSection, plainSectionLength, rect))
                return false;
            takenRects.emplace_back(plainSection, plainSectionLength);
            line = next;
            continue;
        }
        QString key = section;
        QVariant value;
        if (!unescapeKey(line, equals, key) || !readValue(equals + 1, lineEnd, value))
            return false;
    // QSettings would take a key that is not in its normal form, or given twice, its own way.
        if (key.startsWith(QLatin1Char('/')) || key.endsWith(QLatin1Char('/')) || key.contains(QLatin1String("//")))
            return false;
        const int before = result.size();
        result.insert(key, value);
        if (result.size() == before)
            return false;
        line = next;
    }
    // A section's "rect" given twice, once as a rectangle and once otherwise.
    for (auto it = result.cbegin(); !takenRects.empty() && it != result.cend(); ++it) {
        const QString& key = it.key();
        if (key.endsWith(QLatin1String("/rect"))
            && std::any_of(takenRects.cbegin(), takenRects.cend(),
                           [&key](QLatin1String taken) { return QStringView(key).chopped(5) == taken; }))
            return false;
    }
    *values = result;
    return true;
}

bool IniFileText::isPlainKey(const QString& key)
{
    return std::all_of(key.cbegin(), key.cend(),
                       [](QChar c) { return c.unicode() < 0x80 && isPlainKeyCharacter(char(c.unicode())); });
}
