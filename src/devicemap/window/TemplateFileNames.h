#pragma once

#include "dozerozozu_export.h"

#include <QString>

/**
 * The rules by which the templates panel names template files: the title shown for a file,
 * the file name a rename gives, and which files the user may rename or delete.
 *
 * Stateless; any thread.
 */
namespace TemplateFileNames {

/// The file name without its last "."-part, first letter upper-cased: "pump_line.yml" gives "Pump_line".
DOZEROZOZU_EXPORT QString title(const QString& fileName);

/**
 * The file name for a name the user typed: kept when it ends in ".yml" or ".yaml" (letter case
 * counts), otherwise with ".yml" appended. Empty for a name that is empty or names a folder
 * too ("/" or "\"), which a rename refuses.
 */
DOZEROZOZU_EXPORT QString renamedFileName(const QString& typed);

/// Whether the path goes through a folder named exactly "system", the link to the system's
/// own templates: such files are neither renamed nor deleted.
DOZEROZOZU_EXPORT bool isSystemTemplate(const QString& path);

} // namespace TemplateFileNames
