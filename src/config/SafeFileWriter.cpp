#include "SafeFileWriter.h"

#include "BoundedIni.h"

#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QSaveFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QVariant>

namespace {

void setError(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

bool readWhole(const QString& path, QByteArray* text, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        setError(error, QStringLiteral("cannot read: ") + file.errorString());
        return false;
    }
    *text = file.readAll();
    return true;
}

bool isEmptyList(const QVariant& value)
{
    return (value.userType() == QMetaType::QStringList && value.toStringList().isEmpty())
        || (value.userType() == QMetaType::QVariantList && value.toList().isEmpty());
}

// Whether read is what an INI file gives back for written: numbers and booleans come back
// as text, a list of one text as that text, and an empty list as no value.
bool sameValue(const QVariant& written, const QVariant& read)
{
    if (!read.isValid())
        return !written.isValid() || isEmptyList(written);
    if (read.userType() == QMetaType::QString && written.userType() != QMetaType::QString
        && written.canConvert<QString>())
        return written.toString() == read.toString();
    return written == read;
}

// QSettings writes through a buffered file and does not notice a short write when it
// flushes on closing, so what it wrote is read back before it may replace anything.
// The check reads a file of its own: QSettings keeps what it wrote in a cache per path.
bool holdsExactly(const QByteArray& text, const QMap<QString, QVariant>& expected, const QString& checkPath,
                  QString* error)
{
    if (!SafeFileWriter::writeFile(checkPath, text, error))
        return false;
    QSettings check(checkPath, QSettings::IniFormat);
    QStringList keys = check.allKeys();
    keys.sort();
    bool same = check.status() == QSettings::NoError && keys == expected.keys();
    for (auto entry = expected.constBegin(); same && entry != expected.constEnd(); ++entry)
        same = sameValue(entry.value(), check.value(entry.key()));
    if (!same)
        setError(error, QStringLiteral("the settings were written incompletely"));
    return same;
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
    // Copied by hand: QFile::copy() does not notice a copy cut short.
    const QString copyPath = workDir.filePath(QStringLiteral("copy.ini"));
    if (QFileInfo::exists(path)) {
        QByteArray oldText;
        QString reason;
        if (!BoundedIni::readFile(path, &oldText, &reason) || !BoundedIni::isSafeForSettings(oldText, &reason)) {
            setError(error, QStringLiteral("the file is not read: ") + reason);
            return false;
        }
        if (!writeFile(copyPath, oldText, error))
            return false;
    }
    QMap<QString, QVariant> expected;
    {
        QSettings settings(copyPath, QSettings::IniFormat);
        edit(settings);
        for (const QString& key : settings.allKeys())
            expected.insert(key, settings.value(key));
        settings.sync();
        if (settings.status() != QSettings::NoError) {
            setError(error, QStringLiteral("cannot write the settings"));
            return false;
        }
    }
    // QSettings writes nothing when no key is left: the result is then an empty file.
    QByteArray text;
    if (QFileInfo::exists(copyPath) && !readWhole(copyPath, &text, error))
        return false;
    if (!holdsExactly(text, expected, workDir.filePath(QStringLiteral("check.ini")), error))
        return false;
    return writeFile(path, text, error);
}

} // namespace SafeFileWriter
