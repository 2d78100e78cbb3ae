#pragma once

#include "dozerozozu_export.h"

#include <QLineEdit>
#include <QList>
#include <QPoint>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QAction;
class QMenu;
class QWidget;

/**
 * Runs menus and the standard input dialogs modally, and lets tests answer them.
 *
 * Every context menu, name prompt and file dialog of the library goes through here instead of
 * QMenu::exec(), QInputDialog or QFileDialog. Without an answer guard each call is the real modal run.
 * With one, the call is answered at once without showing anything, and returns exactly
 * what the user's choice would: a menu gets aboutToShow() (and each submenu on the way to
 * the chosen action), the chosen action is triggered and returned; an input gets the text.
 * This is the same seam as ZenticMessageBox::AnswerGuard and NumpadDialog::AnswerGuard,
 * for the kinds of modal run those do not cover.
 *
 * A right click on a cluster's label on a shown map, its menu answered with "Rename" and the
 * name prompt with "cluster-2":
 *
 *     ModalRunner::MenuAnswerGuard choose(QStringLiteral("Rename"));   // action text, '&' ignored
 *     ModalRunner::InputAnswerGuard type(QStringLiteral("cluster-2"));  // accepts with this text
 *     map->createCluster(QStringLiteral("cluster-1"), QRectF(100, 100, 300, 200));
 *     map->viewport()->repaint();                                       // lays out the cluster's label
 *     QTest::mouseClick(map->viewport(), Qt::RightButton, {}, map->mapFromScene(QPointF(103, 105)));
 *     QCOMPARE(choose.menus().first(), (QStringList{"Rename", "Delete", "Moves contained devices"}));
 *     QVERIFY(map->getClusterItems().contains(QStringLiteral("cluster-2")));
 *
 * Guards nest: the innermost answers (ModalRunner::InputAnswerGuard cancel(ModalRunner::Cancel)
 * made after type would cancel the prompt), and its destructor restores the one before. GUI thread.
 */
class DOZEROZOZU_EXPORT ModalRunner
{
public:
    enum CancelTag { Cancel };

    /// What a prompt asked, as the answer hook sees it.
    struct InputRequest
    {
        QString title;
        QString label;
        QString text;
        QStringList items; ///< getItem's choices; empty for getText
        QString filter;    ///< the file dialogs' name filter
    };

    /// The action to trigger (may lie in a submenu), or nullptr to dismiss the menu.
    using MenuHook = std::function<QAction*(QMenu& menu)>;
    /// The accepted text, or nullopt for Cancel.
    using InputHook = std::function<std::optional<QString>(const InputRequest& request)>;

    /// QMenu::exec(globalPos), or the installed menu answer. Returns the triggered action.
    static QAction* execMenu(QMenu* menu, const QPoint& globalPos);
    /// QInputDialog::getText, or the installed input answer. ok may be null.
    static QString getText(QWidget* parent, const QString& title, const QString& label,
                           const QString& text = QString(), bool* ok = nullptr,
                           QLineEdit::EchoMode mode = QLineEdit::Normal);
    /// QInputDialog::getItem (not editable), or the installed input answer; an answer that is
    /// not one of items counts as Cancel.
    static QString getItem(QWidget* parent, const QString& title, const QString& label,
                           const QStringList& items, int current = 0, bool* ok = nullptr);

    /// QFileDialog::getOpenFileName (Qt's own dialog, for touch panels), or the installed input
    /// answer: the answered text is the chosen path. Empty when cancelled.
    static QString getOpenFileName(QWidget* parent, const QString& title, const QString& directory,
                                   const QString& filter = QString());
    /// QFileDialog::getSaveFileName, answered like getOpenFileName.
    static QString getSaveFileName(QWidget* parent, const QString& title, const QString& directory,
                                   const QString& filter = QString());

    /// Enabled, visible actions of menu, by text without '&', in order; submenus as "Sub/Item".
    static QStringList actionTexts(QMenu* menu);
    /// The first enabled, visible action whose text (without '&') is text, searched depth-first
    /// through submenus; "Sub/Item" names an action inside a submenu.
    static QAction* findAction(QMenu* menu, const QString& text);

    class DOZEROZOZU_EXPORT MenuAnswerGuard
    {
    public:
        /// Chooses the action with that text (see findAction); dismisses the menu when absent.
        explicit MenuAnswerGuard(const QString& actionText);
        /// Dismisses every menu.
        explicit MenuAnswerGuard(CancelTag);
        explicit MenuAnswerGuard(MenuHook hook);
        ~MenuAnswerGuard();
        MenuAnswerGuard(const MenuAnswerGuard&) = delete;
        MenuAnswerGuard& operator=(const MenuAnswerGuard&) = delete;

        int count() const;
        /// actionTexts() of each menu answered, in order.
        QList<QStringList> menus() const;
        /// The global positions the menus were asked to open at.
        QList<QPoint> positions() const;

    private:
        MenuHook m_decide;
        MenuHook m_previous;
        QList<QStringList> m_menus;
        QList<QPoint> m_positions;
    };

    class DOZEROZOZU_EXPORT InputAnswerGuard
    {
    public:
        /// Accepts every prompt with this text.
        explicit InputAnswerGuard(const QString& text);
        /// Accepts the prompts with these texts in turn, then cancels.
        explicit InputAnswerGuard(const QStringList& texts);
        explicit InputAnswerGuard(CancelTag);
        explicit InputAnswerGuard(InputHook hook);
        ~InputAnswerGuard();
        InputAnswerGuard(const InputAnswerGuard&) = delete;
        InputAnswerGuard& operator=(const InputAnswerGuard&) = delete;

        int count() const;
        QList<InputRequest> requests() const;

    private:
        InputHook m_decide;
        InputHook m_previous;
        QList<InputRequest> m_requests;
    };

private:
    static std::optional<QString> answerInput(const InputRequest& request, bool* answered);
};
