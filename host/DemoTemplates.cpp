#include "DemoTemplates.h"

#include "BoundedIni.h"
#include "DemoFiles.h"
#include "SafeFileWriter.h"
#include "TemplatesWidget.h"

#include <QDebug>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

namespace {

const QString sampleTemplate = QStringLiteral("threshold-alarm.yml");

// Written afresh rather than copied: a copy would keep the mode of a read-only checkout, and
// the library must be able to rewrite what it was given.
void copyFile(const QString& source, const QString& target)
{
    QByteArray text;
    QString error;
    if (!BoundedIni::readFile(source, &text, &error) || !SafeFileWriter::writeFile(target, text, &error))
        qWarning().noquote() << "Demo: cannot copy" << source << "to" << target << ":" << error;
}

// The user's templates and their folders, as they are; links (the one to the system's
// templates among them) are left out, as the panel makes its own.
void copyTemplates(const QString& from, const QString& to)
{
    QDirIterator entries(from, QDir::Dirs | QDir::Files | QDir::NoDotAndDotDot | QDir::Hidden | QDir::NoSymLinks,
                         QDirIterator::Subdirectories);
    const QDir source(from);
    while (entries.hasNext()) {
        const QFileInfo entry(entries.next());
        const QString target = QDir(to).filePath(source.relativeFilePath(entry.filePath()));
        if (entry.isDir())
            QDir().mkpath(target);
        else
            copyFile(entry.filePath(), target);
    }
}

} // namespace

namespace DemoTemplates {

void prepare(const DemoFiles& files)
{
    TemplatesWidget::setTemplatesDirectory(QString());
    const QString usersTemplates = TemplatesWidget::templatesDirectory();
    const QString templates = files.isKept() ? usersTemplates : DemoFiles::runFile(QStringLiteral("templates"));
    TemplatesWidget::setTemplatesDirectory(files.isKept() ? QString() : templates);
    // Made once per run, and once for the user: what is in it then is the user's to change.
    if (QFileInfo(templates).isDir() || !QDir().mkpath(templates))
        return;
    if (!files.isKept())
        copyTemplates(usersTemplates, templates);
    if (!QFileInfo::exists(QDir(templates).filePath(sampleTemplate)))
        copyFile(QStringLiteral(DEMO_DATA_DIR "/") + sampleTemplate, QDir(templates).filePath(sampleTemplate));
}

} // namespace DemoTemplates
