#include "DeviceListModel.h"

#include "DeviceManager.h"

#include <algorithm>
#include <functional>

namespace {

QString stateText(BaseDevice::DeviceState state)
{
    switch (state) {
    case BaseDevice::Initialised:
        return DeviceListModel::tr("initialised");
    case BaseDevice::Warning:
        return DeviceListModel::tr("warning");
    case BaseDevice::Deinitialised:
        return DeviceListModel::tr("deinitialised");
    case BaseDevice::DeinitialisedWithError:
        return DeviceListModel::tr("error");
    case BaseDevice::Disabled:
        return DeviceListModel::tr("disabled");
    case BaseDevice::NotInitialised:
        break;
    }
    return DeviceListModel::tr("not initialised");
}

// The rows in ascending order, cut into runs of neighbours, each as its first and last row.
QVector<QPair<int, int>> runsOf(const QSet<int>& rows)
{
    QVector<int> sorted(rows.cbegin(), rows.cend());
    std::sort(sorted.begin(), sorted.end());
    QVector<QPair<int, int>> runs;
    for (int row : qAsConst(sorted)) {
        if (!runs.isEmpty() && runs.last().second == row - 1)
            runs.last().second = row;
        else
            runs.append({row, row});
    }
    return runs;
}

} // namespace

DeviceListModel::DeviceListModel(DeviceManager* manager, QObject* parent)
    : QAbstractTableModel(parent)
    , m_manager(manager)
{
    connect(manager, &DeviceManager::deviceRegistered, this, &DeviceListModel::noteRegistered);
    connect(manager, &DeviceManager::deviceRemoved, this, &DeviceListModel::noteRemoved);
    connect(manager, &DeviceManager::deviceRenamed, this, &DeviceListModel::noteRenamed);
    connect(manager, &DeviceManager::deviceChanged, this, &DeviceListModel::noteChanged);
    connect(manager, &DeviceManager::deviceStateChanged, this, [this](const QString& name) { noteChanged(name); });
    connect(manager, &DeviceManager::deviceDescriptionChanged, this, [this](const QString& name) { noteChanged(name); });
    resetRows();
}

int DeviceListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_rows.size();
}

int DeviceListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant DeviceListModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return QVariant();
    if (role == Qt::DisplayRole)
        return cellsAt(index.row()).at(index.column());
    if (role == NameRole)
        return m_rows.at(index.row()).name;
    return QVariant();
}

QVariant DeviceListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case DeviceColumn:
        return tr("Device");
    case TypeColumn:
        return tr("Type");
    case StateColumn:
        return tr("State");
    case ThreadColumn:
        return tr("Thread");
    case LinksColumn:
        return tr("Links");
    }
    return QVariant();
}

int DeviceListModel::rowOf(const QString& name) const
{
    return m_rowOfName.value(name, -1);
}

bool DeviceListModel::hasPendingChanges() const
{
    return m_resetNeeded || !m_staleRows.isEmpty() || !m_goneRows.isEmpty() || !m_newNames.isEmpty();
}

void DeviceListModel::applyPendingChanges()
{
    m_updateQueued = false;
    if (!hasPendingChanges() || !m_manager)
        return;
    Q_EMIT updateStarted();
    refreshStaleRows();
    removeGoneRows();
    if (m_resetNeeded || !appendNewDevices())
        resetRows();
    m_staleRows.clear();
    m_goneRows.clear();
    m_newNames.clear();
    m_resetNeeded = false;
    Q_EMIT updateFinished();
}

void DeviceListModel::noteRegistered(const QString& name)
{
    // A row under that name already stands for a device the manager no longer has.
    const int row = m_rowOfName.value(name, -1);
    if (row >= 0) {
        m_rowOfName.remove(name);
        m_goneRows.insert(row);
    }
    m_newNames.insert(name);
    scheduleUpdate();
}

void DeviceListModel::noteRemoved(const QString& name)
{
    const int row = m_rowOfName.value(name, -1);
    if (row >= 0) {
        m_rowOfName.remove(name);
        m_goneRows.insert(row);
    } else {
        m_newNames.remove(name);
    }
    scheduleUpdate();
}

