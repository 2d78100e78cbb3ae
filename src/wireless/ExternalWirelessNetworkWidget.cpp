#include "ExternalWirelessNetworkWidget.h"

#include "PollingChain.h"
#include "Singleton.h"
#include "WirelessNetworkManager.h"
#include "WirelessNetworkWidget.h"

#include <QHBoxLayout>
#include <QHideEvent>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

namespace {

constexpr int dotSize = 80;
constexpr int defaultHoldInterval = 2000;

// The manager answers from its own thread; it is moved there once, by the first widget that
// finds it on the GUI thread, and stays there for the life of the process.
void moveToWorkerThread(WirelessNetworkManager* manager, QThread* widgetThread)
{
    if (manager->thread() != widgetThread)
        return;
    auto worker = new QThread;
    worker->setObjectName(QStringLiteral("WirelessNetworkManager"));
    manager->moveToThread(worker);
    worker->start(QThread::InheritPriority);
}

} // namespace

ExternalWirelessNetworkWidget::ExternalWirelessNetworkWidget(QWidget* parent)
    : QWidget(parent)
    , manager(Singleton<WirelessNetworkManager>::instance())
    , statusLabel(new QLabel(this))
    , iconLabel(new QLabel(this))
    , button(new QPushButton(tr("Choose network..."), this))
    , holdTimer(new QTimer(this))
    , networkChain(new PollingChain(manager, "currentNetwork", this))
    , internetChain(new PollingChain(manager, "checkInternetAccess", this))
{
    moveToWorkerThread(manager, thread());

    statusLabel->setObjectName(QStringLiteral("statusLabel"));
    iconLabel->setObjectName(QStringLiteral("iconLabel"));
    button->setObjectName(QStringLiteral("networkButton"));
    iconLabel->setFixedSize(dotSize, dotSize);

    auto layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(iconLabel);
    auto textColumn = new QVBoxLayout;
    textColumn->addWidget(statusLabel);
    textColumn->addWidget(button);
    layout->addLayout(textColumn);

    connect(manager, SIGNAL(currentNetwork(NetworkInformation)), this, SLOT(updateNetworkStatus(NetworkInformation)),
            Qt::QueuedConnection);
    connect(manager, SIGNAL(internetAccess(bool)), this, SLOT(updateInternetAccess(bool)), Qt::QueuedConnection);
    // Emitted on the manager's thread; the flag and the display belong to this one.
    connect(manager, &WirelessNetworkManager::connectComplete, this, [this] { setConnecting(false); },
            Qt::QueuedConnection);
    connect(button, &QAbstractButton::clicked, this, &ExternalWirelessNetworkWidget::openPopup);

    holdTimer->setSingleShot(true);
    holdTimer->setInterval(defaultHoldInterval);

    networkChain->setRunning(true);
    internetChain->setRunning(true);
}

ExternalWirelessNetworkWidget::~ExternalWirelessNetworkWidget()
{
    // Nothing else can reach the popup; left alone it would go on scanning for ever.
    delete popup;
}

ExternalWirelessNetworkWidget::NetworkStates ExternalWirelessNetworkWidget::networkState() const
{
    return state;
}

bool ExternalWirelessNetworkWidget::isUpdating() const
{
    return updating;
}

WirelessNetworkWidget* ExternalWirelessNetworkWidget::popupWidget() const
{
    return popup;
}

void ExternalWirelessNetworkWidget::setHoldInterval(int milliseconds)
{
    holdTimer->setInterval(qMax(0, milliseconds));
}

void ExternalWirelessNetworkWidget::setPollPause(int milliseconds)
{
    networkChain->setPause(milliseconds);
    internetChain->setPause(milliseconds);
}

void ExternalWirelessNetworkWidget::setUpdating(bool value)
{
    heldByHost = !value;
    if (value) {
        heldByConnection = false;
        // Asked to resume while already polling: one request per chain, unless one is out.
        if (updating) {
            networkChain->setRunning(true);
            internetChain->setRunning(true);
            return;
        }
    }
    followHolds();
}

