#include "CreateDeviceOperation.h"
#include "DemoQuit.h"
#include "DemoStartup.h"
#include "DemoWindows.h"
#include "DeviceManager.h"
#include "DeviceMapParts.h"
#include "DeviceMapWidget.h"
#include "DeviceMapWindow.h"
#include "GraphLock.h"
#include "LayoutProcess.h"
#include "MapAutoLayout.h"
#include "MapLayoutFile.h"
#include "QuitSignals.h"
#include "TestSupport.h"
#include "ZenticMessageBox.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QLockFile>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QtTest>

#include <memory>

#include <signal.h>
#include <unistd.h>

namespace {

// A window with text and controls has many shades; an empty or blank grab has one or two.
int distinctColours(const QImage& image)
{
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += 3) {
        for (int x = 0; x < image.width(); x += 3)
            colours.insert(image.pixel(x, y));
    }
    return colours.size();
}

// The share of white pixels (the map's background) in the left half of an image.
double whiteShareOfLeftHalf(const QImage& image)
{
    int white = 0;
    int all = 0;
    for (int y = 0; y < image.height(); y += 3) {
        for (int x = 0; x < image.width() / 2; x += 3, ++all)
            white += image.pixel(x, y) == qRgb(255, 255, 255) ? 1 : 0;
    }
    return all ? double(white) / all : 0.0;
}

bool writeFile(const QString& path, const QByteArray& text)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A run of the demo in this process, started as the demo starts, with its map window.
struct FirstDemo
{
    std::unique_ptr<DeviceManager> manager;
    std::unique_ptr<DeviceMapWindow> map;
    QString added;
    // What the start has to tell the user.
    QString notice;

    ~FirstDemo()
    {
        map.reset();
        manager.reset();
        GraphLock::release();
    }
    bool start(const QString& graph)
    {
        manager = std::make_unique<DeviceManager>();
        if (!DemoStartup::prepareManager(manager.get(), DemoFiles::forStart(graph, false), &notice))
            return false;
        for (const DemoWindow& description : demoWindows()) {
            if (description.name == QLatin1String("map"))
                map.reset(qobject_cast<DeviceMapWindow*>(description.create(manager.get())));
        }
        return map != nullptr;
    }
    // A generator added on the map, which saves the graph and the map's places.
    void addDevice()
    {
        DeviceMapWidget* view = map->getDeviceMapWidget();
        view->pushOperation(new CreateDeviceOperation(view, QStringLiteral("generator"), QPointF(300, 400)));
        added = manager->getDeviceNames().constLast();
    }
};

// The places of names in the map's layout file at path; a null rect for one that has none.
QList<QRect> placesIn(const QString& path, const QStringList& names)
{
    const MapLayoutFile file = MapLayoutFile::read(path);
    QList<QRect> places;
    for (const QString& name : names)
        places.append(file.deviceRect(name).value_or(QRect()));
    return places;
}

// Whether the process has SIGTERM held back or caught (its /proc status, a mask in hex each),
// as the demo does from the first thing in its main() on.
bool takesSigtermOver(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return false;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (!line.startsWith("SigBlk:") && !line.startsWith("SigCgt:"))
            continue;
        if (line.mid(7).trimmed().toULongLong(nullptr, 16) & (1ull << (SIGTERM - 1)))
            return true;
    }
    return false;
}

// Reads what process says until it has said text, or ends, or a minute has passed; all it said
// goes to output.
bool waitForOutput(QProcess& process, const QString& text, QString* output)
{
    const QDeadlineTimer deadline(60000);
    while (!output->contains(text)) {
        if (!process.waitForReadyRead(int(deadline.remainingTime())))
            return false;
        *output += QString::fromLocal8Bit(process.readAll());
    }
    return true;
}

