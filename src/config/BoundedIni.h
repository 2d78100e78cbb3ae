#pragma once

#include "FrameworkSharedExport.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

/**
 * The one way INI text from outside (the map's layout file, the dashboard's layout file)
 * reaches QSettings, so that no file makes a reader take more memory than a bounded multiple
 * of its size.
 *
 * QSettings reads a value "@Variant(...)" or "@DateTime(...)" as a QVariant through
 * QDataStream, which believes the counts it reads: a list of 2^31 - 1 items, eleven bytes of
 * text, reserves 16 GiB for them (a failed reservation throws std::bad_alloc through the
 * reader). Nothing this code writes holds such a value, so a text in which QSettings could
 * find one is not given to it at all. The test follows QSettings' own unescaping (escapes,
 * quotes, continued lines, list items) over the whole text, so it may refuse a text whose
 * only such words stand inside a longer value, but never misses one.
 *
 * Stateless but for isFileSafeForSettings()'s memory of its last answer; any thread. Used by
 * the library and by the framework stand-in.
 *
 *     QString why;
 *     if (!BoundedIni::isFileSafeForSettings(path, &why))
 *         qWarning().noquote() << "... | not read |" << path << why;
 */
namespace BoundedIni {

/// Larger files are refused: a layout of any real map is far smaller.
constexpr qint64 maxSize = 64 * 1024 * 1024;

/**
 * The text of the file at path: empty for a file that does not exist. False, with a reason,
 * for what is not a regular file (a pipe or a device would block or never end), a file
 * larger than maxSize and one that cannot be read.
 */
DOZEROZOZU_SHARED_EXPORT bool readFile(const QString& path, QByteArray* text, QString* error = nullptr);
/// Whether QSettings may read text: no value of it can become a QVariant read by QDataStream.
DOZEROZOZU_SHARED_EXPORT bool isSafeForSettings(const QByteArray& text, QString* reason = nullptr);
/**
 * readFile() and isSafeForSettings() of the file at path; a missing file is safe. The last
 * answer is kept while the file's size and modification time stay, so that reading one key
 * at a time does not read the whole file each time.
 */
DOZEROZOZU_SHARED_EXPORT bool isFileSafeForSettings(const QString& path, QString* reason = nullptr);

} // namespace BoundedIni
