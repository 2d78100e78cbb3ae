#include "ClusterRectItem.h"
#include "DeviceMapParts.h"
#include "ConnectionDrawing.h"
#include "DeviceConnectionItem.h"
#include "MapInteraction.h"
#include "MapItemIndex.h"
#include "MapManagerSync.h"
#include "MapMenus.h"
#include "ModalRunner.h"
#include "tst_DeviceMapWidget_Fixture.h"

#include <QGraphicsScene>
#include <QLineEdit>
#include <QtTest>

// Scene building from the device manager, and the map's reactions.
class TestDeviceMapWidget : public QObject, DeviceMapFixture
{
    Q_OBJECT

    DeviceConnectionItem* link(const QString& from, const QString& to) const { return map->getConnection(from, to); }

private Q_SLOTS:
    void init() { resetFixture(); }
    void cleanup() { tearDownFixture(); }

    void buildsSceneWhenManagerReportsInitialised()
    {
        // Given a manager that is still loading a graph of two devices joined by two pairs
        const QString generator = create("generator");
        const QString adder = create("adder");
        QVERIFY(manager->addConnection(generator, adder, "valueChanged(double)", "setA(double)"));
        QVERIFY(manager->addConnection(generator, adder, "valueChanged(double)", "setB(double)"));
        openMap();
        QVERIFY(map->getDeviceItems().isEmpty());

        manager->markInitialised();

        // Then the map holds both devices and one link item for both pairs
        QCOMPARE(map->getDeviceItems().size(), 2);
        QCOMPARE(DeviceMapParts(*map).itemIndex().linkCount(), 1);
        QVERIFY(link(generator, adder) && !link(adder, generator));
        QCOMPARE(map->getConnectionSlots(adder, generator), QStringList({"setA(double)", "setB(double)"}));
    }

    void followsTheManagersSignals()
    {
        manager->markInitialised();
        openMap();
        const QString generator = create("generator");
        const QString scaler = create("scaler");
        QVERIFY(item(scaler)->isUnplaced());

        // changed: a new link, then its removal, reported by either end
        for (const QString& reported : {generator, scaler}) {
            manager->addDeviceConnection(generator, scaler, QString(), QString());
            QVERIFY(link(generator, scaler));
            manager->setNotificationMode(TestDeviceManager::Never);
            manager->removeDeviceConnection(generator, scaler);
            manager->setNotificationMode(TestDeviceManager::Immediate);
            Q_EMIT manager->deviceChanged(reported);
            QCOMPARE(DeviceMapParts(*map).itemIndex().linkCount(), 0);
        }

        // description and state changed
        manager->getDevice(generator)->setDescription("Pulse");
        QCOMPARE(item(generator)->getLabel(), QStringLiteral("Pulse"));
        manager->initialiseDevice(generator);
        QCOMPARE(item(generator)->getHighlightColor(), QColor(Qt::darkGreen));

        // renamed while unplaced: it stays unplaced and moves to the front of the unplaced list
        QVERIFY(manager->renameDevice(generator, "pulse"));
        QVERIFY(!item(generator));
        QCOMPARE(DeviceNodeItem::getUnplacedDevices(), QStringList({"pulse", scaler}));

        // emitted: only the link that carried it shows activity
        manager->addDeviceConnection("pulse", scaler, QString(), QString());
        DeviceConnectionItem::setActivityType(DeviceConnectionItem::ColorLinePerTime);
        Q_EMIT manager->onEmit(scaler, "pulse");
        Q_EMIT manager->onEmit("pulse", scaler);
        QVERIFY(link("pulse", scaler)->isActive());
        DeviceConnectionItem::setActivityType(DeviceConnectionItem::NotActive);

        // removed, with its links; devices the manager does not know change nothing
        manager->removeDevice("pulse");
        QCOMPARE(DeviceMapParts(*map).itemIndex().linkCount(), 0);
        Q_EMIT manager->deviceChanged("ghost");
        Q_EMIT manager->deviceRenamed("ghost", "spirit");
        QCOMPARE(map->getDeviceItems().keys(), QStringList({scaler}));
    }

    void secondInitialisedDoesNotDuplicateLinksOrClusters()
    {
        linkedPair();
        writeLayout("Clusters/ClusterNames", QStringList({"pumps"}));
        writeLayout("Clusters/pumps/rect", QRect(0, 0, 100, 100));
        manager->markInitialised();
        openMap();
        const int itemsBefore = map->scene()->items().size();

        QVERIFY(QMetaObject::invokeMethod(map.get(), "createGraph"));

        QCOMPARE(DeviceMapParts(*map).itemIndex().linkCount(), 1);
        QCOMPARE(map->getClusterItems().size(), 1);
        QCOMPARE(map->scene()->items().size(), itemsBefore);
    }

    void aClusterOfTheSameNameReplacesTheOldItem()
    {
        manager->markInitialised();
        openMap();
        map->createCluster("pumps", QRectF(0, 0, 50, 50));
        QPointer<ClusterRectItem> old = map->getClusterItems().value("pumps");
        map->setHoveredItem(old);
        DeviceMapParts(*map).interaction().setStretchedCluster(old);

        map->createCluster("pumps", QRectF(10, 10, 80, 80));

        QVERIFY(!old && !map->getHoveredItem() && !DeviceMapParts(*map).interaction().stretchedCluster());
        QCOMPARE(map->getClusterItems().value("pumps")->pos(), QPointF(10, 10));
    }

