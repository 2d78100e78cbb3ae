#include "DeviceManager.h"
#include "DeviceMapWidget.h"
#include "DeviceNodeItem.h"
#include "RemoveDevicesOperation.h"
#include "SafeFileWriter.h"
#include "TestSupport.h"
#include "YamlSerialiser.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

namespace {

using Edit = std::function<void(DeviceManager&, const QString& savedPath)>;

// Two devices of types this manager does not know: pump1 between two linked devices, each of
// its links written at one end only, and scaler2, named as a fresh scaler would be.
const char* const graphText = R"yaml(config_version: 2
generator1:
  type: generator
  outgoing:
    - "pump1.input(double)<this.valueChanged(double)"
pump1:
  type: pump
  initialised: true
  description: Feeds the tank
  params:
    rate: "4"
  outgoing:
    - "scaler1.input(double)<this.out(double)"
scaler1:
  type: scaler
scaler2:
  type: scalerPro
)yaml";

// "source.signal>target.slot" for each link, as the sources list them and as the targets do.
void collectLinks(const QList<DeviceInfo>& infos, QStringList* fromSources, QStringList* fromTargets)
{
    for (const DeviceInfo& info : infos) {
        for (const Connection& link : info.outgoingConnections)
            fromSources->append(info.name + "." + link.signal + ">" + link.device + "." + link.slot);
        for (const Connection& link : info.incomingConnections)
            fromTargets->append(link.device + "." + link.signal + ">" + info.name + "." + link.slot);
    }
    fromSources->sort();
    fromTargets->sort();
}

// Each entry of a device text as "name:type <incoming links >outgoing links", in text order.
QStringList entriesOf(const QString& text)
{
    QStringList entries;
    for (const DeviceInfo& info : YamlSerialiser::parseYamlFromString(text, nullptr)) {
        QString entry = info.name + ":" + info.type;
        for (const Connection& link : info.incomingConnections)
            entry += " <" + link.device + "." + link.signal + ">" + link.slot;
        for (const Connection& link : info.outgoingConnections)
            entry += " >" + link.device + "." + link.slot + "<" + link.signal;
        entries.append(entry);
    }
    return entries;
}

// What the map keeps to undo a removal: the devices' descriptions, as device text.
QString descriptionText(const DeviceManager& manager, const QStringList& names)
{
    QBuffer header;
    YamlSerialiser::writeConfigVersion(&header);
    QString text = QString::fromUtf8(header.data());
    for (const QString& name : names)
        text += YamlSerialiser::serialise(manager.getDeviceInfo(name));
    return text;
}

// text loaded and saved into savedText, which must load again and save the same.
void loadAndSave(const QString& text, QString* savedText)
{
    DeviceManager manager;
    QVERIFY(manager.loadYamlFromString("config_version: 2\n" + text));
    *savedText = manager.toYamlString();
    DeviceManager reloaded;
    QVERIFY(reloaded.loadYamlFromString(*savedText));
    QCOMPARE(reloaded.toYamlString(), *savedText);
    // A fixed point from the first load on: the second gives every device the same name
    QCOMPARE(reloaded.getDeviceNames(), manager.getDeviceNames());
    QCOMPARE(reloaded.getKeptDeviceNames(), manager.getKeptDeviceNames());
}

} // namespace

Q_DECLARE_METATYPE(Edit)

// A graph holding devices of types the framework does not know (a meta device not imported
// in this run): no save may lose them while the user works on the rest.
class tst_KeptDevices : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void savedGraphStillHoldsDevicesOfUnknownTypes_data();
    void savedGraphStillHoldsDevicesOfUnknownTypes();
    void eachEntryOfARepeatedNameKeepsItsOwnLinks_data();
    void eachEntryOfARepeatedNameKeepsItsOwnLinks();
    void keptDeviceNamedAsNoDeviceCanBeGetsAFreshName_data();
    void keptDeviceNamedAsNoDeviceCanBeGetsAFreshName();
};

