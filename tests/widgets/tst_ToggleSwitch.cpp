#include "ToggleSwitch.h"

#include <QPropertyAnimation>
#include <QtTest>

class TestToggleSwitch : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void sizeHintIsNominal()
    {
        ToggleSwitch toggle;
        QCOMPARE(toggle.sizeHint(), QSize(38, 22));
        QCOMPARE(toggle.property("offset").toInt(), 8);
        QVERIFY(!toggle.isCheckable());
    }

    void switchingOnAnimatesThumbAcrossAndEmits()
    {
        // Given a switch 38 pixels wide
        ToggleSwitch toggle;
        toggle.resize(38, 22);
        QSignalSpy toggled(&toggle, &QAbstractButton::toggled);
        auto animation = toggle.findChild<QPropertyAnimation*>();
        QVERIFY(animation);

        // When it is switched on
        toggle.setToggled(true);

        // Then the thumb runs from 8 to 22 in 120 ms and toggled(true) is emitted once
        QCOMPARE(toggled.count(), 1);
        QCOMPARE(toggled.at(0).at(0).toBool(), true);
        QCOMPARE(animation->propertyName(), QByteArray("offset"));
        QCOMPARE(animation->startValue().toInt(), 8);
        QCOMPARE(animation->endValue().toInt(), 22);
        QCOMPARE(animation->duration(), 120);
        QTRY_COMPARE(toggle.property("offset").toInt(), 22);

        toggle.setToggled(false);
        QCOMPARE(animation->startValue().toInt(), 22);
        QCOMPARE(animation->endValue().toInt(), 8);
        QTRY_COMPARE(toggle.property("offset").toInt(), 8);
        QCOMPARE(toggled.count(), 2);
        QCOMPARE(toggled.at(1).at(0).toBool(), false);
    }

    void leftClickFlipsOtherButtonsDoNot()
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
        QCOMPARE(toggled.at(0).at(0).toBool(), true);
        QCOMPARE(toggled.at(1).at(0).toBool(), false);
    }

    void brushPropertyIsReadableAndWritable()
    {
        ToggleSwitch toggle;
        QVERIFY(toggle.setProperty("brush", QBrush(Qt::red)));
        QCOMPARE(toggle.property("brush").value<QBrush>().color(), QColor(Qt::red));
        QVERIFY(toggle.setProperty("offset", 15));
        QCOMPARE(toggle.property("offset").toInt(), 15);
    }

    void disabledSwitchPaintsGreyThumb()
    {
        ToggleSwitch toggle;
        toggle.resize(38, 22);
        toggle.setToggled(true);
        QTRY_COMPARE(toggle.property("offset").toInt(), 22);
        toggle.setEnabled(false);
        const QImage image = toggle.grab().toImage();
        QCOMPARE(image.pixelColor(22, 8).rgb(), QColor("#BDBDBD").rgb());
    }
};

QTEST_MAIN(TestToggleSwitch)
#include "tst_ToggleSwitch.moc"
