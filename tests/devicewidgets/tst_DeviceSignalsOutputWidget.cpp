#include "ConsoleWidget.h"
#include "DeviceManager.h"
#include "DeviceSignalsConsole.h"
#include "DeviceSignalsGraph.h"
#include "DeviceSignalsOutputWidget.h"
#include "ProbeDevice.h"

#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>

#include <memory>

class tst_DeviceSignalsOutputWidget : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<DeviceManager> manager;
    std::unique_ptr<DeviceSignalsOutputWidget> panel;
    QString name;

    ProbeDevice* probe() const { return static_cast<ProbeDevice*>(manager->getDevice(name)); }
    DeviceSignalsConsole* signalsConsole() const { return panel->getSignalsConsole(); }
    QTextDocument* text() const { return signalsConsole()->getConsole()->document(); }
    QString lastLine() const { return text()->lastBlock().text(); }
    void choose(const QString& signal) { panel->getSignalBox()->setCurrentText(signal); }

private Q_SLOTS:
    void init()
    {
        manager = std::make_unique<DeviceManager>();
        manager->registerDeviceType("probe", DeviceTypeInfo(), [] { return new ProbeDevice; });
        name = manager->createDevice("probe", true);
        panel = std::make_unique<DeviceSignalsOutputWidget>(*manager, name);
        panel->resize(500, 400);
        panel->show();
    }

    void cleanup()
    {
        panel.reset();
        manager.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void routesNumbersToTheGraphAndTheRestToTheConsole_data()
    {
        QTest::addColumn<QString>("signal");
        QTest::addColumn<bool>("onGraph");
        QTest::newRow("double") << "valueChanged(double)" << true;
        QTest::newRow("vector") << "vectorChanged(DoubleVec)" << true;
        QTest::newRow("bool") << "flagChanged(bool)" << false;
        QTest::newRow("none") << "pulse()" << false;
    }

    void routesNumbersToTheGraphAndTheRestToTheConsole()
    {
        QFETCH(QString, signal);
        QFETCH(bool, onGraph);
        choose(QStringLiteral("flagChanged(bool)"));
        choose(signal);
        QCOMPARE(signalsConsole()->isVisible(), !onGraph);
        QCOMPARE(panel->getGraph()->getConnectedSignal(), onGraph ? signal : QString());
        QCOMPARE(signalsConsole()->getCurrentSignal(), onGraph ? QString() : signal);
    }

    void consoleWritesWhatTheDeviceEmitsAsText()
    {
        choose(QStringLiteral("textChanged(QString)"));
        probe()->emitText(QStringLiteral("a <b>bold</b> & more"));
        QCOMPARE(lastLine(), QStringLiteral("a <b>bold</b> & more"));
        choose(QStringLiteral("bytesChanged(QByteArray)"));
        probe()->emitBytes(QByteArray("\x00\xab\x0a\xff", 4));
        QVERIFY(signalsConsole()->getConsole()->getLines().last().contains(QLatin1String(">00 AB 0A FF </font>")));
    }

    void switchingSignalsDropsTheOldSubscription()
    {
        choose(QStringLiteral("textChanged(QString)"));
        choose(QStringLiteral("flagChanged(bool)"));
        probe()->emitText(QStringLiteral("not heard"));
        QVERIFY(!text()->toPlainText().contains(QLatin1String("not heard")));
        // The graph left its double signal when the choice went to the console
        probe()->emitValue(3.0);
        QCOMPARE(panel->getGraph()->statistics().count(), 0);
    }

    void pauseStopsWritingButKeepsTheSubscription()
    {
        choose(QStringLiteral("textChanged(QString)"));
        signalsConsole()->togglePause();
        probe()->emitText(QStringLiteral("while paused"));
        QVERIFY(!text()->toPlainText().contains(QLatin1String("while paused")));
        QCOMPARE(signalsConsole()->getCurrentSignal(), QStringLiteral("textChanged(QString)"));
        signalsConsole()->togglePause();
        probe()->emitText(QStringLiteral("after the pause"));
        QCOMPARE(lastLine(), QStringLiteral("after the pause"));
    }

    void searchCountsAndWrapsAround()
    {
        // Given three lines that hold the word in varying case, one of them twice in a row
        choose(QStringLiteral("textChanged(QString)"));
        for (const char* line : {"alpha", "ALPHAalpha", "beta"})
            probe()->emitText(QString::fromLatin1(line));
        signalsConsole()->search(QStringLiteral("Alpha"));
        QCOMPARE(signalsConsole()->getMatchText(), QStringLiteral("1/3"));
        // Previous from the first wraps to the last, next from the last to the first
        signalsConsole()->findPrevious();
        QCOMPARE(signalsConsole()->getMatchText(), QStringLiteral("3/3"));
        QCOMPARE(signalsConsole()->getConsole()->textCursor().blockNumber(), 1);
        signalsConsole()->findNext();
        QCOMPARE(signalsConsole()->getMatchText(), QStringLiteral("1/3"));
        QCOMPARE(signalsConsole()->getConsole()->textCursor().blockNumber(), 0);
    }

    void detachedCopyFollowsOnItsOwnAndGoesWhenClosed()
    {
        // Given a console with a line written
        choose(QStringLiteral("textChanged(QString)"));
        probe()->emitText(QStringLiteral("one"));
        // When it is detached
        QTest::mouseClick(panel->getDetachButton(), Qt::LeftButton);
        QPointer<DeviceSignalsOutputWidget> copy;
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (window != panel.get() && qobject_cast<DeviceSignalsOutputWidget*>(window))
                copy = qobject_cast<DeviceSignalsOutputWidget*>(window);
        }
        QVERIFY(copy);
        // Then it shows the same signal and lines, and receives on its own
        QCOMPARE(copy->getSignalBox()->currentText(), QStringLiteral("textChanged(QString)"));
        QCOMPARE(copy->getSignalsConsole()->getConsole()->getLines(), signalsConsole()->getConsole()->getLines());
        panel.reset();
        probe()->emitText(QStringLiteral("three"));
        QVERIFY(copy->getSignalsConsole()->getConsole()->toPlainText().endsWith(QLatin1String("three")));
        // And closing it deletes it
        copy->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!copy);
        probe()->emitText(QStringLiteral("nobody listens"));
    }
};

QTEST_MAIN(tst_DeviceSignalsOutputWidget)
#include "tst_DeviceSignalsOutputWidget.moc"
