#include "DeviceManager.h"
#include "TestGuiDevices.h"
#include "TestSupport.h"
#include "WidgetManager.h"

#include <QTest>
#include <QVBoxLayout>

namespace {

enum LayoutKind { GridOnDemand, OwnLayout, GridBeforeInitialisation, GridInBoxLayout };

/// Builds one label in initialise() on the layout kind a concrete widget may choose.
class LayoutWidget : public BaseWidget
{
public:
    LayoutWidget(BaseGuiDevice* device, LayoutKind kind)
        : BaseWidget(device)
        , kind(kind)
    {
        if (kind == GridBeforeInitialisation)
            getLayout()->addWidget(new QLabel("early"), 0, 0);
        else if (kind == GridInBoxLayout)
            new QVBoxLayout(this);
    }

    void initialise() override
    {
        if (kind == OwnLayout) {
            auto inner = new QHBoxLayout;
            (new QVBoxLayout(this))->addLayout(inner);
            inner->addWidget(new QLabel("inner"));
        } else {
            getLayout()->addWidget(new QLabel("late"), 1, 0);
        }
    }

    const LayoutKind kind;
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

    void followsItsDeviceOncePerDirection()
    {
        // Given a placed device whose widget has not seen it come up
        TestGuiDevice device;
        device.setPosition(WidgetPosition(2, 3, 1, 2));
        device.setArea("side");
        TestGuiWidget widget(&device, &device.counts);

        // When the device comes up, and the widget is told twice
        QVERIFY(device.initialise());
        widget.deviceInitialised(true);
        widget.deviceInitialised(true);

        // Then the widget copied place and area and built its controls once
        QCOMPARE(widget.getPosition(), WidgetPosition(2, 3, 1, 2));
        QCOMPARE(widget.getArea(), QStringLiteral("side"));
        QCOMPARE(device.counts.initialised, 1);

        device.deinitialise();
        widget.deviceInitialised(false);
        QCOMPARE(device.counts.deinitialised, 1);
    }

    void concreteLayoutsAreTornDownWhole_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QList<int>>("labelsPerRound");
        QTest::newRow("grid on demand") << int(GridOnDemand) << QList<int>{1, 1};
        QTest::newRow("own layout") << int(OwnLayout) << QList<int>{1, 1};
        QTest::newRow("grid made before initialisation") << int(GridBeforeInitialisation) << QList<int>{2, 1};
        QTest::newRow("grid in a box layout") << int(GridInBoxLayout) << QList<int>{1, 1};
    }

    void concreteLayoutsAreTornDownWhole()
    {
        QFETCH(int, kind);
        QFETCH(QList<int>, labelsPerRound);
        TestGuiDevice device;
        LayoutWidget widget(&device, LayoutKind(kind));
        for (int round = 0; round < 2; ++round) {
            // Every control built lands in the widget, none in a layout left uninstalled...
            widget.deviceInitialised(true);
            QList<QPointer<QLabel>> labels;
            for (QLabel* label : widget.findChildren<QLabel*>())
                labels.append(label);
            QCOMPARE(labels.size(), labelsPerRound.at(round));

            // ...and goes with it
            widget.deviceInitialised(false);
            QVERIFY(!widget.layout());
            for (const QPointer<QLabel>& label : labels)
                QVERIFY(!label);
        }
    }

    void missingDeviceIsNeverReached()
    {
        TestSupport::LogCapture log;
        HookCounts counts;
        TestGuiWidget orphan(nullptr, &counts);
        orphan.deviceInitialised(true);
        QVERIFY(log.contains("Dev params is null!"));
        QCOMPARE(counts.initialised, 0);

        auto device = new TestGuiDevice;
        TestGuiWidget widget(device, nullptr);
        delete device;
        QVERIFY(!widget.getDevice());
        widget.setPosition(WidgetPosition(0, 0)); // reaches no device
    }
};

QTEST_MAIN(tst_BaseWidget)
#include "tst_BaseWidget.moc"
