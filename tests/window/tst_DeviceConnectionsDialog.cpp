#include "DeviceConnectionItem.h"
#include "DeviceConnectionsDialog.h"
#include "DeviceMapWidget.h"
#include "DeviceNodeItem.h"
#include "TestDeviceManager.h"
#include "TestSupport.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <memory>

namespace {

const QString kSetA = QStringLiteral("setA(double)<valueChanged(double)");
const QString kSetB = QStringLiteral("setB(double)<valueChanged(double)");

} // namespace

// The connections dialog on a map of a generator (valueChanged(double)) and an adder (setA, setB),
// answered through its answer hook, and the changes manageConnections() makes of the choice.
class TestDeviceConnectionsDialog : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    std::unique_ptr<TestDeviceManager> manager;
    std::unique_ptr<DeviceMapWidget> map;
    QString generator;
    QString adder;

    QStringList manage()
    {
        return DeviceConnectionsDialog::manageConnections(manager.get(), manager->getDeviceInfo(generator),
                                                          manager->getDeviceInfo(adder), *map->getUndoStack(),
                                                          map.get());
    }

    std::unique_ptr<DeviceConnectionsDialog> dialogFor(const QString& target)
    {
        return std::make_unique<DeviceConnectionsDialog>(manager.get(), manager->getDeviceInfo(generator),
                                                         manager->getDeviceInfo(target), map.get());
    }

    QStringList connectionCalls() const
    {
        return manager->callLog().filter(QRegularExpression("Connection\\("));
    }

    QStringList incomingSlots() const
    {
        QStringList slotList;
        for (const Connection& connection : manager->getDeviceInfo(adder).incomingConnections)
            slotList.append(connection.slot);
        return slotList;
    }

