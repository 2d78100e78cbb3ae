#include "CreateBendingPointOperation.h"
#include "DeviceConnectionItem.h"
#include "DeviceMapWidget.h"
#include "DeviceNodeItem.h"
#include "MoveBendingPointOperation.h"
#include "RemoveBendingPointOperation.h"
#include "TestDeviceManager.h"

#include <QTemporaryDir>
#include <QUndoStack>
#include <QtTest>

#include <memory>

using Points = QList<QPointF>;

// Adding, removing and moving the bending points of one link, through the map's undo stack.
class TestBendingPointOperations : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    std::unique_ptr<TestDeviceManager> manager;
    std::unique_ptr<DeviceMapWidget> map;
    QString source;
    QString target;

    QUndoStack* stack() { return map->getUndoStack(); }
    DeviceConnectionItem* link() { return map->getConnection(source, target); }

private Q_SLOTS:
    void init()
    {
        DeviceNodeItem::setUnplacedDevices(QStringList());
        QFile::remove(dir.filePath("map.ini"));
        manager = std::make_unique<TestDeviceManager>();
        manager->markInitialised();
        map = std::make_unique<DeviceMapWidget>(manager.get(), dir.filePath("map.ini"));
        source = manager->createDevice("generator", false);
        target = manager->createDevice("scaler", false);
        manager->addDeviceConnection(source, target, QString(), QString());
        map->getDeviceItems().value(source)->placeDevice(QPointF(0, 0));
        map->getDeviceItems().value(target)->placeDevice(QPointF(400, 0));
        link()->setBendingPoints({QPointF(200, 50), QPointF(300, 50)});
    }

    void cleanup()
    {
        map.reset();
        manager.reset();
    }

    void createGoesIntoTheNearestSegment()
    {
        map->pushOperation(new CreateBendingPointOperation(map.get(), target, source, QPointF(250, 60)));
        const Points with{QPointF(200, 50), QPointF(250, 60), QPointF(300, 50)};
        QCOMPARE(link()->getBendingPoints(), with);
        QCOMPARE(stack()->text(0), QStringLiteral("Create bending point"));
        stack()->undo();
        QCOMPARE(link()->getBendingPoints(), (Points{QPointF(200, 50), QPointF(300, 50)}));
        stack()->redo();
        QCOMPARE(link()->getBendingPoints(), with);
    }

    void removeUndoRestoresTheOrder()
    {
        link()->setBendingPoints({QPointF(100, 50), QPointF(200, 50), QPointF(300, 50)});
        map->pushOperation(new RemoveBendingPointOperation(map.get(), target, source, QPointF(200, 50)));
        QCOMPARE(link()->getBendingPoints(), (Points{QPointF(100, 50), QPointF(300, 50)}));
        QCOMPARE(stack()->text(0), QStringLiteral("Remove bending point"));
        stack()->undo();
        QCOMPARE(link()->getBendingPoints(), (Points{QPointF(100, 50), QPointF(200, 50), QPointF(300, 50)}));
        stack()->redo();
        QCOMPARE(link()->getBendingPoints(), (Points{QPointF(100, 50), QPointF(300, 50)}));
    }

    void moveSetsTheListsGiven()
    {
        const Points before = link()->getBendingPoints();
        const Points after{QPointF(200, 90), QPointF(300, 50)};
        map->pushOperation(new MoveBendingPointOperation(map.get(), target, source, before, after));
        QCOMPARE(link()->getBendingPoints(), after);
        QCOMPARE(stack()->text(0), QStringLiteral("Move bending point"));
        stack()->undo();
        QCOMPARE(link()->getBendingPoints(), before);
        stack()->redo();
        QCOMPARE(link()->getBendingPoints(), after);
    }

    void noLinkNoChange_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("linkGone");
        for (int kind = 0; kind < 3; ++kind) {
            const QByteArray name = QByteArrayList{"create", "remove", "move"}.at(kind);
            QTest::newRow(name + ", ends swapped") << kind << false;
            QTest::newRow(name + ", link removed") << kind << true;
        }
    }

    // The look-up is directional, and a link that went since the push is left alone.
    void noLinkNoChange()
    {
        QFETCH(int, kind);
        QFETCH(bool, linkGone);
        const Points before = link()->getBendingPoints();
        QPointer<DeviceConnectionItem> watched = link();
        const QString to = linkGone ? target : source;
        const QString from = linkGone ? source : target;
        if (linkGone)
            manager->removeDeviceConnection(source, target);
        QUndoCommand* operation = nullptr;
        if (kind == 0)
            operation = new CreateBendingPointOperation(map.get(), to, from, QPointF(250, 60));
        else if (kind == 1)
            operation = new RemoveBendingPointOperation(map.get(), to, from, QPointF(200, 50));
        else
            operation = new MoveBendingPointOperation(map.get(), to, from, before, Points{QPointF(1, 1)});
        map->pushOperation(operation);
        stack()->undo();
        stack()->redo();
        QCOMPARE(bool(watched), !linkGone);
        if (watched)
            QCOMPARE(watched->getBendingPoints(), before);
    }
};

QTEST_MAIN(TestBendingPointOperations)
#include "tst_BendingPointOperations.moc"
