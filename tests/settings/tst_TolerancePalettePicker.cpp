#include "TolerancePalettePicker.h"
#include "TolerancePaletteWidget.h"

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

};

QTEST_MAIN(TolerancePalettePickerTest)
#include "tst_TolerancePalettePicker.moc"
