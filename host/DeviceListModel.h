#pragma once

#include <QAbstractTableModel>
#include <QHash>
#include <QPointer>
#include <QSet>
#include <QStringList>
#include <QVector>

struct DeviceInfo;
class DeviceManager;

/**
 * The devices of a DeviceManager as a table, one row per device in the manager's creation
 * order: the name (with the description), type, state, thread and links of each.
 *
 * It follows the manager's reports at a cost that grows with what they changed, not with the
 * graph: a report only notes which row or device it is about, and the notes are applied once,
 * on the next turn of the event loop (or by applyPendingChanges()), to the noted rows alone. A
 * command that reports on thousands of devices therefore costs one update, and a slot of a
 * host that runs a modal box in the middle of a command costs one update of what was noted
 * until then. A row reads its device from the manager only when it is first asked for, after
 * it came or changed: a view pays for the rows it shows, a chooser for its chosen row.
 *
 * The manager is not owned and may go first. GUI thread only.
 *
 *     auto view = new QTableView(window);
 *     view->setModel(new DeviceListModel(manager, view));
 */
class DeviceListModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { DeviceColumn, TypeColumn, StateColumn, ThreadColumn, LinksColumn, ColumnCount };
    /// The device's name as the manager knows it, in every column (the Device column shows
    /// its description beside it).
    static constexpr int NameRole = Qt::UserRole;

    /// Lists the manager's devices at once and follows its reports from then on.
    explicit DeviceListModel(DeviceManager* manager, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    /// The row of the device the manager now names name; -1 when none, or not listed until the next update.
    int rowOf(const QString& name) const;
    /// Whether reports were heard that the rows do not show yet.
    bool hasPendingChanges() const;

public Q_SLOTS:
    /// Brings the rows in step with the reports heard since the last update.
    void applyPendingChanges();

Q_SIGNALS:
    /// Emitted around an update, which may insert, remove, change or reset rows.
    void updateStarted();
    void updateFinished();

private:
    struct Row
    {
        /// As the manager names the device now: a rename is taken at once.
        QString name;
        /// What the columns show, read when first asked for; empty until then.
        QStringList cells;
    };

    void noteRegistered(const QString& name);
    void noteRemoved(const QString& name);
    void noteRenamed(const QString& oldName, const QString& newName);
    void noteChanged(const QString& name);
    void scheduleUpdate();

    /// Has the noted rows read again; those whose device is gone after all join the removed ones.
    void refreshStaleRows();
    void removeGoneRows();
    /// Appends the devices registered meanwhile, which the manager lists last; false when its
    /// list does not end with exactly them (a report was missed) and the rows need a reset.
    bool appendNewDevices();
    /// Lists every device of the manager afresh.
    void resetRows();
    void indexRowsFrom(int first);
    /// The row's cells, read from the manager when they are not yet.
    const QStringList& cellsAt(int row) const;
    QStringList cellsOf(const DeviceInfo& info) const;

    QPointer<DeviceManager> m_manager;
    // Filled as views ask for rows: reading a device is what costs.
    mutable QVector<Row> m_rows;
    /// Row of each device shown, under the device's current name.
    QHash<QString, int> m_rowOfName;

    // What the reports noted since the last update.
    QSet<int> m_staleRows;
    QSet<int> m_goneRows;
    QSet<QString> m_newNames;
    bool m_resetNeeded = false;
    bool m_updateQueued = false;
};