void tst_KeptDevices::savedGraphStillHoldsDevicesOfUnknownTypes_data()
{
    QTest::addColumn<Edit>("edit");
    QTest::addColumn<QStringList>("devices");
    QTest::addColumn<QStringList>("links");

    const QStringList allLinks{"generator1.valueChanged(double)>pump1.input(double)", "pump1.out(double)>scaler1.input(double)"};
    QTest::newRow("loaded and saved") << Edit([](DeviceManager&, const QString&) {})
                                      << QStringList{"generator1:generator", "pump1:pump", "scaler1:scaler", "scaler2:scalerPro"}
                                      << allLinks;
    QTest::newRow("saved twice, a scaler made between")
        << Edit([](DeviceManager& manager, const QString& path) {
               QVERIFY(manager.saveYamlConfig(path));
               QCOMPARE(manager.createDevice("scaler", false), QString("scaler3"));
           })
        << QStringList{"generator1:generator", "pump1:pump", "scaler1:scaler", "scaler2:scalerPro", "scaler3:scaler"}
        << allLinks;
    const QStringList allDevices{"generator1:generator", "pump1:pump", "scaler1:scaler", "scaler2:scalerPro"};
    // A kept name is taken as any other: the kept device stays, whole.
    auto renameRefused = [](const QString& name) {
        return Edit([name](DeviceManager& manager, const QString&) {
            TestSupport::LogCapture log;
            QVERIFY(!manager.renameDevice("scaler1", name));
            QVERIFY(log.contains(QString("DeviceManager: device name \"%1\" is taken").arg(name)));
        });
    };
    QTest::newRow("a device renamed to a kept name") << renameRefused("Scaler2") << allDevices << allLinks;
    QTest::newRow("a device renamed to a kept name as written") << renameRefused("scaler2") << allDevices << allLinks;
    QTest::newRow("a linked device removed")
        << Edit([](DeviceManager& manager, const QString&) { QVERIFY(manager.removeDevice("generator1")); })
        << QStringList{"pump1:pump", "scaler1:scaler", "scaler2:scalerPro"}
        << QStringList{"pump1.out(double)>scaler1.input(double)"};
    // The kept device's peers come back at the end of the graph, the kept devices keeping their places.
    const QStringList peersBack{"pump1:pump", "scaler2:scalerPro", "generator1:generator", "scaler1:scaler"};
    QTest::newRow("its peers removed and their descriptions pasted back")
        << Edit([](DeviceManager& manager, const QString&) {
               const QString text = descriptionText(manager, {"generator1", "scaler1"});
               QVERIFY(manager.removeDevice("generator1"));
               QVERIFY(manager.removeDevice("scaler1"));
               QCOMPARE(manager.pasteDevicesFromString(text, 0), (QStringList{"generator1", "scaler1"}));
           })
        << peersBack << allLinks;
    QTest::newRow("its peers deleted on the map and the deletion undone")
        << Edit([](DeviceManager& manager, const QString&) {
               QTemporaryDir dir;
               DeviceNodeItem::setUnplacedDevices(QStringList());
               DeviceMapWidget map(&manager, dir.filePath("map.ini"));
               const QMap<QString, DeviceNodeItem*> items = map.getDeviceItems();
               QVERIFY(items.contains("generator1") && items.contains("scaler1"));
               map.pushOperation(new RemoveDevicesOperation(&map, {items.value("generator1"), items.value("scaler1")}));
               QTRY_VERIFY(manager.getDeviceNames().isEmpty());
               map.getUndoStack()->undo();
               QTRY_COMPARE(manager.getDeviceNames(), (QStringList{"generator1", "scaler1"}));
           })
        << peersBack << allLinks;
    QTest::newRow("a text naming a kept device pasted")
        << Edit([](DeviceManager& manager, const QString&) {
               QCOMPARE(manager.pasteDevicesFromString("pump1:\n  type: scaler\nvalve1:\n  type: valve\n", 0),
                        QStringList{"scaler3"});
           })
        << QStringList{"generator1:generator", "pump1:pump", "scaler1:scaler", "scaler2:scalerPro", "scaler3:scaler"}
        << allLinks;
    QTest::newRow("another graph loaded")
        << Edit([](DeviceManager& manager, const QString&) {
               QVERIFY(manager.loadYamlFromString("config_version: 2\ngenerator1:\n  type: generator\n"));
           })
        << QStringList{"generator1:generator"} << QStringList();
}

