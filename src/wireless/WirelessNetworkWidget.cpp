#include "WirelessNetworkWidget.h"

#include "ConnectivityMonitor.h"
#include "NetworkRowDelegate.h"
#include "QtWaitingSpinner.h"
#include "ToggleSwitch.h"
#include "TouchScrollMaker.h"
#include "WirelessNetworkList.h"
#include "WirelessNetworkPasswordDialog.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QPushButton>
#include <QStandardItemModel>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

template class Singleton<WirelessNetworkManager>;

namespace {

constexpr int popupWidth = 550;
constexpr int popupHeight = 650;
constexpr int listHeight = 380;
constexpr int overlayHeight = 250;
constexpr int defaultScanInterval = 3000;
constexpr int defaultErrorHold = 3000;
// A scan left without answer this long no longer holds back the next one.
constexpr int staleScan = 30000;

QFont pixelFont(int pixelSize)
{
    QFont font;
    font.setPixelSize(pixelSize);
    return font;
}

QPushButton* popupButton(const QString& text, const QString& name, QWidget* parent)
{
    auto button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setFixedHeight(40);
    button->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Expanding);
    return button;
}

} // namespace

WirelessNetworkWidget::WirelessNetworkWidget(QWidget* parent, bool fillButtonArea)
    : PopupWidget(parent)
    , rows(new WirelessNetworkList)
    , manager(Singleton<WirelessNetworkManager>::instance())
    , scanTimer(new QTimer(this))
    , errorHoldTimer(new QTimer(this))
    , monitor(new ConnectivityMonitor(this))
    , fillButtonArea(fillButtonArea)
{
    connect(manager, SIGNAL(scanComplete(WirelessNetworksInfo)), this, SLOT(updateModel(WirelessNetworksInfo)));
    connect(manager, SIGNAL(connectComplete(WirelessNetworkManager::NetworkStatus)), this,
            SLOT(updateNetworkStatus(WirelessNetworkManager::NetworkStatus)));

    setFixedSize(popupWidth, popupHeight);
    new QVBoxLayout(this);
    buildHeader();
    buildList();
    buildButtons();

    connect(manager, SIGNAL(currentNetwork(NetworkInformation)), this, SLOT(updateCurrentNetwork(NetworkInformation)),
            Qt::QueuedConnection);

    scanTimer->setInterval(defaultScanInterval);
    connect(scanTimer, &QTimer::timeout, this, &WirelessNetworkWidget::requestScan);
    requestScan();
    scanTimer->start();

    errorHoldTimer->setSingleShot(true);
    errorHoldTimer->setInterval(defaultErrorHold);

    spinner = new QtWaitingSpinner(networkList);
    spinner->setInnerRadius(15);
    spinner->setLineWidth(3);
    spinner->setLineLength(6);
    spinner->setNumberOfLines(16);
    spinner->setColor(QColor(255, 140, 0));
    spinner->updateSize();
    spinner->move((networkList->width() - spinner->width()) / 2, (networkList->height() - spinner->height()) / 2);
    spinner->hide();

    buildOverlay();
    checkModuleAtStart();

    connect(this, &WirelessNetworkWidget::connectionStarted, this, [this] {
        cancelButton->setEnabled(false);
        setActionButtonsEnabled(false);
    });
    connect(monitor, &ConnectivityMonitor::verdictChanged, qualityLabel, &QLabel::setText);
}

WirelessNetworkWidget::~WirelessNetworkWidget()
{
    // The view lets go of the model before the model goes.
    networkList->setModel(nullptr);
    delete rows;
}

QVBoxLayout* WirelessNetworkWidget::mainLayout() const
{
    return static_cast<QVBoxLayout*>(layout());
}

void WirelessNetworkWidget::buildHeader()
{
    auto header = new QHBoxLayout;
    header->setContentsMargins(0, 0, 0, 20);
    auto wifiIcon = new QLabel(this);
    wifiIcon->setPixmap(QIcon(QStringLiteral(":/icons/dozerozozu_wifi")).pixmap(30, 30));
    header->addWidget(wifiIcon);
    auto title = new QLabel(tr("Wi-Fi networks\nChoose network"), this);
    title->setFont(pixelFont(20));
    header->addWidget(title, 1);
    moduleSwitch = new ToggleSwitch(this);
    moduleSwitch->setObjectName(QStringLiteral("moduleSwitch"));
    moduleSwitch->setFixedWidth(40);
    connect(moduleSwitch, &ToggleSwitch::toggled, this, &WirelessNetworkWidget::changeStateModule);
    header->addWidget(moduleSwitch);
    mainLayout()->addLayout(header);

    auto internetRow = new QHBoxLayout;
    internetLabel = new QLabel(tr("Internet: "), this);
    internetLabel->setFont(pixelFont(20));
    qualityLabel = new QLabel(tr("checking..."), this);
    qualityLabel->setObjectName(QStringLiteral("qualityLabel"));
    qualityLabel->setFont(pixelFont(20));
    qualityLabel->setStyleSheet(QStringLiteral("color: #FFA800;"));
    internetRow->addWidget(internetLabel);
    internetRow->addWidget(qualityLabel);
    internetRow->addStretch();
    mainLayout()->addLayout(internetRow);
}

