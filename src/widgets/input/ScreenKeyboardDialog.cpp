#include "ScreenKeyboardDialog.h"

#include "ZenticMessageBox.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QKeySequence>
#include <QPushButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>
#include <QValidator>

namespace {

// Keys that show a glyph or an abbreviation are named for screen readers and tooltips.
void nameKey(QPushButton* key, const QString& name)
{
    key->setAccessibleName(name);
    key->setToolTip(name);
}

// The eye shows what a click does: an opened eye reveals the password.
void nameEyeAction(QAction* eye, bool revealsPassword)
{
    const QString name = revealsPassword ? ScreenKeyboardDialog::tr("Show password")
                                         : ScreenKeyboardDialog::tr("Hide password");
    eye->setText(name);
    eye->setToolTip(name);
}

const QString bigKeyStyle = QStringLiteral("font-size: 30px;");
const QString enterKeyStyle = bigKeyStyle + QStringLiteral(" background-color: green;");
const QString smallKeyStyle = QStringLiteral("font-size: 15px;");
const QString fileNameCharacters = QStringLiteral("/<>:\\|?*&");

constexpr int keyWidth = 50;
constexpr int keyHeight = 60;
constexpr int blinkDuration = 750;
constexpr int doubleTapInterval = 1000;

// Shared by every keyboard: a shift tap in one dialog and one in the next still make a
// double tap. GUI thread only, like the dialogs.
QElapsedTimer shiftTapTimer;

QWidget* newFiller()
{
    auto filler = new QWidget;
    filler->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    return filler;
}

int keyCodeOf(const QString& text)
{
    const QKeySequence sequence(text, QKeySequence::NativeText);
    return sequence.isEmpty() ? 0 : sequence[0];
}

QString fromCodePoints(std::initializer_list<char16_t> codePoints)
{
    QString text;
    for (const char16_t codePoint : codePoints)
        text.append(QChar(codePoint));
    return text;
}

bool isUpperCaseLetter(QChar character)
{
    return character.isUpper();
}

} // namespace

ScreenKeyboardDialog::ScreenKeyboardDialog(QWidget* parent, QString text, Qt::WindowFlags flags,
                                           bool numbersAndLettersMode, QLineEdit* lineEdit,
                                           QString disabledCharacters, QString errorText, InputCheck inputCheck)
    : QDialog(parent, flags)
    , errorText(errorText)
    , disabledCharacters(disabledCharacters)
    , numbersAndLettersMode(numbersAndLettersMode)
    , blinkTimer(this)
    , inputCheck(std::move(inputCheck))
{
    blinkTimer.setObjectName(QStringLiteral("blinkTimer"));
    blinkTimer.setSingleShot(true);
    connect(&blinkTimer, &QTimer::timeout, this, [this] {
        if (this->lineEdit)
            this->lineEdit->setPalette(savedPalette);
    });

    if (!flags)
        setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    setFocusPolicy(Qt::NoFocus);
    setMinimumWidth(800);
    setFixedHeight(numbersAndLettersMode ? 430 : 350);

    mainLayout = new QVBoxLayout(this);
    latinLayout = QStringList{QStringLiteral("qwertyuiop"), QStringLiteral("asdfghjkl"), QStringLiteral("zxcvbnm")};
    russianLayout = QStringList{QStringLiteral("йцукенгшщзхъ"), QStringLiteral("фывапролджэ"),
                                QStringLiteral("ячсмитьбю")};
    symbolsLayout1 = QStringList{QStringLiteral("1234567890"), QStringLiteral("@#$%-+()"),
                                 QStringLiteral("*\"':;!?")};
    symbolsLayout2 = QStringList{
        fromCodePoints({0x007E, 0x0060, 0x007C, 0x00B7, 0x221A, 0x2116, 0x00F7, 0x00D7, 0x2761, 0x25B3}),
        fromCodePoints({0x20AC, 0x20BD, 0x0024, 0x005E, 0x00B0, 0x003D, 0x007B, 0x007D}),
        fromCodePoints({0x005C, 0x24B8, 0x24C7, 0x2122, 0x2105, 0x005B, 0x005D})};
    currentLayout = latinLayout;
    letterLayout = latinLayout;

    if (!lineEdit) {
        this->lineEdit = new QLineEdit(text, this);
        if (auto parentLineEdit = qobject_cast<QLineEdit*>(parent))
            validator = parentLineEdit->validator();
    } else {
        this->lineEdit = lineEdit;
        validator = lineEdit->validator();
    }
    this->lineEdit->setStyleSheet(bigKeyStyle);
    this->lineEdit->setMinimumHeight(60);
    this->lineEdit->setMaximumHeight(60);
    mainLayout->addWidget(this->lineEdit);
    mainLayout->addWidget(newFiller());
    savedPalette = this->lineEdit->palette();

    connect(this->lineEdit, &QLineEdit::cursorPositionChanged, this, &ScreenKeyboardDialog::onLeCursorPositionCHanged);
    connect(this->lineEdit, &QLineEdit::selectionChanged, this, &ScreenKeyboardDialog::onLeSelectionChanged);
    connect(this->lineEdit, &QLineEdit::textEdited, this, &ScreenKeyboardDialog::onLeTextEdited);

    initialize();
    updateKeysEnabled();
}

