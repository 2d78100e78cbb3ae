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
};

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

QTEST_MAIN(tst_MetaDevices)
#include "tst_MetaDevices.moc"
