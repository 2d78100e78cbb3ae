#include "DeviceSignalsOutputWidget.h"

#include "ConsoleWidget.h"
#include "DeviceHandle.h"
#include "DeviceManager.h"
#include "DeviceSignalsConsole.h"
#include "DeviceSignalsGraph.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

namespace {

const QStringList shownSuffixes = {
    QStringLiteral("(double)"),  QStringLiteral("(int)"),        QStringLiteral("(DoubleVec)"), QStringLiteral("(QString)"),
    QStringLiteral("(QByteArray)"), QStringLiteral("(bool)"), QStringLiteral("()"),
};

bool isGraphSignal(const QString& signal)
{
    return signal.contains(QLatin1String("(double)")) || signal.contains(QLatin1String("(int)"))
        || signal.contains(QLatin1String("(DoubleVec)"));
}

} // namespace

DeviceSignalsOutputWidget::DeviceSignalsOutputWidget(DeviceManager& manager, QString device, QWidget* parent)
    : QWidget(parent)
    , deviceManager(&manager)
    , deviceName(device)
{
    deviceHandle = deviceManager->getDeviceHandle(device);
    layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);

    graph = new DeviceSignalsGraph(manager, device, this);
    graph->hide();
    signalsConsole = new DeviceSignalsConsole(manager, device, this);
    signalsConsole->hide();
    layout->addWidget(graph, 1, 0, 1, 2);
    layout->addWidget(signalsConsole, 1, 0, 1, 2);

    auto* top = new QHBoxLayout;
    signalBox = new QComboBox(this);
    detachButton = new QPushButton(this);
    detachButton->setFocusPolicy(Qt::NoFocus);
    detachButton->setAutoDefault(false);
    detachButton->setIcon(style()->standardIcon(QStyle::SP_TitleBarMaxButton));
    detachButton->setFixedWidth(32);
    connect(detachButton, &QPushButton::clicked, this, &DeviceSignalsOutputWidget::detach);
    top->addWidget(signalBox, 2);
    top->addWidget(detachButton);
    layout->addLayout(top, 0, 0, 1, 2);

    const QStringList signalList = deviceHandle ? deviceHandle->getSignals() : QStringList();
    for (const QString& signal : signalList) {
        for (const QString& suffix : shownSuffixes) {
            if (signal.contains(suffix)) {
                signalBox->addItem(signal);
                break;
            }
        }
    }

    connect(signalBox, SIGNAL(currentTextChanged(QString)), this, SLOT(signalSelected(QString)));
    connect(this, SIGNAL(signalChanged(QString)), graph, SLOT(signalSelected(QString)));
    connect(this, SIGNAL(signalChanged(QString)), signalsConsole, SLOT(signalSelected(QString)));
    signalSelected(signalBox->currentText());
}

DeviceSignalsOutputWidget::~DeviceSignalsOutputWidget() = default;

void DeviceSignalsOutputWidget::signalSelected(QString signal)
{
    const bool onGraph = isGraphSignal(signal);
    signalsConsole->setVisible(!onGraph);
    graph->setVisible(onGraph);
    Q_EMIT signalChanged(signal);
}

DeviceSignalsOutputWidget* DeviceSignalsOutputWidget::detach()
{
    auto* copy = new DeviceSignalsOutputWidget(*deviceManager, deviceName);
    // Nothing else holds the window: it goes when the user closes it.
    copy->setAttribute(Qt::WA_DeleteOnClose);
    copy->setWindowTitle(deviceName);
    copy->setMinimumSize(500, 300);
    copy->detachButton->hide();
    copy->layout->setContentsMargins(20, 20, 20, 20);
    copy->signalBox->setCurrentText(signalBox->currentText());
    copy->signalsConsole->getConsole()->clear();
    copy->signalsConsole->getConsole()->copyInfo(signalsConsole->getConsole());
    copy->signalsConsole->setShowTimestamp(signalsConsole->getShowTimestamp());
    copy->show();
    // The desktop's default screen is the primary one.
    const QRect screen = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->geometry() : QRect();
    const QRect window = copy->frameGeometry();
    copy->move((screen.right() - screen.left()) / 2 - (window.right() - window.left()) / 2,
               (screen.bottom() - screen.top()) / 2 - (window.bottom() - window.top()) / 2);
    return copy;
}
