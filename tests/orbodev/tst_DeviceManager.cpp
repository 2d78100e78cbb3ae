#include "DeviceHandle.h"
#include "DeviceManager.h"
#include "DeviceProxy.h"
#include "TestDeviceManager.h"
#include "TestSupport.h"
#include "YamlSerialiser.h"

#include <QBuffer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

namespace {

// Lives on the GUI thread and records what reaches it.
class Receiver : public QObject
{
    Q_OBJECT
public:
    QList<double> values;
    QList<QThread*> threads;
public Q_SLOTS:
    void input(double value)
    {
        values.append(value);
        threads.append(QThread::currentThread());
    }
};

QString deviceText(const QList<DeviceInfo>& infos)
{
    QBuffer header;
    YamlSerialiser::writeConfigVersion(&header);
    QString text = QString::fromUtf8(header.data());
    for (const DeviceInfo& info : infos)
        text += YamlSerialiser::serialise(info);
    return text;
}

} // namespace

class TestDeviceManagerContract : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void signalSignaturesAreExact_data();
    void signalSignaturesAreExact();
    void createReportsRegisteredDevice();
    void createAcceptsTypePaths_data();
    void createAcceptsTypePaths();
    void networkedTypeNamesDeviceAtManager();
    void connectReportsChangeForBothEnds();
    void plainJoinPairsMethodsItself();
    void findMatchingMethodsAcceptsNullLists();
    void findMatchingMethodsCodes_data();
    void findMatchingMethodsCodes();
    void convertedLinkDeliversConvertedValue();
    void loopOfDirectLinksDeliversLaterInsteadOfRecursing_data();
    void loopOfDirectLinksDeliversLaterInsteadOfRecursing();
    void valuesPilingUpInALoopAreDroppedWithAWarning();
    void renameRefusesTakenNamesInAnyCase();
    void removeDropsLinksAndReportsPeers();
    void unknownDeviceGivesEmptyInfoAndNullHandle();
    void allDescriptionsAtOnceAreEachDevicesDescription();
    void handleObjectIsSignalSender();
    void crossThreadEmissionReachesGuiThreadSlot();
    void trackingReportsEachEmissionOnALink();
    void pasteRestoresParametersAndLinksBothWays();
    void pasteRenamesDevicesWhoseNameIsTaken();
    void saveLoadRoundTripKeepsGraph();
    void failedSaveKeepsTheOldFile();
    void malformedYamlChangesNothing();
    void shortParseCreatesRuntimeVariable();
    void shortParseRejectsOtherText();
    void parseMetaDeviceRegistersType();
    void failingDeviceReportsErrorState();
    void deferredNotificationsArriveLater();
    void silentManagerNeverNotifies();
    void refusalsAndForcedCodeAndCallLog();
    void destructionAnnouncesExitOnly();
};

void TestDeviceManagerContract::signalSignaturesAreExact_data()
{
    QTest::addColumn<QString>("signature");
    for (const char* signature :
         {"deviceRegistered(QString)", "deviceRemoved(QString)", "deviceRenamed(QString,QString)",
          "deviceChanged(QString)", "deviceInitialised(QString,bool)", "deviceStateChanged(QString, BaseDevice::DeviceState)",
          "deviceDescriptionChanged(QString,QString)", "onEmit(QString,QString)", "needUpdateTypes()", "initialised()",
          "exit()"})
        QTest::newRow(signature) << QString::fromLatin1(signature);
}

void TestDeviceManagerContract::signalSignaturesAreExact()
{
    QFETCH(QString, signature);
    DeviceManager manager;
    Receiver receiver;
    QVERIFY(QObject::connect(&manager, ("2" + signature).toLatin1().constData(), &receiver, SLOT(deleteLater())));
    QVERIFY(QMetaType::type("BaseDevice::DeviceState") != QMetaType::UnknownType);
    QVERIFY(QMetaType::type("DoubleVec") != QMetaType::UnknownType);
    QVERIFY(QMetaType::type("TypePair") != QMetaType::UnknownType);
}

