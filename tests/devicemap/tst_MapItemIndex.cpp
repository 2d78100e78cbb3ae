#include "DeviceConnectionItem.h"
#include "DeviceNodeItem.h"
#include "MapItemIndex.h"

#include <QPointer>
#include <QtTest>

// The map's item tables: every removal announced first, links found by their ends.
class TestMapItemIndex : public QObject
{
    Q_OBJECT

    static DeviceNodeItem* node(const QString& name)
    {
        DeviceInfo info;
        info.name = name;
        info.type = "scaler";
        return new DeviceNodeItem(info, QRectF(0, 0, 30, 30));
    }

private Q_SLOTS:
    void removingADeviceAnnouncesItsLinksThenItself()
    {
        // Given a, b, c with links a->b (twice), b->a and b->c
        MapItemIndex index;
        QList<HoverableItem*> announced;
        connect(&index, &MapItemIndex::itemAboutToBeRemoved, this,
                [&announced](HoverableItem* item) { announced.append(item); });
        for (const char* name : {"a", "b", "c"})
            index.insertDevice(name, node(name));
        auto link = [&index](const char* from, const char* to) {
            auto item = new DeviceConnectionItem(index.device(from), index.device(to), {});
            index.insertLink(item);
            return item;
        };
        DeviceConnectionItem* first = link("a", "b");
        DeviceConnectionItem* second = link("a", "b");
        DeviceConnectionItem* back = link("b", "a");
        DeviceConnectionItem* onward = link("b", "c");

        // When the first a->b goes, the second is the one found
        index.removeLink(first);
        QCOMPARE(index.link(index.device("a"), index.device("b")), second);

        // When a goes
        DeviceNodeItem* a = index.device("a");
        QVERIFY(index.removeDevice("a"));

        // Then its remaining links were announced before it, and only b->c is left
        QCOMPARE(announced, (QList<HoverableItem*>{first, second, back, a}));
        QCOMPARE(index.links(), QList<DeviceConnectionItem*>({onward}));
        QCOMPARE(index.linksOf(index.device("b")), QList<DeviceConnectionItem*>({onward}));
        QVERIFY(!index.hasDevice("a") && !index.removeDevice("a"));
        index.removeDevice("b");
        index.removeDevice("c");
        QCOMPARE(index.linkCount(), 0);
    }

    void aLinkRemovedWhileItIsAnnouncedGoesOnce()
    {
        // Given a holder that removes the link it is told about
        MapItemIndex index;
        index.insertDevice("a", node("a"));
        index.insertDevice("b", node("b"));
        auto link = new DeviceConnectionItem(index.device("a"), index.device("b"), {});
        index.insertLink(link);
        QPointer<DeviceConnectionItem> watched(link);
        bool removing = false;
        connect(&index, &MapItemIndex::itemAboutToBeRemoved, this, [&](HoverableItem* item) {
            if (removing || item != watched.data())
                return;
            removing = true;
            index.removeLink(watched.data());
        });

        // When the link is removed
        index.removeLink(link);

        // Then it is gone once, and the tables hold nothing of it
        QVERIFY(!watched);
        QCOMPARE(index.linkCount(), 0);
        QVERIFY(index.links().isEmpty());
        QVERIFY(!index.link(index.device("a"), index.device("b")));
        index.removeDevice("a");
        index.removeDevice("b");
    }
};

QTEST_MAIN(TestMapItemIndex)
#include "tst_MapItemIndex.moc"
