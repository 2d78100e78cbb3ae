#include "ClusterRectItem.h"
#include "CreateDeviceOperation.h"
#include "DeviceConnectionItem.h"
#include "DeviceMapWidget.h"
#include "DeviceHandle.h"
#include "DeviceNodeItem.h"
#include "TestDeviceManager.h"
#include "TestSupport.h"
#include "ZenticMessageBox.h"

#include <QGraphicsScene>
#include <QLineEdit>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QWidgetAction>
#include <QtTest>

#include <memory>

// Scene building from the device manager and the layout file, and the map's reactions.
class TestDeviceMapWidget : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir;
    std::unique_ptr<TestDeviceManager> manager;

    QString layoutPath() const { return dir.filePath(QStringLiteral("map.ini")); }

    std::unique_ptr<DeviceMapWidget> makeMap()
    {
        return std::make_unique<DeviceMapWidget>(manager.get(), layoutPath());
    }

    void writeLayout(const QString& key, const QVariant& value)
    {
        QSettings layout(layoutPath(), QSettings::IniFormat);
        layout.setValue(key, value);
    }

    static DeviceConnectionItem* link(DeviceMapWidget& map, const QString& from, const QString& to)
    {
        return map.getConnection(from, to);
    }

    // Two devices, the first linked plainly to the second.
    QStringList linkedPair(const QString& firstType = QStringLiteral("generator"))
    {
        const QString from = manager->createDevice(firstType, false);
        const QString to = manager->createDevice(QStringLiteral("scaler"), false);
        manager->addDeviceConnection(from, to, QString(), QString());
        return {from, to};
    }

