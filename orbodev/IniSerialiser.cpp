#include "IniSerialiser.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QObject>
#include <QSaveFile>
#include <QSettings>
#include <QTemporaryDir>

IniSerialiser::IniSerialiser(EditParameters* parameters)
    : m_parameters(parameters)
{
}

bool IniSerialiser::saveTo(const QString& path)
{
    if (!m_parameters) {
        qWarning().noquote() << "IniSerialiser: no parameters to save to" << path;
        return false;
    }
    QString group = m_parameters->getObjectName();
    if (group.isEmpty()) {
        if (const auto* object = dynamic_cast<const QObject*>(m_parameters))
            group = object->objectName();
    }
    if (group.isEmpty()) {
        qWarning().noquote() << "IniSerialiser: unnamed parameters not saved to" << path;
        return false;
    }

    // QSettings cannot write atomically: it edits a copy, which then replaces the file in one step.
    QTemporaryDir workDir;
    if (!workDir.isValid()) {
        qWarning().noquote() << "IniSerialiser: cannot save" << path << ": no temporary directory";
        return false;
    }
    const QString copyPath = workDir.filePath(QStringLiteral("copy.ini"));
    if (QFileInfo::exists(path) && !QFile::copy(path, copyPath)) {
        qWarning().noquote() << "IniSerialiser: cannot read" << path;
        return false;
    }
    {
        QSettings settings(copyPath, QSettings::IniFormat);
        settings.remove(group);
        settings.beginGroup(group);
        for (const Param& param : m_parameters->getParams())
            settings.setValue(param.name(), param.raw());
        settings.endGroup();
        settings.sync();
        if (settings.status() != QSettings::NoError) {
            qWarning().noquote() << "IniSerialiser: cannot save" << path;
            return false;
        }
    }
    // QSettings writes nothing for an empty result: the file then holds no group at all.
    QFile copy(copyPath);
    const bool hasCopy = QFileInfo::exists(copyPath);
    QSaveFile target(path);
    if ((hasCopy && !copy.open(QIODevice::ReadOnly)) || !target.open(QIODevice::WriteOnly)) {
        qWarning().noquote() << "IniSerialiser: cannot save" << path << ":" << target.errorString();
        return false;
    }
    if (hasCopy)
        target.write(copy.readAll());
    if (!target.commit()) {
        qWarning().noquote() << "IniSerialiser: cannot save" << path << ":" << target.errorString();
        return false;
    }
    return true;
}
