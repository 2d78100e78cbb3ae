#pragma once

#include "dozerozozu_export.h"

#include <QString>

/**
 * One component of the software stack as the about dialog shows it. A plain value type.
 *
 *     AboutDialog::showAboutDialog({{"MyHost", "2.1.0", sha, "01.02.26 10:00", "deb"}}, window);
 */
struct DOZEROZOZU_EXPORT VersionInfo
{
    /// Component name, the group's title.
    QString name;
    QString version;
    /// Commit id; shown and copied shortened to its first 8 characters.
    QString commit;
    QString buildDate;
    /// Shown only when not empty.
    QString packageType;
};
