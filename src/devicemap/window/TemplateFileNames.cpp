#include "TemplateFileNames.h"

#include <QDir>
#include <QStringList>

namespace TemplateFileNames {

QString title(const QString& fileName)
{
    QStringList parts = fileName.split(QLatin1Char('.'));
    if (parts.size() > 1)
        parts.removeLast();
    QString shown = parts.join(QLatin1Char('.'));
    if (!shown.isEmpty())
        shown[0] = shown.at(0).toUpper();
    return shown;
}

QString renamedFileName(const QString& typed)
{
    if (typed.isEmpty() || typed.contains(QLatin1Char('/')) || typed.contains(QLatin1Char('\\')))
        return QString();
    const QString extension = typed.split(QLatin1Char('.')).last();
    if (extension == QLatin1String("yaml") || extension == QLatin1String("yml"))
        return typed;
    return typed + QStringLiteral(".yml");
}

bool isSystemTemplate(const QString& path)
{
    const QStringList parts = QDir::fromNativeSeparators(path).split(QLatin1Char('/'), Qt::SkipEmptyParts);
    return parts.contains(QStringLiteral("system"));
}

} // namespace TemplateFileNames