void WirelessNetworkWidget::buildList()
{
    networkList = new QListView(this);
    networkList->setObjectName(QStringLiteral("networkList"));
    TouchScrollMaker::activateTouchScroll(networkList);
    networkList->setStyleSheet(QStringLiteral("border-width: 0px;"));
    const QMargins margins = layout()->contentsMargins();
    networkList->setFixedWidth(width() - margins.left() - margins.right());
    networkList->setFixedHeight(listHeight);
    // The list owns the delegate, so it does not outlive the view it draws for.
    networkList->setItemDelegate(new NetworkRowDelegate(networkList, networkList));
    networkList->setFocusPolicy(Qt::NoFocus);
    networkList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    networkList->setModel(rows->model());
    mainLayout()->addWidget(networkList);
}

void WirelessNetworkWidget::buildButtons()
{
    disconnectButton = popupButton(tr("Disconnect"), QStringLiteral("disconnectButton"), this);
    connectButton = popupButton(tr("Connect"), QStringLiteral("connectButton"), this);
    forgetButton = popupButton(tr("Forget connection"), QStringLiteral("forgetButton"), this);
    cancelButton = popupButton(tr("Cancel"), QStringLiteral("cancelButton"), this);
    setActionButtonsEnabled(false);
    const QColor forgetColour(QStringLiteral("#ec5655"));
    forgetButton->setStyleSheet(QStringLiteral("QPushButton { background-color: #ec5655; } "
                                               "QPushButton:hover { background-color: ")
                                + forgetColour.darker(120).name() + QStringLiteral(";}"));

    auto buttons = new QVBoxLayout;
    auto firstRow = new QHBoxLayout;
    firstRow->setSpacing(10);
    firstRow->setContentsMargins(0, 0, 0, 0);
    firstRow->addWidget(disconnectButton);
    firstRow->addWidget(connectButton);
    buttons->addLayout(firstRow);
    buttons->addWidget(forgetButton);
    buttons->addWidget(cancelButton);
    mainLayout()->addLayout(buttons);

    connect(cancelButton, &QPushButton::clicked, this, &QWidget::close);
    connect(disconnectButton, &QPushButton::clicked, this, [this] { disconnectNetwork(false); });
    connect(forgetButton, &QPushButton::clicked, this, [this] { disconnectNetwork(true); });
    connect(connectButton, &QPushButton::clicked, this, &WirelessNetworkWidget::connectNetwork);
    connect(networkList->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] {
        // A running attempt keeps the buttons as they are until its answer.
        if (!attemptRunning)
            applySelection();
    });
}

void WirelessNetworkWidget::buildOverlay()
{
    disabledOverlay = new QWidget(networkList);
    disabledOverlay->setObjectName(QStringLiteral("disabledOverlay"));
    disabledOverlay->setFixedSize(networkList->width(), overlayHeight);
    auto overlayLayout = new QVBoxLayout(disabledOverlay);
    overlayLayout->setSizeConstraint(QLayout::SetMinimumSize);

    auto warningIcon = new QLabel(disabledOverlay);
    warningIcon->setFixedSize(48, 48);
    warningIcon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(48, 48));
    overlayLayout->addWidget(warningIcon, 0, Qt::AlignHCenter);

    overlayLabel = new QLabel(tr("Wi-Fi is disabled\nTo connect to a network, the Wi-Fi adapter must be turned on."),
                              disabledOverlay);
    overlayLabel->setObjectName(QStringLiteral("overlayLabel"));
    overlayLabel->setWordWrap(true);
    overlayLabel->setAlignment(Qt::AlignCenter);
    overlayLabel->setStyleSheet(QStringLiteral("color: ") + QApplication::palette().color(QPalette::ButtonText).name()
                                + QStringLiteral(";"));
    overlayLayout->addWidget(overlayLabel);

    turnOnButton = new QPushButton(tr("Turn Wi-Fi on"), disabledOverlay);
    turnOnButton->setObjectName(QStringLiteral("turnOnButton"));
    turnOnButton->setStyleSheet(QStringLiteral("font-size: 17px"));
    turnOnButton->setFixedWidth(150);
    overlayLayout->addWidget(turnOnButton, 0, Qt::AlignHCenter);
    // The switch's toggled() asks the manager, once.
    connect(turnOnButton, &QPushButton::clicked, this, [this] { moduleSwitch->setToggled(true); });

    disabledOverlay->move(0, (networkList->height() - overlayHeight) / 2);
    disabledOverlay->show();
}

