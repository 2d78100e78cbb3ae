#include "DeviceHandle.h"
#include "DeviceManager.h"
#include "DeviceProxy.h"
#include "TestSupport.h"
#include "YamlSerialiser.h"

#include <QBuffer>
#include <QRandomGenerator>
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
    void signalSignaturesAreExact();
    void createsDevicesByTypePath();
    void linksAreReportedToBothEnds();
    void findMatchingMethodsCodes_data();
    void findMatchingMethodsCodes();
    void convertedLinkDeliversConvertedValue();
    void loopOfDirectLinksDeliversLaterInsteadOfRecursing_data();
    void loopOfDirectLinksDeliversLaterInsteadOfRecursing();
    void valuesPilingUpInALoopAreDroppedWithAWarning();
    void renameRefusesTakenNamesInAnyCase();
    void removeDropsLinksAndReportsPeers();
    void aFreedNameIsTheNextFreshOne_data();
    void aFreedNameIsTheNextFreshOne();
    void allDescriptionsAtOnceAreEachDevicesDescription();
    void workerThreadDeviceReachesGuiThreadThroughItsHandle();
    void trackingReportsEachEmissionOnALink();
    void pasteRestoresParametersAndLinksBothWays();
    void pasteRenamesDevicesWhoseNameIsTaken();
    void saveLoadRoundTripKeepsGraph();
    void linkListsKeepTheirOrderThroughReloadAndPasteBack_data();
    void linkListsKeepTheirOrderThroughReloadAndPasteBack();
    void namesDifferingInANoncharacterSurviveSaveAndReload_data();
    void namesDifferingInANoncharacterSurviveSaveAndReload();
    void loadedDevicesNamedOddlyKeepTheirLinksUnderFreshNames_data();
    void loadedDevicesNamedOddlyKeepTheirLinksUnderFreshNames();
    void savedGraphKeepsWhichDevicesAreMeantToRun_data();
    void savedGraphKeepsWhichDevicesAreMeantToRun();
    void failedSaveKeepsTheOldFile();
    void malformedYamlChangesNothing();
    void shortParseCreatesOnlyRuntimeVariables();
    void failingDeviceReportsErrorState();
    void destructionAnnouncesExitOnly();
};

void TestDeviceManagerContract::signalSignaturesAreExact()
{
    DeviceManager manager;
    Receiver receiver;
    for (const char* signature :
         {"deviceRegistered(QString)", "deviceRemoved(QString)", "deviceRenamed(QString,QString)",
          "deviceChanged(QString)", "deviceInitialised(QString,bool)", "deviceStateChanged(QString, BaseDevice::DeviceState)",
          "deviceDescriptionChanged(QString,QString)", "onEmit(QString,QString)", "needUpdateTypes()", "initialised()",
          "exit()"})
        QVERIFY2(QObject::connect(&manager, QByteArray("2") + signature, &receiver, SLOT(deleteLater())), signature);
    for (const char* type : {"BaseDevice::DeviceState", "DoubleVec", "TypePair"})
        QVERIFY2(QMetaType::type(type) != QMetaType::UnknownType, type);
}

void TestDeviceManagerContract::createsDevicesByTypePath()
{
    DeviceManager manager;
    QSignalSpy registered(&manager, SIGNAL(deviceRegistered(QString)));
    QSignalSpy initialised(&manager, SIGNAL(deviceInitialised(QString,bool)));

    QCOMPARE(manager.createDevice("generator", true), QString("generator1"));
    QCOMPARE(registered.count(), 1);
    QCOMPARE(initialised.at(0).at(1).toBool(), true);
    QCOMPARE(manager.getDeviceState("generator1"), BaseDevice::Initialised);
    // A type is found by its name, its path or the types menu's object name
    QCOMPARE(manager.createDevice("maths/scaler", false), QString("scaler1"));
    QCOMPARE(manager.getDeviceState("scaler1"), BaseDevice::NotInitialised);
    QCOMPARE(manager.createDevice("/IO/serialPort", false), QString("serialPort1"));
    QVERIFY(manager.createDevice("/maths/nothing", false).isEmpty());
    // A type of another manager names the device after it
    manager.addNetworkManager("press");
    QCOMPARE(manager.createDevice("press/generator", false), QString("generator1@press"));
    QVERIFY(manager.getDeviceInfo("generator1@press").remote);
    QVERIFY(manager.renameDevice("generator1@press", "source"));
    QVERIFY(manager.getDeviceNames().contains("source@press"));
}

