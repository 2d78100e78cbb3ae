#include "DeviceHandle.h"
#include "DeviceManager.h"
#include "TestSupport.h"

#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

// Meta-device files imported as device types: what they make, and what they may not replace.
class tst_MetaDevices : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void parseMetaDeviceRegistersType();
    void metaDeviceNeverReplacesABuiltInType_data();
    void metaDeviceNeverReplacesABuiltInType();
    void importUnderAnotherSpelling_data();
    void importUnderAnotherSpelling();
    void metaTypeNameMustReadBack_data();
    void metaTypeNameMustReadBack();
    void hostTypeNameMustReadBack_data();
    void hostTypeNameMustReadBack();
    void hostTypeIsMadeAsListed_data();
    void hostTypeIsMadeAsListed();
};

namespace {

/// Writes at path a meta device of one scaler "s" exporting its factor, set to factor unless empty.
bool writeScalerMetaDevice(const QString& path, const QByteArray& factor = QByteArray())
{
    QFile meta(path);
    if (!meta.open(QIODevice::WriteOnly))
        return false;
    QByteArray text = "export:\n  parameters:\n    factor: s.factor\n\nconfig_version: 2\ns:\n  type: scaler\n";
    if (!factor.isEmpty())
        text += "  params:\n    factor: \"" + factor + "\"\n";
    return meta.write(text) == text.size();
}

// What a type's device, with a setting of the user's, becomes after its graph is saved and
// loaded again by a manager that prepare() gave the same types.
DeviceInfo savedAndLoaded(DeviceManager& manager, const QString& type,
                          const std::function<void(DeviceManager&)>& prepare)
{
    QTemporaryDir dir;
    const QString name = manager.createDevice(type, false);
    manager.setDeviceParam(name, "s.factor", "9");
    manager.applyDeviceParams(name);
    if (!manager.saveYamlConfig(dir.filePath("graph.yaml")))
        return DeviceInfo();
    DeviceManager reloaded;
    prepare(reloaded);
    reloaded.loadYamlConfig(dir.filePath("graph.yaml"));
    return reloaded.getDeviceInfo(name);
}

// Type names, and whether a type so named is taken: only if its devices come back from a saved
// graph as its own.
void addTypeNameRows()
{
    QTest::addColumn<QString>("typeName");
    QTest::addColumn<bool>("taken");
    const QChar byteOrderMark(0xFEFF);
    QTest::newRow("a byte order mark before a framework type's name") << byteOrderMark + QString("scaler") << false;
    QTest::newRow("a leading byte order mark") << byteOrderMark + QString("pump") << false;
    QTest::newRow("a lone high surrogate") << QString("pu") + QChar(0xD800) + "mp" << false;
    QTest::newRow("a lone low surrogate at the end") << QString("pump") + QChar(0xDC00) << false;
    QTest::newRow("a noncharacter") << QString("pump") + QChar(0xFDD0) << false;
    QTest::newRow("a byte order mark inside") << QString("pu") + byteOrderMark + "mp" << true;
    QTest::newRow("a control character") << QString("pu\x01mp") << true;
    QTest::newRow("a NUL") << QString("pu") + QChar(0) + "mp" << true;
}

} // namespace

void tst_MetaDevices::parseMetaDeviceRegistersType()
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
    QVERIFY(!manager.parseMetaDevice(file.fileName(), QStringLiteral("pump\uFFFE")));

    QCOMPARE(types.count(), 1);
    const QString name = manager.createDevice("pump", false);
    QCOMPARE(manager.getDeviceHandle(name)->getParamValue("scaler1.factor"), QString("3"));
}

void tst_MetaDevices::metaDeviceNeverReplacesABuiltInType_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("typeName");
    QTest::addColumn<bool>("imported");
    QTest::newRow("a file named after a framework type") << "scaler.yml" << "" << false;
    QTest::newRow("a framework type as the caller's name") << "pump.yml" << "scaler" << false;
    QTest::newRow("a host's type as the caller's name") << "pump.yml" << "lamp" << false;
    QTest::newRow("a meta device imported again") << "pump.yml" << "" << true;
}

