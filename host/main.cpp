#include "DemoQuit.h"
#include "DemoSettings.h"
#include "DemoStartup.h"
#include "DemoWindowSet.h"
#include "DeviceManager.h"
#include "DozeRozOZUVersion.h"
#include "Logger.h"
#include "OrboDevVersion.h"
#include "QuitSignals.h"
#include "ScreenshotRun.h"
#include "Singleton.h"
#include "UnattendedBoxes.h"
#include "YamlConfig.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDebug>
#include <QTextStream>
#include <QTimer>

#include <optional>

int main(int argc, char* argv[])
{
    // Before anything else, and before any thread: a signal that ends the demo waits for the
    // demo to end as its Quit does, however early it comes.
    QuitSignals::holdBack();
    // Before the application exists: the library's widgets are laid out in device-independent
    // pixels and its icons are SVGs, so on a dense touch panel they scale rather than shrink.
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QCoreApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("dozerozozu-demo"));
    // Nobody answers a box in a screenshot run, nor once the demo is told to end: each says in
    // the log what it would.
    std::optional<UnattendedBoxes> unattended;
    // SIGTERM, SIGINT and SIGHUP end the demo as its Quit does: each window saves what it saves
    // when closed, and the run's own folder goes as main() returns.
    QuitSignals quitSignals;
    QObject::connect(&quitSignals, &QuitSignals::received, &app, [&unattended](int signalNumber) {
        if (!unattended)
            unattended.emplace();
        DemoQuit::endOnSignal(signalNumber);
    });
    // The language the user chose in the demo's settings holds for every text from here on.
    // Only read: a run that keeps nothing leaves a file it cannot read where it is.
    YamlConfig* settings = Singleton<YamlConfig>::instance();
    DemoSettings::read(settings);
    DemoSettings::installTranslations(DemoSettings::language(settings));
    // The log console shows what was logged from the start on.
    Logger::getDefaultBuffer();

    QCommandLineParser parser;
    parser.setApplicationDescription(QCoreApplication::translate("main", "Demo host of the DozeRozOZU widget library"));
    parser.addHelpOption();
    const QCommandLineOption screenshots(
        QStringLiteral("screenshots"),
        QCoreApplication::translate("main", "Save a PNG of each window into <dir> and exit. The windows show the sample "
                                            "graph, or the one named with --graph; nothing of yours is written."),
        QStringLiteral("dir"));
    const QCommandLineOption graph(
        QStringLiteral("graph"),
        QCoreApplication::translate("main", "Device graph to load and edit (default: your graph in the data folder, "
                                            "else the sample). Its map places go to <file>.map.ini beside it and the "
                                            "data folder is left alone; when it does not load, the sample runs and "
                                            "nothing of this run is kept."),
        QStringLiteral("file"));
    parser.addOptions({screenshots, graph});
    parser.process(app);

    QTextStream(stdout) << "DozeRozOZU demo host " << DozeRozOZUVersion::version << " ("
                        << QString::fromLatin1(DozeRozOZUVersion::gitSHA).left(8) << "), OrboDev "
                        << OrboDevVersion::version << "\n";

    if (parser.isSet(screenshots))
        unattended.emplace();

    DeviceManager manager;
    const DemoFiles files = DemoFiles::forStart(parser.value(graph), parser.isSet(screenshots));
    QString startNotice;
    if (!DemoStartup::prepareManager(&manager, files, &startNotice)) {
        QTextStream(stderr) << QCoreApplication::translate("main", "Cannot load the device graph %1").arg(files.loadFrom())
                            << "\n";
        return 1;
    }
    if (!startNotice.isEmpty())
        QTextStream(stderr) << startNotice << "\n";

    DemoWindowSet windows(&manager);
    windows.openAll();

    if (!parser.isSet(screenshots)) {
        // Once the windows are up, over them; screenshots are taken without anyone to answer a box.
        if (!startNotice.isEmpty())
            QTimer::singleShot(0, &app, [startNotice] { DemoStartup::tellStartNotice(startNotice); });
        return app.exec();
    }

    return ScreenshotRun::exec(windows, parser.value(screenshots));
}
