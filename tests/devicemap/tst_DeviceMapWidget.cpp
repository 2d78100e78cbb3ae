#include "ClusterRectItem.h"
#include "ConnectionDrawing.h"
#include "DeviceConnectionItem.h"
#include "DeviceHandle.h"
#include "MapInteraction.h"
#include "MapItemIndex.h"
#include "MapManagerSync.h"
#include "MapMenus.h"
#include "ModalRunner.h"
#include "TestSupport.h"
#include "ZenticMessageBox.h"
#include "tst_DeviceMapWidget_Fixture.h"

#include <QGraphicsScene>
#include <QLineEdit>
#include <QWidgetAction>
#include <QtTest>

// Scene building from the device manager and the layout file, and the map's reactions.
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

        // When it reports the graph complete
        manager->markInitialised();

        // Then the map holds both devices and one link item for both pairs
        QCOMPARE(map->getDeviceItems().size(), 2);
        QCOMPARE(map->itemIndex().linkCount(), 1);
        QVERIFY(link(generator, adder) && !link(adder, generator));
        QCOMPARE(map->getConnectionSignals(adder, generator), QStringList({"valueChanged(double)", "valueChanged(double)"}));
        QCOMPARE(map->getConnectionSlots(adder, generator), QStringList({"setA(double)", "setB(double)"}));
    }

    void placesDevicesFromLayoutFile()
    {
        // Given a stored place, a stored unplaced device and five devices without a key
        QStringList names;
        for (int i = 0; i < 7; ++i)
            names << create("generator");
        writeLayout(names.at(0) + "/rect", QRect(100, 200, 80, 30));
        writeLayout(names.at(1) + "/rect", QRect(-1, -1, -1, -1));
        writeLayout("sceneRect", QRect(0, 0, 100, 50));
        manager->markInitialised();

        openMap();

        // Then only the first is placed; the others' default grid rectangles (five to a row, 60
        // apart, rows 40 apart) and the unplaced form at (-1, -1) only widen the scene
        QCOMPARE(item(names.at(0))->pos(), QPointF(100, 200));
        QVERIFY(item(names.at(0))->isVisible());
        for (const QString& name : names.mid(1))
            QVERIFY(item(name)->isUnplaced() && !item(name)->isVisible());
        QCOMPARE(map->sceneRect(), QRectF(-17, -17, 1017, 617));

        // And the scene rectangle only ever grows
        map->unitedSceneWithRect(QRectF(100, 100, 20, 20));
        QCOMPARE(map->sceneRect(), QRectF(-17, -17, 1017, 617));
        map->unitedSceneWithRect(QRectF(1500, 700, 100, 100));
        map->resize(400, 300);
        map->resizeSceneRectToViewRect();
        QCOMPARE(map->scene()->sceneRect(), QRectF(-17, -17, 1633, 833));
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
        const QString first = create("scaler");
        const QString second = create("scaler");
        writeLayout(second + "/rect", QRect(300, 0, 60, 30));
        manager->addConnection(first, second, "output(double)", "input(double)");
        manager->addConnection(second, first, "output(double)", "input(double)");
        if (!storedBends.isEmpty())
            writeLayout(first + ":" + second + "/bends", storedBends);
        manager->markInitialised();
        TestSupport::LogCapture log;

        openMap();

        const QList<QPointF> forth = link(first, second)->getBendingPoints();
        const QList<QPointF> back = link(second, first)->getBendingPoints();
        if (storedBends.isEmpty()) {
            QVERIFY(forth.size() == 1 && back.size() == 1 && forth != back);
        } else {
            QCOMPARE(forth, QList<QPointF>({QPointF(10, 20)}));
            QVERIFY(back.isEmpty());
            QVERIFY(log.contains(QString::fromUtf8("\xD0\xA1" "an not split a connections with bending points.")));
        }
    }

    void followsTheManagersSignals()
    {
        manager->markInitialised();
        openMap();

        // registered
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
            QVERIFY((map->itemIndex().linkCount() == 0));
        }

        // description changed; state changed and initialised
        manager->getDevice(generator)->setDescription("Pulse");
        QCOMPARE(item(generator)->getLabel(), QStringLiteral("Pulse"));
        manager->initialiseDevice(generator);
        QCOMPARE(item(generator)->getHighlightColor(), QColor(Qt::darkGreen));

        // renamed while unplaced: it stays unplaced and moves to the front of the unplaced list
        QVERIFY(manager->renameDevice(generator, "pulse"));
        QVERIFY(!item(generator));
        QCOMPARE(item("pulse")->devName(), QStringLiteral("pulse"));
        QCOMPARE(DeviceNodeItem::getUnplacedDevices(), QStringList({"pulse", scaler}));

        // emitted: only the link that carried it shows activity, and only in an activity mode
        manager->addDeviceConnection("pulse", scaler, QString(), QString());
        Q_EMIT manager->onEmit("pulse", scaler);
        QVERIFY(!link("pulse", scaler)->isActive());
        DeviceConnectionItem::setActivityType(DeviceConnectionItem::ColorLinePerTime);
        Q_EMIT manager->onEmit(scaler, "pulse");
        QVERIFY(!link("pulse", scaler)->isActive());
        Q_EMIT manager->onEmit("pulse", scaler);
        QVERIFY(link("pulse", scaler)->isActive());
        DeviceConnectionItem::setActivityType(DeviceConnectionItem::NotActive);

        // removed, with its links
        manager->removeDevice("pulse");
        QVERIFY((map->itemIndex().linkCount() == 0));
        QCOMPARE(map->scene()->items().size(), 1);

        // devices the manager does not know change nothing
        Q_EMIT manager->deviceChanged("ghost");
        Q_EMIT manager->deviceRemoved("ghost");
        Q_EMIT manager->deviceRenamed("ghost", "spirit");
        Q_EMIT manager->deviceDescriptionChanged("ghost", "boo");
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

        QCOMPARE(map->itemIndex().linkCount(), 1);
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
        map->interaction().setStretchedCluster(old);

        map->createCluster("pumps", QRectF(10, 10, 80, 80));

        QVERIFY(!old && !map->getHoveredItem() && !map->interaction().stretchedCluster());
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
        map->managerSync().setSettingsItem(node);
        map->setCurrentTemporaryDevice(node);
        map->searchDevices(pair.at(0));
        QCOMPARE(map->getFoundDevices().size(), 1);
        auto endNode = new DeviceNodeItem(DeviceInfo(), QRectF(0, 0, 1, 1));
        map->scene()->addItem(endNode);
        auto rubberLine = new DeviceConnectionItem(node, endNode, QList<QPointF>());
        map->scene()->addItem(rubberLine);
        ConnectionDrawing& drawing = map->connectionDrawing();
        drawing.setRubberLine(rubberLine, endNode);
        drawing.setSource(pair.at(0));
        map->setHoveredItem(node);
        MapInteraction& interaction = map->interaction();
        interaction.setMovedBendingPoint(link(pair.at(0), pair.at(1)), 0, {QPointF(5, 5)});

        // When the manager removes its link, then the device itself
        manager->removeDeviceConnection(pair.at(0), pair.at(1));
        QVERIFY(interaction.movedBendingPoint().isEmpty() && interaction.bendingPointsAtPress().isEmpty());
        manager->removeDevice(pair.at(0));

        // Then nothing of the map points at it any more, and the settings dialog's close is harmless
        QVERIFY(!map->managerSync().settingsItem() && !map->getCurrentTemporaryDevice());
        QVERIFY(map->getFoundDevices().isEmpty());
        QVERIFY(!drawing.rubberLine() && !drawing.endNode() && !drawing.isDrawing() && !map->getHoveredItem());
        QVERIFY(QMetaObject::invokeMethod(map.get(), "_updateItem"));
        map->grab();
    }

    void marksTheUnplacedGroupOfADevice()
    {
        // Given a placed device feeding a long chain of unplaced ones, the last feeding a placed one
        manager->markInitialised();
        openMap();
        QStringList chain;
        for (int i = 0; i < 400; ++i)
            chain << create("scaler");
        for (int i = 0; i + 1 < chain.size(); ++i)
            manager->addDeviceConnection(chain.at(i), chain.at(i + 1), QString(), QString());
        item(chain.first())->placeDevice(QPointF(0, 0));
        item(chain.last())->placeDevice(QPointF(500, 0));

        // When the group of the first is marked
        QMap<QString, bool> marks;
        map->getConnectedDevices(chain.first(), marks);

        // Then it and every unplaced device up to the last placed one are marked
        QCOMPARE(marks.size(), chain.size() - 1);
        QVERIFY(!marks.contains(chain.last()));
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

    void typesMenuIsRebuiltWholeAndSearchCreatesTheOnlyMatch()
    {
        manager->markInitialised();
        openMap();

        Q_EMIT manager->needUpdateTypes();
        Q_EMIT manager->needUpdateTypes();

        // The empty-space menu keeps its "New device" entry
        QMenu& sceneMenu = map->menus().sceneMenu();
        QVERIFY(sceneMenu.actions().contains(map->menus().newDeviceMenu()->menuAction()));
        QCOMPARE(sceneMenu.actions().first()->text(), QStringLiteral("New device"));
        QVERIFY(ModalRunner::findAction(&sceneMenu, "New device/Maths/Scaler"));

        // One search field, and every type once, hidden until searched for
        QCOMPARE(map->menus().newDeviceMenu()->findChildren<QLineEdit*>().size(), 1);
        int hiddenTypes = 0;
        for (QAction* action : map->menus().newDeviceMenu()->actions())
            hiddenTypes += !action->menu() && !qobject_cast<QWidgetAction*>(action) && !action->isVisible();
        QCOMPARE(hiddenTypes, manager->getDeviceTypes(true).size());
        QCOMPARE(map->menus().newDeviceMenu()->findChild<QAction*>("/maths/scaler")->text(), QStringLiteral("Scaler"));

        // Enter creates nothing while two types match, and the only match at the press position
        auto search = map->menus().newDeviceMenu()->findChild<QLineEdit*>();
        map->interaction().setPressScenePos(QPointF(40, 50));
        search->setText("er");
        Q_EMIT search->returnPressed();
        QCOMPARE(map->getUndoStack()->count(), 0);
        search->setText("scal");
        Q_EMIT search->returnPressed();
        const QString created = manager->getDeviceNames().value(0);
        QCOMPARE(manager->getDeviceInfo(created).type, QStringLiteral("scaler"));
        QCOMPARE(item(created)->pos(), QPointF(40, 50));
    }

    void initialisesEveryDeviceWhenNothingIsSelected()
    {
        manager->markInitialised();
        openMap();
        const QString first = manager->createDevice("generator", true);
        const QString second = create("scaler");
        manager->clearCallLog();

        map->initSelectedDevices();

        QCOMPARE(manager->callLog().filter("initialiseDevice").size(), 2);
        QVERIFY(manager->getDeviceHandle(second)->isInitialised());

        item(first)->placeDevice(QPointF(0, 0));
        item(first)->setSelected(true);
        map->deinitSelectedDevices();
        QVERIFY(!manager->getDeviceHandle(first)->isInitialised());
        QVERIFY(manager->getDeviceHandle(second)->isInitialised());
    }

    void deletingASelectionAsksThenRemovesItAsOneStep()
    {
        manager->markInitialised();
        openMap();
        const QString name = create("generator");
        item(name)->placeDevice(QPointF(0, 0));
        item(name)->setSelected(true);
        ZenticMessageBox::AnswerGuard accept(ZenticMessageBox::AnswerGuard::AcceptRole);

        QVERIFY(QMetaObject::invokeMethod(map.get(), "onDelete"));

        QCOMPARE(accept.texts(), QStringList({"Are you sure you want to remove \"" + name + "\"?"}));
        QVERIFY(!manager->getDeviceNames().contains(name));
        QCOMPARE(map->getUndoStack()->text(0), "Remove device " + name);
        QVERIFY(!manager->getReadonly());
    }
};

QTEST_MAIN(TestDeviceMapWidget)
#include "tst_DeviceMapWidget.moc"
