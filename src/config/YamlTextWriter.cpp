#include "YamlTextWriter.h"

#include <yaml-cpp/emitter.h>

namespace {

// The longest implicit key YAML allows is 1,024 characters; the margin covers the quotes.
const std::size_t longestImplicitKey = 1000;
// What one character may take once written: "\U0010fffd" escaped, "\\" or "\"" doubled.
const std::size_t escapedCharacterLength = 10;
const std::size_t quotedCharacterLength = 2;
// yaml-cpp's emitter decides whether a text may be written plain at about 6 MB/s, a tenth of
// the speed at which it writes one quoted: a long text is written quoted, or a few MB of
// device text would take seconds to copy or save.
const std::size_t longestPlainText = 4096;

bool isRaw(const std::string& text, std::size_t i, unsigned char lead, unsigned char next)
{
    return i + 1 < text.size() && static_cast<unsigned char>(text[i]) == lead
           && static_cast<unsigned char>(text[i + 1]) == next;
}

// U+FDD0 to U+FDEF, and the last two code points of every plane, in UTF-8.
bool isNoncharacterAt(const std::string& text, std::size_t i)
{
    const auto byte = [&text](std::size_t at) { return at < text.size() ? static_cast<unsigned char>(text[at]) : 0; };
    if (byte(i) == 0xEF) {
        return (byte(i + 1) == 0xB7 && byte(i + 2) >= 0x90 && byte(i + 2) <= 0xAF)
               || (byte(i + 1) == 0xBF && (byte(i + 2) == 0xBE || byte(i + 2) == 0xBF));
    }
    if (byte(i) >= 0xF0 && byte(i) <= 0xF4)
        return (byte(i + 1) & 0x0F) == 0x0F && byte(i + 2) == 0xBF && (byte(i + 3) == 0xBE || byte(i + 3) == 0xBF);
    return false;
}

// Quoted, yaml-cpp's emitter writes a noncharacter as U+FFFD; plain, it writes it raw, and a
// reader refuses the whole text.
bool holdsNoncharacter(const std::string& text)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (static_cast<unsigned char>(text[i]) >= 0xEF && isNoncharacterAt(text, i))
            return true;
    }
    return false;
}

// A text that needs no escaping but is not written plain all the same.
bool mustBeQuoted(const std::string& text)
{
    return text.size() > longestPlainText || holdsNoncharacter(text);
}

} // namespace

namespace YamlTextWriter {

bool needsEscaping(const std::string& text)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x80) {
            if ((byte < 0x20 && byte != '\n' && byte != '\t') || byte == 0x7F)
                return true;
            continue;
        }
        // U+0080 to U+00A0 (C1 controls, NEL, no-break space).
        if (byte == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) <= 0xA0)
            return true;
        // U+2028, U+2029.
        if (isRaw(text, i, 0xE2, 0x80) && i + 2 < text.size()
            && (static_cast<unsigned char>(text[i + 2]) == 0xA8 || static_cast<unsigned char>(text[i + 2]) == 0xA9))
            return true;
        // U+FEFF.
        if (isRaw(text, i, 0xEF, 0xBB) && i + 2 < text.size() && static_cast<unsigned char>(text[i + 2]) == 0xBF)
            return true;
    }
    return false;
}

void writeKey(YAML::Emitter& emitter, const std::string& text)
{
    const bool escaped = needsEscaping(text);
    const std::size_t longestWritten = text.size() * (escaped ? escapedCharacterLength : quotedCharacterLength);
    if (longestWritten > longestImplicitKey)
        emitter << YAML::LongKey;
    if (escaped)
        emitter << YAML::DoubleQuoted << YAML::EscapeNonAscii;
    else if (mustBeQuoted(text))
        emitter << YAML::DoubleQuoted;
    emitter << text;
}

void writeValue(YAML::Emitter& emitter, const std::string& text, bool doubleQuoted)
{
    if (needsEscaping(text))
        emitter << YAML::DoubleQuoted << YAML::EscapeNonAscii;
    else if (doubleQuoted || mustBeQuoted(text))
        emitter << YAML::DoubleQuoted;
    emitter << text;
}

} // namespace YamlTextWriter
