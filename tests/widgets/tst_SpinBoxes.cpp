#include "HexSpinBox.h"
#include "ZenticDoubleSpinBox.h"

#include <QtTest>

#include <limits>

class TestSpinBoxes : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void hexShowsUnsignedPattern_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("255") << 255 << "0xFF";
        QTest::newRow("minus one") << -1 << "0xFFFFFFFF";
        QTest::newRow("int min") << std::numeric_limits<int>::min() << "0x80000000";
    }

    void hexShowsUnsignedPattern()
    {
        QFETCH(int, value);
        QFETCH(QString, text);
        HexSpinBox box(nullptr, false);
        box.setValue(value);
        QCOMPARE(box.text(), text);
        QCOMPARE(box.valueFromText(text), value);
    }

    void typingRoundTrips_data()
    {
        QTest::addColumn<bool>("decimal");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("value");
        QTest::newRow("hex all ones") << false << "ffffffff" << "0xFFFFFFFF" << -1;
        QTest::newRow("hex upper-cased") << false << "ff" << "0xFF" << 255;
        QTest::newRow("decimal negative") << true << "-123" << "-123" << -123;
    }

    void typingRoundTrips()
    {
        QFETCH(bool, decimal);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(int, value);
        HexSpinBox box(nullptr, decimal);
        box.selectAll();
        QTest::keyClicks(&box, typed);
        QCOMPARE(box.text(), shown);
        QCOMPARE(box.value(), value);
    }

    void hexValidation_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<int>("state");
        QTest::addColumn<QString>("rewritten");
        QTest::newRow("lower case") << "0xff" << int(QValidator::Acceptable) << "0xFF";
        QTest::newRow("prefix only") << "0x" << int(QValidator::Intermediate) << "0x";
        QTest::newRow("prefix and blanks") << "0x  " << int(QValidator::Intermediate) << "0x  ";
        QTest::newRow("blanks trimmed") << "0x ab " << int(QValidator::Acceptable) << "0xAB";
        QTest::newRow("nine digits") << "0x123456789" << int(QValidator::Invalid) << "0x123456789";
        QTest::newRow("not hex") << "0xfg" << int(QValidator::Invalid) << "0xFG";
    }

    void hexValidation()
    {
        QFETCH(QString, input);
        QFETCH(int, state);
        QFETCH(QString, rewritten);
        HexSpinBox box(nullptr, false);
        int pos = input.size();
        QCOMPARE(int(box.validate(input, pos)), state);
        QCOMPARE(input, rewritten);
        QVERIFY(pos >= 0 && pos <= input.size());
    }

    void decimalValidation_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<int>("state");
        QTest::newRow("empty") << "" << int(QValidator::Intermediate);
        QTest::newRow("minus alone") << "-" << int(QValidator::Intermediate);
        QTest::newRow("negative") << "-42" << int(QValidator::Acceptable);
        QTest::newRow("int min") << "-2147483648" << int(QValidator::Acceptable);
        QTest::newRow("int max") << "2147483647" << int(QValidator::Acceptable);
        QTest::newRow("above int max") << "2147483648" << int(QValidator::Invalid);
        QTest::newRow("unsigned max") << "4294967295" << int(QValidator::Invalid);
        QTest::newRow("below int min") << "-2147483649" << int(QValidator::Invalid);
        QTest::newRow("letters") << "12a" << int(QValidator::Invalid);
    }

    void decimalValidation()
    {
        QFETCH(QString, input);
        QFETCH(int, state);
        HexSpinBox box(nullptr, true);
        int pos = input.size();
        const QString before = input;
        QCOMPARE(int(box.validate(input, pos)), state);
        QCOMPARE(input, before);
        if (state == QValidator::Invalid)
            QCOMPARE(box.valueFromText(input), 0);
    }

    void switchingBaseKeepsValue()
    {
        HexSpinBox box(nullptr, false);
        box.setValue(255);
        box.useDecimalBase(true);
        QVERIFY(box.getUseDecimalBase());
        QCOMPARE(box.text(), QString("255"));
        QCOMPARE(box.value(), 255);
        box.useDecimalBase(false);
        QCOMPARE(box.text(), QString("0xFF"));
        QCOMPARE(box.value(), 255);
    }

    void hexWithSuffixStillValidates()
    {
        HexSpinBox box(nullptr, false);
        box.setSuffix(" cm");
        box.setValue(10);
        QCOMPARE(box.text(), QString("0xA cm"));
        QString text = "0xb cm";
        int pos = 3;
        QCOMPARE(box.validate(text, pos), QValidator::Acceptable);
        QCOMPARE(text, QString("0xB cm"));
    }

    void doubleDropsTrailingZeros_data()
    {
        QTest::addColumn<int>("decimals");
        QTest::addColumn<double>("value");
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("text");
        const QLocale c = QLocale::c();
        QTest::newRow("1.5") << 5 << 1.5 << c << "1.5";
        QTest::newRow("2.0") << 5 << 2.0 << c << "2";
        QTest::newRow("0") << 5 << 0.0 << c << "0";
        QTest::newRow("100") << 5 << 100.0 << c << "100";
        QTest::newRow("0.00001") << 5 << 0.00001 << c << "0.00001";
        QTest::newRow("no decimals 100") << 0 << 100.0 << c << "100";
        QTest::newRow("decimal comma") << 3 << 1.5 << QLocale(QLocale::German, QLocale::Germany) << "1,5";
    }

    void doubleDropsTrailingZeros()
    {
        QFETCH(int, decimals);
        QFETCH(double, value);
        QFETCH(QLocale, locale);
        QFETCH(QString, text);
        ZenticDoubleSpinBox box;
        box.setLocale(locale);
        box.setDecimals(decimals);
        QCOMPARE(box.textFromValue(value), text);
    }
};

QTEST_MAIN(TestSpinBoxes)
#include "tst_SpinBoxes.moc"
