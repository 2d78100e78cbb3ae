#include "ClusterRectItem.h"
#include "DemoGuiDevices.h"
#include "DeviceConnectionItem.h"
#include "DeviceMapParts.h"
#include "DeviceMapWidget.h"
#include "DeviceMapWindow.h"
#include "DeviceNodeItem.h"
#include "MapInteraction.h"
#include "MapItemIndex.h"
#include "MapMenus.h"
#include "ModalRunner.h"
#include "TestDeviceManager.h"

#include <QGraphicsLineItem>
#include <QGraphicsScene>
#include <QPointer>
#include <QTemporaryDir>
#include <QCoreApplication>
#include <QtTest>

#include <memory>

// The demo host's map window over its sample graph: every menu of the map opens with the
// mouse, and with the keys.
class TestDemoMapMenus : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    std::unique_ptr<TestDeviceManager> manager;
    QPointer<DeviceMapWindow> window;
    DeviceMapWidget* map = nullptr;

    void send(QEvent::Type type, const QPoint& pos, Qt::MouseButton button, Qt::KeyboardModifiers modifiers)
    {
        QWidget* viewport = map->viewport();
        QMouseEvent event(type, QPointF(pos), QPointF(pos), QPointF(viewport->mapToGlobal(pos)),
                          type == QEvent::MouseMove ? Qt::NoButton : button,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button), modifiers);
        QApplication::sendEvent(viewport, &event);
    }
    void click(const QPoint& pos, Qt::MouseButton button, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        send(QEvent::MouseButtonPress, pos, button, modifiers);
        send(QEvent::MouseButtonRelease, pos, button, modifiers);
    }

    // A viewport point on the item, with the item scrolled into view first.
    QPoint show(const QPointF& scenePos)
    {
        map->centerOn(scenePos);
        map->viewport()->repaint();
        return map->mapFromScene(scenePos);
    }
    QPoint deviceAt(const QString& name) { return show(map->getDeviceItems().value(name)->getCenter()); }
    // The middle of a link's first stretch, where nothing else covers it.
    QPoint linkAt(DeviceConnectionItem** found)
    {
        for (DeviceConnectionItem* link : DeviceMapParts(*map).itemIndex().links()) {
            const QList<QPointF> bends = link->getBendingPoints();
            const QPointF next = bends.isEmpty() ? link->getNodeTo()->getCenter() : bends.first();
            const QPoint point = show((link->getNodeFrom()->getCenter() + next) / 2);
            if (map->findItemAt(point) == link) {
                *found = link;
                return point;
            }
        }
        return QPoint();
    }
    QPoint emptySpace()
    {
        const QPoint point = show(QPointF(map->sceneRect().right() - 5, map->sceneRect().bottom() - 5));
        QGraphicsItem* there = map->findItemAt(point);
        return !there || dynamic_cast<QGraphicsLineItem*>(there) ? point : QPoint();
    }
    void pointAt(const QPoint& viewportPoint)
    {
        QCursor::setPos(map->viewport()->mapToGlobal(viewportPoint));
        // The move it makes must not land in the middle of a long press.
        QCoreApplication::processEvents();
    }

