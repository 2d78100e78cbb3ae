#include "DemoGuiDevices.h"
#include "DeviceMapParts.h"
#include "DeviceMapWidget.h"
#include "DeviceNodeItem.h"
#include "MapClipboard.h"
#include "MapCommands.h"
#include "TestDeviceManager.h"
#include "YamlSerialiser.h"
#include "ZenticMessageBox.h"

#include <QGraphicsScene>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <memory>

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

// The demo's graph loaded into manager from copies in dir (the manager saves its graph where it
// loaded it from, and the map its layout), on a map that shows every device, those named in
// selected selected (all when empty).
std::unique_ptr<DeviceMapWidget> openDemoGraph(const QTemporaryDir& dir, TestDeviceManager& manager,
                                               const QStringList& selected = QStringList())
{
    for (const char* file : {"demo-map.ini", "demo-graph.yaml"}) {
        if (!QFile::copy(QStringLiteral(DEMO_DATA_DIR "/") + file, dir.filePath(file)))
            return nullptr;
        QFile::setPermissions(dir.filePath(file), QFile::ReadOwner | QFile::WriteOwner);
    }
    registerDemoGuiDeviceTypes(&manager);
    if (!manager.loadYamlConfig(dir.filePath("demo-graph.yaml")))
        return nullptr;
    auto map = std::make_unique<DeviceMapWidget>(&manager, dir.filePath("demo-map.ini"));
    int row = 0;
    const QMap<QString, DeviceNodeItem*> items = map->getDeviceItems();
    for (auto item = items.cbegin(); item != items.cend(); ++item, ++row) {
        if (item.value()->isUnplaced())
            item.value()->placeDevice(QPointF(200 * (row % 10), 1000 + 60 * (row / 10)));
        item.value()->setSelected(selected.isEmpty() || selected.contains(item.key()));
    }
    return map;
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
        QTemporaryDir dir;
        TestDeviceManager manager;
        const std::unique_ptr<DeviceMapWidget> shown = openDemoGraph(dir, manager);
        QVERIFY(shown);
        DeviceMapWidget& map = *shown;
        const QMap<QString, QString> original = graphOf(manager);
        QVERIFY(original.size() > 20);
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

    void deleteUndoneGivesEachDeviceBackAsItWas_data()
    {
        QTest::addColumn<QStringList>("deleted");
        QTest::newRow("a device whose start fails") << QStringList{"faulty1"};
        QTest::newRow("every device") << QStringList();
    }

    void deleteUndoneGivesEachDeviceBackAsItWas()
    {
        // Given the demo's graph, with its "Broken sensor" that fails to start, on a map
        QFETCH(QStringList, deleted);
        QTemporaryDir dir;
        TestDeviceManager manager;
        const std::unique_ptr<DeviceMapWidget> map = openDemoGraph(dir, manager, deleted);
        QVERIFY(map);
        QCOMPARE(manager.getDeviceState("faulty1"), BaseDevice::DeinitialisedWithError);
        const QString saved = manager.toYamlString();

        // When devices are deleted on the map and the deletion undone
        ZenticMessageBox::AnswerGuard answer(ZenticMessageBox::AnswerGuard::AcceptRole);
        DeviceMapParts(*map).commands().deleteSelectionOrItemUnderCursor();
        QVERIFY(!manager.getDeviceNames().contains("faulty1"));
        map->getUndoStack()->undo();

        // Then each comes back meant to run as before, and the whole graph saves byte for byte
        const QList<DeviceInfo> devices = YamlSerialiser::parseYamlFromString(manager.toYamlString(), nullptr);
        const auto faulty = std::find_if(devices.cbegin(), devices.cend(),
                                         [](const DeviceInfo& info) { return info.name == "faulty1"; });
        QVERIFY(faulty != devices.cend() && faulty->initialised);
        if (deleted.isEmpty())
            QCOMPARE(manager.toYamlString(), saved);
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
