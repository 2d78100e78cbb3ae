#include "Config.h"
#include "HeightToleranceDialog.h"
#include "HeightToleranceWidget.h"
#include "NumpadDialog.h"
#include "Singleton.h"
#include "TolerancePalettePicker.h"
#include "TolerancePaletteWidget.h"
#include "ToleranceWidget.h"
#include "YamlConfig.h"
#include "ZenticMessageBox.h"

#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

const QString node = QStringLiteral("project2d");

QString stored(Config& config, const char* key)
{
    return config.getParam(QLatin1String(key), node, QString(), false);
}

std::unique_ptr<HeightToleranceWidget> build(Config& config)
{
    return std::unique_ptr<HeightToleranceWidget>(HeightToleranceWidget::createHeightToleranceWidget(&config, nullptr));
}

QStringList storedValues(Config& config)
{
    return {stored(config, "heightToleranceLow"), stored(config, "heightToleranceOptimal"),
            stored(config, "heightToleranceHigh")};
}

void store(Config& config, const char* key, const QString& value)
{
    config.setParam(QLatin1String(key), value, node, false);
}

} // namespace

class HeightToleranceWidgetTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void enteringOneValueLeavesTheOthersAndTheUsersPaletteAlone()
    {
        // Given stored values that the fields can only show rounded, and a palette of the user's own
        Config config;
        store(config, "heightToleranceLow", QStringLiteral("2.4"));
        store(config, "heightToleranceOptimal", QStringLiteral("7.123456789"));
        store(config, "heightToleranceHigh", QStringLiteral("-3.5"));
        store(config, "heightTolerancePalette", QStringLiteral("#010203 #040506 #070809"));
        auto widget = build(config);
        QCOMPARE(widget->getPalettePicker()->tiles().size(), 7);
        QVERIFY(widget->getPalettePicker()->tiles().last()->isSelected());

        // When the user enters 5 for the low value
        NumpadDialog::AnswerGuard typeFive(5.0);
        QTest::mousePress(widget->getToleranceWidget()->lowField(), Qt::LeftButton);

        // Then only the low value is written; the others keep their text and precision
        const QStringList expected{"5", "7.123456789", "-3.5"};
        QCOMPARE(storedValues(config), expected);
        QCOMPARE(stored(config, "heightTolerancePalette"), QStringLiteral("#010203 #040506 #070809"));
        // nor does picking a palette
        QTest::mousePress(widget->getPalettePicker()->tiles().at(1), Qt::LeftButton);
        QCOMPARE(storedValues(config), expected);
    }

    void widgetDestroyedWhileThePadRuns()
    {
        Config config;
        auto widget = build(config);
        QPointer<ToleranceWidget> bar = widget->getToleranceWidget();
        NumpadDialog::AnswerGuard closeDialog([&widget](NumpadDialog&) {
            widget.reset();
            return NumpadDialog::Answer::Accept;
        });
        QTest::mousePress(bar->lowField(), Qt::LeftButton);
        QVERIFY(!bar);
        QCOMPARE(stored(config, "heightToleranceLow"), QStringLiteral("10"));
    }

    void padShowsStoredUnitAndCancelChangesNothing()
    {
        Config config;
        store(config, "heightTolernaceSuffix", QStringLiteral("mm"));
        auto widget = build(config);
        QSignalSpy changed(widget->getToleranceWidget(), &ToleranceWidget::toleranceValueChanged);
        QString padSuffix;
        NumpadDialog::AnswerGuard inspect([&](NumpadDialog& pad) {
            padSuffix = qobject_cast<QSpinBox*>(pad.editor())->suffix();
            return NumpadDialog::Answer::Reject;
        });
        QTest::mousePress(widget->getToleranceWidget()->optimalField(), Qt::LeftButton);
        QCOMPARE(padSuffix.trimmed(), QStringLiteral("mm"));
        QCOMPARE(changed.count(), 0);
    }

    void unreadablePaletteShowsDefaultColoursAndSurvives()
    {
        Config config;
        store(config, "heightTolerancePalette", QStringLiteral("sunset"));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("select palette")));
        auto widget = build(config);
        for (TolerancePaletteWidget* tile : widget->getPalettePicker()->tiles())
            QVERIFY(!tile->isSelected());
        QVERIFY(widget->getToleranceWidget()->lowField()->styleSheet().contains(QColor(Qt::yellow).name()));

        QTest::ignoreMessage(QtWarningMsg, "No selected palette.");
        NumpadDialog::AnswerGuard typeOne(1.0);
        QTest::mousePress(widget->getToleranceWidget()->lowField(), Qt::LeftButton);
        QCOMPARE(stored(config, "heightTolerancePalette"), QStringLiteral("sunset"));
    }

    void dialogWritesTheYamlFileOnEveryChange()
    {
        // Given the process-wide store backed by a file that does not exist yet
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("settings.yaml"));
        YamlConfig* config = Singleton<YamlConfig>::instance();
        config->parseConfig(file, true);
        HeightToleranceDialog dialog(nullptr);
        HeightToleranceWidget* widget = dialog.getHeightToleranceWidget();
        QVERIFY(!QFile::exists(file));

        // When the user enters a value
        NumpadDialog::AnswerGuard typeSeven(7.0);
        QTest::mousePress(widget->getToleranceWidget()->highField(), Qt::LeftButton);

        // Then the file holds every key of "project2d"
        YamlConfig reread;
        QVERIFY(reread.parseConfig(file, true) >= 5);
        QCOMPARE(storedValues(reread), (QStringList{"10", "10", "7"}));
        QCOMPARE(stored(reread, "heightTolernaceSuffix"), QStringLiteral("cm"));
    }

    void dialogTellsTheUserWhenItsSaveFails()
    {
        // Given the process-wide store backed by a file in a directory that is gone
        QTemporaryDir dir;
        Singleton<YamlConfig>::instance()->parseConfig(dir.filePath(QStringLiteral("gone/settings.yaml")), true);
        HeightToleranceDialog dialog(nullptr);

        // When the user enters a value
        ZenticMessageBox::AnswerGuard answer(QMessageBox::Ok);
        NumpadDialog::AnswerGuard typeThree(3.0);
        QTest::mousePress(dialog.getHeightToleranceWidget()->getToleranceWidget()->highField(), Qt::LeftButton);

        // Then a warning tells the user that the settings were not saved
        QCOMPARE(answer.texts(), QStringList{"Settings not saved"});
    }

    void dialogShowsThePaletteWhole_data()
    {
        // The tiles and value fields are sized in pixels, the dialog by its font.
        QTest::addColumn<int>("pointSize");
        QTest::newRow("small font") << 7;
        QTest::newRow("desktop font") << 9;
        QTest::newRow("large font") << 14;
    }

    void dialogShowsThePaletteWhole()
    {
        QFETCH(int, pointSize);
        // Given a dialog in the user's font
        QTemporaryDir dir;
        Singleton<YamlConfig>::instance()->parseConfig(dir.filePath(QStringLiteral("settings.yaml")), true);
        HeightToleranceDialog dialog(nullptr);
        QFont font = dialog.font();
        font.setPointSize(pointSize);
        dialog.setFont(font);

        // When it is shown
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));

        // Then its page, which does not scroll sideways, fits its tab: the palettes show up to their right edge
        auto area = qobject_cast<QScrollArea*>(dialog.getTabWidget()->currentWidget());
        QVERIFY(area);
        QVERIFY2(area->widget()->width() <= area->viewport()->width(),
                 qPrintable(QStringLiteral("page %1 wide in a tab of %2")
                                .arg(area->widget()->width())
                                .arg(area->viewport()->width())));
        TolerancePalettePicker* picker = dialog.getHeightToleranceWidget()->getPalettePicker();
        QVERIFY(picker->mapTo(area->viewport(), QPoint(picker->width(), 0)).x() <= area->viewport()->width());
    }
};

QTEST_MAIN(HeightToleranceWidgetTest)
#include "tst_HeightToleranceWidget.moc"
