#include "ConnectionDrawing.h"
#include "DeviceMapParts.h"
#include "DeviceConnectionsDialog.h"
#include "tst_MapInteraction_Pointer.h"


// Drawing a connection from one device to another with the pointer.
class TestConnectionDrawing : public QObject, PointerFixture
{
    Q_OBJECT

    ConnectionDrawing& drawing() const { return DeviceMapParts(*map).connectionDrawing(); }
    int plainJoins(const QString& from, const QString& to) const
    {
        return manager->callLog().count(QStringLiteral("addDeviceConnection(%1,%2,,)").arg(from, to));
    }
    // A right drag from one device to a point, the line made on the way.
    void rightDrag(const QPoint& from, const QPoint& to)
    {
        press(from, Qt::RightButton);
        moveTo(from + QPoint(30, 40), Qt::RightButton);
        moveTo(to, Qt::RightButton);
        paint();
        release(to, Qt::RightButton);
    }
    QStringList twoDevices()
    {
        const QStringList names{create("generator"), create("scaler")};
        place(names.at(0), QPointF(100, 100));
        place(names.at(1), QPointF(400, 100));
        manager->clearCallLog();
        return names;
    }

private Q_SLOTS:
    void init() { resetFixture(); }
    void cleanup() { tearDownFixture(); }

    void startsWithTheRightButtonOrShiftAlone_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<bool>("starts");
        QTest::newRow("right") << int(Qt::RightButton) << int(Qt::NoModifier) << true;
        QTest::newRow("Shift+left") << int(Qt::LeftButton) << int(Qt::ShiftModifier) << true;
        QTest::newRow("Shift+Control+left") << int(Qt::LeftButton) << int(Qt::ShiftModifier | Qt::ControlModifier)
                                            << false;
    }

    void startsWithTheRightButtonOrShiftAlone()
    {
        QFETCH(int, button);
        QFETCH(int, modifiers);
        QFETCH(bool, starts);
        openPointerMap();
        const QString a = twoDevices().first();

        press(centreOf(a), Qt::MouseButton(button), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(drawing().isDrawing(), starts);
        release(centreOf(a), Qt::MouseButton(button), Qt::KeyboardModifiers(modifiers));

        // A right release before any move ends the drawing and leaves no source; a Shift click
        // waits for the line to be drawn.
        const bool waits = starts && button == Qt::LeftButton;
        QCOMPARE(drawing().isDrawing(), waits);
        QCOMPARE(drawing().source(), waits ? a : QString());
        QVERIFY(!drawing().rubberLine());
    }

    void dropOnADeviceLinksAsTheManagerDecides_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("linkedBefore");
        QTest::addColumn<bool>("onItself");
        QTest::addColumn<int>("joins");
        QTest::addColumn<int>("dialogs");
        QTest::newRow("single match") << 2 << false << false << 1 << 0;
        QTest::newRow("distinct matches") << 3 << false << false << 1 << 0;
        QTest::newRow("single conversion") << 4 << false << false << 1 << 0;
        QTest::newRow("no match") << 0 << false << false << 0 << 0;
        QTest::newRow("choose") << 1 << false << false << 0 << 1;
        QTest::newRow("already linked") << 3 << true << false << 0 << 0;
        QTest::newRow("on itself") << 3 << false << true << 0 << 0;
    }

    void dropOnADeviceLinksAsTheManagerDecides()
    {
        QFETCH(int, code);
        QFETCH(bool, linkedBefore);
        QFETCH(bool, onItself);
        QFETCH(int, joins);
        QFETCH(int, dialogs);
        openPointerMap();
        const QStringList names = twoDevices();
        const QString a = names.at(0);
        const QString b = names.at(1);
        if (linkedBefore) {
            manager->addDeviceConnection(a, b, QString(), QString());
            manager->clearCallLog();
        }
        manager->setForcedMatchCode(code);
        map->setColorisationMode(DeviceMapWidget::ByThread);
        DeviceConnectionsDialog::AnswerGuard dialog(DeviceConnectionsDialog::Answer::Reject);

        // When a right drag goes from a to the target, the line coloured by connectivity meanwhile
        press(centreOf(a), Qt::RightButton);
        moveTo(centreOf(a) + QPoint(30, 40), Qt::RightButton);
        QVERIFY(drawing().rubberLine() && !drawing().endNode()->isVisible());
        QCOMPARE(map->getColorisationMode(), DeviceMapWidget::ByConnectivity);
        const QPoint target = centreOf(onItself ? a : b);
        moveTo(target, Qt::RightButton);
        release(target, Qt::RightButton);

        // Then the link is made plainly, asked for in the dialog or not made; drawing has ended
        QCOMPARE(plainJoins(a, b), joins);
        QCOMPARE(undoTexts().count("Create connection"), joins);
        QCOMPARE(dialog.count(), dialogs);
        if (dialogs)
            QCOMPARE(dialog.requests().first().source + ">" + dialog.requests().first().target, a + ">" + b);
        QVERIFY(!drawing().isDrawing() && drawing().source().isEmpty() && !drawing().rubberLine());
        QCOMPARE(map->getColorisationMode(), DeviceMapWidget::ByThread);
    }

    void releaseOnEmptySpaceEndsWithoutALink()
    {
        openPointerMap();
        const QString a = twoDevices().first();
        manager->setForcedMatchCode(3);
        rightDrag(centreOf(a), QPoint(600, 400));
        QVERIFY(!drawing().isDrawing() && !drawing().rubberLine() && drawing().source().isEmpty());
        QVERIFY(manager->callLog().filter("addDeviceConnection").isEmpty());
        QCOMPARE(map->getColorisationMode(), DeviceMapWidget::ByState);
    }

    void aPressBeforeTheLineExistsCancels()
    {
        // Given a drawing started from the device menu, the pointer not moved since
        openPointerMap();
        const QStringList names = twoDevices();
        manager->setForcedMatchCode(2);
        drawing().start(names.at(0));

        press(centreOf(names.at(1)));
        release(centreOf(names.at(1)));

        QVERIFY(!drawing().isDrawing() && drawing().source().isEmpty());
        QCOMPARE(plainJoins(names.at(0), names.at(1)), 0);
    }

    void theSourceMayGoWhileTheDialogIsOpen()
    {
        openPointerMap();
        const QStringList names = twoDevices();
        manager->setForcedMatchCode(1);
        DeviceConnectionsDialog::AnswerGuard removeSource([&](DeviceConnectionsDialog&) {
            manager->removeDevice(names.at(0));
            return DeviceConnectionsDialog::Answer::Reject;
        });
        rightDrag(centreOf(names.at(0)), centreOf(names.at(1)));
        QCOMPARE(removeSource.count(), 1);
        QVERIFY(!drawing().isDrawing() && !drawing().rubberLine() && drawing().source().isEmpty());
        QCOMPARE(map->getColorisationMode(), DeviceMapWidget::ByState);
        moveTo(QPoint(200, 300));
        paint();
    }
};

QTEST_MAIN(TestConnectionDrawing)
#include "tst_ConnectionDrawing.moc"