void ExternalWirelessNetworkWidget::setConnecting(bool value)
{
    heldByConnection = value;
    followHolds();
}

void ExternalWirelessNetworkWidget::followHolds()
{
    const bool run = !heldByHide && !heldByConnection && !heldByHost;
    if (run == updating)
        return;
    updating = run;
    networkChain->setRunning(run);
    internetChain->setRunning(run);
    Q_EMIT updatingChanged(run);
}

void ExternalWirelessNetworkWidget::updateNetworkStatus(NetworkInformation info)
{
    networkChain->answered();
    if (!updating)
        return;
    if (manager->checkWiFiModule() != 0) {
        state = WifiDisabled;
        calculateWidgetInfo(state);
        return;
    }
    // After "Wi-Fi is disabled" any name is news: the module may have come back on with the
    // same network still current.
    if (info.ssid != currentNetwork || state == WifiDisabled) {
        state = info.ssid.isEmpty() ? Disconnected : InternetCheckPending;
        calculateWidgetInfo(state);
        currentNetwork = info.ssid;
    } else if (info.ssid.isEmpty()) {
        state = Disconnected;
        calculateWidgetInfo(state);
    }
}

void ExternalWirelessNetworkWidget::updateInternetAccess(bool value)
{
    internetChain->answered();
    if (!updating)
        return;
    const bool connected =
        state == InternetCheckPending || state == ConnectedWithoutInternet || state == ConnectedWithInternet;
    if (!connected || holdTimer->isActive())
        return;
    state = value ? ConnectedWithInternet : ConnectedWithoutInternet;
    calculateWidgetInfo(state);
    holdTimer->start();
}

void ExternalWirelessNetworkWidget::hideEvent(QHideEvent* event)
{
    heldByHide = true;
    followHolds();
    // Hidden by the program, its window's closing among it (a minimised window's hide comes
    // from the window system): the list, a window of its own, would stay on the screen and
    // keep the application from quitting after its last window.
    if (!event->spontaneous() && popup)
        popup->close();
    QWidget::hideEvent(event);
}

void ExternalWirelessNetworkWidget::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    heldByHide = false;
    followHolds();
}

void ExternalWirelessNetworkWidget::calculateWidgetInfo(NetworkStates shown)
{
    QString text;
    QString dot;
    QString buttonText = tr("Choose network...");
    switch (shown) {
    case WifiDisabled:
        text = tr("Wi-Fi is disabled");
        dot = QStringLiteral(":/icons/dozerozozu_grayCircle");
        buttonText = tr("Wi-Fi settings");
        break;
    case Disconnected:
        text = tr("Disconnected");
        dot = QStringLiteral(":/icons/dozerozozu_redCircle");
        break;
    case InternetCheckPending:
    case ConnectedWithoutInternet:
        text = tr("Connected, without internet");
        dot = QStringLiteral(":/icons/dozerozozu_yellowCircle");
        break;
    case ConnectedWithInternet:
        text = tr("Connected, with internet");
        dot = QStringLiteral(":/icons/dozerozozu_greenCircle");
        break;
    default:
        return;
    }
    statusLabel->setText(text);
    iconLabel->setPixmap(QIcon(dot).pixmap(dotSize, dotSize));
    button->setText(buttonText);
}

void ExternalWirelessNetworkWidget::openPopup()
{
    if (popup) {
        if (popup->isHidden())
            popup->showNormal();
        popup->setWindowState((popup->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
        popup->raise();
        popup->activateWindow();
        return;
    }
    popup = new WirelessNetworkWidget(nullptr, false);
    connect(popup, &WirelessNetworkWidget::connectionStarted, this, [this] { setConnecting(true); });
    connect(popup, &WirelessNetworkWidget::connectionCancelled, this, [this] { setConnecting(false); });
    popup->show();
}
