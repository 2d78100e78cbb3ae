#pragma once

#include "dozerozozu_export.h"

#include <QByteArray>
#include <QSharedPointer>
#include <QString>
#include <QWidget>

class ConsoleWidget;
class DeviceHandle;
class DeviceManager;
class LineEditWithKeyboard;
class QCheckBox;
class QLabel;
class QPushButton;

/**
 * The text console of the "Output" tab: writes what one device emits on the chosen signal,
 * one line per emission.
 *
 * signalSelected() subscribes to a "(QString)", "(QByteArray)", "(bool)" or "()" signal of the
 * device by signature text and drops the earlier subscription; the subscription also ends
 * when the console or the device goes. Emitted text is shown as text (escaped), bytes as
 * upper-case hexadecimal pairs each followed by a blank, flags as "true" / "false", and a bare
 * emission as "<device>::output()". The pause button stops the writing but keeps the
 * subscription. A search row (its button or Ctrl+F) counts the matches, "n/total", and moves
 * through them with wrap-around. Owned by its parent (DeviceSignalsOutputWidget); GUI thread.
 */
class DOZEROZOZU_EXPORT DeviceSignalsConsole : public QWidget
{
    Q_OBJECT

public:
    DeviceSignalsConsole(DeviceManager& manager, QString device, QWidget* parent = nullptr);
    ~DeviceSignalsConsole() override;

    ConsoleWidget* getConsole() const { return console; }
    void setShowTimestamp(bool value);
    bool getShowTimestamp() const;
    /// The signal now subscribed to, and the console's own slot receiving it; empty when none.
    QString getCurrentSignal() const { return currentSignal; }
    QString getCurrentSlot() const { return currentSlot; }
    /// False while paused.
    bool isReceiving() const { return receiving; }
    /// The search position, "current/total".
    QString getMatchText() const;
    /// Shows the search row with text searched, as typing it would.
    void search(const QString& text);
    void findNext();
    void findPrevious();
    /// Flips between writing and pausing, as the pause button does.
    void togglePause();

public Q_SLOTS:
    void input(QString value);
    void input(QByteArray value);
    void input(bool value);
    void input();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private Q_SLOTS:
    void signalSelected(QString signal);
    void searchTextChanged(const QString& text);

private:
    void setMatch(int current, int total);

    DeviceManager* deviceManager;
    QString deviceName;
    QCheckBox* timestampCheckBox = nullptr;
    QLabel* matchLabel = nullptr;
    ConsoleWidget* console = nullptr;
    QString currentSignal;
    QString currentSlot;
    QSharedPointer<DeviceHandle> deviceHandle;
    LineEditWithKeyboard* findEdit = nullptr;
    QPushButton* searchButton = nullptr;
    QPushButton* pauseButton = nullptr;
    bool receiving = true;
    int currentMatch = 0;
    int totalMatches = 0;
};
