// The device map against what Qt itself allows, on maps of 1,000, 5,000 and 10,000 devices.
//
// The lower bound is a plain QGraphicsScene holding, per device, one QGraphicsRectItem with
// its text and two QGraphicsLineItems, built from the same graph and painted through a view of
// the same size with the same hints. Both are built and measured in this run, interleaved, and
// each figure is the median of several runs. The graph is grid-shaped: device i links to
// i + 1 and i + 50 (modulo the size), twice as many links as devices.
//
// Peak memory is measured in a fresh process per figure (the program runs itself with
// "--memory map|bound N"): the peak resident size while the scene is built and painted, less
// the resident size just before, per device.

#include "BenchMapGraph.h"
#include "DeviceMapWidget.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QGraphicsLineItem>
#include <QGraphicsRectItem>
#include <QGraphicsScene>
#include <QGraphicsSimpleTextItem>
#include <QGraphicsView>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <QUndoCommand>
#include <QResizeEvent>
#include <QUndoStack>

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>

#include <malloc.h>
#include <sys/inotify.h>
#include <unistd.h>

namespace {

const QList<int> sizes = {1000, 5000, 10000};
constexpr int runs = 7;
constexpr int memoryRuns = 3;
constexpr int framesPerRun = 3;
constexpr int editsPerRun = 5;
constexpr int removalsPerSize = 15;
const QSize frameSize(1920, 1080);

// The devices device index feeds in loadScalerGraph()'s graph: the lower bound draws the same lines.
QList<int> peersOf(int index, int count)
{
    return {(index + 1) % count, (index + gridColumns) % count};
}

// What a previous session of the map left: every device placed, the scene rectangle stored.
QByteArray savedLayout(DeviceManager& manager, const QStringList& names, const QString& path)
{
    writeGridPlaces(path, names);
    {
        DeviceMapWidget map(&manager, path);
    }
    forgetUnplacedDevices();
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

void restoreLayout(const QString& path, const QByteArray& text)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(text) != text.size())
        qFatal("Could not restore the layout file");
}

double msSince(const QElapsedTimer& timer)
{
    return timer.nsecsElapsed() / 1e6;
}