void DeviceListModel::noteRenamed(const QString& oldName, const QString& newName)
{
    // The manager keeps a renamed device in its place, and so does the list.
    const int row = m_rowOfName.value(oldName, -1);
    if (row >= 0) {
        m_rowOfName.remove(oldName);
        const int holder = m_rowOfName.value(newName, -1);
        if (holder >= 0)
            m_goneRows.insert(holder);
        m_rowOfName.insert(newName, row);
        m_rows[row].name = newName;
        m_staleRows.insert(row);
    } else if (m_newNames.remove(oldName)) {
        m_newNames.insert(newName);
    } else {
        // A device the list never heard of: its place in the manager's order is unknown.
        m_resetNeeded = true;
    }
    scheduleUpdate();
}

void DeviceListModel::noteChanged(const QString& name)
{
    // Reports on a device not listed yet are read with its registration; those arriving late
    // on a device gone are of no use.
    const int row = m_rowOfName.value(name, -1);
    if (row < 0)
        return;
    m_staleRows.insert(row);
    scheduleUpdate();
}

void DeviceListModel::scheduleUpdate()
{
    if (m_updateQueued)
        return;
    m_updateQueued = true;
    QMetaObject::invokeMethod(this, &DeviceListModel::applyPendingChanges, Qt::QueuedConnection);
}

void DeviceListModel::refreshStaleRows()
{
    m_staleRows.subtract(m_goneRows);
    QSet<int> refreshed;
    for (int row : qAsConst(m_staleRows)) {
        const QString& name = m_rows.at(row).name;
        // Only a report that never came would leave a row whose device is gone.
        if (!m_manager->getDevice(name)) {
            m_rowOfName.remove(name);
            m_goneRows.insert(row);
            continue;
        }
        m_rows[row].cells.clear();
        refreshed.insert(row);
    }
    for (const QPair<int, int>& run : runsOf(refreshed))
        Q_EMIT dataChanged(index(run.first, 0), index(run.second, ColumnCount - 1));
}

void DeviceListModel::removeGoneRows()
{
    if (m_goneRows.isEmpty())
        return;
    const QVector<QPair<int, int>> runs = runsOf(m_goneRows);
    // From the bottom up, so that the rows of the runs still to go keep their numbers.
    for (auto run = runs.crbegin(); run != runs.crend(); ++run) {
        beginRemoveRows(QModelIndex(), run->first, run->second);
        m_rows.erase(m_rows.begin() + run->first, m_rows.begin() + run->second + 1);
        endRemoveRows();
    }
    indexRowsFrom(runs.first().first);
}

bool DeviceListModel::appendNewDevices()
{
    if (m_newNames.isEmpty())
        return true;
    const QStringList names = m_manager->getDeviceNames();
    const int first = m_rows.size();
    if (names.size() - first != m_newNames.size())
        return false;
    for (int i = first; i < names.size(); ++i) {
        if (!m_newNames.contains(names.at(i)))
            return false;
    }
    beginInsertRows(QModelIndex(), first, names.size() - 1);
    for (int i = first; i < names.size(); ++i)
        m_rows.append({names.at(i), QStringList()});
    indexRowsFrom(first);
    endInsertRows();
    return true;
}

void DeviceListModel::resetRows()
{
    beginResetModel();
    m_rows.clear();
    if (m_manager) {
        const QStringList names = m_manager->getDeviceNames();
        m_rows.reserve(names.size());
        for (const QString& name : names)
            m_rows.append({name, QStringList()});
    }
    m_rowOfName.clear();
    indexRowsFrom(0);
    endResetModel();
}

void DeviceListModel::indexRowsFrom(int first)
{
    for (int row = first; row < m_rows.size(); ++row)
        m_rowOfName.insert(m_rows.at(row).name, row);
}

const QStringList& DeviceListModel::cellsAt(int row) const
{
    Row& shown = m_rows[row];
    if (!shown.cells.isEmpty())
        return shown.cells;
    const DeviceInfo info = m_manager ? m_manager->getDeviceInfo(shown.name) : DeviceInfo();
    // A device gone whose removal is not applied yet keeps its row until the update.
    if (info.name.isEmpty())
        shown.cells = QStringList{shown.name, QString(), QString(), QString(), QString()};
    else
        shown.cells = cellsOf(info);
    return shown.cells;
}

QStringList DeviceListModel::cellsOf(const DeviceInfo& info) const
{
    return {info.description.isEmpty() ? info.name : info.name + " (" + info.description + ")", info.type,
            stateText(m_manager->getDeviceState(info.name)), info.thread.isEmpty() ? tr("GUI") : info.thread,
            tr("%1 in, %2 out").arg(info.incomingConnections.size()).arg(info.outgoingConnections.size())};
}
