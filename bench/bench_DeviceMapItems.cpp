// Paints a device map of 2,000 nodes and 4,000 links, fitted into one frame and at
// scale 1:1, and prints the time per frame.

#include "DeviceConnectionItem.h"
#include "DeviceNodeItem.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QGraphicsScene>
#include <QImage>
#include <QPainter>
#include <QTextStream>

namespace {

constexpr int nodeCount = 2000;
constexpr int columns = 50;
constexpr int frames = 5;
const QSize frameSize(1920, 1080);

void buildScene(QGraphicsScene& scene)
{
    QList<DeviceNodeItem*> nodes;
    for (int i = 0; i < nodeCount; ++i) {
        DeviceInfo info;
        info.name = QStringLiteral("device_%1").arg(i);
        info.type = QStringLiteral("maths/sum");
        if (i % 3 == 0)
            info.description = QStringLiteral("Described device %1").arg(i);
        auto* node = new DeviceNodeItem(info, QRectF(0, 0, 100, 40));
        scene.addItem(node);
        node->setCenter(QPointF(200.0 * (i % columns), 120.0 * (i / columns)));
        nodes.append(node);
    }
    for (int i = 0; i < nodeCount; ++i) {
        DeviceNodeItem* right = nodes[(i + 1) % nodeCount];
        DeviceNodeItem* below = nodes[(i + columns) % nodeCount];
        const QPointF corner(below->getCenter().x() + 60, nodes[i]->getCenter().y());
        scene.addItem(new DeviceConnectionItem(nodes[i], right, {}));
        scene.addItem(new DeviceConnectionItem(nodes[i], below, i % 2 ? QList<QPointF>{corner} : QList<QPointF>{}));
    }
}

double millisecondsPerFrame(QGraphicsScene& scene, const QRectF& source)
{
    QImage image(frameSize, QImage::Format_ARGB32_Premultiplied);
    QElapsedTimer timer;
    timer.start();
    for (int frame = 0; frame < frames; ++frame) {
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        scene.render(&painter, QRectF(QPointF(), frameSize), source, Qt::KeepAspectRatio);
    }
    return double(timer.nsecsElapsed()) / 1e6 / frames;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QGraphicsScene scene;
    QElapsedTimer buildTimer;
    buildTimer.start();
    buildScene(scene);
    const double buildMs = buildTimer.nsecsElapsed() / 1e6;

    const QRectF everything = scene.itemsBoundingRect();
    scene.setSceneRect(everything);
    const QRectF oneToOne(everything.topLeft(), QSizeF(frameSize));

    // The first paint of each link takes its nodes' places; time it apart.
    const double firstFitted = millisecondsPerFrame(scene, everything);
    const double fitted = millisecondsPerFrame(scene, everything);
    const double actualSize = millisecondsPerFrame(scene, oneToOne);

    QTextStream out(stdout);
    out << "DeviceMapItems: " << nodeCount << " nodes, " << 2 * nodeCount << " links, "
        << frameSize.width() << "x" << frameSize.height() << " frame\n"
        << "  build scene:              " << buildMs << " ms\n"
        << "  zoomed to fit, first run: " << firstFitted << " ms/frame\n"
        << "  zoomed to fit:            " << fitted << " ms/frame\n"
        << "  scale 1:1:                " << actualSize << " ms/frame\n";
    return 0;
}
