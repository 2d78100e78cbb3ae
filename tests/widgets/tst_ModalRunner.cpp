#include "ModalRunner.h"

#include <QAction>
#include <QMenu>
#include <QSignalSpy>
#include <QtTest>

class TestModalRunner : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void menuAnswerTriggersActionInSubmenu()
    {
        // Given a menu with a disabled entry and a submenu
        QMenu menu;
        menu.addAction("&Rename");
        menu.addAction("Delete")->setEnabled(false);
        QMenu* sub = menu.addMenu("New device");
        QAction* lamp = sub->addAction("Lamp");
        QSignalSpy triggered(lamp, &QAction::triggered);
        QSignalSpy subShown(sub, &QMenu::aboutToShow);

        // When a guard answers with a submenu entry, then with a disabled one
        ModalRunner::MenuAnswerGuard choose("New device/Lamp");
        QCOMPARE(ModalRunner::execMenu(&menu, QPoint(5, 7)), lamp);
        {
            ModalRunner::MenuAnswerGuard inner("Delete");
            QCOMPARE(ModalRunner::execMenu(&menu, QPoint()), static_cast<QAction*>(nullptr));
        }

        // Then the chosen action fired as a user's click would, and the menus were recorded
        QCOMPARE(triggered.count(), 1);
        QCOMPARE(subShown.count(), 1);
        QCOMPARE(choose.menus().first(), (QStringList{"Rename", "New device/Lamp"}));
        QCOMPARE(choose.positions().first(), QPoint(5, 7));
    }

    void inputAnswersInTurnThenCancels()
    {
        ModalRunner::InputAnswerGuard answers(QStringList{"first", "second"});
        bool ok = false;
        QCOMPARE(ModalRunner::getText(nullptr, "Title", "Name:", "old", &ok), QString("first"));
        QVERIFY(ok);
        QCOMPARE(ModalRunner::getItem(nullptr, "Pick", "Item:", {"first", "second"}, 0, &ok), QString("second"));
        QVERIFY(ok);
        QCOMPARE(ModalRunner::getText(nullptr, "Title", "Name:", "old", &ok), QString());
        QVERIFY(!ok);
        QCOMPARE(ModalRunner::getOpenFileName(nullptr, "Open", "/tmp", "*.yml"), QString());
        QCOMPARE(answers.requests().first().text, QString("old"));
    }
};

QTEST_MAIN(TestModalRunner)
#include "tst_ModalRunner.moc"
