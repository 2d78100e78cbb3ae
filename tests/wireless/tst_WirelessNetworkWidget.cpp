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
using Status = WirelessNetworkManager::NetworkStatus;

namespace {

const int statusRole = NetworkRowDelegate::getStatusIndex() + 1;
const int spinnerRole = NetworkRowDelegate::getSpinnerIndex() + 1;
const int conditionRole = NetworkRowDelegate::getNetworkConditionIndex() + 1;
const int ipAddressRole = NetworkRowDelegate::getIpAddressIndex() + 1;
// The manager's own answers never arrive: the tests play them by hand.
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
    void moduleOffAndOnAgain();
    void vanishedCurrentRowIsRemovedAndConnectDisabled();
    void connectsWithPasswordOnlyWhenNeeded_data();
    void connectsWithPasswordOnlyWhenNeeded();
    void failedAnswersHoldTheirText_data();
    void failedAnswersHoldTheirText();
    void attemptEndingWithoutRequestLeavesNothingPending_data();
    void attemptEndingWithoutRequestLeavesNothingPending();
    void pendingRowRemovedBeforeTheAnswer_data();
    void pendingRowRemovedBeforeTheAnswer();
    void reopenedPopupScansAgainAndProbesOnlyWhileShown();

private:
    void makePopup(int latency = silentLatency);
    QPushButton* button(const char* name) const { return popup->findChild<QPushButton*>(name); }
    QStandardItem* row(const QString& ssid) const { return popup->networkRows()->find(ssid); }
    void scan(const WirelessNetworksInfo& networks);
    void report(const NetworkInformation& current);
    void answer(Status status);
    void select(const QString& ssid) { popup->listView()->setCurrentIndex(row(ssid)->index()); }
    void checkButtons(const QString& enabled);

    WirelessNetworkWidget* popup = nullptr;
    QThread* worker = nullptr;
};

void TestWirelessNetworkWidget::initTestCase()
{
    // As the status widget would: the manager answers from its own thread.
    worker = new QThread(this);
    manager()->moveToThread(worker);
    worker->start();
    Singleton<YamlConfig>::instance()->setParam("probeHost", "127.0.0.1", "wireless", false);
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
    manager()->simulateNetworks({network("Workshop"), network("Guest", true)}, {{"Workshop", "orbodev123"}});
}

