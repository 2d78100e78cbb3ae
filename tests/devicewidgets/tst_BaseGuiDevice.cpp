#include "BaseGuiDevice.h"
#include "DeviceManager.h"
#include "TestGuiDevices.h"
#include "WidgetManager.h"

#include <QSignalSpy>
#include <QTest>
#include <QThread>

class tst_BaseGuiDevice : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void freshDeviceIsUnplacedInMainArea()
    {
        TestGuiDevice device;
        QCOMPARE(device.getPosition(), WidgetPosition(-1, -1, 1, 1));
        QCOMPARE(device.getArea(), QStringLiteral("main"));
        QCOMPARE(device.getParam("widget/row").raw(), QStringLiteral("-1"));
        QCOMPARE(device.getParam("widget/column").raw(), QStringLiteral("-1"));
        QCOMPARE(device.getParam("widget/rowspan").raw(), QStringLiteral("1"));
        QCOMPARE(device.getParam("widget/colspan").raw(), QStringLiteral("1"));
        QCOMPARE(device.getParam("widget/area").raw(), QStringLiteral("main"));
    }

    void setPositionWritesDecimalTexts_data()
    {
        QTest::addColumn<WidgetPosition>("pos");
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("placed") << WidgetPosition(2, 0, 1, 3) << QStringList{"2", "0", "1", "3"};
        QTest::newRow("unplaced") << WidgetPosition(-1, -1, 1, 1) << QStringList{"-1", "-1", "1", "1"};
        QTest::newRow("large") << WidgetPosition(120, 7, 10, 2) << QStringList{"120", "7", "10", "2"};
    }

    void setPositionWritesDecimalTexts()
    {
        QFETCH(WidgetPosition, pos);
        QFETCH(QStringList, texts);
        TestGuiDevice device;
        device.setPosition(pos);
        const QStringList keys{"widget/row", "widget/column", "widget/rowspan", "widget/colspan"};
        for (int index = 0; index < keys.size(); ++index)
            QCOMPARE(device.getParam(keys.at(index)).raw(), texts.at(index));
        QCOMPARE(device.getPosition(), pos);
    }

    void setAreaStoresAnyName()
    {
        TestGuiDevice device;
        device.setArea("side");
        QCOMPARE(device.getArea(), QStringLiteral("side"));
        device.setArea(QString());
        QCOMPARE(device.getArea(), QString());
    }

    void positionReachesDeviceInAnotherThread()
    {
        // Given a device living in a worker thread
        DeviceManager manager;
        WidgetManager::registerGuiDevices(manager);
        QThread worker;
        worker.start();
        auto device = new TestGuiDevice;
        device->moveToThread(&worker);

        // When the position is invoked by name, as the widget does
        QVERIFY(QMetaObject::invokeMethod(device, "setPosition", Qt::AutoConnection,
                                          Q_ARG(WidgetPosition, WidgetPosition(3, 4, 2, 1))));

        // Then the device's thread stores it
        QTRY_COMPARE(device->getPosition(), WidgetPosition(3, 4, 2, 1));
        QMetaObject::invokeMethod(device, "deleteLater");
        worker.quit();
        QVERIFY(worker.wait(5000));
    }
};

QTEST_MAIN(tst_BaseGuiDevice)
#include "tst_BaseGuiDevice.moc"
