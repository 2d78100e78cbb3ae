#pragma once

#include <QObject>

class QSocketNotifier;

/**
 * Hears SIGTERM, SIGINT and SIGHUP for the GUI thread while it lives, so that the demo can end
 * as its "Quit" does rather than die with its files half kept. A signal handler may do next to
 * nothing: it writes the signal's number into one end of a socket pair (write() is safe in a
 * handler), and a QSocketNotifier on the other end emits received() from the event loop. A
 * signal that comes before the event loop runs is heard once it does.
 *
 * One at a time per process; it puts back the handlers it replaced when it goes. When the
 * socket pair cannot be made it says so in the log and leaves the signals as they were. GUI
 * thread.
 *
 *     QuitSignals quitSignals;
 *     QObject::connect(&quitSignals, &QuitSignals::received, &app, [] { DemoQuit::quit(); });
 */
class QuitSignals : public QObject
{
    Q_OBJECT

public:
    explicit QuitSignals(QObject* parent = nullptr);
    ~QuitSignals() override;

Q_SIGNALS:
    /// One of the signals came (its number), once however many came since the last time.
    void received(int signalNumber);

private:
    void readSignals();

    QSocketNotifier* m_notifier = nullptr;
};