void TestDeviceManagerContract::createReportsRegisteredDevice()
{
    DeviceManager manager;
    QSignalSpy registered(&manager, SIGNAL(deviceRegistered(QString)));
    QSignalSpy initialised(&manager, SIGNAL(deviceInitialised(QString,bool)));

    const QString name = manager.createDevice("generator", true);

    QCOMPARE(name, QString("generator1"));
    QCOMPARE(registered.count(), 1);
    QCOMPARE(registered.at(0).at(0).toString(), name);
    QCOMPARE(initialised.count(), 1);
    QCOMPARE(initialised.at(0).at(1).toBool(), true);
    QCOMPARE(manager.getDeviceState(name), BaseDevice::Initialised);
    QCOMPARE(manager.createDevice("generator", false), QString("generator2"));
    QCOMPARE(manager.getDeviceState("generator2"), BaseDevice::NotInitialised);
    QCOMPARE(manager.getDeviceNames(), QStringList({"generator1", "generator2"}));
}

void TestDeviceManagerContract::createAcceptsTypePaths_data()
{
    QTest::addColumn<QString>("typeText");
    QTest::addColumn<QString>("expectedType");
    QTest::newRow("plain") << "scaler" << "scaler";
    QTest::newRow("path") << "maths/scaler" << "scaler";
    QTest::newRow("menu object name") << "/IO/serialPort" << "serialPort";
    QTest::newRow("unknown") << "/maths/nothing" << "";
}

void TestDeviceManagerContract::createAcceptsTypePaths()
{
    QFETCH(QString, typeText);
    QFETCH(QString, expectedType);
    DeviceManager manager;
    QVERIFY(manager.getDeviceTypes(true).contains("IO/serialPort"));
    QVERIFY(manager.getDeviceTypes().contains("runtime_variable"));

    const QString name = manager.createDevice(typeText, false);

    QCOMPARE(manager.getDeviceInfo(name).type, expectedType);
    QCOMPARE(name.isEmpty(), expectedType.isEmpty());
}

void TestDeviceManagerContract::networkedTypeNamesDeviceAtManager()
{
    DeviceManager manager;
    manager.addNetworkManager("press");

    const QString name = manager.createDevice("press/generator", false);

    QCOMPARE(name, QString("generator1@press"));
    QVERIFY(manager.getDeviceInfo(name).remote);
    QVERIFY(manager.renameDevice(name, "source"));
    QCOMPARE(manager.getDeviceNames(), QStringList({"source@press"}));
}

void TestDeviceManagerContract::connectReportsChangeForBothEnds()
{
    DeviceManager manager;
    const QString source = manager.createDevice("generator", false);
    const QString target = manager.createDevice("scaler", false);
    QSignalSpy changed(&manager, SIGNAL(deviceChanged(QString)));

    QVERIFY(manager.addConnection(source, target, "valueChanged(double)", "input(double)"));

    QStringList reported;
    for (const QList<QVariant>& arguments : changed)
        reported.append(arguments.at(0).toString());
    QVERIFY(reported.contains(source));
    QVERIFY(reported.contains(target));
    const DeviceInfo sourceInfo = manager.getDeviceInfo(source);
    const DeviceInfo targetInfo = manager.getDeviceInfo(target);
    QCOMPARE(sourceInfo.outgoingConnections.size(), 1);
    QCOMPARE(sourceInfo.outgoingConnections.at(0).device, target);
    QCOMPARE(targetInfo.incomingConnections.at(0).device, source);
    QCOMPARE(targetInfo.connectionStrings, QStringList({"this.input(double)<generator1.valueChanged(double)"}));

    changed.clear();
    QVERIFY(manager.removeConnection(source, target, "valueChanged(double)", "input(double)"));
    QCOMPARE(changed.count(), 2);
    QVERIFY(manager.getDeviceInfo(target).incomingConnections.isEmpty());
}

void TestDeviceManagerContract::plainJoinPairsMethodsItself()
{
    DeviceManager manager;
    const QString scaler = manager.createDevice("scaler", false);
    const QString mean = manager.createDevice("vectorMean", false);

    QVERIFY(manager.addDeviceConnection(mean, scaler, "", ""));
    QVERIFY(!manager.addDeviceConnection(scaler, mean, "", ""));

    QCOMPARE(manager.getDeviceInfo(scaler).incomingConnections.size(), 1);
    QCOMPARE(manager.getDeviceInfo(scaler).incomingConnections.at(0).signal, QString("mean(double)"));
    QVERIFY(manager.removeDeviceConnection(mean, scaler));
    QVERIFY(manager.getDeviceInfo(mean).outgoingConnections.isEmpty());
}