private Q_SLOTS:
    void init()
    {
        // Given the demo's map window, with copies of its graph and layout
        for (const char* file : {"demo-map.ini", "demo-graph.yaml"}) {
            QFile::remove(dir.filePath(file));
            QVERIFY(QFile::copy(QStringLiteral(DEMO_DATA_DIR "/") + file, dir.filePath(file)));
            QFile::setPermissions(dir.filePath(file), QFile::ReadOwner | QFile::WriteOwner);
        }
        DeviceNodeItem::setUnplacedDevices(QStringList());
        manager = std::make_unique<TestDeviceManager>();
        registerDemoGuiDeviceTypes(manager.get());
        QVERIFY(manager->loadYamlConfig(dir.filePath("demo-graph.yaml")));
        window = new DeviceMapWindow(manager.get(), dir.filePath("demo-map.ini"), nullptr);
        window->resize(1280, 720);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        map = window->getDeviceMapWidget();
        DeviceMapParts(*map).interaction().setLongPressInterval(40);
    }

    void cleanup()
    {
        delete window.data();
        manager.reset();
    }

    void everyMenuOpensWithTheMouseAndTheKeys_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("menu");
        QTest::newRow("right click on a device") << "right device" << "device";
        QTest::newRow("menu key over a device") << "key device" << "device";
        QTest::newRow("right click on one of two selected") << "right selection" << "selection";
        QTest::newRow("right click on a link") << "right link" << "connection";
        QTest::newRow("right click on a bend Control+click made") << "right bend" << "bending point";
        QTest::newRow("right click on a cluster") << "right cluster" << "cluster";
        QTest::newRow("long press on empty space") << "long press" << "scene";
        QTest::newRow("menu key over empty space") << "key empty" << "scene";
        QTest::newRow("Control+N") << "control n" << "new device";
    }

    void everyMenuOpensWithTheMouseAndTheKeys()
    {
        QFETCH(QString, how);
        QFETCH(QString, menu);
        MapMenus& menus = DeviceMapParts(*map).menus();
        const QMap<QString, QStringList> expected{
            {"device", ModalRunner::actionTexts(&menus.deviceMenu())},
            {"selection", ModalRunner::actionTexts(&menus.selectionMenu())},
            {"connection", ModalRunner::actionTexts(&menus.connectionMenu())},
            {"bending point", ModalRunner::actionTexts(&menus.bendingPointMenu())},
            {"cluster", {"Rename", "Delete", "Moves contained devices"}},
            {"scene", ModalRunner::actionTexts(&menus.sceneMenu())},
            {"new device", ModalRunner::actionTexts(menus.newDeviceMenu())},
        };

        DeviceConnectionItem* link = nullptr;
        QPoint point;
        if (how.endsWith("device")) {
            point = deviceAt("counter1");
        } else if (how.endsWith("selection")) {
            map->getDeviceItems().value("formatter3")->setSelected(true);
            map->getDeviceItems().value("counter1")->setSelected(true);
            point = deviceAt("counter1");
        } else if (how.endsWith("link") || how.endsWith("bend")) {
            point = linkAt(&link);
            QVERIFY(link);
        } else if (how.endsWith("cluster")) {
            // One made beside the graph, as a right-button band would make it
            const QRectF beside(map->sceneRect().right() + 100, 100, 200, 150);
            map->unitedSceneWithRect(beside);
            map->createCluster(QStringLiteral("Sources"), beside);
            point = show(beside.topLeft() + QPointF(3, 5));  // its label
            QCOMPARE(map->findItemAt(point), map->getClusterItems().value("Sources"));
        } else {
            point = emptySpace();
            QVERIFY(!point.isNull());
        }
        if (how == "right bend") {
            click(point, Qt::LeftButton, Qt::ControlModifier);
            map->viewport()->repaint();
            QCOMPARE(link->getBendingPoints().size(), 1);
            point = map->mapFromScene(link->getBendingPoints().first());
        }
        pointAt(point);

        ModalRunner::MenuAnswerGuard look(ModalRunner::Cancel);
        if (how.startsWith("right")) {
            click(point, Qt::RightButton);
        } else if (how.startsWith("key")) {
            QTest::keyClick(map, Qt::Key_Menu);
        } else if (how == "long press") {
            send(QEvent::MouseButtonPress, point, Qt::LeftButton, Qt::NoModifier);
            QTRY_COMPARE(look.count(), 1);
            send(QEvent::MouseButtonRelease, point, Qt::LeftButton, Qt::NoModifier);
        } else {
            QTest::keyClick(map, Qt::Key_N, Qt::ControlModifier);
        }
        QCOMPARE(look.menus(), QList<QStringList>{expected.value(menu)});
    }
};

QTEST_MAIN(TestDemoMapMenus)
#include "tst_DemoMapMenus.moc"