// Waits up to a minute for a lock at path, and gives the id of the process that holds it; 0 when none came.
qint64 lockHolder(const QString& path)
{
    const QDeadlineTimer deadline(60000);
    qint64 pid = 0;
    QString hostName;
    QString application;
    while (!QLockFile(path).getLockInfo(&pid, &hostName, &application) && !deadline.hasExpired())
        QThread::msleep(20);
    return pid;
}

} // namespace

// Runs the demo host as a user would in screenshot mode, with its data folder in a temporary
// home, so the windows it opens are built, shown and saved exactly as in `./run.sh demo`; and
// headless as a service would run it, ended by a signal, beside another run of the demo.
class tst_DemoHost : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void savesEveryWindowAndSceneAndExits();
    void refusesAMalformedGraph();
    void scalesWithTheScreensDensity();
    void speaksTheLanguageItsSettingsChoose();
    void headlessRunEndsAndWritesNothingOfTheUsers_data();
    void headlessRunEndsAndWritesNothingOfTheUsers();
    void firstStartHoldsItsGraph_data();
    void firstStartHoldsItsGraph();
    void stormOfSignalsEndsTheDemoOnce_data();
    void stormOfSignalsEndsTheDemoOnce();
    void signalDuringARearrangementKeepsNoGrid_data();
    void signalDuringARearrangementKeepsNoGrid();

private:
    /// Runs the demo with arguments and extra environment (a null value unsets the variable);
    /// false when it did not finish in time.
    bool runDemo(const QStringList& arguments, QProcess& process, const QMap<QString, QString>& extraEnvironment = {});
    /// Starts the demo as runDemo() does, and returns at once.
    void startDemo(const QStringList& arguments, QProcess& process, const QMap<QString, QString>& extraEnvironment = {});

    QString demoPath;
    QTemporaryDir home;
};

void tst_DemoHost::initTestCase()
{
    demoPath = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../host/dozerozozu-demo"));
    if (!QFileInfo(demoPath).isExecutable())
        QSKIP("The demo host is not built (BUILD_DEMO_HOST is off).");
    QVERIFY(home.isValid());
    // For a demo started in this process, with its data folder where the demo has it
    QCoreApplication::setApplicationName(QStringLiteral("dozerozozu-demo"));
}

bool tst_DemoHost::runDemo(const QStringList& arguments, QProcess& process,
                           const QMap<QString, QString>& extraEnvironment)
{
    startDemo(arguments, process, extraEnvironment);
    return process.waitForFinished(60000);
}

void tst_DemoHost::startDemo(const QStringList& arguments, QProcess& process,
                             const QMap<QString, QString>& extraEnvironment)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("HOME"), home.path());
    environment.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("data")));
    for (auto entry = extraEnvironment.constBegin(); entry != extraEnvironment.constEnd(); ++entry) {
        if (entry.value().isNull())
            environment.remove(entry.key());
        else
            environment.insert(entry.key(), entry.value());
    }
    process.setProcessEnvironment(environment);
    process.start(demoPath, arguments);
}

