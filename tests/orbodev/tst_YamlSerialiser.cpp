#include "YamlSerialiser.h"

#include <QBuffer>
#include <QtTest>

class TestYamlSerialiser : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void writesVersionIntoUnopenedBuffer();
    void roundTripKeepsDevice();
    void headerAndDevicesFormOneDocument();
    void skipsExportBlockOfMetaDevice();
    void newerVersionClearsVersionFlag();
    void malformedTextThrows_data();
    void malformedTextThrows();
};

void TestYamlSerialiser::writesVersionIntoUnopenedBuffer()
{
    QBuffer buffer;
    QVERIFY(!buffer.isOpen());

    QVERIFY(YamlSerialiser::writeConfigVersion(&buffer));

    QVERIFY(buffer.isOpen());
    QCOMPARE(buffer.data(), QByteArray("config_version: 2\n"));
    QVERIFY(!YamlSerialiser::writeConfigVersion(nullptr));
}

void TestYamlSerialiser::roundTripKeepsDevice()
{
    DeviceInfo info;
    info.name = "scaler1";
    info.type = "scaler";
    info.initialised = true;
    info.thread = "worker";
    info.description = "Gain: \"x2\"";
    info.paramValues.insert("factor", "2");
    info.paramValues.insert("note", "a: b # not a comment");
    info.incomingConnections.append(Connection{"generator1", "valueChanged(double)", "input(double)"});
    info.outgoingConnections.append(Connection{"logger1", "output(double)", "input(double)"});

    bool versionOk = false;
    const QList<DeviceInfo> parsed = YamlSerialiser::parseYamlFromString(YamlSerialiser::serialise(info), &versionOk);

    QVERIFY(versionOk);
    QCOMPARE(parsed.size(), 1);
    const DeviceInfo& back = parsed.first();
    QCOMPARE(back.name, info.name);
    QCOMPARE(back.type, info.type);
    QVERIFY(back.initialised);
    QCOMPARE(back.thread, info.thread);
    QCOMPARE(back.description, info.description);
    QCOMPARE(back.paramValues, info.paramValues);
    QCOMPARE(back.connectionStrings, QStringList({"this.input(double)<generator1.valueChanged(double)"}));
    QCOMPARE(back.incomingConnections, info.incomingConnections);
    QCOMPARE(back.outgoingConnections, info.outgoingConnections);
}

void TestYamlSerialiser::headerAndDevicesFormOneDocument()
{
    QBuffer header;
    YamlSerialiser::writeConfigVersion(&header);
    DeviceInfo first;
    first.name = "a";
    first.type = "counter";
    DeviceInfo second;
    second.name = "b";
    second.type = "toggle";

    const QString text = QString::fromUtf8(header.data()) + YamlSerialiser::serialise(first)
        + YamlSerialiser::serialise(second);
    const QList<DeviceInfo> parsed = YamlSerialiser::parseYamlFromString(text, nullptr);

    QCOMPARE(parsed.size(), 2);
    QCOMPARE(parsed.at(0).name, QString("a"));
    QCOMPARE(parsed.at(1).type, QString("toggle"));
}

void TestYamlSerialiser::skipsExportBlockOfMetaDevice()
{
    const QString text = "export:\n  slots:\n    input: s.input(double)\n  signals:\n  parameters:\n\n"
                         "config_version: 2\ns:\n  type: scaler\n";
    const QList<DeviceInfo> parsed = YamlSerialiser::parseYamlFromString(text, nullptr);
    QCOMPARE(parsed.size(), 1);
    QCOMPARE(parsed.at(0).name, QString("s"));
}

void TestYamlSerialiser::newerVersionClearsVersionFlag()
{
    bool versionOk = true;
    YamlSerialiser::parseYamlFromString("config_version: 99\na:\n  type: counter\n", &versionOk);
    QVERIFY(!versionOk);
}

void TestYamlSerialiser::malformedTextThrows_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("broken flow") << "a: [1, 2\n";
    QTest::newRow("bad indentation") << "a:\n  type: x\n b: y\n";
    QTest::newRow("list at top") << "- a\n- b\n";
    QTest::newRow("device without type") << "a:\n  params:\n    x: 1\n";
    QTest::newRow("malformed link") << "a:\n  type: counter\n  connections:\n    - nonsense\n";
    QTest::newRow("params not a map") << "a:\n  type: counter\n  params: [1]\n";
}

void TestYamlSerialiser::malformedTextThrows()
{
    QFETCH(QString, text);
    bool threw = false;
    try {
        YamlSerialiser::parseYamlFromString(text, nullptr);
    } catch (const std::exception&) {
        threw = true;
    }
    QVERIFY(threw);
}

QTEST_GUILESS_MAIN(TestYamlSerialiser)
#include "tst_YamlSerialiser.moc"
