#include "TolerancePalettePicker.h"
#include "TolerancePaletteWidget.h"
#include "TestSupport.h"

#include <QSignalSpy>
#include <QTest>

namespace {

QList<TolerancePalette> palettes(int count)
{
    QList<TolerancePalette> list;
    for (int i = 0; i < count; ++i)
        list << TolerancePalette(QColor(i, 0, 0), Qt::green, Qt::blue);
    return list;
}

} // namespace

class TolerancePalettePickerTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void refusesDuplicatePalette()
    {
        TolerancePalettePicker picker(palettes(2), palettes(1).first(), nullptr);
        TestSupport::LogCapture log;
        picker.addTolerancePalette(palettes(2).last());
        QVERIFY(log.contains(QStringLiteral("Can't add this palette. It already exists")));
        QCOMPARE(picker.tiles().size(), 2);
    }

    void pressSelectsTileEvenWhenCurrent()
    {
        const QList<TolerancePalette> list = palettes(3);
        TolerancePalettePicker picker(list, list.first(), nullptr);
        QVERIFY(picker.tiles().first()->isSelected());
        QSignalSpy changed(&picker, &TolerancePalettePicker::currentPaletteChanged);

        QTest::mousePress(picker.tiles().at(2), Qt::LeftButton);
        QCOMPARE(changed.count(), 1);
        QVERIFY(changed.last().at(0).value<TolerancePalette>() == list.at(2));
        QVERIFY(!picker.tiles().first()->isSelected());
        QVERIFY(picker.tiles().at(2)->isSelected());

        QTest::mousePress(picker.tiles().at(2), Qt::LeftButton);
        QCOMPARE(changed.count(), 2);
    }

    void unknownCurrentLeavesNothingSelected()
    {
        TestSupport::LogCapture log;
        TolerancePalettePicker picker(palettes(2), TolerancePalette(Qt::black, Qt::black, Qt::black), nullptr);
        QVERIFY(log.contains(QString::fromUtf8("\u0421an't select palette. This palette is not in the list. Add it "
                                               "using the \"addTolerancePalette\" function.")));
        QVERIFY(picker.getCurrentTolerancePalette() == TolerancePalette());
        QVERIFY(log.contains(QStringLiteral("No selected palette.")));
    }
};

QTEST_MAIN(TolerancePalettePickerTest)
#include "tst_TolerancePalettePicker.moc"
