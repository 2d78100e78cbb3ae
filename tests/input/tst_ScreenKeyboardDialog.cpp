#include "ScreenKeyboardDialog.h"
#include "ZenticMessageBox.h"
#include "tst_ScreenKeyboardDialog_support.h"

#include <QAction>
#include <QIntValidator>
#include <QLabel>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>
#include <QtTest>

using namespace KeyboardTest;

namespace {

const QString enterText = QString(QChar(0x21B5));
const QString shiftText = QString(QChar(0x21E7));
const QString backspaceText = QString(QChar(0x21FD));

/// Every key of the grid as "text row column rowSpan columnSpan", sorted.
QStringList describeGrid(QGridLayout* grid)
{
    QStringList places;
    for (int index = 0; index < grid->count(); ++index) {
        auto button = qobject_cast<QPushButton*>(grid->itemAt(index)->widget());
        if (!button)
            continue;
        int row, column, rowSpan, columnSpan;
        grid->getItemPosition(index, &row, &column, &rowSpan, &columnSpan);
        const QString text = button->text() == QLatin1String(" ") ? QStringLiteral("space") : button->text();
        places << QStringLiteral("%1 %2 %3 %4 %5").arg(text).arg(row).arg(column).arg(rowSpan).arg(columnSpan);
    }
    places.sort();
    return places;
}

QStringList rowPlaces(const QStringList& rows)
{
    QStringList places;
    for (int row = 0; row < rows.size(); ++row) {
        for (int column = 0; column < rows.at(row).size(); ++column)
            places << QStringLiteral("%1 %2 %3 1 1").arg(rows.at(row).at(column)).arg(row).arg(column + row);
    }
    return places;
}

const QStringList latinRows{"qwertyuiop", "asdfghjkl", "zxcvbnm"};
const QStringList russianRows{QStringLiteral("йцукенгшщзхъ"), QStringLiteral("фывапролджэ"),
                              QStringLiteral("ячсмитьбю")};
const QStringList symbolRows1{"1234567890", "@#$%-+()", "*\"':;!?"};
const QStringList symbolRows2{QString::fromUtf16(u"~`|\u00B7\u221A\u2116\u00F7\u00D7\u2761\u25B3"),
                              QString::fromUtf16(u"\u20AC\u20BD$^\u00B0={}"),
                              QString::fromUtf16(u"\\\u24B8\u24C7\u2122\u2105[]")};

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

bool hasDigitRow(QDialog* dialog)
{
    // line edit, filler, then either the digit row (a widget) or the key grid (a layout)
    QLayoutItem* third = dialog->layout()->itemAt(2);
    return third && third->widget() && !third->layout();
}

} // namespace

