#include "ConfigOption.h"
#include "DeviceConfigWidget.h"
#include "ProbeDevice.h"
#include "TestDeviceManager.h"
#include "TestSupport.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>

#include <memory>
#include <utility>

namespace {

/// A probe with the parameters the dialog's grouping and editors are checked on.
class ConfiguredProbe : public ProbeDevice
{
public:
    ConfiguredProbe()
    {
        addParam(QStringLiteral("mode"), QStringLiteral("fast"));
        addParam(QStringLiteral("widget/row"), QStringLiteral("2"));
        addParam(QStringLiteral("a/b/c"), QStringLiteral("deep"));
        addParam(QStringLiteral("limit"), QStringLiteral("0x10"));
        describeParam(QStringLiteral("limit"), Param::Integer);
        addParam(QStringLiteral("enabled"), QStringLiteral("true"));
        describeParam(QStringLiteral("enabled"), Param::Boolean);
        addParam(QStringLiteral("speed"), QStringLiteral("high"), {"low", "high"}, true);
    }
};

class DisabledProbe : public ProbeDevice
{
public:
    DisabledProbe()
    {
        addParam(QStringLiteral("widget/row"), QStringLiteral("3"));
        setState(Disabled);
    }
};

} // namespace

class tst_DeviceConfigWidget : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestDeviceManager> manager;
    QString name;

    ProbeDevice* probe() const { return static_cast<ProbeDevice*>(manager->getDevice(name)); }

    static ConfigOption option(DeviceConfigWidget& dialog, const QString& key) { return dialog.getConfigOption(key); }

    /// The group box an option's editor sits in.
    static QString groupOf(DeviceConfigWidget& dialog, const QString& key)
    {
        for (QWidget* parent = option(dialog, key).getEditorWidget(); parent; parent = parent->parentWidget()) {
            if (auto* box = qobject_cast<QGroupBox*>(parent))
                return box->title();
        }
        return QString();
    }

    QStringList callsOf(const QString& prefix) const { return manager->callLog().filter(QRegularExpression("^" + prefix)); }

