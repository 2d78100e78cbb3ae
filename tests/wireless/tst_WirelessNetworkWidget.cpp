#include "ConnectivityMonitor.h"
#include "LineEditWithKeyboard.h"
#include "NetworkRowDelegate.h"
#include "QtWaitingSpinner.h"
#include "Singleton.h"
#include "ToggleSwitch.h"
#include "WirelessNetworkList.h"
#include "WirelessNetworkManager.h"
#include "WirelessNetworkPasswordDialog.h"
#include "WirelessNetworkWidget.h"
#include "YamlConfig.h"

#include <QAbstractItemModelTester>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QThread>
#include <QtTest>

using Answer = WirelessNetworkPasswordDialog::Answer;

namespace {

const int statusRole = NetworkRowDelegate::getStatusIndex() + 1;
const int spinnerRole = NetworkRowDelegate::getSpinnerIndex() + 1;
const int conditionRole = NetworkRowDelegate::getNetworkConditionIndex() + 1;
const int ipAddressRole = NetworkRowDelegate::getIpAddressIndex() + 1;
// Long enough that the manager's own answers never arrive during a test that drives the popup by hand.
const int silentLatency = 3600 * 1000;

NetworkInformation network(const QString& ssid, bool isOpen = false, bool isSaved = false)
{
    NetworkInformation info;
    info.ssid = ssid;
    info.signal = 60;
    info.isOpen = isOpen;
    info.isSaved = isSaved;
    return info;
}

WirelessNetworkManager* manager()
{
    return Singleton<WirelessNetworkManager>::instance();
}

} // namespace

class TestWirelessNetworkWidget : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();
    void moduleStateAtConstruction_data();
    void moduleStateAtConstruction();
    void switchingOffAndOnWaitsForTheFirstNetwork();
    void moduleFoundOffByAScanShowsTheOverlay();
    void vanishedCurrentRowIsRemovedAndConnectDisabled();
    void selectionDecidesTheButtons();
    void openOrSavedNetworkSkipsThePassword_data();
    void openOrSavedNetworkSkipsThePassword();
    void protectedNetworkConnectsWithThePasswordTyped();
    void failedAnswersHoldTheirText_data();
    void failedAnswersHoldTheirText();
    void cancelledPromptLeavesNothingPending();
    void connectWithoutARowLeavesNothingPending();
    void pendingRowRemovedBeforeTheAnswer_data();
    void pendingRowRemovedBeforeTheAnswer();
    void reopenedPopupScansAgainAndProbesOnlyWhileShown();

private:
    /// A popup on a manager that answers after latency ms.
    void makePopup(int latency);
    QPushButton* button(const char* name) const;
    void scan(const WirelessNetworksInfo& networks);
    void report(const NetworkInformation& current);
    void answer(WirelessNetworkManager::NetworkStatus status);
    void select(const QString& ssid);
    void pressConnect();
    QStandardItem* row(const QString& ssid) const;

    WirelessNetworkWidget* popup = nullptr;
    QThread* worker = nullptr;
};

void TestWirelessNetworkWidget::initTestCase()
{
    // As the status widget would: the manager answers from its own thread.
    worker = new QThread(this);
    manager()->moveToThread(worker);
    worker->start();
    Singleton<YamlConfig>::instance()->setParam(QStringLiteral("probeHost"), QStringLiteral("127.0.0.1"),
                                                QStringLiteral("wireless"), false);
    QCOMPARE(ConnectivityMonitor::probeHost(), QStringLiteral("127.0.0.1"));
}

void TestWirelessNetworkWidget::cleanupTestCase()
{
    worker->quit();
    worker->wait();
}

void TestWirelessNetworkWidget::init()
{
    manager()->simulateModuleState(WirelessNetworkManager::ModuleOn);
    manager()->simulateNetworks({network("Workshop"), network("Guest", true), network("Stores", false, true)},
                                {{"Workshop", "orbodev123"}});
    manager()->simulateInstantAnswers(false);
}

void TestWirelessNetworkWidget::cleanup()
{
    delete popup;
    popup = nullptr;
    QThread::msleep(20);
    QCoreApplication::processEvents();
    manager()->resetRequestCounts();
}

