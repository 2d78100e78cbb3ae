#include "WirelessNetworkList.h"

#include "NetworkRowDelegate.h"

#include <QCoreApplication>
#include <QFont>
#include <QHash>
#include <QIcon>
#include <QSet>
#include <QStandardItemModel>

namespace {

const int wifiRole = NetworkRowDelegate::getWifiIndex() + 1;
const int lockRole = NetworkRowDelegate::getLockIndex() + 1;
const int statusRole = NetworkRowDelegate::getStatusIndex() + 1;
const int spinnerRole = NetworkRowDelegate::getSpinnerIndex() + 1;
const int conditionRole = NetworkRowDelegate::getNetworkConditionIndex() + 1;
const int ipAddressRole = NetworkRowDelegate::getIpAddressIndex() + 1;

// One icon per picture, so that an unchanged row compares equal and is not repainted.
QIcon resourceIcon(const QString& path)
{
    static QHash<QString, QIcon> icons;
    auto found = icons.find(path);
    if (found == icons.end())
        found = icons.insert(path, QIcon(path));
    return found.value();
}

QIcon resourceIcon(const char* name)
{
    return resourceIcon(QStringLiteral(":/icons/dozerozozu_") + QLatin1String(name));
}

bool sameValue(const QVariant& current, const QVariant& value)
{
    if (current.isValid() != value.isValid() || current.userType() != value.userType())
        return false;
    if (value.userType() == QMetaType::QIcon)
        return current.value<QIcon>().cacheKey() == value.value<QIcon>().cacheKey();
    return current == value;
}

// Current-network reports arrive several times a second; only a real change may reach the view.
void assign(QStandardItem* item, int role, const QVariant& value)
{
    if (!sameValue(item->data(role), value))
        item->setData(value, role);
}

} // namespace

WirelessNetworkList::WirelessNetworkList()
    : rows(new QStandardItemModel)
{
}

WirelessNetworkList::~WirelessNetworkList()
{
    delete rows;
}

QStandardItemModel* WirelessNetworkList::model() const
{
    return rows;
}

int WirelessNetworkList::rowCount() const
{
    return rows->rowCount();
}

QStringList WirelessNetworkList::names() const
{
    QStringList listed;
    for (int row = 0; row < rows->rowCount(); ++row)
        listed << rows->item(row)->text();
    return listed;
}

QStandardItem* WirelessNetworkList::item(int row) const
{
    return rows->item(row);
}

QStandardItem* WirelessNetworkList::find(const QString& ssid) const
{
    for (int row = 0; row < rows->rowCount(); ++row) {
        if (rows->item(row)->text() == ssid)
            return rows->item(row);
    }
    return nullptr;
}

NetworkInformation WirelessNetworkList::record(const QString& ssid) const
{
    return networks.value(ssid);
}

int WirelessNetworkList::merge(const WirelessNetworksInfo& scan,
                               const std::function<void(const QModelIndex& row)>& beforeRemove)
{
    int appended = 0;
    QSet<QString> seen;
    for (const NetworkInformation& info : scan) {
        seen.insert(info.ssid);
        if (networks.contains(info.ssid)) {
            networks.insert(info.ssid, info);
        } else {
            appendNetwork(info);
            ++appended;
        }
    }

    int row = 0;
    while (row < rows->rowCount()) {
        QStandardItem* listed = rows->item(row);
        const QString name = listed->text();
        if (seen.contains(name)) {
            setWifiIcon(listed, networks.value(name).signal);
            ++row;
            continue;
        }
        if (beforeRemove)
            beforeRemove(rows->index(row, 0));
        // The callback may have changed the model; look the row up again by its name.
        QStandardItem* gone = find(name);
        if (gone)
            rows->removeRow(gone->row());
        networks.remove(name);
    }
    return appended;
}

QStandardItem* WirelessNetworkList::appendNetwork(const NetworkInformation& info)
{
    auto listed = new QStandardItem(info.ssid);
    listed->setData(int(Qt::AlignLeft | Qt::AlignVCenter), Qt::TextAlignmentRole);
    QFont font;
    font.setPixelSize(20);
    listed->setData(font, Qt::FontRole);
    listed->setData(resourceIcon((info.isOpen || info.isSaved) ? "unlock" : "lock"), lockRole);
    listed->setEditable(false);
    setWifiIcon(listed, info.signal);
    networks.insert(info.ssid, info);
    rows->appendRow(listed);
    return listed;
}

void WirelessNetworkList::clear()
{
    rows->clear();
    networks.clear();
}

void WirelessNetworkList::markCurrentNetwork(const NetworkInformation& info)
{
    for (int row = 0; row < rows->rowCount(); ++row) {
        QStandardItem* listed = rows->item(row);
        if (!info.ssid.isEmpty() && listed->text() == info.ssid) {
            assign(listed, Qt::TextAlignmentRole, int(Qt::AlignTop));
            assign(listed, statusRole, resourceIcon("okay"));
            assign(listed, lockRole, resourceIcon("unlock"));
            assign(listed, conditionRole, QCoreApplication::translate("WirelessNetworkWidget", "Connected"));
            assign(listed, ipAddressRole, info.ipAddress);
        } else {
            assign(listed, Qt::TextAlignmentRole, int(Qt::AlignVCenter));
            assign(listed, statusRole, QVariant());
            // A padlock on an open or saved network would ask for a password nobody needs.
            const NetworkInformation known = networks.value(listed->text());
            assign(listed, lockRole, resourceIcon((known.isOpen || known.isSaved) ? "unlock" : "lock"));
            assign(listed, conditionRole, QVariant());
            assign(listed, ipAddressRole, QVariant());
        }
    }
}

void WirelessNetworkList::clearNetworkStatus()
{
    for (int row = 0; row < rows->rowCount(); ++row) {
        assign(rows->item(row), statusRole, QVariant());
        assign(rows->item(row), conditionRole, QVariant());
    }
}

void WirelessNetworkList::markConnecting(QStandardItem* item)
{
    assign(item, statusRole, QVariant());
    assign(item, spinnerRole, true);
    assign(item, conditionRole, QCoreApplication::translate("WirelessNetworkWidget", "Connecting..."));
}

void WirelessNetworkList::markFailed(QStandardItem* item, const QString& condition)
{
    stopSpinner(item);
    assign(item, conditionRole, condition);
    assign(item, statusRole, resourceIcon("cancel"));
}

void WirelessNetworkList::stopSpinner(QStandardItem* item)
{
    assign(item, spinnerRole, QVariant());
}

void WirelessNetworkList::setWifiIcon(QStandardItem* item, int signal)
{
    const QString path = wifiIconPath(signal);
    if (!path.isEmpty())
        assign(item, wifiRole, resourceIcon(path));
}

QString WirelessNetworkList::wifiIconPath(int signal)
{
    if (signal < 0 || signal > 100)
        return QString();
    const char* name = signal <= 25 ? "wifiZero" : signal <= 50 ? "wifiOne" : signal <= 75 ? "wifiTwo" : "wifiThree";
    return QStringLiteral(":/icons/dozerozozu_") + QLatin1String(name);
}