void TestDeviceManagerContract::linksAreReportedToBothEnds()
{
    DeviceManager manager;
    const QString source = manager.createDevice("generator", false);
    const QString target = manager.createDevice("scaler", false);
    QSignalSpy changed(&manager, SIGNAL(deviceChanged(QString)));

    QVERIFY(manager.addConnection(source, target, "valueChanged(double)", "input(double)"));

    QCOMPARE(changed.count(), 2);
    QCOMPARE(manager.getDeviceInfo(source).outgoingConnections.at(0).device, target);
    QCOMPARE(manager.getDeviceInfo(target).connectionStrings,
             QStringList({"this.input(double)<generator1.valueChanged(double)"}));
    QVERIFY(manager.removeConnection(source, target, "valueChanged(double)", "input(double)"));
    QCOMPARE(changed.count(), 4);
    QVERIFY(manager.getDeviceInfo(target).incomingConnections.isEmpty());

    // A plain join pairs the methods itself, and only where a pair exists
    const QString mean = manager.createDevice("vectorMean", false);
    QVERIFY(manager.addDeviceConnection(mean, target, "", ""));
    QVERIFY(!manager.addDeviceConnection(target, mean, "", ""));
    QCOMPARE(manager.getDeviceInfo(target).incomingConnections.at(0).signal, QString("mean(double)"));
    QVERIFY(manager.removeDeviceConnection(mean, target));
}

void TestDeviceManagerContract::findMatchingMethodsCodes_data()
{
    QTest::addColumn<QString>("sourceType");
    QTest::addColumn<QString>("targetType");
    QTest::addColumn<int>("code");
    QTest::newRow("no pair") << "logger" << "generator" << int(DeviceManager::NoMatch);
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
    QStringList identical;
    QStringList converted;
    manager.findMatchingMethods(source, target, "", "", &identical, &converted);
    if (code == DeviceManager::SingleMatch)
        QCOMPARE(identical, QStringList({"input(double)<valueChanged(double)"}));
    QCOMPARE(manager.findMatchingMethods("nobody", target, "", "", nullptr, nullptr), int(DeviceManager::NoMatch));
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

    QMetaObject::invokeMethod(manager.getDevice(names.first()), "input", Q_ARG(double, 1.0));

    // Then it goes round the loop once at once, and on later, once per turn of the event loop
    QCOMPARE(outputs.count(), 2);
    QTRY_VERIFY(outputs.count() >= 5);
    QCOMPARE(outputs.last().at(0).toDouble(), 1.0);
}

void TestDeviceManagerContract::valuesPilingUpInALoopAreDroppedWithAWarning()
{
    // Given a scaler wired to itself and through a second one back: every value comes back twice
    DeviceManager manager;
    const QString first = manager.createDevice("scaler", true);
    const QString second = manager.createDevice("scaler", true);
    QVERIFY(manager.addConnection(first, first, "output(double)", "input(double)"));
    QVERIFY(manager.addConnection(first, second, "output(double)", "input(double)"));
    QVERIFY(manager.addConnection(second, first, "output(double)", "input(double)"));
    TestSupport::LogCapture log;

    QMetaObject::invokeMethod(manager.getDevice(first), "input", Q_ARG(double, 0.0));

    // Then past the limit the waiting values are dropped, with one warning per link
    QTRY_VERIFY(log.containsFragment("dropped: 1000 are waiting already"));
    QVERIFY(log.messages(QtWarningMsg).size() <= 2);
}

void TestDeviceManagerContract::renameRefusesTakenNamesInAnyCase()
{
    DeviceManager manager;
    const QString first = manager.createDevice("scaler", false);
    const QString second = manager.createDevice("scaler", false);
    QSignalSpy renamed(&manager, SIGNAL(deviceRenamed(QString,QString)));

    for (const QString& refused : {second.toUpper(), QString("has blank"), QString("dot.ted"), QString("this")})
        QVERIFY2(!manager.renameDevice(first, refused), qPrintable(refused));
    QVERIFY(!manager.renameDevice("nobody", "fresh"));
    QVERIFY(renamed.isEmpty());

    QVERIFY(manager.renameDevice(first, "Scale"));
    QCOMPARE(renamed.count(), 1);
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
    QVERIFY(manager.getDeviceInfo(generator).name.isEmpty() && manager.getDeviceHandle(generator).isNull());
}