void TestWirelessNetworkWidget::makePopup(int latency)
{
    manager()->simulateLatency(latency);
    popup = new WirelessNetworkWidget(nullptr, false);
    new QAbstractItemModelTester(popup->networkRows()->model(), QAbstractItemModelTester::FailureReportingMode::QtTest,
                                 popup);
    popup->connectivityMonitor()->setProbeInterval(30);
    popup->setErrorHoldInterval(300);
}

QPushButton* TestWirelessNetworkWidget::button(const char* name) const
{
    return popup->findChild<QPushButton*>(QString::fromLatin1(name));
}

void TestWirelessNetworkWidget::scan(const WirelessNetworksInfo& networks)
{
    QVERIFY(QMetaObject::invokeMethod(popup, "updateModel", Q_ARG(WirelessNetworksInfo, networks)));
}

void TestWirelessNetworkWidget::report(const NetworkInformation& current)
{
    QVERIFY(QMetaObject::invokeMethod(popup, "updateCurrentNetwork", Q_ARG(NetworkInformation, current)));
}

void TestWirelessNetworkWidget::answer(WirelessNetworkManager::NetworkStatus status)
{
    QVERIFY(QMetaObject::invokeMethod(popup, "updateNetworkStatus",
                                      Q_ARG(WirelessNetworkManager::NetworkStatus, status)));
}

void TestWirelessNetworkWidget::select(const QString& ssid)
{
    QStandardItem* item = row(ssid);
    QVERIFY(item);
    popup->listView()->setCurrentIndex(item->index());
}

void TestWirelessNetworkWidget::pressConnect()
{
    QVERIFY(button("connectButton")->isEnabled());
    button("connectButton")->click();
}

QStandardItem* TestWirelessNetworkWidget::row(const QString& ssid) const
{
    return popup->networkRows()->find(ssid);
}

void TestWirelessNetworkWidget::moduleStateAtConstruction_data()
{
    QTest::addColumn<int>("module");
    QTest::addColumn<bool>("switchedOn");
    QTest::addColumn<QString>("overlayText");
    QTest::addColumn<bool>("turnOnEnabled");
    QTest::addColumn<bool>("scanning");
    QTest::newRow("on") << int(WirelessNetworkManager::ModuleOn) << true << QString() << true << true;
    QTest::newRow("off") << int(WirelessNetworkManager::ModuleOff) << false
                         << "Wi-Fi is disabled\nTo connect to a network, the Wi-Fi adapter must be turned on." << true
                         << true;
    QTest::newRow("missing") << int(WirelessNetworkManager::ModuleMissing) << false
                             << "Wi-Fi module is missing from the system" << false << false;
}

void TestWirelessNetworkWidget::moduleStateAtConstruction()
{
    QFETCH(int, module);
    QFETCH(bool, switchedOn);
    QFETCH(QString, overlayText);
    QFETCH(bool, turnOnEnabled);
    QFETCH(bool, scanning);
    manager()->simulateModuleState(WirelessNetworkManager::ModuleState(module));

    makePopup(silentLatency);

    auto overlay = popup->findChild<QWidget*>("disabledOverlay");
    auto spinner = popup->findChild<QtWaitingSpinner*>();
    QCOMPARE(overlay->isHidden(), switchedOn);
    QCOMPARE(spinner->isSpinning(), switchedOn);
    if (!switchedOn)
        QCOMPARE(popup->findChild<QLabel*>("overlayLabel")->text(), overlayText);
    QCOMPARE(button("turnOnButton")->isEnabled(), turnOnEnabled);
    QCOMPARE(popup->isScanning(), scanning);
    QCOMPARE(manager()->checkWiFiModule(), module);
    for (const char* name : {"connectButton", "disconnectButton", "forgetButton"})
        QVERIFY2(!button(name)->isEnabled(), name);
    QVERIFY(button("cancelButton")->isEnabled());
    QCOMPARE(popup->findChild<QLabel*>("qualityLabel")->text(), QString("checking..."));
    QCOMPARE(popup->size(), QSize(550, 650));
}

