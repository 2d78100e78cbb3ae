#include "HeightToleranceDialog.h"
#include "HeightToleranceWidget.h"
#include "Singleton.h"
#include "TolerancePalettePicker.h"
#include "TolerancePaletteWidget.h"
#include "YamlConfig.h"

#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

#include <memory>

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

    void clickAnywhereOnATileSelectsIt_data()
    {
        // Where on the tile: -1 its margin, else the swatch of that colour.
        QTest::addColumn<bool>("inSettings");
        QTest::addColumn<int>("swatch");
        for (bool inSettings : {false, true}) {
            const char* where = inSettings ? "scrolled settings page" : "picker alone";
            QTest::addRow("%s, margin", where) << inSettings << -1;
            QTest::addRow("%s, low colour", where) << inSettings << 0;
            QTest::addRow("%s, optimal colour", where) << inSettings << 1;
            QTest::addRow("%s, high colour", where) << inSettings << 2;
        }
    }

    void clickAnywhereOnATileSelectsIt()
    {
        // Given the picker on its own, or in the settings dialog on a page scrolled by touch
        QFETCH(bool, inSettings);
        QFETCH(int, swatch);
        QTemporaryDir dir;
        Singleton<YamlConfig>::instance()->parseConfig(dir.filePath(QStringLiteral("settings.yaml")), true);
        const QList<TolerancePalette> list = palettes(3);
        std::unique_ptr<QWidget> window;
        TolerancePalettePicker* picker = nullptr;
        if (inSettings) {
            auto dialog = new HeightToleranceDialog(nullptr);
            window.reset(dialog);
            picker = dialog->getHeightToleranceWidget()->getPalettePicker();
        } else {
            picker = new TolerancePalettePicker(list, list.first(), nullptr);
            window.reset(picker);
        }
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        picker->selectPalette(picker->tiles().first()->getTolerancePalette());
        TolerancePaletteWidget* tile = picker->tiles().at(1);
        if (inSettings) {
            window->resize(window->width(), 150);
            auto area = qobject_cast<QScrollArea*>(static_cast<HeightToleranceDialog*>(window.get())
                                                       ->getTabWidget()->currentWidget());
            QTRY_VERIFY(area->verticalScrollBar()->isVisible());
            area->ensureWidgetVisible(tile);
            QCoreApplication::processEvents();
        }
        QVERIFY(!tile->isSelected());
        QSignalSpy changed(picker, &TolerancePalettePicker::currentPaletteChanged);

        // When the user clicks its margin or one of its colours
        QWidget* target = swatch < 0 ? static_cast<QWidget*>(tile) : tile->findChildren<QLabel*>().at(swatch);
        const QPoint point = swatch < 0 ? QPoint(3, tile->height() / 2) : target->rect().center();
        QTest::mouseClick(window->windowHandle(), Qt::LeftButton, Qt::NoModifier, target->mapTo(window.get(), point));

        // Then the tile is selected, once
        QTRY_VERIFY(tile->isSelected());
        QCOMPARE(changed.count(), 1);
    }

};

QTEST_MAIN(TolerancePalettePickerTest)
#include "tst_TolerancePalettePicker.moc"
