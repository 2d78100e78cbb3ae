#include "DemoGuiDevices.h"
#include "DemoWindows.h"
#include "DeviceManager.h"
#include "DozeRozOZUVersion.h"
#include "Logger.h"
#include "OrboDevVersion.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QStandardPaths>
#include <QTextStream>
#include <QTimer>
#include <QWidget>

#include <memory>
#include <vector>

namespace {

// Lets the sample devices run a moment so the windows show a live graph, then saves each window.
bool saveScreenshots(const std::vector<std::unique_ptr<QWidget>>& windows, const QList<DemoWindow>& descriptions,
                     const QString& directory)
{
    QTextStream out(stdout);
    if (!QDir().mkpath(directory)) {
        out << "Cannot create the screenshot directory " << directory << "\n";
        return false;
    }
    bool allSaved = true;
    for (size_t i = 0; i < windows.size(); ++i) {
        const QString path = QDir(directory).filePath(descriptions.at(int(i)).name + ".png");
        const bool saved = windows.at(i)->grab().save(path);
        out << (saved ? "Saved screenshot " : "Could not save screenshot ") << QDir::toNativeSeparators(path) << "\n";
        allSaved = allSaved && saved;
    }
    return allSaved;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("dozerozozu-demo"));
    // The log console shows what was logged from the start on.
    Logger::getDefaultBuffer();

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Demo host of the DozeRozOZU widget library"));
    parser.addHelpOption();
    const QCommandLineOption screenshots(QStringLiteral("screenshots"),
                                         QStringLiteral("Save a PNG of each window into <dir> and exit."),
                                         QStringLiteral("dir"));
    const QCommandLineOption graph(QStringLiteral("graph"), QStringLiteral("Device graph to load."),
                                   QStringLiteral("file"), QStringLiteral(DEMO_DATA_DIR "/demo-graph.yaml"));
    parser.addOptions({screenshots, graph});
    parser.process(app);

    QTextStream(stdout) << "DozeRozOZU demo host " << DozeRozOZUVersion::version << " ("
                        << QString::fromLatin1(DozeRozOZUVersion::gitSHA).left(8) << "), OrboDev "
                        << OrboDevVersion::version << "\n";

    DeviceManager manager;
    registerDemoGuiDeviceTypes(&manager);
    if (!manager.loadYamlConfig(parser.value(graph))) {
        QTextStream(stderr) << "Cannot load the device graph " << parser.value(graph) << "\n";
        return 1;
    }
    // Saves go to the user's copy; the sample graph in the repository stays as shipped.
    const QString dataDir = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    QDir().mkpath(dataDir);
    manager.setConfigPath(QDir(dataDir).filePath(QStringLiteral("demo-graph.yaml")));

    const QList<DemoWindow> descriptions = demoWindows();
    std::vector<std::unique_ptr<QWidget>> windows;
    for (const DemoWindow& description : descriptions) {
        windows.emplace_back(description.create(&manager));
        windows.back()->show();
    }

    if (!parser.isSet(screenshots))
        return app.exec();

    int result = 0;
    QTimer::singleShot(800, &app, [&] {
        result = saveScreenshots(windows, descriptions, parser.value(screenshots)) ? 0 : 1;
        app.quit();
    });
    app.exec();
    return result;
}
