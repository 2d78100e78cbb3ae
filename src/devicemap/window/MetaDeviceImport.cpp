#include "MetaDeviceImport.h"

#include "DeviceFile.h"
#include "DeviceManager.h"
#include "MetaDeviceFile.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>

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
    if (manager->parseMetaDevice(path, QString()))
        return QString();
    // Named after its file, the type may be one the framework or the host made, which no
    // import replaces; the manager reads the name without the white space around it.
    const QString type = QFileInfo(path).completeBaseName().trimmed();
    if (manager->getDeviceTypes().contains(type)
        && !manager->getDeviceTypeInfo(type).categories.contains(QStringLiteral("meta")))
        return tr("%1 is named after the built-in device type \"%2\", which a meta device cannot replace. "
                  "Give the file another name to import it.")
            .arg(file, type);
    return tr("%1 is YAML, but not a meta device (the log says more).").arg(file);
}
