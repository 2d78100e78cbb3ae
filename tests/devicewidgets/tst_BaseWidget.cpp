#include "TestGuiDevices.h"
#include "TestSupport.h"

#include <QGridLayout>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

namespace {

/// Builds its controls in a box layout of its own, never asking for getLayout().
class OwnLayoutWidget : public BaseWidget
{
public:
    using BaseWidget::BaseWidget;
    void initialise() override
    {
        auto box = new QVBoxLayout(this);
        first = new QLabel(QStringLiteral("first"));
        second = new QLabel(QStringLiteral("second"));
        box->addWidget(first);
        auto inner = new QHBoxLayout;
        inner->addWidget(second);
        box->addLayout(inner);
    }
    QPointer<QLabel> first;
    QPointer<QLabel> second;
};

/// Fills getLayout() already in its constructor, and more in initialise().
class EarlyLayoutWidget : public BaseWidget
{
public:
    explicit EarlyLayoutWidget(BaseGuiDevice* device)
        : BaseWidget(device)
    {
        early = new QLabel(QStringLiteral("early"));
        getLayout()->addWidget(early, 0, 0);
    }
    void initialise() override
    {
        late = new QLabel(QStringLiteral("late"));
        getLayout()->addWidget(late, 1, 0);
    }
    QPointer<QLabel> early;
    QPointer<QLabel> late;
};

/// Installs a box layout and then asks for the grid.
class MixedLayoutWidget : public BaseWidget
{
public:
    using BaseWidget::BaseWidget;
    void initialise() override
    {
        auto box = new QVBoxLayout(this);
        box->addWidget(new QLabel(QStringLiteral("title")));
        label = new QLabel(QStringLiteral("cell"));
        getLayout()->addWidget(label, 0, 0);
    }
    QPointer<QLabel> label;
};

} // namespace

