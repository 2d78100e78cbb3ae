#include "DeviceConnectionItem.h"
#include "DeviceNodeItem.h"
#include "MapLevelOfDetail.h"
#include "tst_DeviceNodeItem_PaintRecorder.h"

#include <QGraphicsScene>
#include <QPainter>
#include <QtTest>

// How the map's items draw by scale: in full while text can be read, simplified below, and at
// readable scales exactly as before the simplified drawing came (reference images, made with
// the items as they were; "--write-references DIR" writes them anew).
class TestMapLevelOfDetail : public QObject
{
    Q_OBJECT

    // Four nodes and five links in every state a paint tells apart.
    struct Picture
    {
        QGraphicsScene scene{0, 0, 400, 260};
        QList<DeviceNodeItem*> nodes;
        QList<DeviceConnectionItem*> links;

        Picture()
        {
            const QList<DeviceInfo> infos = {deviceInfo("pump", "io/motor"), deviceInfo("level", "io/adc", "Tank level"),
                                             deviceInfo("valve", "io/relay"), deviceInfo("runtime_variable", "runtime_variable")};
            const QList<QPointF> centres = {{70, 50}, {300, 60}, {90, 200}, {310, 200}};
            for (int i = 0; i < infos.size(); ++i) {
                auto node = new DeviceNodeItem(infos.at(i), QRectF(0, 0, 30, 30));
                scene.addItem(node);
                node->setCenter(centres.at(i));
                nodes.append(node);
            }
            link(0, 1, {});
            link(1, 0, {QPointF(185, 110)});
            link(0, 2, {QPointF(70, 200)});
            link(2, 3, {});
            link(1, 3, {QPointF(360, 120), QPointF(360, 200)});
        }

        void link(int from, int to, const QList<QPointF>& bends)
        {
            auto item = new DeviceConnectionItem(nodes.at(from), nodes.at(to), bends);
            scene.addItem(item);
            links.append(item);
        }

        // Hovered, selected, recoloured and active items.
        void stir()
        {
            nodes.at(0)->setHovered(true);
            nodes.at(1)->setHovered(true);
            nodes.at(2)->setFlag(QGraphicsItem::ItemIsSelectable);
            nodes.at(2)->setSelected(true);
            nodes.at(3)->setHighlightColor(Qt::darkGreen);
            links.at(1)->setHovered(true);
            links.at(2)->setHovered(true);
            links.at(4)->onEmit();
        }

        QImage render(double scale)
        {
            QImage image(QSize(400, 260), QImage::Format_ARGB32);
            image.fill(Qt::white);
            QPainter painter(&image);
            painter.setRenderHint(QPainter::Antialiasing);
            const QSizeF shown = QSizeF(400, 260) / scale;
            scene.render(&painter, QRectF(0, 0, 400, 260), QRectF(QPointF(20, 10), shown), Qt::IgnoreAspectRatio);
            return image;
        }
    };

    static QStringList pictureNames() { return {"plain_1", "plain_2.5", "stirred_1", "stirred_2.5", "dashed_2.5"}; }

    // The pictures of pictureNames(), in that order.
    static QList<QImage> pictures()
    {
        QList<QImage> images;
        Picture picture;
        images << picture.render(1.0) << picture.render(2.5);
        DeviceConnectionItem::setActivityType(DeviceConnectionItem::ColorLinePerTime);
        picture.stir();
        images << picture.render(1.0) << picture.render(2.5);
        DeviceConnectionItem::setActivityType(DeviceConnectionItem::DashedLinePerEmit);
        images << picture.render(2.5);
        DeviceConnectionItem::setActivityType(DeviceConnectionItem::NotActive);
        return images;
    }

    static QImage paintAt(QGraphicsItem& item, const QRectF& area, double scale)
    {
        QImage image((area.size() * scale).toSize(), QImage::Format_ARGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(scale, scale);
        painter.translate(-area.topLeft());
        item.paint(&painter, nullptr, nullptr);
        return image;
    }

    static int countPixels(const QImage& image, const std::function<bool(QColor)>& wanted)
    {
        int count = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x)
                count += wanted(image.pixelColor(x, y)) ? 1 : 0;
        }
        return count;
    }

public:
    static void setFixedFont()
    {
        QFont font = QApplication::font();
        font.setPointSize(9);
        QApplication::setFont(font);
    }

    static int writeReferences(const QString& directory)
    {
        setFixedFont();
        const QList<QImage> images = pictures();
        for (int i = 0; i < images.size(); ++i) {
            if (!images.at(i).save(directory + QStringLiteral("/%1.png").arg(pictureNames().at(i))))
                return 1;
        }
        return 0;
    }

