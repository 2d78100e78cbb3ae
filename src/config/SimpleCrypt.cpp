#include "SimpleCrypt.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDateTime>
#include <QDebug>
#include <QtEndian>

#include <limits>
#include <zlib.h>

namespace {

const char scrambledVersion = 3;

enum Flag : char {
    FlagCompression = 0x01,
    FlagChecksum = 0x02,
    FlagHash = 0x04,
};

const int checksumSize = 2;
const int hashSize = 20;
// qCompress() puts the uncompressed length in front of the zlib stream.
const int compressedLengthSize = 4;

// qsrand()/qrand() are deprecated, but the lead byte is defined as qrand()'s low byte and each
// scrambler restarts the calling thread's sequence, as stored texts of other hosts expect.
QT_WARNING_PUSH
QT_WARNING_DISABLE_DEPRECATED
void seedRandom()
{
    qsrand(uint(QDateTime::currentMSecsSinceEpoch() & 0xFFFF));
}

char randomByte()
{
    return char(qrand() & 0xFF);
}

quint16 checksumOf(const QByteArray& bytes)
{
    return qChecksum(bytes.constData(), uint(bytes.size()));
}
QT_WARNING_POP

enum class Uncompressed { Ok, Broken, TooLarge };

// Inflated by hand rather than with qUncompress(), which takes the length in front of the
// stream on trust: a few hundred kilobytes could ask for gigabytes. The length is only a
// hint here, and the output stops at maxSize whatever the stream holds.
Uncompressed uncompress(const QByteArray& compressed, qint64 maxSize, QByteArray* result)
{
    result->clear();
    if (compressed.size() < compressedLengthSize)
        return Uncompressed::Broken;
    const quint32 statedLength = qFromBigEndian<quint32>(compressed.constData());
    // qCompress() writes the compressed form of nothing as the bare zero length.
    if (statedLength == 0)
        return compressed.size() == compressedLengthSize ? Uncompressed::Ok : Uncompressed::Broken;
    if (qint64(statedLength) > maxSize)
        return Uncompressed::TooLarge;

    z_stream stream {};
    if (inflateInit(&stream) != Z_OK)
        return Uncompressed::Broken;
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(compressed.constData() + compressedLengthSize));
    stream.avail_in = uInt(compressed.size() - compressedLengthSize);
    const qint64 chunk = 64 * 1024;
    // Z_BUF_ERROR as well as a real error ends the loop: space is never short, so it means the
    // stream stops before its end.
    int status = Z_OK;
    while (status == Z_OK) {
        if (qint64(result->size()) >= maxSize) {
            // Full: the stream may still end here, but not with a byte more.
            char probe = 0;
            stream.next_out = reinterpret_cast<Bytef*>(&probe);
            stream.avail_out = 1;
            status = inflate(&stream, Z_NO_FLUSH);
            const bool ended = status == Z_STREAM_END && stream.avail_out == 1;
            inflateEnd(&stream);
            return ended ? Uncompressed::Ok : status == Z_OK || status == Z_STREAM_END ? Uncompressed::TooLarge
                                                                                         : Uncompressed::Broken;
        }
        const qint64 oldSize = result->size();
        const qint64 step = qMin(qMax(chunk, qint64(statedLength) - oldSize), maxSize - oldSize);
        result->resize(int(oldSize + step));
        stream.next_out = reinterpret_cast<Bytef*>(result->data() + oldSize);
        stream.avail_out = uInt(step);
        status = inflate(&stream, Z_NO_FLUSH);
        result->resize(int(oldSize + step - stream.avail_out));
    }
    inflateEnd(&stream);
    if (status != Z_STREAM_END) {
        result->clear();
        return Uncompressed::Broken;
    }
    return Uncompressed::Ok;
}

} // namespace

SimpleCrypt::SimpleCrypt()
{
    seedRandom();
}

SimpleCrypt::SimpleCrypt(quint64 key)
    : key(key)
{
    seedRandom();
    splitKey();
}

void SimpleCrypt::setMaximumDecompressedSize(qint64 bytes)
{
    // A QByteArray holds at most about 2 GiB.
    maxDecompressedSize = qBound(qint64(0), bytes, qint64(std::numeric_limits<int>::max() - 32));
}

void SimpleCrypt::setKey(quint64 key)
{
    this->key = key;
    splitKey();
}

void SimpleCrypt::splitKey()
{
    keyBytes.resize(8);
    for (int i = 0; i < 8; ++i)
        keyBytes[i] = char((key >> (8 * i)) & 0xFF);
}

