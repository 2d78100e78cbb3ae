#include "LineEditWithKeyboard.h"
#include "WirelessNetworkPasswordDialog.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

using Answer = WirelessNetworkPasswordDialog::Answer;

class TestWirelessNetworkPasswordDialog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void connectNeedsEightCharacters_data();
    void connectNeedsEightCharacters();
    void messageNamesTheNetworkOnItsSecondLine();
    void answers_data();
    void answers();
    void realModalRunReturnsWhatWasTyped();
};

void TestWirelessNetworkPasswordDialog::connectNeedsEightCharacters_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("empty") << "" << false;
    QTest::newRow("7") << "1234567" << false;
    QTest::newRow("8") << "12345678" << true;
    QTest::newRow("spaces only") << "        " << true;
}

void TestWirelessNetworkPasswordDialog::connectNeedsEightCharacters()
{
    QFETCH(QString, typed);
    QFETCH(bool, enabled);
    WirelessNetworkPasswordDialog dialog(QStringLiteral("Workshop"), nullptr);
    QVERIFY(!dialog.connectButton()->isEnabled());

    QTest::keyClicks(dialog.passwordField(), typed);

    QCOMPARE(dialog.passwordField()->text(), typed);
    QCOMPARE(dialog.connectButton()->isEnabled(), enabled);
    if (enabled) {
        // Deleting back below 8 disables it again.
        QTest::keyClick(dialog.passwordField(), Qt::Key_Backspace);
        QVERIFY(!dialog.connectButton()->isEnabled());
    }
}

void TestWirelessNetworkPasswordDialog::messageNamesTheNetworkOnItsSecondLine()
{
    WirelessNetworkPasswordDialog dialog(QStringLiteral("Line %1 Panel"), nullptr);
    const auto message = dialog.findChild<QLabel*>(QStringLiteral("messageLabel"));
    QVERIFY(message);
    QCOMPARE(message->text(),
             QStringLiteral("A password or encryption key is required\n to access the \"Line %1 Panel\" wireless network"));
    QVERIFY(dialog.windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(dialog.size(), QSize(400, 300));
    QCOMPARE(dialog.passwordField()->echoMode(), QLineEdit::Password);
}

void TestWirelessNetworkPasswordDialog::answers_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("result");
    QTest::newRow("connect") << "orbodev123" << int(Answer::Accept) << true << "orbodev123";
    QTest::newRow("spaces kept") << "  pass  word  " << int(Answer::Accept) << true << "  pass  word  ";
    // Nobody can press a disabled "Connect".
    QTest::newRow("connect with 7") << "1234567" << int(Answer::Accept) << false << "";
    QTest::newRow("cancel after typing") << "orbodev123" << int(Answer::Reject) << false << "";
}

void TestWirelessNetworkPasswordDialog::answers()
{
    QFETCH(QString, typed);
    QFETCH(int, answer);
    QFETCH(bool, ok);
    QFETCH(QString, result);
    WirelessNetworkPasswordDialog::AnswerGuard guard([&](WirelessNetworkPasswordDialog& dialog) {
        QTest::keyClicks(dialog.passwordField(), typed);
        return Answer(answer);
    });

    bool accepted = !ok;
    const QString password = WirelessNetworkPasswordDialog::getPassworForNetwork(QStringLiteral("Workshop"), &accepted, nullptr);

    QCOMPARE(accepted, ok);
    QCOMPARE(password, result);
    QCOMPARE(guard.networks(), QStringList{"Workshop"});
}

void TestWirelessNetworkPasswordDialog::realModalRunReturnsWhatWasTyped()
{
    QTimer::singleShot(0, [] {
        auto dialog = qobject_cast<WirelessNetworkPasswordDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        QTest::keyClicks(dialog->passwordField(), QStringLiteral("press-start"));
        dialog->connectButton()->click();
    });
    bool ok = false;
    QCOMPARE(WirelessNetworkPasswordDialog::getPassworForNetwork(QStringLiteral("Line 3 Panel"), &ok, nullptr),
             QStringLiteral("press-start"));
    QVERIFY(ok);
}

QTEST_MAIN(TestWirelessNetworkPasswordDialog)
#include "tst_WirelessNetworkPasswordDialog.moc"
