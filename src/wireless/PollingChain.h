#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QPointer>

class QTimer;

/**
 * One request-and-answer polling chain on an object in another thread: the method is
 * invoked by name, and each answer leads to the next request after a pause, so that a
 * manager that answers at once cannot drive the CPU to full load.
 *
 * At most one request is out at a time: a chain asked to request again while its last
 * request has no answer yet waits for that answer, so resuming never doubles a chain, and
 * answers the object sends to other listeners do not multiply it either. A request left
 * without answer for staleAfter ms no longer blocks a new one.
 *
 * Internal to the wireless widgets. Owned by its parent; GUI thread.
 */
class PollingChain : public QObject
{
    Q_OBJECT

public:
    PollingChain(QObject* target, const char* method, QObject* parent);

    /// Starts (a request at once unless one is out) or stops the chain; an answer already
    /// under way still arrives.
    void setRunning(bool running);
    bool isRunning() const;
    /// Time between an answer and the next request; 200 ms by default.
    void setPause(int milliseconds);
    int pause() const;

    /// Tells the chain an answer came; while it runs, the next request follows after the pause.
    void answered();

    static const int defaultPause = 200;
    static const int staleAfter = 30000;

private:
    void request();

    QPointer<QObject> target;
    QByteArray method;
    QTimer* nextRequest;
    QElapsedTimer sentAt;
    bool running = false;
    bool awaitingAnswer = false;
};
