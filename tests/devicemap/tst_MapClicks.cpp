#include "ClusterRectItem.h"
#include "DeviceMapParts.h"
#include "ConnectionDrawing.h"
#include "DeviceConfigWidget.h"
#include "DeviceConnectionItem.h"
#include "DeviceConnectionsDialog.h"
#include "LibraryTranslator.h"
#include "MapMenus.h"
#include "ModalRunner.h"
#include "ZenticMessageBox.h"
#include "tst_MapInteraction_Pointer.h"

#include <QAbstractButton>
#include <QGraphicsScene>
#include <QTranslator>

#include <algorithm>

namespace {

// Writes the plural form's count before every text the map translates with one.
class PluralFormTranslator : public QTranslator
{
public:
    bool isEmpty() const override { return false; }
    QString translate(const char* context, const char* source, const char*, int n) const override
    {
        if (n < 0 || qstrcmp(context, "DeviceMapWidget") != 0)
            return QString();
        return QStringLiteral("(%1) ").arg(n) + QString::fromUtf8(source);
    }
};

} // namespace

// What a click on the map does: dialogs, menus and the operations their entries push.
class TestMapClicks : public QObject, PointerFixture
{
    Q_OBJECT

    const QPointF bend{300, 320};

    int dialogs() const { return map->findChildren<DeviceConfigWidget*>().size(); }
    void click(const QPoint& pos, Qt::MouseButton button, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        press(pos, button, mods);
        release(pos, button, mods);
    }
    // Scalers in a row on a shown map whose clicks are dispatched.
    QStringList row(int count)
    {
        openPointerMap()->dispatch = true;
        QStringList names;
        for (int i = 0; i < count; ++i) {
            names.append(create("scaler"));
            place(names.last(), QPointF(100 + 200 * i, 100));
        }
        paint();
        return names;
    }
    // a linked to b through the bend; returns the middle of the link's first stretch.
    QPointF bentLink(const QString& a, const QString& b)
    {
        manager->addDeviceConnection(a, b, QString(), QString());
        map->getConnection(a, b)->setBendingPoints({bend});
        map->getConnection(a, b)->update(QRectF());
        paint();
        return (item(a)->getCenter() + bend) / 2;
    }
    // The undo steps but the (empty) move the release of every press on a device records.
    QStringList edits() const { return undoTexts().filter(QRegularExpression("^(?!Move )")); }
    QList<QStringList> texts(QMenu& menu) const { return {ModalRunner::actionTexts(&menu)}; }
    static ZenticMessageBox::AnswerGuard::Choice choice(bool accept)
    {
        return accept ? ZenticMessageBox::AnswerGuard::AcceptRole : ZenticMessageBox::AnswerGuard::RejectRole;
    }

private Q_SLOTS:
    void init() { resetFixture(); }
    void cleanup() { tearDownFixture(); }

    void rightClickOutsideTheSelectionSelectsTheDeviceAlone()
    {
        const QStringList names = row(3);
        item(names.at(1))->setSelected(true);
        item(names.at(2))->setSelected(true);
        ModalRunner::MenuAnswerGuard dismiss(ModalRunner::Cancel);
        click(centreOf(names.at(0)), Qt::RightButton);
        QCOMPARE(map->scene()->selectedItems(), QList<QGraphicsItem*>{item(names.at(0))});
        QCOMPARE(dismiss.menus(), texts(DeviceMapParts(*map).menus().deviceMenu()));
    }