// A line edit lent by editText must not keep the red of a blink still running when the
// user confirms within its 750 ms.
ScreenKeyboardDialog::~ScreenKeyboardDialog()
{
    if (blinkTimer.isActive() && lineEdit)
        lineEdit->setPalette(savedPalette);
}

QString ScreenKeyboardDialog::fileNameDisabledCharacters()
{
    return fileNameCharacters;
}

QString ScreenKeyboardDialog::runAndDelete(ScreenKeyboardDialog* dialog, bool* ok)
{
    // The parent may be destroyed while exec() runs, taking the dialog with it.
    QPointer<ScreenKeyboardDialog> guard(dialog);
    const int result = dialog->exec();
    const bool accepted = guard && guard->lineEdit && result == QDialog::Accepted;
    const QString text = accepted ? guard->lineEdit->text() : QString();
    delete guard.data();
    if (ok)
        *ok = accepted;
    return text;
}

QString ScreenKeyboardDialog::getText(QWidget* parent, QString title, QString text, Qt::WindowFlags flags,
                                      bool* ok, QString disabledCharacters, QString errorText,
                                      InputCheck inputCheck)
{
    return getText(parent, title, text, 0, flags, ok, disabledCharacters, errorText, std::move(inputCheck));
}

QString ScreenKeyboardDialog::getText(QWidget* parent, QString title, QString text, int maxLength,
                                      Qt::WindowFlags flags, bool* ok, QString disabledCharacters,
                                      QString errorText, InputCheck inputCheck)
{
    auto dialog = new ScreenKeyboardDialog(parent, text, flags, false, nullptr, disabledCharacters, errorText,
                                           std::move(inputCheck));
    dialog->setWindowTitle(title);
    if (maxLength > 1)
        dialog->lineEdit->setMaxLength(maxLength);
    return runAndDelete(dialog, ok);
}

QString ScreenKeyboardDialog::getText(QWidget* parent, QString title, QString text, int maxLength,
                                      Qt::WindowFlags flags, QString regExp, bool* ok, QString errorText,
                                      InputCheck inputCheck)
{
    // The validator belongs to the line edit, which the dialog owns: nothing outlives the call.
    auto edit = new QLineEdit;
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression(regExp), edit));
    auto dialog = new ScreenKeyboardDialog(parent, text, flags, false, edit, QString(), errorText,
                                           std::move(inputCheck));
    dialog->setWindowTitle(title);
    if (maxLength > 1)
        edit->setMaxLength(maxLength);
    edit->setText(text);
    return runAndDelete(dialog, ok);
}

QString ScreenKeyboardDialog::getFileName(QWidget* parent, QString title, QString text, Qt::WindowFlags flags,
                                          bool* ok, QString errorText, InputCheck inputCheck)
{
    return getText(parent, title, text, flags, ok, fileNameCharacters, errorText, std::move(inputCheck));
}

