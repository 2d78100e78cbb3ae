#include "ConnectivityMonitor.h"
#include "ExternalWirelessNetworkWidget.h"
#include "Singleton.h"
#include "ToggleSwitch.h"
#include "WirelessNetworkManager.h"
#include "WirelessNetworkWidget.h"
#include "YamlConfig.h"

#include <QHideEvent>
#include <QPushButton>
#include <QThread>
#include <QtTest>
#include <QtTest/qtestspontaneevent.h>

#include <algorithm>
#include <memory>


using States = ExternalWirelessNetworkWidget::NetworkStates;

namespace {

// The manager's own answers never arrive: the state table plays them by hand.
const int silentLatency = 3600 * 1000;
const int holdInterval = 100;

NetworkInformation network(const QString& ssid, bool isOpen = false)
{
    NetworkInformation info;
    info.ssid = ssid;
    info.isOpen = isOpen;
    return info;
}

WirelessNetworkManager* manager() { return Singleton<WirelessNetworkManager>::instance(); }

} // namespace

class TestExternalWirelessNetworkWidget : public QObject
{
    Q_OBJECT

private:
    QThread* guiThread = QThread::currentThread();
    QList<ExternalWirelessNetworkWidget*> widgets;

    /// A widget on a manager that answers after latency ms; a negative pause keeps the default.
    ExternalWirelessNetworkWidget* makeWidget(int latency, int pause = 10)
    {
        manager()->simulateLatency(latency);
        widgets << new ExternalWirelessNetworkWidget;
        if (pause >= 0)
            widgets.last()->setPollPause(pause);
        widgets.last()->setHoldInterval(holdInterval);
        return widgets.last();
    }

    /// The shown windows whose closing the application waits for before it quits.
    static QWidgetList windowsKeepingTheApplication()
    {
        QWidgetList shown;
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (window->isVisible() && !window->parentWidget() && window->testAttribute(Qt::WA_QuitOnClose))
                shown.append(window);
        }
        return shown;
    }
    static QPushButton* button(QWidget* widget) { return widget->findChild<QPushButton*>("networkButton"); }
    static void connectGuest()
    {
        QMetaObject::invokeMethod(manager(), "connectNetwork", Q_ARG(NetworkInformation, network("Guest", true)));
    }

