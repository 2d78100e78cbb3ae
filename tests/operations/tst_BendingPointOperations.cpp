#include "CreateBendingPointOperation.h"
#include "DeviceConnectionItem.h"
#include "MapOperationFixture.h"
#include "MoveBendingPointOperation.h"
#include "RemoveBendingPointOperation.h"

using Points = QList<QPointF>;

// Adding, removing and moving the bending points of one link, through the map's undo stack.
class TestBendingPointOperations : public QObject, protected MapOperationFixture
{
    Q_OBJECT

    QString source;
    QString target;

    DeviceConnectionItem* link() { return map->getConnection(source, target); }

    QUndoCommand* operation(int kind, const QString& to, const QString& from, const Points& before)
    {
        if (kind == 0)
            return new CreateBendingPointOperation(map.get(), to, from, QPointF(250, 60));
        if (kind == 1)
            return new RemoveBendingPointOperation(map.get(), to, from, QPointF(200, 50));
        return new MoveBendingPointOperation(map.get(), to, from, before, Points{QPointF(1, 1)});
    }

private Q_SLOTS:
    void init()
    {
        openMap();
        source = manager->createDevice("generator", false);
        target = manager->createDevice("scaler", false);
        manager->addDeviceConnection(source, target, QString(), QString());
        item(source)->placeDevice(QPointF(0, 0));
        item(target)->placeDevice(QPointF(400, 0));
        link()->setBendingPoints({QPointF(200, 50), QPointF(300, 50)});
    }

    void cleanup() { closeMap(); }

    void redoUndoRedo_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<Points>("after");
        QTest::newRow("create: into the nearest segment") << 0 << Points{QPointF(200, 50), QPointF(250, 60), QPointF(300, 50)};
        QTest::newRow("remove") << 1 << Points{QPointF(300, 50)};
        QTest::newRow("move: the lists given") << 2 << Points{QPointF(1, 1)};
    }

    void redoUndoRedo()
    {
        QFETCH(int, kind);
        QFETCH(Points, after);
        const Points before = link()->getBendingPoints();
        map->pushOperation(operation(kind, target, source, before));
        QCOMPARE(link()->getBendingPoints(), after);
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
        if (linkGone)
            manager->removeDeviceConnection(source, target);
        map->pushOperation(linkGone ? operation(kind, target, source, before) : operation(kind, source, target, before));
        stack()->undo();
        stack()->redo();
        QCOMPARE(bool(watched), !linkGone);
        if (watched)
            QCOMPARE(watched->getBendingPoints(), before);
    }
};

QTEST_MAIN(TestBendingPointOperations)
#include "tst_BendingPointOperations.moc"