void TestDeviceManagerContract::findMatchingMethodsAcceptsNullLists()
{
    DeviceManager manager;
    const QString generator = manager.createDevice("generator", false);
    const QString scaler = manager.createDevice("scaler", false);

    QCOMPARE(manager.findMatchingMethods(generator, scaler, "", "", nullptr, nullptr),
             int(DeviceManager::SingleMatch));
    QCOMPARE(manager.findMatchingMethods("nobody", scaler, "", "", nullptr, nullptr), int(DeviceManager::NoMatch));

    QStringList identical;
    QStringList converted;
    manager.findMatchingMethods(generator, scaler, "", "", &identical, &converted);
    QCOMPARE(identical, QStringList({"input(double)<valueChanged(double)"}));
    QVERIFY(converted.isEmpty());
}

void TestDeviceManagerContract::findMatchingMethodsCodes_data()
{
    QTest::addColumn<QString>("sourceType");
    QTest::addColumn<QString>("targetType");
    QTest::addColumn<int>("code");
    QTest::newRow("only conversions") << "vectorMean" << "logicAnd" << int(DeviceManager::ChooseMatch);
    QTest::newRow("no pair") << "logger" << "generator" << int(DeviceManager::NoMatch);
    QTest::newRow("one identical pair") << "scaler" << "vectorBuilder" << int(DeviceManager::SingleMatch);
    QTest::newRow("identical beside converted") << "generator" << "formatter" << int(DeviceManager::SingleMatch);
    QTest::newRow("distinct pairs") << "encoder" << "encoder" << int(DeviceManager::DistinctMatches);
    QTest::newRow("one conversion") << "counter" << "comparator" << int(DeviceManager::SingleConversion);
    QTest::newRow("several to choose") << "scaler" << "adder" << int(DeviceManager::ChooseMatch);
}

void TestDeviceManagerContract::findMatchingMethodsCodes()
{
    QFETCH(QString, sourceType);
    QFETCH(QString, targetType);
    QFETCH(int, code);
    DeviceManager manager;
    const QString source = manager.createDevice(sourceType, false);
    const QString target = manager.createDevice(targetType, false);

    QCOMPARE(manager.findMatchingMethods(source, target, "", "", nullptr, nullptr), code);
}

void TestDeviceManagerContract::convertedLinkDeliversConvertedValue()
{
    DeviceManager manager;
    const QString counter = manager.createDevice("counter", true);
    const QString formatter = manager.createDevice("formatter", true);
    QVERIFY(manager.addConnection(counter, formatter, "countChanged(int)", "input(double)"));
    QSignalSpy text(manager.getDevice(formatter), SIGNAL(text(QString)));

    QMetaObject::invokeMethod(manager.getDevice(counter), "increment");

    QCOMPARE(text.count(), 1);
    QCOMPARE(text.at(0).at(0).toString(), QString("value: 1"));
    QVERIFY(!manager.addConnection(counter, formatter, "countChanged(int)", "nothing(int)"));
}

void TestDeviceManagerContract::loopOfDirectLinksDeliversLaterInsteadOfRecursing_data()
{
    QTest::addColumn<int>("deviceCount");
    QTest::newRow("device wired to itself") << 1;
    QTest::newRow("ring of three") << 3;
}

void TestDeviceManagerContract::loopOfDirectLinksDeliversLaterInsteadOfRecursing()
{
    QFETCH(int, deviceCount);
    // Given scalers in the GUI thread wired in a loop, each passing its value on unchanged
    DeviceManager manager;
    QStringList names;
    for (int i = 0; i < deviceCount; ++i) {
        names << manager.createDevice("scaler", true);
        QVERIFY(manager.setDeviceParam(names.last(), "factor", "1"));
    }
    for (int i = 0; i < deviceCount; ++i)
        QVERIFY(manager.addConnection(names.at(i), names.at((i + 1) % deviceCount), "output(double)", "input(double)"));
    QSignalSpy outputs(manager.getDevice(names.first()), SIGNAL(output(double)));

    // When a value arrives
    QMetaObject::invokeMethod(manager.getDevice(names.first()), "input", Q_ARG(double, 1.0));

    // Then it goes round the loop once at once, and on later, once per turn of the event loop
    QCOMPARE(outputs.count(), 2);
    QTRY_VERIFY(outputs.count() >= 5);
    QCOMPARE(outputs.last().at(0).toDouble(), 1.0);
}