class TestScreenKeyboardDialog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void gridPlacesEveryKey_data()
    {
        QTest::addColumn<QStringList>("clicks");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QStringList>("specialKeys");

        QTest::newRow("latin") << QStringList() << latinRows
                               << QStringList{backspaceText + " 0 10 1 1", "?123 1 0 1 1", enterText + " 1 10 2 1",
                                              shiftText + " 2 0 1 2", shiftText + " 2 9 1 1", "ENG 3 0 1 1",
                                              ". 3 1 1 1", "space 3 2 1 7", ", 3 9 1 2"};
        QTest::newRow("russian") << QStringList{"ENG"} << russianRows
                                 << QStringList{backspaceText + " 0 12 1 1", "?123 1 0 1 1", enterText + " 1 12 2 1",
                                                shiftText + " 2 0 1 2", shiftText + " 2 11 1 1", "RUS 3 0 1 1",
                                                ". 3 1 1 1", "space 3 2 1 9", ", 3 11 1 2"};
        QTest::newRow("symbols page 1") << QStringList{"?123"} << symbolRows1
                                        << QStringList{"=/< 1 0 1 1", enterText + " 1 9 2 1", "ABC 2 0 1 2",
                                                       "_ 3 0 1 1", "/ 3 1 1 1", "space 3 2 1 6", ", 3 8 1 1",
                                                       ". 3 9 1 1"};
        QTest::newRow("symbols page 2") << QStringList{"?123", "=/<"} << symbolRows2
                                        << QStringList{"?123 1 0 1 1", enterText + " 1 9 2 1", "ABC 2 0 1 2",
                                                       "< 3 0 1 1", "> 3 1 1 1", "space 3 2 1 6", ", 3 8 1 1",
                                                       ". 3 9 1 1"};
    }

    void gridPlacesEveryKey()
    {
        QFETCH(QStringList, clicks);
        QFETCH(QStringList, rows);
        QFETCH(QStringList, specialKeys);
        Keyboard keyboard;
        for (const QString& text : clicks)
            QVERIFY2(clickKey(&keyboard.dialog, text), qPrintable(text));

        QStringList expected = rowPlaces(rows) + specialKeys;
        expected.sort();
        QCOMPARE(describeGrid(keyGrid(&keyboard.dialog)), expected);

        const auto buttons = keyboard.dialog.findChildren<QPushButton*>();
        for (QPushButton* button : buttons) {
            QVERIFY(button->minimumWidth() >= 50);
            QVERIFY(button->minimumHeight() >= 60);
        }
    }

    void layoutsSwitchAndReturnToLastLetters()
    {
        Keyboard keyboard;
        QVERIFY(key(&keyboard.dialog, "ENG"));

        // letters -> page 1 -> page 2 -> page 1 -> back to Latin
        QVERIFY(clickKey(&keyboard.dialog, "?123"));
        QVERIFY(key(&keyboard.dialog, "=/<"));
        QVERIFY(key(&keyboard.dialog, "_"));
        QVERIFY(clickKey(&keyboard.dialog, "=/<"));
        QVERIFY(key(&keyboard.dialog, QString::fromUtf16(u"\u20BD")));
        QVERIFY(clickKey(&keyboard.dialog, "?123"));
        QVERIFY(key(&keyboard.dialog, "=/<"));
        QVERIFY(clickKey(&keyboard.dialog, "ABC"));
        QVERIFY(key(&keyboard.dialog, "q"));

        // ENG -> RUS, and "ABC" goes back to the Russian letters
        QVERIFY(clickKey(&keyboard.dialog, "ENG"));
        QVERIFY(key(&keyboard.dialog, "RUS"));
        QVERIFY(key(&keyboard.dialog, QStringLiteral("й")));
        QVERIFY(clickKey(&keyboard.dialog, "?123"));
        QVERIFY(clickKey(&keyboard.dialog, "ABC"));
        QVERIFY(key(&keyboard.dialog, QStringLiteral("й")));
        QVERIFY(clickKey(&keyboard.dialog, "RUS"));
        QVERIFY(key(&keyboard.dialog, "ENG"));
    }

    void switchKeepsClickedKeyAliveUntilClickEnds()
    {
        Keyboard keyboard;
        QPointer<QPushButton> symbols = key(&keyboard.dialog, "?123");
        QTest::mouseClick(symbols, Qt::LeftButton);
        QVERIFY(symbols);
        QVERIFY(symbols->isHidden());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!symbols);
    }

    void digitRowShowsExceptOnFirstSymbolPage()
    {
        Keyboard keyboard(nullptr, true);
        QCOMPARE(keyboard.dialog.height(), 430);
        QVERIFY(hasDigitRow(&keyboard.dialog));
        QVERIFY(clickKey(&keyboard.dialog, "ENG"));
        QVERIFY(hasDigitRow(&keyboard.dialog));
        QVERIFY(clickKey(&keyboard.dialog, "?123"));
        QVERIFY(!hasDigitRow(&keyboard.dialog));
        QVERIFY(clickKey(&keyboard.dialog, "=/<"));
        QVERIFY(hasDigitRow(&keyboard.dialog));

        Keyboard plain;
        QCOMPARE(plain.dialog.height(), 350);
        QVERIFY(!hasDigitRow(&plain.dialog));
        QVERIFY(plain.dialog.minimumWidth() >= 800);
    }

    void keysTypeIntoLineEdit()
    {
        Keyboard keyboard;
        for (const char* text : {"q", " ", ".", ","})
            QVERIFY(clickKey(&keyboard.dialog, text));
        QVERIFY(clickKey(&keyboard.dialog, "?123"));
        for (const char* text : {"+", "(", "\"", "/"})
            QVERIFY(clickKey(&keyboard.dialog, text));
        QCOMPARE(keyboard.edit()->text(), QStringLiteral("q .,+(\"/"));
        QVERIFY(clickKey(&keyboard.dialog, "ABC"));
        QVERIFY(clickKey(&keyboard.dialog, backspaceText));
        QCOMPARE(keyboard.edit()->text(), QStringLiteral("q .,+(\""));
    }

    void shiftSingleTapDoubleTapAndUnlock()
    {
        Keyboard keyboard;
        // One tap: only the next letter is a capital
        QVERIFY(clickKey(&keyboard.dialog, shiftText));
        QVERIFY(!key(&keyboard.dialog, shiftText)->isChecked());
        QVERIFY(clickKey(&keyboard.dialog, "A"));
        QVERIFY(clickKey(&keyboard.dialog, "b"));
        QCOMPARE(keyboard.edit()->text(), QStringLiteral("Ab"));
        QTest::qWait(1100);

        // Two taps within a second: caps lock, the tapped key stays checked
        QVERIFY(clickKey(&keyboard.dialog, shiftText));
        QVERIFY(clickKey(&keyboard.dialog, shiftText));
        QVERIFY(clickKey(&keyboard.dialog, "A"));
        QVERIFY(clickKey(&keyboard.dialog, "B"));
        QCOMPARE(keyboard.edit()->text(), QStringLiteral("AbAB"));
        QVERIFY(keys(&keyboard.dialog, shiftText).first()->isChecked());
        QTest::qWait(1100);

        // A later tap unlocks
        QVERIFY(clickKey(&keyboard.dialog, shiftText));
        QVERIFY(!keys(&keyboard.dialog, shiftText).first()->isChecked());
        QVERIFY(clickKey(&keyboard.dialog, "a"));
        QCOMPARE(keyboard.edit()->text(), QStringLiteral("AbABa"));
        QTest::qWait(1100);
    }

    void validatorGreysOutKeys()
    {
        QLineEdit parent;
        parent.setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), &parent));
        Keyboard keyboard(&parent);
        QVERIFY(!key(&keyboard.dialog, "q")->isEnabled());
        QVERIFY(!key(&keyboard.dialog, ".")->isEnabled());
        QVERIFY(clickKey(&keyboard.dialog, "?123"));
        QVERIFY(key(&keyboard.dialog, "7")->isEnabled());
        QVERIFY(!key(&keyboard.dialog, "@")->isEnabled());
        QVERIFY(clickKey(&keyboard.dialog, "7"));
        QCOMPARE(keyboard.edit()->text(), QStringLiteral("7"));
    }

    void selectionIsJudgedAsReplaced()
    {
        QLineEdit parent;
        parent.setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]{0,3}"), &parent));
        Keyboard keyboard(&parent);
        keyboard.edit()->setText("123");
        QVERIFY(clickKey(&keyboard.dialog, "?123"));
        keyboard.edit()->end(false);
        QVERIFY(!key(&keyboard.dialog, "5")->isEnabled());
        keyboard.edit()->selectAll();
        QVERIFY(key(&keyboard.dialog, "5")->isEnabled());
    }

    void inputMaskCaseIsAppliedToLetterKeys_data()
    {
        QTest::addColumn<QString>("mask");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("upper") << ">AAAA;_" << true;
        QTest::newRow("lower") << "<AAAA;_" << false;
    }

    void inputMaskCaseIsAppliedToLetterKeys()
    {
        QFETCH(QString, mask);
        QFETCH(bool, enabled);
        auto edit = new QLineEdit;
        edit->setInputMask(mask);
        edit->setValidator(new QRegularExpressionValidator(QRegularExpression("[A-Z_]*"), edit));
        Keyboard keyboard(nullptr, false, QString(), QString(), {}, edit);
        QCOMPARE(key(&keyboard.dialog, "q")->isEnabled(), enabled);
    }

    void fileNameCharactersGreyOutOnEveryPage()
    {
        Keyboard keyboard(nullptr, false, ScreenKeyboardDialog::fileNameDisabledCharacters());
        QVERIFY(key(&keyboard.dialog, "q")->isEnabled());
        QVERIFY(clickKey(&keyboard.dialog, "?123"));
        for (const char* text : {"/", ":", "*", "?"})
            QVERIFY2(!key(&keyboard.dialog, text)->isEnabled(), qPrintable(text));
        for (const char* text : {"1", "_", "@", "\"", ";", "!", "-"})
            QVERIFY2(key(&keyboard.dialog, text)->isEnabled(), qPrintable(text));
        QVERIFY(clickKey(&keyboard.dialog, "=/<"));
        for (const char* text : {"<", ">", "\\", "|"})
            QVERIFY2(!key(&keyboard.dialog, text)->isEnabled(), qPrintable(text));
        QVERIFY(key(&keyboard.dialog, "~")->isEnabled());
        QVERIFY(key(&keyboard.dialog, "[")->isEnabled());
    }

    void refusedTextBlinksRedFor750Milliseconds()
    {
        // Given a keyboard whose text the validator finds intermediate
        QLineEdit parent;
        parent.setValidator(new QIntValidator(10, 99, &parent));
        Keyboard keyboard(&parent);
        keyboard.edit()->setText("1");
        const QColor normalBase = keyboard.edit()->palette().color(QPalette::Base);
        QSignalSpy accepted(&keyboard.dialog, &QDialog::accepted);
        auto blinkTimer = keyboard.dialog.findChild<QTimer*>("blinkTimer");
        QVERIFY(blinkTimer);

        // When it is confirmed, and confirmed again during the blink
        keyboard.dialog.accept();
        QCOMPARE(blinkTimer->interval(), 750);
        QVERIFY(blinkTimer->isActive());
        QCOMPARE(keyboard.edit()->palette().color(QPalette::Base), QColor("#ec5655"));
        QTest::qWait(200);
        keyboard.dialog.accept();

        // Then it stays open, the blink is not restarted, and the colour comes back
        QVERIFY(blinkTimer->remainingTime() < 700);
        QCOMPARE(accepted.count(), 0);
        QVERIFY(keyboard.dialog.isVisible());
        QTRY_COMPARE_WITH_TIMEOUT(keyboard.edit()->palette().color(QPalette::Base), normalBase, 2000);
        QCOMPARE(keyboard.edit()->text(), QStringLiteral("1"));
    }

    void refusedTextWithErrorTextShowsInvalidInputBox()
    {
        QLineEdit parent;
        parent.setValidator(new QIntValidator(10, 99, &parent));
        Keyboard keyboard(&parent, false, QString(), "Enter 10 to 99.");
        keyboard.edit()->setText("1");
        QSignalSpy accepted(&keyboard.dialog, &QDialog::accepted);
        ZenticMessageBox::AnswerGuard answer(QMessageBox::Ok);

        keyboard.dialog.accept();

        QCOMPARE(answer.count(), 1);
        QCOMPARE(answer.texts().last(), QStringLiteral("Invalid input."));
        QCOMPARE(answer.informativeTexts().last(), QStringLiteral("Enter 10 to 99."));
        QCOMPARE(accepted.count(), 0);
        QVERIFY(!keyboard.dialog.findChild<QTimer*>("blinkTimer")->isActive());

        keyboard.edit()->setText("42");
        keyboard.dialog.accept();
        QCOMPARE(answer.count(), 1);
        QCOMPARE(accepted.count(), 1);
    }

    void disabledCharactersAreRefusedOnConfirmation()
    {
        // Given a file-name keyboard holding a colon typed on a hardware keyboard
        Keyboard keyboard(nullptr, false, ScreenKeyboardDialog::fileNameDisabledCharacters(), "No colons.");
        QSignalSpy accepted(&keyboard.dialog, &QDialog::accepted);
        ZenticMessageBox::AnswerGuard answer(QMessageBox::Ok);
        QTest::keyClicks(keyboard.edit(), "a:b");

        // When it is confirmed, then the same box as for other refused text answers
        keyboard.dialog.accept();
        QCOMPARE(answer.count(), 1);
        QCOMPARE(answer.texts().last(), QStringLiteral("Invalid input."));
        QCOMPARE(accepted.count(), 0);

        keyboard.edit()->setText("ab");
        keyboard.dialog.accept();
        QCOMPARE(accepted.count(), 1);
    }

    void inputCheckRunsWithAndWithoutValidator_data()
    {
        QTest::addColumn<bool>("withValidator");
        QTest::newRow("without validator") << false;
        QTest::newRow("with validator") << true;
    }

    void inputCheckRunsWithAndWithoutValidator()
    {
        QFETCH(bool, withValidator);
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
        QCOMPARE(checked, QStringList{"abc"});
        QCOMPARE(accepted.count(), 0);
        QCOMPARE(answer.count(), 0);

        verdict = true;
        keyboard.dialog.accept();
        QCOMPARE(accepted.count(), 1);
    }

    void hardwareReturnConfirmsEscapeCancels()
    {
        Keyboard keyboard;
        QSignalSpy accepted(&keyboard.dialog, &QDialog::accepted);
        QTest::keyClick(keyboard.edit(), Qt::Key_Return);
        QCOMPARE(accepted.count(), 1);

        Keyboard other;
        QSignalSpy rejected(&other.dialog, &QDialog::rejected);
        QTest::keyClick(&other.dialog, Qt::Key_Escape);
        QCOMPARE(rejected.count(), 1);
    }

    void getTextReturnsConfirmedText()
    {
        onKeyboard([](ScreenKeyboardDialog* dialog) {
            QCOMPARE(dialog->windowTitle(), QStringLiteral("Name"));
            QVERIFY(clickKey(dialog, "x"));
            dialog->accept();
        });
        bool ok = false;
        QCOMPARE(ScreenKeyboardDialog::getText(nullptr, "Name", "ab", Qt::WindowFlags(), &ok), QStringLiteral("abx"));
        QVERIFY(ok);

        onKeyboard([](ScreenKeyboardDialog* dialog) { dialog->reject(); });
        QCOMPARE(ScreenKeyboardDialog::getText(nullptr, "Name", "ab", Qt::WindowFlags(), &ok), QString());
        QVERIFY(!ok);
    }

    void getTextAcceptsNullOk()
    {
        onKeyboard([](ScreenKeyboardDialog* dialog) { dialog->accept(); });
        QCOMPARE(ScreenKeyboardDialog::getText(nullptr, "Name", "ab", Qt::WindowFlags(), nullptr),
                 QStringLiteral("ab"));
        onKeyboard([](ScreenKeyboardDialog* dialog) { dialog->reject(); });
        QCOMPARE(ScreenKeyboardDialog::getFileName(nullptr, "Name", "ab", Qt::WindowFlags(), nullptr), QString());
    }

    void maxLengthAboveOneLimitsText_data()
    {
        QTest::addColumn<int>("maxLength");
        QTest::addColumn<int>("expected");
        QTest::newRow("one is unlimited") << 1 << 32767;
        QTest::newRow("five") << 5 << 5;
    }

    void maxLengthAboveOneLimitsText()
    {
        QFETCH(int, maxLength);
        QFETCH(int, expected);
        int seen = 0;
        onKeyboard([&seen](ScreenKeyboardDialog* dialog) { seen = lineEditOf(dialog)->maxLength(); });
        bool ok = true;
        ScreenKeyboardDialog::getText(nullptr, "Name", "", maxLength, Qt::WindowFlags(), &ok);
        QCOMPARE(seen, expected);
        QVERIFY(!ok);
    }

    void regExpFormOwnsItsValidator()
    {
        // Given a parent that outlives many calls
        QWidget parent;
        for (int call = 0; call < 3; ++call) {
            onKeyboard([](ScreenKeyboardDialog* dialog) {
                QVERIFY(!key(dialog, "q")->isEnabled());
                QVERIFY(clickKey(dialog, "?123"));
                QVERIFY(clickKey(dialog, "4"));
                dialog->accept();
            });
            bool ok = false;
            QCOMPARE(ScreenKeyboardDialog::getText(&parent, "Digits", "12", 5, Qt::WindowFlags(), "[0-9]+", &ok),
                     QStringLiteral("124"));
            QVERIFY(ok);
        }
        // Then no validator is left behind with it
        QVERIFY(parent.findChildren<QValidator*>().isEmpty());
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

    void passwordEyeShowsAndHidesText()
    {
        QLineEdit parent;
        parent.setMaxLength(8);
        QLineEdit::EchoMode before = QLineEdit::Normal;
        QLineEdit::EchoMode after = QLineEdit::Password;
        int maxLength = 0;
        QString title;
        onKeyboard([&](ScreenKeyboardDialog* dialog) {
            QLineEdit* edit = lineEditOf(dialog);
            title = dialog->windowTitle();
            maxLength = edit->maxLength();
            before = edit->echoMode();
            QCOMPARE(edit->actions().size(), 2);
            edit->actions().at(1)->trigger();
            after = edit->echoMode();
            edit->actions().at(1)->trigger();
            QCOMPARE(edit->echoMode(), QLineEdit::Password);
            dialog->accept();
        });
        bool ok = false;
        QCOMPARE(ScreenKeyboardDialog::getPassword(&parent, "secret", Qt::WindowFlags(), QLineEdit::Password, &ok),
                 QStringLiteral("secret"));
        QVERIFY(ok);
        QCOMPARE(title, QStringLiteral("Password"));
        QCOMPARE(maxLength, 8);
        QCOMPARE(before, QLineEdit::Password);
        QCOMPARE(after, QLineEdit::Normal);
    }

    void editTextCancelRestoresTextCursorAndPlace()
    {
        // Given a field holding "abc" with the cursor after the first character
        QWidget window;
        auto layout = new QVBoxLayout(&window);
        layout->addWidget(new QLabel("label"));
        auto field = new QLineEdit("abc");
        layout->addWidget(field);
        field->addAction(new QAction(field), QLineEdit::TrailingPosition);
        auto hiddenAction = field->addAction(QIcon(), QLineEdit::LeadingPosition);
        hiddenAction->setVisible(false);
        field->setCursorPosition(1);
        window.show();

        // When the user types three more characters and cancels
        bool movedIntoKeyboard = false;
        bool actionHidden = false;
        onKeyboard([&](ScreenKeyboardDialog* dialog) {
            movedIntoKeyboard = field->window() == dialog;
            actionHidden = !field->actions().first()->isVisible();
            field->end(false);
            for (const char* text : {"x", "y", "z"})
                QVERIFY(clickKey(dialog, text));
            QCOMPARE(field->text(), QStringLiteral("abcxyz"));
            dialog->reject();
        });
        const bool accepted = ScreenKeyboardDialog::editText(&window, "Edit", field, Qt::WindowFlags(), false, false);

        // Then the old text, cursor and place come back, and the field has the focus
        QVERIFY(!accepted);
        QVERIFY(movedIntoKeyboard);
        QVERIFY(actionHidden);
        QCOMPARE(field->text(), QStringLiteral("abc"));
        QCOMPARE(field->cursorPosition(), 1);
        QCOMPARE(field->parentWidget(), &window);
        QCOMPARE(layout->indexOf(field), 1);
        QCOMPARE(layout->count(), 2);
        QVERIFY(field->actions().first()->isVisible());
        QVERIFY(!hiddenAction->isVisible());
        QCOMPARE(window.focusWidget(), field);
        QTRY_VERIFY(field->isVisible());
    }

    void editTextConfirmKeepsEdits()
    {
        QWidget window;
        auto layout = new QVBoxLayout(&window);
        auto field = new QLineEdit("ab");
        field->setStyleSheet("color: blue;");
        layout->addWidget(field);
        window.show();
        onKeyboard([](ScreenKeyboardDialog* dialog) {
            QVERIFY(clickKey(dialog, "c"));
            QVERIFY(clickKey(dialog, enterText));
        });
        QVERIFY(ScreenKeyboardDialog::editText(&window, "Edit", field, Qt::WindowFlags(), false, false));
        QCOMPARE(field->text(), QStringLiteral("abc"));
        QCOMPARE(field->styleSheet(), QStringLiteral("color: blue;"));
        QCOMPARE(layout->indexOf(field), 0);
    }

    void editTextCancelRestoresMaskedText()
    {
        QWidget window;
        auto layout = new QVBoxLayout(&window);
        auto field = new QLineEdit;
        field->setInputMask("99-99;_");
        field->setText("12-3");
        field->setCursorPosition(4);
        layout->addWidget(field);
        window.show();
        onKeyboard([field](ScreenKeyboardDialog* dialog) {
            field->setText("98-76");
            dialog->reject();
        });
        QVERIFY(!ScreenKeyboardDialog::editText(&window, "Edit", field, Qt::WindowFlags(), false, false));
        QCOMPARE(field->text(), QStringLiteral("12-3"));
        QCOMPARE(field->displayText(), QStringLiteral("12-3_"));
        QCOMPARE(field->cursorPosition(), 4);
    }

    void editTextWithoutLayoutEditsCopy()
    {
        // Given a field that no layout holds
        QWidget window;
        auto field = new QLineEdit("ab", &window);
        window.show();
        bool fieldStayed = false;
        onKeyboard([&](ScreenKeyboardDialog* dialog) {
            fieldStayed = field->window() == &window;
            QVERIFY(clickKey(dialog, "c"));
            dialog->accept();
        });
        QVERIFY(ScreenKeyboardDialog::editText(&window, "Edit", field, Qt::WindowFlags(), false, false));
        QVERIFY(fieldStayed);
        QCOMPARE(field->text(), QStringLiteral("abc"));
        QCOMPARE(field->parentWidget(), &window);

        onKeyboard([](ScreenKeyboardDialog* dialog) {
            QVERIFY(clickKey(dialog, "d"));
            dialog->reject();
        });
        QVERIFY(!ScreenKeyboardDialog::editText(&window, "Edit", field, Qt::WindowFlags(), false, false));
        QCOMPARE(field->text(), QStringLiteral("abc"));
    }

    void editTextSurvivesWindowDestroyedDuringExec()
    {
        auto window = new QWidget;
        auto layout = new QVBoxLayout(window);
        QPointer<QLineEdit> field = new QLineEdit("ab");
        layout->addWidget(field);
        window->show();
        onKeyboard([window](ScreenKeyboardDialog*) { delete window; });
        QVERIFY(!ScreenKeyboardDialog::editText(window, "Edit", field, Qt::WindowFlags(), false, false));
        QVERIFY(!field);
    }

    void editTextFileNameRefusesForbiddenCharacters()
    {
        QWidget window;
        auto layout = new QVBoxLayout(&window);
        auto field = new QLineEdit("a");
        layout->addWidget(field);
        window.show();
        int boxes = 0;
        onKeyboard([&](ScreenKeyboardDialog* dialog) {
            QVERIFY(clickKey(dialog, "?123"));
            QVERIFY(!key(dialog, ":")->isEnabled());
            ZenticMessageBox::AnswerGuard answer(QMessageBox::Ok);
            field->setText("a|b");
            dialog->accept();
            boxes = answer.count();
            QVERIFY(dialog->isVisible());
            QVERIFY(dialog->findChild<QTimer*>("blinkTimer")->isActive());
            field->setText("ab");
            dialog->accept();
        });
        QVERIFY(ScreenKeyboardDialog::editText(&window, "Edit", field, Qt::WindowFlags(), false, true));
        QCOMPARE(boxes, 0);
        QCOMPARE(field->text(), QStringLiteral("ab"));
    }
};

QTEST_MAIN(TestScreenKeyboardDialog)
#include "tst_ScreenKeyboardDialog.moc"
