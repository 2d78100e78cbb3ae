#include "MetaDevice.h"
#include "MetaDeviceFile.h"

#include <QtTest>

namespace {

DeviceInfo device(const QString& name)
{
    DeviceInfo info;
    info.name = name;
    info.type = QStringLiteral("counter");
    info.paramValues.insert(QStringLiteral("step"), QStringLiteral("2"));
    return info;
}

} // namespace

class TestMetaDeviceFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void textsReadBackUnchanged_data();
    void textsReadBackUnchanged();
    void keysOfASectionAreDistinct();
};

void TestMetaDeviceFile::textsReadBackUnchanged_data()
{
    QTest::addColumn<QString>("deviceName");
    QTest::addColumn<QString>("item");
    QTest::newRow("colon and blank") << "pump" << "gain: max";
    QTest::newRow("hash") << "pump #2" << "# note";
    QTest::newRow("quotes") << "\"pump\"" << "it's \"quoted\"";
    QTest::newRow("brackets") << "[pump]" << "{range} [0, 1]";
    QTest::newRow("indicators") << "- pump" << "? key: & *alias !tag %";
    QTest::newRow("null and booleans") << "null" << "~";
    QTest::newRow("line break and tab") << "pu\nmp" << "a\tb\nc";
    QTest::newRow("dots and non-ASCII") << "насос@host.lan" << "уровень(double)";
    // Written as yaml-cpp writes them, these did not read back or not at all.
    QTest::newRow("carriage return, line separator") << "pump\r" << "a\u2028b\x7f";
    QTest::newRow("item escaped past 1,024 characters") << "pump" << QString(300, QChar(1));
}

void TestMetaDeviceFile::textsReadBackUnchanged()
{
    QFETCH(QString, deviceName);
    QFETCH(QString, item);
    // Given one export of each kind for a device of that name
    MetaDeviceFile file;
    file.hasExportBlock = true;
    file.slotExports = {{deviceName, item}};
    file.signalExports = {{deviceName, item + "()"}};
    file.parameterExports = {{deviceName, item}};
    file.devices = {device(deviceName)};

    // When the text is read back as a meta device (malformed YAML would throw)
    const QByteArray text = file.text();
    const MetaDevice::Description description = MetaDevice::parse(QString::fromUtf8(text));

    // Then every key, device, item and the device itself are as written
    QCOMPARE(description.slotExports.size(), 1);
    QCOMPARE(description.slotExports.at(0).key, item);
    QCOMPARE(description.slotExports.at(0).device, deviceName);
    QCOMPARE(description.slotExports.at(0).item, item);
    QCOMPARE(description.signalExports.value(0).item, item + "()");
    QCOMPARE(description.parameterExports.value(0).entry(), deviceName + "." + item);
    QCOMPARE(description.devices.size(), 1);
    QCOMPARE(description.devices.at(0).name, deviceName);
    QCOMPARE(description.devices.at(0).paramValues.value("step"), QString("2"));
}

void TestMetaDeviceFile::keysOfASectionAreDistinct()
{
    // The same item on two devices, and an item that reads like another export's entry
    const QList<MetaDeviceFile::Export> exports{{"a", "reset()"}, {"b", "reset()"}, {"c", "a.reset()"}, {"a", "step"}};
    QCOMPARE(MetaDeviceFile::sectionKeys(exports), (QStringList{"a.reset()", "b.reset()", "a.reset() (2)", "step"}));
}

QTEST_MAIN(TestMetaDeviceFile)
#include "tst_MetaDeviceFile.moc"
