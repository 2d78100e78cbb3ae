#pragma once

#include <QString>

/**
 * A file of the demo's data folder that the demo cannot read, kept for the user to mend
 * rather than written over by the demo's next save of it.
 */
namespace CorruptedFile {

/**
 * Moves the file at path aside, beside it and byte for byte, as "<path>_corrupted", or
 * "<path>_corrupted.<n>" under the first number no earlier refusal holds, so that no kept
 * copy is written over. Returns where it went; empty, and logged, when it cannot be moved.
 */
QString keepAside(const QString& path);

} // namespace CorruptedFile