double median(std::vector<double> values)
{
    if (values.empty())
        return std::nan("");
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// Both views show the scene alike: no frame, no scroll bars, antialiased, from the top left.
void prepareView(QGraphicsView& view)
{
    view.setFrameShape(QFrame::NoFrame);
    view.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view.setRenderHint(QPainter::Antialiasing, true);
    view.setAlignment(Qt::AlignLeft | Qt::AlignTop);
    view.resize(frameSize);
    // A hidden widget lays its children out when it is shown or rendered; fitting needs it now.
    QResizeEvent resized(frameSize, frameSize);
    QCoreApplication::sendEvent(&view, &resized);
}

double paintFrame(QGraphicsView& view, QImage& image)
{
    QElapsedTimer timer;
    timer.start();
    view.viewport()->render(&image);
    return msSince(timer);
}

void fit(QGraphicsView& view)
{
    view.resetTransform();
    view.fitInView(view.sceneRect(), Qt::KeepAspectRatio);
}

void showOneToOne(QGraphicsView& view)
{
    view.resetTransform();
    view.centerOn(view.sceneRect().topLeft() + QPointF(frameSize.width(), frameSize.height()) / 2);
}

struct Samples
{
    std::vector<double> build, firstFrame, laterFrame, oneToOne, removal, rewrite, writesPerEdit, memory;
};

// The lower bound: what Qt's own items cost for the same picture.
struct PlainScene
{
    QGraphicsScene scene;
    QGraphicsView view;
    QList<QGraphicsRectItem*> rects;
    QList<QList<QGraphicsLineItem*>> linesAt;
    QHash<QGraphicsLineItem*, QPair<int, int>> lineEnds;

    // With lines kept per device (for removals), which the timed builds leave out.
    void build(const QStringList& names, const QRectF& sceneRect, bool keepLines = false)
    {
        const int count = names.size();
        scene.setSceneRect(sceneRect);
        for (int i = 0; keepLines && i < count; ++i)
            linesAt.append(QList<QGraphicsLineItem*>());
        for (int i = 0; i < count; ++i) {
            const QRect place = gridPlace(i);
            auto rect = new QGraphicsRectItem(QRectF(0, 0, place.width(), place.height()));
            rect->setPos(place.topLeft());
            rect->setZValue(1);
            auto text = new QGraphicsSimpleTextItem(names.at(i), rect);
            text->setPos(4, 8);
            scene.addItem(rect);
            rects.append(rect);
        }
        for (int i = 0; i < count; ++i) {
            for (int peer : peersOf(i, count)) {
                auto line = new QGraphicsLineItem(QLineF(gridPlace(i).center(), gridPlace(peer).center()));
                scene.addItem(line);
                if (!keepLines)
                    continue;
                linesAt[i].append(line);
                linesAt[peer].append(line);
                lineEnds.insert(line, qMakePair(i, peer));
            }
        }
    }

    // The device's rectangle with its text and every line that touches it.
    void remove(int index)
    {
        const QList<QGraphicsLineItem*> lines = linesAt.at(index);
        for (QGraphicsLineItem* line : lines) {
            for (int end : {lineEnds.value(line).first, lineEnds.value(line).second})
                linesAt[end].removeOne(line);
            delete line;
        }
        delete rects.at(index);
    }
};

QRectF mapSceneRect(DeviceManager& manager, const QString& layoutPath)
{
    DeviceMapWidget map(&manager, layoutPath);
    const QRectF rect = map.sceneRect();
    forgetUnplacedDevices();
    return rect;
}

// Moves one device by ten units, as a drag of it would.
class MoveOneDevice : public QUndoCommand
{
public:
    MoveOneDevice(DeviceMapWidget& map, const QString& name)
        : map(map)
        , name(name)
    {
    }
    void redo() override { moveBy(10); }
    void undo() override { moveBy(-10); }

private:
    void moveBy(double dx)
    {
        DeviceNodeItem* item = map.getDeviceItems().value(name);
        item->placeDevice(item->pos() + QPointF(dx, 0));
    }
    DeviceMapWidget& map;
    QString name;
};

// Counts the replacements of one file: an atomic write renames a finished copy onto it.
class ReplacementCounter
{
public:
    ReplacementCounter(const QString& directory, const QString& fileName)
        : fileName(fileName.toUtf8())
    {
        descriptor = inotify_init1(IN_NONBLOCK);
        if (descriptor >= 0)
            inotify_add_watch(descriptor, directory.toUtf8().constData(), IN_MOVED_TO | IN_CLOSE_WRITE);
    }
    ~ReplacementCounter()
    {
        if (descriptor >= 0)
            close(descriptor);
    }
    bool works() const { return descriptor >= 0; }
    int take()
    {
        int count = 0;
        alignas(inotify_event) char buffer[8192];
        for (;;) {
            const ssize_t length = read(descriptor, buffer, sizeof buffer);
            if (length <= 0)
                return count;
            for (ssize_t offset = 0; offset < length;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + offset);
                const QByteArray name(event->len ? event->name : "");
                // QSaveFile renames onto the target; a plain write closes the target itself.
                if (name == fileName)
                    ++count;
                offset += ssize_t(sizeof(inotify_event) + event->len);
            }
        }
    }

private:
    int descriptor = -1;
    QByteArray fileName;
};

struct Harness
{
    int count;
    QTemporaryDir directory;
    QString layoutPath;
    DeviceManager manager;
    QStringList names;
    QByteArray layoutText;
    QRectF sceneRect;

    explicit Harness(int deviceCount)
        : count(deviceCount)
        , layoutPath(directory.filePath(QStringLiteral("map.ini")))
    {
        // Grid-shaped: device i links to i + 1 and i + 50, modulo the size.
        names = loadScalerGraph(manager, count);
        layoutText = savedLayout(manager, names, layoutPath);
        sceneRect = mapSceneRect(manager, layoutPath);
        restoreLayout(layoutPath, layoutText);
    }
};

