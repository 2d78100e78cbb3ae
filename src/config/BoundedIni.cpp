#include "BoundedIni.h"

#include "BoundedFileRead.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QMutexLocker>

namespace {

void setReason(QString* reason, const QString& text)
{
    if (reason)
        *reason = text;
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// One character as QSettings makes it of a numeric escape: only its low 16 bits count.
void appendCode(uint code, QByteArray& out)
{
    // A character past Latin-1 is none of the ASCII letters looked for.
    out += code <= 0xFF ? char(code) : '\x01';
}

char namedEscape(char c)
{
    switch (c) {
    case 'a':
        return '\a';
    case 'b':
        return '\b';
    case 'f':
        return '\f';
    case 'n':
        return '\n';
    case 'r':
        return '\r';
    case 't':
        return '\t';
    case 'v':
        return '\v';
    case '"':
    case '?':
    case '\'':
    case '\\':
        return c;
    default:
        return 0;
    }
}

/*
 * The text as QSettings unescapes a value, applied to all of it: named, hexadecimal and octal
 * escapes; other escaped characters and escaped line ends dropped; quotes dropped, and the
 * blanks after every quote (QSettings drops them after a closing one, and which quote closes
 * is not followed here). Every value and list item QSettings reads is then a part of the
 * result, or of the result with blanks dropped that QSettings keeps.
 */
QByteArray unescapedAsValues(const QByteArray& text)
{
    QByteArray out;
    out.reserve(text.size());
    const int size = text.size();
    for (int i = 0; i < size;) {
        const char c = text.at(i++);
        if (c == '"') {
            while (i < size && (text.at(i) == ' ' || text.at(i) == '\t'))
                ++i;
            continue;
        }
        if (c != '\\') {
            out += c;
            continue;
        }
        if (i >= size)
            break;
        const char escaped = text.at(i++);
        if (const char named = namedEscape(escaped)) {
            out += named;
        } else if (escaped == 'x') {
            if (i < size && hexDigit(text.at(i)) >= 0) {
                uint code = 0;
                while (i < size && hexDigit(text.at(i)) >= 0)
                    code = ((code << 4) + uint(hexDigit(text.at(i++)))) & 0xFFFF;
                appendCode(code, out);
            }
        } else if (escaped >= '0' && escaped <= '7') {
            uint code = uint(escaped - '0');
            while (i < size && text.at(i) >= '0' && text.at(i) <= '7')
                code = ((code << 3) + uint(text.at(i++) - '0')) & 0xFFFF;
            appendCode(code, out);
        } else if (escaped == '\n' || escaped == '\r') {
            if (i < size && (text.at(i) == '\n' || text.at(i) == '\r') && text.at(i) != escaped)
                ++i;
        }
    }
    return out;
}

} // namespace

namespace BoundedIni {

bool readFile(const QString& path, QByteArray* text, QString* error)
{
    text->clear();
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return true;
    QFile file(path);
    if (!BoundedFileRead::openRegularFile(file, error))
        return false;
    if (file.size() > maxSize) {
        setReason(error, QStringLiteral("larger than %1 bytes").arg(maxSize));
        return false;
    }
    // The size may have grown since it was asked: read one byte more than allowed to know.
    if (!BoundedFileRead::read(file, maxSize, text)) {
        text->clear();
        setReason(error, QStringLiteral("cannot read: ") + file.errorString());
        return false;
    }
    if (text->size() > maxSize) {
        text->clear();
        setReason(error, QStringLiteral("larger than %1 bytes").arg(maxSize));
        return false;
    }
    return true;
}

bool isSafeForSettings(const QByteArray& text, QString* reason)
{
    // A value with neither word needs no unescaping to be known safe: every such file this
    // code writes.
    const bool mayHoldEscapes = text.contains('\\') || text.contains('"');
    if (!mayHoldEscapes && !text.contains("@Variant(") && !text.contains("@DateTime("))
        return true;
    const QByteArray values = mayHoldEscapes ? unescapedAsValues(text) : text;
    for (const char* word : {"@Variant(", "@DateTime("}) {
        // "@@" makes a text of what follows: the form in which QSettings writes a text that
        // starts with "@".
        for (int at = values.indexOf(word); at >= 0; at = values.indexOf(word, at + 1)) {
            if (at == 0 || values.at(at - 1) != '@') {
                setReason(reason, QStringLiteral("a value may be read as %1...)").arg(QLatin1String(word)));
                return false;
            }
        }
    }
    return true;
}

bool isFileSafeForSettings(const QString& path, QString* reason)
{
    struct Answer
    {
        QString path;
        qint64 size = -1;
        QDateTime modified;
        bool safe = false;
        QString reason;
    };
    static QMutex mutex;
    static Answer last;

    const QFileInfo info(path);
    const qint64 size = info.isFile() ? info.size() : -1;
    const QDateTime modified = info.isFile() ? info.lastModified() : QDateTime();
    {
        QMutexLocker lock(&mutex);
        if (size >= 0 && last.path == path && last.size == size && last.modified == modified) {
            setReason(reason, last.reason);
            return last.safe;
        }
    }
    Answer answer{path, size, modified, false, QString()};
    QByteArray text;
    answer.safe = readFile(path, &text, &answer.reason) && isSafeForSettings(text, &answer.reason);
    setReason(reason, answer.reason);
    QMutexLocker lock(&mutex);
    last = answer;
    return answer.safe;
}

} // namespace BoundedIni