void TestWirelessNetworkWidget::switchingOffAndOnWaitsForTheFirstNetwork()
{
    // Given a listed network
    makePopup(silentLatency);
    auto spinner = popup->findChild<QtWaitingSpinner*>();
    auto moduleSwitch = popup->findChild<ToggleSwitch*>("moduleSwitch");
    scan({network("A")});
    QVERIFY(!spinner->isSpinning());

    // When the module is switched off, the list empties behind the overlay
    moduleSwitch->setToggled(false);
    QCOMPARE(popup->networkRows()->rowCount(), 0);
    QVERIFY(!popup->findChild<QWidget*>("disabledOverlay")->isHidden());
    QCOMPARE(manager()->checkWiFiModule(), int(WirelessNetworkManager::ModuleOff));

    // And when it is switched on again, the spinner turns until a scan finds a network
    button("turnOnButton")->click();
    QCOMPARE(manager()->checkWiFiModule(), int(WirelessNetworkManager::ModuleOn));
    QVERIFY(spinner->isSpinning());
    scan({});
    QVERIFY(spinner->isSpinning());
    scan({network("A"), network("B")});
    QVERIFY(!spinner->isSpinning());
    QCOMPARE(popup->networkRows()->names(), (QStringList{"A", "B"}));
}

void TestWirelessNetworkWidget::moduleFoundOffByAScanShowsTheOverlay()
{
    makePopup(silentLatency);
    scan({network("A")});

    manager()->simulateModuleState(WirelessNetworkManager::ModuleOff);
    scan({});

    QCOMPARE(popup->networkRows()->rowCount(), 0);
    QVERIFY(!popup->findChild<QWidget*>("disabledOverlay")->isHidden());
    // Shown as it is; the manager is not asked to switch it.
    QCOMPARE(manager()->checkWiFiModule(), int(WirelessNetworkManager::ModuleOff));
}

void TestWirelessNetworkWidget::vanishedCurrentRowIsRemovedAndConnectDisabled()
{
    makePopup(silentLatency);
    scan({network("A"), network("B"), network("C")});
    select("B");
    QVERIFY(button("connectButton")->isEnabled());

    scan({network("A"), network("C")});

    QCOMPARE(popup->networkRows()->names(), (QStringList{"A", "C"}));
    QVERIFY(!button("connectButton")->isEnabled());
    // No neighbour silently becomes the row "Connect" would act on.
    QVERIFY(!popup->listView()->currentIndex().isValid());
    button("connectButton")->setEnabled(true);
    QSignalSpy cancelled(popup, &WirelessNetworkWidget::connectionCancelled);
    button("connectButton")->click();
    QCOMPARE(cancelled.count(), 1);
}

void TestWirelessNetworkWidget::selectionDecidesTheButtons()
{
    makePopup(5);
    QMetaObject::invokeMethod(manager(), "connectNetwork", Qt::BlockingQueuedConnection,
                              Q_ARG(NetworkInformation, network("Guest", true)));
    QTRY_VERIFY(row("Guest") && row("Workshop"));

    select("Guest");
    QVERIFY(button("disconnectButton")->isEnabled());
    QVERIFY(button("forgetButton")->isEnabled());
    QVERIFY(!button("connectButton")->isEnabled());

    select("Workshop");
    QVERIFY(!button("disconnectButton")->isEnabled());
    QVERIFY(!button("forgetButton")->isEnabled());
    QVERIFY(button("connectButton")->isEnabled());

    select("Guest");
    button("forgetButton")->click();
    QVERIFY(manager()->currentNetwork().ssid.isEmpty());
    QVERIFY(!button("disconnectButton")->isEnabled());
    QVERIFY(button("connectButton")->isEnabled());
}

void TestWirelessNetworkWidget::openOrSavedNetworkSkipsThePassword_data()
{
    QTest::addColumn<bool>("isOpen");
    QTest::addColumn<bool>("isSaved");
    QTest::newRow("open") << true << false;
    QTest::newRow("saved") << false << true;
}