void TestDeviceManagerContract::valuesPilingUpInALoopAreDroppedWithAWarning()
{
    // Given a scaler wired to itself and to a second one that feeds it back: every value it
    // handles comes back twice
    DeviceManager manager;
    const QString first = manager.createDevice("scaler", true);
    const QString second = manager.createDevice("scaler", true);
    QVERIFY(manager.addConnection(first, first, "output(double)", "input(double)"));
    QVERIFY(manager.addConnection(first, second, "output(double)", "input(double)"));
    QVERIFY(manager.addConnection(second, first, "output(double)", "input(double)"));
    TestSupport::LogCapture log;

    // When a value arrives, the values waiting for the first one double on every turn
    QMetaObject::invokeMethod(manager.getDevice(first), "input", Q_ARG(double, 0.0));

    // Then past the limit they are dropped, with one warning per link
    QTRY_VERIFY(log.containsFragment("dropped: 1000 are waiting already"));
    QVERIFY(log.messages(QtWarningMsg).size() <= 2);
}

void TestDeviceManagerContract::renameRefusesTakenNamesInAnyCase()
{
    DeviceManager manager;
    const QString first = manager.createDevice("scaler", false);
    const QString second = manager.createDevice("scaler", false);
    QSignalSpy renamed(&manager, SIGNAL(deviceRenamed(QString,QString)));

    QVERIFY(!manager.renameDevice(first, second.toUpper()));
    QVERIFY(!manager.renameDevice(first, "has blank"));
    QVERIFY(!manager.renameDevice(first, "dot.ted"));
    QVERIFY(!manager.renameDevice(first, "this"));
    QVERIFY(!manager.renameDevice("nobody", "fresh"));
    QVERIFY(renamed.isEmpty());

    QVERIFY(manager.renameDevice(first, "Scale"));
    QCOMPARE(renamed.count(), 1);
    QCOMPARE(renamed.at(0).at(0).toString(), first);
    QCOMPARE(renamed.at(0).at(1).toString(), QString("Scale"));
    QCOMPARE(manager.getDevice("scale")->objectName(), QString("Scale"));
}

void TestDeviceManagerContract::removeDropsLinksAndReportsPeers()
{
    DeviceManager manager;
    const QString generator = manager.createDevice("generator", false);
    const QString scaler = manager.createDevice("scaler", false);
    QVERIFY(manager.addDeviceConnection(generator, scaler, "", ""));
    QSignalSpy changed(&manager, SIGNAL(deviceChanged(QString)));
    QSignalSpy removed(&manager, SIGNAL(deviceRemoved(QString)));

    QVERIFY(manager.removeDevice(generator));

    QCOMPARE(removed.count(), 1);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).toString(), scaler);
    QVERIFY(manager.getDeviceInfo(scaler).incomingConnections.isEmpty());
    QVERIFY(!manager.removeDevice(generator));
}

void TestDeviceManagerContract::unknownDeviceGivesEmptyInfoAndNullHandle()
{
    DeviceManager manager;
    QVERIFY(manager.getDeviceInfo("nobody").name.isEmpty());
    QVERIFY(manager.getDeviceHandle("nobody").isNull());
    QVERIFY(!manager.getDevice("nobody"));
    QVERIFY(!manager.setDeviceParam("nobody", "factor", "3"));
}

