#include "LayoutText.h"

#include <algorithm>
#include <cmath>

namespace LayoutText {

bool Lines::next(std::vector<Word>* words)
{
    if (position >= text.size())
        return false;
    size_t end = text.find('\n', position);
    if (end == Word::npos)
        end = text.size();
    lastLine = text.substr(position, end - position);
    words->clear();
    for (size_t start = position;;) {
        const size_t space = std::min(text.find(' ', start), end);
        words->push_back(text.substr(start, space - start));
        if (space >= end)
            break;
        start = space + 1;
    }
    position = end + 1;
    ++lineNumber;
    return true;
}

bool toDouble(Word word, double* value)
{
    const char* end = word.data() + word.size();
    const auto result = std::from_chars(word.data(), end, *value);
    return result.ec == std::errc() && result.ptr == end && std::isfinite(*value);
}

bool toInt(Word word, int* value)
{
    const char* end = word.data() + word.size();
    const auto result = std::from_chars(word.data(), end, *value);
    return result.ec == std::errc() && result.ptr == end;
}

namespace {

int hexValue(char c)
{
    return c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
}

} // namespace

std::string percentEncoded(std::string_view text)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string result;
    result.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') || (byte >= '0' && byte <= '9') || byte == '-'
            || byte == '.' || byte == '_' || byte == '~') {
            result += c;
        } else {
            result += '%';
            result += digits[byte >> 4];
            result += digits[byte & 15];
        }
    }
    return result;
}

std::string percentDecoded(Word word)
{
    std::string text;
    text.reserve(word.size());
    for (size_t i = 0; i < word.size(); ++i) {
        if (word[i] == '%' && i + 2 < word.size() && hexValue(word[i + 1]) >= 0 && hexValue(word[i + 2]) >= 0) {
            text += char(hexValue(word[i + 1]) * 16 + hexValue(word[i + 2]));
            i += 2;
        } else {
            text += word[i];
        }
    }
    return text;
}

std::string failureText(std::string_view reason)
{
    std::string text(drawingHeader);
    text += "\nfailed ";
    text += percentEncoded(reason);
    text += '\n';
    return text;
}

} // namespace LayoutText
