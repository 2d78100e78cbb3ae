#include "NetworkRowDelegate.h"
#include "WirelessNetworkList.h"

#include <QAbstractItemModelTester>
#include <QIcon>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QtTest>

namespace {

const int wifiRole = NetworkRowDelegate::getWifiIndex() + 1;
const int lockRole = NetworkRowDelegate::getLockIndex() + 1;
const int statusRole = NetworkRowDelegate::getStatusIndex() + 1;
const int spinnerRole = NetworkRowDelegate::getSpinnerIndex() + 1;
const int conditionRole = NetworkRowDelegate::getNetworkConditionIndex() + 1;
const int ipAddressRole = NetworkRowDelegate::getIpAddressIndex() + 1;

NetworkInformation network(const QString& ssid, int signal = 50, bool isOpen = false, bool isSaved = false)
{
    NetworkInformation info;
    info.ssid = ssid;
    info.signal = signal;
    info.isOpen = isOpen;
    info.isSaved = isSaved;
    return info;
}

WirelessNetworksInfo networks(const QStringList& names)
{
    WirelessNetworksInfo scan;
    for (const QString& name : names)
        scan << network(name);
    return scan;
}

// Which resource an icon shows, told by its picture.
bool shows(const QVariant& value, const QString& name)
{
    const QImage shown = value.value<QIcon>().pixmap(20, 20).toImage();
    const QImage expected = QIcon(QStringLiteral(":/icons/dozerozozu_") + name).pixmap(20, 20).toImage();
    return !shown.isNull() && shown == expected;
}

} // namespace

class TestWirelessNetworkList : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void duplicateNamesGiveOneRowWithTheLaterRecord();
    void vanishedRowsGoAndReturnLast();
    void rowsStayInPlaceAndKeepTheirStatus();
    void signalIconThresholds_data();
    void signalIconThresholds();
    void currentNetworkMarksItsRowOnly();
    void unchangedReportChangesNoData();

private:
    WirelessNetworkList* rows = nullptr;
};

void TestWirelessNetworkList::init()
{
    rows = new WirelessNetworkList;
    new QAbstractItemModelTester(rows->model(), QAbstractItemModelTester::FailureReportingMode::QtTest, rows->model());
}

void TestWirelessNetworkList::cleanup()
{
    delete rows;
}

void TestWirelessNetworkList::duplicateNamesGiveOneRowWithTheLaterRecord()
{
    const int appended = rows->merge({network("Lab", 10), network("Guest"), network("Lab", 90)});

    QCOMPARE(appended, 2);
    QCOMPARE(rows->names(), (QStringList{"Lab", "Guest"}));
    QCOMPARE(rows->record("Lab").signal, 90);
    QVERIFY(shows(rows->item(0)->data(wifiRole), "wifiThree"));
}

void TestWirelessNetworkList::vanishedRowsGoAndReturnLast()
{
    rows->merge(networks({"A", "B", "C", "D"}));
    QStringList told;

    rows->merge(networks({"A", "D"}), [&](const QModelIndex& row) { told << row.data().toString(); });

    QCOMPARE(rows->names(), (QStringList{"A", "D"}));
    QCOMPARE(told, (QStringList{"B", "C"}));
    QCOMPARE(rows->record("B").ssid, QString());

    // A network coming back is appended last.
    rows->merge(networks({"A", "B", "D"}));
    QCOMPARE(rows->names(), (QStringList{"A", "D", "B"}));
}

