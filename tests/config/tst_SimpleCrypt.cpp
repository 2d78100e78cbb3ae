#include "SimpleCrypt.h"
#include "TestSupport.h"

#include <QSet>
#include <QtTest>

using TestSupport::LogCapture;

namespace {

const quint64 testKey = Q_UINT64_C(0x0c2ad4a4acb9f023);

// The XOR chain over the key bytes, applied to a body made by hand.
QByteArray scramble(quint64 key, char flags, QByteArray body)
{
    char last = 0;
    for (int i = 0; i < body.size(); ++i) {
        body[i] = char(body.at(i) ^ char((key >> (8 * (i % 8))) & 0xFF) ^ last);
        last = body.at(i);
    }
    return QByteArray(1, 3) + QByteArray(1, flags) + body;
}

QByteArray compressibleText()
{
    return QByteArray("the same words again and again; ").repeated(40);
}

} // namespace

Q_DECLARE_METATYPE(SimpleCrypt::CompressionMode)
Q_DECLARE_METATYPE(SimpleCrypt::IntegrityProtectionMode)

class TestSimpleCrypt : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void roundTripsInEveryMode_data()
    {
        QTest::addColumn<SimpleCrypt::CompressionMode>("compression");
        QTest::addColumn<SimpleCrypt::IntegrityProtectionMode>("integrity");
        QTest::addColumn<QByteArray>("plaintext");
        QTest::addColumn<int>("expectedFlags");
        const QByteArray random = QByteArray::fromHex("8f3a00ff10c7e2");
        const QList<QPair<SimpleCrypt::IntegrityProtectionMode, int>> integrities{
            {SimpleCrypt::IntegrityNone, 0}, {SimpleCrypt::IntegrityChecksum, 0x02}, {SimpleCrypt::IntegrityHash, 0x04}};
        for (const auto& integrity : integrities) {
            const QByteArray mode = QByteArray::number(integrity.first);
            const int field = integrity.second;
            QTest::newRow("when smaller, shrinks " + mode)
                << SimpleCrypt::CompressWhenSmaller << integrity.first << compressibleText() << (field | 0x01);
            QTest::newRow("when smaller, does not shrink " + mode)
                << SimpleCrypt::CompressWhenSmaller << integrity.first << random << field;
            QTest::newRow("always " + mode) << SimpleCrypt::CompressAlways << integrity.first << random << (field | 0x01);
            QTest::newRow("always, empty " + mode)
                << SimpleCrypt::CompressAlways << integrity.first << QByteArray() << (field | 0x01);
            QTest::newRow("never " + mode) << SimpleCrypt::CompressNever << integrity.first << compressibleText() << field;
            QTest::newRow("never, empty " + mode) << SimpleCrypt::CompressNever << integrity.first << QByteArray() << field;
        }
    }

    void roundTripsInEveryMode()
    {
        QFETCH(SimpleCrypt::CompressionMode, compression);
        QFETCH(SimpleCrypt::IntegrityProtectionMode, integrity);
        QFETCH(QByteArray, plaintext);
        QFETCH(int, expectedFlags);
        SimpleCrypt crypt(testKey);
        crypt.setCompressionMode(compression);
        crypt.setIntegrityProtectionMode(integrity);

        const QByteArray scrambled = crypt.encryptToByteArray(plaintext);

        QCOMPARE(crypt.lastError(), SimpleCrypt::ScramblerOk);
        QCOMPARE(int(scrambled.at(0)), 3);
        QCOMPARE(int(scrambled.at(1)), expectedFlags);
        if (!(expectedFlags & 0x01)) {
            const int fieldSize = (expectedFlags & 0x02) ? 2 : (expectedFlags & 0x04) ? 20 : 0;
            QCOMPARE(scrambled.size(), 3 + fieldSize + plaintext.size());
        }
        SimpleCrypt other(testKey);
        QCOMPARE(other.decryptToByteArray(scrambled), plaintext);
        QCOMPARE(other.lastError(), SimpleCrypt::ScramblerOk);
    }

    void textsTravelAsBase64()
    {
        SimpleCrypt crypt(testKey);
        const QString text = QString::fromUtf8("Grüße ✓ secret");

        const QString scrambled = crypt.encryptToString(text);

        QVERIFY(!QByteArray::fromBase64(scrambled.toLatin1()).isEmpty());
        QVERIFY(!scrambled.contains("secret"));
        QCOMPARE(crypt.decryptToString(scrambled), text);
        QCOMPARE(crypt.decryptToByteArray(scrambled), text.toUtf8());
        QCOMPARE(crypt.decryptToString(crypt.encryptToByteArray(text)), text);
    }

    void layoutMatchesTheStoredFormat()
    {
        // Without compression or integrity field the body is the lead byte, then the payload.
        SimpleCrypt crypt(testKey);
        crypt.setCompressionMode(SimpleCrypt::CompressNever);
        crypt.setIntegrityProtectionMode(SimpleCrypt::IntegrityNone);

        QCOMPARE(crypt.decryptToByteArray(scramble(testKey, 0, QByteArray("Rpayload"))), QByteArray("payload"));

        const QByteArray scrambled = crypt.encryptToByteArray(QByteArray("payload"));
        const char lead = char(scrambled.at(2) ^ char(testKey & 0xFF));
        QCOMPARE(scrambled, scramble(testKey, 0, lead + QByteArray("payload")));
    }

    void keyIsRequiredBothWays()
    {
        SimpleCrypt crypt;
        LogCapture log;

        QVERIFY(crypt.encryptToByteArray(QByteArray("text")).isEmpty());
        QCOMPARE(crypt.lastError(), SimpleCrypt::ScramblerNoKey);
        QVERIFY(crypt.decryptToByteArray(QByteArray("\x03\x00xyz")).isEmpty());
        QCOMPARE(crypt.lastError(), SimpleCrypt::ScramblerNoKey);
        QCOMPARE(log.messages(QtWarningMsg), (QStringList{"No key set.", "No key set."}));

        crypt.setKey(0);
        QCOMPARE(crypt.decryptToByteArray(crypt.encryptToByteArray(QByteArray("text"))), QByteArray("text"));
    }

    void tooShortInputIsAnError_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("one byte") << QByteArray(1, 3);
        QTest::newRow("two bytes") << QByteArray("\x03\x02", 2);
    }

    void tooShortInputIsAnError()
    {
        QFETCH(QByteArray, input);
        SimpleCrypt crypt(testKey);
        crypt.decryptToByteArray(crypt.encryptToByteArray(QByteArray("fine")));
        QCOMPARE(crypt.lastError(), SimpleCrypt::ScramblerOk);

        QVERIFY(crypt.decryptToByteArray(input).isEmpty());

        QCOMPARE(crypt.lastError(), SimpleCrypt::ScramblerBadVersion);
    }

    void wrongVersionIsRefused()
    {
        SimpleCrypt crypt(testKey);
        QByteArray scrambled = crypt.encryptToByteArray(QByteArray("text"));
        scrambled[0] = 2;
        LogCapture log;

        QVERIFY(crypt.decryptToByteArray(scrambled).isEmpty());

        QCOMPARE(crypt.lastError(), SimpleCrypt::ScramblerBadVersion);
        QVERIFY(log.contains("Invalid version or not a cyphertext."));
    }

    void everyTamperedByteIsCaught_data()
    {
        QTest::addColumn<SimpleCrypt::IntegrityProtectionMode>("integrity");
        QTest::addColumn<SimpleCrypt::CompressionMode>("compression");
        QTest::newRow("checksum") << SimpleCrypt::IntegrityChecksum << SimpleCrypt::CompressNever;
        QTest::newRow("checksum, compressed") << SimpleCrypt::IntegrityChecksum << SimpleCrypt::CompressAlways;
        QTest::newRow("hash") << SimpleCrypt::IntegrityHash << SimpleCrypt::CompressNever;
        QTest::newRow("hash, compressed") << SimpleCrypt::IntegrityHash << SimpleCrypt::CompressAlways;
    }

    void everyTamperedByteIsCaught()
    {
        QFETCH(SimpleCrypt::IntegrityProtectionMode, integrity);
        QFETCH(SimpleCrypt::CompressionMode, compression);
        SimpleCrypt crypt(testKey);
        crypt.setIntegrityProtectionMode(integrity);
        crypt.setCompressionMode(compression);
        const QByteArray scrambled = crypt.encryptToByteArray(compressibleText());

        for (int i = 2; i < scrambled.size(); ++i) {
            QByteArray tampered = scrambled;
            tampered[i] = char(tampered.at(i) ^ 0x5a);
            QVERIFY2(crypt.decryptToByteArray(tampered).isEmpty(), qPrintable(QString::number(i)));
            QCOMPARE(crypt.lastError(), SimpleCrypt::ScramblerIntegrityFailed);
        }
        QByteArray truncated = scrambled.left(4);
        QVERIFY(crypt.decryptToByteArray(truncated).isEmpty());
        QCOMPARE(crypt.lastError(), SimpleCrypt::ScramblerIntegrityFailed);
    }

    void compressedBodyThatDoesNotDecompressIsAnError()
    {
        // Given an unprotected body flagged as compressed that holds no zlib stream
        SimpleCrypt crypt(testKey);
        const QByteArray forged = scramble(testKey, 0x01, QByteArray("R\x00\x00\x00\x20not zlib at all", 20));

        QVERIFY(crypt.decryptToByteArray(forged).isEmpty());
        QCOMPARE(crypt.lastError(), SimpleCrypt::ScramblerIntegrityFailed);

        const QByteArray tooShort = scramble(testKey, 0x01, QByteArray("R\x00\x01", 3));
        QVERIFY(crypt.decryptToByteArray(tooShort).isEmpty());
        QCOMPARE(crypt.lastError(), SimpleCrypt::ScramblerIntegrityFailed);
    }

    void leadByteVariesTheOutput()
    {
        SimpleCrypt crypt(testKey);
        QSet<QByteArray> outputs;
        for (int i = 0; i < 32; ++i) {
            const QByteArray scrambled = crypt.encryptToByteArray(QByteArray("same input"));
            QCOMPARE(crypt.decryptToByteArray(scrambled), QByteArray("same input"));
            outputs.insert(scrambled);
        }
        QVERIFY(outputs.size() > 1);
    }
};

QTEST_GUILESS_MAIN(TestSimpleCrypt)
#include "tst_SimpleCrypt.moc"