void measureBound(Harness& harness, Samples& samples)
{
    QImage image(frameSize, QImage::Format_ARGB32_Premultiplied);
    QElapsedTimer timer;
    timer.start();
    auto plain = std::make_unique<PlainScene>();
    plain->build(harness.manager.getDeviceNames(), harness.sceneRect);
    plain->view.setScene(&plain->scene);
    samples.build.push_back(msSince(timer));

    prepareView(plain->view);
    plain->view.setSceneRect(harness.sceneRect);
    fit(plain->view);
    // A window paints into a backing store it has had from the start: the image is touched first.
    image.fill(Qt::white);
    timer.restart();
    QCoreApplication::processEvents();
    plain->view.viewport()->render(&image);
    samples.firstFrame.push_back(msSince(timer));
    std::vector<double> later;
    for (int i = 0; i < framesPerRun; ++i)
        later.push_back(paintFrame(plain->view, image));
    samples.laterFrame.push_back(median(later));
    showOneToOne(plain->view);
    std::vector<double> actual;
    for (int i = 0; i < framesPerRun; ++i)
        actual.push_back(paintFrame(plain->view, image));
    samples.oneToOne.push_back(median(actual));
}

void measureMap(Harness& harness, Samples& samples)
{
    restoreLayout(harness.layoutPath, harness.layoutText);
    QImage image(frameSize, QImage::Format_ARGB32_Premultiplied);
    QElapsedTimer timer;
    timer.start();
    auto map = std::make_unique<DeviceMapWidget>(&harness.manager, harness.layoutPath);
    samples.build.push_back(msSince(timer));

    prepareView(*map);
    fit(*map);
    image.fill(Qt::white);
    timer.restart();
    QCoreApplication::processEvents();
    map->viewport()->render(&image);
    samples.firstFrame.push_back(msSince(timer));
    std::vector<double> later;
    for (int i = 0; i < framesPerRun; ++i)
        later.push_back(paintFrame(*map, image));
    samples.laterFrame.push_back(median(later));
    showOneToOne(*map);
    std::vector<double> actual;
    for (int i = 0; i < framesPerRun; ++i)
        actual.push_back(paintFrame(*map, image));
    samples.oneToOne.push_back(median(actual));

    // Every edit lands on the undo stack, whose index change rewrites the layout file.
    ReplacementCounter replacements(harness.directory.path(), QStringLiteral("map.ini"));
    replacements.take();
    std::vector<double> rewrites;
    int writes = 0;
    for (int edit = 0; edit < editsPerRun; ++edit) {
        const QString& name = harness.names.at((edit * 997) % harness.count);
        timer.restart();
        map->getUndoStack()->push(new MoveOneDevice(*map, name));
        rewrites.push_back(msSince(timer));
        writes += replacements.take();
    }
    samples.rewrite.push_back(median(rewrites));
    if (replacements.works())
        samples.writesPerEdit.push_back(double(writes) / editsPerRun);
    map->getUndoStack()->clear();
    map.reset();
    forgetUnplacedDevices();
}

// The map's reaction to the manager's reports of one removal, apart from the manager's own work:
// the manager removes the device unheard, then its reports reach the map as it sends them.
void measureRemovals(Harness& harness, Samples& mapSamples, Samples& boundSamples)
{
    restoreLayout(harness.layoutPath, harness.layoutText);
    DeviceMapWidget map(&harness.manager, harness.layoutPath);
    PlainScene plain;
    plain.build(harness.manager.getDeviceNames(), harness.sceneRect, true);
    plain.view.setScene(&plain.scene);
    QImage image(frameSize, QImage::Format_ARGB32_Premultiplied);
    prepareView(map);
    prepareView(plain.view);
    fit(map);
    fit(plain.view);
    QCoreApplication::processEvents();
    map.viewport()->render(&image);
    plain.view.viewport()->render(&image);

    for (int sample = 0; sample < removalsPerSize; ++sample) {
        const int index = 75 + sample * (harness.count - 150) / removalsPerSize;
        const QString name = harness.names.at(index);
        const DeviceInfo info = harness.manager.getDeviceInfo(name);
        QStringList peers;
        for (const Connection& link : info.incomingConnections)
            peers << link.device;
        for (const Connection& link : info.outgoingConnections)
            peers << link.device;
        std::reverse(peers.begin(), peers.end());

        harness.manager.blockSignals(true);
        harness.manager.removeDevice(name);
        harness.manager.blockSignals(false);
        QElapsedTimer timer;
        timer.start();
        for (const QString& peer : qAsConst(peers))
            QMetaObject::invokeMethod(&map, "deviceChanged", Q_ARG(QString, peer));
        QMetaObject::invokeMethod(&map, "deviceRemoved", Q_ARG(QString, name));
        mapSamples.removal.push_back(msSince(timer));

        timer.restart();
        plain.remove(index);
        boundSamples.removal.push_back(msSince(timer));
    }
    forgetUnplacedDevices();
}