void tst_KeptDevices::savedGraphStillHoldsDevicesOfUnknownTypes()
{
    QFETCH(Edit, edit);
    QFETCH(QStringList, devices);
    QFETCH(QStringList, links);
    // Given the graph loaded from its file
    QTemporaryDir dir;
    const QString graph = dir.filePath("graph.yaml");
    QVERIFY(SafeFileWriter::writeFile(graph, graphText));
    DeviceManager manager;
    TestSupport::LogCapture log;
    QVERIFY(manager.loadYamlConfig(graph));

    // When the user works on it and the graph is saved
    edit(manager, graph);
    if (QTest::currentTestFailed())
        return;
    QVERIFY(manager.saveYamlConfig(graph));

    // Then the saved graph holds every device in its place, those of unknown types as written,
    // and each link at both ends
    QFile saved(graph);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    const QList<DeviceInfo> infos = YamlSerialiser::parseYamlFromString(QString::fromUtf8(saved.readAll()), nullptr);
    QStringList savedDevices;
    for (const DeviceInfo& info : infos) {
        savedDevices.append(info.name + ":" + info.type);
        if (info.type == "pump") {
            QCOMPARE(info.paramValues.value("rate"), QString("4"));
            QCOMPARE(info.description, QString("Feeds the tank"));
            QVERIFY(info.initialised);
        }
    }
    QCOMPARE(savedDevices, devices);
    QStringList fromSources;
    QStringList fromTargets;
    collectLinks(infos, &fromSources, &fromTargets);
    QCOMPARE(fromSources, links);
    QCOMPARE(fromTargets, links);
    // And the load named each device it kept
    QVERIFY(log.contains("DeviceManager: unknown device type pump of pump1 (kept as written)"));
}

// Hand edits and older saves may give one name to several entries: each keeps the links its
// own text gives it, none gathers another's, and the saved graph loads back the same.
void tst_KeptDevices::eachEntryOfARepeatedNameKeepsItsOwnLinks_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("saved");

    QTest::newRow("two kept entries") << R"yaml(gen:
  type: generator
  outgoing:
    - "pump.input(double)<this.valueChanged(double)"
pump:
  type: pump
  outgoing:
    - "sink.input(double)<this.flow(double)"
pump:
  type: pump
  connections:
    - "this.input(double)<gen.valueChanged(double)"
sink:
  type: scaler
)yaml" << QStringList{"gen:generator >pump.input(double)<valueChanged(double)",
                      "pump:pump >sink.input(double)<flow(double)",
                      "pump:pump <gen.valueChanged(double)>input(double)",
                      "sink:scaler <pump.flow(double)>input(double)"};
    QTest::newRow("a kept entry, then a live one") << R"yaml(gen:
  type: generator
  outgoing:
    - "dev.input(double)<this.valueChanged(double)"
dev:
  type: pump
  outgoing:
    - "sink.input(double)<this.flow(double)"
dev:
  type: scaler
  outgoing:
    - "sink.input(double)<this.output(double)"
sink:
  type: scaler
  connections:
    - "this.input(double)<dev.flow(double)"
)yaml" << QStringList{"gen:generator >dev.input(double)<valueChanged(double)",
                      "dev:pump <gen.valueChanged(double)>input(double) >sink.input(double)<flow(double)",
                      "scaler1:scaler >sink.input(double)<output(double)",
                      "sink:scaler <scaler1.output(double)>input(double) <dev.flow(double)>input(double)"};
    QTest::newRow("a live entry, then a kept one") << R"yaml(gen:
  type: generator
  outgoing:
    - "dev.input(double)<this.valueChanged(double)"
dev:
  type: scaler
  outgoing:
    - "sink.input(double)<this.output(double)"
