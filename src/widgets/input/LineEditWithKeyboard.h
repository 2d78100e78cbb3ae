#pragma once

#include "dozerozozu_export.h"

#include <QLineEdit>
#include <QRegularExpression>

class QAction;

/**
 * The text field of the touch forms: a QLineEdit with a keyboard icon at its trailing end
 * that opens the on-screen keyboard (ScreenKeyboardDialog) on this very field.
 *
 * In password mode the text is hidden, an eye icon beside the keyboard icon shows and hides
 * it, and the keyboard opens in its password form. In file-name mode a validator admits only
 * valid file names and the keyboard greys out the characters a file name may not hold. Both
 * modes are fixed at construction. Owned by its parent; GUI thread only.
 *
 *     auto name = new LineEditWithKeyboard(this, tr("Name"), false, false, true, {});
 */
class DOZEROZOZU_EXPORT LineEditWithKeyboard : public QLineEdit
{
    Q_OBJECT

public:
    LineEditWithKeyboard(QWidget* parent, QString keyboardTitle, bool password = false,
                         bool numbersAndLettersMode = false, bool fileNameMode = false,
                         Qt::WindowFlags keyboardFlags = Qt::WindowFlags());
    ~LineEditWithKeyboard() override;

    bool event(QEvent* e) override;
    /// As wide as 13 letters W, whatever the text; as high as a plain line edit.
    QSize sizeHint() const override;

    /// In file-name mode the text with white space simplified; otherwise the plain text.
    QString text() const;

    bool getNumbersAndLettersMode() const;
    void setNumbersAndLettersMode(bool numbersAndLettersMode);
    QString getKeyboardTitle() const;
    void setKeyboardTitle(const QString& keyboardTitle);
    Qt::WindowFlags getKeyboardFlags() const;
    void setKeyboardFlags(const Qt::WindowFlags& keyboardFlags);

    /// Ignored below 1.
    void setIconSize(int size);
    /// Replaces the field's style sheet with one giving the action icons their size.
    void updateIconStyle();

    /// Valid file names: no reserved device name, no leading space or double dot, 1 to 254
    /// characters without \ / : * " ? < > | or control characters, no trailing dot.
    static QRegularExpression filenameRegularExpresion;

private:
    void toggleEchoMode();
    void nameEyeAction();
    void openKeyboard();

    bool password;
    bool numbersAndLettersMode;
    bool fileNameMode;
    QString keyboardTitle;
    Qt::WindowFlags keyboardFlags;
    QAction* eyeAction = nullptr;
    int iconSize = 0;
};
