#include "DeviceSignalsConsole.h"

#include "ConsoleWidget.h"
#include "DeviceHandle.h"
#include "DeviceManager.h"
#include "DeviceProxy.h"
#include "LineEditWithKeyboard.h"

#include <QAction>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

namespace {

/// Non-overlapping occurrences of text in plain, letter case ignored.
int countMatches(const QString& plain, const QString& text)
{
    if (text.isEmpty())
        return 0;
    const QByteArray haystack = plain.toUpper().toUtf8();
    const QByteArray needle = text.toUpper().toUtf8();
    int count = 0;
    for (int at = haystack.indexOf(needle); at >= 0; at = haystack.indexOf(needle, at + needle.size()))
        ++count;
    return count;
}

} // namespace

DeviceSignalsConsole::DeviceSignalsConsole(DeviceManager& manager, QString device, QWidget* parent)
    : QWidget(parent)
    , deviceManager(&manager)
    , deviceName(device)
{
    console = new ConsoleWidget(this);
    console->setUpdateRetrieveLog(false);
    console->setShowTimestamp(false);
    deviceHandle = deviceManager->getDeviceHandle(device);

    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(0, 20, 0, 0);

    timestampCheckBox = new QCheckBox(tr("Show timestamp"), this);
    connect(timestampCheckBox, &QCheckBox::toggled, console, &ConsoleWidget::setShowTimestamp);
    layout->addWidget(timestampCheckBox, 0, 0);

    auto* buttons = new QHBoxLayout;
    searchButton = new QPushButton(QIcon(QStringLiteral(":/icons/dozerozozu_search")), QString(), this);
    searchButton->setCheckable(true);
    searchButton->setAutoDefault(false);
    pauseButton = new QPushButton(style()->standardIcon(QStyle::SP_MediaPause), QString(), this);
    pauseButton->setCheckable(true);
    pauseButton->setAutoDefault(false);
    connect(pauseButton, &QPushButton::clicked, this, [this] {
        receiving = !receiving;
        pauseButton->setIcon(style()->standardIcon(receiving ? QStyle::SP_MediaPause : QStyle::SP_MediaPlay));
    });
    buttons->addWidget(searchButton);
    buttons->addWidget(pauseButton);
    layout->addLayout(buttons, 0, 1, Qt::AlignRight);

    findEdit = new LineEditWithKeyboard(this, tr("Input text"));
    findEdit->setPlaceholderText(tr("Find..."));
    findEdit->setClearButtonEnabled(true);
    findEdit->addAction(QIcon(QStringLiteral(":/icons/dozerozozu_search")), QLineEdit::LeadingPosition);
    QAction* down = findEdit->addAction(QIcon(QStringLiteral(":/icons/dozerozozu_down")), QLineEdit::TrailingPosition);
    QAction* up = findEdit->addAction(QIcon(QStringLiteral(":/icons/dozerozozu_up")), QLineEdit::TrailingPosition);
    connect(down, &QAction::triggered, this, &DeviceSignalsConsole::findNext);
    connect(up, &QAction::triggered, this, &DeviceSignalsConsole::findPrevious);
    connect(findEdit, &QLineEdit::textChanged, this, &DeviceSignalsConsole::searchTextChanged);
    findEdit->hide();
    layout->addWidget(findEdit, 1, 0);

    matchLabel = new QLabel(QStringLiteral("0/0"), this);
    matchLabel->setAlignment(Qt::AlignCenter);
    matchLabel->setMinimumWidth(100);
    matchLabel->hide();
    layout->addWidget(matchLabel, 1, 1, Qt::AlignRight);

    connect(searchButton, &QPushButton::toggled, this, [this](bool shown) {
        findEdit->setVisible(shown);
        matchLabel->setVisible(shown);
        if (shown)
            findEdit->setFocus();
    });
    layout->addWidget(console, 2, 0, 1, 2);
}

DeviceSignalsConsole::~DeviceSignalsConsole() = default;

