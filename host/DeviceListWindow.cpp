#include "DeviceListWindow.h"

#include "AboutDialog.h"
#include "DemoMenu.h"
#include "DeviceManager.h"
#include "DozeRozOZUVersion.h"

#include <QHeaderView>
#include <QMenuBar>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

QString stateText(BaseDevice::DeviceState state)
{
    switch (state) {
    case BaseDevice::Initialised:
        return DeviceListWindow::tr("initialised");
    case BaseDevice::Warning:
        return DeviceListWindow::tr("warning");
    case BaseDevice::Deinitialised:
        return DeviceListWindow::tr("deinitialised");
    case BaseDevice::DeinitialisedWithError:
        return DeviceListWindow::tr("error");
    case BaseDevice::Disabled:
        return DeviceListWindow::tr("disabled");
    case BaseDevice::NotInitialised:
        break;
    }
    return DeviceListWindow::tr("not initialised");
}

} // namespace

DeviceListWindow::DeviceListWindow(DeviceManager* manager, QWidget* parent)
    : QWidget(parent)
    , m_manager(manager)
    , m_table(new QTableWidget(this))
{
    setWindowTitle(tr("Devices"));
    auto* layout = new QVBoxLayout(this);
    auto* menuBar = new QMenuBar(this);
    addDemoMenu(menuBar);
    menuBar->addMenu(tr("&Help"))->addAction(tr("&About"), this, &DeviceListWindow::showAbout);
    layout->setMenuBar(menuBar);
    layout->addWidget(m_table);
    m_table->setColumnCount(5);
    m_table->setHorizontalHeaderLabels({tr("Device"), tr("Type"), tr("State"), tr("Thread"), tr("Links")});
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->verticalHeader()->hide();
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    for (const char* signal : {SIGNAL(deviceRegistered(QString)), SIGNAL(deviceRemoved(QString)),
                               SIGNAL(deviceRenamed(QString,QString)), SIGNAL(deviceChanged(QString)),
                               SIGNAL(deviceStateChanged(QString,BaseDevice::DeviceState))})
        connect(manager, signal, this, SLOT(refresh()));
    resize(760, 720);
    refresh();
}

QList<VersionInfo> DeviceListWindow::hostVersions()
{
    return {{QStringLiteral("DemoHost"), QString::fromLatin1(DozeRozOZUVersion::version),
             QString::fromLatin1(DozeRozOZUVersion::gitSHA), QString::fromLatin1(DozeRozOZUVersion::buildDate),
             QString()}};
}

void DeviceListWindow::showAbout()
{
    AboutDialog::showAboutDialog(hostVersions(), this);
}

void DeviceListWindow::refresh()
{
    if (!m_manager)
        return;
    const QStringList names = m_manager->getDeviceNames();
    m_table->setRowCount(names.size());
    for (int row = 0; row < names.size(); ++row) {
        const DeviceInfo info = m_manager->getDeviceInfo(names.at(row));
        const QStringList cells{info.description.isEmpty() ? info.name : info.name + " (" + info.description + ")",
                                info.type, stateText(m_manager->getDeviceState(info.name)),
                                info.thread.isEmpty() ? tr("GUI") : info.thread,
                                tr("%1 in, %2 out").arg(info.incomingConnections.size()).arg(info.outgoingConnections.size())};
        for (int column = 0; column < cells.size(); ++column)
            m_table->setItem(row, column, new QTableWidgetItem(cells.at(column)));
    }
    m_table->resizeColumnsToContents();
}
