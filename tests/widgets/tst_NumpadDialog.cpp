#include "HexSpinBox.h"
#include "NumpadDialog.h"
#include "ZenticMessageBox.h"

#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <functional>

namespace {

const QChar noBreakSpace(0x00A0);

QPushButton* key(QWidget* pad, const QString& text)
{
    const QList<QPushButton*> buttons = pad->findChildren<QPushButton*>();
    for (QPushButton* button : buttons)
        if (button->text() == text)
            return button;
    return nullptr;
}

void clearEditor(NumpadDialog& pad)
{
    pad.editor()->selectAll();
    pad.sendNumpadButtonClickedEvent(Qt::Key_Backspace, QString());
}

// Runs step() on every timer tick while the modal loop runs; step() returns true when done.
void driveModal(std::function<bool()> step)
{
    auto* timer = new QTimer(qApp);
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, step] {
        if (step()) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start();
}

NumpadDialog* activePad()
{
    auto* pad = qobject_cast<NumpadDialog*>(QApplication::activeModalWidget());
    return pad && pad->isVisible() ? pad : nullptr;
}

} // namespace

class TestNumpadDialog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup()
    {
        QVERIFY(!NumpadDialog::setAnswerHook({}));
        QVERIFY(!ZenticMessageBox::setAnswerHook({}));
    }

    void getIntClampsStartValue()
    {
        NumpadDialog::AnswerGuard accept(NumpadDialog::Answer::Accept);
        QCOMPARE(NumpadDialog::getInt(nullptr, "t", QString(), 12.9, 0, 100), 12);
        QCOMPARE(NumpadDialog::getInt(nullptr, "t", QString(), 1e12, 0, 100), 100);
        QCOMPARE(NumpadDialog::getInt(nullptr, "t", QString(), qQNaN(), 0, 100), 0);
    }

    void outOfRangeWarnsWithBoundsAndSuffix()
    {
        ZenticMessageBox::AnswerGuard warning(QMessageBox::Ok);
        NumpadDialog::AnswerGuard answer([](NumpadDialog& pad) {
            clearEditor(pad);
            return NumpadDialog::Answer::Accept;
        });
        bool ok = true;
        NumpadDialog::getDouble(nullptr, "t", "%", 1, 0.00001, 2, 5, &ok);
        QVERIFY(!ok);
        const QString sp(noBreakSpace);
        QCOMPARE(warning.informativeTexts(), (QStringList{"Enter value between 1e-05" + sp + "and" + sp + "2%"}));
    }

    void confirmClosesOnlyInRange_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("confirmKey");
        QTest::addColumn<bool>("accepted");
        for (int confirmKey : {0, int(Qt::Key_Return), int(Qt::Key_Enter)}) {
            const char* name = confirmKey == 0 ? "OK key" : confirmKey == Qt::Key_Return ? "Return" : "Enter";
            QTest::addRow("%s in range", name) << "7" << confirmKey << true;
            QTest::addRow("%s below minimum", name) << "5" << confirmKey << false;
        }
    }

    void confirmClosesOnlyInRange()
    {
        QFETCH(QString, typed);
        QFETCH(int, confirmKey);
        QFETCH(bool, accepted);

        // Given a real pad for 6..100 into which a value is typed
        ZenticMessageBox::AnswerGuard warning(QMessageBox::Ok);
        bool openAfterConfirm = false;
        driveModal([&] {
            NumpadDialog* pad = activePad();
            if (!pad)
                return false;
            pad->editor()->selectAll();
            QTest::keyClicks(pad->editor(), typed);
            // When it is confirmed with "OK", Return or Enter
            if (confirmKey == 0)
                key(pad, "OK")->click();
            else
                QTest::keyClick(pad->editor(), Qt::Key(confirmKey));
            openAfterConfirm = pad->isVisible();
            if (openAfterConfirm)
                QTest::keyClick(pad->editor(), Qt::Key_Escape);
            return true;
        });
        bool ok = !accepted;
        const int value = NumpadDialog::getInt(nullptr, "t", QString(), 50, 6, 100, 1, &ok);

        // Then it closes with the value in range; below the minimum it warns once and stays open
        QCOMPARE(ok, accepted);
        QCOMPARE(openAfterConfirm, !accepted);
        QCOMPARE(warning.count(), accepted ? 0 : 1);
        if (accepted)
            QCOMPARE(value, 7);
    }

    void returnInWarningBoxOnlyDismissesIt()
    {
        // Given a real pad whose out-of-range value raised a real warning box
        ZenticMessageBox::AnswerGuard realBoxes(ZenticMessageBox::AnswerHook{});
        int stage = 0;
        bool padOpenAfterWarning = false;
        driveModal([&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal || !modal->isVisible())
                return false;
            if (stage == 0 && qobject_cast<NumpadDialog*>(modal)) {
                auto* pad = static_cast<NumpadDialog*>(modal);
                pad->editor()->selectAll();
                QTest::keyClicks(pad->editor(), "5");
                stage = 1;
                // Pressed from a fresh event so that this timer keeps ticking inside the
                // warning's nested loop (a timer is never re-entered from its own slot).
                QTimer::singleShot(0, pad, [pad] { QTest::keyClick(pad->editor(), Qt::Key_Return); });
                return false;
            }
            if (stage == 1 && qobject_cast<QMessageBox*>(modal)) {
                // When Return is pressed in the warning box
                stage = 2;
                QTest::keyClick(modal, Qt::Key_Return);
                return false;
            }
            if (stage == 2 && qobject_cast<NumpadDialog*>(modal)) {
                padOpenAfterWarning = true;
                QTest::keyClick(static_cast<NumpadDialog*>(modal)->editor(), Qt::Key_Escape);
                return true;
            }
            return false;
        });
        bool ok = true;
        NumpadDialog::getInt(nullptr, "t", QString(), 50, 10, 100, 1, &ok);

        // Then the box closed once, the pad's confirmation did not run again and the pad stayed open
        QCOMPARE(realBoxes.count(), 1);
        QVERIFY(padOpenAfterWarning);
        QVERIFY(!ok);
    }

    void returnInAnotherWindowDoesNotConfirmEscapeCancels()
    {
        QWidget other;
        other.show();
        bool openAfterForeignReturn = false;
        driveModal([&] {
            NumpadDialog* pad = activePad();
            if (!pad)
                return false;
            QTest::keyClick(&other, Qt::Key_Return);
            openAfterForeignReturn = pad->isVisible();
            QTest::keyClick(pad->editor(), Qt::Key_Escape);
            return true;
        });
        bool ok = true;
        NumpadDialog::getInt(nullptr, "t", QString(), 5, 0, 10, 1, &ok);
        QVERIFY(openAfterForeignReturn);
        QVERIFY(!ok);
    }

    void glyphKeysAreNamed()
    {
        bool ok = false;
        NumpadDialog pad(nullptr, "t", QString(), 1.5, -10.0, 10.0, 2, &ok, Qt::WindowFlags(), 1.0);
        for (const QString& glyph : {QString(QChar(0x140A)), QString(QChar(0x1405)), QString("+/-"), QString(QChar(0x232B))}) {
            QPushButton* button = key(&pad, glyph);
            QVERIFY2(button && !button->accessibleName().isEmpty(), qPrintable(glyph));
            QCOMPARE(button->toolTip(), button->accessibleName());
        }
    }

    void hexPadChecksRangeOnShownValue()
    {
        HexSpinBox field(nullptr, false);
        ZenticMessageBox::AnswerGuard warning(QMessageBox::Ok);
        QString typed = "ff";
        NumpadDialog::AnswerGuard answer([&typed](NumpadDialog& pad) {
            pad.editor()->selectAll();
            QTest::keyClicks(pad.editor(), typed);
            return NumpadDialog::Answer::Accept;
        });
        bool ok = false;
        QCOMPARE(NumpadDialog::getInt(&field, "hex", QString(), 0, 0, 255, 1, &ok), 255);
        QVERIFY(ok);
        QCOMPARE(warning.count(), 0);
        typed = "100";
        NumpadDialog::getInt(&field, "hex", QString(), 0, 0, 255, 1, &ok);
        QVERIFY(!ok);
        QCOMPARE(warning.count(), 1);
    }
};

QTEST_MAIN(TestNumpadDialog)
#include "tst_NumpadDialog.moc"
