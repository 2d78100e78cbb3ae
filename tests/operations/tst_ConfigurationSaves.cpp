#include "ClusterRectItem.h"
#include "CreateBendingPointOperation.h"
#include "CreateClusterOperation.h"
#include "CreateConnectionOperation.h"
#include "CreateDeviceOperation.h"
#include "DeviceConnectionItem.h"
#include "InsertRuntimeVariableOperation.h"
#include "MapOperationFixture.h"
#include "MoveItemsOperation.h"
#include "PasteDevicesOperation.h"
#include "RemoveConnectionOperation.h"
#include "RemoveDevicesOperation.h"
#include "RenameDeviceOperation.h"
#include "ZenticMessageBox.h"

#include <QFile>
#include <QGraphicsScene>

// The host's configuration file after every step of every operation: an operation that changes
// the manager's graph saves it once per do, undo and redo, so that a host quitting after any of
// them finds the graph it left; one that changes only the map saves nothing.
class TestConfigurationSaves : public QObject, protected MapOperationFixture
{
    Q_OBJECT

    QString configPath() const { return dir.filePath(QStringLiteral("config.yml")); }

    QString savedConfiguration() const
    {
        QFile file(configPath());
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

    // A -> B plainly, C apart, all placed; the configuration saved as the host would.
    void buildGraph()
    {
        const QStringList names{"A", "B", "C"};
        const QStringList types{"generator", "scaler", "scaler"};
        for (int i = 0; i < names.size(); ++i) {
            manager->renameDevice(manager->createDevice(types.at(i), false), names.at(i));
            item(names.at(i))->placeDevice(QPointF(120 * i, 60));
        }
        manager->addConnection("A", "B", "valueChanged(double)", "input(double)");
        manager->setConfigPath(configPath());
        QVERIFY(manager->saveYamlConfig());
    }

    QUndoCommand* operationFor(const QString& kind)
    {
        if (kind == "create device")
            return new CreateDeviceOperation(map.get(), "adder", QPointF(300, 200));
        if (kind == "remove devices")
            return new RemoveDevicesOperation(map.get(), {item("A"), item("B")});
        if (kind == "paste devices") {
            DeviceInfo first;
            first.name = "P";
            first.type = "scaler";
            first.paramValues.insert("factor", "3");
            DeviceInfo second = first;
            second.name = "Q";
            second.connectionStrings.append("this.input(double)<P.output(double)");
            return new PasteDevicesOperation(map.get(), {first, second}, DevicesArrangement(), QPointF(400, 300));
        }
        if (kind == "rename device")
            return new RenameDeviceOperation(map.get(), "C", "renamed");
        if (kind == "create plain connection")
            return new CreateConnectionOperation(map.get(), "C", "B", {}, {});
        if (kind == "create connection of pairs")
            return new CreateConnectionOperation(map.get(), "C", "A", {"valueChanged(double)"}, {"input(double)"});
        if (kind == "remove connection")
            return new RemoveConnectionOperation(map.get(), "B", "A", {"valueChanged(double)"}, {"input(double)"},
                                                 {QPointF(50, 20)});
        if (kind == "insert runtime variable") {
            QString setDevice;
            QString getDevice;
            if (!InsertRuntimeVariableOperation::createDevices(manager.get(), "speed", &setDevice, &getDevice))
                return nullptr;
            InsertRuntimeVariableOperation::Link link{"A", "B", {"valueChanged(double)"}, {"input(double)"}, {}};
            return new InsertRuntimeVariableOperation(map.get(), "speed", setDevice, getDevice, link, QPointF(60, 200));
        }
        if (kind == "create bending point")
            return new CreateBendingPointOperation(map.get(), "B", "A", QPointF(60, 10));
        if (kind == "move items")
            return new MoveItemsOperation(map.get(), {{"C", QPointF(240, 60)}}, {{"C", QPointF(240, 160)}},
                                          MoveItemsOperation::MovedType(0));
        if (kind == "create cluster")
            return new CreateClusterOperation(map.get(), "group", QRectF(0, 0, 300, 200));
        return nullptr;
    }

private Q_SLOTS:
    void init() { openMap(); }
    void cleanup() { closeMap(); }

    void everyStepLeavesTheSavedConfigurationMatchingTheGraph_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("savesPerStep");
        QTest::addColumn<bool>("readonly");
        for (const char* kind : {"create device", "remove devices", "paste devices", "rename device",
                                 "create plain connection", "create connection of pairs", "remove connection",
                                 "insert runtime variable"})
            QTest::newRow(kind) << kind << 1 << false;
        for (const char* kind : {"create bending point", "move items", "create cluster"})
            QTest::addRow("%s (map only)", kind) << kind << 0 << false;
        // A host that keeps its manager read-only gets nothing written, and keeps it read-only.
        QTest::newRow("remove devices, read-only manager") << "remove devices" << 0 << true;
    }

    void everyStepLeavesTheSavedConfigurationMatchingTheGraph()
    {
        // Given the graph, saved
        QFETCH(QString, kind);
        QFETCH(int, savesPerStep);
        QFETCH(bool, readonly);
        ZenticMessageBox::AnswerGuard noBoxExpected(QMessageBox::Ok);
        buildGraph();
        const QString original = savedConfiguration();
        manager->setReadonly(readonly);
        QStringList namesBefore = manager->getDeviceNames();
        namesBefore.sort();
        QUndoCommand* operation = operationFor(kind);
        QVERIFY(operation);

        // When the operation is done, undone and redone
        for (const QString step : {"do", "undo", "redo"}) {
            const int savesBefore = manager->savedConfigurations();
            if (step == "do")
                QVERIFY(map->pushOperation(operation));
            else if (step == "undo")
                stack()->undo();
            else
                stack()->redo();

            // Then each step saved the graph as it stands, once (or, changing only the map, not at all)
            QVERIFY2(manager->savedConfigurations() - savesBefore == savesPerStep, qPrintable(step));
            QVERIFY2(savedConfiguration() == (readonly ? original : manager->toYamlString()), qPrintable(step));
            if (step == "undo") {
                QStringList names = manager->getDeviceNames();
                names.sort();
                QCOMPARE(names, namesBefore);
            }
        }
        QCOMPARE(manager->getReadonly(), readonly);
    }
};

QTEST_MAIN(TestConfigurationSaves)
#include "tst_ConfigurationSaves.moc"