QString ScreenKeyboardDialog::getPassword(QWidget* parent, QString text, Qt::WindowFlags flags,
                                          QLineEdit::EchoMode echoMode, bool* ok, QString disabledCharacters,
                                          QString errorText, InputCheck inputCheck)
{
    auto dialog = new ScreenKeyboardDialog(parent, text, flags, false, nullptr, disabledCharacters, errorText,
                                           std::move(inputCheck));
    QLineEdit* edit = dialog->lineEdit;
    edit->setEchoMode(echoMode);
    if (auto parentLineEdit = qobject_cast<QLineEdit*>(parent)) {
        edit->setMaxLength(parentLineEdit->maxLength());
        edit->setValidator(parentLineEdit->validator());
        dialog->validator = parentLineEdit->validator();
    }
    edit->addAction(QIcon(QStringLiteral(":/icons/dozerozozu_empty")), QLineEdit::TrailingPosition);
    const QString eyeIcon = echoMode == QLineEdit::Password ? QStringLiteral(":/icons/dozerozozu_openedEye")
                                                            : QStringLiteral(":/icons/dozerozozu_closedEye");
    QAction* eye = edit->addAction(QIcon(eyeIcon), QLineEdit::TrailingPosition);
    nameEyeAction(eye, echoMode == QLineEdit::Password);
    connect(eye, &QAction::triggered, dialog, &ScreenKeyboardDialog::echoModeToggled);
    dialog->setWindowTitle(tr("Password"));
    return runAndDelete(dialog, ok);
}

bool ScreenKeyboardDialog::editText(QWidget* parent, QString title, QLineEdit* lineEdit, Qt::WindowFlags flags,
                                    bool numbersAndLettersMode, bool fileName, QString disabledCharacters,
                                    QString errorText, InputCheck inputCheck)
{
    if (!lineEdit)
        return false;
    if (fileName)
        disabledCharacters += fileNameCharacters;

    QPointer<QLineEdit> field(lineEdit);
    QWidget* hostWidget = lineEdit->parentWidget();
    QPointer<QLayout> hostLayout = hostWidget ? hostWidget->layout() : nullptr;
    QPointer<QWidget> placeholder = new QWidget;
    QLayoutItem* replaced = hostLayout ? hostLayout->replaceWidget(lineEdit, placeholder, Qt::FindChildrenRecursively)
                                       : nullptr;
    if (!replaced) {
        delete placeholder.data();
        return editCopyOfText(parent, title, lineEdit, flags, numbersAndLettersMode, disabledCharacters,
                              errorText, std::move(inputCheck));
    }
    delete replaced;

    const QSize minimumSize = lineEdit->minimumSize();
    const QSize maximumSize = lineEdit->maximumSize();
    const QString styleSheet = lineEdit->styleSheet();
    const QString text = lineEdit->text();
    const QString displayText = lineEdit->displayText();
    const int cursorPosition = lineEdit->cursorPosition();
    // The field's own icons make no sense inside the keyboard; those the caller had hidden
    // stay hidden afterwards.
    QList<QPointer<QAction>> shownActions;
    const auto actions = lineEdit->actions();
    for (QAction* action : actions) {
        if (action->isVisible())
            shownActions.append(action);
        action->setVisible(false);
    }

    QPointer<ScreenKeyboardDialog> dialog = new ScreenKeyboardDialog(
        parent, QString(), flags, numbersAndLettersMode, lineEdit, disabledCharacters, errorText,
        std::move(inputCheck));
    dialog->setWindowTitle(title);
    const bool accepted = dialog->exec() == QDialog::Accepted && dialog && field;

    // Whatever died while the dialog ran (its parent, the caller's window) took its children
    // with it; only what is left is put back.
    if (!accepted && dialog && field) {
        if (!field->inputMask().isEmpty()) {
            field->clear();
            for (const QChar character : displayText)
                dialog->sendKeyboardButtonClickedEvent(keyCodeOf(character), character);
        } else {
            field->setText(text);
        }
        field->setCursorPosition(cursorPosition);
    }
    if (field) {
        if (dialog) {
            dialog->mainLayout->removeWidget(field);
            field->disconnect(dialog);
        }
        field->setStyleSheet(styleSheet);
        field->setMinimumHeight(minimumSize.height());
        field->setMaximumHeight(maximumSize.height());
        if (hostLayout && placeholder) {
            delete hostLayout->replaceWidget(placeholder, field, Qt::FindChildrenRecursively);
            field->show();
        }
        for (const QPointer<QAction>& action : qAsConst(shownActions)) {
            if (action)
                action->setVisible(true);
        }
    }
    delete placeholder.data();
    if (field)
        field->setFocus(Qt::OtherFocusReason);
    if (dialog)
        dialog->deleteLater();
    return accepted;
}

