#include "LineEditWithKeyboard.h"
#include "WirelessNetworkPasswordDialog.h"

#include <QLabel>
#include <QPushButton>
#include <QtTest>

class TestWirelessNetworkPasswordDialog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void connectNeedsEightCharacters_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::newRow("7") << "1234567";
        QTest::newRow("8") << "12345678";
        QTest::newRow("8 spaces") << "        ";
    }

    void connectNeedsEightCharacters()
    {
        QFETCH(QString, typed);
        // "%1" in the name stays as it is
        WirelessNetworkPasswordDialog dialog(QStringLiteral("Line %1 Panel"), nullptr);
        QVERIFY(dialog.findChild<QLabel*>("messageLabel")->text().contains("\"Line %1 Panel\""));

        QTest::keyClicks(dialog.passwordField(), typed);
        QCOMPARE(dialog.connectButton()->isEnabled(), typed.size() >= 8);
        QTest::keyClick(dialog.passwordField(), Qt::Key_Backspace);
        QVERIFY(!dialog.connectButton()->isEnabled());
    }

    void enterInThePasswordFieldConnectsWhenConnectCan_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("8, Return") << "12345678" << int(Qt::Key_Return) << int(Qt::NoModifier) << true;
        QTest::newRow("8, keypad Enter") << "12345678" << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << true;
        QTest::newRow("7, Return") << "1234567" << int(Qt::Key_Return) << int(Qt::NoModifier) << false;
        QTest::newRow("7, keypad Enter") << "1234567" << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << false;
    }

    void enterInThePasswordFieldConnectsWhenConnectCan()
    {
        // Given the dialog shown, a password typed in its field
        QFETCH(QString, typed);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(bool, accepted);
        WirelessNetworkPasswordDialog dialog(QStringLiteral("Panel"), nullptr);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QTest::keyClicks(dialog.passwordField(), typed);
        QSignalSpy connectPressed(dialog.connectButton(), &QPushButton::clicked);

        // When Enter is pressed there
        QTest::keyClick(dialog.passwordField(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));

        // Then the dialog is answered as "Connect" answers it, when "Connect" can be pressed
        QCOMPARE(connectPressed.count(), accepted ? 1 : 0);
        QCOMPARE(dialog.result(), accepted ? int(QDialog::Accepted) : int(QDialog::Rejected));
        QCOMPARE(dialog.isVisible(), !accepted);
    }
};

QTEST_MAIN(TestWirelessNetworkPasswordDialog)
#include "tst_WirelessNetworkPasswordDialog.moc"
