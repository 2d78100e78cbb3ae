#pragma once

#include <QCoreApplication>
#include <QString>

class DeviceManager;

/**
 * The import of a meta-device file the user chose with the map window's "Import meta
 * device": the file handed to the framework only when it reads as YAML within bounds
 * (MetaDeviceFile::isReadable()), and, when it is refused on either side, what to tell the
 * user. GUI thread.
 *
 *     const QString refusal = MetaDeviceImport::importFile(manager, path);
 *     if (!refusal.isEmpty())
 *         ZenticMessageBox::warning(this, title, refusal);
 */
class MetaDeviceImport
{
    Q_DECLARE_TR_FUNCTIONS(MetaDeviceImport)

public:
    /**
     * Imports the file at path into manager. Empty when manager took it; else why not, for
     * the user, naming the file: it could not be read as text, it is not YAML, or it is YAML
     * that the framework did not take for a meta device. The log says more in each case.
     */
    static QString importFile(DeviceManager* manager, const QString& path);
};