void TestWirelessNetworkWidget::openOrSavedNetworkSkipsThePassword()
{
    QFETCH(bool, isOpen);
    QFETCH(bool, isSaved);
    // Given a network whose record carries a password of its own
    makePopup(silentLatency);
    NetworkInformation record = network("Stores", isOpen, isSaved);
    record.password = "kept as it is";
    scan({network("A"), record});
    select("Stores");
    WirelessNetworkPasswordDialog::AnswerGuard prompts(Answer::Reject);
    QSignalSpy started(popup, &WirelessNetworkWidget::connectionStarted);
    manager()->simulateLatency(50);

    // When "Connect" is pressed
    pressConnect();

    // Then nobody is asked; the row connects with the record unchanged
    QCOMPARE(prompts.count(), 0);
    QCOMPARE(started.count(), 1);
    QVERIFY(popup->isConnecting());
    QCOMPARE(row("Stores")->data(spinnerRole), QVariant(true));
    QCOMPARE(row("Stores")->data(conditionRole).toString(), QString("Connecting..."));
    for (const char* name : {"cancelButton", "connectButton", "disconnectButton", "forgetButton"})
        QVERIFY2(!button(name)->isEnabled(), name);
    QTRY_COMPARE(manager()->requestCount("connectNetwork"), 1);
    QCOMPARE(manager()->lastConnectRequest(), record);

    // And the answer clears the attempt; the next report marks the row connected
    QTRY_VERIFY(!popup->isConnecting());
    QVERIFY(!row("Stores")->data(spinnerRole).isValid());
    QVERIFY(button("disconnectButton")->isEnabled());
    QVERIFY(!button("connectButton")->isEnabled());
    NetworkInformation current = record;
    current.ipAddress = "127.0.10.23";
    report(current);
    QCOMPARE(row("Stores")->data(conditionRole).toString(), QString("Connected"));
    QCOMPARE(row("Stores")->data(ipAddressRole).toString(), QString("127.0.10.23"));
    QCOMPARE(row("Stores")->data(Qt::TextAlignmentRole).toInt(), int(Qt::AlignTop));
}

void TestWirelessNetworkWidget::protectedNetworkConnectsWithThePasswordTyped()
{
    makePopup(5);
    QTRY_VERIFY(row("Workshop"));
    select("Workshop");
    WirelessNetworkPasswordDialog::AnswerGuard type(QStringLiteral("orbodev123"));

    pressConnect();

    QCOMPARE(type.networks(), QStringList{"Workshop"});
    QTRY_VERIFY(!popup->isConnecting());
    QCOMPARE(manager()->lastConnectRequest().password, QString("orbodev123"));
    QCOMPARE(manager()->currentNetwork().ssid, QString("Workshop"));
}

void TestWirelessNetworkWidget::failedAnswersHoldTheirText_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("condition");
    QTest::newRow("error") << int(WirelessNetworkManager::ConnectionError) << "Error while connecting";
    QTest::newRow("wrong password") << int(WirelessNetworkManager::WrongPassword) << "Wrong password";
}

void TestWirelessNetworkWidget::failedAnswersHoldTheirText()
{
    QFETCH(int, status);
    QFETCH(QString, condition);
    // Given an attempt under way
    makePopup(silentLatency);
    scan({network("A"), network("B")});
    select("B");
    WirelessNetworkPasswordDialog::AnswerGuard type(QStringLiteral("guessing"));
    pressConnect();

    // When it fails
    answer(WirelessNetworkManager::NetworkStatus(status));

    // Then the row shows why, with the cancel icon, and every button is back
    QVERIFY(!popup->isConnecting());
    QVERIFY(!row("B")->data(spinnerRole).isValid());
    QCOMPARE(row("B")->data(conditionRole).toString(), condition);
    QVERIFY(row("B")->data(statusRole).isValid());
    for (const char* name : {"cancelButton", "connectButton", "disconnectButton", "forgetButton"})
        QVERIFY2(button(name)->isEnabled(), name);

    // And a report within the hold leaves it; the first one after clears it
    report(NetworkInformation());
    QCOMPARE(row("B")->data(conditionRole).toString(), condition);
    QTest::qWait(400);
    report(NetworkInformation());
    QVERIFY(!row("B")->data(conditionRole).isValid());
    QVERIFY(!row("B")->data(statusRole).isValid());
}

void TestWirelessNetworkWidget::cancelledPromptLeavesNothingPending()
{
    // Given a protected row chosen
    makePopup(silentLatency);
    scan({network("A"), network("B")});
    report(network("A"));
    select("B");
    WirelessNetworkPasswordDialog::AnswerGuard cancel(Answer::Reject);
    QSignalSpy cancelled(popup, &WirelessNetworkWidget::connectionCancelled);

    // When the prompt is cancelled
    pressConnect();

    // Then nothing is pending or sent, and the buttons follow the selection again
    QCOMPARE(cancel.count(), 1);
    QCOMPARE(cancelled.count(), 1);
    QVERIFY(!popup->isConnecting());
    QVERIFY(!popup->pendingRow().isValid());
    QVERIFY(button("cancelButton")->isEnabled());
    QVERIFY(button("connectButton")->isEnabled());
    QVERIFY(!button("disconnectButton")->isEnabled());
    QCOMPARE(manager()->requestCount("connectNetwork"), 0);
    QVERIFY(!row("B")->data(spinnerRole).isValid());
    // Reports are heard again.
    report(network("B"));
    QCOMPARE(row("B")->data(conditionRole).toString(), QString("Connected"));
}

