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
        QCOMPARE(dialog.findChild<QLabel*>("messageLabel")->text(),
                 "A password or encryption key is required\n to access the \"Line %1 Panel\" wireless network");
        QCOMPARE(dialog.passwordField()->echoMode(), QLineEdit::Password);

        QTest::keyClicks(dialog.passwordField(), typed);
        QCOMPARE(dialog.connectButton()->isEnabled(), typed.size() >= 8);
        QTest::keyClick(dialog.passwordField(), Qt::Key_Backspace);
        QVERIFY(!dialog.connectButton()->isEnabled());
    }

    void answers_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("result");
        QTest::newRow("connect, blanks kept") << "  pass  word  " << int(Answer::Accept) << "  pass  word  ";
        // Nobody can press a disabled "Connect".
        QTest::newRow("connect with 7") << "1234567" << int(Answer::Accept) << "";
        QTest::newRow("cancel after typing") << "orbodev123" << int(Answer::Reject) << "";
    }

    void answers()
    {
        QFETCH(QString, typed);
        QFETCH(int, answer);
        QFETCH(QString, result);
        WirelessNetworkPasswordDialog::AnswerGuard guard([&](WirelessNetworkPasswordDialog& dialog) {
            QTest::keyClicks(dialog.passwordField(), typed);
            return Answer(answer);
        });

        bool ok = result.isEmpty();
        QCOMPARE(WirelessNetworkPasswordDialog::getPassworForNetwork("Workshop", &ok, nullptr), result);
        QCOMPARE(ok, !result.isEmpty());
        QCOMPARE(guard.networks(), QStringList{"Workshop"});
    }

    void realModalRunReturnsWhatWasTyped()
    {
        QTimer::singleShot(0, [] {
            auto dialog = qobject_cast<WirelessNetworkPasswordDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            QTest::keyClicks(dialog->passwordField(), QStringLiteral("press-start"));
            dialog->connectButton()->click();
        });
        bool ok = false;
        QCOMPARE(WirelessNetworkPasswordDialog::getPassworForNetwork("Line 3 Panel", &ok, nullptr), QString("press-start"));
        QVERIFY(ok);
    }
};

QTEST_MAIN(TestWirelessNetworkPasswordDialog)
#include "tst_WirelessNetworkPasswordDialog.moc"
