#include "CorruptedFile.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace {

QString asideOf(const QString& path, int number)
{
    return number == 0 ? path + QStringLiteral("_corrupted") : path + QStringLiteral("_corrupted.%1").arg(number);
}

} // namespace

namespace CorruptedFile {

QString keepAside(const QString& path)
{
    return keepAside(QStringList{path}).value(0);
}

QStringList keepAside(const QStringList& paths)
{
    int number = 0;
    auto taken = [&number](const QString& path) { return QFileInfo::exists(asideOf(path, number)); };
    while (std::any_of(paths.cbegin(), paths.cend(), taken))
        ++number;
    QStringList keptAs;
    for (const QString& path : paths) {
        const QString aside = asideOf(path, number);
        // A rename keeps every byte, whatever the file holds, and leaves no half-written copy;
        // a file of the first's goes only with it.
        const bool there = QFileInfo::exists(path) || QFileInfo(path).isSymLink();
        if (there && (keptAs.isEmpty() || !keptAs.first().isEmpty()) && QFile::rename(path, aside)) {
            qWarning().noquote() << "Demo: the file" << path << "is kept as" << aside;
            keptAs.append(aside);
            continue;
        }
        if (there)
            qWarning().noquote() << "Demo: the file" << path << "cannot be moved aside, it stays";
        keptAs.append(QString());
    }
    return keptAs;
}

} // namespace CorruptedFile
