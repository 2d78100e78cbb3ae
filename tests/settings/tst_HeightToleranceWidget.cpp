#include "Config.h"
#include "HeightToleranceDialog.h"
#include "HeightToleranceWidget.h"
#include "NumpadDialog.h"
#include "Singleton.h"
#include "TolerancePalettePicker.h"
#include "TolerancePaletteWidget.h"
#include "ToleranceWidget.h"
#include "YamlConfig.h"

#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QSpinBox>
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

void store(Config& config, const char* key, const QString& value)
{
    config.setParam(QLatin1String(key), value, node, false);
}

} // namespace

class HeightToleranceWidgetTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void storesDefaultsThenStoresClickedPalette()
    {
        Config config;
        auto widget = build(config);
        ToleranceWidget* bar = widget->getToleranceWidget();
        QCOMPARE(bar->lowField()->text(), QStringLiteral("10 cm"));
        QCOMPARE(bar->optimalField()->text(), QStringLiteral("10 cm"));
        QCOMPARE(bar->highField()->text(), QStringLiteral("10 cm"));
        QVERIFY(widget->getPalettePicker()->tiles().at(3)->isSelected());
        QCOMPARE(widget->getPalettePicker()->tiles().size(), 6);
        QCOMPARE(stored(config, "heightTolerancePalette"), QStringLiteral("#ec5655 #219652 #ec5655"));
        QCOMPARE(stored(config, "heightTolernaceSuffix"), QStringLiteral("cm"));
        QCOMPARE(stored(config, "heightToleranceLow"), QStringLiteral("10"));

        // A click on built-in palette 1 restyles the bar and stores its colours
        QTest::mousePress(widget->getPalettePicker()->tiles().at(0), Qt::LeftButton);
        QCOMPARE(stored(config, "heightTolerancePalette"), QStringLiteral("#ec5655 #219652 #327df0"));
        QVERIFY(widget->getToleranceWidget()->highField()->styleSheet().contains(QStringLiteral("#327df0")));
        QVERIFY(widget->getToleranceWidget()->lowField()->styleSheet().contains(
            QColor(QStringLiteral("#ec5655")).darker(150).name()));
    }

    void enteringOneValueLeavesTheOthersAlone()
    {
        // Given stored values that the fields can only show rounded
        Config config;
        store(config, "heightToleranceLow", QStringLiteral("2.4"));
        store(config, "heightToleranceOptimal", QStringLiteral("7.123456789"));
        store(config, "heightToleranceHigh", QStringLiteral("-3.5"));
        auto widget = build(config);
        QCOMPARE(widget->getToleranceWidget()->lowField()->text(), QStringLiteral("2 cm"));
        QSignalSpy changed(widget->getToleranceWidget(), &ToleranceWidget::toleranceValueChanged);

        // When the user enters 5 for the low value
        NumpadDialog::AnswerGuard typeFive(5.0);
        QTest::mousePress(widget->getToleranceWidget()->lowField(), Qt::LeftButton);

        // Then only the low value is written; the others keep their text and precision
        QCOMPARE(changed.count(), 1);
        QCOMPARE(widget->getToleranceWidget()->lowField()->text(), QStringLiteral("5 cm"));
        QCOMPARE(stored(config, "heightToleranceLow"), QStringLiteral("5"));
        QCOMPARE(stored(config, "heightToleranceOptimal"), QStringLiteral("7.123456789"));
        QCOMPARE(stored(config, "heightToleranceHigh"), QStringLiteral("-3.5"));
        QCOMPARE(widget->getToleranceValue().optimal, 7.123456789);

        QTest::mousePress(widget->getPalettePicker()->tiles().at(1), Qt::LeftButton);
        QCOMPARE(stored(config, "heightToleranceOptimal"), QStringLiteral("7.123456789"));
        QCOMPARE(stored(config, "heightToleranceLow"), QStringLiteral("5"));
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
        QCOMPARE(widget->getToleranceWidget()->optimalField()->text(), QStringLiteral("10 mm"));
        QString padSuffix;
        int minimum = 0;
        int maximum = 0;
        NumpadDialog::AnswerGuard inspect([&](NumpadDialog& pad) {
            auto* spinBox = qobject_cast<QSpinBox*>(pad.editor());
            padSuffix = spinBox->suffix();
            minimum = spinBox->minimum();
            maximum = spinBox->maximum();
            return NumpadDialog::Answer::Reject;
        });
        QTest::mousePress(widget->getToleranceWidget()->optimalField(), Qt::LeftButton);
        QCOMPARE(inspect.titles(), QStringList{QStringLiteral("Optimal value")});
        QVERIFY2(padSuffix.trimmed() == QStringLiteral("mm"), qPrintable(padSuffix));
        QCOMPARE(minimum, -100);
        QCOMPARE(maximum, 100);
        QCOMPARE(changed.count(), 0);
        QCOMPARE(widget->getToleranceWidget()->optimalField()->text(), QStringLiteral("10 mm"));
    }

    void keepsPaletteOfTheUsersOwn()
    {
        Config config;
        store(config, "heightTolerancePalette", QStringLiteral("#010203 #040506 #070809"));
        auto widget = build(config);
        TolerancePalettePicker* picker = widget->getPalettePicker();
        QCOMPARE(picker->tiles().size(), 7);
        QVERIFY(picker->tiles().last()->isSelected());
        QVERIFY(widget->getToleranceWidget()->optimalField()->styleSheet().contains(QStringLiteral("#040506")));

        NumpadDialog::AnswerGuard typeOne(1.0);
        QTest::mousePress(widget->getToleranceWidget()->lowField(), Qt::LeftButton);
        QCOMPARE(stored(config, "heightTolerancePalette"), QStringLiteral("#010203 #040506 #070809"));
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
        QTest::mousePress(widget->getPalettePicker()->tiles().at(0), Qt::LeftButton);
        QCOMPARE(stored(config, "heightTolerancePalette"), QStringLiteral("#ec5655 #219652 #327df0"));
    }

    void dialogWritesTheYamlFileOnEveryChange()
    {
        // Given the process-wide store backed by a file that does not exist yet
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("settings.yaml"));
        YamlConfig* config = Singleton<YamlConfig>::instance();
        config->parseConfig(file, true);
        HeightToleranceDialog dialog(nullptr);
        QVERIFY(dialog.getSaveButton()->isHidden());
        QVERIFY(!QFile::exists(file));

        // When the user enters a value
        NumpadDialog::AnswerGuard typeSeven(7.0);
        QTest::mousePress(dialog.getHeightToleranceWidget()->getToleranceWidget()->highField(), Qt::LeftButton);

        // Then the file holds every key of "project2d"
        YamlConfig reread;
        QVERIFY(reread.parseConfig(file, true) >= 5);
        QCOMPARE(reread.getParam(QStringLiteral("heightToleranceHigh"), node, QString(), false), QStringLiteral("7"));
        QCOMPARE(reread.getParam(QStringLiteral("heightToleranceLow"), node, QString(), false), QStringLiteral("10"));
        QCOMPARE(reread.getParam(QStringLiteral("heightTolerancePalette"), node, QString(), false),
                 QStringLiteral("#ec5655 #219652 #ec5655"));
    }
};

QTEST_MAIN(HeightToleranceWidgetTest)
#include "tst_HeightToleranceWidget.moc"
