#include "PollingChain.h"

#include <QMetaObject>
#include <QTimer>

PollingChain::PollingChain(QObject* target, const char* method, QObject* parent)
    : QObject(parent)
    , target(target)
    , method(method)
    , nextRequest(new QTimer(this))
{
    nextRequest->setSingleShot(true);
    nextRequest->setInterval(defaultPause);
    connect(nextRequest, &QTimer::timeout, this, &PollingChain::request);
}

void PollingChain::setRunning(bool run)
{
    running = run;
    if (!running) {
        nextRequest->stop();
        return;
    }
    // A resume asks at once, even when the pause after the last answer has not run out.
    nextRequest->stop();
    request();
}

bool PollingChain::isRunning() const
{
    return running;
}

void PollingChain::setPause(int milliseconds)
{
    nextRequest->setInterval(qMax(0, milliseconds));
}

int PollingChain::pause() const
{
    return nextRequest->interval();
}

void PollingChain::answered()
{
    awaitingAnswer = false;
    if (running && !nextRequest->isActive())
        nextRequest->start();
}

void PollingChain::request()
{
    if (!running || !target)
        return;
    if (awaitingAnswer && !sentAt.hasExpired(staleAfter))
        return;
    awaitingAnswer = true;
    sentAt.start();
    QMetaObject::invokeMethod(target, method.constData());
}