    void deleteFromTheSelectionMenuAsksAndSavesEitherWay_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("accept");
        QTest::addColumn<bool>("readonly");
        QTest::newRow("three, accepted, read-only manager") << 3 << true << true;
        QTest::newRow("four, refused") << 4 << false << false;
    }

    void deleteFromTheSelectionMenuAsksAndSavesEitherWay()
    {
        QFETCH(int, count);
        QFETCH(bool, accept);
        QFETCH(bool, readonly);
        // Given count selected devices and a manager that saves to a file
        const QStringList names = row(count);
        manager->setConfigPath(dir.filePath(QStringLiteral("graph.yaml")));
        manager->setReadonly(readonly);
        for (const QString& name : names)
            item(name)->setSelected(true);

        // When one of them is right-clicked, Delete chosen and the question answered
        ModalRunner::MenuAnswerGuard choose(QStringLiteral("Delete"));
        ZenticMessageBox::AnswerGuard answer(choice(accept));
        click(centreOf(names.at(1)), Qt::RightButton);

        // Then the selection menu asked about the devices by name up to three, else by count
        QCOMPARE(choose.menus(), texts(DeviceMapParts(*map).menus().selectionMenu()));
        QCOMPARE(answer.texts().first(), count < 4 ? "Are you sure you want to delete " + names.join(", ") + "?"
                                                   : QString("Are you sure you want to delete %1 devices?").arg(count));
        QCOMPARE(map->getDeviceItems().size(), accept ? 0 : count);
        QCOMPARE(edits(), accept ? QStringList{"Remove devices "} : QStringList());
        // And either way the manager has its flag back and saved its configuration last
        QCOMPARE(manager->getReadonly(), readonly);
        QCOMPARE(manager->callLog().last(), QStringLiteral("saveYamlConfig()"));
    }

    void deleteQuestionTakesTheFormOfItsCount_data()
    {
        // %names: the devices in the graph's order, %quoted: the same in double quotes.
        QTest::addColumn<bool>("byKey");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("question");
        QTest::addColumn<QString>("consequence");
        const QString menuConsequence = "Selected devices will be deleted immediately.";
        QTest::newRow("one device") << false << 1 << "" << "Are you sure you want to delete %names?" << menuConsequence;
        QTest::newRow("two devices") << false << 2 << "" << "Are you sure you want to delete %names?" << menuConsequence;
        QTest::newRow("one device, translated")
            << false << 1 << "plural" << "(1) Are you sure you want to delete %names?" << menuConsequence;
        QTest::newRow("three devices, translated")
            << false << 3 << "plural" << "(3) Are you sure you want to delete %names?" << menuConsequence;
        QTest::newRow("four devices, translated")
            << false << 4 << "plural" << "(4) Are you sure you want to delete 4 devices?" << menuConsequence;

        // The Delete key's line says nothing of the count: no plural form, one text for one and one for several.
        const QString one = "The selected device will be deleted immediately. It can be restored later using the Undo action.";
        const QString several = "The selected devices will be deleted immediately. They can be restored later using the "
                                "Undo action.";
        QTest::newRow("key, one device") << true << 1 << "" << "Are you sure you want to remove %quoted?" << one;
        QTest::newRow("key, five devices, translated")
            << true << 5 << "plural" << "(5) Are you sure you want to remove 5 devices?" << several;
        const QString oneRu = "Выбранное устройство будет удалено немедленно. Его можно восстановить позже с помощью "
                              "отмены действия.";
        const QString severalRu = "Выбранные устройства будут удалены немедленно. Их можно восстановить позже с "
                                  "помощью отмены действия.";
        QTest::newRow("key, one device, Russian")
            << true << 1 << "ru" << "Вы действительно хотите удалить %quoted?" << oneRu;
        QTest::newRow("key, two devices, Russian")
            << true << 2 << "ru" << "Вы действительно хотите удалить %quoted?" << severalRu;
        QTest::newRow("key, five devices, Russian")
            << true << 5 << "ru" << "Вы действительно хотите удалить 5 устройств?" << severalRu;
        QTest::newRow("key, 21 devices, Russian")
            << true << 21 << "ru" << "Вы действительно хотите удалить 21 устройство?" << severalRu;
        QTest::newRow("key, 31 devices, Russian")
            << true << 31 << "ru" << "Вы действительно хотите удалить 31 устройство?" << severalRu;
    }

    void deleteQuestionTakesTheFormOfItsCount()
    {
        // Given count selected devices, in a language whose plural forms follow the count
        QFETCH(bool, byKey);
        QFETCH(int, count);
        QFETCH(QString, language);
        QFETCH(QString, question);
        QFETCH(QString, consequence);
        QStringList names = row(count);
        // The first device named last in the alphabet: the question keeps the graph's order.
        if (count > 1) {
            QVERIFY(manager->renameDevice(names.first(), QStringLiteral("zscaler")));
            names.first() = QStringLiteral("zscaler");
        }
        for (const QString& name : names)
            item(name)->setSelected(true);
        QStringList quoted;
        for (const QString& name : manager->getDeviceNames())
            quoted.append('"' + name + '"');
        PluralFormTranslator plural;
        if (language == "plural")
            QVERIFY(QCoreApplication::installTranslator(&plural));
        if (language == "ru")
            QVERIFY(LibraryTranslator::install(QLocale(QLocale::Russian, QLocale::Russia)));

        // When Delete is chosen from the device's menu, or the Delete key pressed
        ModalRunner::MenuAnswerGuard choose(QStringLiteral("Delete"));
        ZenticMessageBox::AnswerGuard answer(choice(false));
        if (byKey)
            QTest::keyClick(map.get(), Qt::Key_Delete);
        else
            click(centreOf(names.first()), Qt::RightButton);
        QCoreApplication::removeTranslator(&plural);
        LibraryTranslator::remove();

        // Then the question is asked in the form of that count, and its consequence in the form of one or several
        QCOMPARE(answer.texts().value(0),
                 QString(question).replace("%names", names.join(", ")).replace("%quoted", quoted.join(", ")));
        QCOMPARE(answer.informativeTexts().value(0), consequence);
    }

    void leftClickOpensTheSettingsOnceWithoutModifiers_data()
    {
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<bool>("doubleClick");
        QTest::addColumn<int>("opened");
        QTest::newRow("click") << int(Qt::NoModifier) << false << 1;
        QTest::newRow("double click") << int(Qt::NoModifier) << true << 1;
        QTest::newRow("Control") << int(Qt::ControlModifier) << false << 0;
    }

    void leftClickOpensTheSettingsOnceWithoutModifiers()
    {
        QFETCH(int, modifiers);
        QFETCH(bool, doubleClick);
        QFETCH(int, opened);
        const QString a = row(1).first();
        click(centreOf(a), Qt::LeftButton, Qt::KeyboardModifiers(modifiers));
        if (doubleClick) {
            send(QEvent::MouseButtonDblClick, centreOf(a), Qt::LeftButton, Qt::LeftButton);
            release(centreOf(a));
        }
        QCOMPARE(dialogs(), opened);
        if (opened)
            QCOMPARE(map->findChild<DeviceConfigWidget*>()->getDeviceInfo().name, a);
    }

    void controlClickAddsABendingPointUnlessOnOne()
    {
        const QStringList names = row(2);
        const QPoint onSegment = at(bentLink(names.at(0), names.at(1)));
        click(at(bend), Qt::LeftButton, Qt::ControlModifier);
        QVERIFY(edits().isEmpty());
        click(onSegment, Qt::LeftButton, Qt::ControlModifier);
        QCOMPARE(edits(), QStringList{"Create bending point"});
        QVERIFY(map->getConnection(names.at(0), names.at(1))->getBendingPoints().contains(map->mapToScene(onSegment)));
    }

    void overlappingOppositeLinksOfferTheChooser()
    {
        // Given A linked to B and B to A along the same line
        const QStringList names = row(2);
        const QPoint onSegment = at(bentLink(names.at(0), names.at(1)));
        bentLink(names.at(1), names.at(0));
        const QString forth = names.at(0) + " > " + names.at(1);
        const QString back = names.at(1) + " > " + names.at(0);

        // When the line is clicked and "B > A" chosen, the dialog opens for B to A only
        ModalRunner::MenuAnswerGuard choose(back);
        DeviceConnectionsDialog::AnswerGuard dialog(DeviceConnectionsDialog::Answer::Reject);
        click(onSegment, Qt::LeftButton);
        QStringList offered = choose.menus().value(0);
        offered.sort();
        QCOMPARE(offered, (QStringList{forth, back}));
        QCOMPARE(dialog.count(), 1);
        QCOMPARE(dialog.requests().first().source, names.at(1));
    }

    // The entry makes the type it shows, wherever a host's type name puts it in the menu.
    void longPressOnEmptySpaceCreatesATypeAtThePress_data()
    {
        QTest::addColumn<QString>("hostType");
        QTest::addColumn<QString>("networkManager");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("made");
        QTest::newRow("a framework type") << "" << "" << "New device/General/Generator" << "generator";
        QTest::newRow("a host type ending in a framework type's name")
            << "maths/logger" << "" << "New device/General/Maths/Logger" << "maths/logger";
        QTest::newRow("a host type whose first part a networked manager bears")
            << "late/scaler" << "late" << "New device/General/Late/Scaler" << "late/scaler";
    }

    void longPressOnEmptySpaceCreatesATypeAtThePress()
    {
        QFETCH(QString, hostType);
        QFETCH(QString, networkManager);
        QFETCH(QString, entry);
        QFETCH(QString, made);
        if (!hostType.isEmpty())
            manager->registerDeviceType(hostType, DeviceTypeInfo(), [] { return new BaseDevice; });
        if (!networkManager.isEmpty())
            manager->addNetworkManager(networkManager);
        row(0);
        const QPoint pressed(420, 310);
        ModalRunner::MenuAnswerGuard choose(entry);
        press(pressed);
        QTRY_COMPARE(choose.count(), 1);
        release(pressed);
        QCOMPARE(choose.menus(), texts(DeviceMapParts(*map).menus().sceneMenu()));
        QCOMPARE(map->getDeviceItems().size(), 1);
        QCOMPARE(map->getDeviceItems().first()->devType(), made);
        QCOMPARE(map->getDeviceItems().first()->pos(), map->mapToScene(pressed));
    }

    void disconnectingAsksFirst()
    {
        const QStringList names = row(2);
        const QPoint onSegment = at(bentLink(names.at(0), names.at(1)));
        for (bool accept : {false, true}) {
            ModalRunner::MenuAnswerGuard choose(QStringLiteral("Delete"));
            ZenticMessageBox::AnswerGuard answer(choice(accept));
            click(onSegment, Qt::RightButton);
            QCOMPARE(answer.texts(), QStringList{QString("Are you sure you want to disconnect %1 from %2's signals?")
                                                     .arg(names.at(1), names.at(0))});
            QCOMPARE(map->getConnection(names.at(0), names.at(1)) == nullptr, accept);
        }
        map->getUndoStack()->undo();
        QCOMPARE(map->getConnection(names.at(0), names.at(1))->getBendingPoints(), QList<QPointF>{bend});
    }

    // A name the manager refuses may look like one it takes (U+FEFF is invisible): the user is told.
    void deviceRenameTellsWhenTheNameIsRefused_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("renamed");
        QTest::newRow("a free name") << "pump" << true;
        QTest::newRow("the other device's name") << "" << false;
        QTest::newRow("a name after U+FEFF") << QStringLiteral("\uFEFFpump") << false;
    }

    void deviceRenameTellsWhenTheNameIsRefused()
    {
        QFETCH(QString, typed);
        QFETCH(bool, renamed);
        const QStringList names = row(2);
        const QString name = typed.isEmpty() ? names.at(1) : typed;

        // When the first device is renamed through its menu
        ModalRunner::MenuAnswerGuard choose(QStringLiteral("Rename"));
        ModalRunner::InputAnswerGuard type(name);
        ZenticMessageBox::AnswerGuard ok(QMessageBox::Ok);
        click(centreOf(names.at(0)), Qt::RightButton);

        // Then it bears the name, or a box names the name refused
        QCOMPARE(type.count(), 1);
        QCOMPARE(map->getDeviceItems().contains(names.at(0)), !renamed);
        QCOMPARE(ok.count(), renamed ? 0 : 1);
        QVERIFY(renamed || ok.informativeTexts().first().contains("\"" + name + "\""));
    }

    void clusterMenuTakesOnlyAcceptableNamesAndUndoableRemovals_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("clusters");
        QTest::newRow("rename") << "Rename" << "Inputs" << QStringList{"Inputs", "Taken"};
        QTest::newRow("rename to nothing") << "Rename" << "" << QStringList{"Sources", "Taken"};
        QTest::newRow("rename to a used name") << "Rename" << "Taken" << QStringList{"Sources", "Taken"};
        QTest::newRow("delete") << "Delete" << "" << QStringList{"Taken"};
        QTest::newRow("moves contained devices") << "Moves contained devices" << "" << QStringList{"Sources", "Taken"};
    }

    void clusterMenuTakesOnlyAcceptableNamesAndUndoableRemovals()
    {
        QFETCH(QString, entry);
        QFETCH(QString, typed);
        QFETCH(QStringList, clusters);
        row(0);
        map->createCluster(QStringLiteral("Sources"), QRectF(100, 100, 300, 200));
        map->createCluster(QStringLiteral("Taken"), QRectF(600, 100, 100, 100));
        ClusterRectItem* sources = map->getClusterItems().value(QStringLiteral("Sources"));
        paint();

        ModalRunner::MenuAnswerGuard choose(entry);
        ModalRunner::InputAnswerGuard type(typed);
        ZenticMessageBox::AnswerGuard confirm(ZenticMessageBox::AnswerGuard::AcceptRole);
        click(at(QPointF(103, 105)), Qt::RightButton); // on its label

        QCOMPARE(choose.menus(), (QList<QStringList>{{"Rename", "Delete", "Moves contained devices"}}));
        QCOMPARE(map->getClusterItems().keys(), clusters);
        QCOMPARE(type.requests().value(0).title, entry == "Rename" ? QStringLiteral("Rename cluster") : QString());
        // A refused name leaves nothing to undo
        QCOMPARE(edits().isEmpty(), entry != "Delete" && !clusters.contains("Inputs"));
        if (entry != "Delete") {
            QCOMPARE(sources->getMovesContainedDevices(), entry != "Moves contained devices");
            return;
        }
        // The removal can be undone, and the question does not say otherwise
        QVERIFY(!confirm.informativeTexts().first().contains("cannot be undone"));
        map->getUndoStack()->undo();
        QVERIFY(map->getClusterItems().contains(QStringLiteral("Sources")));
    }

    // Whatever the manager does while a menu or a question is open, the item it was opened for
    // is checked again when it returns, and left alone when gone.
    void anItemRemovedWhileItsMenuIsOpenIsLeftAlone_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<bool>("duringQuestion");
        const QMap<QString, QStringList> entries{
            {"device", {"Settings", "Rename", "Add connection", "Export template"}},
            {"link", {"Edit", "Add bending point"}},
            {"cluster", {"Rename", "Moves contained devices"}}};
        for (auto it = entries.cbegin(); it != entries.cend(); ++it) {
            for (const QString& entry : it.value())
                QTest::newRow(qPrintable(it.key() + ": " + entry)) << it.key() << entry << false;
            QTest::newRow(qPrintable(it.key() + ": while Delete asks")) << it.key() << "Delete" << true;
        }
    }

    void anItemRemovedWhileItsMenuIsOpenIsLeftAlone()
    {
        QFETCH(QString, target);
        QFETCH(QString, entry);
        QFETCH(bool, duringQuestion);
        // Given a device, a link and a cluster
        const QStringList names = row(2);
        const QPointF onLink = bentLink(names.at(0), names.at(1));
        map->createCluster(QStringLiteral("Zone"), QRectF(700, 300, 200, 200));
        paint();
        auto removeTarget = [&]() {
            if (target == "device")
                manager->removeDevice(names.at(0));
            else if (target == "link")
                manager->removeDeviceConnection(names.at(0), names.at(1));
            else
                map->removeCluster(QStringLiteral("Zone"));
        };

        // When it goes while its menu, or the question after it, is open
        ModalRunner::MenuAnswerGuard choose([&](QMenu& menu) {
            if (!duringQuestion)
                removeTarget();
            return ModalRunner::findAction(&menu, entry);
        });
        ZenticMessageBox::AnswerGuard confirm([&](ZenticMessageBox& box) -> QAbstractButton* {
            removeTarget();
            const QList<QAbstractButton*> buttons = box.buttons();
            return *std::find_if(buttons.begin(), buttons.end(),
                                 [&box](QAbstractButton* b) { return box.buttonRole(b) == QMessageBox::AcceptRole; });
        });
        ModalRunner::InputAnswerGuard type(QStringLiteral("typed"));
        DeviceConnectionsDialog::AnswerGuard dialog(DeviceConnectionsDialog::Answer::Reject);
        click(target == "device" ? centreOf(names.at(0)) : at(target == "link" ? onLink : QPointF(703, 305)),
              Qt::RightButton);

        // Then nothing more happened to it: no dialog, prompt, drawing or operation
        QCOMPARE(choose.count(), 1);
        QCOMPARE(confirm.count(), duringQuestion ? 1 : 0);
        QCOMPARE(type.count() + dialog.count() + dialogs(), 0);
        QVERIFY(!DeviceMapParts(*map).connectionDrawing().isDrawing());
        QVERIFY(edits().isEmpty());
    }
};

QTEST_MAIN(TestMapClicks)
#include "tst_MapClicks.moc"