private Q_SLOTS:
    void init()
    {
        manager = std::make_unique<TestDeviceManager>();
        manager->registerDeviceType("probe", DeviceTypeInfo(), [] { return new ConfiguredProbe; });
        manager->registerDeviceType("disabledProbe", DeviceTypeInfo(), [] { return new DisabledProbe; });
        name = manager->createDevice("probe", true);
        manager->clearCallLog();
    }

    void cleanup()
    {
        manager.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void parametersAreGroupedByPrefix()
    {
        DeviceConfigWidget dialog(*manager, name);
        QCOMPARE(dialog.getTabWidget()->tabText(1), QStringLiteral("A"));
        QStringList labels;
        for (const char* key : {"mode", "widget/row", "a/b/c"})
            labels << groupOf(dialog, key) + ": " + option(dialog, key).getLabelWidget()->text();
        QCOMPARE(labels, QStringList({"Parameters: Mode", "Widget: Row", "A: B"}));
        QVERIFY(qobject_cast<QCheckBox*>(option(dialog, "enabled").getEditorWidget()));
        // An integer starts from its number, not its text
        QCOMPARE(option(dialog, "limit").getEditorWidget()->findChild<QSpinBox*>()->value(), 16);
        QCOMPARE(option(dialog, "speed").getInputType(), ConfigOption::Choice);
    }

    void stateButtonShowsTheDevicesState_data()
    {
        QTest::addColumn<QString>("errorParam"); // also shows the status label
        QTest::addColumn<bool>("initialise");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QColor>("background");
        QTest::newRow("initialised") << "" << true << "Initialised" << QColor(Qt::darkGreen);
        QTest::newRow("with error") << "error" << true << "Initialised with error" << QColor(Qt::yellow).darker(130);
        QTest::newRow("deinitialised") << "" << false << "Deinitialised" << QColor(Qt::darkGray);
        QTest::newRow("failed") << "fail" << true << "Initialisation failed" << QColor(Qt::darkRed);
    }

    void stateButtonShowsTheDevicesState()
    {
        QFETCH(QString, errorParam);
        QFETCH(bool, initialise);
        QFETCH(QString, text);
        QFETCH(QColor, background);
        const bool statusShown = !errorParam.isEmpty();
        manager->registerDeviceType("stateProbe", DeviceTypeInfo(), [errorParam] {
            auto* device = new ProbeDevice;
            if (!errorParam.isEmpty())
                device->addParam(errorParam, QStringLiteral("it <b>broke</b>"));
            return device;
        });
        const QString device = manager->createDevice("stateProbe", initialise);
        DeviceConfigWidget dialog(*manager, device);
        QCOMPARE(dialog.getInitButton()->text(), text);
        QVERIFY(dialog.getInitButton()->styleSheet().startsWith("background-color : " + background.name()));
        QCOMPARE(!dialog.getStatusLabel()->isHidden(), statusShown);
        QCOMPARE(dialog.getStatusLabel()->text() == "it <b>broke</b>" && dialog.getStatusLabel()->textFormat() == Qt::PlainText,
                 statusShown);
    }

    void disabledDeviceIsShownReadOnly()
    {
        const QString device = manager->createDevice("disabledProbe", false);
        DeviceConfigWidget dialog(*manager, device);
        QCOMPARE(dialog.getInitButton()->text(), QStringLiteral("Disabled"));
        QVERIFY(dialog.getStatusLabel()->text().startsWith(QLatin1String("The device is disabled")));
        QVERIFY(!dialog.getSaveButton()->isEnabled() && !dialog.getInitButton()->isEnabled());
        const ConfigOption row = option(dialog, "widget/row");
        QCOMPARE(row.getEditorWidget()->findChild<QLineEdit*>()->text(), QStringLiteral("3"));
        QVERIFY(!row.getEditorWidget()->isEnabled() && !row.getLabelWidget()->isEnabled());
    }

    void unknownDeviceGivesAReadOnlyDialog()
    {
        TestSupport::LogCapture log;
        DeviceConfigWidget dialog(*manager, QStringLiteral("nobody"));
        QVERIFY(log.contains(QStringLiteral("DeviceConfigWidget: no device named nobody")));
        QVERIFY(!dialog.getSaveButton()->isEnabled() && dialog.getCloseButton()->isEnabled());
        dialog.save();
        QVERIFY(callsOf("setDeviceParam").isEmpty());
    }

    void saveWritesTheParametersAndReinitialisesUnlessStopped_data()
    {
        QTest::addColumn<bool>("running");
        QTest::newRow("initialised") << true;
        QTest::newRow("deinitialised") << false;
    }

    void saveWritesTheParametersAndReinitialisesUnlessStopped()
    {
        QFETCH(bool, running);
        // Given a dialog on a device whose manager answers later, and one value typed
        if (!running)
            manager->deinitialiseDevice(name);
        DeviceConfigWidget dialog(*manager, name);
        manager->clearCallLog();
        manager->setNotificationMode(TestDeviceManager::Deferred, 20);
        QSignalSpy saved(&dialog, SIGNAL(saved()));
        auto* edit = option(dialog, "mode").getEditorWidget()->findChild<QLineEdit*>();
        edit->selectAll();
        QTest::keyClicks(edit, "careful");
        // When it is saved
        QTest::mouseClick(dialog.getSaveButton(), Qt::LeftButton);
        // Then every parameter went to the device, the edited one changed, the others as they were
        QStringList values;
        for (const char* key : {"mode", "limit", "enabled", "widget/row", "speed"})
            values << probe()->getParam(key).raw();
        QCOMPARE(values, QStringList({"careful", "0x10", "true", "2", "high"}));
        QCOMPARE(callsOf("setDeviceParam").size(), 6);
        QCOMPARE(callsOf("deinitialiseDevice") + callsOf("initialiseDevice"),
                 running ? QStringList({"deinitialiseDevice(" + name + ")", "initialiseDevice(" + name + ")"}) : QStringList());
        QCOMPARE(manager->callLog().last(), QStringLiteral("saveYamlConfig()"));
        // And the buttons wait for the manager's report, when one is to come
        QCOMPARE(dialog.getSaveButton()->isEnabled(), !running);
        QTRY_VERIFY(dialog.getSaveButton()->isEnabled() && dialog.getCloseButton()->isEnabled());
        QCOMPARE(probe()->isInitialised(), running);
        QCOMPARE(saved.count(), 1);
    }

    void saveLeavesParametersItDidNotShow()
    {
        // Given a dialog, then a parameter the device gained and an option whose value the store lost
        DeviceConfigWidget dialog(*manager, name);
        probe()->addParam(QStringLiteral("late"), QStringLiteral("kept"));
        dialog.getParameterConfig()->removeParam(QStringLiteral("mode"), QStringLiteral("global"));
        // When it is saved
        dialog.save();
        // Then neither is written, and neither is blanked
        QCOMPARE(probe()->getParam("late").raw(), QStringLiteral("kept"));
        QCOMPARE(probe()->getParam("mode").raw(), QStringLiteral("fast"));
    }

    void saveEndsWholeWhenTheDialogGoesInAHostLoop_data()
    {
        QTest::addColumn<bool>("windowCloses");
        QTest::newRow("the dialog closed") << false;
        QTest::newRow("its window closed") << true;
    }

    void saveEndsWholeWhenTheDialogGoesInAHostLoop()
    {
        // Given a dialog over a window, deleted when it finishes as the map has it, one value typed,
        // and a host whose slot on the manager's reports runs a nested loop in which the user closes
        // the dialog or its window
        QFETCH(bool, windowCloses);
        QPointer<QWidget> window = new QWidget;
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->show();
        QPointer<DeviceConfigWidget> dialog = new DeviceConfigWidget(*manager, name, window);
        connect(dialog, SIGNAL(finished(int)), dialog, SLOT(deleteLater()));
        dialog->show();
        option(*dialog, "mode").getEditorWidget()->findChild<QLineEdit*>()->setText(QStringLiteral("careful"));
        bool armed = true;
        connect(manager.get(), &DeviceManager::deviceInitialised, this, [&] {
            if (!std::exchange(armed, false))
                return;
            QEventLoop loop;
            QMetaObject::invokeMethod(
                &loop,
                [&] {
                    windowCloses ? window->close() : dialog->close();
                    QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
                },
                Qt::QueuedConnection);
            loop.exec();
        });

        // When it is saved
        dialog->save();

        // Then the dialog went in the loop, and the manager still got every call of the save
        QVERIFY(!armed && !dialog);
        QCOMPARE(probe()->getParam("mode").raw(), QStringLiteral("careful"));
        QCOMPARE(callsOf("deinitialiseDevice") + callsOf("initialiseDevice"),
                 QStringList({"deinitialiseDevice(" + name + ")", "initialiseDevice(" + name + ")"}));
        QCOMPARE(manager->callLog().last(), QStringLiteral("saveYamlConfig()"));
        QVERIFY(probe()->isInitialised());
        delete window.data();
    }
};

QTEST_MAIN(tst_DeviceConfigWidget)
#include "tst_DeviceConfigWidget.moc"
