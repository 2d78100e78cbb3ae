#pragma once

#include <charconv>
#include <string>
#include <string_view>
#include <vector>

/*
 * What both sides of the layout program's texts share: the library writes jobs and reads
 * drawings (GraphvizJob.h), the program reads jobs and writes drawings (JobText.h). The
 * format's version lives here alone, so that the two sides cannot drift apart; a program of
 * another version is refused. Standard library only: the program starts without Qt.
 *
 * The texts are line based, each line words separated by single spaces. Names, values and
 * labels are percent-encoded as QByteArray::toPercentEncoding() encodes them; numbers are
 * written in the shortest form that reads back as the same value.
 */
namespace LayoutText {

constexpr std::string_view jobHeader = "dozerozozu-layout-job 1";
// Version 2: an edge the program could not route comes as an "unrouted" line.
constexpr std::string_view drawingHeader = "dozerozozu-layout-drawing 2";

using Word = std::string_view;

/// The lines of a text, each split at its spaces into words that point into the text.
class Lines
{
public:
    explicit Lines(std::string_view text)
        : text(text)
    {
    }

    /// The next line's words; false at the end of the text. The words stay valid with the text.
    bool next(std::vector<Word>* words);

    /// The number of the last line read, from 1.
    int number() const { return lineNumber; }
    /// The whole of the last line read.
    std::string_view line() const { return lastLine; }

private:
    std::string_view text;
    std::string_view lastLine;
    size_t position = 0;
    int lineNumber = 0;
};

/// False unless the whole word is a finite number.
bool toDouble(Word word, double* value);
/// False unless the whole word is an int.
bool toInt(Word word, int* value);

/// A number as the texts write it, without a string of its own: the shortest text that reads
/// back as the same value (a drawing is the one Graphviz made).
class Number
{
public:
    explicit Number(double value)
        : length(size_t(std::to_chars(buffer, buffer + sizeof(buffer), value).ptr - buffer))
    {
    }

    explicit Number(int value)
        : length(size_t(std::to_chars(buffer, buffer + sizeof(buffer), value).ptr - buffer))
    {
    }

    const char* data() const { return buffer; }
    size_t size() const { return length; }

private:
    char buffer[32];
    size_t length;
};

/// text percent-encoded: all but letters, digits and -._~, in upper-case hexadecimal.
std::string percentEncoded(std::string_view text);
/// word percent-decoded; a '%' not followed by two hexadecimal digits stays as it is.
std::string percentDecoded(Word word);

/**
 * Reads a job's text: its header, then each line's words through readLine (a callable taking
 * the words and returning false for an entry it refuses) up to the line "end". Returns what is
 * wrong with the text, empty for a whole job whose every entry readLine took.
 */
template<typename ReadLine>
std::string readJob(std::string_view text, ReadLine readLine)
{
    Lines lines(text);
    std::vector<Word> words;
    if (!lines.next(&words) || lines.line() != jobHeader)
        return "not a layout job";
    while (lines.next(&words)) {
        if (lines.line() == "end")
            return std::string();
        if (!readLine(words))
            return "line " + std::to_string(lines.number()) + ": not a valid entry";
    }
    return "the job ends before its end";
}

/// The drawing a run that failed for the reason given answers.
std::string failureText(std::string_view reason);

} // namespace LayoutText
