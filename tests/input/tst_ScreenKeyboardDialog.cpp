#include "ScreenKeyboardDialog.h"
#include "ZenticMessageBox.h"
#include "tst_ScreenKeyboardDialog_support.h"

#include <QAction>
#include <QIntValidator>
#include <QLabel>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

using namespace KeyboardTest;

namespace {

const QString enterText(QChar(0x21B5));
const QString shiftText(QChar(0x21E7));
const QString backspaceText(QChar(0x21FD));

struct Keyboard
{
    explicit Keyboard(QWidget* parent = nullptr, bool numbersAndLettersMode = false,
                      const QString& disabledCharacters = QString(), const QString& errorText = QString(),
                      ScreenKeyboardDialog::InputCheck inputCheck = {}, QLineEdit* lineEdit = nullptr)
        : dialog(parent, QString(), Qt::WindowFlags(), numbersAndLettersMode, lineEdit, disabledCharacters,
                 errorText, std::move(inputCheck))
    {
        dialog.show();
    }
    QLineEdit* edit() { return lineEditOf(&dialog); }

    ScreenKeyboardDialog dialog;
};

} // namespace

class TestScreenKeyboardDialog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void switchKeepsClickedKeyAliveUntilClickEnds()
    {
        Keyboard keyboard;
        QPointer<QPushButton> symbols = key(&keyboard.dialog, "?123");
        QTest::mouseClick(symbols, Qt::LeftButton);
        QVERIFY(symbols && symbols->isHidden());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!symbols);
    }

    void shiftDoubleTapLocksSingleTapLastsOneLetter()
    {
        // A field that takes some capitals and some small letters: the keys are judged in the case they show
        auto field = new QLineEdit;
        field->setValidator(new QRegularExpressionValidator(QRegularExpression("[ABDce]*"), field));
        Keyboard keyboard(nullptr, false, QString(), QString(), {}, field);
        // Two taps within a second lock capitals; a tap more than a second later unlocks
        QVERIFY(clickKeys(&keyboard.dialog, {shiftText, shiftText, "A", "B"}));
        QVERIFY(key(&keyboard.dialog, shiftText)->isChecked());
        QVERIFY(!key(&keyboard.dialog, "C")->isEnabled());
        QTest::qWait(1100);
        // One tap: only the next letter is a capital
        QVERIFY(clickKeys(&keyboard.dialog, {shiftText, "c", shiftText, "D", "e", backspaceText}));
        QVERIFY(!key(&keyboard.dialog, shiftText)->isChecked());
        QCOMPARE(keyboard.edit()->text(), QStringLiteral("ABcD"));
    }

    void functionKeysAndPasswordEyeAreNamed()
    {
        Keyboard keyboard;
        for (const QString& text : {shiftText, backspaceText, enterText, QString(" "), QString("?123"), QString("ENG")}) {
            QPushButton* button = key(&keyboard.dialog, text);
            QVERIFY2(button && !button->accessibleName().isEmpty(), qPrintable(text));
            QCOMPARE(button->toolTip(), button->accessibleName());
        }

        QStringList eyeNames;
        onKeyboard([&eyeNames](ScreenKeyboardDialog* dialog) {
            QAction* eye = lineEditOf(dialog)->actions().value(1);
            eyeNames << eye->toolTip();
            eye->trigger();
            eyeNames << eye->text();
        });
        bool ok = false;
        ScreenKeyboardDialog::getPassword(nullptr, QString(), Qt::WindowFlags(), QLineEdit::Password, &ok);
        QCOMPARE(eyeNames, (QStringList{"Show password", "Hide password"}));
    }

    void keysGreyedOut_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("disabledCharacters");
        QTest::addColumn<QStringList>("clicks");
        QTest::addColumn<QStringList>("enabled");
        QTest::addColumn<QStringList>("disabled");
        const QString fileName = ScreenKeyboardDialog::fileNameDisabledCharacters();
        QTest::newRow("digits only") << "[0-9]*" << "" << "" << QStringList{"?123"} << QStringList{"7"}
                                     << QStringList{"@", ".", " "};
        QTest::newRow("file name: page 1") << "" << "" << fileName << QStringList{"?123"}
                                           << QStringList{"1", "_", "@", "\"", ";", "!", "-"}
                                           << QStringList{"/", ":", "*", "?"};
        QTest::newRow("file name: page 2") << "" << "" << fileName << QStringList{"?123", "=/<"}
                                           << QStringList{"~", "["} << QStringList{"<", ">", "\\", "|"};
    }

    void keysGreyedOut()
    {
        QFETCH(QString, pattern);
        QFETCH(QString, text);
        QFETCH(QString, disabledCharacters);
        QFETCH(QStringList, clicks);
        QFETCH(QStringList, enabled);
        QFETCH(QStringList, disabled);
        auto field = new QLineEdit(text);
        if (!pattern.isEmpty())
            field->setValidator(new QRegularExpressionValidator(QRegularExpression(pattern), field));
        Keyboard keyboard(nullptr, false, disabledCharacters, QString(), {}, field);
        QVERIFY(clickKeys(&keyboard.dialog, clicks));

        for (const QString& keyText : enabled + disabled) {
            QPushButton* button = key(&keyboard.dialog, keyText);
            QVERIFY2(button && button->isEnabled() == enabled.contains(keyText), qPrintable(keyText));
        }
    }

    void refusedTextKeepsDialogOpen_data()
    {
        QTest::addColumn<bool>("withValidator");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("errorText");
        QTest::addColumn<QString>("acceptableText");
        QTest::newRow("intermediate: red blink") << true << "1" << "" << "42";
        QTest::newRow("file-name character: box") << false << "a:b" << "No colons." << "ab";
    }

    void refusedTextKeepsDialogOpen()
    {
        QFETCH(bool, withValidator);
        QFETCH(QString, text);
        QFETCH(QString, errorText);
        QFETCH(QString, acceptableText);
        // Given a keyboard whose text is refused, by a validator (10 to 99) or as a file name
        QLineEdit parent;
        if (withValidator)
            parent.setValidator(new QIntValidator(10, 99, &parent));
        Keyboard keyboard(&parent, false, ScreenKeyboardDialog::fileNameDisabledCharacters(), errorText);
        keyboard.edit()->setText(text);
        const QColor normalBase = keyboard.edit()->palette().color(QPalette::Base);
        auto blinkTimer = keyboard.dialog.findChild<QTimer*>("blinkTimer");
        QSignalSpy accepted(&keyboard.dialog, &QDialog::accepted);
        ZenticMessageBox::AnswerGuard answer(QMessageBox::Ok);

        // When it is confirmed by a hardware Return, and again a little later
        QTest::keyClick(keyboard.edit(), Qt::Key_Return);
        QTest::qWait(50);
        QTest::keyClick(keyboard.edit(), Qt::Key_Return);

        // Then it stays open with its text, answered by the box or by one red blink of 750 ms
        QCOMPARE(accepted.count(), 0);
        QCOMPARE(keyboard.edit()->text(), text);
        if (errorText.isEmpty()) {
            QCOMPARE(answer.count(), 0);
            QCOMPARE(blinkTimer->interval(), 750);
            QCOMPARE(keyboard.edit()->palette().color(QPalette::Base), QColor("#ec5655"));
            QTRY_COMPARE(keyboard.edit()->palette().color(QPalette::Base), normalBase);
        } else {
            QCOMPARE(answer.count(), 2);
            QCOMPARE(answer.texts().last(), QStringLiteral("Invalid input."));
            QCOMPARE(answer.informativeTexts().last(), errorText);
        }
        keyboard.edit()->setText(acceptableText);
        QTest::keyClick(keyboard.edit(), Qt::Key_Return);
        QCOMPARE(accepted.count(), 1);
    }

    void inputCheckRunsWithAndWithoutValidator()
    {
        for (const bool withValidator : {false, true}) {
            QLineEdit parent;
            if (withValidator)
                parent.setValidator(new QRegularExpressionValidator(QRegularExpression("[a-z]*"), &parent));
            QStringList checked;
            bool verdict = false;
            Keyboard keyboard(&parent, false, QString(), "shown only for invalid text", [&](QString text) {
                checked << text;
                return verdict;
            });
            keyboard.edit()->setText("abc");
            QSignalSpy accepted(&keyboard.dialog, &QDialog::accepted);
            ZenticMessageBox::AnswerGuard answer(QMessageBox::Ok);
            keyboard.dialog.accept();
            QCOMPARE(accepted.count() + answer.count(), 0);
            verdict = true;
            keyboard.dialog.accept();
            QCOMPARE(checked, (QStringList{"abc", "abc"}));
            QCOMPARE(accepted.count(), 1);
        }
    }

    void getTextReturnsTextOnlyWhenConfirmed()
    {
        // The regular-expression form greys out the keys its expression refuses
        QWidget parent;
        onKeyboard([](ScreenKeyboardDialog* dialog) {
            QVERIFY(!key(dialog, "q")->isEnabled());
            QVERIFY(clickKeys(dialog, {"?123", "4", enterText}));
        });
        bool ok = false;
        QCOMPARE(ScreenKeyboardDialog::getText(&parent, "Digits", "12", 5, Qt::WindowFlags(), "[0-9]+", &ok),
                 QStringLiteral("124"));
        QVERIFY(ok);
        // The validator it made went with the dialog, not with the parent
        QVERIFY(parent.findChildren<QValidator*>().isEmpty());

        // A cancelled dialog gives nothing, and a null ok is allowed
        onKeyboard([](ScreenKeyboardDialog*) {});
        QCOMPARE(ScreenKeyboardDialog::getText(nullptr, "Name", "ab", 1, Qt::WindowFlags(), nullptr), QString());
    }

    void parentDestroyedDuringExecIsSurvived()
    {
        auto parent = new QWidget;
        parent->show();
        onKeyboard([parent](ScreenKeyboardDialog*) { delete parent; });
        bool ok = true;
        QCOMPARE(ScreenKeyboardDialog::getText(parent, "Name", "ab", Qt::WindowFlags(), &ok), QString());
        QVERIFY(!ok);
    }

    void editTextMovesFieldInAndBack_data()
    {
        QTest::addColumn<bool>("confirm");
        QTest::addColumn<QString>("expected");
        QTest::newRow("cancelled") << false << "abc";
        QTest::newRow("confirmed") << true << "abcxyz";
    }

    void editTextMovesFieldInAndBack()
    {
        QFETCH(bool, confirm);
        QFETCH(QString, expected);
        // Given a field holding "abc" with the cursor after the first character, in a window's layout
        QWidget window;
        auto layout = new QVBoxLayout(&window);
        layout->addWidget(new QLabel("label"));
        auto field = new QLineEdit("abc");
        layout->addWidget(field);
        QAction* shown = field->addAction(QIcon(), QLineEdit::TrailingPosition);
        QAction* hidden = field->addAction(QIcon(), QLineEdit::LeadingPosition);
        hidden->setVisible(false);
        field->setCursorPosition(1);
        window.show();

        // When the user types three more characters and confirms or cancels
        QList<bool> seen;
        onKeyboard([&](ScreenKeyboardDialog* dialog) {
            seen << (field->window() == dialog) << shown->isVisible();
            field->end(false);
            QVERIFY(clickKeys(dialog, {"x", "y", "z"}));
            confirm ? dialog->accept() : dialog->reject();
        });
        QCOMPARE(ScreenKeyboardDialog::editText(&window, "Edit", field, Qt::WindowFlags(), false, false), confirm);

        // Then the field was inside the keyboard without its icons, and is back in place with the focus;
        // a cancelled edit restores the text and the cursor
        QCOMPARE(seen, (QList<bool>{true, false}));
        QCOMPARE(field->text(), expected);
        QCOMPARE(field->cursorPosition(), confirm ? 6 : 1);
        QCOMPARE(layout->indexOf(field), 1);
        QVERIFY(shown->isVisible() && !hidden->isVisible());
        QCOMPARE(window.focusWidget(), field);
        QTRY_VERIFY(field->isVisible());
    }
};

QTEST_MAIN(TestScreenKeyboardDialog)
#include "tst_ScreenKeyboardDialog.moc"
