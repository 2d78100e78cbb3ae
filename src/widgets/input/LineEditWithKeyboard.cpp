#include "LineEditWithKeyboard.h"

#include "ScreenKeyboardDialog.h"

#include <QAction>
#include <QApplication>
#include <QPointer>
#include <QRegularExpressionValidator>

QRegularExpression LineEditWithKeyboard::filenameRegularExpresion(
    QStringLiteral("^(?!(?:COM[0-9]|CON|LPT[0-9]|NUL|PRN|AUX)(\\.|\\z)|\\s|[\\.]{2,})"
                   "[^\\\\/:*\"?<>|\\x00-\\x1F]{1,254}(?<![\\.])$"),
    QRegularExpression::CaseInsensitiveOption | QRegularExpression::MultilineOption
        | QRegularExpression::UseUnicodePropertiesOption);

LineEditWithKeyboard::LineEditWithKeyboard(QWidget* parent, QString keyboardTitle, bool password,
                                           bool numbersAndLettersMode, bool fileNameMode,
                                           Qt::WindowFlags keyboardFlags)
    : QLineEdit(parent)
    , password(password)
    , numbersAndLettersMode(numbersAndLettersMode)
    , fileNameMode(fileNameMode)
    , keyboardTitle(keyboardTitle)
    , keyboardFlags(keyboardFlags)
{
    QAction* keyboardAction =
        addAction(QIcon(QStringLiteral(":/icons/dozerozozu_keyboard")), QLineEdit::TrailingPosition);
    keyboardAction->setText(tr("Open on-screen keyboard"));
    keyboardAction->setToolTip(keyboardAction->text());
    const int fontHeight = QApplication::fontMetrics().height();
    setFixedHeight(static_cast<int>(fontHeight * 1.3));
    setIconSize(static_cast<int>(fontHeight * 1.6));

    if (fileNameMode)
        setValidator(new QRegularExpressionValidator(filenameRegularExpresion, this));

    if (password) {
        setEchoMode(QLineEdit::Password);
        eyeAction = addAction(QIcon(QStringLiteral(":/icons/dozerozozu_openedEye")), QLineEdit::TrailingPosition);
        nameEyeAction();
        connect(eyeAction, &QAction::triggered, this, &LineEditWithKeyboard::toggleEchoMode);
    }

    connect(keyboardAction, &QAction::triggered, this, &LineEditWithKeyboard::openKeyboard);
    updateIconStyle();
}

LineEditWithKeyboard::~LineEditWithKeyboard() = default;

bool LineEditWithKeyboard::event(QEvent* e)
{
    if (e->type() == QEvent::Resize)
        setTextMargins(0, 0, 0, 0);
    return QLineEdit::event(e);
}

QSize LineEditWithKeyboard::sizeHint() const
{
    return QSize(13 * fontMetrics().horizontalAdvance(QLatin1Char('W')), QLineEdit::sizeHint().height());
}

QString LineEditWithKeyboard::text() const
{
    return fileNameMode ? QLineEdit::text().simplified() : QLineEdit::text();
}

bool LineEditWithKeyboard::getNumbersAndLettersMode() const
{
    return numbersAndLettersMode;
}

void LineEditWithKeyboard::setNumbersAndLettersMode(bool numbersAndLettersMode)
{
    this->numbersAndLettersMode = numbersAndLettersMode;
}

QString LineEditWithKeyboard::getKeyboardTitle() const
{
    return keyboardTitle;
}

void LineEditWithKeyboard::setKeyboardTitle(const QString& keyboardTitle)
{
    this->keyboardTitle = keyboardTitle;
}

Qt::WindowFlags LineEditWithKeyboard::getKeyboardFlags() const
{
    return keyboardFlags;
}

void LineEditWithKeyboard::setKeyboardFlags(const Qt::WindowFlags& keyboardFlags)
{
    this->keyboardFlags = keyboardFlags;
}

void LineEditWithKeyboard::setIconSize(int size)
{
    if (size < 1)
        return;
    iconSize = size;
    updateIconStyle();
    update();
}

void LineEditWithKeyboard::updateIconStyle()
{
    setStyleSheet(QStringLiteral("QLineEdit {   icon-size: %1px;}").arg(iconSize));
}

void LineEditWithKeyboard::toggleEchoMode()
{
    if (echoMode() == QLineEdit::Password) {
        setEchoMode(QLineEdit::Normal);
        eyeAction->setIcon(QIcon(QStringLiteral(":/icons/dozerozozu_closedEye")));
    } else {
        setEchoMode(QLineEdit::Password);
        eyeAction->setIcon(QIcon(QStringLiteral(":/icons/dozerozozu_openedEye")));
    }
    nameEyeAction();
}

// The eye shows what a click does: an opened eye reveals the password.
void LineEditWithKeyboard::nameEyeAction()
{
    eyeAction->setText(echoMode() == QLineEdit::Password ? tr("Show password") : tr("Hide password"));
    eyeAction->setToolTip(eyeAction->text());
}

// The field may have moved to another parent since it was built, so the keyboard is opened
// over the parent it has now.
void LineEditWithKeyboard::openKeyboard()
{
    if (password) {
        QPointer<LineEditWithKeyboard> self(this);
        bool ok = false;
        const QString result = ScreenKeyboardDialog::getPassword(this, text(), keyboardFlags, echoMode(), &ok,
                                                                 QString(), QString(), {});
        if (self && ok)
            setText(result);
        return;
    }
    ScreenKeyboardDialog::editText(parentWidget(), keyboardTitle, this, keyboardFlags, numbersAndLettersMode,
                                   fileNameMode, QString(), QString(), {});
}
