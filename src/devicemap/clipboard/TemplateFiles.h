#pragma once

#include "dozerozozu_export.h"

#include <QString>

/**
 * Where the device map's templates live and how files get there: the "templates" directory
 * of the application's writable data location, or the directory a host chose with
 * setDirectory(), one device text per file, named after its template with ".yml" appended.
 * The map's template export and "Import template" write here, the templates panel lists this
 * directory and writes the descriptions it edits into its files.
 *
 * Every file is written through SafeFileWriter: a failed write leaves the old file whole.
 * No widget inside; GUI thread (the data location override is not guarded).
 *
 *     TemplateFiles::setDataLocation(temporaryDir.path());   // tests
 *     const QString path = TemplateFiles::pathForName(QStringLiteral("pump"));
 */
namespace TemplateFiles {

/// The system-wide templates, linked as "system" inside the templates directory when that
/// directory is created: "/usr/share/rode2/templates", or the one set for tests.
DOZEROZOZU_EXPORT QString systemDirectory();
/// Replaces the system-wide templates directory for this process; empty restores the default.
DOZEROZOZU_EXPORT void setSystemDirectory(const QString& path);

/// The writable data location (QStandardPaths::DataLocation), or the one set for tests.
DOZEROZOZU_EXPORT QString dataLocation();
/// Replaces the data location for this process; an empty path restores the standard one.
DOZEROZOZU_EXPORT void setDataLocation(const QString& path);
/// The directory set with setDirectory(), else dataLocation() + "/templates".
DOZEROZOZU_EXPORT QString directory();
/**
 * Replaces the templates directory for this process (TemplatesWidget::setTemplatesDirectory());
 * an empty path restores dataLocation() + "/templates". Panels made before keep the one they list.
 */
DOZEROZOZU_EXPORT void setDirectory(const QString& path);
/**
 * Creates the templates directory (and missing parents) when it is missing, and then links
 * "system" to systemDirectory when that exists. False, with error set, when it cannot be made.
 */
DOZEROZOZU_EXPORT bool ensureDirectory(QString* error = nullptr);

/// Whether a typed template name may name a file here: not blank, no "/", "\" or "..".
DOZEROZOZU_EXPORT bool isAcceptableName(const QString& name);
/// The file of a template: directory() + "/" + name + ".yml" (".yml" is always appended).
DOZEROZOZU_EXPORT QString pathForName(const QString& name);
/// Where "Import template" puts the file at sourcePath: directory() + "/" + its file name.
DOZEROZOZU_EXPORT QString importPath(const QString& sourcePath);
/**
 * Copies the file at sourcePath to targetPath as it is, atomically; files over
 * DeviceFile::maxSize and what is not a regular file are refused. False, with error set, on
 * failure; the target then stays as it was.
 */
DOZEROZOZU_EXPORT bool copyFile(const QString& sourcePath, const QString& targetPath, QString* error = nullptr);

} // namespace TemplateFiles
