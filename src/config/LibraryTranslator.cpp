#include "LibraryTranslator.h"

#include <QCoreApplication>
#include <QDebug>
#include <QPointer>
#include <QTranslator>

namespace {

QPointer<QTranslator>& installedTranslator()
{
    static QPointer<QTranslator> translator;
    return translator;
}

} // namespace

bool LibraryTranslator::install(const QLocale& locale)
{
    remove();
    QCoreApplication* application = QCoreApplication::instance();
    if (!application) {
        qWarning() << "LibraryTranslator: no application to install the translation into";
        return false;
    }
    auto* translator = new QTranslator(application);
    if (!translator->load(locale, QStringLiteral("DozeRozOZU"), QStringLiteral("_"), translationsPath())) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    installedTranslator() = translator;
    return true;
}

void LibraryTranslator::remove()
{
    QTranslator* translator = installedTranslator();
    if (!translator)
        return;
    QCoreApplication::removeTranslator(translator);
    delete translator;
}

QString LibraryTranslator::translationsPath()
{
    return QStringLiteral(":/dozerozozu/translations");
}
