#include "Config.h"
#include "ConfigOption.h"
#include "ConfigWidget.h"
#include "ConfigWidgetDragHelper.h"
#include "ZenticMessageBox.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QVBoxLayout>

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

QGroupBox* groupOf(const ConfigOption& option)
{
    return qobject_cast<QGroupBox*>(option.getLabelWidget()->parentWidget());
}

QVBoxLayout* pageLayout(ConfigWidget& dialog, int tab)
{
    auto* scrollArea = qobject_cast<QScrollArea*>(dialog.getTabWidget()->widget(tab));
    return qobject_cast<QVBoxLayout*>(scrollArea->widget()->layout());
}

} // namespace

class ConfigWidgetTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void groupTitleOpensTabOnce()
    {
        Config config;
        ConfigWidget dialog(false, nullptr, false);
        const ConfigOption first = textOption(config, QStringLiteral("a"));
        dialog.addOption(first, QStringLiteral("Motor"), {}, {});
        dialog.newTab(QStringLiteral("Other"));
        const ConfigOption second = textOption(config, QStringLiteral("b"));
        dialog.addOption(second, QStringLiteral("Motor"), {}, {});

        QCOMPARE(dialog.getTabWidget()->count(), 2);
        QCOMPARE(dialog.getTabWidget()->tabText(0), QStringLiteral("Motor"));
        QCOMPARE(groupOf(first)->title(), QStringLiteral("Motor"));
        QCOMPARE(groupOf(second), groupOf(first));
        QCOMPARE(first.getLabelWidget()->buddy(), first.getEditorWidget());
        QCOMPARE(first.getEditorWidget()->maximumWidth(), 350);
        QCOMPARE(dialog.getConfigOption(QStringLiteral("b")).getEditorWidget(), second.getEditorWidget());
        QVERIFY(dialog.getConfigOption(QStringLiteral("B")).getKey().isEmpty());
        QVERIFY(!dialog.getConfigOption(QStringLiteral("B")).getEditorWidget());
    }

    void freshDialogCreatesGeneralTabAndGroup()
    {
        Config config;
        ConfigWidget dialog(false, nullptr, false);
        auto* widget = new QLabel(QStringLiteral("extra"));
        dialog.addWidget(widget, {});
        QCOMPARE(dialog.getTabWidget()->count(), 1);
        QCOMPARE(dialog.getTabWidget()->tabText(0), QStringLiteral("General"));
        QCOMPARE(qobject_cast<QGroupBox*>(widget->parentWidget())->title(), QStringLiteral("General"));

        const ConfigOption option = textOption(config, QStringLiteral("a"));
        dialog.addOption(option, {}, {});
        QCOMPARE(groupOf(option), qobject_cast<QGroupBox*>(widget->parentWidget()));
        QCOMPARE(dialog.getCurrentGroupLayout(), groupOf(option)->layout());
        QCOMPARE(dialog.getCurrentPageLayout(), pageLayout(dialog, 0));
    }

    void skipSpacerLeavesOnePageOpen()
    {
        ConfigWidget dialog(false, nullptr, false);
        dialog.newTab(QStringLiteral("A"));
        dialog.skipSpacer();
        dialog.newTab(QStringLiteral("B"));
        dialog.newTab(QStringLiteral("C"));
        QCOMPARE(pageLayout(dialog, 0)->count(), 0);
        QCOMPARE(pageLayout(dialog, 1)->count(), 1);
        QCOMPARE(pageLayout(dialog, 2)->count(), 0);
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
        dialog.addOption(mode, {}, {});
        dialog.addOption(speed, {}, {});
        dialog.addOption(free, {}, {});

        QVERIFY(speed.getEditorWidget()->isHidden());
        QVERIFY(speed.getLabelWidget()->isHidden());
        QVERIFY(!free.getEditorWidget()->isHidden());

        // When the user picks the enabling value
        qobject_cast<QComboBox*>(mode.getEditorWidget())->setCurrentIndex(1);
        // Then the dependent option shows, and hides again with the other value
        QVERIFY(!speed.getEditorWidget()->isHidden());
        QVERIFY(!speed.getLabelWidget()->isHidden());
        qobject_cast<QComboBox*>(mode.getEditorWidget())->setCurrentIndex(0);
        QVERIFY(speed.getEditorWidget()->isHidden());
        QVERIFY(speed.getEditorWidget()->isEnabled());
    }

    void savesOnDemand()
    {
        Config config;
        config.setParam(QStringLiteral("a"), QStringLiteral("old"), node, false);
        config.setParam(QStringLiteral("b"), QStringLiteral("keep"), node, false);
        config.applyConfig();
        ConfigWidget dialog(false, nullptr, false);
        const ConfigOption a = textOption(config, QStringLiteral("a"));
        dialog.addOption(a, {}, {});
        dialog.addOption(textOption(config, QStringLiteral("b")), {}, {});
        QVERIFY(!dialog.getSaveButton()->isHidden());
        QVERIFY(dialog.getSaveButton()->isEnabled());
        QSignalSpy applied(&config, &Config::configChanged);

        lineEditOf(a)->setText(QStringLiteral("new"));
        QCOMPARE(config.getParam(QStringLiteral("a"), node, QString(), false), QStringLiteral("old"));
        QCOMPARE(applied.count(), 0);

        dialog.getSaveButton()->click();
        QCOMPARE(config.getParam(QStringLiteral("a"), node, QString(), false), QStringLiteral("new"));
        QCOMPARE(config.getParam(QStringLiteral("b"), node, QString(), false), QStringLiteral("keep"));
        QCOMPARE(applied.count(), 2);
    }

    void savesOnEveryChange()
    {
        Config config;
        ConfigWidget dialog(true, nullptr, false);
        const ConfigOption a = textOption(config, QStringLiteral("a"));
        dialog.addOption(a, {}, {});
        QVERIFY(dialog.getSaveButton()->isHidden());
        QCOMPARE(dialog.layout()->indexOf(dialog.getSaveButton()), -1);
        QSignalSpy applied(&config, &Config::configChanged);

        lineEditOf(a)->setText(QStringLiteral("x"));
        QCOMPARE(config.getParam(QStringLiteral("a"), node, QString(), false), QStringLiteral("x"));
        QCOMPARE(applied.count(), 1);
        lineEditOf(a)->setText(QStringLiteral("xy"));
        QCOMPARE(config.getParam(QStringLiteral("a"), node, QString(), false), QStringLiteral("xy"));
    }

    void showsOneRestartNoticePerSave()
    {
        Config config;
        ConfigWidget dialog(false, nullptr, false);
        const ConfigOption first = textOption(config, QStringLiteral("a"), true);
        const ConfigOption second = textOption(config, QStringLiteral("b"), true);
        dialog.addOption(first, {}, {});
        dialog.addOption(second, {}, {});
        dialog.addOption(textOption(config, QStringLiteral("c")), {}, {});

        ZenticMessageBox::AnswerGuard answer(QMessageBox::Ok);
        dialog.save();
        QCOMPARE(answer.count(), 0);

        lineEditOf(first)->setText(QStringLiteral("1"));
        lineEditOf(second)->setText(QStringLiteral("2"));
        dialog.save();
        QCOMPARE(answer.count(), 1);
        QCOMPARE(answer.texts().last(), QStringLiteral("Restart required."));
        QCOMPARE(answer.informativeTexts().last(),
                 QStringLiteral("Some of the made changes will only be applied after restart."));
    }

    void centresAndFitsIntoScreen()
    {
        ConfigWidget dialog(false, nullptr, false);
        dialog.resize(300, 200);
        dialog.show();
        const QRect avail = QGuiApplication::primaryScreen()->availableGeometry();
        QCOMPARE(dialog.maximumSize(), QSize(int(avail.width() * 0.9), int(avail.height() * 0.9)));
        const int x = avail.left() + (avail.right() - avail.left() - (dialog.width() - 1)) / 2;
        const int y = avail.top() + (avail.bottom() - avail.top() - (dialog.height() - 1)) / 2;
        QTRY_COMPARE(dialog.pos(), QPoint(x, y));
    }

    void dragsByBackgroundOnly()
    {
        ConfigWidget dialog(false, nullptr, false);
        dialog.resize(300, 200);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        ConfigWidgetDragHelper* helper = dialog.getDragHelper();
        QVERIFY(helper);

        QVERIFY(!helper->canDragFromWidget(dialog.getTabWidget()->findChild<QTabBar*>()));
        QTest::mousePress(dialog.getSaveButton(), Qt::LeftButton);
        QVERIFY(!helper->isDragging());
        QTest::mouseRelease(dialog.getSaveButton(), Qt::LeftButton);

        QTest::mousePress(&dialog, Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(helper->isDragging());
        QCOMPARE(dialog.cursor().shape(), Qt::ClosedHandCursor);

        // Dragging far away keeps the dialog 20 pixels inside the available area.
        const QRect avail = QGuiApplication::primaryScreen()->availableGeometry();
        QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), QPointF(avail.bottomRight() - QPoint(1, 1)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&dialog, &move);
        QCOMPARE(dialog.pos(), QPoint(avail.right() - dialog.width() - 20, avail.bottom() - dialog.height() - 20));

        QTest::mouseRelease(&dialog, Qt::RightButton, {}, QPoint(5, 5));
        QVERIFY(helper->isDragging());
        QTest::mouseRelease(&dialog, Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(!helper->isDragging());
        QCOMPARE(dialog.cursor().shape(), Qt::ArrowCursor);
    }
};

QTEST_MAIN(ConfigWidgetTest)
#include "tst_ConfigWidget.moc"
