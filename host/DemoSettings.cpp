#include "DemoSettings.h"

#include "Config.h"
#include "DemoWindows.h"
#include "LibraryTranslator.h"
#include "YamlConfig.h"

#include <QCoreApplication>
#include <QDebug>
#include <QPointer>
#include <QTranslator>

#include <exception>

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
    try {
        config->parseConfig(file());
    } catch (const std::exception& error) {
        qWarning().noquote() << "Demo: the settings file" << file() << "cannot be read, the defaults apply:"
                             << error.what();
    }
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
    if (demoTranslator) {
        QCoreApplication::removeTranslator(demoTranslator);
        delete demoTranslator.data();
    }
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (translator->load(locale, QStringLiteral("dozerozozu-demo"), QStringLiteral("_"),
                         QStringLiteral(":/demo/translations"))) {
        QCoreApplication::installTranslator(translator);
        demoTranslator = translator;
    } else {
        delete translator;
    }
}

} // namespace DemoSettings