void tst_DemoHost::savesEveryWindowAndSceneAndExits()
{
    // Given a fresh screenshot folder
    QTemporaryDir shots;
    QVERIFY(shots.isValid());

    // When the demo runs in screenshot mode
    QProcess demo;
    QVERIFY(runDemo({QStringLiteral("--screenshots"), shots.path()}, demo));

    // Then it exits cleanly, leaving a picture of each window and scene, and saves no graph
    QCOMPARE(demo.exitStatus(), QProcess::NormalExit);
    QCOMPARE(demo.exitCode(), 0);
    QMap<QString, QImage> images;
    // Every picture the demo took is a real picture; the main windows are always among them.
    const QStringList taken = QDir(shots.path()).entryList({QStringLiteral("*.png")}, QDir::Files);
    for (const QString name : {"devices", "about", "dashboard", "dashboard-edit", "settings", "map"})
        QVERIFY2(taken.contains(name + QStringLiteral(".png")), qPrintable(name));
    for (const QString& file : taken) {
        const QString name = QFileInfo(file).completeBaseName();
        const QImage image(QDir(shots.path()).filePath(name + QStringLiteral(".png")));
        QVERIFY2(!image.isNull(), qPrintable(name));
        QVERIFY2(image.width() >= 200 && image.height() >= 200, qPrintable(name));
        QVERIFY2(distinctColours(image) > 10, qPrintable(name));
        images.insert(name, image);
    }
    QVERIFY(images.value(QStringLiteral("dashboard")) != images.value(QStringLiteral("dashboard-edit")));
    QVERIFY(images.value(QStringLiteral("map")) != images.value(QStringLiteral("map-drawing")));
    QVERIFY(images.value(QStringLiteral("map")) != images.value(QStringLiteral("map-search-templates")));
    // A scene showing the map alone leaves it in its window for the next scene.
    if (images.contains(QStringLiteral("map-search-templates")))
        QVERIFY(whiteShareOfLeftHalf(images.value(QStringLiteral("map-search-templates"))) > 0.5);
    QVERIFY(!QFileInfo::exists(home.filePath(QStringLiteral("data/dozerozozu-demo/demo-graph.yaml"))));
    QVERIFY(!QFileInfo::exists(home.filePath(QStringLiteral("data/dozerozozu-demo/demo-map.ini"))));
}

void tst_DemoHost::refusesAMalformedGraph()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString graph = folder.filePath(QStringLiteral("broken.yaml"));
    QFile file(graph);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("config_version: 2\ngenerator1: [unclosed\n");
    file.close();

    QProcess demo;
    QVERIFY(runDemo({QStringLiteral("--graph"), graph, QStringLiteral("--screenshots"), folder.path()}, demo));

    // The sample graph in its place, with no box to wait on in screenshot mode; the file the
    // user named is left where it is
    QCOMPARE(demo.exitCode(), 0);
    const QString told = QString::fromLocal8Bit(demo.readAllStandardError());
    QVERIFY2(told.contains(QDir::toNativeSeparators(graph) + QStringLiteral(" could not be loaded: it is not YAML text")),
             qPrintable(told));
    QVERIFY(QFileInfo::exists(graph));
}

void tst_DemoHost::scalesWithTheScreensDensity()
{
    // Given a screen of twice the usual density
    QTemporaryDir shots;
    QVERIFY(shots.isValid());

    // When the demo saves its windows there
    QProcess demo;
    QVERIFY(runDemo({QStringLiteral("--screenshots"), shots.path()}, demo, {{"QT_FONT_DPI", "192"}}));
    QCOMPARE(demo.exitCode(), 0);

    // Then the 1280 x 720 map window is drawn with twice as many pixels each way
    const QImage map(QDir(shots.path()).filePath(QStringLiteral("map.png")));
    QCOMPARE(map.size(), QSize(2560, 1440));
}

void tst_DemoHost::speaksTheLanguageItsSettingsChoose()
{
    QMap<QString, QImage> settingsWindow;
    for (const QString language : {"ru", "system"}) {
        // Given the demo's settings with a language, on a system whose language is C (English)
        QTemporaryDir data;
        QVERIFY(data.isValid());
        QVERIFY(QDir().mkpath(data.filePath(QStringLiteral("dozerozozu-demo"))));
        QFile settings(data.filePath(QStringLiteral("dozerozozu-demo/demo-settings.yaml")));
        QVERIFY(settings.open(QIODevice::WriteOnly));
        settings.write("demo:\n  language: " + language.toUtf8() + "\n");
        settings.close();

        // When the demo starts
        QProcess demo;
        QVERIFY(runDemo({QStringLiteral("--screenshots"), data.filePath(QStringLiteral("shots"))}, demo,
                        {{"XDG_DATA_HOME", data.path()}, {"LANG", "C"}, {"LC_ALL", QString()},
                         {"LC_MESSAGES", QString()}, {"LANGUAGE", QString()}}));
        QCOMPARE(demo.exitCode(), 0);

        // Then its own texts, and its windows, are in that language
        const QString output = QString::fromUtf8(demo.readAllStandardOutput());
        QVERIFY2(output.contains(language == "ru" ? QString::fromUtf8("Снимок сохранён") : QStringLiteral("Saved screenshot")),
                 qPrintable(output));
        settingsWindow.insert(language, QImage(data.filePath(QStringLiteral("shots/settings.png"))));
        QVERIFY(!settingsWindow.value(language).isNull());
    }
    QVERIFY(settingsWindow.value(QStringLiteral("ru")) != settingsWindow.value(QStringLiteral("system")));
}