void TestDeviceManagerContract::aFreedNameIsTheNextFreshOne_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("freed");
    QTest::addColumn<QString>("renamedTo");
    QTest::addColumn<QString>("fifth");
    QTest::newRow("removed") << "scaler" << "scaler2" << QString() << "scaler5";
    QTest::newRow("renamed away") << "scaler" << "scaler2" << "kept" << "scaler5";
    QTest::newRow("removed, of another manager") << "press/scaler" << "scaler2@press" << QString() << "scaler5@press";
    QTest::newRow("renamed away, of another manager") << "press/scaler" << "scaler2@press" << "kept@press"
                                                      << "scaler5@press";
}

void TestDeviceManagerContract::aFreedNameIsTheNextFreshOne()
{
    // Given four devices of a type, the second named in another case, and a name asked for meanwhile
    QFETCH(QString, type);
    QFETCH(QString, freed);
    QFETCH(QString, renamedTo);
    QFETCH(QString, fifth);
    DeviceManager manager;
    manager.addNetworkManager("press");
    QStringList names;
    for (int i = 0; i < 4; ++i)
        names.append(manager.createDevice(type, false));
    QVERIFY(manager.renameDevice(freed, freed.section('@', 0, 0).toUpper()));
    const QString second = manager.getDeviceNames().at(1);
    const QStringList others{manager.createDevice("generator", false), manager.createDevice("adder", false)};

    // When the second goes, or takes a name of its own
    if (!renamedTo.isEmpty())
        QVERIFY(manager.renameDevice(second, "kept"));
    else
        QVERIFY(manager.removeDevice(second));

    // Then the list keeps the order of creation, and the next device of the type gets its name
    QStringList expected = names + others;
    if (!renamedTo.isEmpty())
        expected[1] = renamedTo;
    else
        expected.removeAt(1);
    QCOMPARE(manager.getDeviceNames(), expected);
    QCOMPARE(manager.createDevice(type, false), freed);
    QCOMPARE(manager.createDevice(type, false), fifth);
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

    const QVector<DeviceInfo> infos = manager.getDeviceInfos();

    // Then each is what asking for that device alone gives
    const QStringList names = manager.getDeviceNames();
    QCOMPARE(infos.size(), names.size());
    for (int i = 0; i < names.size(); ++i) {
        const DeviceInfo one = manager.getDeviceInfo(names.at(i));
        QCOMPARE(YamlSerialiser::serialise(infos.at(i)), YamlSerialiser::serialise(one));
        QCOMPARE(infos.at(i).connectionStrings, one.connectionStrings);
        QCOMPARE(infos.at(i).signals, one.signals);
        QCOMPARE(infos.at(i).initialised, one.initialised);
    }
    QCOMPARE(infos.at(2).connectionStrings, QStringList{"this.input(double)<middle.output(double)"});
}

void TestDeviceManagerContract::workerThreadDeviceReachesGuiThreadThroughItsHandle()
{
    DeviceManager manager;
    const QString scaler = manager.createDevice("scaler", false);
    QVERIFY(manager.setDeviceThread(scaler, "worker"));
    QVERIFY(manager.initialiseDevice(scaler));
    const QSharedPointer<DeviceHandle> handle = manager.getDeviceHandle(scaler);
    QVERIFY(handle->getObject()->thread() != QThread::currentThread());
    QCOMPARE(handle->getParamValue("factor"), QString("2"));
    Receiver receiver;
    QVERIFY(DeviceProxy::connect(handle->getObject(), "output(double)", &receiver, "input(double)"));

    QMetaObject::invokeMethod(handle->getObject(), "input", Qt::QueuedConnection, Q_ARG(double, 1.5));

    QTRY_COMPARE(receiver.values, QList<double>({3}));
    QCOMPARE(receiver.threads.at(0), QThread::currentThread());
    manager.removeDevice(scaler);
    QVERIFY(!handle->getObject());
    QCOMPARE(handle->getState(), BaseDevice::NotInitialised);
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
    QCOMPARE(emitted.at(0).at(1).toString(), logic);
}

