#pragma once

#include "dozerozozu_export.h"

#include <QMessageBox>
#include <QPoint>
#include <QString>
#include <QStringList>

#include <functional>

class QAbstractButton;

/**
 * The house message box: every warning, notice and yes/no question of the library goes
 * through it. A QMessageBox with the house icons (96 x 96), a bold headline whose first word
 * is shortened when too wide, a normal-weight informative text, icon-less buttons with a
 * minimum size taken from the font, a marked default button ("highlightButton" property),
 * an optional coloured footer band and a window that can be dragged by its background.
 *
 * The window title always follows the icon ("Error", "Question", "Warning", "Information");
 * the static functions create the box on the stack with the given parent, run it modally and
 * destroy it before returning. GUI thread only.
 *
 *     if (ZenticMessageBox::confirmDelete(this, tr("Delete \"%1\"?").arg(name), QString()))
 *         removeDevice(name);
 *
 * A confirmation's "Cancel" is a button of its own in the reject role, not Qt's standard
 * Cancel (box.button(QMessageBox::Cancel) is null); AnswerGuard(QMessageBox::Cancel) presses
 * it all the same (below).
 *
 * Answering boxes without a user (tests, automated hosts)
 * -------------------------------------------------------
 * Every modal run of a ZenticMessageBox (the static functions and a plain exec() on a box
 * you built yourself) first asks the installed answer hook. The hook gets the fully built
 * box, styled as its show would style it (texts, title, buttons and default button are final),
 * and returns the button to press:
 *  - a button of that box: it is clicked, the box closes at once without being shown, and
 *    exec() and the static functions return exactly what a user's click would give;
 *  - nullptr: the hook declines, and the real modal box runs.
 * Without a hook (the default) every box is a real modal box. show()/open() do not consult
 * the hook.
 *
 *     ZenticMessageBox::AnswerGuard cancel(QMessageBox::Cancel); // presses Cancel, a confirmation's too
 *     QVERIFY(!ZenticMessageBox::confirmDelete(nullptr, "Delete \"a\"?", QString()));
 *     QCOMPARE(cancel.count(), 1);
 *     QCOMPARE(cancel.texts().last(), QStringLiteral("Delete \"a\"?"));
 *
 *     ZenticMessageBox::AnswerGuard confirmAll(ZenticMessageBox::AnswerGuard::AcceptRole);
 *     ZenticMessageBox::AnswerGuard byText(QStringLiteral("Delete")); // button text
 *
 * Guards nest: the innermost guard answers, and its destructor puts back the hook that was
 * installed before it.
 */
class DOZEROZOZU_EXPORT ZenticMessageBox : public QMessageBox
{
    Q_OBJECT

public:
    /// Returns the button of box to press, or nullptr to let the real modal box run.
    using AnswerHook = std::function<QAbstractButton*(ZenticMessageBox& box)>;

    /**
     * Installs an answer hook for as long as it lives and records every box it answers.
     * Holds no pointer to any box after the box has been answered.
     */
    class DOZEROZOZU_EXPORT AnswerGuard
    {
    public:
        /// Presses the first button whose role is AcceptRole (confirm's action button, Ok, Yes...).
        enum Choice { AcceptRole, RejectRole };

        /// Presses the standard button, or the house button that stands for it (QMessageBox::Cancel
        /// presses a confirmation's "Cancel"); declines (real box) when the box has neither.
        explicit AnswerGuard(QMessageBox::StandardButton button);
        /// Presses the first button with the given role; AcceptRole also takes YesRole and
        /// ApplyRole, RejectRole also takes NoRole; declines when the box has none.
        explicit AnswerGuard(Choice choice);
        /// Presses the first button whose text, without '&', equals buttonText.
        explicit AnswerGuard(const QString& buttonText);
        /// Any decision of your own.
        explicit AnswerGuard(AnswerHook hook);
        ~AnswerGuard();
        AnswerGuard(const AnswerGuard&) = delete;
        AnswerGuard& operator=(const AnswerGuard&) = delete;

        /// Number of boxes this guard was asked about.
        int count() const;
        /// Headlines of those boxes as their callers gave them (before shortening), in order.
        QStringList texts() const;
        /// Informative texts of those boxes as given, in order (empty when there was none).
        QStringList informativeTexts() const;
        /// Window titles of those boxes, in order.
        QStringList titles() const;

    private:
        QAbstractButton* answer(ZenticMessageBox& box);

        AnswerHook m_decide;
        AnswerHook m_previous;
        QStringList m_texts;
        QStringList m_informativeTexts;
        QStringList m_titles;
    };

    ZenticMessageBox(QWidget* parent, QMessageBox::Icon icon, QString text, QString informativeText);
    ~ZenticMessageBox() override;

    static QMessageBox::StandardButton warning(QWidget* parent, const QString& text,
                                               const QString& informativeText,
                                               QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                               QMessageBox::StandardButton defaultButton = QMessageBox::Ok);
    static QMessageBox::StandardButton information(QWidget* parent, const QString& text,
                                                   const QString& informativeText,
                                                   QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                                   QMessageBox::StandardButton defaultButton = QMessageBox::Ok);
    static QMessageBox::StandardButton critical(QWidget* parent, const QString& text,
                                                const QString& informativeText,
                                                QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                                QMessageBox::StandardButton defaultButton = QMessageBox::Ok);
    static QMessageBox::StandardButton question(QWidget* parent, const QString& text,
                                                const QString& informativeText,
                                                QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                                QMessageBox::StandardButton defaultButton = QMessageBox::Ok);

    /// A box titled "Confirmation" with "Cancel" and an action button labelled buttonText
    /// (the default); true only when the action button was clicked.
    static bool confirm(QWidget* parent, QMessageBox::Icon icon, const QString& buttonText,
                        const QString& text, const QString& informativeText);
    /// confirm() with the Question icon and the action "Delete".
    static bool confirmDelete(QWidget* parent, const QString& text, const QString& informativeText);
    /// confirm() with the Question icon and the action "Replace".
    static bool confirmReplace(QWidget* parent, const QString& text, const QString& informativeText);

    /// Class-wide: when true, every box painted from then on fills a band in the palette's
    /// Link colour from 15 px above its first button to its bottom edge.
    static void setFooterEnabled(bool enabled);

    /// Installs hook (an empty function removes it); returns the hook installed before.
    /// Prefer AnswerGuard, which puts the previous hook back by itself.
    static AnswerHook setAnswerHook(AnswerHook hook);

    /// Consults the answer hook first (see the class comment), then runs the box modally.
    int exec() override;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    static QMessageBox::StandardButton runStandard(QWidget* parent, QMessageBox::Icon icon,
                                                   const QString& text, const QString& informativeText,
                                                   QMessageBox::StandardButtons buttons,
                                                   QMessageBox::StandardButton defaultButton);
    void applyHouseStyle();
    void styleButtons();
    QString shortenedHeadline(const QString& headline) const;

    QPoint dragOffset;
    // The headline as last given (markup removed) and the text this box last set from it, so
    // that styling again leaves an unchanged headline as it is instead of stacking breaks.
    QString m_sourceHeadline;
    QString m_styledText;

    static bool footerEnabled;
};