// A line edit that no layout holds cannot be moved into the dialog and back to its place,
// so the user edits a copy that keeps its rules, and the field takes the confirmed text.
bool ScreenKeyboardDialog::editCopyOfText(QWidget* parent, const QString& title, QLineEdit* field,
                                          Qt::WindowFlags flags, bool numbersAndLettersMode,
                                          const QString& disabledCharacters, const QString& errorText,
                                          InputCheck inputCheck)
{
    QPointer<QLineEdit> guardedField(field);
    auto copy = new QLineEdit;
    copy->setValidator(field->validator());
    copy->setInputMask(field->inputMask());
    copy->setMaxLength(field->maxLength());
    copy->setEchoMode(field->echoMode());
    copy->setText(field->text());
    copy->setCursorPosition(field->cursorPosition());

    QPointer<ScreenKeyboardDialog> dialog = new ScreenKeyboardDialog(
        parent, QString(), flags, numbersAndLettersMode, copy, disabledCharacters, errorText, std::move(inputCheck));
    dialog->setWindowTitle(title);
    const bool accepted = dialog->exec() == QDialog::Accepted && dialog && guardedField && dialog->lineEdit;
    if (accepted) {
        guardedField->setText(dialog->lineEdit->text());
        guardedField->setFocus(Qt::OtherFocusReason);
    }
    delete dialog.data();
    return accepted;
}

void ScreenKeyboardDialog::onLeCursorPositionCHanged(int, int)
{
    updateKeysEnabled();
}

void ScreenKeyboardDialog::onLeSelectionChanged()
{
    updateKeysEnabled();
}

void ScreenKeyboardDialog::onLeTextEdited(QString)
{
    updateKeysEnabled();
}

void ScreenKeyboardDialog::keyboardButtonClicked()
{
    auto key = qobject_cast<QPushButton*>(sender());
    if (!key)
        return;
    const QString text = key->text();
    sendKeyboardButtonClickedEvent(keyCodeOf(text), text);
    if (letterKeys.contains(key))
        shiftToggled();
}

void ScreenKeyboardDialog::sendKeyboardButtonClickedEvent(int key, QString text)
{
    if (!lineEdit)
        return;
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text, false, 1);
    QCoreApplication::sendEvent(lineEdit, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text, false, 1);
    if (lineEdit)
        QCoreApplication::sendEvent(lineEdit, &release);
    if (lineEdit)
        lineEdit->setStyleSheet(bigKeyStyle);
}

void ScreenKeyboardDialog::updateKeysEnabled()
{
    if (!validator || !lineEdit) {
        for (QPushButton* key : qAsConst(keyButtons)) {
            key->setEnabled(!disabledCharacters.contains(key->text()));
            key->repaint();
        }
        return;
    }

    const QString inputMask = lineEdit->inputMask();
    QString baseText = lineEdit->text();
    int insertionPoint = lineEdit->cursorPosition();
    const int selectionStart = lineEdit->selectionStart();
    const int selectionLength = lineEdit->selectedText().length();
    if (!inputMask.isEmpty()) {
        baseText = lineEdit->displayText();
        insertionPoint = selectionStart >= 0 ? selectionStart : lineEdit->cursorPosition();
        baseText.remove(insertionPoint, 1);
    } else if (selectionStart >= 0 && selectionLength > 0) {
        baseText.remove(selectionStart, selectionLength);
        insertionPoint = selectionStart;
    }

    int position = 0;
    for (QPushButton* key : qAsConst(keyButtons)) {
        QString keyText = key->text();
        if (!inputMask.isEmpty() && !keyText.isEmpty() && keyText.at(0).isLetter()) {
            if (inputMask.startsWith(QLatin1Char('>')))
                keyText[0] = keyText.at(0).toUpper();
            else if (inputMask.startsWith(QLatin1Char('<')))
                keyText[0] = keyText.at(0).toLower();
        }
        QString candidate = baseText;
        candidate.insert(insertionPoint, keyText);
        key->setEnabled(validator->validate(candidate, position) != QValidator::Invalid);
        key->repaint();
    }
}