void WirelessNetworkWidget::checkModuleAtStart()
{
    const int module = manager->checkWiFiModule();
    if (module == WirelessNetworkManager::ModuleOn) {
        moduleSwitch->setToggled(true);
    } else if (module == WirelessNetworkManager::ModuleMissing) {
        moduleMissing = true;
        overlayLabel->setText(tr("Wi-Fi module is missing from the system"));
        turnOnButton->setEnabled(false);
        followScanState();
    }
}

WirelessNetworkList* WirelessNetworkWidget::networkRows() const
{
    return rows;
}

QListView* WirelessNetworkWidget::listView() const
{
    return networkList;
}

ConnectivityMonitor* WirelessNetworkWidget::connectivityMonitor() const
{
    return monitor;
}

bool WirelessNetworkWidget::isConnecting() const
{
    return attemptRunning;
}

QModelIndex WirelessNetworkWidget::pendingRow() const
{
    return pendingItem;
}

bool WirelessNetworkWidget::isScanning() const
{
    return scanTimer->isActive();
}

void WirelessNetworkWidget::setScanInterval(int milliseconds)
{
    scanTimer->setInterval(qMax(1, milliseconds));
}

void WirelessNetworkWidget::setErrorHoldInterval(int milliseconds)
{
    errorHoldTimer->setInterval(qMax(0, milliseconds));
}

void WirelessNetworkWidget::changeStateModule(bool on)
{
    if (on) {
        disabledOverlay->hide();
        spinner->start();
        manager->changeStateModule(true);
        return;
    }
    setActionButtonsEnabled(false);
    rows->clear();
    spinner->stop();
    disabledOverlay->show();
    manager->changeStateModule(false);
}

void WirelessNetworkWidget::showModuleOff()
{
    rows->clear();
    disabledOverlay->show();
    setActionButtonsEnabled(false);
    // Show the switch as the module is, without asking the manager to switch it off again.
    const bool blocked = moduleSwitch->blockSignals(true);
    moduleSwitch->setToggled(false);
    moduleSwitch->blockSignals(blocked);
}

void WirelessNetworkWidget::requestScan()
{
    // One scan out at a time: a slow manager must not collect a queue of them.
    if (scanAwaited && !scanSentAt.hasExpired(staleScan))
        return;
    scanAwaited = true;
    scanSentAt.start();
    QMetaObject::invokeMethod(manager, "scanNetwork", Qt::QueuedConnection);
}

void WirelessNetworkWidget::followScanState()
{
    const bool scan = !closed && !moduleMissing;
    if (scan == scanTimer->isActive())
        return;
    if (scan) {
        // Shown again after a close: the list may be old, so ask at once.
        requestScan();
        scanTimer->start();
    } else {
        scanTimer->stop();
    }
}

void WirelessNetworkWidget::updateModel(WirelessNetworksInfo info)
{
    scanAwaited = false;
    if (manager->checkWiFiModule() == WirelessNetworkManager::ModuleOff && !spinner->isSpinning()) {
        if (disabledOverlay->isHidden() || rows->rowCount() > 0)
            showModuleOff();
        return;
    }
    disabledOverlay->hide();
    const int appended = rows->merge(info, [this](const QModelIndex& row) {
        if (networkList->currentIndex() != row)
            return;
        // No other row becomes the one "Connect" acts on behind the user's back.
        connectButton->setEnabled(false);
        networkList->selectionModel()->clearCurrentIndex();
    });
    if (appended > 0 && spinner->isSpinning())
        spinner->stop();
}

void WirelessNetworkWidget::applySelection()
{
    const QModelIndex current = networkList->currentIndex();
    if (!current.isValid()) {
        setActionButtonsEnabled(false);
        return;
    }
    const QString connected = manager->currentNetwork().ssid;
    const bool isConnected = !connected.isEmpty() && current.data().toString() == connected;
    disconnectButton->setEnabled(isConnected);
    forgetButton->setEnabled(isConnected);
    connectButton->setEnabled(!isConnected);
}

void WirelessNetworkWidget::disconnectNetwork(bool forget)
{
    manager->disconnectNetwork(forget);
    disconnectButton->setEnabled(false);
    forgetButton->setEnabled(false);
    connectButton->setEnabled(networkList->currentIndex().isValid());
}

