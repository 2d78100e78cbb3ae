#include "DemoGuiDevices.h"
#include "DeviceMapParts.h"
#include "DeviceMapWidget.h"
#include "DeviceNodeItem.h"
#include "MapClipboard.h"
#include "MapCommands.h"
#include "TestDeviceManager.h"
#include "ZenticMessageBox.h"

#include <QGraphicsScene>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// What the round trip must keep of each device: its type, parameters and links, in a stable order.
QMap<QString, QString> graphOf(DeviceManager& manager)
{
    QMap<QString, QString> graph;
    const QStringList names = manager.getDeviceNames();
    for (const QString& name : names) {
        const DeviceInfo info = manager.getDeviceInfo(name);
        QStringList facts{"type " + info.type};
        for (auto it = info.paramValues.cbegin(); it != info.paramValues.cend(); ++it)
            facts.append("param " + it.key() + "=" + it.value());
        for (const Connection& link : info.incomingConnections)
            facts.append("from " + link.device + "." + link.signal + " to " + link.slot);
        for (const Connection& link : info.outgoingConnections)
            facts.append("to " + link.device + "." + link.slot + " from " + link.signal);
        facts.sort();
        graph.insert(name, facts.join('\n'));
    }
    return graph;
}

} // namespace

// The demo's whole sample graph selected, copied, deleted and pasted back is the same graph.
class TestMapClipboardRoundTrip : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void copyDeletePasteGivesTheSameGraph()
    {
        // Given the demo's graph on a map that shows every device
        // (copies: the manager saves its graph where it loaded it from, and the map its layout)
        QTemporaryDir dir;
        for (const char* file : {"demo-map.ini", "demo-graph.yaml"}) {
            QVERIFY(QFile::copy(QStringLiteral(DEMO_DATA_DIR "/") + file, dir.filePath(file)));
            QFile::setPermissions(dir.filePath(file), QFile::ReadOwner | QFile::WriteOwner);
        }
        TestDeviceManager manager;
        registerDemoGuiDeviceTypes(&manager);
        QVERIFY(manager.loadYamlConfig(dir.filePath("demo-graph.yaml")));
        const QMap<QString, QString> original = graphOf(manager);
        QVERIFY(original.size() > 20);
        DeviceMapWidget map(&manager, dir.filePath("demo-map.ini"));
        int row = 0;
        for (DeviceNodeItem* item : map.getDeviceItems()) {
            if (item->isUnplaced())
                item->placeDevice(QPointF(200 * (row % 10), 1000 + 60 * (row / 10)));
            item->setSelected(true);
            ++row;
        }
        QCOMPARE(map.scene()->selectedItems().size(), original.size());

        // When all is copied, deleted and pasted
        ZenticMessageBox::AnswerGuard answer(ZenticMessageBox::AnswerGuard::AcceptRole);
        DeviceMapParts(map).clipboard().copy();
        DeviceMapParts(map).commands().deleteSelectionOrItemUnderCursor();
        QVERIFY(manager.getDeviceNames().isEmpty());
        DeviceMapParts(map).clipboard().paste(QPoint(400, 300));

        // Then the manager holds the same graph, and nothing but the deletion was asked
        QCOMPARE(graphOf(manager), original);
        QCOMPARE(answer.count(), 1);
        QCOMPARE(map.getUndoStack()->count(), 2);
    }

    // The demo's sample template lists its links as outgoing ones only.
    void theSampleTemplateArrivesLinked()
    {
        QTemporaryDir dir;
        TestDeviceManager manager;
        manager.markInitialised();
        DeviceMapWidget map(&manager, dir.filePath("map.ini"));

        map.pasteDevices(map.getDeviceArrangement(QStringLiteral(DEMO_DATA_DIR "/threshold-alarm.yml")), QPoint(300, 200));

        QCOMPARE(manager.getDeviceNames().size(), 4);
        QCOMPARE(graphOf(manager).value("generator"),
                 QStringLiteral("param amplitude=1\nparam interval=100\nparam period=40\n"
                                "to scaler.input(double) from valueChanged(double)\ntype generator"));
        QCOMPARE(manager.getDeviceInfo("scaler").outgoingConnections.size(), 1);
        QCOMPARE(manager.getDeviceInfo("comparator").outgoingConnections.size(), 1);
    }
};

QTEST_MAIN(TestMapClipboardRoundTrip)
#include "tst_MapClipboardRoundTrip.moc"