void ScreenKeyboardDialog::shiftToggled()
{
    QObject* source = sender();
    const bool fromShiftKey = source && (source == leftShiftButton || source == rightShiftButton);
    auto sourceButton = qobject_cast<QPushButton*>(source);

    const bool doubleTap = fromShiftKey && shiftTapTimer.isValid() && shiftTapTimer.elapsed() < doubleTapInterval;
    if (doubleTap) {
        sourceButton->setChecked(true);
    } else if (fromShiftKey && !letterKeys.isEmpty() && !letterKeys.first()->text().isEmpty()
               && isUpperCaseLetter(letterKeys.first()->text().at(0))) {
        for (QPushButton* key : qAsConst(letterKeys))
            key->setText(key->text().toLower());
        sourceButton->setChecked(false);
        // Not a tap of a double tap: the tap timer keeps running from the tap before.
        updateKeysEnabled();
        return;
    } else {
        const bool shifted = (leftShiftButton && leftShiftButton->isChecked())
            || (rightShiftButton && rightShiftButton->isChecked());
        for (QPushButton* key : qAsConst(letterKeys))
            key->setText(shifted ? key->text().toUpper() : key->text().toLower());
        if (sourceButton)
            sourceButton->setChecked(false);
    }

    updateKeysEnabled();
    if (fromShiftKey)
        shiftTapTimer.start();
}

void ScreenKeyboardDialog::blinkRed()
{
    if (blinkTimer.isActive() || !lineEdit)
        return;
    QPalette red;
    red.setBrush(QPalette::Base, QColor(QStringLiteral("#ec5655")));
    lineEdit->setPalette(red);
    blinkTimer.start(blinkDuration);
}

void ScreenKeyboardDialog::echoModeToggled()
{
    if (!lineEdit)
        return;
    QAction* eye = lineEdit->actions().value(1);
    if (lineEdit->echoMode() == QLineEdit::Password) {
        lineEdit->setEchoMode(QLineEdit::Normal);
        if (eye) {
            eye->setIcon(QIcon(QStringLiteral(":/icons/dozerozozu_closedEye")));
            nameEyeAction(eye, false);
        }
    } else {
        lineEdit->setEchoMode(QLineEdit::Password);
        if (eye) {
            eye->setIcon(QIcon(QStringLiteral(":/icons/dozerozozu_openedEye")));
            nameEyeAction(eye, true);
        }
    }
}

void ScreenKeyboardDialog::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        accept();
        return;
    }
    QDialog::keyPressEvent(e);
}

bool ScreenKeyboardDialog::holdsDisabledCharacter(const QString& text) const
{
    for (const QChar character : text) {
        if (disabledCharacters.contains(character))
            return true;
    }
    return false;
}

void ScreenKeyboardDialog::refuseInput()
{
    if (errorText.isEmpty())
        blinkRed();
    else
        ZenticMessageBox::warning(this, tr("Invalid input."), errorText, QMessageBox::Ok, QMessageBox::Ok);
}

// The keys only stop the user from typing refused text; a hardware keyboard or a paste
// bypasses them, so confirmation applies the same rules to the whole text once more.
void ScreenKeyboardDialog::accept()
{
    if (!lineEdit)
        return;
    QString text = lineEdit->text();
    if (validator) {
        int position = 0;
        if (validator->validate(text, position) != QValidator::Acceptable) {
            refuseInput();
            return;
        }
    } else if (holdsDisabledCharacter(text)) {
        refuseInput();
        return;
    }
    if (inputCheck && !inputCheck(lineEdit->text()))
        return;
    QDialog::accept();
}

QPushButton* ScreenKeyboardDialog::createKeyboardButton(QString text, int width, int height, QString style,
                                                        bool connect)
{
    auto button = new QPushButton(text);
    button->setFocusPolicy(Qt::NoFocus);
    button->setAutoDefault(false);
    button->setStyleSheet(style);
    button->setMinimumSize(width, height);
    if (connect)
        QObject::connect(button, &QPushButton::clicked, this, &ScreenKeyboardDialog::keyboardButtonClicked);
    if (disabledCharacters.contains(text))
        button->setEnabled(false);
    return button;
}

bool ScreenKeyboardDialog::isLetterLayout() const
{
    return currentLayout == latinLayout || currentLayout == russianLayout;
}