void WirelessNetworkWidget::connectNetwork()
{
    Q_EMIT connectionStarted();
    attemptRunning = true;
    const QModelIndex current = networkList->currentIndex();
    if (!current.isValid()) {
        endWithoutRequest();
        return;
    }
    pendingItem = current;
    const QString name = current.data().toString();
    NetworkInformation request = rows->record(name);
    request.ssid = name;

    if (!request.isOpen && !request.isSaved) {
        QPointer<WirelessNetworkWidget> alive(this);
        bool ok = false;
        const QString password = WirelessNetworkPasswordDialog::getPassworForNetwork(request.ssid, &ok, this);
        if (!alive)
            return;
        if (!ok) {
            endWithoutRequest();
            return;
        }
        request.password = password;
    }

    clearNetworkStatus();
    // A scan or the module switched off may have taken the row while the password was asked for.
    if (pendingItem.isValid())
        WirelessNetworkList::markConnecting(rows->model()->itemFromIndex(pendingItem));
    QMetaObject::invokeMethod(manager, "connectNetwork", Qt::QueuedConnection, Q_ARG(NetworkInformation, request));
}

void WirelessNetworkWidget::endWithoutRequest()
{
    attemptRunning = false;
    pendingItem = QPersistentModelIndex();
    cancelButton->setEnabled(true);
    applySelection();
    Q_EMIT connectionCancelled();
}

void WirelessNetworkWidget::updateNetworkStatus(WirelessNetworkManager::NetworkStatus status)
{
    cancelButton->setEnabled(true);
    setActionButtonsEnabled(true);
    attemptRunning = false;
    const QPersistentModelIndex pending = pendingItem;
    pendingItem = QPersistentModelIndex();
    if (!pending.isValid())
        return;

    QStandardItem* item = rows->model()->itemFromIndex(pending);
    switch (status) {
    case WirelessNetworkManager::Connected:
        disconnectButton->setEnabled(true);
        forgetButton->setEnabled(true);
        connectButton->setEnabled(false);
        WirelessNetworkList::stopSpinner(item);
        break;
    case WirelessNetworkManager::ConnectionError:
        WirelessNetworkList::markFailed(item, tr("Error while connecting"));
        errorHoldTimer->start();
        break;
    case WirelessNetworkManager::WrongPassword:
        WirelessNetworkList::markFailed(item, tr("Wrong password"));
        errorHoldTimer->start();
        break;
    default:
        // The attempt is over, whatever the status says; the next report shows the outcome.
        WirelessNetworkList::stopSpinner(item);
        break;
    }
}

void WirelessNetworkWidget::updateCurrentNetwork(NetworkInformation info)
{
    if (attemptRunning || errorHoldTimer->isActive())
        return;
    rows->markCurrentNetwork(info);
}

void WirelessNetworkWidget::clearNetworkStatus()
{
    rows->clearNetworkStatus();
}

void WirelessNetworkWidget::setActionButtonsEnabled(bool enabled)
{
    connectButton->setEnabled(enabled);
    disconnectButton->setEnabled(enabled);
    forgetButton->setEnabled(enabled);
}

void WirelessNetworkWidget::paintEvent(QPaintEvent* event)
{
    QWidget::paintEvent(event);
    if (!fillButtonArea || !networkList)
        return;
    QPainter painter(this);
    const int top = (networkList->height() - 1) + networkList->y();
    painter.fillRect(QRect(0, top, width(), height() - top), palette().brush(QPalette::Current, QPalette::Link));
}

void WirelessNetworkWidget::resizeEvent(QResizeEvent* event)
{
    PopupWidget::resizeEvent(event);
    // Set once per size: setting the mask on every paint would schedule the next paint.
    QPainterPath outline;
    outline.addRoundedRect(QRectF(rect()), 10, 10, Qt::AbsoluteSize);
    setMask(QRegion(outline.toFillPolygon().toPolygon(), Qt::OddEvenFill));
}

void WirelessNetworkWidget::closeEvent(QCloseEvent* event)
{
    closed = true;
    followScanState();
    errorHoldTimer->stop();
    PopupWidget::closeEvent(event);
}

void WirelessNetworkWidget::keyPressEvent(QKeyEvent* event)
{
    // A frameless window has no close button of its own: Escape is the keyboard's way out.
    if (event->key() == Qt::Key_Escape && cancelButton->isEnabled()) {
        close();
        return;
    }
    PopupWidget::keyPressEvent(event);
}

void WirelessNetworkWidget::showEvent(QShowEvent* event)
{
    PopupWidget::showEvent(event);
    monitor->start();
    closed = false;
    followScanState();
}

void WirelessNetworkWidget::hideEvent(QHideEvent* event)
{
    monitor->stop();
    PopupWidget::hideEvent(event);
}