void TestDeviceManagerContract::allDescriptionsAtOnceAreEachDevicesDescription()
{
    // Given linked devices, one renamed after its links were made and one with a changed parameter
    DeviceManager manager;
    const QString generator = manager.createDevice("generator", true);
    const QString scaler = manager.createDevice("scaler", false);
    const QString display = manager.createDevice("scaler", false);
    QVERIFY(manager.addDeviceConnection(generator, scaler, "", ""));
    QVERIFY(manager.addDeviceConnection(scaler, display, "", ""));
    QVERIFY(manager.renameDevice(scaler, "middle"));
    QVERIFY(manager.setDeviceParam(display, "factor", "3"));
    QVERIFY(manager.applyDeviceParams(display));

    // When every description is asked for at once
    const QVector<DeviceInfo> infos = manager.getDeviceInfos();

    // Then each is what asking for that device alone gives
    const QStringList names = manager.getDeviceNames();
    QCOMPARE(infos.size(), names.size());
    for (int i = 0; i < names.size(); ++i) {
        const DeviceInfo one = manager.getDeviceInfo(names.at(i));
        QCOMPARE(infos.at(i).name, names.at(i));
        QCOMPARE(YamlSerialiser::serialise(infos.at(i)), YamlSerialiser::serialise(one));
        QCOMPARE(infos.at(i).connectionStrings, one.connectionStrings);
        QCOMPARE(infos.at(i).signals, one.signals);
        QCOMPARE(infos.at(i).slots, one.slots);
        QCOMPARE(infos.at(i).initialised, one.initialised);
    }
    QCOMPARE(infos.at(1).incomingConnections.value(0).device, generator);
    QCOMPARE(infos.at(2).connectionStrings, QStringList{"this.input(double)<middle.output(double)"});
}

void TestDeviceManagerContract::handleObjectIsSignalSender()
{
    DeviceManager manager;
    const QString scaler = manager.createDevice("scaler", true);
    const QSharedPointer<DeviceHandle> handle = manager.getDeviceHandle(scaler);
    QVERIFY(handle);
    QCOMPARE(handle->getSignals(), QStringList({"output(double)"}));
    QCOMPARE(handle->getSlots(), QStringList({"input(double)"}));
    QCOMPARE(handle->getParamValue("factor"), QString("2"));
    Receiver receiver;

    QVERIFY(DeviceProxy::connect(handle->getObject(), "output(double)", &receiver, "input(double)"));
    QVERIFY(handle->connectToSlot(&receiver, "destroyed()", "input(double)", true) == false);
    QMetaObject::invokeMethod(handle->getObject(), "input", Q_ARG(double, 4));

    QCOMPARE(receiver.values, QList<double>({8}));
    QVERIFY(DeviceProxy::disconnect(handle->getObject(), "2output(double)", &receiver, "1input(double)"));
    manager.removeDevice(scaler);
    QVERIFY(!handle->getObject());
    QCOMPARE(handle->getState(), BaseDevice::NotInitialised);
}

void TestDeviceManagerContract::crossThreadEmissionReachesGuiThreadSlot()
{
    DeviceManager manager;
    const QString scaler = manager.createDevice("scaler", false);
    QVERIFY(manager.setDeviceThread(scaler, "worker"));
    QVERIFY(manager.initialiseDevice(scaler));
    QObject* device = manager.getDevice(scaler);
    QVERIFY(device->thread() != QThread::currentThread());
    QCOMPARE(manager.getDeviceInfo(scaler).thread, QString("worker"));
    Receiver receiver;
    QVERIFY(manager.getDeviceHandle(scaler)->connectToSlot(&receiver, "destroyed()", "input(double)", true) == false);
    QVERIFY(DeviceProxy::connect(device, "output(double)", &receiver, "input(double)"));

    QMetaObject::invokeMethod(device, "input", Qt::QueuedConnection, Q_ARG(double, 1.5));

    QTRY_COMPARE(receiver.values, QList<double>({3}));
    QCOMPARE(receiver.threads.at(0), QThread::currentThread());
}

void TestDeviceManagerContract::trackingReportsEachEmissionOnALink()
{
    DeviceManager manager;
    const QString toggle = manager.createDevice("toggle", true);
    const QString logic = manager.createDevice("logicAnd", true);
    QVERIFY(manager.addConnection(toggle, logic, "state(bool)", "setA(bool)"));
    QVERIFY(manager.addConnection(toggle, logic, "state(bool)", "setB(bool)"));
    QSignalSpy emitted(&manager, SIGNAL(onEmit(QString,QString)));

    QMetaObject::invokeMethod(manager.getDevice(toggle), "toggle");
    QCOMPARE(emitted.count(), 0);
    manager.setSignalsTracking(true);
    QMetaObject::invokeMethod(manager.getDevice(toggle), "toggle");

    QCOMPARE(emitted.count(), 2);
    QCOMPARE(emitted.at(0).at(0).toString(), toggle);
    QCOMPARE(emitted.at(0).at(1).toString(), logic);
}

