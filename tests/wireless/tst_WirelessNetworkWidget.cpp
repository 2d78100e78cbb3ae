#include "ConnectivityMonitor.h"
#include "LibraryTranslator.h"
#include "LineEditWithKeyboard.h"
#include "NetworkRowDelegate.h"
#include "Singleton.h"
#include "ToggleSwitch.h"
#include "WirelessNetworkList.h"
#include "WirelessNetworkManager.h"
#include "WirelessNetworkPasswordDialog.h"
#include "WirelessNetworkWidget.h"
#include "YamlConfig.h"

#include <QAbstractItemModelTester>
#include <QListView>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QThread>
#include <QtTest>

using Answer = WirelessNetworkPasswordDialog::Answer;

namespace {

const int wifiRole = NetworkRowDelegate::getWifiIndex() + 1;
const int lockRole = NetworkRowDelegate::getLockIndex() + 1;
const int statusRole = NetworkRowDelegate::getStatusIndex() + 1;
const int spinnerRole = NetworkRowDelegate::getSpinnerIndex() + 1;
const int conditionRole = NetworkRowDelegate::getNetworkConditionIndex() + 1;
// The manager's own answers never arrive: the tests play them by hand.
const int silentLatency = 3600 * 1000;

NetworkInformation network(const QString& ssid, bool isOpen = false, bool isSaved = false, int signal = 60)
{
    NetworkInformation info;
    info.ssid = ssid;
    info.signal = signal;
    info.isOpen = isOpen;
    info.isSaved = isSaved;
    return info;
}

// Which resource an icon shows, told by its picture.
bool shows(const QVariant& value, const QString& name)
{
    const QImage shown = value.value<QIcon>().pixmap(20, 20).toImage();
    return !shown.isNull() && shown == QIcon(":/icons/dozerozozu_" + name).pixmap(20, 20).toImage();
}

WirelessNetworkManager* manager() { return Singleton<WirelessNetworkManager>::instance(); }

} // namespace

class TestWirelessNetworkWidget : public QObject
{
    Q_OBJECT

private:
    WirelessNetworkWidget* popup = nullptr;
    QThread worker;

    void makePopup(int latency = silentLatency)
    {
        manager()->simulateLatency(latency);
        popup = new WirelessNetworkWidget(nullptr, false);
        new QAbstractItemModelTester(popup->networkRows()->model(),
                                     QAbstractItemModelTester::FailureReportingMode::QtTest, popup);
        popup->connectivityMonitor()->setProbeInterval(30);
        popup->setErrorHoldInterval(300);
    }
    QPushButton* button(const char* name) const { return popup->findChild<QPushButton*>(name); }
    QStandardItem* row(const QString& ssid) const { return popup->networkRows()->find(ssid); }
    QString names() const { return popup->networkRows()->names().join(' '); }
    QString condition(const QString& ssid) const { return row(ssid)->data(conditionRole).toString(); }
    void select(const QString& ssid) { popup->listView()->setCurrentIndex(row(ssid)->index()); }
    void switchModule(bool on) { popup->findChild<ToggleSwitch*>("moduleSwitch")->setToggled(on); }

    // The manager's answers, played by hand.
    void scan(const WirelessNetworksInfo& list) { invoke("updateModel", Q_ARG(WirelessNetworksInfo, list)); }
    void report(const NetworkInformation& info) { invoke("updateCurrentNetwork", Q_ARG(NetworkInformation, info)); }
    void answer(WirelessNetworkManager::NetworkStatus status) { invoke("updateNetworkStatus", Q_ARG(WirelessNetworkManager::NetworkStatus, status)); }
    void invoke(const char* slot, QGenericArgument argument) { QVERIFY(QMetaObject::invokeMethod(popup, slot, argument)); }

