#include "BoundedYaml.h"
#include "YamlTextWriter.h"

#include <QRandomGenerator>
#include <QtTest>

#include <yaml-cpp/yaml.h>

namespace {

// Characters that yaml-cpp's emitter writes in ways a reader may take otherwise: indicators,
// blanks, line breaks of YAML 1.1 and 1.2, controls, a byte-order mark, letters beyond ASCII.
const uint palette[] = {'a', 'Z', '0', ' ', '\t', '\n', '\r', ':', '#', '[', ']', '{', '}', ',', '"', '\'', '\\',
                        '-', '?', '!', '&', '*', '|', '>', '%', '@', '`', 0x01, 0x1F, 0x7F, 0x80, 0x85, 0x9F, 0xA0,
                        0xE9, 0x0416, 0x2028, 0x2029, 0xFEFF, 0xFFFD, 0x1F600, 0x10FFFD,
                        // Noncharacters, which a reader refuses raw.
                        0xFDD0, 0xFDEF, 0xFFFE, 0xFFFF, 0x1FFFE, 0x10FFFF};

bool isNoncharacter(uint codePoint)
{
    return (codePoint >= 0xFDD0 && codePoint <= 0xFDEF) || (codePoint & 0xFFFE) == 0xFFFE;
}

// text as it reads back: noncharacters become U+FFFD.
std::string readBack(const std::string& text)
{
    QVector<uint> codePoints = QString::fromStdString(text).toUcs4();
    for (uint& codePoint : codePoints) {
        if (isNoncharacter(codePoint))
            codePoint = 0xFFFD;
    }
    const QByteArray utf8 = QString::fromUcs4(codePoints.constData(), codePoints.size()).toUtf8();
    return std::string(utf8.constData(), std::size_t(utf8.size()));
}

std::string randomText(QRandomGenerator& random, int length)
{
    QString text;
    for (int i = 0; i < length; ++i)
        text += QString::fromUcs4(&palette[random.bounded(int(std::size(palette)))], 1);
    const QByteArray utf8 = text.toUtf8();
    return std::string(utf8.constData(), std::size_t(utf8.size()));
}

std::string written(const std::string& key, const std::string& value)
{
    YAML::Emitter emitter;
    emitter << YAML::BeginMap << YAML::Key;
    YamlTextWriter::writeKey(emitter, key);
    emitter << YAML::Value;
    YamlTextWriter::writeValue(emitter, value);
    emitter << YAML::EndMap;
    return emitter.c_str();
}

} // namespace

class TestYamlTextWriter : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyTextReadsBack_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("count");
        QTest::newRow("short texts") << 8 << 20000;
        QTest::newRow("longer texts") << 60 << 4000;
        // Escaped, a key of 110 characters may be longer than an implicit key can be.
        QTest::newRow("keys near the implicit key's limit") << 130 << 1000;
        QTest::newRow("long texts") << 1200 << 50;
        QTest::newRow("texts written quoted for their length") << 9000 << 20;
    }

    void everyTextReadsBack()
    {
        QFETCH(int, length);
        QFETCH(int, count);
        QRandomGenerator random{quint32(length)};
        for (int i = 0; i < count; ++i) {
            const std::string key = randomText(random, random.bounded(length) + 1);
            const std::string value = randomText(random, random.bounded(length) + 1);
            const std::string text = written(key, value);
            YAML::Node document;
            try {
                document = BoundedYaml::load(text);
            } catch (const std::exception& error) {
                QFAIL(qPrintable(QString::fromStdString(text + "\n" + error.what())));
            }
            QVERIFY2(document.IsMap() && document.size() == 1, text.c_str());
            QCOMPARE(QByteArray::fromStdString(document.begin()->first.Scalar()), QByteArray::fromStdString(readBack(key)));
            QCOMPARE(QByteArray::fromStdString(document.begin()->second.Scalar()),
                     QByteArray::fromStdString(readBack(value)));
        }
    }

    void onlyKeysThatMayBeTooLongAreExplicit()
    {
        QVERIFY(!QByteArray::fromStdString(written(std::string(500, 'k'), "v")).startsWith("? "));
        QVERIFY(QByteArray::fromStdString(written(std::string(501, 'k'), "v")).startsWith("? "));
        QVERIFY(QByteArray::fromStdString(written(std::string(101, '\r'), "v")).startsWith("? "));
        QCOMPARE(QByteArray::fromStdString(written("plain", "é, [x]")), QByteArray("plain: é, [x]"));
        // A long text is quoted rather than checked for whether it may be plain, at a tenth of the speed.
        QVERIFY(QByteArray::fromStdString(written("k", std::string(4096, 'x'))).startsWith("k: x"));
        QVERIFY(QByteArray::fromStdString(written("k", std::string(4097, 'x'))).startsWith("k: \"x"));
        // A noncharacter alone asks for quotes, not for every letter escaped.
        QCOMPARE(QByteArray::fromStdString(written("ж\uFFFE", "v")), QByteArray("\"ж\uFFFD\": v"));
    }
};

QTEST_GUILESS_MAIN(TestYamlTextWriter)
#include "tst_YamlTextWriter.moc"
