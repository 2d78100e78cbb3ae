#include "DeviceConnectionItem.h"
#include "ModalRunner.h"
#include "TestSupport.h"
#include "ZenticMessageBox.h"
#include "tst_MapInteraction_Pointer.h"

#include <QSet>

// A manager that refuses the given runtime-variable devices, counted from 1 in creation order.
class RefusingManager : public TestDeviceManager
{
public:
    QSet<int> refused;

protected:
    bool acceptCreation(const QString& type) override
    {
        if (type == QLatin1String("runtime_variable") && refused.contains(++variablesAsked))
            return false;
        return TestDeviceManager::acceptCreation(type);
    }

private:
    int variablesAsked = 0;
};

// The "r" key over a link: a runtime variable put into the link, undone as one step.
class TestRuntimeVariables : public QObject, PointerFixture
{
    Q_OBJECT

    RefusingManager* refusing = nullptr;
    QString source;
    QString target;
    const QPointF bend{300, 320};
    QPoint cursor;

    // The runtime-variable devices of the manager, SET first.
    QStringList variableDevices() const
    {
        QStringList found;
        for (const QString& name : manager->getDeviceNames()) {
            const DeviceInfo info = manager->getDeviceInfo(name);
            if (info.type == QLatin1String("runtime_variable"))
                info.paramValues.value("mode") == "SET" ? found.prepend(name) : found.append(name);
        }
        return found;
    }

    QStringList targetsOf(const QString& name) const
    {
        QStringList targets;
        for (const Connection& connection : manager->getDeviceInfo(name).outgoingConnections)
            targets.append(connection.device);
        return targets;
    }

    // The link is as it was: one link from source to target, bent where it was.
    bool linkUntouched() const
    {
        DeviceConnectionItem* link = map->getConnection(source, target);
        return link && link->getBendingPoints() == QList<QPointF>{bend} && targetsOf(source) == QStringList{target};
    }

    void pressR()
    {
        QCursor::setPos(map->viewport()->mapToGlobal(cursor));
        QTest::keyClick(map.get(), 'r');
    }

private Q_SLOTS:
    void init()
    {
        // Given a generator linked to a scaler through a bend, the cursor on the link
        resetFixture();
        manager = std::make_unique<RefusingManager>();
        refusing = static_cast<RefusingManager*>(manager.get());
        openPointerMap();
        source = create("generator");
        target = create("scaler");
        place(source, QPointF(100, 100));
        place(target, QPointF(500, 100));
        manager->addDeviceConnection(source, target, QString(), QString());
        map->getConnection(source, target)->setBendingPoints({bend});
        map->getConnection(source, target)->update(QRectF());
        paint();
        cursor = at((item(source)->getCenter() + bend) / 2);
    }

    void cleanup() { tearDownFixture(); }

    void putsTheVariableIntoTheLinkAsOneUndoableStep()
    {
        // When R is pressed there and the variable named
        ModalRunner::InputAnswerGuard name(QStringLiteral("speed_2"));
        pressR();

        // Then the source feeds the SET device and the GET device the target, both initialised,
        // placed at the cursor
        QCOMPARE(name.requests().first().title, QStringLiteral("Create runtime variable"));
        const QStringList devices = variableDevices();
        QCOMPARE(devices.size(), 2);
        const QString set = devices.at(0);
        const QString get = devices.at(1);
        QCOMPARE(manager->getDeviceInfo(set).paramValues.value("name"), QStringLiteral("speed_2"));
        QCOMPARE(targetsOf(source), QStringList{set});
        QCOMPARE(targetsOf(get), QStringList{target});
        QVERIFY(!map->getConnection(source, target));
        QVERIFY(manager->getDeviceInfo(set).initialised && manager->getDeviceInfo(get).initialised);
        QVERIFY(item(set)->pos() == map->mapToScene(cursor) && item(get)->pos() == map->mapToScene(cursor));
        QCOMPARE(undoTexts(), QStringList{"Create runtime variable speed_2"});

        // When undone, the link is back with its bend and the devices gone; redone, all is back
        map->getUndoStack()->undo();
        QVERIFY(variableDevices().isEmpty());
        QVERIFY(linkUntouched());
        map->getUndoStack()->redo();
        QCOMPARE(variableDevices(), (QStringList{set, get}));
        QCOMPARE(targetsOf(get), QStringList{target});
    }

    void aRefusedDeviceLeavesNothingBehind_data()
    {
        QTest::addColumn<QList<int>>("refused");
        QTest::newRow("SET refused") << QList<int>{1};
        QTest::newRow("GET refused") << QList<int>{2};
        QTest::newRow("both refused") << QList<int>{1, 2};
    }

    void aRefusedDeviceLeavesNothingBehind()
    {
        QFETCH(QList<int>, refused);
        for (int creation : refused)
            refusing->refused.insert(creation);

        // When the manager refuses one of the variable's devices
        TestSupport::LogCapture log;
        ModalRunner::InputAnswerGuard name(QStringLiteral("speed"));
        ZenticMessageBox::AnswerGuard warning(QMessageBox::Ok);
        pressR();

        // Then the other is gone again, the link is as it was, no step was recorded, and the user
        // is warned
        QVERIFY(variableDevices().isEmpty());
        QVERIFY(linkUntouched());
        QVERIFY(undoTexts().isEmpty());
        QCOMPARE(warning.texts(), QStringList{"Runtime variable not created"});
        QVERIFY(log.containsFragment("did not make the devices of the runtime variable"));
    }

    void refusesNamesOtherThanUnusedWords_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("warning");
        QTest::newRow("a blank") << "my speed" << "Invalid variable name";
        QTest::newRow("used") << "taken" << "Variable name in use";
        QTest::newRow("letters of any script") << QString::fromUtf8("Geschwindigkeit_äö1") << "";
    }

    void refusesNamesOtherThanUnusedWords()
    {
        QFETCH(QString, typed);
        QFETCH(QString, warning);
        QString existing = QStringLiteral("runtime_variable(taken,GET)");
        QVERIFY(manager->shortParse(existing));

        ModalRunner::InputAnswerGuard name(typed);
        ZenticMessageBox::AnswerGuard answer(QMessageBox::Ok);
        pressR();

        QCOMPARE(answer.texts(), warning.isEmpty() ? QStringList() : QStringList{warning});
        QCOMPARE(variableDevices().size(), warning.isEmpty() ? 3 : 1);
        QCOMPARE(linkUntouched(), !warning.isEmpty());
    }

    void theLinkRemovedWhileTheNameIsTypedIsLeftAlone()
    {
        ModalRunner::InputAnswerGuard name([this](const ModalRunner::InputRequest&) -> std::optional<QString> {
            manager->removeDeviceConnection(source, target);
            return QStringLiteral("speed");
        });
        pressR();
        QVERIFY(variableDevices().isEmpty());
        QVERIFY(undoTexts().isEmpty());
    }
};

QTEST_MAIN(TestRuntimeVariables)
#include "tst_RuntimeVariables.moc"