    /// enabled names the enabled buttons by first letter: C(ancel), c(onnect), D(isconnect), F(orget).
    void checkButtons(const QString& enabled)
    {
        QCOMPARE(button("cancelButton")->isEnabled(), enabled.contains('C'));
        QCOMPARE(button("connectButton")->isEnabled(), enabled.contains('c'));
        QCOMPARE(button("disconnectButton")->isEnabled(), enabled.contains('D'));
        QCOMPARE(button("forgetButton")->isEnabled(), enabled.contains('F'));
    }

private Q_SLOTS:
    void initTestCase()
    {
        // As the status widget would: the manager answers from its own thread.
        manager()->moveToThread(&worker);
        worker.start();
        Singleton<YamlConfig>::instance()->setParam("probeHost", "127.0.0.1", "wireless", false);
    }

    void cleanupTestCase()
    {
        worker.quit();
        worker.wait();
    }

    void init()
    {
        manager()->simulateModuleState(WirelessNetworkManager::ModuleOn);
        manager()->simulateNetworks({network("Workshop"), network("Guest", true)}, {{"Workshop", "orbodev123"}});
    }

    void cleanup()
    {
        LibraryTranslator::remove();
        delete popup;
        popup = nullptr;
        QTest::qWait(20);
        manager()->resetRequestCounts();
    }

    void scansMergeRowsInPlace()
    {
        // Given a scan naming A twice, and B chosen
        makePopup();
        scan({network("A", false, false, 10), network("B"), network("C"), network("A", false, false, 90)});
        QCOMPARE(names(), QString("A B C"));
        QVERIFY(shows(row("A")->data(wifiRole), "wifiThree")); // the later record
        select("B");

        // When B vanishes, its row goes and no neighbour becomes the row "Connect" would act on
        scan({network("C"), network("A")});
        QCOMPARE(names(), QString("A C"));
        QVERIFY(!popup->listView()->currentIndex().isValid());
        checkButtons("C");

        // And when it returns, it comes last
        scan({network("B"), network("A"), network("C")});
        QCOMPARE(names(), QString("A C B"));
    }

    void signalIconThresholds_data()
    {
        QTest::addColumn<int>("signal");
        QTest::addColumn<QString>("icon");
        QTest::newRow("25") << 25 << "wifiZero";
        QTest::newRow("26") << 26 << "wifiOne";
        QTest::newRow("51") << 51 << "wifiTwo";
        QTest::newRow("76") << 76 << "wifiThree";
    }

    void signalIconThresholds()
    {
        QFETCH(int, signal);
        QFETCH(QString, icon);
        makePopup();
        scan({network("A", false, false, 60)});
        scan({network("A", false, false, signal)});
        QVERIFY(shows(row("A")->data(wifiRole), icon));
    }

    void currentNetworkMarksItsRowOnly()
    {
        // Given an open network A and a protected B, the current one
        makePopup();
        scan({network("A", true), network("B")});
        report(network("B"));
        QCOMPARE(condition("B"), QString("Connected"));
        // An open network keeps its open padlock after a report
        QVERIFY(shows(row("A")->data(lockRole), "unlock") && !row("A")->data(statusRole).isValid());
    }

    void rowConditionsSpeakTheUsersLanguage()
    {
        // Given a Russian user's list with an open network A and B, the current one
        QVERIFY(LibraryTranslator::install(QLocale(QLocale::Russian, QLocale::Russia)));
        makePopup();
        scan({network("A", true), network("B")});
        report(network("B"));
        QCOMPARE(condition("B"), QString::fromUtf8("Подключено"));

        // When the user connects to A
        select("A");
        button("connectButton")->click();

        // Then its row says so in Russian too
        QCOMPARE(condition("A"), QString::fromUtf8("Подключение..."));
    }

    void connectsWithPasswordOnlyWhenNeeded_data()
    {
        QTest::addColumn<NetworkInformation>("record");
        QTest::addColumn<int>("prompts");
        NetworkInformation open = network("Stores", true), saved = network("Stores", false, true);
        open.password = saved.password = "kept as it is";
        QTest::newRow("open") << open << 0;
        QTest::newRow("saved") << saved << 0;
        QTest::newRow("protected") << network("Stores") << 1;
    }