private Q_SLOTS:
    void init()
    {
        DeviceNodeItem::setUnplacedDevices(QStringList());
        manager = std::make_unique<TestDeviceManager>();
        manager->markInitialised();
        map = std::make_unique<DeviceMapWidget>(manager.get(), dir.filePath("map.ini"));
        generator = manager->createDevice("generator", false);
        adder = manager->createDevice("adder", false);
        map->getDeviceItems().value(generator)->placeDevice(QPointF(0, 0));
        map->getDeviceItems().value(adder)->placeDevice(QPointF(300, 0));
        manager->clearCallLog();
    }

    void cleanup()
    {
        map.reset();
        manager.reset();
    }

    void newLinkBecomesOneCreateOperation()
    {
        // Given two devices without a link
        DeviceConnectionsDialog::AnswerGuard choose({kSetB, kSetA});

        // When both pairs are pressed and accepted
        const QStringList chosen = manage();

        // Then one undoable creation makes both, in the order pressed
        QCOMPARE(chosen, QStringList({kSetB, kSetA}));
        QCOMPARE(choose.requests().first().initial, QStringList());
        QCOMPARE(map->getUndoStack()->count(), 1);
        QCOMPARE(incomingSlots(), QStringList({"setB(double)", "setA(double)"}));
        QVERIFY(map->getConnection(generator, adder));
        map->getUndoStack()->undo();
        QVERIFY(incomingSlots().isEmpty());

        // And the choice of nothing new saves nothing
        manager->setConfigPath(dir.filePath("config.yml"));
        DeviceConnectionsDialog::AnswerGuard keep(QStringList{});
        manage();
        QCOMPARE(manager->savedConfigurations(), 0);
    }

    void releasingEveryPairRemovesTheLinkWithItsBends()
    {
        // Given a bent link of two pairs
        manager->addConnection(generator, adder, "valueChanged(double)", "setA(double)");
        manager->addConnection(generator, adder, "valueChanged(double)", "setB(double)");
        const QList<QPointF> bends = {QPointF(100, 80), QPointF(200, 80)};
        map->getConnection(generator, adder)->setBendingPoints(bends);
        DeviceConnectionsDialog::AnswerGuard release({kSetA, kSetB});

        // When both are released
        const QStringList chosen = manage();

        // Then one undoable removal takes them, and undo brings the pairs and the bends back
        QVERIFY(chosen.isEmpty());
        QCOMPARE(release.requests().first().initial, QStringList({kSetA, kSetB}));
        QCOMPARE(map->getUndoStack()->text(0), QStringLiteral("Remove connection"));
        QVERIFY(!map->getConnection(generator, adder));
        map->getUndoStack()->undo();
        QCOMPARE(incomingSlots(), QStringList({"setA(double)", "setB(double)"}));
        QCOMPARE(map->getConnection(generator, adder)->getBendingPoints(), bends);
    }

    void changesToAShownLinkGoStraightToTheManager_data()
    {
        QTest::addColumn<QStringList>("existing");
        QTest::addColumn<QString>("toggled");
        QTest::addColumn<QString>("call");
        QTest::newRow("one pair added") << QStringList({"setA(double)"}) << kSetB
                                        << "addConnection(%1,%2,valueChanged(double),setB(double))";
        QTest::newRow("one of two released") << QStringList({"setA(double)", "setB(double)"}) << kSetA
                                             << "removeConnection(%1,%2,valueChanged(double),setA(double))";
    }

    void changesToAShownLinkGoStraightToTheManager()
    {
        QFETCH(QStringList, existing);
        QFETCH(QString, toggled);
        QFETCH(QString, call);
        for (const QString& slot : existing)
            manager->addConnection(generator, adder, "valueChanged(double)", slot);
        manager->setConfigPath(dir.filePath("config.yml"));
        manager->clearCallLog();
        DeviceConnectionsDialog::AnswerGuard choose({toggled});

        manage();

        QCOMPARE(connectionCalls(), QStringList({call.arg(generator, adder)}));
        QCOMPARE(map->getUndoStack()->count(), 0);
        // Saved once, as an undo step would be: a host that quits now keeps the change
        QCOMPARE(manager->savedConfigurations(), 1);
        QFile saved(dir.filePath("config.yml"));
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(saved.readAll()), manager->toYamlString());
    }

    void cancelChangesNothing()
    {
        manager->addConnection(generator, adder, "valueChanged(double)", "setA(double)");
        manager->clearCallLog();
        DeviceConnectionsDialog::AnswerGuard cancel([](DeviceConnectionsDialog& dialog) {
            dialog.pressPair(kSetA);
            dialog.pressPair(kSetB);
            return DeviceConnectionsDialog::Answer::Reject;
        });

        QCOMPARE(manage(), QStringList({kSetA}));

        QCOMPARE(cancel.count(), 1);
        QVERIFY(connectionCalls().isEmpty());
        QCOMPARE(map->getUndoStack()->count(), 0);
    }

    void mapDeletedWhileTheDialogRunsChangesNothing()
    {
        DeviceConnectionsDialog::AnswerGuard closeMap([this](DeviceConnectionsDialog& dialog) {
            dialog.pressPair(kSetA);
            map.reset();
            return DeviceConnectionsDialog::Answer::Accept;
        });
        QUndoStack stack;

        const QStringList chosen = DeviceConnectionsDialog::manageConnections(
            manager.get(), manager->getDeviceInfo(generator), manager->getDeviceInfo(adder), stack, map.get());

        QVERIFY(chosen.isEmpty());
        QCOMPARE(stack.count(), 0);
        QVERIFY(connectionCalls().isEmpty());
    }

    void aUserPressesRowsAndOk()
    {
        // Given the real modal dialog, which a user answers by clicking the second row and "Ok"
        bool clicked = false;
        QTimer::singleShot(0, this, [&clicked] {
            auto dialog = qobject_cast<DeviceConnectionsDialog*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            if (QTest::qWaitForWindowExposed(dialog)) {
                QListView* list = dialog->pairListView();
                const QRect row = list->visualRect(list->model()->index(1, 0));
                QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, row.center());
                QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
                clicked = true;
            }
            // Never leave the run hanging when the clicks did not close it.
            if (dialog->isVisible())
                dialog->reject();
        });

        const QStringList chosen = DeviceConnectionsDialog::getConnections(
            manager.get(), manager->getDeviceInfo(generator), manager->getDeviceInfo(adder), map.get());

        // Then the clicked pair is chosen, and getConnections() changed nothing
        QVERIFY(clicked);
        QCOMPARE(chosen, QStringList({kSetB}));
        QVERIFY(connectionCalls().isEmpty());
    }

    void parentOtherThanAMapOnlyReturnsTheChoice()
    {
        QWidget window;
        TestSupport::LogCapture log;
        DeviceConnectionsDialog::AnswerGuard choose({kSetA});

        const QStringList chosen = DeviceConnectionsDialog::manageConnections(
            manager.get(), manager->getDeviceInfo(generator), manager->getDeviceInfo(adder), *map->getUndoStack(),
            &window);

        QCOMPARE(chosen, QStringList({kSetA}));
        QVERIFY(connectionCalls().isEmpty());
        QCOMPARE(map->getUndoStack()->count(), 0);
        QVERIFY(log.containsFragment("parent is not a device map"));
    }

    void disabledDeviceOnlyLists()
    {
        // Given a link into a disabled device that the manager offers nothing for
        const QString disabled = manager->createDevice("disabled", false);
        manager->setOfferedPairs({}, {});
        DeviceInfo source = manager->getDeviceInfo(generator);
        source.outgoingConnections.append({disabled, "valueChanged(double)", "input(double)"});

        DeviceConnectionsDialog dialog(manager.get(), source, manager->getDeviceInfo(disabled), map.get());

        // Then the existing pair is listed, the note is shown, and "Ok" is off
        QVERIFY(dialog.isDeviceDisabled());
        QCOMPARE(dialog.offeredPairs(), QStringList({"input(double)<valueChanged(double)"}));
        QVERIFY(!dialog.okButton()->isEnabled());
        QVERIFY(!dialog.findChild<QLabel*>("disabledNote")->isHidden());

        // And accepting is impossible, as for a user
        DeviceConnectionsDialog::AnswerGuard accept(DeviceConnectionsDialog::Answer::Accept);
        QCOMPARE(dialog.exec(), int(QDialog::Rejected));
    }

    void searchFindsWordsInOrder_data()
    {
        QTest::addColumn<QString>("search");
        QTest::addColumn<QStringList>("visible");
        const QString forward = "set(int)<changed(int)";  // changed(int) > set(int)
        const QString backward = "changed(int)<set(int)"; // set(int) > changed(int)
        QTest::newRow("in order, any case") << "  CHAN   set " << QStringList({forward});
        QTest::newRow("other order") << "set chan" << QStringList({backward});
        QTest::newRow("regular expression characters") << "t) > s" << QStringList({forward});
    }

    void searchFindsWordsInOrder()
    {
        QFETCH(QString, search);
        QFETCH(QStringList, visible);
        manager->setOfferedPairs({"set(int)<changed(int)", "changed(int)<set(int)"}, {});
        auto dialog = dialogFor(adder);

        dialog->searchField()->setText(search);

        QCOMPARE(dialog->visiblePairs(), visible);
    }

    void conversionsAreChosenByBox()
    {
        // Given one pair of equal types, one needing (int, double), listed both ways by the manager
        manager->setTypeConversions({TypePair("int", "double"), TypePair("double", "int"), TypePair("int", "bool")});
        manager->setOfferedPairs({"set(int)<changed(int)"}, {"set(double)<changed(int)"});
        auto dialog = dialogFor(adder);
        QCOMPARE(dialog->conversions(), QList<TypePair>({TypePair("int", "double")}));
        QCheckBox* box = dialog->conversionBox(TypePair("double", "int"));
        QCOMPARE(dialog->visiblePairs(), QStringList({"set(int)<changed(int)"}));

        // When the conversion is allowed, its row shows, with types as the names collide
        box->setChecked(true);
        QCOMPARE(dialog->visiblePairs().size(), 2);
        QCOMPARE(dialog->pairListView()->model()->index(1, 0).data().toString(),
                 QStringLiteral("changed(int) > set(double)"));

        // Then taking it back hides the row again
        box->setChecked(false);
        QCOMPARE(dialog->visiblePairs().size(), 1);
    }

    void repeatedAndMalformedPairsAreLeftOut()
    {
        // Given a manager offering a pair twice (once spelled differently) among broken texts
        manager->setOfferedPairs({"set(int)<changed(int)", "", "set(int)", "a(int)<b(int)<c(int)", "set()<changed()"},
                                 {"set(int<changed(int)", "set(int)<changed(int)", "<", "set(void)<changed(void)"});
        DeviceConnectionsDialog::AnswerGuard choose({"set(int)<changed(int)"});

        // When the one real pair is chosen
        const QStringList chosen = DeviceConnectionsDialog::getConnections(
            manager.get(), manager->getDeviceInfo(generator), manager->getDeviceInfo(adder), map.get());

        // Then each pair has one row, and only well-formed pairs came through
        QCOMPARE(choose.requests().first().offered, QStringList({"set(int)<changed(int)", "set()<changed()"}));
        QCOMPARE(chosen, QStringList({"set(int)<changed(int)"}));
    }

};

QTEST_MAIN(TestDeviceConnectionsDialog)
#include "tst_DeviceConnectionsDialog.moc"