void TestDeviceManagerContract::pasteRestoresParametersAndLinksBothWays()
{
    // Given a device linked both ways with a changed parameter, copied as device text and removed
    DeviceManager manager;
    const QString generator = manager.createDevice("generator", false);
    const QString scaler = manager.createDevice("scaler", true);
    const QString builder = manager.createDevice("vectorBuilder", false);
    QVERIFY(manager.addConnection(generator, scaler, "valueChanged(double)", "input(double)"));
    QVERIFY(manager.addConnection(scaler, builder, "output(double)", "append(double)"));
    QVERIFY(manager.setDeviceParam(scaler, "factor", "7"));
    const QString text = deviceText({manager.getDeviceInfo(scaler)});
    QVERIFY(manager.removeDevice(scaler));

    QCOMPARE(manager.pasteDevicesFromString(text, 500), QStringList({scaler}));

    const DeviceInfo info = manager.getDeviceInfo(scaler);
    QCOMPARE(info.paramValues.value("factor"), QString("7"));
    QVERIFY(info.initialised);
    QCOMPARE(info.incomingConnections.value(0).device, generator);
    QCOMPARE(info.outgoingConnections.value(0).device, builder);
}

void TestDeviceManagerContract::pasteRenamesDevicesWhoseNameIsTaken()
{
    DeviceManager manager;
    const QString scaler = manager.createDevice("scaler", false);
    const QString builder = manager.createDevice("vectorBuilder", false);
    QVERIFY(manager.addConnection(scaler, builder, "output(double)", "append(double)"));
    const QString text = deviceText({manager.getDeviceInfo(scaler), manager.getDeviceInfo(builder)});

    QCOMPARE(manager.pasteDevicesFromString(text, 500), QStringList({"scaler2", "vectorBuilder2"}));

    QCOMPARE(manager.getDeviceInfo("vectorBuilder2").incomingConnections.at(0).device, QString("scaler2"));
    QCOMPARE(manager.getDeviceInfo(builder).incomingConnections.size(), 1);
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

    QVERIFY(loaded.loadYamlConfig(path));

    QCOMPARE(initialised.count(), 1);
    QVERIFY(loaded.isInitialised());
    QVERIFY(loaded.getDeviceInfo("generator1").initialised && !loaded.getDeviceInfo("scaler1").initialised);
    QCOMPARE(loaded.getDeviceInfo("scaler1").thread, QString("worker"));
    QCOMPARE(loaded.toYamlString(), savedText);
}

// A device lists its links in the order they were made; the text must bring every list back
// in its order, whichever device of a link comes first in the text.
void TestDeviceManagerContract::linkListsKeepTheirOrderThroughReloadAndPasteBack_data()
{
    QTest::addColumn<bool>("pastedBack");
    QTest::newRow("saved and loaded") << false;
    QTest::newRow("every device removed and its description pasted back") << true;
}

void TestDeviceManagerContract::linkListsKeepTheirOrderThroughReloadAndPasteBack()
{
    QFETCH(bool, pastedBack);
    // Given a graph of 30 devices joined at random, a few of them to themselves
    struct Kind
    {
        const char* type;
        const char* signal;
        const char* slot;
    };
    const Kind kinds[] = {{"scaler", "output(double)", "input(double)"},
                          {"adder", "sum(double)", "setB(double)"},
                          {"generator", "valueChanged(double)", nullptr}};
    DeviceManager manager;
    QStringList names;
    QList<int> kindOf;
    for (int i = 0; i < 30; ++i) {
        kindOf.append(i % 3);
        names.append(manager.createDevice(kinds[i % 3].type, false));
    }
    QRandomGenerator random(52);
    for (int made = 0; made < 200;) {
        const int source = int(random.bounded(30));
        const int target = int(random.bounded(30));
        const Kind& to = kinds[kindOf.at(target)];
        if (to.slot && manager.addConnection(names.at(source), names.at(target), kinds[kindOf.at(source)].signal, to.slot))
            ++made;
    }
    const QString saved = manager.toYamlString();

    // When the graph is loaded again, or every device removed and pasted back as the map's undo does
    DeviceManager loaded;
    if (pastedBack) {
        const QString text = deviceText(QList<DeviceInfo>::fromVector(manager.getDeviceInfos()));
        for (const QString& name : qAsConst(names))
            QVERIFY(manager.removeDevice(name));
        QCOMPARE(manager.pasteDevicesFromString(text, 0), names);
    } else {
        QVERIFY(loaded.loadYamlFromString(saved));
    }

    // Then the graph saves to the very same text
    QCOMPARE((pastedBack ? manager : loaded).toYamlString(), saved);
}