void tst_MetaDevices::metaDeviceNeverReplacesABuiltInType()
{
    QFETCH(QString, file);
    QFETCH(QString, typeName);
    QFETCH(bool, imported);
    // Given a host's own type, a meta device imported before, and a meta-device file
    QTemporaryDir dir;
    auto writeMetaDevice = [&dir](const QString& name, const char* factor) {
        QFile meta(dir.filePath(name));
        QVERIFY(meta.open(QIODevice::WriteOnly));
        meta.write(QByteArray("export:\n  parameters:\n    factor: scaler1.factor\n\nconfig_version: 2\nscaler1:\n"
                              "  type: scaler\n  params:\n    factor: \"")
                   + factor + "\"\n");
    };
    writeMetaDevice("earlier.yml", "3");
    writeMetaDevice(file, "7");
    DeviceManager manager;
    manager.registerDeviceType("lamp", DeviceTypeInfo(), [] { return new BaseDevice; });
    QVERIFY(manager.parseMetaDevice(dir.filePath("earlier.yml"), "pump"));
    TestSupport::LogCapture log;

    // When the file is imported
    const QString type = typeName.isEmpty() ? QFileInfo(file).completeBaseName() : typeName;
    QCOMPARE(manager.parseMetaDevice(dir.filePath(file), typeName), imported);

    // Then a built-in type still makes its own devices, and a meta device replaces the earlier one
    const DeviceInfo made = manager.getDeviceInfo(manager.createDevice(type, false));
    QCOMPARE(made.paramValues.contains("exportedSlots"), imported);
    if (imported)
        QCOMPARE(made.paramValues.value("scaler1.factor"), QString("7"));
    QCOMPARE(log.containsFragment("would replace the device type"), !imported);
}

void tst_MetaDevices::importUnderAnotherSpelling_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("typeName");
    // The type registered; empty when the import is refused.
    QTest::addColumn<QString>("taken");
    // The built-in type the spelling names, which the refusal names; empty when none.
    QTest::addColumn<QString>("builtIn");
    QTest::newRow("a file named after a framework type with a leading space") << " scaler.yml" << "" << "" << "scaler";
    QTest::newRow("a file named after a framework type with a trailing space") << "scaler .yml" << "" << "" << "scaler";
    QTest::newRow("a framework type's path") << "pump.yml" << "General/generator" << "" << "generator";
    QTest::newRow("a framework type with a leading slash") << "pump.yml" << "/generator" << "" << "generator";
    QTest::newRow("a framework type under another category") << "pump.yml" << "maths/generator" << "" << "generator";
    QTest::newRow("a host's type with a leading space") << "pump.yml" << " lamp" << "" << "lamp";
    QTest::newRow("a host's type's path") << "pump.yml" << "General/lamp" << "" << "lamp";
    QTest::newRow("a framework type of a networked manager") << "pump.yml" << "press/scaler" << "" << "scaler";
    QTest::newRow("a name holding a slash") << "pump.yml" << "vendor/pump" << "" << "";
    QTest::newRow("a name ending in a slash") << "pump.yml" << "pump/" << "" << "";
    QTest::newRow("a file with a leading space") << " pump.yml" << "" << "pump" << "";
    QTest::newRow("a name with white space around it") << "pump.yml" << "\tpump " << "pump" << "";
}

