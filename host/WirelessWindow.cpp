#include "WirelessWindow.h"

#include "ConnectivityMonitor.h"
#include "DemoMenu.h"
#include "ExternalWirelessNetworkWidget.h"
#include "NetworkRowDelegate.h"
#include "Singleton.h"
#include "WirelessNetworkList.h"
#include "WirelessNetworkManager.h"
#include "WirelessNetworkWidget.h"
#include "YamlConfig.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QLabel>
#include <QListView>
#include <QMenuBar>
#include <QPushButton>
#include <QStandardItem>
#include <QThread>
#include <QVBoxLayout>

namespace {

// The row marked connected, once the list shows more than that one.
QStandardItem* joinedRow(WirelessNetworkWidget* list)
{
    const int conditionRole = NetworkRowDelegate::getNetworkConditionIndex() + 1;
    WirelessNetworkList* rows = list->networkRows();
    for (int row = 0; rows->rowCount() > 1 && row < rows->rowCount(); ++row) {
        if (rows->item(row)->data(conditionRole).isValid())
            return rows->item(row);
    }
    return nullptr;
}

} // namespace

WirelessWindow::WirelessWindow(QWidget* parent)
    : QWidget(parent)
{
    setWindowTitle(tr("Wireless"));
    // Never a public address from the demo: the probe checks this machine's loopback.
    Singleton<YamlConfig>::instance()->setParam(QLatin1String(ConnectivityMonitor::probeHostKey),
                                                QStringLiteral("127.0.0.1"),
                                                QLatin1String(ConnectivityMonitor::probeHostPath), false);
    WirelessNetworkManager* manager = Singleton<WirelessNetworkManager>::instance();
    manager->simulateLatency(60);

    auto layout = new QVBoxLayout(this);
    auto menuBar = new QMenuBar(this);
    addDemoMenu(menuBar);
    layout->setMenuBar(menuBar);
    auto heading = new QLabel(tr("Wi-Fi status (simulated networks)"), this);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    layout->addWidget(heading);
    m_status = new ExternalWirelessNetworkWidget(this);
    layout->addWidget(m_status);
    auto hint = new QLabel(tr("The networks come from the framework stand-in; nothing here touches this "
                              "machine's network. \"Workshop\" takes the password \"orbodev123\"."),
                           this);
    hint->setWordWrap(true);
    layout->addWidget(hint);
    layout->addStretch(1);
    resize(440, 220);

    // The status widget has moved the manager to its own thread: the request is queued there.
    NetworkInformation workshop;
    workshop.ssid = QStringLiteral("Workshop");
    workshop.password = QStringLiteral("orbodev123");
    QMetaObject::invokeMethod(manager, "connectNetwork", Q_ARG(NetworkInformation, workshop));
}

QWidget* WirelessWindow::openNetworkList()
{
    m_status->findChild<QPushButton*>(QStringLiteral("networkButton"))->click();
    WirelessNetworkWidget* list = m_status->popupWidget();
    const QDeadlineTimer deadline(3000);
    while (list && !joinedRow(list) && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QThread::msleep(20);
    }
    // Chosen as a user would, so the buttons show what the joined network offers.
    if (QStandardItem* joined = list ? joinedRow(list) : nullptr)
        list->listView()->setCurrentIndex(joined->index());
    return list;
}
