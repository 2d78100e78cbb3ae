#include "YamlSerialiser.h"

#include <QBuffer>
#include <QtTest>

class TestYamlSerialiser : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void roundTripKeepsDevice()
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
        // A link to itself, with the texts the manager describes it by
        info.incomingConnections.append(Connection{"scaler1", "output(double)", "input(double)"});
        info.outgoingConnections.append(Connection{"scaler1", "output(double)", "input(double)"});
        info.connectionStrings = QStringList{"this.input(double)<generator1.valueChanged(double)",
                                             "this.input(double)<scaler1.output(double)"};

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
        QCOMPARE(back.connectionStrings, info.connectionStrings);
        QCOMPARE(back.incomingConnections, info.incomingConnections);
        QCOMPARE(back.outgoingConnections, info.outgoingConnections);
    }

    // yaml-cpp's emitter writes these so that they do not read back, or not at all: a copied
    // device with such a name or type did not paste.
    void oddNamesAndTextsReadBack_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("text");
        QTest::newRow("name escaped past 1,024 characters") << "d" + QString(300, QChar(1)) << "scaler" << "x";
        QTest::newRow("name of 1,100 letters") << QString(1100, QLatin1Char('n')) << "scaler" << "x";
        QTest::newRow("type a lone carriage return") << "d" << "\r" << "x";
        QTest::newRow("line separators and DEL") << "d\u2028" << "t\u2029" << "a\x7f\u0085b\u00a0";
    }

    void oddNamesAndTextsReadBack()
    {
        QFETCH(QString, name);
        QFETCH(QString, type);
        QFETCH(QString, text);
        DeviceInfo info;
        info.name = name;
        info.type = type;
        info.description = text;
        info.paramValues.insert(text, text);

        const QList<DeviceInfo> parsed = YamlSerialiser::parseYamlFromString(YamlSerialiser::serialise(info), nullptr);

        QCOMPARE(parsed.size(), 1);
        QCOMPARE(parsed.first().name, name);
        QCOMPARE(parsed.first().type, type);
        QCOMPARE(parsed.first().description, text);
        QCOMPARE(parsed.first().paramValues, info.paramValues);
    }

    // Written raw, a noncharacter made the reader refuse the whole text: every device of a copy was lost.
    void noncharactersReadBackAsReplacementCharacters_data()
    {
        QTest::addColumn<uint>("noncharacter");
        QTest::newRow("U+FFFE") << 0xFFFEu;
        QTest::newRow("U+FFFF") << 0xFFFFu;
        QTest::newRow("U+FDD0") << 0xFDD0u;
        QTest::newRow("U+1FFFE") << 0x1FFFEu;
    }

    void noncharactersReadBackAsReplacementCharacters()
    {
        QFETCH(uint, noncharacter);
        const QString odd = QString::fromUcs4(&noncharacter, 1);
        DeviceInfo info;
        info.name = "pump" + odd;
        info.type = "generator" + odd;
        info.description = QString::fromUtf8("насос ") + odd;
        info.paramValues.insert("key" + odd, "value" + odd);

        const QList<DeviceInfo> parsed = YamlSerialiser::parseYamlFromString(YamlSerialiser::serialise(info), nullptr);

        const QString replaced(QChar::ReplacementCharacter);
        QCOMPARE(parsed.size(), 1);
        QCOMPARE(parsed.first().name, "pump" + replaced);
        QCOMPARE(parsed.first().type, "generator" + replaced);
        QCOMPARE(parsed.first().description, QString::fromUtf8("насос ") + replaced);
        QCOMPARE(parsed.first().paramValues.value("key" + replaced), "value" + replaced);
    }

    void versionHeaderAndDevicesFormOneDocument()
    {
        QBuffer header;
        QVERIFY(YamlSerialiser::writeConfigVersion(&header));
        QCOMPARE(header.data(), QByteArray("config_version: 2\n"));
        QVERIFY(!YamlSerialiser::writeConfigVersion(nullptr));
        DeviceInfo device;
        device.name = "b";
        device.type = "toggle";

        // A meta device's export block before the devices is skipped
        const QString text = "export:\n  slots:\n    input: s.input(double)\n  signals:\n  parameters:\n\n"
                             + QString::fromUtf8(header.data()) + "a:\n  type: counter\n"
                             + YamlSerialiser::serialise(device);
        const QList<DeviceInfo> parsed = YamlSerialiser::parseYamlFromString(text, nullptr);

        QCOMPARE(parsed.size(), 2);
        QCOMPARE(parsed.at(0).name, QString("a"));
        QCOMPARE(parsed.at(1).type, QString("toggle"));
        bool versionOk = true;
        YamlSerialiser::parseYamlFromString("config_version: 99\na:\n  type: counter\n", &versionOk);
        QVERIFY(!versionOk);
    }

    void malformedTextThrows_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("broken flow") << "a: [1, 2\n";
        QTest::newRow("list at top") << "- a\n- b\n";
        QTest::newRow("device without type") << "a:\n  params:\n    x: 1\n";
        QTest::newRow("malformed link") << "a:\n  type: counter\n  connections:\n    - nonsense\n";
    }

    void malformedTextThrows()
    {
        QFETCH(QString, text);
        QVERIFY_EXCEPTION_THROWN(YamlSerialiser::parseYamlFromString(text, nullptr), std::exception);
    }
};

QTEST_GUILESS_MAIN(TestYamlSerialiser)
#include "tst_YamlSerialiser.moc"
