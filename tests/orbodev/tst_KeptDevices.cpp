#include "DeviceManager.h"
#include "SafeFileWriter.h"
#include "TestSupport.h"
#include "YamlSerialiser.h"

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

QTEST_MAIN(tst_KeptDevices)
#include "tst_KeptDevices.moc"
