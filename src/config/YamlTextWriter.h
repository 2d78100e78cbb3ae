#pragma once

#include "FrameworkSharedExport.h"

#include <string>

namespace YAML {
class Emitter;
}

/**
 * Writes texts through yaml-cpp's emitter so that a YAML reader that takes every value as
 * text gives them back: yaml-cpp read as text, as this library reads, or PyYAML's BaseLoader.
 * A reader that resolves types does not: of the texts it would take for something else, the
 * emitter quotes only the empty text and the null words ("~", "null"), so a YAML 1.1 reader
 * takes "yes", "12:30:00" and "2024-01-01" for a boolean, a number and a date, and a reader
 * that knows merge keys takes a key "<<" for one.
 *
 * yaml-cpp's emitter writes some characters raw where a reader takes them for something else
 * or refuses the text: a carriage return, U+2028 and U+2029 (line breaks to a YAML 1.1
 * reader), other control characters, U+FEFF; a text holding one is written double-quoted with
 * every character outside ASCII escaped. And it writes every key as an implicit key, which
 * YAML limits to 1,024 characters: a key whose written form could be longer is written as an
 * explicit key ("? key" then ": value").
 *
 * Noncharacters (U+FDD0 to U+FDEF, U+xFFFE, U+xFFFF), which a YAML reader refuses raw, are
 * written as U+FFFD: a text holding one is written quoted, where the emitter replaces them.
 * A text longer than 4 KiB is written double-quoted as well: yaml-cpp's emitter takes ten times
 * as long to decide whether it may be written plain as to write it quoted.
 * What else no YAML file carries is the caller's to leave out: a NUL ends the text for most
 * readers. Texts are UTF-8. Stateless; any thread. Used by the library and the framework
 * stand-in.
 *
 *     emitter << YAML::Key;
 *     YamlTextWriter::writeKey(emitter, name);
 *     emitter << YAML::Value;
 *     YamlTextWriter::writeValue(emitter, value);
 */
namespace YamlTextWriter {

/// Writes text as the next key; the caller has written YAML::Key.
DOZEROZOZU_SHARED_EXPORT void writeKey(YAML::Emitter& emitter, const std::string& text);
/// Writes text as the next value, double-quoted when asked.
DOZEROZOZU_SHARED_EXPORT void writeValue(YAML::Emitter& emitter, const std::string& text, bool doubleQuoted = false);
/// Whether text holds a character yaml-cpp's emitter would write raw where it reads back otherwise.
DOZEROZOZU_SHARED_EXPORT bool needsEscaping(const std::string& text);

} // namespace YamlTextWriter