    void connectsWithPasswordOnlyWhenNeeded()
    {
        QFETCH(NetworkInformation, record);
        QFETCH(int, prompts);
        makePopup();
        scan({network("A"), record});
        select("Stores");
        WirelessNetworkPasswordDialog::AnswerGuard type(QStringLiteral("typed password"));

        // When "Connect" is pressed, the password is asked for only when the network needs one
        button("connectButton")->click();
        QCOMPARE(type.count(), prompts);
        QCOMPARE(row("Stores")->data(spinnerRole), QVariant(true));
        checkButtons("");
        QTRY_COMPARE(manager()->requestCount("connectNetwork"), 1);
        if (prompts)
            record.password = "typed password";
        QCOMPARE(manager()->lastConnectRequest(), record);

        // Then answer 0 ends the attempt
        answer(WirelessNetworkManager::Connected);
        QVERIFY(!popup->isConnecting() && !row("Stores")->data(spinnerRole).isValid());
        checkButtons("CDF");
    }

    void failedAnswersHoldTheirText_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("text");
        QTest::newRow("3, error") << int(WirelessNetworkManager::ConnectionError) << "Error while connecting";
        QTest::newRow("4, wrong password") << int(WirelessNetworkManager::WrongPassword) << "Wrong password";
    }

    void failedAnswersHoldTheirText()
    {
        QFETCH(int, status);
        QFETCH(QString, text);
        // Given an attempt that fails
        makePopup();
        scan({network("A", true), network("B", true)});
        select("B");
        button("connectButton")->click();
        answer(WirelessNetworkManager::NetworkStatus(status));

        // Then the row shows why, and every button is back
        QCOMPARE(condition("B"), text);
        checkButtons("CcDF");

        // And a report within the hold leaves it; the first one after clears it
        report(NetworkInformation());
        QCOMPARE(condition("B"), text);
        QTest::qWait(400);
        report(NetworkInformation());
        QVERIFY(!row("B")->data(conditionRole).isValid() && !row("B")->data(statusRole).isValid());
    }

    void attemptEndingWithoutRequestLeavesNothingPending_data()
    {
        QTest::addColumn<bool>("rowChosen");
        QTest::newRow("prompt cancelled") << true;
        QTest::newRow("no row chosen") << false;
    }

    void attemptEndingWithoutRequestLeavesNothingPending()
    {
        QFETCH(bool, rowChosen);
        makePopup();
        scan({network("A"), network("B")});
        if (rowChosen)
            select("B");
        WirelessNetworkPasswordDialog::AnswerGuard cancel(Answer::Reject);
        QSignalSpy cancelled(popup, &WirelessNetworkWidget::connectionCancelled);

        QVERIFY(QMetaObject::invokeMethod(popup, "connectNetwork"));

        // Nothing pending or sent, the buttons as the selection says, and reports are heard again
        QCOMPARE(cancelled.count(), 1);
        QVERIFY(!popup->isConnecting() && !popup->pendingRow().isValid());
        checkButtons(rowChosen ? "Cc" : "C");
        QTest::qWait(20);
        QCOMPARE(manager()->requestCount("connectNetwork"), 0);
        report(network("B"));
        QCOMPARE(condition("B"), QString("Connected"));
    }

    void pendingRowRemovedBeforeTheAnswer_data()
    {
        QTest::addColumn<bool>("byModuleOff");
        QTest::addColumn<bool>("duringPrompt");
        QTest::newRow("scan without it") << false << false;
        QTest::newRow("module switched off") << true << false;
        QTest::newRow("scan during the prompt") << false << true;
    }

    void pendingRowRemovedBeforeTheAnswer()
    {
        QFETCH(bool, byModuleOff);
        QFETCH(bool, duringPrompt);
        // Given an attempt on row B
        makePopup();
        scan({network("A"), network("B")});
        select("B");
        const auto removeB = [&] { byModuleOff ? switchModule(false) : scan({network("A")}); };
        WirelessNetworkPasswordDialog::AnswerGuard type([&](WirelessNetworkPasswordDialog& dialog) {
            dialog.passwordField()->setText(QStringLiteral("orbodev123"));
            if (duringPrompt)
                removeB();
            return Answer::Accept;
        });
        button("connectButton")->click();
        QVERIFY(popup->isConnecting());

        // When row B goes before the answer
        if (!duringPrompt)
            removeB();
        QVERIFY(!popup->pendingRow().isValid());

        // Then the answer touches no row and ends the attempt
        answer(WirelessNetworkManager::WrongPassword);
        QVERIFY(!popup->isConnecting());
        QVERIFY(!row("A") || !row("A")->data(conditionRole).isValid());
        QTRY_COMPARE(manager()->requestCount("connectNetwork"), 1);
    }

    void reopenedPopupScansAgainAndProbesOnlyWhileShown()
    {
        // Given a shown popup, closed with "Cancel"
        makePopup(5);
        popup->setScanInterval(100);
        popup->show();
        QVERIFY(QTest::qWaitForWindowExposed(popup));
        QVERIFY(popup->connectivityMonitor()->isRunning());
        button("cancelButton")->click();
        QVERIFY(!popup->isScanning() && !popup->connectivityMonitor()->isRunning());
        QTest::qWait(150);
        manager()->resetRequestCounts();
        QTest::qWait(250);
        QCOMPARE(manager()->requestCount("scanNetwork"), 0);

        // When it is shown again, it scans at once and then periodically, and probes again
        popup->setScanInterval(1000);
        popup->show();
        QTRY_COMPARE_WITH_TIMEOUT(manager()->requestCount("scanNetwork"), 1, 500);
        QVERIFY(popup->connectivityMonitor()->isRunning());
        popup->setScanInterval(100);
        QTRY_VERIFY(manager()->requestCount("scanNetwork") >= 3);

        // And hidden (not closed) it scans on but stops probing
        popup->hide();
        QVERIFY(popup->isScanning() && !popup->connectivityMonitor()->isRunning());
    }

    void scansFollowClosingWhateverTheOrder()
    {
        // Given a popup closed twice (Cancel, then the window system)
        makePopup(5);
        popup->setScanInterval(50);
        popup->show();
        QVERIFY(QTest::qWaitForWindowExposed(popup));
        button("cancelButton")->click();
        popup->close();
        QVERIFY(!popup->isScanning());

        // When it is shown again, it scans and probes
        popup->show();
        QVERIFY(popup->isScanning() && popup->connectivityMonitor()->isRunning());
        QTest::qWait(30);
        manager()->resetRequestCounts();
        QTRY_VERIFY(manager()->requestCount("scanNetwork") >= 2);

        // And hidden, then closed while hidden, it stops until it is shown
        popup->hide();
        QVERIFY(popup->isScanning());
        popup->close();
        QVERIFY(!popup->isScanning() && !popup->connectivityMonitor()->isRunning());
        popup->show();
        QVERIFY(popup->isScanning());
    }

    void escapeClosesAsCancelDoes_data()
    {
        QTest::addColumn<bool>("attemptRunning");
        QTest::addColumn<bool>("closes");
        QTest::newRow("idle") << false << true;
        // Cancel is disabled while the manager works on a connection; so is Escape.
        QTest::newRow("connecting") << true << false;
    }

    void escapeClosesAsCancelDoes()
    {
        QFETCH(bool, attemptRunning);
        QFETCH(bool, closes);
        // Given a shown popup, a connection to an open network under way or not
        makePopup();
        scan({network("Guest", true)});
        popup->show();
        QVERIFY(QTest::qWaitForWindowExposed(popup));
        if (attemptRunning) {
            select("Guest");
            button("connectButton")->click();
            QVERIFY(popup->isConnecting());
        }

        // When the user presses Escape wherever the focus is in it
        QWidget* target = popup->focusWidget() ? popup->focusWidget() : popup;
        QTest::keyClick(target, Qt::Key_Escape);

        // Then it is closed, as by Cancel (no more periodic scans), or stays while Cancel is disabled
        QCOMPARE(popup->isVisible(), !closes);
        QCOMPARE(popup->isScanning(), !closes);
    }

    void missingModuleNeverScansPeriodically()
    {
        manager()->simulateModuleState(WirelessNetworkManager::ModuleMissing);
        makePopup(5);
        popup->show();
        popup->close();
        popup->show();
        QVERIFY(!popup->isScanning());
        popup->hide();
    }
};

QTEST_MAIN(TestWirelessNetworkWidget)
#include "tst_WirelessNetworkWidget.moc"
