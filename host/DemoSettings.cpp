#include "DemoSettings.h"

#include "BoundedFileRead.h"
#include "Config.h"
#include "CorruptedFile.h"
#include "DemoFiles.h"
#include "DemoWindows.h"
#include "LibraryTranslator.h"
#include "SafeFileWriter.h"
#include "YamlConfig.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QPointer>
#include <QTranslator>

#include <exception>

namespace {

// Replaces the translator kept in installed with the translation of name for locale found in
// directory, when there is one.
void replaceTranslator(QPointer<QTranslator>& installed, const QLocale& locale, const QString& name,
                       const QString& directory)
{
    if (installed) {
        QCoreApplication::removeTranslator(installed);
        delete installed.data();
    }
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (translator->load(locale, name, QStringLiteral("_"), directory)) {
        QCoreApplication::installTranslator(translator);
        installed = translator;
    } else {
        delete translator;
    }
}

// What the last read() refused, for the settings window to tell: the file, and where it went.
// A file that could not be opened (its permissions, a folder in its place) holds what nobody
// has seen: it is neither kept aside nor written over, and the settings' saves go with the run.
struct Unreadable
{
    bool refused = false;
    bool keptAside = false;
    QString keptAs;
    bool cannotOpen = false;
};
Unreadable lastLoad;

// The run's own settings file, where a run that keeps nothing saves them; empty in any other.
QString runSettings;

} // namespace

namespace DemoSettings {

QString node()
{
    return QStringLiteral("demo");
}

QString file()
{
    return demoDataFile(QStringLiteral("demo-settings.yaml"));
}

void load(YamlConfig* config)
{
    read(config);
    keepUnreadableAside();
}

void read(YamlConfig* config)
{
    lastLoad = Unreadable();
    runSettings.clear();
    try {
        config->parseConfig(file());
    } catch (const std::exception& error) {
        qWarning().noquote() << "Demo: the settings file" << file() << "cannot be read, the defaults apply:"
                             << error.what();
        lastLoad.refused = true;
        return;
    }
    // The store reads a file it cannot open as none at all.
    QFile settingsFile(file());
    QString why;
    if (QFileInfo::exists(file()) && !BoundedFileRead::openRegularFile(settingsFile, &why)) {
        qWarning().noquote() << "Demo: the settings file" << file() << "cannot be read, the defaults apply:" << why;
        lastLoad.cannotOpen = true;
    }
}

void keepUnreadableAside()
{
    if (!lastLoad.refused || lastLoad.keptAside)
        return;
    // At once rather than at the store's next save, which would only then move it aside:
    // the settings window names the kept file before any save.
    lastLoad.keptAside = true;
    lastLoad.keptAs = CorruptedFile::keepAside(file());
}

void saveWhereTheRunKeeps(YamlConfig* config, const DemoFiles& files)
{
    runSettings.clear();
    if (files.isKept() && !lastLoad.cannotOpen) {
        keepUnreadableAside();
        return;
    }
    runSettings = DemoFiles::runFile(QStringLiteral("demo-settings.yaml"));
    // Read, an empty file leaves what config holds and takes it for saved: only a change is
    // written, and only there. Where it cannot be made, the saves that fail name it.
    QString error;
    if (!SafeFileWriter::writeFile(runSettings, QByteArray(), &error))
        qWarning().noquote() << "Demo: cannot make the run's settings file" << runSettings << ":" << error;
    try {
        config->parseConfig(runSettings, true);
    } catch (const std::exception& refused) {
        qWarning().noquote() << "Demo: the run's settings file" << runSettings << "cannot be read:" << refused.what();
    }
}

QString savedFile()
{
    return runSettings.isEmpty() ? file() : runSettings;
}

bool savesAreKept()
{
    return runSettings.isEmpty();
}

QString notKeptHeadline()
{
    return DemoFiles::current().isKept()
               ? QCoreApplication::translate("DemoSettings", "Changes to the settings are not kept.")
               : QCoreApplication::translate("DemoSettings", "This run keeps none of your changes.");
}

QString unreadableFileNotice()
{
    const QString path = QDir::toNativeSeparators(file());
    if (lastLoad.cannotOpen)
        return QCoreApplication::translate("DemoSettings",
                                           "%1 cannot be read, so the defaults are shown. It is left as it is, and "
                                           "changes to the settings hold only until the demo quits.")
            .arg(path);
    if (!lastLoad.refused)
        return QString();
    // A save of the settings keeps it aside all the same (YamlConfig), but names it otherwise.
    if (!lastLoad.keptAside)
        return QCoreApplication::translate("DemoSettings",
                                           "%1 could not be read, so the defaults apply. This run leaves it as it is; "
                                           "the next run that keeps your changes keeps it aside for you to mend.")
            .arg(path);
    if (lastLoad.keptAs.isEmpty())
        return QCoreApplication::translate("DemoSettings",
                                           "%1 could not be read, so the defaults apply. It could not be moved aside "
                                           "either: saving the settings writes over it.")
            .arg(path);
    return QCoreApplication::translate("DemoSettings",
                                       "%1 could not be read, so the defaults apply. It is kept in the same folder "
                                       "as %2 for you to mend.")
        .arg(path, QFileInfo(lastLoad.keptAs).fileName());
}

QString systemLanguage()
{
    return QStringLiteral("system");
}

QLocale language(Config* config)
{
    const QString chosen = config->getParam(QStringLiteral("language"), node(), systemLanguage(), false).trimmed();
    if (chosen.isEmpty() || chosen == systemLanguage())
        return QLocale();
    const QLocale locale(chosen);
    // QLocale takes a name it does not know for "C": such a setting leaves the system's choice.
    if (locale.language() == QLocale::C)
        return QLocale();
    return locale;
}

void installTranslations(const QLocale& locale)
{
    LibraryTranslator::install(locale);
    static QPointer<QTranslator> demoTranslator;
    static QPointer<QTranslator> qtTranslator;
    replaceTranslator(demoTranslator, locale, QStringLiteral("dozerozozu-demo"), QStringLiteral(":/demo/translations"));
    // Qt's own texts (a wizard's Back and Next buttons) come from the system's Qt translations.
    replaceTranslator(qtTranslator, locale, QStringLiteral("qtbase"), QLibraryInfo::location(QLibraryInfo::TranslationsPath));
}

} // namespace DemoSettings
