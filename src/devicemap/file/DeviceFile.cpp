#include "DeviceFile.h"

#include "BoundedFileRead.h"

#include <QFile>

namespace {

QString refuse(QString* error, const QString& reason)
{
    if (error)
        *error = reason;
    return QString();
}

} // namespace

namespace DeviceFile {

bool isDeviceFilePath(const QString& path)
{
    return path.contains(QLatin1String(".yml"), Qt::CaseInsensitive)
           || path.contains(QLatin1String(".yaml"), Qt::CaseInsensitive);
}

QString readText(const QString& path, QString* error, bool* replaced, bool* byteOrderMark)
{
    if (error)
        error->clear();
    if (replaced)
        *replaced = false;
    if (byteOrderMark)
        *byteOrderMark = false;
    QFile file(path);
    QString unopened;
    if (!BoundedFileRead::openRegularFile(file, &unopened))
        return refuse(error, unopened);
    if (file.size() > maxSize)
        return refuse(error, QStringLiteral("larger than %1 bytes").arg(maxSize));
    // The size may have grown since it was asked: read one byte more than allowed to know.
    QByteArray data;
    if (!BoundedFileRead::read(file, maxSize, &data))
        return refuse(error, QStringLiteral("cannot read: ") + file.errorString());
    if (data.size() > maxSize)
        return refuse(error, QStringLiteral("larger than %1 bytes").arg(maxSize));
    if (data.contains('\0'))
        return refuse(error, QStringLiteral("binary content"));
    // The mark says the file is UTF-8; it is no character of the text.
    static const QByteArray utf8Mark("\xEF\xBB\xBF");
    const bool marked = data.startsWith(utf8Mark);
    if (marked)
        data.remove(0, utf8Mark.size());
    if (byteOrderMark)
        *byteOrderMark = marked;
    const QString text = QString::fromUtf8(data);
    if (replaced)
        *replaced = text.toUtf8() != data;
    return text;
}

} // namespace DeviceFile