void tst_DemoHost::headlessRunEndsAndWritesNothingOfTheUsers_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("given");
    QTest::addColumn<QString>("endedAfter");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("told");
    // "<shots>" stands for a screenshot folder, "<sample>" for the sample graph the demo ships
    // with, "<missing>" for a file that is not there, "<graph>" for a copy of the sample; given,
    // what else the run starts on; endedAfter, what the demo says before the test sends it
    // SIGTERM (empty: it ends by itself); told, what it says exactly once.
    const QStringList screenshots{"--screenshots", "<shots>"};
    QTest::newRow("unwritable TMPDIR: the run ends")
        << screenshots << "unwritable TMPDIR" << QString() << 1 << "No folder for the files of this run could be made";
    QTest::newRow("a settings file that does not read, and no templates: the data folder is unchanged")
        << screenshots << "unreadable settings" << QString() << 0 << "cannot be read, the defaults apply";
    QTest::newRow("--graph of the sample: \"not kept\" said")
        << QStringList{"--graph", "<sample>"} << QString() << "are not kept" << 0
        << "your changes in this run are not kept";
    QTest::newRow("a missing --graph file: \"no such file\"")
        << QStringList{"--graph", "<missing>"} << QString() << "there is no such file" << 0 << "there is no such file";
    QTest::newRow("SIGTERM: status 0 and the run's folder gone")
        << screenshots << QString() << "Saved screenshot" << 0 << "received, quitting";
    QTest::newRow("a second demo on the same graph: told, and the first's edit kept")
        << QStringList{"--graph", "<graph>"} << "a first demo on the graph" << "in use by another run" << 0
        << "is in use by another run of the demo";
}

