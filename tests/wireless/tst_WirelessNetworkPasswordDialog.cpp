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
};

QTEST_MAIN(TestWirelessNetworkPasswordDialog)
#include "tst_WirelessNetworkPasswordDialog.moc"
