#include "ConnectionDrawing.h"
#include "DeviceMapParts.h"
#include "MapSearch.h"
#include "tst_DeviceMapWidget_Fixture.h"

#include <QSignalSpy>
#include <QtTest>

// The map's device search: which words find which devices, the order of the result, and the
// return to the colour mode in force before searching.
class TestMapSearch : public QObject, DeviceMapFixture
{
    Q_OBJECT

    QString generator;
    QString scaler;
    QString described;

    QStringList foundNames() const
    {
        QStringList names;
        for (const DeviceNodeItem* found : map->getFoundDevices())
            names.append(found->devName());
        return names;
    }

private Q_SLOTS:
    void init()
    {
        resetFixture();
        manager->markInitialised();
        openMap();
        generator = create("generator");
        scaler = create("scaler");
        described = create("adder");
        manager->getDevice(described)->setDescription(QStringLiteral("Sums the Left and Right channels"));
        item(generator)->placeDevice(QPointF(100, 50));
        item(scaler)->placeDevice(QPointF(20, 80));
        item(described)->placeDevice(QPointF(10, 50));
    }

    void cleanup() { tearDownFixture(); }

    void findsByAnyWordOfTypeDescriptionOrName_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("found");
        QTest::newRow("type, any case") << "SCAL" << QStringList{"scaler1"};
        QTest::newRow("description") << "channels" << QStringList{"adder1"};
        QTest::newRow("name") << "generator1" << QStringList{"generator1"};
        QTest::newRow("either word") << "right gen" << QStringList{"adder1", "generator1"};
        QTest::newRow("two words of one device, once") << "sums left" << QStringList{"adder1"};
    }

    void findsByAnyWordOfTypeDescriptionOrName()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, found);
        map->searchDevices(text);
        QCOMPARE(foundNames(), found);
        QCOMPARE(map->getColorisationMode(), DeviceMapWidget::BySearch);
        for (const QString& name : {generator, scaler, described}) {
            const QColor expected = found.contains(name) ? QColor(Qt::darkGreen) : QColor(Qt::darkRed);
            QCOMPARE(item(name)->getHighlightColor(), expected);
        }
    }

    void ordersByPlaceDeselectsAndAnEmptySearchRestoresTheMode()
    {
        item(scaler)->setSelected(true);
        QSignalSpy modes(map.get(), SIGNAL(colorModeChanged(DeviceMapWidget::ColorisationMode)));
        map->setColorisationMode(DeviceMapWidget::ByThread);
        map->setColorisationMode(DeviceMapWidget::ByThread);

        map->searchDevices(QStringLiteral("gener"));
        QVERIFY(!item(scaler)->isSelected());
        map->searchDevices(QStringLiteral("1"));
        QCOMPARE(foundNames(), QStringList({described, generator, scaler}));

        // Devices that moved are ordered by their new places once sorted again
        item(scaler)->setPos(QPointF(0, 0));
        DeviceMapParts(*map).search().sortByPosition();
        QCOMPARE(foundNames(), QStringList({scaler, described, generator}));

        // Every change of mode is announced, also one to the mode already in force
        map->searchDevices(QString());
        QCOMPARE(map->getColorisationMode(), DeviceMapWidget::ByThread);
        QCOMPARE(modes.count(), 5);
        QCOMPARE(modes.at(1).at(0).value<DeviceMapWidget::ColorisationMode>(), DeviceMapWidget::ByThread);
    }

    void anEmptySearchWithoutASearchInForceChangesNothing()
    {
        // Given a search that was ended by an empty one
        map->setColorisationMode(DeviceMapWidget::ByThread);
        map->searchDevices(QStringLiteral("gener"));
        map->searchDevices(QString());
        QSignalSpy modes(map.get(), SIGNAL(colorModeChanged(DeviceMapWidget::ColorisationMode)));
        const QColor threadColour = item(scaler)->getHighlightColor();

        // When the map is given a second empty search
        map->searchDevices(QString());

        // Then it stays in the mode before the search, colours unchanged
        QCOMPARE(map->getColorisationMode(), DeviceMapWidget::ByThread);
        QCOMPARE(modes.count(), 0);
        QCOMPARE(item(scaler)->getHighlightColor(), threadColour);
    }

    void aConnectionDrawnDuringASearchLeavesTheSearchItsWayBack()
    {
        // Given a search in force over the mode by thread
        map->setColorisationMode(DeviceMapWidget::ByThread);
        map->searchDevices(QStringLiteral("gener"));

        // When a connection is drawn from a device and dropped on empty space
        DeviceMapParts(*map).connectionDrawing().start(generator);
        DeviceMapParts(*map).connectionDrawing().follow(QPointF(400, 400));
        QCOMPARE(map->getColorisationMode(), DeviceMapWidget::ByConnectivity);
        DeviceMapParts(*map).connectionDrawing().cancel();
        QCOMPARE(map->getColorisationMode(), DeviceMapWidget::BySearch);

        // Then ending the search goes back to the mode before the search
        map->searchDevices(QString());
        QCOMPARE(map->getColorisationMode(), DeviceMapWidget::ByThread);
    }
};

QTEST_MAIN(TestMapSearch)
#include "tst_MapSearch.moc"
