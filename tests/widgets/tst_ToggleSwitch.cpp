#include "ToggleSwitch.h"

#include <QPropertyAnimation>
#include <QtTest>

class TestToggleSwitch : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void nominalSizeAndProperties()
    {
        ToggleSwitch toggle;
        QCOMPARE(toggle.sizeHint(), QSize(38, 22));
        QCOMPARE(toggle.property("offset").toInt(), 8);
        QVERIFY(toggle.setProperty("brush", QBrush(Qt::red)));
        QCOMPARE(toggle.property("brush").value<QBrush>().color(), QColor(Qt::red));
    }

    void switchingAnimatesThumbAndEmits()
    {
        // Given a switch 38 pixels wide
        ToggleSwitch toggle;
        toggle.resize(38, 22);
        QSignalSpy toggled(&toggle, &QAbstractButton::toggled);
        auto animation = toggle.findChild<QPropertyAnimation*>();

        // When it is switched on, then the thumb runs from 8 to 22 in 120 ms and toggled(true) comes
        toggle.setToggled(true);
        QCOMPARE(toggled.count(), 1);
        QCOMPARE(toggled.at(0).at(0).toBool(), true);
        QCOMPARE(animation->startValue().toInt(), 8);
        QCOMPARE(animation->endValue().toInt(), 22);
        QCOMPARE(animation->duration(), 120);
        QTRY_COMPARE(toggle.property("offset").toInt(), 22);

        // And back when switched off
        toggle.setToggled(false);
        QCOMPARE(toggled.at(1).at(0).toBool(), false);
        QTRY_COMPARE(toggle.property("offset").toInt(), 8);
    }

    void onlyLeftClickFlips()
    {
        ToggleSwitch toggle;
        toggle.resize(38, 22);
        toggle.show();
        QSignalSpy toggled(&toggle, &QAbstractButton::toggled);
        QTest::mouseClick(&toggle, Qt::RightButton);
        QCOMPARE(toggled.count(), 0);
        QTest::mouseClick(&toggle, Qt::LeftButton);
        QTest::mouseClick(&toggle, Qt::LeftButton);
        QCOMPARE(toggled.count(), 2);
        QCOMPARE(toggled.at(1).at(0).toBool(), false);
    }
};

QTEST_MAIN(TestToggleSwitch)
#include "tst_ToggleSwitch.moc"
