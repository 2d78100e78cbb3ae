#include "WirelessNetworkPasswordDialog.h"

#include "LineEditWithKeyboard.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int minimumPasswordLength = 8;

WirelessNetworkPasswordDialog::AnswerHook& answerHook()
{
    static WirelessNetworkPasswordDialog::AnswerHook hook;
    return hook;
}

QPushButton* dialogButton(const QString& text, QWidget* parent)
{
    auto button = new QPushButton(text, parent);
    button->setFocusPolicy(Qt::NoFocus);
    button->setFixedHeight(40);
    button->setSizePolicy(QSizePolicy::Expanding, button->sizePolicy().verticalPolicy());
    return button;
}

} // namespace

WirelessNetworkPasswordDialog::WirelessNetworkPasswordDialog(QString ssid, QWidget* parent)
    : QDialog(parent)
    , ssid(ssid)
{
    setFixedSize(400, 300);
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint);

    auto mainLayout = new QVBoxLayout(this);
    mainLayout->setSpacing(20);

    auto title = new QLabel(tr("Authentication required"), this);
    title->setStyleSheet(QStringLiteral("font-size: 25px; font-weight: bold"));
    title->setAlignment(Qt::AlignCenter);
    mainLayout->addWidget(title);

    auto message = new QLabel(tr("A password or encryption key is required\n to access the \"%0\" wireless network")
                                  .arg(ssid),
                              this);
    message->setObjectName(QStringLiteral("messageLabel"));
    message->setStyleSheet(QStringLiteral("font-size: 15px"));
    message->setAlignment(Qt::AlignCenter);
    mainLayout->addWidget(message);

    auto passwordRow = new QHBoxLayout;
    passwordEdit = new LineEditWithKeyboard(this, QString(), true, false, false, Qt::WindowFlags());
    passwordEdit->setFixedSize(320, 40);
    passwordRow->addWidget(passwordEdit, 0, Qt::AlignCenter);
    mainLayout->addLayout(passwordRow);
    mainLayout->addStretch(1);

    auto buttonRow = new QHBoxLayout;
    buttonRow->setSpacing(10);
    auto cancelButton = dialogButton(tr("Cancel"), this);
    connectPushButton = dialogButton(tr("Connect"), this);
    connectPushButton->setEnabled(false);
    // Enter in the field, which passes it on, presses the default button; buttons that take no
    // focus never become default by themselves. A disabled default button is not pressed.
    connectPushButton->setDefault(true);
    buttonRow->addWidget(cancelButton);
    buttonRow->addWidget(connectPushButton);
    mainLayout->addLayout(buttonRow);

    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(connectPushButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(passwordEdit, &QLineEdit::textChanged, this,
            [this](const QString& text) { connectPushButton->setEnabled(text.length() >= minimumPasswordLength); });
}

QString WirelessNetworkPasswordDialog::getPassworForNetwork(QString ssid, bool* ok, QWidget* parent)
{
    QPointer<WirelessNetworkPasswordDialog> dialog = new WirelessNetworkPasswordDialog(ssid, parent);
    int result = QDialog::Rejected;
    const AnswerHook hook = answerHook();
    const Answer answer = hook ? hook(*dialog) : Answer::RunModal;
    if (answer == Answer::Accept) {
        // As a user would: a disabled "Connect" cannot be pressed.
        dialog->connectPushButton->click();
        result = dialog->result();
    } else if (answer == Answer::RunModal) {
        result = dialog->exec();
    }
    // The parent may have gone while the dialog ran; the dialog went with it then.
    const bool accepted = dialog && result == QDialog::Accepted;
    const QString password = accepted ? dialog->passwordEdit->text() : QString();
    if (ok)
        *ok = accepted;
    delete dialog;
    return password;
}

WirelessNetworkPasswordDialog::AnswerHook WirelessNetworkPasswordDialog::setAnswerHook(AnswerHook hook)
{
    AnswerHook previous = std::move(answerHook());
    answerHook() = std::move(hook);
    return previous;
}

QString WirelessNetworkPasswordDialog::networkName() const
{
    return ssid;
}

LineEditWithKeyboard* WirelessNetworkPasswordDialog::passwordField() const
{
    return passwordEdit;
}

QPushButton* WirelessNetworkPasswordDialog::connectButton() const
{
    return connectPushButton;
}

WirelessNetworkPasswordDialog::AnswerGuard::AnswerGuard(Answer answer)
    : AnswerGuard(AnswerHook([answer](WirelessNetworkPasswordDialog&) { return answer; }))
{
}

WirelessNetworkPasswordDialog::AnswerGuard::AnswerGuard(const QString& password)
    : AnswerGuard(AnswerHook([password](WirelessNetworkPasswordDialog& dialog) {
          dialog.passwordField()->setText(password);
          return Answer::Accept;
      }))
{
}

WirelessNetworkPasswordDialog::AnswerGuard::AnswerGuard(AnswerHook hook)
    : m_decide(std::move(hook))
{
    m_previous = setAnswerHook([this](WirelessNetworkPasswordDialog& dialog) {
        m_networks << dialog.networkName();
        return m_decide ? m_decide(dialog) : Answer::RunModal;
    });
}

WirelessNetworkPasswordDialog::AnswerGuard::~AnswerGuard()
{
    setAnswerHook(std::move(m_previous));
}

int WirelessNetworkPasswordDialog::AnswerGuard::count() const
{
    return m_networks.size();
}

QStringList WirelessNetworkPasswordDialog::AnswerGuard::networks() const
{
    return m_networks;
}