void tst_MetaDevices::importUnderAnotherSpelling()
{
    QFETCH(QString, file);
    QFETCH(QString, typeName);
    QFETCH(QString, taken);
    QFETCH(QString, builtIn);
    // Given a host's own type, a networked manager and a meta-device file
    QTemporaryDir dir;
    const QString metaPath = dir.filePath(file);
    QVERIFY(writeScalerMetaDevice(metaPath, "3"));
    auto import = [&](DeviceManager& manager) {
        manager.registerDeviceType("lamp", DeviceTypeInfo(), [] { return new BaseDevice; });
        manager.addNetworkManager("press");
        return manager.parseMetaDevice(metaPath, typeName);
    };
    DeviceManager manager;
    TestSupport::LogCapture log;

    // When the file is imported under that spelling
    QCOMPARE(import(manager), !taken.isEmpty());

    // Then every type makes its own devices, by its name and by its path in the New device menu
    QCOMPARE(log.containsFragment("would replace the device type " + builtIn + " "), !builtIn.isEmpty());
    const QStringList types = manager.getDeviceTypes(false);
    const QStringList paths = manager.getDeviceTypes(true);
    QCOMPARE(types.contains(taken), !taken.isEmpty());
    for (int i = 0; i < types.size(); ++i) {
        for (const QString& spelling : {types.at(i), QLatin1Char('/') + paths.at(i)}) {
            const DeviceInfo made = manager.getDeviceInfo(manager.createDevice(spelling, false));
            QCOMPARE(made.type, types.at(i));
            QCOMPARE(made.paramValues.contains("exportedSlots"), made.type == taken);
        }
    }
    const QString spelling = typeName.isEmpty() ? QFileInfo(file).completeBaseName() : typeName;
    QCOMPARE(manager.getDeviceInfo(manager.createDevice(spelling, false)).type, taken.isEmpty() ? builtIn : taken);
    if (taken.isEmpty())
        return;

    // And what is taken, with its setting changed, saves and loads back as itself
    const QString name = manager.createDevice("/meta/" + taken, false);
    QVERIFY(manager.setDeviceParam(name, "s.factor", "9"));
    QVERIFY(manager.applyDeviceParams(name));
    const QString saved = manager.toYamlString();
    DeviceManager reloaded;
    QVERIFY(import(reloaded));
    QVERIFY(reloaded.loadYamlFromString(saved));
    QCOMPARE(reloaded.getDeviceInfo(name).type, taken);
    QCOMPARE(reloaded.getDeviceInfo(name).paramValues.value("s.factor"), QString("9"));
    QCOMPARE(reloaded.toYamlString(), saved);
}

void tst_MetaDevices::metaTypeNameMustReadBack_data()
{
    addTypeNameRows();
    // A meta device's name is taken without the white space around it.
    QTest::newRow("a byte order mark after white space") << QString(" ") + QChar(0xFEFF) + "pump" << false;
}

void tst_MetaDevices::metaTypeNameMustReadBack()
{
    QFETCH(QString, typeName);
    QFETCH(bool, taken);
    // Given a graph with a scaler set by the user, and a meta-device file
    QTemporaryDir dir;
    const QString metaPath = dir.filePath("meta.yml");
    QVERIFY(writeScalerMetaDevice(metaPath));
    DeviceManager manager;
    const QString scaler = manager.createDevice("scaler", false);
    QVERIFY(manager.setDeviceParam(scaler, "factor", "5") && manager.applyDeviceParams(scaler));
    const QString graph = manager.toYamlString();
    TestSupport::LogCapture log;

    // When the file is imported under the name
    QCOMPARE(manager.parseMetaDevice(metaPath, typeName), taken);

    // Then a name that does not read back is refused, and scalers stay the framework's own
    QCOMPARE(log.containsFragment("does not read back from a saved graph"), !taken);
    QCOMPARE(manager.getDeviceTypes().contains(typeName.trimmed()), taken);
    QCOMPARE(manager.toYamlString(), graph);
    QVERIFY(!manager.getDeviceInfo(manager.createDevice("scaler", false)).paramValues.contains("exportedSlots"));

    // And a name taken gives its devices back as its own, with their settings
    if (taken) {
        const auto prepare = [&](DeviceManager& other) { other.parseMetaDevice(metaPath, typeName); };
        const DeviceInfo reloaded = savedAndLoaded(manager, typeName.trimmed(), prepare);
        QCOMPARE(reloaded.type, typeName.trimmed());
        QCOMPARE(reloaded.paramValues.value("s.factor"), QString("9"));
    }
}

void tst_MetaDevices::hostTypeNameMustReadBack_data()
{
    addTypeNameRows();
}

void tst_MetaDevices::hostTypeNameMustReadBack()
{
    QFETCH(QString, typeName);
    QFETCH(bool, taken);
    const auto registerType = [&typeName](DeviceManager& manager) {
        manager.registerDeviceType(typeName, DeviceTypeInfo(), [] { return new BaseDevice; });
    };
    DeviceManager manager;
    registerType(manager);

    // Only a name that reads back is registered, and its devices come back as its own
    QCOMPARE(manager.getDeviceTypes().contains(typeName), taken);
    if (taken)
        QCOMPARE(savedAndLoaded(manager, typeName, registerType).type, typeName);
}

