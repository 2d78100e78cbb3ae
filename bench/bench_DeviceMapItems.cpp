// Paints a device map of 2,000 nodes and 4,000 links, fitted into one frame and at
// scale 1:1, and prints the time per frame.
//
// With "--images DIR" it instead writes the frames it would time, plain and with some
// items hovered, selected and active, as PNG files, so that two builds can be compared
// pixel by pixel.

#include "DeviceConnectionItem.h"
#include "DeviceNodeItem.h"

#include <QApplication>
#include <QDir>
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

QImage frame(QGraphicsScene& scene, const QRectF& source, Qt::LayoutDirection direction = Qt::LeftToRight)
{
    QImage image(frameSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setLayoutDirection(direction);
    painter.setRenderHint(QPainter::Antialiasing);
    scene.render(&painter, QRectF(QPointF(), frameSize), source, Qt::KeepAspectRatio);
    return image;
}

// Texts in other scripts and with characters that text drawing treats apart.
const QStringList awkwardTexts = {
    QStringLiteral("trailing blank "), QStringLiteral(" leading blank"), QStringLiteral("two\nlines"),
    QStringLiteral("tab\there"), QStringLiteral("\u0645\u0631\u062d\u0628\u0627 device"),
    QStringLiteral("\u05e9\u05dc\u05d5\u05dd"), QStringLiteral("&Ampersand && co"),
    QStringLiteral("line\u2028separator"), QStringLiteral("\u0928\u092e\u0938\u094d\u0924\u0947 fi ffl"),
};

// Every state a paint distinguishes: hovered and selected nodes and links, a moved
// node whose links must follow, an active link and dashed activity.
void stirScene(QGraphicsScene& scene)
{
    int index = 0;
    for (QGraphicsItem* item : scene.items(Qt::AscendingOrder)) {
        auto* hoverable = static_cast<HoverableItem*>(item);
        if (index % 7 == 0)
            hoverable->setHovered(true);
        if (index % 11 == 0)
            item->setSelected(true);
        if (auto* node = dynamic_cast<DeviceNodeItem*>(item); node && index % 13 == 0) {
            node->moveBy(35, 17);
            if (index % 2)
                node->setLabel(QStringLiteral("A much longer description that must be elided %1").arg(index));
        }
        if (auto* node = dynamic_cast<DeviceNodeItem*>(item); node && index % 13 == 3)
            node->setLabel(awkwardTexts.at(index % awkwardTexts.size()));
        if (auto* link = dynamic_cast<DeviceConnectionItem*>(item); link && index % 17 == 0)
            link->onEmit();
        ++index;
    }
}

int writeImages(QGraphicsScene& scene, const QRectF& everything, const QRectF& oneToOne, const QString& directory)
{
    QDir().mkpath(directory);
    const QRectF magnified(everything.topLeft(), QSizeF(frameSize) / 3);
    const auto save = [&](const QString& state) {
        return frame(scene, everything).save(directory + QStringLiteral("/fitted_%1.png").arg(state))
               && frame(scene, oneToOne).save(directory + QStringLiteral("/actual_%1.png").arg(state))
               && frame(scene, magnified).save(directory + QStringLiteral("/magnified_%1.png").arg(state));
    };
    bool saved = save(QStringLiteral("plain"));
    DeviceConnectionItem::setActivityType(DeviceConnectionItem::ColorLinePerTime);
    stirScene(scene);
    saved = saved && save(QStringLiteral("stirred"));
    DeviceConnectionItem::setActivityType(DeviceConnectionItem::DashedLinePerEmit);
    saved = saved && save(QStringLiteral("dashed"));
    saved = saved && frame(scene, oneToOne, Qt::RightToLeft).save(directory + QStringLiteral("/actual_rtl.png"));
    QFont font = QApplication::font();
    font.setPointSizeF(font.pointSizeF() * 1.6);
    QApplication::setFont(font);
    saved = saved && save(QStringLiteral("larger"));
    QTextStream(stderr) << (saved ? "Images written to " : "Could not write images to ") << directory << "\n";
    return saved ? 0 : 1;
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

    const QStringList arguments = app.arguments();
    const int imagesOption = arguments.indexOf(QStringLiteral("--images"));
    if (imagesOption > 0 && imagesOption + 1 < arguments.size())
        return writeImages(scene, everything, oneToOne, arguments.at(imagesOption + 1));

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