void TestDeviceManagerContract::pasteRestoresParametersAndLinksBothWays()
{
    // Given a device linked in both directions with a changed parameter, copied as device text
    DeviceManager manager;
    const QString generator = manager.createDevice("generator", false);
    const QString scaler = manager.createDevice("scaler", true);
    const QString builder = manager.createDevice("vectorBuilder", false);
    QVERIFY(manager.addConnection(generator, scaler, "valueChanged(double)", "input(double)"));
    QVERIFY(manager.addConnection(scaler, builder, "output(double)", "append(double)"));
    QVERIFY(manager.setDeviceParam(scaler, "factor", "7"));
    const QString text = deviceText({manager.getDeviceInfo(scaler)});
    QVERIFY(manager.removeDevice(scaler));
    QSignalSpy registered(&manager, SIGNAL(deviceRegistered(QString)));

    // When the text is pasted
    const QStringList created = manager.pasteDevicesFromString(text, 500);

    // Then the device is back under its name with its parameter and both links
    QCOMPARE(created, QStringList({scaler}));
    QCOMPARE(registered.count(), 1);
    const DeviceInfo info = manager.getDeviceInfo(scaler);
    QCOMPARE(info.paramValues.value("factor"), QString("7"));
    QVERIFY(info.initialised);
    QCOMPARE(info.incomingConnections.size(), 1);
    QCOMPARE(info.incomingConnections.at(0).device, generator);
    QCOMPARE(info.outgoingConnections.size(), 1);
    QCOMPARE(info.outgoingConnections.at(0).device, builder);
    QCOMPARE(info.outgoingConnections.at(0).slot, QString("append(double)"));
}

void TestDeviceManagerContract::pasteRenamesDevicesWhoseNameIsTaken()
{
    DeviceManager manager;
    const QString scaler = manager.createDevice("scaler", false);
    const QString builder = manager.createDevice("vectorBuilder", false);
    QVERIFY(manager.addConnection(scaler, builder, "output(double)", "append(double)"));
    const QString text = deviceText({manager.getDeviceInfo(scaler), manager.getDeviceInfo(builder)});

    const QStringList created = manager.pasteDevicesFromString(text, 500);

    QCOMPARE(created, QStringList({"scaler2", "vectorBuilder2"}));
    QCOMPARE(manager.getDeviceInfo("vectorBuilder2").incomingConnections.at(0).device, QString("scaler2"));
    QCOMPARE(manager.getDeviceInfo(builder).incomingConnections.size(), 1);
}

void TestDeviceManagerContract::failedSaveKeepsTheOldFile()
{
    // Given a saved graph that then grows past the file-size limit
    QTemporaryDir dir;
    const QString path = dir.filePath("graph.yaml");
    DeviceManager manager;
    manager.createDevice("generator", false);
    manager.setConfigPath(path);
    QVERIFY(manager.saveYamlConfig());
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray oldText = file.readAll();
    file.close();
    for (int i = 0; i < 20; ++i)
        manager.createDevice("scaler", false);
    TestSupport::LogCapture log;

    // When it is saved
    TestSupport::FileSizeLimit limit(oldText.size() + 64);
    if (!limit.isActive())
        QSKIP("The file-size limit cannot be lowered here");
    const bool saved = manager.saveYamlConfig();
    limit.lift();

    // Then the failure is reported and the old file is whole
    QVERIFY(!saved);
    QVERIFY(log.containsFragment("DeviceManager: cannot save configuration to"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), oldText);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"graph.yaml"});
}