// Written as U+FFFD, two such names were saved as one key: the second device came back under
// another name, and the link to it was lost. Read without a leading U+FEFF, such a name came
// back as its look-alike, renaming the device that bore that one.
void TestDeviceManagerContract::namesDifferingInANoncharacterSurviveSaveAndReload_data()
{
    const uint astral = 0x1FFFE;
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::newRow("U+FFFE beside U+FFFF") << QStringLiteral("g\uFFFE") << QStringLiteral("g\uFFFF");
    QTest::newRow("U+FFFE beside U+FFFD") << QStringLiteral("g\uFFFE") << QString("g\uFFFD");
    QTest::newRow("U+FDD0 beside U+FFFD") << QStringLiteral("g\uFDD0") << QString("g\uFFFD");
    QTest::newRow("U+1FFFE beside U+FFFD") << "g" + QString::fromUcs4(&astral, 1) << QString("g\uFFFD");
    QTest::newRow("a leading U+FEFF beside the name without it") << QStringLiteral("\uFEFFlamp") << QString("lamp");
    QTest::newRow("U+FEFF alone") << QStringLiteral("\uFEFF") << QString("lamp");
    QTest::newRow("a lone surrogate") << QString("g") + QChar(0xD800) << QString("g?");
}

void TestDeviceManagerContract::namesDifferingInANoncharacterSurviveSaveAndReload()
{
    QFETCH(QString, first);
    QFETCH(QString, second);
    DeviceManager manager;
    const QString generator = manager.createDevice("generator", false);
    const QString scaler = manager.createDevice("scaler", false);
    QVERIFY(manager.addConnection(generator, scaler, "valueChanged(double)", "input(double)"));
    manager.renameDevice(scaler, second);
    TestSupport::LogCapture log;
    QVERIFY(!manager.renameDevice(generator, first));
    QCOMPARE(log.messages().size(), 1);

    DeviceManager loaded;
    QVERIFY(loaded.loadYamlFromString(manager.toYamlString()));

    QCOMPARE(loaded.getDeviceNames(), manager.getDeviceNames());
    const QString target = manager.getDeviceNames().value(1);
    QCOMPARE(loaded.getDeviceInfo(target).incomingConnections.value(0).device, generator);

    // Nor does a type or a networked manager so named make such a name
    manager.registerDeviceType(QStringLiteral("gen\uFFFE"), DeviceTypeInfo(), [] { return static_cast<BaseDevice*>(nullptr); });
    manager.addNetworkManager(QStringLiteral("far\uFFFF"));
    QVERIFY(!manager.getDeviceTypes().contains(QStringLiteral("gen\uFFFE")));
    QVERIFY(manager.createDevice(QStringLiteral("gen\uFFFE"), false).isEmpty());
    QVERIFY(manager.createDevice(QStringLiteral("far\uFFFF/generator"), false).isEmpty());
}

// A text another writer made (a noncharacter escaped) or an older save (one name twice): every
// device comes back, and each link stays with the device the text gave it to.
void TestDeviceManagerContract::loadedDevicesNamedOddlyKeepTheirLinksUnderFreshNames_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QString>("linked");
    QTest::addColumn<QString>("warning");
    const QString linkedGenerator = "  type: generator\n  outgoing:\n    - \"s.input(double)<this.valueChanged(double)\"\n";
    QTest::newRow("noncharacter escaped")
        << "\"g\\uFFFE\":\n" + linkedGenerator + "s:\n  type: scaler\n"
        << QStringList({"generator1", "s"}) << "generator1" << "is not valid; the device is named";
    QTest::newRow("noncharacter escaped in the manager's part")
        << "\"g@net\\uFFFE\":\n" + linkedGenerator + "s:\n  type: scaler\n"
        << QStringList({"generator1@net_", "s"}) << "generator1@net_" << "is not valid; the device is named";
    QTest::newRow("one name twice")
        << "\"g\\uFFFD\":\n" + linkedGenerator + "\"g\\uFFFD\":\n  type: generator\ns:\n  type: scaler\n"
        << QStringList({"g\uFFFD", "generator1", "s"}) << "g\uFFFD" << "comes twice; the second device is named";
    QTest::newRow("fresh names passing over the names to come")
        << "\"g.1\":\n" + linkedGenerator + "\"g.2\":\n  type: generator\nGenerator1:\n  type: generator\n"
               "generator3:\n  type: generator\ns:\n  type: scaler\n"
        << QStringList({"generator2", "generator4", "Generator1", "generator3", "s"}) << "generator2"
        << "is not valid; the device is named";
}

