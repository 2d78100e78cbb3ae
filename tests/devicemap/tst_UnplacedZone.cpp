#include "MapInteraction.h"
#include "DeviceMapParts.h"
#include "UnplacedZone.h"
#include "tst_DeviceMapWidget_Fixture.h"

#include <QtTest>

// The unplaced-devices zone: what it shows for the devices waiting there, and the zone of a
// pulled group, laid out once and never while painting.
class TestUnplacedZone : public QObject, DeviceMapFixture
{
    Q_OBJECT

    UnplacedZone& zone() const { return DeviceMapParts(*map).unplacedZone(); }
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
        DeviceMapParts(*map).interaction().devicePositionsAtPress().clear();
        DeviceMapParts(*map).interaction().devicePositionsAtPress().insert(name, pressedAt);
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
    }
};

QTEST_MAIN(TestUnplacedZone)
#include "tst_UnplacedZone.moc"