long statusKilobytes(const char* field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(int(qstrlen(field))).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

// Child process: prints the bytes per device of the peak over the resident size before the build.
int memoryChild(const QString& kind, int count)
{
    Harness harness(count);
    QImage image(frameSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    {
        // Fonts, glyph caches and the raster engine are there before either kind is built.
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.drawText(QPointF(10, 20), harness.names.join(QLatin1Char(' ')).left(4000));
    }
    malloc_trim(0);
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    const bool peakReset = clear.open(QIODevice::WriteOnly) && clear.write("5") == 1;
    clear.close();
    if (!peakReset)
        return 2;
    const long before = statusKilobytes("VmRSS:");

    const auto paint = [&image](QGraphicsView& view) {
        prepareView(view);
        fit(view);
        QCoreApplication::processEvents();
        view.viewport()->render(&image);
        view.viewport()->render(&image);
        showOneToOne(view);
        view.viewport()->render(&image);
    };
    if (kind == QLatin1String("map")) {
        DeviceMapWidget map(&harness.manager, harness.layoutPath);
        paint(map);
    } else {
        PlainScene plain;
        plain.build(harness.manager.getDeviceNames(), harness.sceneRect);
        plain.view.setScene(&plain.scene);
        paint(plain.view);
    }
    const long peak = statusKilobytes("VmHWM:");
    QTextStream(stdout) << double(peak - before) * 1024.0 / count << Qt::endl;
    return 0;
}

// "--images DIR": the fitted and 1:1 frames of the map and the lower bound at 1,000 devices.
int writeImages(const QString& directory)
{
    Harness harness(sizes.first());
    DeviceMapWidget map(&harness.manager, harness.layoutPath);
    PlainScene plain;
    plain.build(harness.manager.getDeviceNames(), harness.sceneRect);
    plain.view.setScene(&plain.scene);
    bool saved = true;
    for (QGraphicsView* view : {static_cast<QGraphicsView*>(&map), &plain.view}) {
        const QString kind = view == &map ? QStringLiteral("map") : QStringLiteral("bound");
        QImage image(frameSize, QImage::Format_ARGB32_Premultiplied);
        prepareView(*view);
        fit(*view);
        QCoreApplication::processEvents();
        view->viewport()->render(&image);
        saved = saved && image.save(directory + QStringLiteral("/%1_fitted.png").arg(kind));
        showOneToOne(*view);
        view->viewport()->render(&image);
        saved = saved && image.save(directory + QStringLiteral("/%1_actual.png").arg(kind));
    }
    forgetUnplacedDevices();
    return saved ? 0 : 1;
}

double measureMemory(const QString& kind, int count)
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--memory"), kind, QString::number(count)});
    if (!child.waitForFinished(300000) || child.exitCode() != 0)
        return std::nan("");
    return child.readAllStandardOutput().trimmed().toDouble();
}

QString figure(double value, int decimals)
{
    return std::isnan(value) ? QStringLiteral("n/a") : QString::number(value, 'f', decimals);
}

void printRow(QTextStream& out, const QString& measure, int count, double map, double bound, const QString& unit,
              const QString& goal, int decimals = 1)
{
    const QString ratio = std::isnan(bound) || bound <= 0 ? QStringLiteral("") : figure(map / bound, 2) + "x";
    out << "| " << QString::number(count).rightJustified(6) << " | " << measure.leftJustified(34) << " | "
        << (figure(map, decimals) + " " + unit).rightJustified(12) << " | "
        << (std::isnan(bound) ? QStringLiteral("") : figure(bound, decimals) + " " + unit).rightJustified(12)
        << " | " << ratio.rightJustified(7) << " | " << goal << Qt::endl;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() == 4 && arguments.at(1) == QLatin1String("--memory"))
        return memoryChild(arguments.at(2), arguments.at(3).toInt());
    if (arguments.size() == 3 && arguments.at(1) == QLatin1String("--images"))
        return writeImages(arguments.at(2));

    QTextStream out(stdout);
    out << "DeviceMapSpeed: the map against a plain QGraphicsScene (lower bound), grid graph (i -> i+1, i+50),\n"
        << "twice as many links as devices, " << frameSize.width() << "x" << frameSize.height()
        << " frames, medians of " << runs << " interleaved runs\n";
    out.flush();

    std::map<int, std::unique_ptr<Harness>> harnesses;
    std::map<int, Samples> mapSamples;
    std::map<int, Samples> boundSamples;
    for (int count : sizes)
        harnesses[count] = std::make_unique<Harness>(count);
    for (int run = 0; run < runs; ++run) {
        for (int count : sizes) {
            Harness& harness = *harnesses[count];
            if (run % 2) {
                measureMap(harness, mapSamples[count]);
                measureBound(harness, boundSamples[count]);
            } else {
                measureBound(harness, boundSamples[count]);
                measureMap(harness, mapSamples[count]);
            }
        }
    }
    for (int count : sizes) {
        for (int run = 0; run < memoryRuns; ++run) {
            boundSamples[count].memory.push_back(measureMemory(QStringLiteral("bound"), count));
            mapSamples[count].memory.push_back(measureMemory(QStringLiteral("map"), count));
        }
        measureRemovals(*harnesses[count], mapSamples[count], boundSamples[count]);
    }

    out << "| devices | measure                            |          map |  lower bound |   ratio | goal\n";
    for (int count : sizes) {
        const Samples& m = mapSamples[count];
        const Samples& b = boundSamples[count];
        printRow(out, QStringLiteral("scene build"), count, median(m.build), median(b.build), "ms",
                 "<= 2.5x the lower bound");
        printRow(out, QStringLiteral("first fitted frame"), count, median(m.firstFrame), median(b.firstFrame), "ms",
                 QStringLiteral("<= 1.5x the map's later frames (%1x)")
                     .arg(figure(median(m.firstFrame) / median(m.laterFrame), 2)));
        printRow(out, QStringLiteral("later fitted frame"), count, median(m.laterFrame), median(b.laterFrame), "ms",
                 count == 5000 ? "<= 33 ms" : "");
        printRow(out, QStringLiteral("frame at 1:1"), count, median(m.oneToOne), median(b.oneToOne), "ms",
                 "flat in the map's size");
        printRow(out, QStringLiteral("peak memory per device"), count, median(m.memory) / 1024,
                 median(b.memory) / 1024, "kB", "<= 8 kB");
        printRow(out, QStringLiteral("layout-file rewrite after one edit"), count, median(m.rewrite), std::nan(""),
                 "ms",
                 QStringLiteral("<= 10 ms at 1,000, linear; written %1 time(s) per edit")
                     .arg(figure(median(m.writesPerEdit), 2)));
        // Qt's own removal grows with the scene (the lower bound shows how much); the rest is the map's.
        printRow(out, QStringLiteral("removing one device"), count, median(m.removal) * 1000,
                 median(b.removal) * 1000, "us",
                 QStringLiteral("independent of the map's size; map less lower bound %1 us")
                     .arg(figure((median(m.removal) - median(b.removal)) * 1000, 0)),
                 0);
    }
    const auto exponent = [&](const std::vector<double> Samples::*field) {
        const double small = median(mapSamples[sizes.first()].*field);
        const double large = median(mapSamples[sizes.last()].*field);
        return std::log(large / small) / std::log(double(sizes.last()) / sizes.first());
    };
    out << "growth from " << sizes.first() << " to " << sizes.last() << " devices (exponent of the map's time): "
        << "build " << figure(exponent(&Samples::build), 2) << ", later fitted frame "
        << figure(exponent(&Samples::laterFrame), 2) << ", frame at 1:1 " << figure(exponent(&Samples::oneToOne), 2)
        << ", layout rewrite " << figure(exponent(&Samples::rewrite), 2) << ", removal "
        << figure(exponent(&Samples::removal), 2) << Qt::endl;
    return 0;
}
