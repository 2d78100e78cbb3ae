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
 * No signal may end the process before one is made or after it went, which would leave the
 * graph's lock and the run's folder behind: main() calls holdBack() first, so that a signal
 * that comes meanwhile waits for the QuitSignals to take it up, and one that comes after it
 * went changes nothing.
 *
 * One at a time per process; it puts back the handlers it replaced, and holds the signals back
 * in its thread as it found them, when it goes. The socket pair stays open for the life of the
 * process, as a handler may still be running in another thread then. When the socket pair
 * cannot be made it says so in the log and lets the signals end the process as they do by
 * default. GUI thread.
 *
 *     QuitSignals::holdBack();
 *     QApplication app(argc, argv);
 *     QuitSignals quitSignals;
 *     QObject::connect(&quitSignals, &QuitSignals::received, &app, &DemoQuit::endOnSignal);
 */
class QuitSignals : public QObject
{
    Q_OBJECT

public:
    /**
     * Holds the three signals back from the calling thread, and so from every thread it makes
     * from then on, and has one that reaches another thread do nothing. Called while the
     * process has no other thread, first thing in main().
     */
    static void holdBack();

    /// Takes the signals up in the calling thread; those held back until now come at once.
    explicit QuitSignals(QObject* parent = nullptr);
    ~QuitSignals() override;

Q_SIGNALS:
    /// The first of the signals came (its number); those after it are read and change nothing.
    void received(int signalNumber);

private:
    void readSignals();

    QSocketNotifier* m_notifier = nullptr;
    bool m_received = false;
    /// Which of the signals the thread held back when this was made, bit by signal number.
    unsigned m_heldBackBefore = 0;
};
