#include "TemplateFiles.h"

#include "BoundedFileRead.h"
#include "DeviceFile.h"
#include "SafeFileWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

QString& dataLocationOverride()
{
    static QString path;
    return path;
}

QString& directoryOverride()
{
    static QString path;
    return path;
}

QString& systemDirectoryOverride()
{
    static QString path;
    return path;
}

bool fail(QString* error, const QString& reason)
{
    if (error)
        *error = reason;
    return false;
}

} // namespace

namespace TemplateFiles {

QString dataLocation()
{
    const QString& path = dataLocationOverride();
    return path.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::DataLocation) : path;
}

void setDataLocation(const QString& path)
{
    dataLocationOverride() = path;
}

QString systemDirectory()
{
    const QString& path = systemDirectoryOverride();
    return path.isEmpty() ? QStringLiteral("/usr/share/rode2/templates") : path;
}

void setSystemDirectory(const QString& path)
{
    systemDirectoryOverride() = path;
}

QString directory()
{
    const QString& path = directoryOverride();
    return path.isEmpty() ? dataLocation() + QStringLiteral("/templates") : path;
}

void setDirectory(const QString& path)
{
    directoryOverride() = path;
}

bool ensureDirectory(QString* error)
{
    const QString path = directory();
    if (QFileInfo(path).isDir())
        return true;
    if (!QDir().mkpath(path))
        return fail(error, QStringLiteral("cannot create the directory ") + path);
    // The system's templates show as a sub-folder; the link is made only with the directory.
    const QString system = systemDirectory();
    if (QFileInfo(system).isDir())
        QFile::link(system, path + QStringLiteral("/system"));
    return true;
}

bool isAcceptableName(const QString& name)
{
    return !name.trimmed().isEmpty() && !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\'))
           && !name.contains(QLatin1String("..")) && !name.contains(QChar(0));
}

QString pathForName(const QString& name)
{
    return directory() + QLatin1Char('/') + name + QStringLiteral(".yml");
}

QString importPath(const QString& sourcePath)
{
    return directory() + QLatin1Char('/') + sourcePath.section(QLatin1Char('/'), -1);
}

bool copyFile(const QString& sourcePath, const QString& targetPath, QString* error)
{
    QFile file(sourcePath);
    QString unopened;
    if (!BoundedFileRead::openRegularFile(file, &unopened))
        return fail(error, unopened + QStringLiteral(": ") + sourcePath);
    if (file.size() > DeviceFile::maxSize)
        return fail(error, QStringLiteral("larger than %1 bytes: ").arg(DeviceFile::maxSize) + sourcePath);
    QByteArray data;
    if (!BoundedFileRead::read(file, DeviceFile::maxSize, &data))
        return fail(error, QStringLiteral("cannot read ") + sourcePath + QStringLiteral(": ") + file.errorString());
    if (data.size() > DeviceFile::maxSize)
        return fail(error, QStringLiteral("larger than %1 bytes: ").arg(DeviceFile::maxSize) + sourcePath);
    return SafeFileWriter::writeFile(targetPath, data, error);
}

} // namespace TemplateFiles
