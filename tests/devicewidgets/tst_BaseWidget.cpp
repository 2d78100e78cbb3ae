#include "DeviceManager.h"
#include "TestGuiDevices.h"
#include "TestSupport.h"
#include "WidgetManager.h"

#include <QGridLayout>
#include <QLabel>
#include <QTest>
#include <QThread>
#include <QVBoxLayout>

namespace {

/// Builds its controls in a box layout of its own, with a nested layout, never asking for getLayout().
class OwnLayoutWidget : public BaseWidget
{
public:
    using BaseWidget::BaseWidget;
    void initialise() override
    {
        auto box = new QVBoxLayout(this);
        auto inner = new QHBoxLayout;
        box->addLayout(inner);
        inner->addWidget(label = new QLabel("inner"));
    }
    QPointer<QLabel> label;
};

/// Fills getLayout() already in its constructor, and more in initialise().
class EarlyLayoutWidget : public BaseWidget
{
public:
    explicit EarlyLayoutWidget(BaseGuiDevice* device)
        : BaseWidget(device)
    {
        getLayout()->addWidget(early = new QLabel("early"), 0, 0);
    }
    void initialise() override { getLayout()->addWidget(late = new QLabel("late"), 1, 0); }
    QPointer<QLabel> early;
    QPointer<QLabel> late;
};

} // namespace

/// The GUI device base and the device widget base, which follows it.
class tst_BaseWidget : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        DeviceManager manager;
        WidgetManager::registerGuiDevices(manager);
    }

    void freshDeviceIsUnplacedInMainArea()
    {
        TestGuiDevice device;
        QCOMPARE(device.getPosition(), WidgetPosition(-1, -1, 1, 1));
        QCOMPARE(device.getArea(), QStringLiteral("main"));
    }

    void devicePositionIsStoredAsDecimalTexts()
    {
        TestGuiDevice device;
        device.setPosition(WidgetPosition(12, 0, 1, 3));
        QCOMPARE(device.getParam("widget/row").raw(), QStringLiteral("12"));
        QCOMPARE(device.getParam("widget/column").raw(), QStringLiteral("0"));
        QCOMPARE(device.getParam("widget/rowspan").raw(), QStringLiteral("1"));
        QCOMPARE(device.getParam("widget/colspan").raw(), QStringLiteral("3"));
        QCOMPARE(device.getPosition(), WidgetPosition(12, 0, 1, 3));
    }

    void positionReachesDeviceInAnotherThread()
    {
        QThread worker;
        worker.start();
        auto device = new TestGuiDevice;
        device->moveToThread(&worker);
        TestGuiWidget widget(device, nullptr);

        widget.setPosition(WidgetPosition(3, 4, 2, 1));

        QCOMPARE(widget.getPosition(), WidgetPosition(3, 4, 2, 1));
        QTRY_COMPARE(device->getPosition(), WidgetPosition(3, 4, 2, 1));
        QMetaObject::invokeMethod(device, "deleteLater");
        worker.quit();
        QVERIFY(worker.wait(5000));
    }

    void followsItsDeviceOncePerDirection()
    {
        // Given a placed device whose widget has not seen it come up
        TestGuiDevice device;
        device.setPosition(WidgetPosition(2, 3, 1, 2));
        device.setArea("side");
        TestGuiWidget widget(&device, &device.counts);
        widget.deviceInitialised(false);
        QCOMPARE(widget.getPosition(), WidgetPosition());
        QCOMPARE(device.counts.deinitialised, 0);

        // When the device comes up, twice
        QVERIFY(device.initialise());
        widget.deviceInitialised(true);

        // Then the widget copied place and area and built its controls once
        QCOMPARE(widget.getPosition(), WidgetPosition(2, 3, 1, 2));
        QCOMPARE(widget.getArea(), QStringLiteral("side"));
        QCOMPARE(device.counts.initialised, 1);

        device.deinitialise();
        widget.deviceInitialised(false);
        QCOMPARE(widget.getPosition(), WidgetPosition());
        QCOMPARE(widget.getArea(), QString());
        QCOMPARE(device.counts.deinitialised, 1);
    }

    void deinitialisingDeletesLayoutAndChildren()
    {
        TestGuiDevice device;
        TestGuiWidget widget(&device, &device.counts);
        widget.deviceInitialised(true);
        QPointer<QLabel> label = widget.label;
        QCOMPARE(label->parentWidget(), &widget);

        widget.deviceInitialised(false);
        QVERIFY(!label);
        QVERIFY(!widget.layout());
        QGridLayout* fresh = widget.getLayout();
        QCOMPARE(widget.layout(), fresh);
        QCOMPARE(fresh->count(), 0);
        QCOMPARE(fresh->spacing(), 0);
        QCOMPARE(fresh->contentsMargins(), QMargins(0, 0, 0, 0));

        widget.deviceInitialised(true);
        QCOMPARE(widget.label->parentWidget(), &widget);
        QCOMPARE(fresh->count(), 1);
    }

    void ownLayoutIsTornDownWithoutCrash()
    {
        TestGuiDevice device;
        OwnLayoutWidget widget(&device);
        for (int round = 0; round < 2; ++round) {
            widget.deviceInitialised(true);
            QPointer<QLabel> label = widget.label;
            QVERIFY(label);
            widget.deviceInitialised(false);
            QVERIFY(!label);
            QVERIFY(!widget.layout());
        }
    }

    void layoutMadeBeforeInitialisationKeepsItsChildren()
    {
        TestGuiDevice device;
        EarlyLayoutWidget widget(&device);
        widget.deviceInitialised(true);
        QCOMPARE(widget.layout(), widget.getLayout());
        QCOMPARE(widget.getLayout()->count(), 2);
        QCOMPARE(widget.late->parentWidget(), &widget);
        widget.deviceInitialised(false);
        QVERIFY(!widget.early);
        QVERIFY(!widget.late);
    }

    void gridIsNestedIntoAnotherKindOfLayout()
    {
        TestGuiDevice device;
        TestGuiWidget widget(&device, nullptr);
        new QVBoxLayout(&widget);
        widget.deviceInitialised(true);
        QVERIFY(qobject_cast<QVBoxLayout*>(widget.layout()));
        QVERIFY(widget.isAncestorOf(widget.label));
        widget.deviceInitialised(false);
        QVERIFY(!widget.label);
    }

    void deletedDeviceIsNotReached()
    {
        auto device = new TestGuiDevice;
        TestGuiWidget widget(device, nullptr);
        delete device;
        QVERIFY(!widget.getDevice());
        widget.setPosition(WidgetPosition(0, 0));
        QCOMPARE(widget.getPosition(), WidgetPosition(0, 0));
    }

    void widgetWithoutDeviceLogsAndSkipsInitialise()
    {
        TestSupport::LogCapture log;
        HookCounts counts;
        TestGuiWidget widget(nullptr, &counts);
        widget.deviceInitialised(true);
        QVERIFY(log.contains("Dev params is null!"));
        QCOMPARE(counts.initialised, 0);
    }
};

QTEST_MAIN(tst_BaseWidget)
#include "tst_BaseWidget.moc"
