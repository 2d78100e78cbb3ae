#pragma once

#include "dozerozozu_export.h"

#include <QDialog>
#include <QPointer>
#include <QStringList>

#include <functional>

class QAbstractSpinBox;
class QDoubleSpinBox;
class QPushButton;
class QSpinBox;

/**
 * The on-screen numeric keypad of the touch panel. Fields open it through getInt() or
 * getDouble(); the keys send ordinary key events to the spin box at the top, so editing and
 * validation while typing are the spin box's own. Opened with a HexSpinBox as parent, the pad
 * edits with a HexSpinBox too and offers a key that switches decimal/hexadecimal display.
 * Return or Enter on a physical keyboard confirms while the pad is the active modal window and
 * the key is aimed at the pad; "OK", Return and Enter close it only when the value lies in the
 * range, otherwise a "Value is out of range." warning appears and the pad stays open.
 *
 * Created and destroyed by getInt()/getDouble() around one modal run; GUI thread only.
 *
 *     bool ok = false;
 *     const int height = NumpadDialog::getInt(this, tr("Height"), "cm", 120, 0, 250, 1, &ok);
 *     if (ok)
 *         setHeight(height);
 *
 * Answering the pad without a user (tests, automated hosts)
 * ---------------------------------------------------------
 * getInt() and getDouble() first ask the installed answer hook. It gets the fully built pad
 * (editor() gives the spin box, whose keys and text can be driven freely) and says:
 *  - Answer::Accept: the pad runs its "OK" (range check included). In range it closes as
 *    accepted; out of range the house warning is shown (answer it with a
 *    ZenticMessageBox::AnswerGuard) and, as no user is there to correct it, the call then
 *    returns as cancelled (*ok false);
 *  - Answer::Reject: the call returns as cancelled;
 *  - Answer::RunModal: the hook declines and the real modal pad runs.
 * Without a hook (the default) the real modal pad runs.
 *
 *     NumpadDialog::AnswerGuard typeFortyTwo(42.0);          // sets 42, then presses "OK"
 *     NumpadDialog::AnswerGuard cancel(NumpadDialog::Answer::Reject);
 *     NumpadDialog::AnswerGuard custom([](NumpadDialog& pad) {
 *         QTest::keyClicks(pad.editor(), "5");
 *         return NumpadDialog::Answer::Accept;
 *     });
 *
 * Guards nest: the innermost one answers; its destructor restores the previous hook.
 */
class DOZEROZOZU_EXPORT NumpadDialog : public QDialog
{
    Q_OBJECT

public:
    enum class Answer { RunModal, Accept, Reject };
    using AnswerHook = std::function<Answer(NumpadDialog& pad)>;

    /// Installs an answer hook while it lives and counts the pads it was asked about.
    class DOZEROZOZU_EXPORT AnswerGuard
    {
    public:
        explicit AnswerGuard(Answer answer);
        /// Puts value into the editor (clamped by the spin box to its range), then accepts.
        explicit AnswerGuard(double value);
        explicit AnswerGuard(AnswerHook hook);
        ~AnswerGuard();
        AnswerGuard(const AnswerGuard&) = delete;
        AnswerGuard& operator=(const AnswerGuard&) = delete;

        int count() const;
        /// Window titles of the pads asked about, in order.
        QStringList titles() const;

    private:
        AnswerHook m_decide;
        AnswerHook m_previous;
        QStringList m_titles;
    };

    static int getInt(QWidget* parent, const QString& title, const QString& suffix, double value, int min,
                      int max, int step = 1, bool* ok = nullptr, Qt::WindowFlags flags = Qt::WindowFlags());
    /// decimals must be 0 or more.
    static double getDouble(QWidget* parent, const QString& title, const QString& suffix, double value,
                            double min, double max, int decimals = 1, bool* ok = nullptr,
                            Qt::WindowFlags flags = Qt::WindowFlags(), double step = 1.0);

    /// Integer pad. Does not write ok; getInt() does.
    NumpadDialog(QWidget* parent, const QString& title, const QString& suffix, double value, int min, int max,
                 int step, bool* ok, Qt::WindowFlags flags);
    /// Real-number pad. Does not write ok; getDouble() does.
    NumpadDialog(QWidget* parent, const QString& title, const QString& suffix, double value, double min,
                 double max, int decimals, bool* ok, Qt::WindowFlags flags, double step);
    ~NumpadDialog() override;

    /// The pad's editor: a QSpinBox (or HexSpinBox) on the integer pad, a QDoubleSpinBox otherwise.
    QAbstractSpinBox* editor() const;

    /// Installs hook (an empty function removes it); returns the previous one. Prefer AnswerGuard.
    static AnswerHook setAnswerHook(AnswerHook hook);

    bool eventFilter(QObject* watched, QEvent* event) override;
    /// Closes the pad as accepted when the editor's value lies in the range, else warns.
    void accept() override;

    void changeValueSign();
    void setNumpadClickedValue(int digit);
    void sendNumpadButtonClickedEvent(int key, QString text);

private:
    static int run(NumpadDialog* pad);
    void numpadInitialization(const QString& title, const QString& suffix, double value, double min, double max,
                              double step, int decimals);
    QPushButton* createNumpadButton(QString text, int minWidth, int minHeight, QString styleSheet);
    bool editorNumber(double* number) const;
    bool isAimedAtPad(QObject* watched) const;

    QPushButton* signButton = nullptr;
    QSpinBox* spinBox = nullptr;
    QDoubleSpinBox* doubleSpinBox = nullptr;
    int decimals = -1;
    double minimum = 0;
    double maximum = 0;
    QString suffix;
    // Set while accept() runs: its warning box runs a nested loop whose keys must not confirm again.
    bool m_accepting = false;
    // The last Return/Enter press seen and the object it was seen at: a key press that nobody
    // accepts travels up to the pad's parents and passes the application filter again.
    const QEvent* m_lastReturnEvent = nullptr;
    QPointer<QObject> m_lastReturnReceiver;
};
