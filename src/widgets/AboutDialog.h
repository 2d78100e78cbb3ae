#pragma once

#include "dozerozozu_export.h"

#include "VersionInfo.h"

#include <QDialog>
#include <QList>

/**
 * Shows the versions of the software stack: the caller's entries (the host's own, say), then
 * the device framework "OrboDev", then this library "DozeRozOZU", each in a titled group with
 * version, short commit, build date and, when known, package type. A small button in the
 * top-right corner copies all entries to the clipboard as one line. GUI thread only.
 *
 *     AboutDialog::showAboutDialog({}, mainWindow);   // modal; returns when closed
 */
class DOZEROZOZU_EXPORT AboutDialog : public QDialog
{
    Q_OBJECT

public:
    /// Runs the dialog modally and deletes it when it is closed.
    static void showAboutDialog(QList<VersionInfo> versions, QWidget* parent);

    AboutDialog(QList<VersionInfo> versions, QWidget* parent);
};