private Q_SLOTS:
    void initTestCase() { Singleton<YamlConfig>::instance()->setParam("probeHost", "127.0.0.1", "wireless", false); }

    void init()
    {
        manager()->simulateModuleState(WirelessNetworkManager::ModuleOn);
        manager()->simulateNetworks({network("Workshop"), network("Guest", true)}, {});
        manager()->simulateInstantAnswers(false);
    }

    void cleanup()
    {
        qDeleteAll(widgets);
        widgets.clear();
        // Answers still under way arrive nowhere before the next test counts requests.
        manager()->simulateLatency(0);
        QTest::qWait(50);
        manager()->resetRequestCounts();
    }

    void stateTable_data()
    {
        // "net <name>" and "inet 0|1" are the manager's answers, "off"/"on" switch the module,
        // "hold" waits out the hold after an internet answer.
        QTest::addColumn<QStringList>("events");
        QTest::addColumn<int>("state");
        QTest::newRow("module off") << QStringList{"off", "net Lab"} << int(States::WifiDisabled);
        QTest::newRow("disconnected") << QStringList{"net", "inet 1"} << int(States::Disconnected);
        QTest::newRow("with internet") << QStringList{"net Lab", "inet 1"} << int(States::ConnectedWithInternet);
        QTest::newRow("without internet") << QStringList{"net Lab", "inet 0"} << int(States::ConnectedWithoutInternet);
        QTest::newRow("hold drops answers") << QStringList{"net Lab", "inet 1", "inet 0"}
                                            << int(States::ConnectedWithInternet);
        QTest::newRow("answer after the hold") << QStringList{"net Lab", "inet 1", "hold", "inet 0"}
                                               << int(States::ConnectedWithoutInternet);
        QTest::newRow("module back on, same network") << QStringList{"net Lab", "off", "net Lab", "on", "net Lab"}
                                                      << int(States::InternetCheckPending);
    }

    void stateTable()
    {
        QFETCH(QStringList, events);
        QFETCH(int, state);
        ExternalWirelessNetworkWidget* widget = makeWidget(silentLatency);

        for (const QString& event : events) {
            const QString argument = event.section(' ', 1);
            if (event.startsWith("net"))
                widget->updateNetworkStatus(network(argument));
            else if (event.startsWith("inet"))
                widget->updateInternetAccess(argument == "1");
            else if (event == "hold")
                QTest::qWait(holdInterval + 50);
            else
                manager()->changeStateModule(event == "on");
        }

        QCOMPARE(int(widget->networkState()), state);
    }

    void pausesDuringAConnectionAndResumesWithOneRequestPerChain()
    {
        // Given a widget whose chains wait a second after each answer, and its popup
        ExternalWirelessNetworkWidget* widget = makeWidget(20, 1000);
        QList<QThread*> resumedOn;
        connect(widget, &ExternalWirelessNetworkWidget::updatingChanged, this,
                [&resumedOn](bool updating) { resumedOn << (updating ? QThread::currentThread() : nullptr); },
                Qt::DirectConnection);
        button(widget)->click();

        // When the popup starts a connection, nothing more is asked or shown
        QVERIFY(QMetaObject::invokeMethod(widget->popupWidget(), "connectionStarted"));
        QTest::qWait(100);
        manager()->resetRequestCounts();
        widget->updateNetworkStatus(network("Lab"));
        QTest::qWait(100);
        QCOMPARE(manager()->requestCount("currentNetwork") + manager()->requestCount("checkInternetAccess"), 0);

        // Then the manager's answer resumes each chain with one request, on this thread
        connectGuest();
        QTRY_VERIFY(widget->isUpdating());
        QTest::qWait(300);
        QCOMPARE(manager()->requestCount("currentNetwork"), 1);
        QCOMPARE(manager()->requestCount("checkInternetAccess"), 1);
        QCOMPARE(resumedOn, (QList<QThread*>{nullptr, guiThread}));

        // And Connect with no row chosen, which ends at once without a request, leaves it running
        QVERIFY(QMetaObject::invokeMethod(widget->popupWidget(), "connectNetwork"));
        QVERIFY(widget->isUpdating());
    }

    void hiddenAndShownAgainFollowsTheManagerAgain()
    {
        ExternalWirelessNetworkWidget* widget = makeWidget(5);
        widget->show();
        QTRY_COMPARE(widget->networkState(), States::Disconnected);

        widget->hide();
        connectGuest();
        QTest::qWait(150);
        QCOMPARE(widget->networkState(), States::Disconnected);

        widget->show();
        QTRY_COMPARE(widget->networkState(), States::ConnectedWithInternet);
    }

    void pollsExactlyWhileShownAndNotConnecting_data()
    {
        // Every order of hiding, showing, and a connection attempt's start and end (by the
        // manager's answer or without a request); then the host's hold and module switches.
        QTest::addColumn<QStringList>("events");
        for (const QString end : {"complete", "cancel"}) {
            QStringList events{"hide", "show", "start", end};
            std::sort(events.begin(), events.end());
            do {
                QTest::addRow("%s", qPrintable(events.join(", "))) << events;
            } while (std::next_permutation(events.begin(), events.end()));
        }
        const QList<QStringList> more = {
            {"start", "hide", "complete"},
            {"start", "hide", "error"},
            {"start", "host on"},
            {"host off", "start", "complete"},
            {"host off", "hide", "host on", "show"},
            {"start", "module off", "module on", "complete"},
        };
        for (const QStringList& events : more)
            QTest::addRow("%s", qPrintable(events.join(", "))) << events;
    }

    void pollsExactlyWhileShownAndNotConnecting()
    {
        QFETCH(QStringList, events);
        // Given a shown widget whose popup is open, on a quick manager
        ExternalWirelessNetworkWidget* widget = makeWidget(5);
        widget->show();
        button(widget)->click();
        WirelessNetworkWidget* popup = widget->popupWidget();
        QVERIFY(popup);
        bool hidden = false;
        bool connecting = false;
        bool heldByHost = false;

        // When the events come in this order
        for (const QString& event : events) {
            if (event == "hide" || event == "show") {
                widget->setVisible(event == "show");
                hidden = event == "hide";
            } else if (event == "start") {
                QVERIFY(QMetaObject::invokeMethod(popup, "connectionStarted"));
                connecting = true;
            } else if (event == "cancel") {
                QVERIFY(QMetaObject::invokeMethod(popup, "connectionCancelled"));
                connecting = false;
            } else if (event == "complete" || event == "error") {
                // The manager's answer, from its own thread; the widget heard it before this test.
                int answers = 0;
                const QMetaObject::Connection answered = connect(
                    manager(), &WirelessNetworkManager::connectComplete, this, [&answers] { ++answers; },
                    Qt::QueuedConnection);
                QMetaObject::invokeMethod(manager(), "connectNetwork",
                                          Q_ARG(NetworkInformation, network(event == "complete" ? "Guest" : "Nowhere", true)));
                QTRY_COMPARE(answers, 1);
                disconnect(answered);
                connecting = false;
            } else if (event.startsWith("host")) {
                widget->setUpdating(event == "host on");
                heldByHost = event == "host off";
                if (!heldByHost)
                    connecting = false;
            } else {
                popup->findChild<ToggleSwitch*>("moduleSwitch")->setToggled(event == "module on");
            }
            QTest::qWait(5);
        }

        // Then it polls exactly while it is shown, no attempt runs and the host holds nothing
        const bool polls = !hidden && !connecting && !heldByHost;
        QCOMPARE(widget->isUpdating(), polls);
        QTest::qWait(30);
        manager()->resetRequestCounts();
        if (polls) {
            QTRY_VERIFY(manager()->requestCount("currentNetwork") > 0);
            QTRY_VERIFY(manager()->requestCount("checkInternetAccess") > 0);
        } else {
            QTest::qWait(150);
            QCOMPARE(manager()->requestCount("currentNetwork") + manager()->requestCount("checkInternetAccess"), 0);
        }
    }

    void popupIsMadeOnceAndReused()
    {
        ExternalWirelessNetworkWidget* widget = makeWidget(silentLatency);
        button(widget)->click();
        QPointer<WirelessNetworkWidget> popup = widget->popupWidget();
        QVERIFY(popup && popup->isVisible());
        popup->hide();
        button(widget)->click();
        QVERIFY(popup->isVisible());
        QCOMPARE(widget->popupWidget(), popup.data());

        // The popup goes with its widget instead of scanning on for ever.
        delete widgets.takeLast();
        QVERIFY(!popup);
    }

    void listClosesWithTheWindowThatOpenedIt_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("closes");
        QTest::newRow("window closed") << "close" << true;
        QTest::newRow("window hidden") << "hide" << true;
        QTest::newRow("status widget hidden") << "hide widget" << true;
        // The window system's own hide (a minimised window) leaves the list to the user.
        QTest::newRow("spontaneous hide") << "spontaneous" << false;
    }

    void listClosesWithTheWindowThatOpenedIt()
    {
        QFETCH(QString, how);
        QFETCH(bool, closes);
        // Given a host window with the status widget, whose network list the user opened
        auto window = std::make_unique<QWidget>();
        ExternalWirelessNetworkWidget* widget = makeWidget(silentLatency);
        // The window owns the widget now, and deletes it, with the list, at the end.
        widgets.removeAll(widget);
        widget->setParent(window.get());
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        button(widget)->click();
        QPointer<WirelessNetworkWidget> popup = widget->popupWidget();
        QVERIFY(popup && popup->isVisible());

        // When the window goes
        if (how == "close") {
            window->close();
        } else if (how == "hide") {
            window->hide();
        } else if (how == "hide widget") {
            widget->hide();
        } else {
            // As the window system delivers it: notify() keeps the event spontaneous.
            QHideEvent hidden;
            QSpontaneKeyEvent::setSpontaneous(&hidden);
            qApp->notify(widget, &hidden);
        }

        // Then the list closes with it: no window is left to keep the application from quitting
        QVERIFY(popup);
        QCOMPARE(popup->isVisible(), !closes);
        QCOMPARE(popup->isScanning(), !closes);
        if (how == "close")
            QVERIFY(windowsKeepingTheApplication().isEmpty());
        // And it goes with the widget, which goes with its window
        window.reset();
        QVERIFY(!popup);
    }

    void chainsArePacedAgainstAnInstantManager()
    {
        // Given two widgets polling a manager that answers inside each request
        manager()->simulateInstantAnswers(true);
        makeWidget(0, -1);
        QThread* worker = manager()->thread();
        makeWidget(0, -1);
        manager()->resetRequestCounts();

        QTest::qWait(1000);

        // Then each chain of each widget asked about once per 200 ms, not once per answer
        for (const char* method : {"currentNetwork", "checkInternetAccess"}) {
            const int requests = manager()->requestCount(method);
            QVERIFY2(requests >= 2 && requests <= 2 * 6, qPrintable(QString::number(requests)));
        }
        // And the manager moved to a worker thread once
        QVERIFY(worker != guiThread && worker->isRunning());
        QCOMPARE(manager()->thread(), worker);
    }
};

QTEST_MAIN(TestExternalWirelessNetworkWidget)
#include "tst_ExternalWirelessNetworkWidget.moc"
