#include "Config.h"
#include "ConfigOption.h"
#include "ConfigWidget.h"
#include "ConfigWidgetDragHelper.h"
#include "ZenticMessageBox.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>

namespace {

const QString node = QStringLiteral("node");

ConfigOption textOption(Config& config, const QString& key, bool restart = false)
{
    return ConfigOption(&config, key, key, ConfigOption::Text, restart, node, QString());
}

QLineEdit* lineEditOf(const ConfigOption& option)
{
    return option.getEditorWidget()->findChild<QLineEdit*>();
}

QGroupBox* groupOf(const QWidget* widget)
{
    return qobject_cast<QGroupBox*>(widget->parentWidget());
}

QString storedText(Config& config, const char* key)
{
    return config.getParam(QLatin1String(key), node, QString(), false);
}

} // namespace

class ConfigWidgetTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void groupTitleOpensTabOnce()
    {
        // Given a widget and an option with no group, then two options of one group on another tab
        Config config;
        ConfigWidget dialog(false, nullptr, false);
        auto* widget = new QLabel(QStringLiteral("extra"));
        dialog.addWidget(widget, {});
        const ConfigOption general = textOption(config, QStringLiteral("g"));
        dialog.addOption(general, {}, {});
        const ConfigOption first = textOption(config, QStringLiteral("a"));
        dialog.addOption(first, QStringLiteral("Motor"), {}, {});
        dialog.newTab(QStringLiteral("Other"));
        const ConfigOption second = textOption(config, QStringLiteral("b"));
        dialog.addOption(second, QStringLiteral("Motor"), {}, {});

        // Then a "General" tab and group take the first two, and "Motor" opens one tab only
        QTabWidget* tabs = dialog.getTabWidget();
        QCOMPARE(tabs->count(), 3);
        QCOMPARE((QStringList{tabs->tabText(0), tabs->tabText(1)}), (QStringList{"General", "Motor"}));
        QCOMPARE(groupOf(widget)->title(), QStringLiteral("General"));
        QCOMPARE(groupOf(general.getLabelWidget()), groupOf(widget));
        QCOMPARE(groupOf(second.getLabelWidget())->title(), QStringLiteral("Motor"));
        QCOMPARE(groupOf(second.getLabelWidget()), groupOf(first.getLabelWidget()));
    }

    void conditionsShowAndHideOptions()
    {
        // Given a mode choice and two options that depend on it
        Config config;
        config.setParam(QStringLiteral("mode"), QStringLiteral("a"), node, false);
        ConfigWidget dialog(false, nullptr, false);
        ConfigOption mode(&config, QStringLiteral("Mode"), QStringLiteral("mode"), ConfigOption::Choice, false, node,
                          QString());
        mode << QStringList{"a", "b"};
        ConfigOption speed = textOption(config, QStringLiteral("speed"));
        speed.addEnabledConditions(QStringLiteral("mode"), {QStringLiteral("b")});
        ConfigOption free = textOption(config, QStringLiteral("free"));
        free.setEnabledConditions({{QStringLiteral("nothere"), {QStringLiteral("x")}}});
        for (const ConfigOption& option : {mode, speed, free})
            dialog.addOption(option, {}, {});
        const auto shown = [](const ConfigOption& option) {
            return qMakePair(!option.getEditorWidget()->isHidden(), !option.getLabelWidget()->isHidden());
        };
        QCOMPARE(shown(speed), qMakePair(false, false));
        QCOMPARE(shown(free), qMakePair(true, true));

        // When the user picks the enabling value
        qobject_cast<QComboBox*>(mode.getEditorWidget())->setCurrentIndex(1);
        // Then the dependent option shows, and hides again with the other value
        QCOMPARE(shown(speed), qMakePair(true, true));
        qobject_cast<QComboBox*>(mode.getEditorWidget())->setCurrentIndex(0);
        QCOMPARE(shown(speed), qMakePair(false, false));
    }

    void savesOnDemandOrOnEveryChange_data()
    {
        QTest::addColumn<bool>("saveOnChange");
        QTest::newRow("on demand") << false;
        QTest::newRow("on every change") << true;
    }

    void savesOnDemandOrOnEveryChange()
    {
        QFETCH(bool, saveOnChange);
        Config config;
        config.setParam(QStringLiteral("a"), QStringLiteral("old"), node, false);
        config.setParam(QStringLiteral("b"), QStringLiteral("keep"), node, false);
        config.applyConfig();
        ConfigWidget dialog(saveOnChange, nullptr, false);
        const ConfigOption a = textOption(config, QStringLiteral("a"));
        dialog.addOption(a, {}, {});
        dialog.addOption(textOption(config, QStringLiteral("b")), {}, {});
        QCOMPARE(dialog.getSaveButton()->isHidden(), saveOnChange);
        QSignalSpy applied(&config, &Config::configChanged);

        lineEditOf(a)->setText(QStringLiteral("new"));
        QCOMPARE(storedText(config, "a"), saveOnChange ? QStringLiteral("new") : QStringLiteral("old"));
        QCOMPARE(applied.isEmpty(), !saveOnChange);
        if (!saveOnChange)
            dialog.getSaveButton()->click();
        QCOMPARE(storedText(config, "a"), QStringLiteral("new"));
        QCOMPARE(storedText(config, "b"), QStringLiteral("keep"));
    }

    void showsOneRestartNoticePerSave()
    {
        Config config;
        ConfigWidget dialog(false, nullptr, false);
        const ConfigOption first = textOption(config, QStringLiteral("a"), true);
        const ConfigOption second = textOption(config, QStringLiteral("b"), true);
        for (const ConfigOption& option : {first, second, textOption(config, QStringLiteral("c"))})
            dialog.addOption(option, {}, {});

        ZenticMessageBox::AnswerGuard answer(QMessageBox::Ok);
        dialog.save();
        QCOMPARE(answer.count(), 0);

        lineEditOf(first)->setText(QStringLiteral("1"));
        lineEditOf(second)->setText(QStringLiteral("2"));
        dialog.save();
        QCOMPARE(answer.count(), 1);
        QCOMPARE(answer.texts().last(), QStringLiteral("Restart required."));
    }

    void centresThenDragsByBackgroundOnlyInsideScreen()
    {
        ConfigWidget dialog(false, nullptr, false);
        dialog.resize(300, 200);
        dialog.show();
        const QRect avail = QGuiApplication::primaryScreen()->availableGeometry();
        const int x = avail.left() + (avail.right() - avail.left() - (dialog.width() - 1)) / 2;
        const int y = avail.top() + (avail.bottom() - avail.top() - (dialog.height() - 1)) / 2;
        QTRY_COMPARE(dialog.pos(), QPoint(x, y));

        ConfigWidgetDragHelper* helper = dialog.getDragHelper();
        QTest::mousePress(dialog.getSaveButton(), Qt::LeftButton);
        QVERIFY(!helper->isDragging());
        QTest::mouseRelease(dialog.getSaveButton(), Qt::LeftButton);

        QTest::mousePress(&dialog, Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(helper->isDragging());
        QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), QPointF(avail.bottomRight() - QPoint(1, 1)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&dialog, &move);
        QCOMPARE(dialog.pos(), QPoint(avail.right() - dialog.width() - 20, avail.bottom() - dialog.height() - 20));
        QTest::mouseRelease(&dialog, Qt::LeftButton, {}, QPoint(5, 5));
    }
};

QTEST_MAIN(ConfigWidgetTest)
#include "tst_ConfigWidget.moc"
