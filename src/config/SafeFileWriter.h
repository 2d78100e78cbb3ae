#pragma once

#include "FrameworkSharedExport.h"

#include <QByteArray>
#include <QString>

#include <functional>

class QSettings;

/**
 * The one way this code base writes a file: a reader sees either the old file or the
 * whole new one, never a file cut short.
 *
 * The data goes to a temporary file beside the target, unbuffered (a buffered short write
 * would be lost in the final flush and still be taken for success), every write is checked,
 * and only a complete copy replaces the target. On a full disk, a short write, a file-size
 * limit, a missing directory or an unwritable file the old file stays as it was, nothing is
 * left behind, and the call returns false with a one-line reason. Logging is the caller's:
 * it knows what the file is.
 *
 * Stateless; any thread. Used by the library and by the framework stand-in.
 *
 *     QString error;
 *     if (!SafeFileWriter::writeFile(path, text.toUtf8(), &error))
 *         qWarning().noquote() << "TemplatesWidget: cannot save" << path << ":" << error;
 */
namespace SafeFileWriter {

/// Replaces the file at path with data. Does not create missing directories.
DOZEROZOZU_SHARED_EXPORT bool writeFile(const QString& path, const QByteArray& data,
                                             QString* error = nullptr);

/**
 * Edits the INI file at path through QSettings and replaces it as writeFile does. edit gets
 * settings holding the file's current contents (none when the file does not exist); what it
 * leaves is written. QSettings itself can cut a file short without noticing, so it works on
 * a private copy here, and what it wrote is read back and compared before it may replace
 * the file.
 */
DOZEROZOZU_SHARED_EXPORT bool writeSettings(const QString& path,
                                                 const std::function<void(QSettings&)>& edit,
                                                 QString* error = nullptr);

} // namespace SafeFileWriter
