#include "MetaDeviceImport.h"

#include "DeviceFile.h"
#include "DeviceManager.h"
#include "MetaDeviceFile.h"

#include <QDebug>
#include <QDir>

QString MetaDeviceImport::importFile(DeviceManager* manager, const QString& path)
{
    const QString file = QDir::toNativeSeparators(path);
    QString error;
    if (!MetaDeviceFile::isReadable(path, &error)) {
        qWarning().noquote() << "DeviceMapWindow::importMetaDevice() | WARNING meta device not read |" << path << "|"
                             << error;
        // Read once more, only on a refusal: which of the two checks refused the file.
        QString notText;
        DeviceFile::readText(path, &notText);
        if (!notText.isEmpty())
            return tr("%1 could not be read as a text file (the log says why).").arg(file);
        return tr("%1 is not YAML text (the log says where it goes wrong).").arg(file);
    }
    // The framework logs why it refuses a file.
    if (!manager->parseMetaDevice(path, QString()))
        return tr("%1 is YAML, but not a meta device (the log says why).").arg(file);
    return QString();
}
