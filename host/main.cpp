#include "DemoSettings.h"
#include "DemoStartup.h"
#include "DemoWindowSet.h"
#include "DeviceManager.h"
#include "DozeRozOZUVersion.h"
#include "Logger.h"
#include "OrboDevVersion.h"
#include "SafeFileWriter.h"
#include "Singleton.h"
#include "YamlConfig.h"

#include <QApplication>
#include <QBuffer>
#include <QCommandLineParser>
#include <QDir>
#include <QEventLoop>
#include <QTextStream>
#include <QTimer>
#include <QWidget>

namespace {

// Lets queued work run before a grab: a grid placing its editing controls, a dialog laying
// itself out, the sample devices sending values.
void settle(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

bool saveScreenshot(QWidget* widget, const QString& directory, const QString& name)
{
    const QString path = QDir(directory).filePath(name + QStringLiteral(".png"));
    QBuffer png;
    const bool saved = png.open(QIODevice::WriteOnly) && widget->grab().save(&png, "PNG")
        && SafeFileWriter::writeFile(path, png.data());
    const QString message = saved ? QCoreApplication::translate("main", "Saved screenshot %1")
                                  : QCoreApplication::translate("main", "Could not save screenshot %1");
    QTextStream(stdout) << message.arg(QDir::toNativeSeparators(path)) << "\n";
    return saved;
}

// Saves each window as it opened, then each further scene, which may change the window.
bool saveScreenshots(const DemoWindowSet& windows, const QString& directory)
{
    const QList<DemoWindow>& descriptions = windows.descriptions();
    if (!QDir().mkpath(directory)) {
        QTextStream(stdout) << QCoreApplication::translate("main", "Cannot create the screenshot directory %1").arg(directory)
                            << "\n";
        return false;
    }
    bool allSaved = true;
    for (int i = 0; i < descriptions.size(); ++i)
        allSaved = saveScreenshot(windows.window(i), directory, descriptions.at(i).name) && allSaved;
    for (int i = 0; i < descriptions.size(); ++i) {
        for (const DemoScene& scene : descriptions.at(i).scenes) {
            QWidget* target = scene.enter(windows.window(i));
            target->show();
            settle(300);
            allSaved = saveScreenshot(target, directory, scene.name) && allSaved;
            // A scene may show a part of its window (the map alone): only windows of their own close.
            if (target != windows.window(i) && target->isWindow())
                target->close();
        }
    }
    return allSaved;
}

} // namespace

int main(int argc, char* argv[])
{
    // Before the application exists: the library's widgets are laid out in device-independent
    // pixels and its icons are SVGs, so on a dense touch panel they scale rather than shrink.
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QCoreApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("dozerozozu-demo"));
    // The language the user chose in the demo's settings holds for every text from here on.
    YamlConfig* settings = Singleton<YamlConfig>::instance();
    DemoSettings::load(settings);
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

    DeviceManager manager;
    const DemoFiles files = DemoFiles::forStart(parser.value(graph), parser.isSet(screenshots));
    QString graphNotice;
    if (!DemoStartup::prepareManager(&manager, files, &graphNotice)) {
        QTextStream(stderr) << QCoreApplication::translate("main", "Cannot load the device graph %1").arg(files.loadFrom())
                            << "\n";
        return 1;
    }
    if (!graphNotice.isEmpty())
        QTextStream(stderr) << graphNotice << "\n";

    DemoWindowSet windows(&manager);
    windows.openAll();

    if (!parser.isSet(screenshots)) {
        // Once the windows are up, over them; screenshots are taken without anyone to answer a box.
        if (!graphNotice.isEmpty())
            QTimer::singleShot(0, &app, [graphNotice] { DemoStartup::tellGraphNotLoaded(graphNotice); });
        return app.exec();
    }

    int result = 0;
    QTimer::singleShot(800, &app, [&] {
        result = saveScreenshots(windows, parser.value(screenshots)) ? 0 : 1;
        app.quit();
    });
    app.exec();
    return result;
}
