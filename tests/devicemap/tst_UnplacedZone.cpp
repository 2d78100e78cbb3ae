#include "MapAutoLayout.h"
#include "MapInteraction.h"
#include "UnplacedZone.h"
#include "tst_DeviceMapWidget_Fixture.h"

#include <QCursor>
#include <QPainter>
#include <QtTest>

// The unplaced-devices zone: what it shows for the devices waiting there, the pull hints, and
// the zone of a pulled group, laid out once and never while painting.
class TestUnplacedZone : public QObject, DeviceMapFixture
{
    Q_OBJECT

    UnplacedZone& zone() const { return map->unplacedZone(); }
    QPointF zoneCentreInScene() const
    {
        return map->mapToScene(QPoint(map->viewport()->width() - 100, map->viewport()->height() - 100));
    }

    /// count unplaced scalers, the first heading a chain of chained devices, in this order on the list.
    QStringList unplacedDevices(int count, int chained, bool firstInitialised)
    {
        QStringList names;
        for (int i = 0; i < count; ++i)
            names.append(manager->createDevice("scaler", i == 0 && firstInitialised));
        for (int i = 1; i < chained; ++i)
            manager->addDeviceConnection(names.at(i - 1), names.at(i), QString(), QString());
        DeviceNodeItem::setUnplacedDevices(names);
        return names;
    }

    void pull(const QString& name, const QPointF& pressedAt)
    {
        map->setCurrentTemporaryDevice(item(name));
        map->interaction().devicePositionsAtPress().clear();
        map->interaction().devicePositionsAtPress().insert(name, pressedAt);
    }

private Q_SLOTS:
    void init()
    {
        resetFixture();
        manager->markInitialised();
        openMap();
        map->resize(800, 600);
        map->show();
        QVERIFY(QTest::qWaitForWindowExposed(map.get()));
    }

    void cleanup() { tearDownFixture(); }

    void cardsAndCounts_data()
    {
        QTest::addColumn<int>("unplaced");
        QTest::addColumn<int>("chained");
        QTest::addColumn<bool>("firstInitialised");
        QTest::addColumn<bool>("firstShown");
        QTest::addColumn<int>("firstGroup");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("cards");
        QTest::addColumn<QString>("label");
        QTest::newRow("none") << 0 << 0 << false << false << 0 << 0 << 0 << "0 device ";
        QTest::newRow("9, the first heading 3") << 9 << 3 << true << true << 3 << 6 << 5 << "6 devices ";
        QTest::newRow("one that never ran") << 1 << 1 << false << false << 0 << 1 << 1 << "1 device ";
        QTest::newRow("3, the first alone") << 3 << 1 << true << true << 1 << 2 << 2 << "2 devices ";
        QTest::newRow("2, linked, both drawn") << 2 << 2 << true << true << 2 << 0 << 0 << "0 device ";
    }

    void cardsAndCounts()
    {
        QFETCH(int, unplaced);
        QFETCH(int, chained);
        QFETCH(bool, firstInitialised);
        QFETCH(bool, firstShown);
        QFETCH(int, firstGroup);
        QFETCH(int, count);
        QFETCH(int, cards);
        QFETCH(QString, label);
        const QStringList names = unplacedDevices(unplaced, chained, firstInitialised);
        item(create("scaler"))->placeDevice(QPointF(10, 10));
        // Names of devices another map shows do not count here
        DeviceNodeItem::setUnplacedDevices(names + QStringList{"elsewhere"});

        const UnplacedZone::Contents shown = zone().contents();
        map->viewport()->repaint();

        QCOMPARE(shown.shadow && shown.caption, unplaced > 0);
        QCOMPARE(shown.firstDevice, firstShown ? names.first() : QString());
        QCOMPARE(shown.firstGroupSize, firstGroup);
        QCOMPARE(shown.count, count);
        QCOMPARE(shown.cards, cards);
        QCOMPARE(shown.label, label);
        // The cards stack up from 35 above the bottom, 7 apart, 100 + 35 from the right edge
        const double right = map->viewport()->width() - 135.0;
        const double bottom = map->viewport()->height() - 35.0;
        const QRectF stack = cards == 0 ? QRectF()
                                        : QRectF(right, bottom - (cards - 1) * 7.0, 70, 15 + (cards - 1) * 7.0);
        QCOMPARE(zone().unplacedZoneRect(), stack);
    }

