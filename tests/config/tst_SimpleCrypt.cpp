#include "SimpleCrypt.h"
#include "TestSupport.h"

#include <QtTest>

using TestSupport::LogCapture;

namespace {

const quint64 testKey = Q_UINT64_C(0x0c2ad4a4acb9f023);

// The XOR chain over the key bytes, applied to a body made by hand.
QByteArray scramble(char flags, QByteArray body)
{
    char last = 0;
    for (int i = 0; i < body.size(); ++i) {
        body[i] = char(body.at(i) ^ char((testKey >> (8 * (i % 8))) & 0xFF) ^ last);
        last = body.at(i);
    }
    return QByteArray(1, 3) + QByteArray(1, flags) + body;
}

// A compressed body whose length field says statedLength, whatever the stream holds.
QByteArray compressedClaiming(const QByteArray& text, quint32 statedLength)
{
    QByteArray compressed = qCompress(text, 9);
    qToBigEndian<quint32>(statedLength, compressed.data());
    return scramble(0x01, "R" + compressed);
}

const QByteArray compressible = QByteArray("the same words again and again; ").repeated(40);
const QByteArray incompressible = QByteArray::fromHex("8f3a00ff10c7e2");

} // namespace

class TestSimpleCrypt : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void roundTripsInEveryModeAndCatchesTampering_data()
    {
        QTest::addColumn<int>("compression");
        QTest::addColumn<int>("integrity");
        QTest::addColumn<QByteArray>("plaintext");
        QTest::addColumn<int>("expectedFlags");
        const int fieldFlags[] = {0, 0x02, 0x04};
        for (int integrity = 0; integrity < 3; ++integrity) {
            const int field = fieldFlags[integrity];
            const QByteArray mode = " / integrity " + QByteArray::number(integrity);
            QTest::newRow("shrinks" + mode) << 0 << integrity << compressible << (field | 0x01);
            QTest::newRow("does not shrink" + mode) << 0 << integrity << incompressible << field;
            QTest::newRow("always" + mode) << 1 << integrity << incompressible << (field | 0x01);
            QTest::newRow("never" + mode) << 2 << integrity << compressible << field;
        }
    }

    void roundTripsInEveryModeAndCatchesTampering()
    {
        QFETCH(int, compression);
        QFETCH(int, integrity);
        QFETCH(QByteArray, plaintext);
        QFETCH(int, expectedFlags);
        SimpleCrypt crypt(testKey);
        crypt.setCompressionMode(SimpleCrypt::CompressionMode(compression));
        crypt.setIntegrityProtectionMode(SimpleCrypt::IntegrityProtectionMode(integrity));

        const QByteArray scrambled = crypt.encryptToByteArray(plaintext);

        QCOMPARE(crypt.lastError(), SimpleCrypt::ScramblerOk);
        QCOMPARE(scrambled.left(2), QByteArray(1, 3) + char(expectedFlags));
        SimpleCrypt other(testKey);
        QCOMPARE(other.decryptToByteArray(scrambled), plaintext);

        // With an integrity field, each body byte flipped, and the text cut short, is refused
        for (int i = 2; integrity != SimpleCrypt::IntegrityNone && i <= scrambled.size(); ++i) {
            QByteArray tampered = scrambled.left(4);
            if (i < scrambled.size()) {
                tampered = scrambled;
                tampered[i] = char(tampered.at(i) ^ 0x5a);
            }
            QVERIFY2(other.decryptToByteArray(tampered).isEmpty(), qPrintable(QString::number(i)));
            QCOMPARE(other.lastError(), SimpleCrypt::ScramblerIntegrityFailed);
        }
    }

    void matchesTheStoredFormat()
    {
        SimpleCrypt crypt(testKey);
        crypt.setCompressionMode(SimpleCrypt::CompressNever);
        crypt.setIntegrityProtectionMode(SimpleCrypt::IntegrityNone);

        QCOMPARE(crypt.decryptToByteArray(scramble(0, "Rpayload")), QByteArray("payload"));
        const QByteArray scrambled = crypt.encryptToByteArray(QByteArray("payload"));
        QCOMPARE(scrambled, scramble(0, char(scrambled.at(2) ^ char(testKey & 0xFF)) + QByteArray("payload")));
    }

    void refusesWhatItNeverMade()
    {
        SimpleCrypt crypt(testKey);
        LogCapture log;
        for (const QByteArray& tooShort : {QByteArray(), QByteArray(1, 3), QByteArray("\x03\x02", 2)}) {
            crypt.decryptToByteArray(crypt.encryptToByteArray(QByteArray("fine")));
            QVERIFY(crypt.decryptToByteArray(tooShort).isEmpty());
            QCOMPARE(crypt.lastError(), SimpleCrypt::ScramblerBadVersion);
        }
        QVERIFY(log.messages().isEmpty());

        QByteArray otherVersion = crypt.encryptToByteArray(QByteArray("text"));
        otherVersion[0] = 2;
        QVERIFY(crypt.decryptToByteArray(otherVersion).isEmpty());
        QCOMPARE(crypt.lastError(), SimpleCrypt::ScramblerBadVersion);
        QVERIFY(log.contains("Invalid version or not a cyphertext."));

        // Unprotected bodies flagged as compressed that hold no zlib stream
        for (const QByteArray& body : {QByteArray("R\x00\x00\x00\x20not zlib at all", 20), QByteArray("R\x00\x01", 3),
                                       QByteArray("R\x00\x00\x00\x00not zlib either", 20)}) {
            QVERIFY(crypt.decryptToByteArray(scramble(0x01, body)).isEmpty());
            QCOMPARE(crypt.lastError(), SimpleCrypt::ScramblerIntegrityFailed);
        }
    }

    void decompressesNoMoreThanAllowed_data()
    {
        QTest::addColumn<QByteArray>("scrambled");
        QTest::addColumn<qint64>("allowed");
        QTest::addColumn<int>("expectedSize");
        const QByteArray mebibyte(1024 * 1024, 'z');
        const qint64 byDefault = SimpleCrypt::defaultMaximumDecompressedSize;
        QTest::newRow("length field asks for 512 MiB") << compressedClaiming("short", 512u << 20) << byDefault << -1;
        QTest::newRow("stream longer than its length field") << compressedClaiming(mebibyte, 16) << qint64(64 * 1024) << -1;
        QTest::newRow("one byte over") << compressedClaiming(mebibyte, 1024 * 1024) << qint64(1024 * 1024 - 1) << -1;
        QTest::newRow("exactly the limit") << compressedClaiming(mebibyte, 1024 * 1024) << qint64(1024 * 1024) << 1024 * 1024;
    }

    void decompressesNoMoreThanAllowed()
    {
        QFETCH(QByteArray, scrambled);
        QFETCH(qint64, allowed);
        QFETCH(int, expectedSize);
        SimpleCrypt crypt(testKey);
        crypt.setMaximumDecompressedSize(allowed);

        const QByteArray plain = crypt.decryptToByteArray(scrambled);

        QCOMPARE(crypt.lastError(), expectedSize < 0 ? SimpleCrypt::ScramblerTooLarge : SimpleCrypt::ScramblerOk);
        QCOMPARE(plain.size(), qMax(expectedSize, 0));
    }
};

QTEST_GUILESS_MAIN(TestSimpleCrypt)
#include "tst_SimpleCrypt.moc"