void TestWirelessNetworkWidget::cleanup()
{
    delete popup;
    popup = nullptr;
    QTest::qWait(20);
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

void TestWirelessNetworkWidget::scan(const WirelessNetworksInfo& networks)
{
    QVERIFY(QMetaObject::invokeMethod(popup, "updateModel", Q_ARG(WirelessNetworksInfo, networks)));
}

void TestWirelessNetworkWidget::report(const NetworkInformation& current)
{
    QVERIFY(QMetaObject::invokeMethod(popup, "updateCurrentNetwork", Q_ARG(NetworkInformation, current)));
}

void TestWirelessNetworkWidget::answer(Status status)
{
    QVERIFY(QMetaObject::invokeMethod(popup, "updateNetworkStatus", Q_ARG(WirelessNetworkManager::NetworkStatus, status)));
}

// enabled names the buttons that must be enabled, by their first letters: C(ancel), c(onnect), D(isconnect), F(orget).
void TestWirelessNetworkWidget::checkButtons(const QString& enabled)
{
    QCOMPARE(button("cancelButton")->isEnabled(), enabled.contains('C'));
    QCOMPARE(button("connectButton")->isEnabled(), enabled.contains('c'));
    QCOMPARE(button("disconnectButton")->isEnabled(), enabled.contains('D'));
    QCOMPARE(button("forgetButton")->isEnabled(), enabled.contains('F'));
}

void TestWirelessNetworkWidget::moduleStateAtConstruction_data()
{
    QTest::addColumn<int>("module");
    QTest::addColumn<QString>("overlayText");
    QTest::addColumn<bool>("scanning");
    QTest::newRow("on") << int(WirelessNetworkManager::ModuleOn) << QString() << true;
    QTest::newRow("off") << int(WirelessNetworkManager::ModuleOff)
                         << "Wi-Fi is disabled\nTo connect to a network, the Wi-Fi adapter must be turned on." << true;
    QTest::newRow("missing") << int(WirelessNetworkManager::ModuleMissing) << "Wi-Fi module is missing from the system"
                             << false;
}

void TestWirelessNetworkWidget::moduleStateAtConstruction()
{
    QFETCH(int, module);
    QFETCH(QString, overlayText);
    QFETCH(bool, scanning);
    manager()->simulateModuleState(WirelessNetworkManager::ModuleState(module));

    makePopup();

    const bool on = overlayText.isEmpty();
    QCOMPARE(popup->findChild<QWidget*>("disabledOverlay")->isHidden(), on);
    QCOMPARE(popup->findChild<QtWaitingSpinner*>()->isSpinning(), on);
    if (!on)
        QCOMPARE(popup->findChild<QLabel*>("overlayLabel")->text(), overlayText);
    QCOMPARE(button("turnOnButton")->isEnabled(), module != WirelessNetworkManager::ModuleMissing);
    QCOMPARE(popup->isScanning(), scanning);
    checkButtons("C");
    QCOMPARE(popup->findChild<QLabel*>("qualityLabel")->text(), QString("checking..."));
}

void TestWirelessNetworkWidget::moduleOffAndOnAgain()
{
    // Given a listed network
    makePopup();
    auto spinner = popup->findChild<QtWaitingSpinner*>();
    auto overlay = popup->findChild<QWidget*>("disabledOverlay");
    scan({network("A")});

    // When the module is switched off, the list empties behind the overlay
    popup->findChild<ToggleSwitch*>("moduleSwitch")->setToggled(false);
    QCOMPARE(popup->networkRows()->rowCount(), 0);
    QVERIFY(!overlay->isHidden());
    QCOMPARE(manager()->checkWiFiModule(), int(WirelessNetworkManager::ModuleOff));

    // And switched on again, the spinner turns until a scan finds a network
    button("turnOnButton")->click();
    QCOMPARE(manager()->checkWiFiModule(), int(WirelessNetworkManager::ModuleOn));
    scan({});
    QVERIFY(spinner->isSpinning());
    scan({network("A"), network("B")});
    QVERIFY(!spinner->isSpinning());
    QCOMPARE(popup->networkRows()->names(), (QStringList{"A", "B"}));

    // A module found off by a scan shows the overlay too
    manager()->simulateModuleState(WirelessNetworkManager::ModuleOff);
    scan({});
    QCOMPARE(popup->networkRows()->rowCount(), 0);
    QVERIFY(!overlay->isHidden());
}

void TestWirelessNetworkWidget::vanishedCurrentRowIsRemovedAndConnectDisabled()
{
    makePopup();
    scan({network("A"), network("B"), network("C")});
    select("B");
    checkButtons("Cc");

    scan({network("A"), network("C")});

    QCOMPARE(popup->networkRows()->names(), (QStringList{"A", "C"}));
    // No neighbour silently becomes the row "Connect" would act on.
    QVERIFY(!popup->listView()->currentIndex().isValid());
    checkButtons("C");
}

void TestWirelessNetworkWidget::connectsWithPasswordOnlyWhenNeeded_data()
{
    QTest::addColumn<NetworkInformation>("record");
    QTest::addColumn<int>("prompts");
    QTest::addColumn<QString>("sent");
    NetworkInformation open = network("Stores", true);
    open.password = "kept as it is";
    NetworkInformation saved = network("Stores", false, true);
    saved.password = "kept as it is";
    QTest::newRow("open") << open << 0 << "kept as it is";
    QTest::newRow("saved") << saved << 0 << "kept as it is";
    QTest::newRow("protected") << network("Stores") << 1 << "typed password";
}

void TestWirelessNetworkWidget::connectsWithPasswordOnlyWhenNeeded()
{
    QFETCH(NetworkInformation, record);
    QFETCH(int, prompts);
    QFETCH(QString, sent);
    // Given a network chosen
    makePopup();
    scan({network("A"), record});
    select("Stores");
    WirelessNetworkPasswordDialog::AnswerGuard type(QStringLiteral("typed password"));
    QSignalSpy started(popup, &WirelessNetworkWidget::connectionStarted);

    // When "Connect" is pressed, the password is asked for only when the network needs one
    button("connectButton")->click();
    QCOMPARE(type.count(), prompts);
    QCOMPARE(started.count(), 1);
    QVERIFY(popup->isConnecting());
    QCOMPARE(row("Stores")->data(spinnerRole), QVariant(true));
    QCOMPARE(row("Stores")->data(conditionRole).toString(), QString("Connecting..."));
    checkButtons("");
    QTRY_COMPARE(manager()->requestCount("connectNetwork"), 1);
    record.password = sent;
    QCOMPARE(manager()->lastConnectRequest(), record);

    // Then the answer ends the attempt, and the next report marks the row connected
    report(NetworkInformation()); // ignored while connecting
    answer(WirelessNetworkManager::Connected);
    QVERIFY(!popup->isConnecting());
    QVERIFY(!row("Stores")->data(spinnerRole).isValid());
    checkButtons("CDF");
    record.ipAddress = "127.0.10.23";
    report(record);
    QCOMPARE(row("Stores")->data(conditionRole).toString(), QString("Connected"));
    QCOMPARE(row("Stores")->data(ipAddressRole).toString(), QString("127.0.10.23"));
    QCOMPARE(row("Stores")->data(Qt::TextAlignmentRole).toInt(), int(Qt::AlignTop));
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
    // Given an attempt that fails
    makePopup();
    scan({network("A", true), network("B", true)});
    select("B");
    button("connectButton")->click();
    answer(Status(status));

    // Then the row shows why, with the cancel icon, and every button is back
    QVERIFY(!row("B")->data(spinnerRole).isValid());
    QCOMPARE(row("B")->data(conditionRole).toString(), condition);
    QVERIFY(row("B")->data(statusRole).isValid());
    checkButtons("CcDF");

    // And a report within the hold leaves it; the first one after clears it
    report(NetworkInformation());
    QCOMPARE(row("B")->data(conditionRole).toString(), condition);
    QTest::qWait(400);
    report(NetworkInformation());
    QVERIFY(!row("B")->data(conditionRole).isValid());
    QVERIFY(!row("B")->data(statusRole).isValid());
}

void TestWirelessNetworkWidget::attemptEndingWithoutRequestLeavesNothingPending_data()
{
    QTest::addColumn<bool>("rowChosen");
    QTest::addColumn<QString>("buttons");
    QTest::newRow("prompt cancelled") << true << "Cc";
    QTest::newRow("no row chosen") << false << "C";
}

void TestWirelessNetworkWidget::attemptEndingWithoutRequestLeavesNothingPending()
{
    QFETCH(bool, rowChosen);
    QFETCH(QString, buttons);
    makePopup();
    scan({network("A"), network("B")});
    if (rowChosen)
        select("B");
    WirelessNetworkPasswordDialog::AnswerGuard cancel(Answer::Reject);
    QSignalSpy cancelled(popup, &WirelessNetworkWidget::connectionCancelled);

    QVERIFY(QMetaObject::invokeMethod(popup, "connectNetwork"));

    // Nothing pending or sent, the buttons as the selection says, and reports are heard again
    QCOMPARE(cancelled.count(), 1);
    QVERIFY(!popup->isConnecting());
    QVERIFY(!popup->pendingRow().isValid());
    checkButtons(buttons);
    QTest::qWait(20);
    QCOMPARE(manager()->requestCount("connectNetwork"), 0);
    report(network("B"));
    QCOMPARE(row("B")->data(conditionRole).toString(), QString("Connected"));
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
    makePopup();
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
    button("connectButton")->click();
    QVERIFY(popup->isConnecting());

    // When row B goes before the answer
    if (!duringPrompt)
        removeB();
    QVERIFY(!popup->pendingRow().isValid());

    // Then the answer touches no row and ends the attempt
    answer(WirelessNetworkManager::WrongPassword);
    QVERIFY(!popup->isConnecting());
    for (int index = 0; index < popup->networkRows()->rowCount(); ++index)
        QVERIFY(!popup->networkRows()->item(index)->data(conditionRole).isValid());
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
    QVERIFY(!popup->isScanning());
    QVERIFY(!popup->connectivityMonitor()->isRunning());
    QTest::qWait(150);
    manager()->resetRequestCounts();
    QTest::qWait(250);
    QCOMPARE(manager()->requestCount("scanNetwork"), 0);

    // When it is shown again, it scans at once and then periodically, and probes again
    popup->show();
    QTRY_COMPARE(manager()->requestCount("scanNetwork"), 1);
    QVERIFY(popup->connectivityMonitor()->isRunning());
    QTRY_VERIFY(manager()->requestCount("scanNetwork") >= 3);

    // And hidden (not closed) it scans on but stops probing
    popup->hide();
    QVERIFY(popup->isScanning());
    QVERIFY(!popup->connectivityMonitor()->isRunning());
}

QTEST_MAIN(TestWirelessNetworkWidget)
#include "tst_WirelessNetworkWidget.moc"