    void pullHintFollowsTheDeviceOrTheCursor()
    {
        const QStringList names = unplacedDevices(3, 2, true);
        const QPointF centre = zoneCentreInScene();

        // A lone device: its own place decides
        pull(names.at(2), centre);
        item(names.at(2))->setPos(centre + QPointF(60, 60));
        QCOMPARE(zone().contents().hint, QStringLiteral("Pull the device to position it "));
        QCOMPARE(zone().contents().count, 3);
        item(names.at(2))->setPos(centre - QPointF(90, 50));
        QCOMPARE(zone().contents().hint, QStringLiteral("Release the device to locate "));

        // A group: the cursor decides, wherever the device is
        pull(names.at(0), centre);
        item(names.at(0))->setPos(centre);
        QCursor::setPos(map->viewport()->mapToGlobal(QPoint(10, 10)));
        QCOMPARE(zone().contents().hint, QStringLiteral("Release the device to locate "));
        QCOMPARE(zone().contents().count, 2);
        QCursor::setPos(map->viewport()->mapToGlobal(map->mapFromScene(centre)));
        QCOMPARE(zone().contents().hint, QStringLiteral("Pull the device to position it "));
    }

    void aPulledGroupIsLaidOutOnceAndNeverWhilePainting()
    {
        // Given a group of unplaced devices, one pulled away from where it was pressed
        const QStringList names = unplacedDevices(4, 4, true);
        pull(names.first(), QPointF(0, 0));
        item(names.first())->setPos(QPointF(40, 30));

        // When the map paints, then the layout starts and the paint does not wait for it
        map->viewport()->repaint();
        QCOMPARE(zone().groupLayoutRuns(), 1);
        QVERIFY(zone().assumedArrangement().isEmpty());
        QCOMPARE(item(names.first())->opacity(), 0.0);

        // When the layout comes back, then the zone is its rectangle, and more paints start none
        QTRY_VERIFY(!zone().assumedArrangement().isEmpty());
        QCOMPARE(zone().assumedArrangement().deviceRects.keys().size(), names.size());
        for (int i = 0; i < 5; ++i)
            map->viewport()->repaint();
        QCOMPARE(zone().groupLayoutRuns(), 1);

        // When the pull ends the zone is dropped; the same group pulled again needs no new layout
        map->setCurrentTemporaryDevice(nullptr);
        map->viewport()->repaint();
        QVERIFY(zone().assumedArrangement().isEmpty());
        pull(names.first(), QPointF(0, 0));
        map->viewport()->repaint();
        QCOMPARE(zone().groupLayoutRuns(), 1);
        QVERIFY(!zone().assumedArrangement().isEmpty());

        // A group that has not moved shows the device itself and no zone
        pull(names.first(), item(names.first())->pos());
        map->viewport()->repaint();
        QVERIFY(zone().assumedArrangement().isEmpty());
    }

    void assumedZoneSitsOnTheCursorByTheArrangementsCentre()
    {
        DevicesArrangement arrangement;
        arrangement.deviceRects = {{"a", QRectF(10, 10, 40, 50)}, {"b", QRectF(70, 30, 40, 30)}};
        arrangement.recalculateBounds();
        QCursor::setPos(map->mapToGlobal(QPoint(300, 200)));
        QImage image(map->size(), QImage::Format_ARGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        zone().drawAssumedDevicesZone(painter, arrangement);
        painter.end();

        // Centre (60, 40) under the cursor: the 100 x 50 rectangle from (250, 170)
        const QColor filled = image.pixelColor(300, 195);
        QVERIFY(filled != QColor(Qt::white));
        QCOMPARE(image.pixelColor(250, 170), filled);
        QCOMPARE(image.pixelColor(349, 219), filled);
        QCOMPARE(image.pixelColor(249, 195), QColor(Qt::white));
        QCOMPARE(image.pixelColor(300, 220), QColor(Qt::white));
    }
};

QTEST_MAIN(TestUnplacedZone)
#include "tst_UnplacedZone.moc"