void TestWirelessNetworkList::rowsStayInPlaceAndKeepTheirStatus()
{
    // Given a connected row and a row being connected
    rows->merge(networks({"A", "B"}));
    NetworkInformation current = network("A");
    current.ipAddress = "127.0.10.23";
    rows->markCurrentNetwork(current);
    WirelessNetworkList::markConnecting(rows->item(1));
    QSignalSpy removed(rows->model(), &QAbstractItemModel::rowsRemoved);

    // When a scan reports them again, in another order and with another strength
    rows->merge({network("B", 80), network("A", 10)});

    // Then only the signal icons changed
    QCOMPARE(removed.count(), 0);
    QCOMPARE(rows->names(), (QStringList{"A", "B"}));
    QCOMPARE(rows->item(0)->data(ipAddressRole).toString(), QString("127.0.10.23"));
    QVERIFY(shows(rows->item(0)->data(wifiRole), "wifiZero"));
    QCOMPARE(rows->item(1)->data(spinnerRole), QVariant(true));
    QCOMPARE(rows->item(1)->data(conditionRole).toString(), QString("Connecting..."));
}

void TestWirelessNetworkList::signalIconThresholds_data()
{
    QTest::addColumn<int>("signal");
    QTest::addColumn<QString>("icon");
    QTest::newRow("0") << 0 << "wifiZero";
    QTest::newRow("25") << 25 << "wifiZero";
    QTest::newRow("26") << 26 << "wifiOne";
    QTest::newRow("50") << 50 << "wifiOne";
    QTest::newRow("51") << 51 << "wifiTwo";
    QTest::newRow("75") << 75 << "wifiTwo";
    QTest::newRow("76") << 76 << "wifiThree";
    QTest::newRow("100") << 100 << "wifiThree";
    // Out of range: the icon stays as it was.
    QTest::newRow("101") << 101 << "wifiTwo";
    QTest::newRow("-1") << -1 << "wifiTwo";
}

void TestWirelessNetworkList::signalIconThresholds()
{
    QFETCH(int, signal);
    QFETCH(QString, icon);
    QStandardItem* item = rows->appendNetwork(network("A", 60));

    WirelessNetworkList::setWifiIcon(item, signal);

    QVERIFY(shows(item->data(wifiRole), icon));
    QCOMPARE(rows->appendNetwork(network("B", signal))->data(wifiRole).isValid(), signal >= 0 && signal <= 100);
}

void TestWirelessNetworkList::currentNetworkMarksItsRowOnly()
{
    rows->merge({network("A", 50, true), network("B")});
    WirelessNetworkList::markConnecting(rows->item(1));
    NetworkInformation current = network("B");
    current.ipAddress = "127.0.10.23";

    rows->markCurrentNetwork(current);

    QStandardItem* other = rows->item(0);
    QStandardItem* connected = rows->item(1);
    QCOMPARE(connected->data(Qt::TextAlignmentRole).toInt(), int(Qt::AlignTop));
    QVERIFY(shows(connected->data(statusRole), "okay"));
    QVERIFY(shows(connected->data(lockRole), "unlock"));
    QCOMPARE(connected->data(conditionRole).toString(), QString("Connected"));
    QCOMPARE(connected->data(ipAddressRole).toString(), QString("127.0.10.23"));
    QCOMPARE(connected->data(spinnerRole), QVariant(true)); // not the report's business
    QCOMPARE(other->data(Qt::TextAlignmentRole).toInt(), int(Qt::AlignVCenter));
    QVERIFY(shows(other->data(lockRole), "unlock")); // open, so no padlock
    QVERIFY(!other->data(statusRole).isValid());

    // Nothing connected: no row is, an unnamed one neither
    rows->appendNetwork(network(""));
    rows->markCurrentNetwork(NetworkInformation());
    for (int row = 0; row < rows->rowCount(); ++row) {
        QVERIFY(!rows->item(row)->data(conditionRole).isValid());
        QVERIFY(!rows->item(row)->data(ipAddressRole).isValid());
    }
}

void TestWirelessNetworkList::unchangedReportChangesNoData()
{
    rows->merge(networks({"A", "B"}));
    rows->markCurrentNetwork(network("A"));
    QSignalSpy changed(rows->model(), &QAbstractItemModel::dataChanged);

    rows->markCurrentNetwork(network("A"));
    rows->merge(networks({"A", "B"}));

    QCOMPARE(changed.count(), 0);
}

QTEST_MAIN(TestWirelessNetworkList)
#include "tst_WirelessNetworkList.moc"