void tst_DemoHost::headlessRunEndsAndWritesNothingOfTheUsers()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, given);
    QFETCH(QString, endedAfter);
    QFETCH(int, status);
    QFETCH(QString, told);
    // Given a fresh home, a folder for temporary files (one that nobody can make a folder
    // in, whoever runs the test) and what the row starts on
    QTemporaryDir freshHome;
    QTemporaryDir work;
    QVERIFY(freshHome.isValid() && work.isValid());
    const bool unwritable = given == "unwritable TMPDIR";
    const QString temporary = unwritable ? QStringLiteral("/proc") : work.filePath("tmp");
    QVERIFY(QDir().mkpath(temporary));
    // Qt makes a folder of its own there too when XDG_RUNTIME_DIR is not set.
    const QStringList runFolders{"dozerozozu-demo-*"};
    arguments.replaceInStrings("<shots>", work.filePath("shots"));
    arguments.replaceInStrings("<sample>", QStringLiteral(DEMO_DATA_DIR "/demo-graph.yaml"));
    arguments.replaceInStrings("<missing>", work.filePath("missing.yaml"));
    const QString graph = work.filePath("graph.yaml");
    arguments.replaceInStrings("<graph>", graph);
    // A first demo, in this process, that the test edits in as its user would
    FirstDemo first;
    if (given == "a first demo on the graph") {
        qputenv("XDG_DATA_HOME", work.filePath("first demo's data").toUtf8());
        QVERIFY(writeFile(graph, readFile(QStringLiteral(DEMO_DATA_DIR "/demo-graph.yaml"))));
        QVERIFY(first.start(graph));
    }
    const QString dataFolder = freshHome.filePath(".local/share/dozerozozu-demo");
    if (given == "unreadable settings")
        QVERIFY(QDir().mkpath(dataFolder) && writeFile(dataFolder + "/demo-settings.yaml", "demo: [language: ru\n"));
    const QMap<QString, QByteArray> homeBefore = TestSupport::contentsBelow(freshHome.path());

    // When the demo runs headless, until it ends or is sent SIGTERM
    QProcess demo;
    demo.setProcessChannelMode(QProcess::MergedChannels);
    startDemo(arguments, demo, {{"HOME", freshHome.path()}, {"XDG_DATA_HOME", QString()}, {"TMPDIR", temporary}});
    QString output;
    if (!endedAfter.isEmpty()) {
        QVERIFY2(waitForOutput(demo, endedAfter, &output), qPrintable(output));
        QCOMPARE(QDir(temporary).entryList(runFolders, QDir::Dirs).size(), 1);
        if (first.map)
            first.addDevice();
        QVERIFY(::kill(pid_t(demo.processId()), SIGTERM) == 0);
    }
    const bool ended = demo.waitForFinished(120000);
    output += QString::fromLocal8Bit(demo.readAll());

    // Then it ended with the row's status, having said what it had to once, and left no
    // folder of its own behind; nothing in the home changed, no data folder made in it
    QVERIFY2(ended, qPrintable(output));
    QCOMPARE(demo.exitStatus(), QProcess::NormalExit);
    QVERIFY2(demo.exitCode() == status, qPrintable(output));
    QVERIFY2(told.isEmpty() || output.count(told) == 1, qPrintable(output));
    QVERIFY(unwritable || QDir(temporary).entryList(runFolders, QDir::AllEntries | QDir::Hidden).isEmpty());
    QCOMPARE(TestSupport::contentsBelow(freshHome.path()), homeBefore);
    // And the first demo's edit is in the graph and its places as it saved them
    if (first.map) {
        QVERIFY(readFile(graph).contains(first.added.toUtf8() + ":"));
        QVERIFY(MapLayoutFile::read(graph + ".map.ini").deviceRect(first.added).has_value());
    }
}

void tst_DemoHost::firstStartHoldsItsGraph_data()
{
    QTest::addColumn<bool>("sameInstant");
    QTest::newRow("a second demo started later") << false;
    QTest::newRow("two demos started in the same instant") << true;
}

void tst_DemoHost::firstStartHoldsItsGraph()
{
    QFETCH(bool, sameInstant);
    // Given a fresh home, in which no demo has made its data folder yet
    QTemporaryDir freshHome;
    QTemporaryDir work;
    QVERIFY(freshHome.isValid() && work.isValid());
    const QString temporary = work.filePath("tmp");
    QVERIFY(QDir().mkpath(temporary));
    const QString dataFolder = freshHome.filePath(".local/share/dozerozozu-demo");
    const QString graph = dataFolder + "/demo-graph.yaml";
    QVERIFY(!QFileInfo::exists(dataFolder));

    // When the demo starts there, and a second one on the same data folder: in the same instant,
    // or later, in this process, where the test adds a device on its map
    QProcess demos[2];
    for (QProcess& demo : demos) {
        demo.setProcessChannelMode(QProcess::MergedChannels);
        startDemo({}, demo, {{"HOME", freshHome.path()}, {"XDG_DATA_HOME", QString()}, {"TMPDIR", temporary}});
        QVERIFY(demo.waitForStarted());
        if (!sameInstant)
            break;
    }
    const qint64 holder = lockHolder(GraphLock::lockFileOf(graph));
    QVERIFY2(holder != 0, "no demo holds the graph");
    QString told;
    FirstDemo second;
    if (sameInstant) {
        QProcess& other = demos[holder == demos[0].processId() ? 1 : 0];
        QVERIFY(holder == demos[0].processId() || holder == demos[1].processId());
        QVERIFY2(waitForOutput(other, "is in use by another run", &told), qPrintable(told));
    } else {
        QVERIFY(holder == demos[0].processId());
        qputenv("XDG_DATA_HOME", freshHome.filePath(".local/share").toUtf8());
        QVERIFY(second.start(QString()));
        second.addDevice();
        told = second.notice;
    }

    // Then the second is told the graph is in use by the first, and keeps nothing of it
    QVERIFY2(told.contains(QStringLiteral("in use by another run of the demo (process %1)").arg(holder)), qPrintable(told));
    QVERIFY2(told.contains("keeps none of your changes"), qPrintable(told));
    QVERIFY(second.added.isEmpty() || !readFile(graph).contains(second.added.toUtf8() + ":"));
    // And the demos end as asked, leaving no lock behind
    for (QProcess& demo : demos) {
        if (demo.state() == QProcess::NotRunning)
            continue;
        QVERIFY(::kill(pid_t(demo.processId()), SIGTERM) == 0);
        QVERIFY(demo.waitForFinished(60000));
        QCOMPARE(demo.exitCode(), 0);
    }
    QVERIFY(!QFileInfo::exists(GraphLock::lockFileOf(graph)));
}

