#pragma once

#include "ParametersEntity.h"
#include "orbodev_export.h"

#include <QString>

/**
 * Writes one entity's parameters into an INI file, in the group named by the entity's
 * getObjectName() (its QObject name when that is empty). Other groups of the file are kept;
 * the file is replaced atomically. Does not own the entity.
 *
 *     IniSerialiser(widget).saveTo(layoutFile);
 */
class ORBODEV_EXPORT IniSerialiser
{
public:
    explicit IniSerialiser(EditParameters* parameters);

    /// False (logged, file unchanged) when the entity is null or unnamed or the file cannot be written.
    bool saveTo(const QString& path);

private:
    EditParameters* m_parameters;
};
