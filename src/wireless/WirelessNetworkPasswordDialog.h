#pragma once

#include "dozerozozu_export.h"

#include <QDialog>
#include <QStringList>

#include <functional>

class LineEditWithKeyboard;
class QPushButton;

/**
 * Asks for the password of a protected wireless network: a frameless 400 × 300 dialog with
 * a title, a line naming the network, a password field that opens the on-screen keyboard
 * and can show its text, and "Cancel" / "Connect". "Connect" is enabled from 8 characters.
 *
 * Callers use getPassworForNetwork(). GUI thread; the call runs a modal event loop.
 *
 * Tests answer the prompt through AnswerGuard, which sees the built dialog before it would
 * be shown:
 *  - Answer::Accept presses "Connect", as a user would; while "Connect" is disabled (fewer
 *    than 8 characters) nobody can, and the call returns as cancelled;
 *  - Answer::Reject presses "Cancel";
 *  - Answer::RunModal declines, and the real modal dialog runs.
 *
 *     WirelessNetworkPasswordDialog::AnswerGuard type(QStringLiteral("orbodev123"));
 *     WirelessNetworkPasswordDialog::AnswerGuard cancel(WirelessNetworkPasswordDialog::Answer::Reject);
 */
class DOZEROZOZU_EXPORT WirelessNetworkPasswordDialog : public QDialog
{
    Q_OBJECT

public:
    enum class Answer { RunModal, Accept, Reject };
    using AnswerHook = std::function<Answer(WirelessNetworkPasswordDialog& dialog)>;

    /// Installs an answer hook while it lives and records the networks it was asked about.
    class DOZEROZOZU_EXPORT AnswerGuard
    {
    public:
        explicit AnswerGuard(Answer answer);
        /// Types password into the field, then presses "Connect".
        explicit AnswerGuard(const QString& password);
        explicit AnswerGuard(AnswerHook hook);
        ~AnswerGuard();
        AnswerGuard(const AnswerGuard&) = delete;
        AnswerGuard& operator=(const AnswerGuard&) = delete;

        int count() const;
        /// The network names the prompts were for, in order.
        QStringList networks() const;

    private:
        AnswerHook m_decide;
        AnswerHook m_previous;
        QStringList m_networks;
    };

    WirelessNetworkPasswordDialog(QString ssid, QWidget* parent);

    /**
     * Runs the dialog modally. Returns the typed password and sets *ok to true when the user
     * pressed "Connect"; returns an empty string and sets *ok to false otherwise. ok may be null.
     */
    static QString getPassworForNetwork(QString ssid, bool* ok, QWidget* parent);

    /// Installs hook (an empty function removes it); returns the previous one. Prefer AnswerGuard.
    static AnswerHook setAnswerHook(AnswerHook hook);

    QString networkName() const;
    LineEditWithKeyboard* passwordField() const;
    QPushButton* connectButton() const;

private:
    QPushButton* connectPushButton;
    LineEditWithKeyboard* passwordEdit;
    QString ssid;
};