void TestWirelessNetworkWidget::connectWithoutARowLeavesNothingPending()
{
    makePopup(silentLatency);
    scan({network("A")});
    QSignalSpy cancelled(popup, &WirelessNetworkWidget::connectionCancelled);

    QVERIFY(QMetaObject::invokeMethod(popup, "connectNetwork"));

    QCOMPARE(cancelled.count(), 1);
    QVERIFY(!popup->isConnecting());
    QVERIFY(button("cancelButton")->isEnabled());
    QVERIFY(!button("connectButton")->isEnabled());
    report(network("A"));
    QCOMPARE(row("A")->data(conditionRole).toString(), QString("Connected"));
}

void TestWirelessNetworkWidget::pendingRowRemovedBeforeTheAnswer_data()
{
    QTest::addColumn<bool>("byModuleOff");
    QTest::addColumn<bool>("duringPrompt");
    QTest::newRow("scan without it") << false << false;
    QTest::newRow("module switched off") << true << false;
    QTest::newRow("scan during the prompt") << false << true;
}

void TestWirelessNetworkWidget::pendingRowRemovedBeforeTheAnswer()
{
    QFETCH(bool, byModuleOff);
    QFETCH(bool, duringPrompt);
    // Given an attempt on row B
    makePopup(silentLatency);
    scan({network("A"), network("B")});
    select("B");
    const auto removeB = [&] {
        if (byModuleOff)
            popup->findChild<ToggleSwitch*>("moduleSwitch")->setToggled(false);
        else
            scan({network("A")});
    };
    WirelessNetworkPasswordDialog::AnswerGuard type([&](WirelessNetworkPasswordDialog& dialog) {
        dialog.passwordField()->setText(QStringLiteral("orbodev123"));
        if (duringPrompt)
            removeB();
        return Answer::Accept;
    });
    pressConnect();
    QVERIFY(popup->isConnecting());

    // When row B goes before the answer
    if (!duringPrompt)
        removeB();
    QVERIFY(!popup->pendingRow().isValid());

    // Then the answer touches no row and ends the attempt
    answer(WirelessNetworkManager::WrongPassword);
    QVERIFY(!popup->isConnecting());
    QVERIFY(!row("B"));
    if (row("A")) {
        QVERIFY(!row("A")->data(conditionRole).isValid());
        QVERIFY(!row("A")->data(spinnerRole).isValid());
    }
    QVERIFY(button("cancelButton")->isEnabled());
    QTRY_COMPARE(manager()->requestCount("connectNetwork"), 1);
}

void TestWirelessNetworkWidget::reopenedPopupScansAgainAndProbesOnlyWhileShown()
{
    // Given a shown popup, closed with "Cancel"
    makePopup(5);
    popup->setScanInterval(100);
    popup->show();
    QVERIFY(QTest::qWaitForWindowExposed(popup));
    QVERIFY(popup->connectivityMonitor()->isRunning());
    button("cancelButton")->click();
    QVERIFY(!popup->isVisible());
    QVERIFY(!popup->isScanning());
    QVERIFY(!popup->connectivityMonitor()->isRunning());
    QTest::qWait(150);
    manager()->resetRequestCounts();
    QTest::qWait(250);
    QCOMPARE(manager()->requestCount("scanNetwork"), 0);

    // When it is shown again, it scans at once and then periodically, and probes again
    popup->show();
    QTRY_COMPARE(manager()->requestCount("scanNetwork"), 1);
    QVERIFY(popup->isScanning());
    QVERIFY(popup->connectivityMonitor()->isRunning());
    QTRY_VERIFY(manager()->requestCount("scanNetwork") >= 3);

    // And hidden (not closed) it scans on but stops probing
    popup->hide();
    QVERIFY(popup->isScanning());
    QVERIFY(!popup->connectivityMonitor()->isRunning());
}

QTEST_MAIN(TestWirelessNetworkWidget)
#include "tst_WirelessNetworkWidget.moc"