private Q_SLOTS:
    void init()
    {
        QFile::remove(layoutPath());
        DeviceNodeItem::setUnplacedDevices(QStringList());
        manager = std::make_unique<TestDeviceManager>();
    }

    void cleanup() { manager.reset(); }

    void buildsSceneWhenManagerReportsInitialised()
    {
        // Given a manager that is still loading a graph of two devices joined by two pairs
        const QString generator = manager->createDevice(QStringLiteral("generator"), false);
        const QString adder = manager->createDevice(QStringLiteral("adder"), false);
        QVERIFY(manager->addConnection(generator, adder, "valueChanged(double)", "setA(double)"));
        QVERIFY(manager->addConnection(generator, adder, "valueChanged(double)", "setB(double)"));
        auto map = makeMap();
        QVERIFY(map->getDeviceItems().isEmpty());
        QVERIFY(!map->sceneMenu.actions().isEmpty());

        // When it reports the graph complete
        manager->markInitialised();

        // Then the map holds both devices and one link item for both pairs
        QCOMPARE(map->getDeviceItems().size(), 2);
        QCOMPARE(map->connectionItems.size(), 1);
        QVERIFY(link(*map, generator, adder));
        QVERIFY(!link(*map, adder, generator));
        QCOMPARE(map->getConnectionSignals(adder, generator),
                 QStringList({"valueChanged(double)", "valueChanged(double)"}));
        QCOMPARE(map->getConnectionSlots(adder, generator), QStringList({"setA(double)", "setB(double)"}));
    }

    void placesDevicesFromLayoutFile()
    {
        // Given a stored place, a stored unplaced device and five devices without a key
        QStringList names;
        for (int i = 0; i < 7; ++i)
            names << manager->createDevice(QStringLiteral("generator"), false);
        writeLayout(names.at(0) + "/rect", QRect(100, 200, 80, 30));
        writeLayout(names.at(1) + "/rect", QRect(-1, -1, -1, -1));
        writeLayout(QStringLiteral("sceneRect"), QRect(0, 0, 100, 50));
        manager->markInitialised();

        auto map = makeMap();

        // Then only the first is placed; the others' default grid rectangles (five to a row, 60
        // apart, rows 40 apart) and the unplaced form at (-1, -1) only widen the scene
        const auto items = map->getDeviceItems();
        QCOMPARE(items.value(names.at(0))->pos(), QPointF(100, 200));
        QVERIFY(items.value(names.at(0))->isVisible());
        for (int i = 1; i < names.size(); ++i) {
            QVERIFY(items.value(names.at(i))->isUnplaced());
            QVERIFY(!items.value(names.at(i))->isVisible());
        }
        QCOMPARE(map->sceneRect(), QRectF(-17, -17, 1017, 617));
    }

    void oppositeLinksAreSplitUnlessOneHasStoredBends_data()
    {
        QTest::addColumn<QStringList>("storedBends");
        QTest::newRow("no bends") << QStringList();
        QTest::newRow("stored bends") << QStringList({"10;20"});
    }

    void oppositeLinksAreSplitUnlessOneHasStoredBends()
    {
        QFETCH(QStringList, storedBends);
        const QString first = manager->createDevice(QStringLiteral("scaler"), false);
        const QString second = manager->createDevice(QStringLiteral("scaler"), false);
        writeLayout(second + "/rect", QRect(300, 0, 60, 30));
        manager->addConnection(first, second, "output(double)", "input(double)");
        manager->addConnection(second, first, "output(double)", "input(double)");
        if (!storedBends.isEmpty())
            writeLayout(first + ":" + second + "/bends", storedBends);
        manager->markInitialised();
        TestSupport::LogCapture log;

        auto map = makeMap();

        const QList<QPointF> forth = link(*map, first, second)->getBendingPoints();
        const QList<QPointF> back = link(*map, second, first)->getBendingPoints();
        if (storedBends.isEmpty()) {
            QCOMPARE(forth.size(), 1);
            QCOMPARE(back.size(), 1);
            QVERIFY(forth != back);
        } else {
            QCOMPARE(forth, QList<QPointF>({QPointF(10, 20)}));
            QVERIFY(back.isEmpty());
            QVERIFY(log.contains(QString::fromUtf8("\xD0\xA1" "an not split a connections with bending points.")));
        }
    }

    void followsTheManagersSignals()
    {
        manager->markInitialised();
        auto map = makeMap();

        // registered
        const QString generator = manager->createDevice(QStringLiteral("generator"), false);
        const QString scaler = manager->createDevice(QStringLiteral("scaler"), false);
        QVERIFY(map->getDeviceItems().contains(generator));
        QVERIFY(map->getDeviceItems().value(scaler)->isUnplaced());

        // changed: a new link, then its removal, reported by either end
        for (const QString& reported : {generator, scaler}) {
            manager->addDeviceConnection(generator, scaler, QString(), QString());
            QVERIFY(link(*map, generator, scaler));
            manager->setNotificationMode(TestDeviceManager::Never);
            manager->removeDeviceConnection(generator, scaler);
            manager->setNotificationMode(TestDeviceManager::Immediate);
            Q_EMIT manager->deviceChanged(reported);
            QVERIFY(map->connectionItems.isEmpty());
        }

        // description changed
        manager->getDevice(generator)->setDescription(QStringLiteral("Pulse"));
        QCOMPARE(map->getDeviceItems().value(generator)->getLabel(), QStringLiteral("Pulse"));

        // state changed and initialised
        manager->initialiseDevice(generator);
        QCOMPARE(map->getDeviceItems().value(generator)->getHighlightColor(), QColor(Qt::darkGreen));

        // renamed while unplaced: it stays unplaced and moves to the front of the unplaced list
        QVERIFY(manager->renameDevice(generator, QStringLiteral("pulse")));
        QVERIFY(!map->getDeviceItems().contains(generator));
        QCOMPARE(map->getDeviceItems().value(QStringLiteral("pulse"))->devName(), QStringLiteral("pulse"));
        QCOMPARE(DeviceNodeItem::getUnplacedDevices(), QStringList({"pulse", scaler}));

        // removed, with its links
        manager->addDeviceConnection(QStringLiteral("pulse"), scaler, QString(), QString());
        QCOMPARE(map->connectionItems.size(), 1);
        manager->removeDevice(QStringLiteral("pulse"));
        QVERIFY(!map->getDeviceItems().contains(QStringLiteral("pulse")));
        QVERIFY(map->connectionItems.isEmpty());
        QCOMPARE(map->scene()->items().size(), 1);

        // devices the manager does not know change nothing
        Q_EMIT manager->deviceChanged(QStringLiteral("ghost"));
        Q_EMIT manager->deviceRemoved(QStringLiteral("ghost"));
        Q_EMIT manager->deviceRenamed(QStringLiteral("ghost"), QStringLiteral("spirit"));
        Q_EMIT manager->deviceDescriptionChanged(QStringLiteral("ghost"), QStringLiteral("boo"));
        QCOMPARE(map->getDeviceItems().keys(), QStringList({scaler}));
    }

    void showsActivityOnTheLinkThatCarriedAnEmission()
    {
        manager->markInitialised();
        auto map = makeMap();
        const QStringList pair = linkedPair();
        const QString generator = pair.at(0);
        const QString scaler = pair.at(1);
        DeviceConnectionItem* carrier = link(*map, generator, scaler);

        DeviceConnectionItem::setActivityType(DeviceConnectionItem::NotActive);
        Q_EMIT manager->onEmit(generator, scaler);
        QVERIFY(!carrier->isActive());

        DeviceConnectionItem::setActivityType(DeviceConnectionItem::ColorLinePerTime);
        Q_EMIT manager->onEmit(scaler, generator);
        Q_EMIT manager->onEmit(generator, scaler);
        QVERIFY(carrier->isActive());
        DeviceConnectionItem::setActivityType(DeviceConnectionItem::NotActive);
    }

    void sceneRectangleOnlyGrows()
    {
        manager->markInitialised();
        auto map = makeMap();
        const QRectF initial = map->sceneRect();

        map->unitedSceneWithRect(QRectF(100, 100, 20, 20));
        QCOMPARE(map->sceneRect(), initial);
        map->unitedSceneWithRect(QRectF(1500, 700, 100, 100));
        QCOMPARE(map->sceneRect(), QRectF(0, 0, 1616, 1000));
        QCOMPARE(map->scene()->sceneRect(), map->sceneRect());

        map->resize(400, 300);
        map->resizeSceneRectToViewRect();
        QCOMPARE(map->sceneRect(), QRectF(0, 0, 1616, 1000));
    }

    void arrangementHoldsEachLinkAmongTheListedDevicesOnce()
    {
        // Given a -> b with two bends, b -> a, and a -> z
        manager->markInitialised();
        auto map = makeMap();
        const QStringList ab = linkedPair(QStringLiteral("scaler"));
        const QString z = manager->createDevice(QStringLiteral("scaler"), false);
        manager->addDeviceConnection(ab.at(1), ab.at(0), QString(), QString());
        manager->addDeviceConnection(ab.at(0), z, QString(), QString());
        const QList<QPointF> bends = {QPointF(5, 5), QPointF(50, 5)};
        link(*map, ab.at(0), ab.at(1))->setBendingPoints(bends);
        DeviceNodeItem* itemA = map->getDeviceItems().value(ab.at(0));
        DeviceNodeItem* itemB = map->getDeviceItems().value(ab.at(1));
        itemA->placeDevice(QPointF(10, 20));

        // When a and b are captured
        const DevicesArrangement arrangement = map->getDevicesArrangement({itemB, itemA});

        // Then each link between them comes once, with its bends, and nothing of z
        QCOMPARE(arrangement.connections.size(), 2);
        QVERIFY(arrangement.connections.contains(ItemsConnection{ab.at(0), ab.at(1), bends}));
        QVERIFY(arrangement.connections.contains(ItemsConnection{ab.at(1), ab.at(0), {}}));
        for (const DeviceInfo& info : arrangement.devices)
            QVERIFY(info.outgoingConnections.size() == 1 && info.incomingConnections.size() == 1);
        QCOMPARE(arrangement.deviceRects.value(ab.at(0)).topLeft(), QPointF(10, 20));
        QCOMPARE(arrangement.center, (itemA->getCenter() + itemB->getCenter()) / 2);
    }

    void secondInitialisedDoesNotDuplicateLinksOrClusters()
    {
        linkedPair();
        writeLayout(QStringLiteral("Clusters/ClusterNames"), QStringList({"pumps"}));
        writeLayout(QStringLiteral("Clusters/pumps/rect"), QRect(0, 0, 100, 100));
        manager->markInitialised();
        auto map = makeMap();
        const int itemsBefore = map->scene()->items().size();

        QVERIFY(QMetaObject::invokeMethod(map.get(), "createGraph"));

        QCOMPARE(map->connectionItems.size(), 1);
        QCOMPARE(map->getClusterItems().size(), 1);
        QCOMPARE(map->scene()->items().size(), itemsBefore);
    }

    void aClusterOfTheSameNameReplacesTheOldItem()
    {
        manager->markInitialised();
        auto map = makeMap();
        map->createCluster(QStringLiteral("pumps"), QRectF(0, 0, 50, 50));
        QPointer<ClusterRectItem> old = map->getClusterItems().value(QStringLiteral("pumps"));
        map->setHoveredItem(old);
        map->stretchedCluster = old;

        map->createCluster(QStringLiteral("pumps"), QRectF(10, 10, 80, 80));

        QVERIFY(!old);
        QCOMPARE(map->getHoveredItem(), nullptr);
        QCOMPARE(map->stretchedCluster.data(), nullptr);
        QCOMPARE(map->getClusterItems().value(QStringLiteral("pumps"))->pos(), QPointF(10, 10));
    }

    void forgetsEveryPointerToARemovedDevice()
    {
        // Given a device that is the settings item, the temporary device, a search result,
        // the source of a connection being drawn and hovered
        manager->markInitialised();
        auto map = makeMap();
        const QStringList pair = linkedPair();
        const QString generator = pair.at(0);
        DeviceNodeItem* item = map->getDeviceItems().value(generator);
        map->settingsItem = item;
        map->setCurrentTemporaryDevice(item);
        map->searchDevices(generator);
        QCOMPARE(map->getFoundDevices().size(), 1);
        auto endNode = new DeviceNodeItem(DeviceInfo(), QRectF(0, 0, 1, 1));
        map->scene()->addItem(endNode);
        map->tempEndNode = endNode;
        map->tempConnection = new DeviceConnectionItem(item, endNode, QList<QPointF>());
        map->scene()->addItem(map->tempConnection);
        map->drawingConnection = true;
        map->connectionSource = generator;
        map->setHoveredItem(item);
        map->movedBendingPoint.insert(link(*map, generator, pair.at(1)), 0);
        map->bendingPointsAtPress = {QPointF(5, 5)};

        // When the manager removes its link, then the device itself
        manager->removeDeviceConnection(generator, pair.at(1));
        QVERIFY(map->movedBendingPoint.isEmpty());
        QVERIFY(map->bendingPointsAtPress.isEmpty());
        manager->removeDevice(generator);

        // Then nothing of the map points at it any more, and the settings dialog's close is harmless
        QVERIFY(!map->settingsItem);
        QCOMPARE(map->getCurrentTemporaryDevice(), nullptr);
        QVERIFY(map->getFoundDevices().isEmpty());
        QCOMPARE(map->tempConnection, nullptr);
        QCOMPARE(map->tempEndNode, nullptr);
        QVERIFY(!map->drawingConnection);
        QCOMPARE(map->getHoveredItem(), nullptr);
        QVERIFY(QMetaObject::invokeMethod(map.get(), "_updateItem"));
        map->grab();
    }

    void closingOneMapKeepsTheUnplacedDevicesOfAnother()
    {
        manager->markInitialised();
        manager->createDevice(QStringLiteral("generator"), false);
        TestDeviceManager otherManager;
        otherManager.markInitialised();
        const QString otherDevice = otherManager.createDevice(QStringLiteral("counter"), false);
        const QString otherLayout = dir.filePath(QStringLiteral("other.ini"));
        auto other = std::make_unique<DeviceMapWidget>(&otherManager, otherLayout);
        auto map = makeMap();
        QCOMPARE(DeviceNodeItem::getUnplacedDevices().size(), 2);

        map.reset();

        QCOMPARE(DeviceNodeItem::getUnplacedDevices(), QStringList({otherDevice}));
        other.reset();
        QVERIFY(DeviceNodeItem::getUnplacedDevices().isEmpty());
    }

    void typesMenuIsRebuiltWholeAndSearchCreatesTheOnlyMatch()
    {
        manager->markInitialised();
        auto map = makeMap();
        const int typeCount = manager->getDeviceTypes(true).size();

        Q_EMIT manager->needUpdateTypes();
        Q_EMIT manager->needUpdateTypes();

        int searchFields = 0;
        int hiddenTypes = 0;
        int categories = 0;
        for (QAction* action : map->newDeviceMenu->actions()) {
            if (qobject_cast<QWidgetAction*>(action))
                ++searchFields;
            else if (action->menu())
                ++categories;
            else if (!action->isVisible())
                ++hiddenTypes;
        }
        QCOMPARE(searchFields, 1);
        QCOMPARE(hiddenTypes, typeCount);
        QVERIFY(categories > 0);
        QCOMPARE(map->newDeviceMenu->findChildren<QLineEdit*>().size(), 1);
        QCOMPARE(map->newDeviceMenu->findChild<QAction*>(QStringLiteral("/maths/scaler"))->text(),
                 QStringLiteral("Scaler"));

        // A search that two types contain shows only those; Enter creates the only match.
        auto search = map->newDeviceMenu->findChild<QLineEdit*>();
        map->pressScenePos = QPointF(40, 50);

        search->setText(QStringLiteral("er"));
        int visibleTypes = 0;
        for (QAction* action : map->newDeviceMenu->actions()) {
            if (action->menu())
                QVERIFY(!action->isVisible());
            else if (!qobject_cast<QWidgetAction*>(action) && action->isVisible())
                ++visibleTypes;
        }
        QVERIFY(visibleTypes > 1);
        Q_EMIT search->returnPressed();
        QCOMPARE(map->getUndoStack()->count(), 0);

        search->setText(QStringLiteral("scal"));
        Q_EMIT search->returnPressed();

        QCOMPARE(map->getUndoStack()->count(), 1);
        const QString created = manager->getDeviceNames().value(0);
        QCOMPARE(manager->getDeviceInfo(created).type, QStringLiteral("scaler"));
        QCOMPARE(map->getDeviceItems().value(created)->pos(), QPointF(40, 50));
    }

    void initialisesEveryDeviceWhenNothingIsSelected()
    {
        manager->markInitialised();
        auto map = makeMap();
        const QString first = manager->createDevice(QStringLiteral("generator"), true);
        const QString second = manager->createDevice(QStringLiteral("scaler"), false);
        manager->clearCallLog();

        map->initSelectedDevices();

        QCOMPARE(manager->callLog().filter(QStringLiteral("initialiseDevice")).size(), 2);
        QVERIFY(manager->getDeviceHandle(second)->isInitialised());

        map->getDeviceItems().value(first)->placeDevice(QPointF(0, 0));
        map->getDeviceItems().value(first)->setSelected(true);
        manager->clearCallLog();
        map->deinitSelectedDevices();
        QCOMPARE(manager->callLog().filter(QStringLiteral("deinitialiseDevice")).size(), 1);
        QVERIFY(!manager->getDeviceHandle(first)->isInitialised());
        QVERIFY(manager->getDeviceHandle(second)->isInitialised());
    }

    void deletingASelectionNeitherAsksNorChangesAnything()
    {
        // Given a selected device, while removing devices is not an operation of the map yet
        manager->markInitialised();
        auto map = makeMap();
        const QString name = manager->createDevice(QStringLiteral("generator"), false);
        map->getDeviceItems().value(name)->placeDevice(QPointF(0, 0));
        map->getDeviceItems().value(name)->setSelected(true);
        ZenticMessageBox::AnswerGuard accept(ZenticMessageBox::AnswerGuard::AcceptRole);

        QVERIFY(QMetaObject::invokeMethod(map.get(), "onDelete"));

        // Then the user is not promised a deletion, and nothing is half done
        QVERIFY(accept.texts().isEmpty());
        QVERIFY(manager->getDeviceNames().contains(name));
        QCOMPARE(map->getUndoStack()->count(), 0);
        QCOMPARE(manager->getReadonly(), false);
    }
};

QTEST_MAIN(TestDeviceMapWidget)
#include "tst_DeviceMapWidget.moc"
