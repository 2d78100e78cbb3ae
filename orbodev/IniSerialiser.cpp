#include "IniSerialiser.h"

#include "SafeFileWriter.h"

#include <QDebug>
#include <QObject>
#include <QSettings>

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

    const QList<Param> params = m_parameters->getParams();
    QString error;
    const bool saved = SafeFileWriter::writeSettings(
        path,
        [&group, &params](QSettings& settings) {
            settings.remove(group);
            settings.beginGroup(group);
            for (const Param& param : params)
                settings.setValue(param.name(), param.raw());
            settings.endGroup();
        },
        &error);
    if (!saved)
        qWarning().noquote() << "IniSerialiser: cannot save" << path << ":" << error;
    return saved;
}
