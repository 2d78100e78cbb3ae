#pragma once

#include "dozerozozu_export.h"

#include <QByteArray>
#include <QString>
#include <QVector>

/**
 * Scrambles a byte string with a 64-bit key into a self-describing byte string and back:
 * optional compression, an optional checksum or SHA-1 field, a random lead byte and an XOR
 * chain, behind a version byte (3) and a flags byte. Keeps casual readers out; it is not
 * strong encryption.
 *
 * A plain value class, used by host applications; the library itself holds no key.
 * Every result is empty on failure, with errorState telling why.
 *
 *     SimpleCrypt crypt(Q_UINT64_C(0x0c2ad4a4acb9f023));
 *     const QString text = crypt.encryptToString(QStringLiteral("secret"));
 *     const QString back = crypt.decryptToString(text); // "secret"
 */
class DOZEROZOZU_EXPORT SimpleCrypt
{
public:
    enum CompressionMode {
        CompressWhenSmaller = 0,
        CompressAlways = 1,
        CompressNever = 2,
    };
    enum IntegrityProtectionMode {
        IntegrityNone = 0,
        IntegrityChecksum = 1,
        IntegrityHash = 2,
    };
    enum Error {
        ScramblerOk = 0,
        ScramblerNoKey = 1,
        /// Wrong version byte, or an input too short to be a scrambled text at all.
        ScramblerBadVersion = 2,
        /// The integrity field does not match, or the compressed body does not decompress.
        ScramblerIntegrityFailed = 3,
        /// The compressed body would decompress to more than maximumDecompressedSize().
        ScramblerTooLarge = 4,
    };

    /// What a compressed text may grow to unless the caller allows more: 64 MiB.
    static constexpr qint64 defaultMaximumDecompressedSize = 64 * 1024 * 1024;

    SimpleCrypt();
    explicit SimpleCrypt(quint64 key);

    void setKey(quint64 key);
    void splitKey();

    CompressionMode compressionMode() const { return CompressionMode(compression); }
    void setCompressionMode(CompressionMode mode) { compression = mode; }
    IntegrityProtectionMode integrityProtectionMode() const { return IntegrityProtectionMode(integrity); }
    void setIntegrityProtectionMode(IntegrityProtectionMode mode) { integrity = mode; }
    qint64 maximumDecompressedSize() const { return maxDecompressedSize; }
    /// Decryption refuses (ScramblerTooLarge) a body that would decompress to more than bytes,
    /// whatever size the body states; clamped to what a QByteArray can hold.
    void setMaximumDecompressedSize(qint64 bytes);
    /// Outcome of the last operation.
    Error lastError() const { return Error(errorState); }

    QByteArray encryptToByteArray(QByteArray plaintext);
    QByteArray encryptToByteArray(const QString& plaintext);
    /// Base64 of the scrambled form.
    QString encryptToString(QByteArray plaintext);
    QString encryptToString(const QString& plaintext);
    QByteArray decryptToByteArray(QByteArray cyphertext);
    /// Takes the Base64 text made by encryptToString().
    QByteArray decryptToByteArray(const QString& cyphertext);
    QString decryptToString(QByteArray cyphertext);
    QString decryptToString(const QString& cyphertext);

private:
    quint64 key = 0;
    /// The key's bytes, least significant first; empty means no key.
    QVector<char> keyBytes;
    int compression = CompressWhenSmaller;
    int integrity = IntegrityChecksum;
    int errorState = ScramblerOk;
    qint64 maxDecompressedSize = defaultMaximumDecompressedSize;
};