void tst_DemoHost::stormOfSignalsEndsTheDemoOnce_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("graph");
    // from: the storm begins as the demo starts, once its windows are up, or once a first
    // signal has it ending; graph: a graph of the user's, which the run locks, or a missing
    // one, whose run keeps nothing in a folder of its own.
    for (const char* from : {"start-up", "editing", "ending"}) {
        QTest::addRow("%s, a graph of the user's", from) << from << "kept";
        QTest::addRow("%s, a graph that is not there", from) << from << "missing";
    }
}

void tst_DemoHost::stormOfSignalsEndsTheDemoOnce()
{
    QFETCH(QString, from);
    QFETCH(QString, graph);
    // Given a graph for the demo to show, and a folder for its temporary files
    QTemporaryDir work;
    QVERIFY(work.isValid());
    const QString temporary = work.filePath("tmp");
    QVERIFY(QDir().mkpath(temporary));
    const QString graphFile = work.filePath(graph == "kept" ? "graph.yaml" : "missing.yaml");
    if (graph == "kept")
        QVERIFY(writeFile(graphFile, readFile(QStringLiteral(DEMO_DATA_DIR "/demo-graph.yaml"))));

    // When the demo is sent 100 SIGTERM, SIGINT and SIGHUP each in a second, in turn, from the
    // row's moment on
    QProcess demo;
    demo.setProcessChannelMode(QProcess::MergedChannels);
    startDemo({"--graph", graphFile}, demo, {{"XDG_DATA_HOME", work.filePath("data")}, {"TMPDIR", temporary}});
    QVERIFY(demo.waitForStarted());
    const pid_t pid = pid_t(demo.processId());
    QString output;
    if (from == "start-up") {
        const QDeadlineTimer deadline(10000);
        while (!takesSigtermOver(pid) && !deadline.hasExpired())
            QThread::usleep(200);
    } else {
        QVERIFY2(waitForOutput(demo, "DozeRozOZU demo host", &output), qPrintable(output));
        QTest::qWait(500);
    }
    if (from == "ending") {
        QVERIFY(::kill(pid, SIGTERM) == 0);
        QVERIFY2(waitForOutput(demo, "received, quitting", &output), qPrintable(output));
    }
    const int storm[] = {SIGTERM, SIGINT, SIGHUP};
    for (int i = 0; i < 300; ++i) {
        ::kill(pid, storm[i % 3]);
        if (demo.waitForFinished(3))
            break;
    }
    const bool ended = demo.state() == QProcess::NotRunning || demo.waitForFinished(60000);
    output += QString::fromLocal8Bit(demo.readAll());

    // Then it ended as the first signal asked, with status 0, leaving neither the graph's
    // lock nor a folder of its own behind
    QVERIFY2(ended, qPrintable(output));
    QVERIFY2(demo.exitStatus() == QProcess::NormalExit && demo.exitCode() == 0, qPrintable(output));
    QCOMPARE(output.count("received, quitting"), 1);
    QVERIFY(!QFileInfo::exists(GraphLock::lockFileOf(graphFile)));
    QCOMPARE(QDir(temporary).entryList({"dozerozozu-demo-*"}, QDir::AllEntries | QDir::Hidden), QStringList());
}