void ScreenKeyboardDialog::initialize()
{
    auto grid = new QGridLayout;
    keyButtons.clear();

    if (numbersAndLettersMode && currentLayout != symbolsLayout1) {
        auto digitRow = new QWidget;
        auto digitLayout = new QHBoxLayout(digitRow);
        digitLayout->setContentsMargins(0, 0, 0, 0);
        for (const QChar digit : QStringLiteral("1234567890")) {
            QPushButton* key = createKeyboardButton(digit, keyWidth, keyHeight, bigKeyStyle, true);
            digitLayout->addWidget(key);
            keyButtons.append(key);
        }
        mainLayout->addWidget(digitRow);
    }

    const bool letters = isLetterLayout();
    for (int row = 0; row < currentLayout.size(); ++row) {
        const QString& rowKeys = currentLayout.at(row);
        for (int column = 0; column < rowKeys.size(); ++column) {
            QPushButton* key = createKeyboardButton(rowKeys.at(column), keyWidth, keyHeight, bigKeyStyle, true);
            grid->addWidget(key, row, column + row);
            keyButtons.append(key);
            if (letters)
                letterKeys.append(key);
        }
    }

    QPushButton* dot = createKeyboardButton(QStringLiteral("."), keyWidth, keyHeight, bigKeyStyle, true);
    QPushButton* comma = createKeyboardButton(QStringLiteral(","), keyWidth, keyHeight, bigKeyStyle, true);
    QPushButton* space = createKeyboardButton(QStringLiteral(" "), keyWidth, keyHeight, bigKeyStyle, true);
    keyButtons << dot << comma << space;
    QPushButton* enter = createKeyboardButton(QString(QChar(0x21B5)), keyWidth, keyHeight, enterKeyStyle, false);
    enter->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Expanding);
    nameKey(enter, tr("Enter"));
    nameKey(space, tr("Space"));
    connect(enter, &QPushButton::clicked, this, &ScreenKeyboardDialog::accept);
    symbolsButton = createKeyboardButton(QStringLiteral("?123"), keyWidth, keyHeight, smallKeyStyle, false);
    connect(symbolsButton, &QPushButton::clicked, this, &ScreenKeyboardDialog::toggleSymbolLayouts);
    nameKey(symbolsButton, tr("Symbols"));

    if (letters)
        addLetterLayoutKeys(grid, dot, comma, space, enter);
    else
        addSymbolLayoutKeys(grid, dot, comma, space, enter);

    mainLayout->addLayout(grid);
    mainLayout->addWidget(newFiller());
}

void ScreenKeyboardDialog::addLetterLayoutKeys(QGridLayout* grid, QPushButton* dot, QPushButton* comma,
                                               QPushButton* space, QPushButton* enter)
{
    // The grid is as wide as the top row plus the backspace column.
    const int topRowLength = currentLayout.value(0).size();
    const int bottomRowLength = currentLayout.value(2).size();

    auto backspace = createKeyboardButton(QString(QChar(0x21FD)), keyWidth, keyHeight, bigKeyStyle, false);
    nameKey(backspace, tr("Backspace"));
    connect(backspace, &QPushButton::clicked, this,
            [this] { sendKeyboardButtonClickedEvent(Qt::Key_Backspace, QString()); });

    leftShiftButton = createKeyboardButton(QString(QChar(0x21E7)), keyWidth, keyHeight, bigKeyStyle, false);
    rightShiftButton = createKeyboardButton(QString(QChar(0x21E7)), keyWidth, keyHeight, bigKeyStyle, false);
    for (QPushButton* shift : {leftShiftButton, rightShiftButton}) {
        shift->setCheckable(true);
        nameKey(shift, tr("Shift"));
        connect(shift, &QPushButton::clicked, this, &ScreenKeyboardDialog::shiftToggled);
    }

    languageButton = createKeyboardButton(QStringLiteral("ENG"), keyWidth, keyHeight, smallKeyStyle, false);
    if (currentLayout == russianLayout)
        languageButton->setText(QStringLiteral("RUS"));
    connect(languageButton, &QPushButton::clicked, this, &ScreenKeyboardDialog::changeLanguage);
    nameKey(languageButton, tr("Switch language"));

    grid->addWidget(backspace, 0, topRowLength);
    grid->addWidget(symbolsButton, 1, 0);
    grid->addWidget(enter, 1, topRowLength, 2, 1);
    grid->addWidget(leftShiftButton, 2, 0, 1, 2);
    grid->addWidget(rightShiftButton, 2, 2 + bottomRowLength);
    grid->addWidget(languageButton, 3, 0);
    grid->addWidget(dot, 3, 1);
    grid->addWidget(space, 3, 2, 1, topRowLength - 3);
    grid->addWidget(comma, 3, topRowLength - 1, 1, 2);
}

