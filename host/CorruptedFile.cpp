#include "CorruptedFile.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>

namespace CorruptedFile {

QString keepAside(const QString& path)
{
    QString aside = path + QStringLiteral("_corrupted");
    for (int number = 1; QFileInfo::exists(aside); ++number)
        aside = path + QStringLiteral("_corrupted.%1").arg(number);
    // A rename keeps every byte, whatever the file holds, and leaves no half-written copy.
    if (QFile::rename(path, aside)) {
        qWarning().noquote() << "Demo: the unreadable file" << path << "is kept as" << aside;
        return aside;
    }
    qWarning().noquote() << "Demo: the unreadable file" << path << "cannot be moved aside, it stays";
    return QString();
}

} // namespace CorruptedFile
