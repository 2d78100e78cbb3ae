#include "MetaDeviceImport.h"

#include "DeviceFile.h"
#include "DeviceManager.h"
#include "MetaDeviceFile.h"

#include <QDebug>
#include <QDir>

QString MetaDeviceImport::importFile(DeviceManager* manager, const QString& path, const char* entry)
{
    const QString file = QDir::toNativeSeparators(path);
    QString error;
    if (!MetaDeviceFile::isReadable(path, &error)) {
        qWarning().noquote() << entry << "| WARNING meta device not read |" << path << "|" << error;
        // Read once more, only on a refusal: which of the two checks refused the file.
        QString notText;
        DeviceFile::readText(path, &notText);
        if (!notText.isEmpty())
            return tr("%1 could not be read as a text file: %2.").arg(file, notText);
        return tr("%1 is not YAML text: %2.").arg(file, error);
    }
    // The framework logs the details of what it refuses.
    if (!manager->parseMetaDevice(path, QString()))
        return tr("%1 is YAML, but not a meta device (the log says more).").arg(file);
    return QString();
}
