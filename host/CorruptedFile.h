#pragma once

#include <QString>
#include <QStringList>

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
/**
 * Moves paths aside as keepAside() does, the first (a graph) with the files that belong to it
 * (its places), all under one number that none of them holds yet, so that a kept file and its
 * own go together. Returns where each went, in step with paths; empty for a file that is not
 * there or cannot be moved. When the first cannot be moved, none of the others is.
 */
QStringList keepAside(const QStringList& paths);

} // namespace CorruptedFile