QByteArray SimpleCrypt::encryptToByteArray(QByteArray plaintext)
{
    if (keyBytes.isEmpty()) {
        qWarning() << "No key set.";
        errorState = ScramblerNoKey;
        return QByteArray();
    }

    char flags = 0;
    QByteArray payload = plaintext;
    if (compression == CompressAlways) {
        payload = qCompress(plaintext, 9);
        flags |= FlagCompression;
    } else if (compression == CompressWhenSmaller) {
        const QByteArray compressed = qCompress(plaintext, 9);
        if (plaintext.size() > compressed.size()) {
            payload = compressed;
            flags |= FlagCompression;
        }
    }

    QByteArray integrityField;
    if (integrity == IntegrityChecksum) {
        integrityField.resize(checksumSize);
        qToBigEndian<quint16>(checksumOf(payload), integrityField.data());
        flags |= FlagChecksum;
    } else if (integrity == IntegrityHash) {
        integrityField = QCryptographicHash::hash(payload, QCryptographicHash::Sha1);
        flags |= FlagHash;
    }

    QByteArray body = randomByte() + integrityField + payload;
    char last = 0;
    for (int i = 0; i < body.size(); ++i) {
        body[i] = char(body.at(i) ^ keyBytes.at(i % 8) ^ last);
        last = body.at(i);
    }

    QByteArray result;
    result.reserve(2 + body.size());
    result.append(scrambledVersion);
    result.append(flags);
    result.append(body);
    errorState = ScramblerOk;
    return result;
}

QByteArray SimpleCrypt::encryptToByteArray(const QString& plaintext)
{
    return encryptToByteArray(plaintext.toUtf8());
}

QString SimpleCrypt::encryptToString(QByteArray plaintext)
{
    return QString::fromLatin1(encryptToByteArray(plaintext).toBase64());
}

QString SimpleCrypt::encryptToString(const QString& plaintext)
{
    return encryptToString(plaintext.toUtf8());
}

QByteArray SimpleCrypt::decryptToByteArray(QByteArray cyphertext)
{
    if (keyBytes.isEmpty()) {
        qWarning() << "No key set.";
        errorState = ScramblerNoKey;
        return QByteArray();
    }
    // Version, flags and the random byte at least; anything shorter was never made here.
    if (cyphertext.size() < 3) {
        errorState = ScramblerBadVersion;
        return QByteArray();
    }
    if (cyphertext.at(0) != scrambledVersion) {
        errorState = ScramblerBadVersion;
        qWarning() << "Invalid version or not a cyphertext.";
        return QByteArray();
    }

    const char flags = cyphertext.at(1);
    QByteArray body = cyphertext.mid(2);
    char last = 0;
    for (int i = 0; i < body.size(); ++i) {
        const char current = body.at(i);
        body[i] = char(current ^ last ^ keyBytes.at(i % 8));
        last = current;
    }
    body.remove(0, 1);

    bool intact = true;
    if (flags & FlagChecksum) {
        if (body.size() < checksumSize) {
            intact = false;
        } else {
            const quint16 storedChecksum = qFromBigEndian<quint16>(body.constData());
            body.remove(0, checksumSize);
            intact = storedChecksum == checksumOf(body);
        }
    } else if (flags & FlagHash) {
        if (body.size() < hashSize) {
            intact = false;
        } else {
            const QByteArray storedHash = body.left(hashSize);
            body.remove(0, hashSize);
            intact = storedHash == QCryptographicHash::hash(body, QCryptographicHash::Sha1);
        }
    }
    if (!intact) {
        errorState = ScramblerIntegrityFailed;
        return QByteArray();
    }

    if (flags & FlagCompression) {
        QByteArray uncompressed;
        const Uncompressed outcome = uncompress(body, maxDecompressedSize, &uncompressed);
        if (outcome != Uncompressed::Ok) {
            errorState = outcome == Uncompressed::TooLarge ? ScramblerTooLarge : ScramblerIntegrityFailed;
            return QByteArray();
        }
        body = uncompressed;
    }
    errorState = ScramblerOk;
    return body;
}

QByteArray SimpleCrypt::decryptToByteArray(const QString& cyphertext)
{
    return decryptToByteArray(QByteArray::fromBase64(cyphertext.toLatin1()));
}

QString SimpleCrypt::decryptToString(QByteArray cyphertext)
{
    return QString::fromUtf8(decryptToByteArray(cyphertext));
}

QString SimpleCrypt::decryptToString(const QString& cyphertext)
{
    return QString::fromUtf8(decryptToByteArray(cyphertext));
}
