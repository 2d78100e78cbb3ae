#pragma once

#include "dozerozozu_export.h"

#include <QDialog>
#include <QLineEdit>
#include <QPalette>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <functional>

class QGridLayout;
class QLayout;
class QPushButton;
class QValidator;
class QVBoxLayout;

/**
 * The on-screen keyboard: a modal dialog with one line edit above a grid of large keys
 * (Latin and Russian letters, two pages of digits and symbols).
 *
 * A key tap is delivered to the line edit as a real key press and release, so the line edit
 * does all editing itself (selection, input mask, maximum length). While the user types,
 * every character key that would make the text unacceptable to the line edit's validator is
 * greyed out; without a validator the keys of the disabled characters are. Confirming checks
 * the text once more and refuses unacceptable text with the "Invalid input." box or, without
 * an error text, a red blink of the line edit.
 *
 * Callers do not build the dialog: the static entry points run it and return the text, or
 * (editText) lend an existing line edit of the caller's window to the dialog for the time of
 * the editing. The dialog lives on the GUI thread and is deleted by the entry point that made
 * it; it copes with its parent being destroyed while it runs.
 *
 *     bool ok = false;
 *     const QString name = ScreenKeyboardDialog::getFileName(this, tr("Name"), oldName, {}, &ok);
 *     if (ok)
 *         rename(name);
 */
class DOZEROZOZU_EXPORT ScreenKeyboardDialog : public QDialog
{
    Q_OBJECT

public:
    using InputCheck = std::function<bool(QString)>;

    /// lineEdit null: the dialog makes its own line edit holding text, and a parent that is a
    /// QLineEdit lends its validator. Otherwise lineEdit is used as it is and text is ignored.
    ScreenKeyboardDialog(QWidget* parent, QString text, Qt::WindowFlags flags, bool numbersAndLettersMode,
                         QLineEdit* lineEdit, QString disabledCharacters, QString errorText,
                         InputCheck inputCheck);
    ~ScreenKeyboardDialog() override;

    // Every entry point runs the dialog modally and returns the text when it was confirmed;
    // *ok (when ok is not null) tells whether it was. A cancelled dialog gives an empty text.

    static QString getText(QWidget* parent, QString title, QString text, Qt::WindowFlags flags, bool* ok,
                           QString disabledCharacters = QString(), QString errorText = QString(),
                           InputCheck inputCheck = InputCheck());
    /// maxLength above 1 limits the text; 1 or less leaves it unlimited.
    static QString getText(QWidget* parent, QString title, QString text, int maxLength, Qt::WindowFlags flags,
                           bool* ok, QString disabledCharacters = QString(), QString errorText = QString(),
                           InputCheck inputCheck = InputCheck());
    /// Admits only text matching regExp.
    static QString getText(QWidget* parent, QString title, QString text, int maxLength, Qt::WindowFlags flags,
                           QString regExp, bool* ok, QString errorText = QString(),
                           InputCheck inputCheck = InputCheck());
    /// getText without the characters a file name may not hold: / < > : \ | ? * &
    static QString getFileName(QWidget* parent, QString title, QString text, Qt::WindowFlags flags, bool* ok,
                               QString errorText = QString(), InputCheck inputCheck = InputCheck());
    /// Titled "Password", with an eye to show and hide the text. A parent that is a QLineEdit
    /// lends its maximum length and validator.
    static QString getPassword(QWidget* parent, QString text, Qt::WindowFlags flags,
                               QLineEdit::EchoMode echoMode, bool* ok, QString disabledCharacters = QString(),
                               QString errorText = QString(), InputCheck inputCheck = InputCheck());
    /**
     * Edits lineEdit itself: it moves from its place in its window's layout into the dialog and
     * back afterwards, so its own signals reach the caller's connections while the user types.
     * A cancelled edit restores its text and cursor. When no layout holds lineEdit, a copy of
     * its text is edited and written back on confirmation. True when confirmed.
     */
    static bool editText(QWidget* parent, QString title, QLineEdit* lineEdit, Qt::WindowFlags flags,
                         bool numbersAndLettersMode, bool fileName, QString disabledCharacters = QString(),
                         QString errorText = QString(), InputCheck inputCheck = InputCheck());

    /// The characters a file name may not hold, as the keyboard greys them out.
    static QString fileNameDisabledCharacters();

    // The key grid and the keys drive the dialog through these.

    void keyboardButtonClicked();
    /// One key stroke (press, then release) to the line edit.
    void sendKeyboardButtonClickedEvent(int key, QString text);
    void updateKeysEnabled();
    /// Clicked-handler of both shift keys; also runs after every letter key.
    virtual void shiftToggled();
    /// Colours the line edit red for 750 ms; does nothing while a blink runs.
    void blinkRed();
    void echoModeToggled();

    QPushButton* createKeyboardButton(QString text, int width, int height, QString style, bool connect);
    void initialize();
    void deinitialize();
    void reinitialize();
    void clearLayout(QLayout* layout);
    void changeLanguage();
    void toggleSymbolLayouts();
    void setKeyboardLayout(QStringList rows);

    /// Return and Enter confirm like the Enter key; Escape cancels.
    void keyPressEvent(QKeyEvent* e) override;
    /// Checks the text first; unacceptable text keeps the dialog open (see the class comment).
    void accept() override;

private:
    static QString runAndDelete(ScreenKeyboardDialog* dialog, bool* ok);
    static bool editCopyOfText(QWidget* parent, const QString& title, QLineEdit* field, Qt::WindowFlags flags,
                               bool numbersAndLettersMode, const QString& disabledCharacters,
                               const QString& errorText, InputCheck inputCheck);
    bool isLetterLayout() const;
    void addLetterLayoutKeys(QGridLayout* grid, QPushButton* dot, QPushButton* comma, QPushButton* space,
                             QPushButton* enter);
    void addSymbolLayoutKeys(QGridLayout* grid, QPushButton* dot, QPushButton* comma, QPushButton* space,
                             QPushButton* enter);
    bool holdsDisabledCharacter(const QString& text) const;
    // Every change of the line edit can change which keys keep its text acceptable.
    void onLeCursorPositionCHanged(int oldPosition, int newPosition);
    void onLeSelectionChanged();
    void onLeTextEdited(QString text);
    void refuseInput();

    QString errorText;
    QStringList currentLayout;
    QStringList letterLayout;
    QVBoxLayout* mainLayout = nullptr;
    QPushButton* languageButton = nullptr;
    QPushButton* symbolsButton = nullptr;
    QPushButton* leftShiftButton = nullptr;
    QPushButton* rightShiftButton = nullptr;
    // Guarded: a lent line edit belongs to the caller, who may delete it while the dialog runs.
    QPointer<QLineEdit> lineEdit;
    QList<QPushButton*> letterKeys;
    QString disabledCharacters;
    QList<QPushButton*> keyButtons;
    QStringList latinLayout;
    QStringList russianLayout;
    QStringList symbolsLayout1;
    QStringList symbolsLayout2;
    bool numbersAndLettersMode;
    // Not owned: the validator belongs to a line edit of the caller, which may drop it.
    QPointer<const QValidator> validator;
    QPalette savedPalette;
    QTimer blinkTimer;
    InputCheck inputCheck;
};
