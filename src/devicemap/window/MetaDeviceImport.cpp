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
    // Named after its file: a type whose devices a saved graph would give back as another type's
    // or as unknown ones is never taken, whatever the framework would make of it.
    const QString type = MetaDeviceFile::typeName(path);
    if (!type.isEmpty() && !MetaDeviceFile::typeNameReadsBack(type)) {
        qWarning().noquote() << entry << "| WARNING meta device not imported |" << path
                             << "| its name does not read back from a saved graph";
        return tr("%1 has in its name a character that a saved graph does not keep (such as an invisible byte "
                  "order mark at its start), so its devices would not load back as this meta device. "
                  "Give the file another name to import it.")
            .arg(file);
    }
    // The framework logs the details of what it refuses.
    if (manager->parseMetaDevice(path, QString()))
        return QString();
    // The type may be one the framework or the host made, which no import replaces.
    if (manager->getDeviceTypes().contains(type)
        && !manager->getDeviceTypeInfo(type).categories.contains(QStringLiteral("meta")))
        return tr("%1 is named after the built-in device type \"%2\", which a meta device cannot replace. "
                  "Give the file another name to import it.")
            .arg(file, type);
    return tr("%1 is YAML, but not a meta device (the log says more).").arg(file);
}
