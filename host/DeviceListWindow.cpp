#include "DeviceListWindow.h"

#include "AboutDialog.h"
#include "DemoMenu.h"
#include "DeviceListModel.h"
#include "DozeRozOZUVersion.h"

#include <QHeaderView>
#include <QMenuBar>
#include <QSet>
#include <QTableView>
#include <QVBoxLayout>

DeviceListWindow::DeviceListWindow(DeviceManager* manager, QWidget* parent)
    : QWidget(parent)
    , m_model(new DeviceListModel(manager, this))
    , m_view(new QTableView(this))
{
    setWindowTitle(tr("Devices"));
    auto* layout = new QVBoxLayout(this);
    auto* menuBar = new QMenuBar(this);
    addDemoMenu(menuBar);
    menuBar->addMenu(tr("&Help"))->addAction(tr("&About"), this, &DeviceListWindow::showAbout);
    layout->setMenuBar(menuBar);
    layout->addWidget(m_view);
    m_view->setModel(m_model);
    m_view->horizontalHeader()->setStretchLastSection(true);
    m_view->verticalHeader()->hide();
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    resize(760, 720);
    // Sized to the rows once; later rows only widen what they no longer fit in, so that an update
    // costs what it changed rather than a look at every row.
    m_view->resizeColumnsToContents();
    connect(m_model, &DeviceListModel::rowsInserted, this,
            [this](const QModelIndex&, int first, int last) { widenColumnsFor(first, last); });
    connect(m_model, &DeviceListModel::dataChanged, this,
            [this](const QModelIndex& topLeft, const QModelIndex& bottomRight) {
                widenColumnsFor(topLeft.row(), bottomRight.row());
            });
    connect(m_model, &DeviceListModel::modelReset, m_view, &QTableView::resizeColumnsToContents);
}

QList<VersionInfo> DeviceListWindow::hostVersions()
{
    return {{QStringLiteral("DemoHost"), QString::fromLatin1(DozeRozOZUVersion::version),
             QString::fromLatin1(DozeRozOZUVersion::gitSHA), QString::fromLatin1(DozeRozOZUVersion::buildDate),
             QString()}};
}

DeviceListModel* DeviceListWindow::model() const
{
    return m_model;
}

void DeviceListWindow::showAbout()
{
    AboutDialog::showAboutDialog(hostVersions(), this);
}

void DeviceListWindow::widenColumnsFor(int first, int last)
{
    // As many rows as the header looks at when it sizes the columns to their contents: each row
    // measured is a device read, and a command may bring thousands.
    const int precision = m_view->horizontalHeader()->resizeContentsPrecision();
    if (precision >= 0)
        last = qMin(last, first + qMax(precision, 1) - 1);
    const int gridWidth = m_view->showGrid() ? 1 : 0;
    // The last column stretches over what is left.
    for (int column = 0; column < DeviceListModel::ColumnCount - 1; ++column) {
        int width = m_view->columnWidth(column);
        // Types, states and threads repeat: each text is measured once.
        QSet<QString> measured;
        for (int row = first; row <= last; ++row) {
            const QModelIndex index = m_model->index(row, column);
            const QString text = index.data().toString();
            if (measured.contains(text))
                continue;
            measured.insert(text);
            width = qMax(width, m_view->sizeHintForIndex(index).width() + gridWidth);
        }
        if (width > m_view->columnWidth(column))
            m_view->setColumnWidth(column, width);
    }
}