void ScreenKeyboardDialog::addSymbolLayoutKeys(QGridLayout* grid, QPushButton* dot, QPushButton* comma,
                                               QPushButton* space, QPushButton* enter)
{
    const bool firstPage = currentLayout == symbolsLayout1;
    if (firstPage) {
        symbolsButton->setText(QStringLiteral("=/<"));
        nameKey(symbolsButton, tr("More symbols"));
    }

    auto letters = createKeyboardButton(QStringLiteral("ABC"), keyWidth, keyHeight, smallKeyStyle, false);
    nameKey(letters, tr("Letters"));
    connect(letters, &QPushButton::clicked, this, [this] { setKeyboardLayout(letterLayout); });

    QPushButton* firstExtra = createKeyboardButton(firstPage ? QStringLiteral("_") : QStringLiteral("<"), keyWidth,
                                                   keyHeight, bigKeyStyle, true);
    QPushButton* secondExtra = createKeyboardButton(firstPage ? QStringLiteral("/") : QStringLiteral(">"), keyWidth,
                                                    keyHeight, bigKeyStyle, true);
    keyButtons << firstExtra << secondExtra;

    grid->addWidget(symbolsButton, 1, 0);
    grid->addWidget(enter, 1, 9, 2, 1);
    grid->addWidget(letters, 2, 0, 1, 2);
    grid->addWidget(firstExtra, 3, 0);
    grid->addWidget(secondExtra, 3, 1);
    grid->addWidget(space, 3, 2, 1, 6);
    grid->addWidget(comma, 3, 8);
    grid->addWidget(dot, 3, 9);
}

void ScreenKeyboardDialog::deinitialize()
{
    clearLayout(mainLayout);
    if (lineEdit)
        mainLayout->addWidget(lineEdit);
    mainLayout->addWidget(newFiller());
}

void ScreenKeyboardDialog::reinitialize()
{
    deinitialize();
    initialize();
}

// The keys are released with deleteLater: a rebuild runs inside the click handler of one of
// them (the language, symbols or "ABC" key), which must outlive its own clicked() signal.
void ScreenKeyboardDialog::clearLayout(QLayout* layout)
{
    if (!layout)
        return;
    while (QLayoutItem* item = layout->takeAt(0)) {
        if (QLayout* nested = item->layout()) {
            clearLayout(nested);
            delete nested;
            continue;
        }
        if (QWidget* widget = item->widget()) {
            if (!qobject_cast<QLineEdit*>(widget)) {
                widget->hide();
                widget->deleteLater();
            }
        }
        delete item;
    }
    letterKeys.clear();
    if (layout == mainLayout) {
        keyButtons.clear();
        languageButton = nullptr;
        symbolsButton = nullptr;
        leftShiftButton = nullptr;
        rightShiftButton = nullptr;
    }
}

void ScreenKeyboardDialog::changeLanguage()
{
    const bool latin = languageButton && languageButton->text() == QLatin1String("ENG");
    currentLayout = latin ? russianLayout : latinLayout;
    letterLayout = currentLayout;
    reinitialize();
    updateKeysEnabled();
}

void ScreenKeyboardDialog::toggleSymbolLayouts()
{
    const bool fromLetters = symbolsButton && symbolsButton->text() == QLatin1String("?123");
    currentLayout = fromLetters ? symbolsLayout1 : symbolsLayout2;
    reinitialize();
    updateKeysEnabled();
}

void ScreenKeyboardDialog::setKeyboardLayout(QStringList rows)
{
    currentLayout = rows;
    if (rows == latinLayout || rows == russianLayout)
        letterLayout = rows;
    reinitialize();
    updateKeysEnabled();
}
