#include "HexSpinBox.h"
#include "ZenticDoubleSpinBox.h"

#include <QtTest>

#include <limits>

class TestSpinBoxes : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void typingRoundTrips_data()
    {
        QTest::addColumn<bool>("decimal");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("value");
        QTest::newRow("hex all ones") << false << "ffffffff" << "0xFFFFFFFF" << -1;
        QTest::newRow("hex int min") << false << "80000000" << "0x80000000" << std::numeric_limits<int>::min();
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
        box.useDecimalBase(!decimal);
        box.useDecimalBase(decimal);
        QCOMPARE(box.text(), shown);
    }

    void validation_data()
    {
        QTest::addColumn<bool>("decimal");
        QTest::addColumn<QString>("input");
        QTest::addColumn<int>("state");
        QTest::addColumn<QString>("rewritten");
        const int acceptable = QValidator::Acceptable, intermediate = QValidator::Intermediate;
        const int invalid = QValidator::Invalid;
        QTest::newRow("hex lower case") << false << "0xff" << acceptable << "0xFF";
        QTest::newRow("hex blanks trimmed") << false << "0x ab " << acceptable << "0xAB";
        QTest::newRow("hex not hex") << false << "0xfg" << invalid << "0xFG";
        QTest::newRow("minus alone") << true << "-" << intermediate << "-";
        QTest::newRow("int min") << true << "-2147483648" << acceptable << "-2147483648";
        QTest::newRow("above int max") << true << "2147483648" << invalid << "2147483648";
        QTest::newRow("below int min") << true << "-2147483649" << invalid << "-2147483649";
    }

    void validation()
    {
        QFETCH(bool, decimal);
        QFETCH(QString, input);
        QFETCH(int, state);
        QFETCH(QString, rewritten);
        HexSpinBox box(nullptr, decimal);
        int pos = input.size();
        QCOMPARE(int(box.validate(input, pos)), state);
        QCOMPARE(input, rewritten);
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
    }

    void doubleDropsTrailingZeros()
    {
        ZenticDoubleSpinBox box;
        box.setDecimals(5);
        box.setLocale(QLocale::c());
        QCOMPARE(box.textFromValue(2.0), QString("2"));
        QCOMPARE(box.textFromValue(0.00001), QString("0.00001"));
        box.setLocale(QLocale(QLocale::German, QLocale::Germany));
        QCOMPARE(box.textFromValue(1.5), QString("1,5"));
    }
};

QTEST_MAIN(TestSpinBoxes)
#include "tst_SpinBoxes.moc"
