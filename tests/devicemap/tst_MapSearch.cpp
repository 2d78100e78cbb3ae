#include "MapSearch.h"
#include "tst_DeviceMapWidget_Fixture.h"

#include <QtTest>

// The map's device search: which words find which devices, and the order of the result.
// (The return to the colour mode before searching is tested with the colours.)
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
        QTest::newRow("blanks only") << "  " << QStringList{};
        QTest::newRow("no match") << "pump" << QStringList{};
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

    void ordersTopToBottomThenLeftToRightAndSortsAgainAfterMoves()
    {
        map->searchDevices(QStringLiteral("1"));
        QCOMPARE(foundNames(), QStringList({described, generator, scaler}));

        // Devices that moved are ordered by their new places once sorted again
        item(scaler)->setPos(QPointF(0, 0));
        map->search().sortByPosition();
        QCOMPARE(foundNames(), QStringList({scaler, described, generator}));
    }
};

QTEST_MAIN(TestMapSearch)
#include "tst_MapSearch.moc"