void TestDeviceManagerContract::loadedDevicesNamedOddlyKeepTheirLinksUnderFreshNames()
{
    QFETCH(QString, text);
    QFETCH(QStringList, names);
    QFETCH(QString, linked);
    QFETCH(QString, warning);
    DeviceManager manager;
    TestSupport::LogCapture log;

    QVERIFY(manager.loadYamlFromString("config_version: 2\n" + text));

    QCOMPARE(manager.getDeviceNames(), names);
    const QList<Connection> links = manager.getDeviceInfo("s").incomingConnections;
    QCOMPARE(links.size(), 1);
    QCOMPARE(links.first().device, linked);
    QVERIFY(log.containsFragment(warning));
}

void TestDeviceManagerContract::savedGraphKeepsWhichDevicesAreMeantToRun_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<bool>("storedInitialised");
    QTest::addColumn<QString>("userCall");
    QTest::addColumn<bool>("triedAfterReload");
    QTest::addColumn<BaseDevice::DeviceState>("stateAfterReload");
    QTest::newRow("failed initialisation") << "faulty" << true << "" << true << BaseDevice::DeinitialisedWithError;
    QTest::newRow("failed again when retried") << "faulty" << true << "initialiseDevice" << true
                                               << BaseDevice::DeinitialisedWithError;
    QTest::newRow("switched off by the user") << "generator" << true << "deinitialiseDevice" << false
                                              << BaseDevice::NotInitialised;
    QTest::newRow("switched off in the file") << "faulty" << false << "" << false << BaseDevice::NotInitialised;
    QTest::newRow("switched on by the user") << "scaler" << false << "initialiseDevice" << true
                                             << BaseDevice::Initialised;
}

void TestDeviceManagerContract::savedGraphKeepsWhichDevicesAreMeantToRun()
{
    QFETCH(QString, type);
    QFETCH(bool, storedInitialised);
    QFETCH(QString, userCall);
    QFETCH(bool, triedAfterReload);
    QFETCH(BaseDevice::DeviceState, stateAfterReload);
    // Given a loaded graph whose device was initialised as the file said, and then as the user asked
    QTemporaryDir dir;
    const QString path = dir.filePath("graph.yaml");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QString("config_version: 2\ndevice1:\n  type: %1\n  initialised: %2\nother1:\n  type: scaler\n")
                   .arg(type, storedInitialised ? "true" : "false")
                   .toUtf8());
    file.close();
    DeviceManager manager;
    QVERIFY(manager.loadYamlConfig(path));
    if (!userCall.isEmpty())
        QVERIFY(QMetaObject::invokeMethod(&manager, userCall.toLatin1(), Q_ARG(QString, "device1")));

    // When another device is edited and the graph saved
    QVERIFY(manager.setDeviceParam("other1", "factor", "3"));
    QVERIFY(manager.saveYamlConfig());

    // Then the next load tries the device exactly when the user meant it to run
    DeviceManager reloaded;
    QSignalSpy initialised(&reloaded, SIGNAL(deviceInitialised(QString,bool)));
    QVERIFY(reloaded.loadYamlConfig(path));
    int tries = 0;
    for (const QList<QVariant>& answer : qAsConst(initialised))
        tries += answer.at(0).toString() == "device1" ? 1 : 0;
    QCOMPARE(tries, triedAfterReload ? 1 : 0);
    QCOMPARE(reloaded.getDeviceState("device1"), stateAfterReload);
    QCOMPARE(reloaded.getDeviceInfo("other1").paramValues.value("factor"), QString("3"));
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

void TestDeviceManagerContract::malformedYamlChangesNothing()
{
    DeviceManager manager;
    manager.createDevice("generator", false);
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

void TestDeviceManagerContract::shortParseCreatesOnlyRuntimeVariables()
{
    DeviceManager manager;
    QString refused = "runtime_variable(level,PUT)";
    QVERIFY(!manager.shortParse(refused));
    QCOMPARE(refused, QString("runtime_variable(level,PUT)"));
    QString setText = "runtime_variable(level,SET)";
    QString getText = "runtime_variable(level,GET)";

    QVERIFY(manager.shortParse(setText) && manager.shortParse(getText));

    QCOMPARE(setText, QString("runtime_variable1"));
    QCOMPARE(manager.getDeviceInfo(getText).paramValues.value("mode"), QString("GET"));
    QVERIFY(manager.initialiseDevice(setText) && manager.initialiseDevice(getText));
    QSignalSpy value(manager.getDevice(getText), SIGNAL(value(double)));
    QMetaObject::invokeMethod(manager.getDevice(setText), "set", Q_ARG(double, 2.5));
    QCOMPARE(value.value(0).value(0).toDouble(), 2.5);
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