// A registration: "type", "category|type", "@manager" for a networked manager added then, or
// "meta:type" for a meta device imported under that name.
void tst_MetaDevices::hostTypeIsMadeAsListed_data()
{
    QTest::addColumn<QStringList>("registrations");
    // The host's types listed in the end; the others are refused.
    QTest::addColumn<QStringList>("taken");
    QTest::newRow("a framework type with a leading slash") << QStringList{"/counter"} << QStringList();
    QTest::newRow("a framework type's path with a leading slash") << QStringList{"/maths/scaler"} << QStringList();
    QTest::newRow("a framework type's path") << QStringList{"maths/scaler"} << QStringList();
    QTest::newRow("a framework type with a trailing space") << QStringList{"serialPort "} << QStringList();
    QTest::newRow("a leading space") << QStringList{" pump"} << QStringList();
    QTest::newRow("a trailing tab") << QStringList{"pump2\t"} << QStringList();
    QTest::newRow("a name of its own") << QStringList{"hostpump"} << QStringList{"hostpump"};
    QTest::newRow("a name holding a slash") << QStringList{"maths/logger"} << QStringList{"maths/logger"};
    QTest::newRow("a name holding a slash, in a category") << QStringList{"debug|maths/logger"}
                                                            << QStringList{"maths/logger"};
    QTest::newRow("a framework type's name after a slash") << QStringList{"foo/scaler", "vendor/counter"}
                                                           << QStringList{"foo/scaler", "vendor/counter"};
    QTest::newRow("a name ending in a slash") << QStringList{"pump/"} << QStringList{"pump/"};
    QTest::newRow("a networked manager named later as its first part") << QStringList{"late/scaler", "@late"}
                                                                       << QStringList{"late/scaler"};
    QTest::newRow("a name, then a type listed under it") << QStringList{"maths2/valve", "maths2|valve"}
                                                         << QStringList{"maths2/valve"};
    QTest::newRow("a type, then a name that is its path") << QStringList{"maths2|valve", "maths2/valve"}
                                                          << QStringList{"valve"};
    QTest::newRow("two types listed under one path") << QStringList{"a|b/valve", "a/b|valve"} << QStringList{"b/valve"};
    QTest::newRow("a host type named as a meta device's path, then the meta device")
        << QStringList{"meta/pump", "meta:pump"} << QStringList{"meta/pump"};
    QTest::newRow("a meta device, then a host type named as its path") << QStringList{"meta:pump", "meta/pump"}
                                                                        << QStringList{"pump"};
}

void tst_MetaDevices::hostTypeIsMadeAsListed()
{
    QFETCH(QStringList, registrations);
    QFETCH(QStringList, taken);
    QTemporaryDir dir;
    const QString metaPath = dir.filePath("meta.yml");
    QVERIFY(writeScalerMetaDevice(metaPath));
    DeviceManager manager;
    const QStringList frameworkTypes = manager.getDeviceTypes();
    TestSupport::LogCapture log;

    // When a host registers its types, in that order
    for (const QString& registration : registrations) {
        if (registration.startsWith('@')) {
            manager.addNetworkManager(registration.mid(1));
            continue;
        }
        if (registration.startsWith(QLatin1String("meta:"))) {
            manager.parseMetaDevice(metaPath, registration.mid(5));
            continue;
        }
        DeviceTypeInfo info;
        if (registration.contains('|'))
            info.categories = registration.section('|', 0, 0).split('/');
        manager.registerDeviceType(registration.section('|', -1), info, [] { return new BaseDevice; });
    }

    // Then each is refused with one line saying so, or listed
    const QStringList types = manager.getDeviceTypes(false);
    QCOMPARE(types.mid(frameworkTypes.size()), taken);
    const int refused = int(registrations.filter(QRegularExpression("^[^@]")).size()) - taken.size();
    QCOMPARE(log.messages().filter("; not registered").size(), refused);
    // And every type listed is made as itself by its name and by its path as the New device menu gives it
    const QStringList paths = manager.getDeviceTypes(true);
    for (int i = 0; i < types.size(); ++i) {
        for (const QString& spelling : {types.at(i), QLatin1Char('/') + paths.at(i)})
            QCOMPARE(manager.getDeviceInfo(manager.createDevice(spelling, false)).type, types.at(i));
    }
    // And the framework's types are still made by their names and paths
    for (const char* spelling : {"counter", "/counter", "maths/scaler", "/maths/scaler", "serialPort "})
        QCOMPARE(manager.getDeviceInfo(manager.createDevice(spelling, false)).type, QString(spelling).section('/', -1).trimmed());
}

QTEST_MAIN(tst_MetaDevices)
#include "tst_MetaDevices.moc"