void TestDeviceManagerContract::saveLoadRoundTripKeepsGraph()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("graph.yaml");
    QString savedText;
    {
        DeviceManager manager;
        const QString generator = manager.createDevice("generator", true);
        const QString scaler = manager.createDevice("scaler", false);
        QVERIFY(manager.setDeviceParam(generator, "interval", "50"));
        QVERIFY(manager.setDeviceThread(scaler, "worker"));
        QVERIFY(manager.addConnection(generator, scaler, "valueChanged(double)", "input(double)"));
        manager.getDevice(scaler)->setDescription("Gain");
        manager.setConfigPath(path);
        manager.setReadonly(true);
        QVERIFY(!manager.saveYamlConfig());
        manager.setReadonly(false);
        QVERIFY(manager.saveYamlConfig());
        savedText = manager.toYamlString();
    }
    DeviceManager loaded;
    QSignalSpy initialised(&loaded, SIGNAL(initialised()));
    QVERIFY(!loaded.isInitialised());

    QVERIFY(loaded.loadYamlConfig(path));

    QCOMPARE(initialised.count(), 1);
    QVERIFY(loaded.isInitialised());
    QCOMPARE(loaded.getDeviceNames(), QStringList({"generator1", "scaler1"}));
    const DeviceInfo generator = loaded.getDeviceInfo("generator1");
    QVERIFY(generator.initialised);
    QCOMPARE(generator.paramValues.value("interval"), QString("50"));
    const DeviceInfo scaler = loaded.getDeviceInfo("scaler1");
    QVERIFY(!scaler.initialised);
    QCOMPARE(scaler.thread, QString("worker"));
    QCOMPARE(scaler.description, QString("Gain"));
    QCOMPARE(scaler.incomingConnections.size(), 1);
    QCOMPARE(loaded.toYamlString(), savedText);
}

void TestDeviceManagerContract::malformedYamlChangesNothing()
{
    DeviceManager manager;
    const QString generator = manager.createDevice("generator", false);
    const QString before = manager.toYamlString();
    QSignalSpy removed(&manager, SIGNAL(deviceRemoved(QString)));
    TestSupport::LogCapture log;

    QVERIFY(!manager.loadYamlFromString("config_version: 2\nbroken: [unclosed\n"));
    QVERIFY(!manager.loadYamlFromString("config_version: 2\nnotADevice: 5\n"));
    QVERIFY(manager.pasteDevicesFromString("- just\n- a list\n", 500).isEmpty());

    QCOMPARE(removed.count(), 0);
    QCOMPARE(manager.toYamlString(), before);
    QVERIFY(log.containsFragment("DeviceManager: configuration corrupted:"));
}

void TestDeviceManagerContract::shortParseCreatesRuntimeVariable()
{
    DeviceManager manager;
    QString setText = "runtime_variable(level,SET)";
    QString getText = "runtime_variable(level,GET)";

    QVERIFY(manager.shortParse(setText));
    QVERIFY(manager.shortParse(getText));

    QCOMPARE(setText, QString("runtime_variable1"));
    QCOMPARE(getText, QString("runtime_variable2"));
    QCOMPARE(manager.getDeviceInfo(getText).paramValues.value("mode"), QString("GET"));
    QVERIFY(manager.initialiseDevice(setText));
    QVERIFY(manager.initialiseDevice(getText));
    QSignalSpy value(manager.getDevice(getText), SIGNAL(value(double)));
    QMetaObject::invokeMethod(manager.getDevice(setText), "set", Q_ARG(double, 2.5));
    QCOMPARE(value.count(), 1);
    QCOMPARE(value.at(0).at(0).toDouble(), 2.5);
}

void TestDeviceManagerContract::shortParseRejectsOtherText()
{
    DeviceManager manager;
    QString text = "runtime_variable(level,PUT)";
    QVERIFY(!manager.shortParse(text));
    QCOMPARE(text, QString("runtime_variable(level,PUT)"));
    QVERIFY(manager.getDeviceNames().isEmpty());
}

