#pragma once

#include "dozerozozu_export.h"

#include <QString>

/**
 * Reading a device file (YAML device text) that the user drags onto the map or keeps as a
 * template, with the checks that keep a wrong file from crashing or stalling the GUI.
 *
 * Stateless; any thread.
 *
 *     QString error;
 *     const QString text = DeviceFile::readText(path, &error);
 *     if (!error.isEmpty())
 *         qWarning().noquote() << "... |" << path << "|" << error;
 */
namespace DeviceFile {

/**
 * Larger files are refused: device text of any real graph is far smaller. Read as YAML, a
 * file at the cap costs at most what yaml-cpp's load costs (BoundedYaml): about 160 MiB to
 * 1.3 GiB for block or JSON device text, 3.8 GiB for the densest YAML a reader accepts.
 */
constexpr qint64 maxSize = 16 * 1024 * 1024;

/// Whether the path names a device file: it holds ".yml" or ".yaml", in any letter case.
DOZEROZOZU_EXPORT bool isDeviceFilePath(const QString& path);
/**
 * The file's text, decoded as UTF-8: bytes that are not UTF-8 (a Latin-1 letter in a comment)
 * become replacement characters (U+FFFD) and set *replaced (may be null), which tells a
 * writer that the text would not give the file back. A UTF-8 byte-order mark at the start is
 * not part of the text and sets *byteOrderMark (may be null), for a writer to keep it.
 * Empty, with error set, for what is not a readable regular file, for a file larger than
 * maxSize and for binary content (a NUL byte, which no text file holds). A file that does
 * not exist or cannot be opened gives empty text and an error as well.
 */
DOZEROZOZU_EXPORT QString readText(const QString& path, QString* error = nullptr, bool* replaced = nullptr,
                                   bool* byteOrderMark = nullptr);

} // namespace DeviceFile