void DeviceSignalsConsole::setShowTimestamp(bool value)
{
    timestampCheckBox->setChecked(value);
}

bool DeviceSignalsConsole::getShowTimestamp() const
{
    return timestampCheckBox->isChecked();
}

QString DeviceSignalsConsole::getMatchText() const
{
    return matchLabel->text();
}

void DeviceSignalsConsole::signalSelected(QString signal)
{
    if (!currentSignal.isEmpty() && deviceHandle && deviceHandle->getObject())
        DeviceProxy::disconnect(deviceHandle->getObject(), currentSignal, this, currentSlot);

    QString slot;
    if (signal.endsWith(QLatin1String("(QString)")))
        slot = QStringLiteral("input(QString)");
    else if (signal.endsWith(QLatin1String("(QByteArray)")))
        slot = QStringLiteral("input(QByteArray)");
    else if (signal.endsWith(QLatin1String("(bool)")))
        slot = QStringLiteral("input(bool)");
    else if (signal.endsWith(QLatin1String("()")))
        slot = QStringLiteral("input()");
    if (slot.isEmpty()) {
        currentSignal.clear();
        currentSlot.clear();
        return;
    }
    currentSignal = signal;
    currentSlot = slot;
    if (deviceHandle && deviceHandle->getObject())
        DeviceProxy::connect(deviceHandle->getObject(), currentSignal, this, currentSlot);
}

void DeviceSignalsConsole::input(QString value)
{
    // A device's text is shown as it is, never taken for markup.
    if (receiving)
        console->write(value.toHtmlEscaped());
}

void DeviceSignalsConsole::input(QByteArray value)
{
    QString text;
    text.reserve(3 * value.size());
    for (const char byte : qAsConst(value)) {
        text += QString::number(quint8(byte), 16).rightJustified(2, QLatin1Char('0')).toUpper();
        text += QLatin1Char(' ');
    }
    input(text);
}

void DeviceSignalsConsole::input(bool value)
{
    input(value ? QStringLiteral("true") : QStringLiteral("false"));
}

void DeviceSignalsConsole::input()
{
    input(deviceName + QStringLiteral("::output()"));
}

void DeviceSignalsConsole::togglePause()
{
    pauseButton->click();
}

void DeviceSignalsConsole::search(const QString& text)
{
    searchButton->setChecked(true);
    if (findEdit->text() == text)
        searchTextChanged(text);
    else
        findEdit->setText(text);
}

void DeviceSignalsConsole::searchTextChanged(const QString& text)
{
    const int total = countMatches(console->toPlainText(), text);
    if (total == 0) {
        setMatch(0, 0);
        console->moveCursor(QTextCursor::End);
        return;
    }
    console->moveCursor(QTextCursor::Start);
    console->find(text);
    setMatch(1, total);
}

void DeviceSignalsConsole::findNext()
{
    if (totalMatches == 0) {
        setMatch(0, 0);
    } else if (currentMatch >= totalMatches) {
        console->moveCursor(QTextCursor::Start);
        setMatch(1, totalMatches);
    } else {
        setMatch(currentMatch + 1, totalMatches);
    }
    console->find(findEdit->text());
}

void DeviceSignalsConsole::findPrevious()
{
    if (currentMatch <= 1) {
        console->moveCursor(QTextCursor::End);
        setMatch(totalMatches, totalMatches);
    } else {
        setMatch(currentMatch - 1, totalMatches);
    }
    console->find(findEdit->text(), QTextDocument::FindBackward);
}

void DeviceSignalsConsole::setMatch(int current, int total)
{
    currentMatch = current;
    totalMatches = total;
    matchLabel->setText(QStringLiteral("%1/%2").arg(current).arg(total));
}

void DeviceSignalsConsole::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F && event->modifiers() == Qt::ControlModifier)
        searchButton->toggle();
    // Keys stop here: Return in the search field must not press a dialog's default button.
    event->accept();
}