void tst_DemoHost::signalDuringARearrangementKeepsNoGrid_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGINT") << int(SIGINT);
    QTest::newRow("SIGHUP") << int(SIGHUP);
}

void tst_DemoHost::signalDuringARearrangementKeepsNoGrid()
{
    QFETCH(int, signalNumber);
    // Given the demo on a graph of the user's with its places, the places a rearrangement
    // gives it when it runs to its end, and a layout program that takes a second longer
    QTemporaryDir work;
    QVERIFY(work.isValid());
    qputenv("XDG_DATA_HOME", work.filePath("data").toUtf8());
    const QString graph = work.filePath("graph.yaml");
    const QString places = graph + ".map.ini";
    QVERIFY(writeFile(graph, readFile(QStringLiteral(DEMO_DATA_DIR "/demo-graph.yaml"))));
    QVERIFY(writeFile(places, readFile(QStringLiteral(DEMO_DATA_DIR "/demo-map.ini"))));
    FirstDemo demo;
    QVERIFY(demo.start(graph));
    demo.map->show();
    DeviceMapWidget* view = demo.map->getDeviceMapWidget();
    const QStringList names = demo.manager->getDeviceNames();
    const QList<QRect> usersPlaces = placesIn(places, names);
    QList<QRect> finishedPlaces;
    {
        const QString copy = work.filePath("finished.map.ini");
        QVERIFY(writeFile(copy, readFile(places)));
        DeviceMapWidget finished(demo.manager.get(), copy);
        finished.rearrangeGraph(DeviceMapWidget::Hierarchical, false);
        finishedPlaces = placesIn(copy, names);
    }
    QVERIFY(finishedPlaces != usersPlaces);
    const QString slowProgram = work.filePath("slow-layout");
    QVERIFY(writeFile(slowProgram, "#!/bin/sh\nsleep 1\nexec '" + LayoutProcess::installedProgram().toUtf8() + "' \"$@\"\n"));
    QVERIFY(QFile(slowProgram).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    GraphLayoutAdapter::Options options = DeviceMapParts(view).automaticLayout().options();
    options.layoutProgram = slowProgram;
    DeviceMapParts(view).automaticLayout().setOptions(options);

    // When the user rearranges the map, and the demo hears the signal as main() hears it while
    // the layout runs
    QuitSignals quitSignals;
    connect(&quitSignals, &QuitSignals::received, &DemoQuit::endOnSignal);
    ZenticMessageBox::AnswerGuard ok(QMessageBox::Ok);
    QTimer::singleShot(0, view, [view] { view->rearrangeGraph(DeviceMapWidget::Hierarchical, false); });
    QTimer::singleShot(300, view, [signalNumber] { ::kill(::getpid(), signalNumber); });
    QTimer tooLong;
    tooLong.setSingleShot(true);
    connect(&tooLong, &QTimer::timeout, &QCoreApplication::quit);
    tooLong.start(30000);
    QCoreApplication::exec();

    // Then the demo ended by the signal, and the map's file holds the user's places or the
    // finished layout, never the grid the layout was cut short to
    QVERIFY(tooLong.isActive());
    const QList<QRect> saved = placesIn(places, names);
    QVERIFY(saved == usersPlaces || saved == finishedPlaces);
}

QTEST_MAIN(tst_DemoHost)
#include "tst_DemoHost.moc"
