#include "SafeFileWriter.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSettings>
#include <QTemporaryDir>

namespace {

void setError(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

} // namespace

namespace SafeFileWriter {

bool writeFile(const QString& path, const QByteArray& data, QString* error)
{
    const QFileInfo target(path);
    if (target.isDir()) {
        setError(error, QStringLiteral("a directory is in the way"));
        return false;
    }
    if (target.exists() && !target.isWritable()) {
        setError(error, QStringLiteral("the file is not writable"));
        return false;
    }
    QSaveFile output(path);
    if (!output.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        setError(error, QStringLiteral("cannot open: ") + output.errorString());
        return false;
    }
    qint64 written = 0;
    while (written < data.size()) {
        const qint64 step = output.write(data.constData() + written, data.size() - written);
        if (step <= 0) {
            setError(error, QStringLiteral("cannot write: ") + output.errorString());
            output.cancelWriting();
            return false;
        }
        written += step;
    }
    if (!output.commit()) {
        setError(error, QStringLiteral("cannot commit: ") + output.errorString());
        return false;
    }
    return true;
}

bool writeSettings(const QString& path, const std::function<void(QSettings&)>& edit, QString* error)
{
    QTemporaryDir workDir;
    if (!workDir.isValid()) {
        setError(error, QStringLiteral("no temporary directory: ") + workDir.errorString());
        return false;
    }
    const QString copyPath = workDir.filePath(QStringLiteral("copy.ini"));
    if (QFileInfo::exists(path) && !QFile::copy(path, copyPath)) {
        setError(error, QStringLiteral("cannot read the file"));
        return false;
    }
    {
        QSettings settings(copyPath, QSettings::IniFormat);
        edit(settings);
        settings.sync();
        if (settings.status() != QSettings::NoError) {
            setError(error, QStringLiteral("cannot write the settings"));
            return false;
        }
    }
    // QSettings writes nothing when no key is left: the result is then an empty file.
    QByteArray text;
    if (QFileInfo::exists(copyPath)) {
        QFile copy(copyPath);
        if (!copy.open(QIODevice::ReadOnly)) {
            setError(error, QStringLiteral("cannot read the settings: ") + copy.errorString());
            return false;
        }
        text = copy.readAll();
    }
    return writeFile(path, text, error);
}

} // namespace SafeFileWriter