private Q_SLOTS:
    void init()
    {
        setFixedFont();
        DeviceNodeItem::setUnplacedDevices({});
    }

    void switchesWhereALineOfTextGetsTooSmallToRead()
    {
        const double line = QFontMetricsF(QApplication::font()).height();

        QCOMPARE(MapLevelOfDetail::simplifiedBelow(), MapLevelOfDetail::readableLineHeight / line);
        QVERIFY(MapLevelOfDetail::drawsInFull(MapLevelOfDetail::simplifiedBelow()));
        QVERIFY(!MapLevelOfDetail::drawsInFull(MapLevelOfDetail::simplifiedBelow() * 0.99));
        // 0.41 for a 9 pt font at 96 dpi, whose line is 17 pixels high.
        QVERIFY(MapLevelOfDetail::simplifiedBelow() > 0.35 && MapLevelOfDetail::simplifiedBelow() < 0.5);
    }

    void nodeTextAndLinkHeadShowOnlyAtReadableScales_data()
    {
        QTest::addColumn<double>("factor");
        QTest::addColumn<bool>("inFull");
        QTest::newRow("just above") << 1.02 << true;
        QTest::newRow("just below") << 0.98 << false;
    }

    void nodeTextAndLinkHeadShowOnlyAtReadableScales()
    {
        QFETCH(double, factor);
        QFETCH(bool, inFull);
        const double scale = MapLevelOfDetail::simplifiedBelow() * factor;
        DeviceNodeItem node(deviceInfo("a_rather_long_device_name", "io/adc"), QRectF(0, 0, 30, 30));
        node.setHighlightColor(Qt::red);
        DeviceNodeItem to(deviceInfo("b", "t"), QRectF(0, 0, 30, 30));
        node.setCenter(QPointF(0, 100));
        to.setCenter(QPointF(600, 100));
        DeviceConnectionItem link(&node, &to, {});

        const QImage nodeImage = paintAt(node, node.boundingRect(), scale);
        const QImage linkImage = paintAt(link, link.boundingRect(), scale);

        // In full a node's inside is the base colour with dark text; simplified it is the outline's colour
        const int dark = countPixels(nodeImage, [](QColor c) { return c.lightness() < 100 && c.red() < 100; });
        const int red = countPixels(nodeImage, [](QColor c) { return c == QColor(Qt::red); });
        QCOMPARE(dark > 0, inFull);
        QCOMPARE(red > nodeImage.width() * nodeImage.height() / 2, !inFull);
        // The head is filled black; the line is dark grey either way
        QCOMPARE(countPixels(linkImage, [](QColor c) { return c.lightness() < 40; }) > 0, inFull);
        QVERIFY(countPixels(linkImage, [](QColor c) { return c.lightness() > 100 && c.lightness() < 200; }) > 0);
    }

    void skipsWhatIsSmallerThanAPixel()
    {
        DeviceNodeItem node(deviceInfo("a", "t"), QRectF(0, 0, 30, 30));
        node.setHighlightColor(Qt::red);
        const double scale = 0.9 / std::max(node.boundingRect().width(), node.boundingRect().height());

        const QImage image = paintAt(node, node.boundingRect().adjusted(-10, -10, 10, 10), scale);

        QCOMPARE(countPixels(image, [](QColor c) { return c != QColor(Qt::white); }), 0);
    }

    void picturesAtReadableScalesAreUnchanged()
    {
        const QList<QImage> images = pictures();
        for (int i = 0; i < images.size(); ++i) {
            const QString name = pictureNames().at(i);
            const QImage reference(QFINDTESTDATA(QStringLiteral("data/map_pictures/%1.png").arg(name)));
            QVERIFY2(!reference.isNull(), qPrintable(name));
            const QImage image = images.at(i).convertToFormat(QImage::Format_ARGB32);
            QVERIFY2(image == reference.convertToFormat(QImage::Format_ARGB32), qPrintable(name));
        }
    }
};

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    const int option = arguments.indexOf(QStringLiteral("--write-references"));
    if (option > 0 && option + 1 < arguments.size())
        return TestMapLevelOfDetail::writeReferences(arguments.at(option + 1));
    TestMapLevelOfDetail test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_MapLevelOfDetail.moc"
