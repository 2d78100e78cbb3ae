#pragma once

#include <QCoreApplication>
#include <QString>

class DeviceManager;

/**
 * The import of a meta-device file the user chose, with the map window's "Import meta
 * device" or by dropping it on the map: the file handed to the framework only when it reads as YAML within bounds
 * (MetaDeviceFile::isReadable()), and, when it is refused on either side, what to tell the
 * user. GUI thread.
 *
 *     const QString refusal = MetaDeviceImport::importFile(manager, path, "DeviceMapWindow::importMetaDevice()");
 *     if (!refusal.isEmpty())
 *         ZenticMessageBox::warning(this, title, refusal);
 */
class MetaDeviceImport
{
    Q_DECLARE_TR_FUNCTIONS(MetaDeviceImport)

public:
    /**
     * Imports the file at path into manager. Empty when manager took it; else why not, for
     * the user, naming the file: it could not be read as text, it is not YAML (each with the
     * reader's words), its name would not read back from a saved graph as written
     * (MetaDeviceFile::typeNameReadsBack(); such a file never reaches the framework), it is
     * named after a type the framework or the host registered itself, which no meta device
     * replaces, or it is YAML that the framework did not take for a meta device. A file that
     * does not read, or is so named, is logged under entry, the function the user's choice reached.
     */
    static QString importFile(DeviceManager* manager, const QString& path, const char* entry);
};