dev:
  type: pump
  connections:
    - "this.input(double)<gen.valueChanged(double)"
sink:
  type: scaler
)yaml" << QStringList{"gen:generator >dev.input(double)<valueChanged(double)",
                      "dev:scaler >sink.input(double)<output(double)",
                      "dev:pump <gen.valueChanged(double)>input(double)",
                      "sink:scaler <dev.output(double)>input(double)"};
}

void tst_KeptDevices::eachEntryOfARepeatedNameKeepsItsOwnLinks()
{
    QFETCH(QString, text);
    QFETCH(QStringList, saved);
    // Given a graph that gives a name to two entries, one of them or both of a type unknown here
    TestSupport::LogCapture log;

    // When it is loaded and saved, the saved graph loading back the same
    QString savedText;
    loadAndSave(text, &savedText);
    if (QTest::currentTestFailed())
        return;

    // Then each entry is saved with the links its own text gives it, at both ends
    QCOMPARE(entriesOf(savedText), saved);
}

// A name no made device could have (a hand edit, another writer) would be written into its
// peers' link lines, which the next load could not read, or read as another link.
void tst_KeptDevices::keptDeviceNamedAsNoDeviceCanBeGetsAFreshName_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("saved");
    // The fresh name.
    QTest::addColumn<QString>("named");
    const QString fedByGen = R"yaml(gen:
  type: generator
"%1":
  type: pump
  connections:
    - "this.input(double)<gen.valueChanged(double)"
)yaml";
    const QStringList pumpFedByGen{"gen:generator >pump1.input(double)<valueChanged(double)",
                                   "pump1:pump <gen.valueChanged(double)>input(double)"};
    QTest::newRow("starting with a dot") << fedByGen.arg(".8") << pumpFedByGen << "pump1";
    QTest::newRow("holding a <") << fedByGen.arg("a<b") << pumpFedByGen << "pump1";
    // Written as U+FFFD, the noncharacter kept in the fresh name would be read as another name.
    QTest::newRow("a noncharacter in its manager's part")
        << fedByGen.arg("pump9@net\\uFFFE")
        << QStringList{"gen:generator >pump1@net_.input(double)<valueChanged(double)",
                       "pump1@net_:pump <gen.valueChanged(double)>input(double)"}
        << "pump1@net_";
    // A fresh name starting with U+FEFF would be read without it.
    QTest::newRow("of a type whose last part starts with U+FEFF")
        << QString(fedByGen).replace("type: pump", "type: \"vendor/\\uFEFFpump\"").arg(".8")
        << QStringList{"gen:generator >_pump1.input(double)<valueChanged(double)",
                       "_pump1:vendor/\uFEFFpump <gen.valueChanged(double)>input(double)"}
        << "_pump1";
    // Its peer reads the line as a link from "d": that one stays as written.
    QTest::newRow("holding a dot, between two kept devices") << R"yaml("d.":
  type: pump
  outgoing:
    - "tank.input(double)<this.flow(double)"
tank:
  type: tankPro
  connections:
    - "this.input(double)<d..flow(double)"
)yaml" << QStringList{"pump1:pump >tank.input(double)<flow(double)",
                      "tank:tankPro <d..flow(double)>input(double) <pump1.flow(double)>input(double)"}
                    << "pump1";
}

void tst_KeptDevices::keptDeviceNamedAsNoDeviceCanBeGetsAFreshName()
{
    QFETCH(QString, text);
    QFETCH(QStringList, saved);
    QFETCH(QString, named);
    // Given a graph whose device of a type unknown here has a name no device may have
    TestSupport::LogCapture log;

    // When it is loaded and saved, then the saved graph loads again, and saves the same
    QString savedText;
    loadAndSave(text, &savedText);
    if (QTest::currentTestFailed())
        return;

    // And the device is kept under a fresh name, as a made device would be, with its links
    QVERIFY(log.containsFragment("is not valid; the device is named \"" + named + "\""));
    QCOMPARE(entriesOf(savedText), saved);
}

QTEST_MAIN(tst_KeptDevices)
#include "tst_KeptDevices.moc"