class tst_BaseWidget : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void widgetOfUninitialisedDeviceStaysUnplaced()
    {
        TestGuiDevice device;
        device.setPosition(WidgetPosition(1, 1, 1, 1));
        TestGuiWidget widget(&device, &device.counts);
        QCOMPARE(widget.getPosition(), WidgetPosition());
        QCOMPARE(widget.getArea(), QString());
        QVERIFY(!widget.isInitialised());
        QCOMPARE(device.counts.initialised, 0);
    }

    void followsItsDeviceInitialisation()
    {
        // Given a placed device and its widget
        TestGuiDevice device;
        device.setPosition(WidgetPosition(2, 3, 1, 2));
        device.setArea("side");
        TestGuiWidget widget(&device, &device.counts);

        // When the device comes up
        QVERIFY(device.initialise());

        // Then the widget copies place and area and builds its controls
        QVERIFY(widget.isInitialised());
        QCOMPARE(widget.getPosition(), WidgetPosition(2, 3, 1, 2));
        QCOMPARE(widget.getArea(), QStringLiteral("side"));
        QCOMPARE(device.counts.initialised, 1);
        QVERIFY(widget.label);

        device.deinitialise();
        QVERIFY(!widget.isInitialised());
        QCOMPARE(widget.getPosition(), WidgetPosition());
        QCOMPARE(widget.getArea(), QString());
        QCOMPARE(device.counts.deinitialised, 1);
    }

    void repeatedCallsInOneDirectionDoNothing()
    {
        TestGuiDevice device;
        TestGuiWidget widget(&device, &device.counts);
        widget.deviceInitialised(false);
        QCOMPARE(device.counts.deinitialised, 0);
        widget.deviceInitialised(true);
        widget.deviceInitialised(true);
        QCOMPARE(device.counts.initialised, 1);
        widget.deviceInitialised(false);
        widget.deviceInitialised(false);
        QCOMPARE(device.counts.deinitialised, 1);
    }

    void deinitialisingDeletesLayoutAndChildren()
    {
        TestGuiDevice device;
        TestGuiWidget widget(&device, &device.counts);
        widget.deviceInitialised(true);
        QPointer<QLabel> label = widget.label;
        QVERIFY(label);
        QCOMPARE(label->parentWidget(), &widget);

        widget.deviceInitialised(false);
        QVERIFY(!label);
        QVERIFY(!widget.layout());

        QGridLayout* fresh = widget.getLayout();
        QVERIFY(fresh);
        QCOMPARE(widget.layout(), fresh);
        QCOMPARE(fresh->count(), 0);
        QCOMPARE(fresh->spacing(), 0);
        QCOMPARE(fresh->contentsMargins(), QMargins(0, 0, 0, 0));
    }

    void reinitialisingBuildsAgainInAnInstalledLayout()
    {
        TestGuiDevice device;
        TestGuiWidget widget(&device, &device.counts);
        widget.deviceInitialised(true);
        widget.deviceInitialised(false);
        widget.deviceInitialised(true);
        QVERIFY(widget.label);
        QCOMPARE(widget.label->parentWidget(), &widget);
        QCOMPARE(widget.layout(), widget.getLayout());
        QCOMPARE(widget.getLayout()->count(), 1);
    }

    void ownLayoutIsTornDownWithoutCrash()
    {
        TestGuiDevice device;
        OwnLayoutWidget widget(&device);
        widget.deviceInitialised(true);
        QPointer<QLabel> first = widget.first;
        QPointer<QLabel> second = widget.second;
        QVERIFY(first && second);

        widget.deviceInitialised(false);
        QVERIFY(!first);
        QVERIFY(!second);
        QVERIFY(!widget.layout());

        // A second round works the same way
        widget.deviceInitialised(true);
        QVERIFY(widget.first && widget.second);
        widget.deviceInitialised(false);
        QVERIFY(!widget.first && !widget.second);
    }

    void layoutMadeBeforeInitialisationKeepsItsChildren()
    {
        // Given a widget that filled its grid in its constructor
        TestGuiDevice device;
        EarlyLayoutWidget widget(&device);

        // When it is initialised and adds more
        widget.deviceInitialised(true);

        // Then both labels share the one installed grid
        QGridLayout* grid = widget.getLayout();
        QCOMPARE(widget.layout(), grid);
        QVERIFY(widget.early && widget.late);
        QCOMPARE(grid->indexOf(widget.early), 0);
        QVERIFY(grid->indexOf(widget.late) >= 0);
        QCOMPARE(widget.late->parentWidget(), &widget);

        widget.deviceInitialised(false);
        QVERIFY(!widget.early);
        QVERIFY(!widget.late);
    }

    void gridIsNestedIntoAnotherKindOfLayout()
    {
        TestGuiDevice device;
        MixedLayoutWidget widget(&device);
        widget.deviceInitialised(true);
        QVERIFY(qobject_cast<QVBoxLayout*>(widget.layout()));
        QVERIFY(widget.label);
        QVERIFY(widget.isAncestorOf(widget.label));
        QVERIFY(widget.getLayout()->indexOf(widget.label) >= 0);

        widget.deviceInitialised(false);
        QVERIFY(!widget.label);
    }

    void setPositionIsStoredAtOnceAndForwarded()
    {
        TestGuiDevice device;
        TestGuiWidget widget(&device, &device.counts);
        widget.setPosition(WidgetPosition(1, 2, 1, 2));
        QCOMPARE(widget.getPosition(), WidgetPosition(1, 2, 1, 2));
        QCOMPARE(device.getPosition(), WidgetPosition(1, 2, 1, 2));

        widget.setArea("side");
        QCOMPARE(widget.getArea(), QStringLiteral("side"));
        QCOMPARE(device.getArea(), QStringLiteral("side"));
    }

    void deletedDeviceIsNotReached()
    {
        auto device = new TestGuiDevice;
        TestGuiWidget widget(device, nullptr);
        delete device;
        QVERIFY(!widget.getDevice());
        widget.setPosition(WidgetPosition(0, 0, 1, 1));
        QCOMPARE(widget.getPosition(), WidgetPosition(0, 0, 1, 1));
    }

    void widgetWithoutDeviceLogsAndSkipsInitialise()
    {
        TestSupport::LogCapture log;
        HookCounts counts;
        TestGuiWidget widget(nullptr, &counts);
        widget.deviceInitialised(true);
        QVERIFY(log.contains(QStringLiteral("Dev params is null!")));
        QCOMPARE(counts.initialised, 0);
        QCOMPARE(widget.getPosition(), WidgetPosition());
    }

    void objectNameIsTheParameterGroup()
    {
        TestGuiDevice device;
        TestGuiWidget widget(&device, nullptr);
        widget.setObjectName("lamp");
        QCOMPARE(widget.getObjectName(), QStringLiteral("lamp"));
    }
};

QTEST_MAIN(tst_BaseWidget)
#include "tst_BaseWidget.moc"