    void forgetsEveryPointerToARemovedDevice()
    {
        // Given a device that is the settings item, the temporary device, a search result,
        // the source of a connection being drawn, hovered, and a bending-point drag on its link
        manager->markInitialised();
        openMap();
        const QStringList pair = linkedPair();
        DeviceNodeItem* node = item(pair.at(0));
        DeviceMapParts(*map).managerSync().setSettingsItem(node);
        map->setCurrentTemporaryDevice(node);
        map->searchDevices(pair.at(0));
        QCOMPARE(map->getFoundDevices().size(), 1);
        auto endNode = new DeviceNodeItem(DeviceInfo(), QRectF(0, 0, 1, 1));
        map->scene()->addItem(endNode);
        auto rubberLine = new DeviceConnectionItem(node, endNode, QList<QPointF>());
        map->scene()->addItem(rubberLine);
        ConnectionDrawing& drawing = DeviceMapParts(*map).connectionDrawing();
        drawing.setRubberLine(rubberLine, endNode);
        drawing.setSource(pair.at(0));
        map->setHoveredItem(node);
        MapInteraction& interaction = DeviceMapParts(*map).interaction();
        interaction.setMovedBendingPoint(link(pair.at(0), pair.at(1)), 0, {QPointF(5, 5)});

        // When the manager removes its link, then the device itself
        manager->removeDeviceConnection(pair.at(0), pair.at(1));
        QVERIFY(interaction.movedBendingPoint().isEmpty() && interaction.bendingPointsAtPress().isEmpty());
        manager->removeDevice(pair.at(0));

        // Then nothing of the map points at it any more, and the settings dialog's close is harmless
        QVERIFY(!DeviceMapParts(*map).managerSync().settingsItem() && !map->getCurrentTemporaryDevice());
        QVERIFY(map->getFoundDevices().isEmpty());
        QVERIFY(!drawing.rubberLine() && !drawing.endNode() && !drawing.isDrawing() && !map->getHoveredItem());
        QVERIFY(QMetaObject::invokeMethod(map.get(), "_updateItem"));
        map->grab();
    }

    void closingOneMapKeepsTheUnplacedDevicesOfAnother()
    {
        manager->markInitialised();
        create("generator");
        TestDeviceManager otherManager;
        otherManager.markInitialised();
        const QString otherDevice = otherManager.createDevice("counter", false);
        auto other = std::make_unique<DeviceMapWidget>(&otherManager, dir.filePath("other.ini"));
        openMap();
        QCOMPARE(DeviceNodeItem::getUnplacedDevices().size(), 2);

        map.reset();

        QCOMPARE(DeviceNodeItem::getUnplacedDevices(), QStringList({otherDevice}));
        other.reset();
        QVERIFY(DeviceNodeItem::getUnplacedDevices().isEmpty());
    }

    void typesMenuIsRebuiltWhole()
    {
        manager->markInitialised();
        openMap();

        Q_EMIT manager->needUpdateTypes();
        Q_EMIT manager->needUpdateTypes();

        // The empty-space menu keeps its "New device" entry, with one search field
        QMenu& sceneMenu = DeviceMapParts(*map).menus().sceneMenu();
        QCOMPARE(sceneMenu.actions().first(), DeviceMapParts(*map).menus().newDeviceMenu()->menuAction());
        QVERIFY(ModalRunner::findAction(&sceneMenu, "New device/Maths/Scaler"));
        QCOMPARE(DeviceMapParts(*map).menus().newDeviceMenu()->findChildren<QLineEdit*>().size(), 1);
    }

    void typesSearchFieldOutlivesTheReturnThatChangesTheTypes()
    {
        // Given a type whose device, once made, brings a further type along
        manager->markInitialised();
        TestDeviceManager* types = manager.get();
        types->registerDeviceType("maker", DeviceTypeInfo{{"General"}, QString()}, [types] {
            types->registerDeviceType("made", DeviceTypeInfo{{"General"}, QString()}, [] { return new BaseDevice; });
            return new BaseDevice;
        });
        openMap();
        QMenu* typesMenu = DeviceMapParts(*map).menus().newDeviceMenu();
        QPointer<QLineEdit> search = typesMenu->findChild<QLineEdit*>();
        search->setText("maker");

        // When Return in the search field makes that device
        QTest::keyClick(search, Qt::Key_Return);

        // Then the field lived through its own key press, and the menu takes the new type after it
        QVERIFY(search);
        QCOMPARE(manager->getDeviceNames().size(), 1);
        QTRY_VERIFY(ModalRunner::findAction(typesMenu, "General/Made"));
        QVERIFY(!search);
        QCOMPARE(typesMenu->findChildren<QLineEdit*>().size(), 1);
    }
};

QTEST_MAIN(TestDeviceMapWidget)
#include "tst_DeviceMapWidget.moc"
