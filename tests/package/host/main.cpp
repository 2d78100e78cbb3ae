// A host built outside the source tree against the installed DozeRozOZU and OrboDev packages,
// once through CMake and once through pkg-config: it compiles with what the packages give
// (QT_NO_KEYWORDS included), links, finds the compiled-in translations and runs offscreen.
#include "DeviceManager.h"
#include "DeviceWidgetArea.h"
#include "DozeRozOZUVersion.h"
#include "LibraryTranslator.h"
#include "WidgetManager.h"
#include "ZenticMessageBox.h"

#include <QApplication>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>

#ifndef QT_NO_KEYWORDS
#error "The packages must give their users QT_NO_KEYWORDS"
#endif

int main(int argc, char* argv[])
{
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QApplication app(argc, argv);
    const bool translated = LibraryTranslator::install(QLocale(QLocale::Russian))
        && QCoreApplication::translate("ScreenKeyboardDialog", "Password") == QString::fromUtf8("Пароль");

    DeviceManager manager;
    const QString generator = manager.createDevice(QStringLiteral("generator"), true);
    WidgetManager::registerGuiDevices(manager);
    QTemporaryDir dir;
    WidgetManager widgets(QStringLiteral("main"), dir.filePath(QStringLiteral("dashboard.ini")));
    widgets.loadOwnWidgets(&manager);
    std::unique_ptr<DeviceWidgetArea> area(widgets.getWidgetsArea());
    area->show();
    ZenticMessageBox::AnswerGuard answer(QMessageBox::Ok);
    ZenticMessageBox::information(area.get(), QStringLiteral("Package host"), QStringLiteral("Runs"));
    const bool saved = widgets.saveWidgets();

    std::printf("DozeRozOZU %s: device %s, translated %d, saved %d, boxes answered %d\n", DozeRozOZUVersion::version,
                qPrintable(generator), translated, saved, answer.count());
    return translated && !generator.isEmpty() && saved && answer.count() == 1 ? 0 : 1;
}