void TestDeviceManagerContract::parseMetaDeviceRegistersType()
{
    QTemporaryDir dir;
    QFile file(dir.filePath("pump.yml"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("export:\n  slots:\n    input: scaler1.input(double)\n  signals:\n  parameters:\n"
               "    factor: scaler1.factor\n\nconfig_version: 2\nscaler1:\n  type: scaler\n  params:\n"
               "    factor: \"3\"\n");
    file.close();
    DeviceManager manager;
    QSignalSpy types(&manager, SIGNAL(needUpdateTypes()));

    QVERIFY(manager.parseMetaDevice(file.fileName(), ""));
    QVERIFY(!manager.parseMetaDevice(dir.filePath("missing.yml"), ""));

    QCOMPARE(types.count(), 1);
    QVERIFY(manager.getDeviceTypes().contains("pump"));
    const QString name = manager.createDevice("pump", false);
    QCOMPARE(manager.getDeviceHandle(name)->getParamValue("scaler1.factor"), QString("3"));
}

void TestDeviceManagerContract::failingDeviceReportsErrorState()
{
    DeviceManager manager;
    const QString faulty = manager.createDevice("faulty", false);
    const QString disabled = manager.createDevice("disabled", false);
    QSignalSpy states(&manager, SIGNAL(deviceStateChanged(QString,BaseDevice::DeviceState)));
    QSignalSpy initialised(&manager, SIGNAL(deviceInitialised(QString,bool)));

    QVERIFY(!manager.initialiseDevice(faulty));
    QVERIFY(!manager.initialiseDevice(disabled));

    // A caller waiting for the answer gets one even from a disabled device.
    QCOMPARE(initialised.count(), 2);
    QCOMPARE(initialised.at(1).at(0).toString(), disabled);
    QCOMPARE(initialised.at(1).at(1).toBool(), false);
    QCOMPARE(manager.getDeviceState(faulty), BaseDevice::DeinitialisedWithError);
    QCOMPARE(manager.getDeviceInfo(faulty).error, QString("simulated failure"));
    QCOMPARE(manager.getDeviceHandle(disabled)->getState(), BaseDevice::Disabled);
    QCOMPARE(states.count(), 1);
    QCOMPARE(states.at(0).at(1).value<BaseDevice::DeviceState>(), BaseDevice::DeinitialisedWithError);
}

void TestDeviceManagerContract::deferredNotificationsArriveLater()
{
    TestDeviceManager manager;
    manager.setNotificationMode(TestDeviceManager::Deferred, 50);
    QSignalSpy registered(&manager, SIGNAL(deviceRegistered(QString)));

    const QString name = manager.createDevice("counter", false);

    QVERIFY(!name.isEmpty());
    QCOMPARE(registered.count(), 0);
    QTRY_COMPARE(registered.count(), 1);
}

void TestDeviceManagerContract::silentManagerNeverNotifies()
{
    TestDeviceManager manager;
    manager.setNotificationMode(TestDeviceManager::Never);
    QSignalSpy registered(&manager, SIGNAL(deviceRegistered(QString)));

    QVERIFY(!manager.createDevice("counter", true).isEmpty());

    QTest::qWait(50);
    QCOMPARE(registered.count(), 0);
}

void TestDeviceManagerContract::refusalsAndForcedCodeAndCallLog()
{
    TestDeviceManager manager;
    const QString generator = manager.createDevice("generator", false);
    const QString scaler = manager.createDevice("scaler", false);
    manager.setRefuseCreation(true);
    manager.setRefuseRenaming(true);
    manager.setForcedMatchCode(7);

    QVERIFY(manager.createDevice("generator", false).isEmpty());
    QVERIFY(!manager.renameDevice(generator, "fresh"));
    QStringList identical;
    QCOMPARE(manager.findMatchingMethods(generator, scaler, "", "", &identical, nullptr), 7);
    QCOMPARE(identical.size(), 1);

    QCOMPARE(manager.callLog(), QStringList({"createDevice(generator,false)", "createDevice(scaler,false)",
                                             "createDevice(generator,false)", "renameDevice(generator1,fresh)"}));
}

void TestDeviceManagerContract::destructionAnnouncesExitOnly()
{
    auto* manager = new DeviceManager;
    const QString scaler = manager->createDevice("scaler", true);
    QVERIFY(manager->setDeviceThread(scaler, "worker"));
    QPointer<QObject> device = manager->getDevice(scaler);
    QSignalSpy exited(manager, SIGNAL(exit()));
    QSignalSpy removed(manager, SIGNAL(deviceRemoved(QString)));

    delete manager;

    QCOMPARE(exited.count(), 1);
    QCOMPARE(removed.count(), 0);
    QVERIFY(device.isNull());
}

QTEST_MAIN(TestDeviceManagerContract)
#include "tst_DeviceManager.moc"
