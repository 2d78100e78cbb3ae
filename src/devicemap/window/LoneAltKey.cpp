#include "LoneAltKey.h"

#include <QCoreApplication>
#include <QKeyEvent>

LoneAltKey::LoneAltKey(QObject* parent)
    : QObject(parent)
{
}

LoneAltKey::~LoneAltKey()
{
    stopWatching();
}

void LoneAltKey::keyPressed(const QKeyEvent* event)
{
    if (event->key() != Qt::Key_Alt) {
        stopWatching();
        return;
    }
    // Held down, Alt repeats its press: that changes nothing.
    if (event->isAutoRepeat())
        return;
    // The press of Alt itself may or may not carry the Alt modifier, by platform.
    const Qt::KeyboardModifiers others = event->modifiers() & ~(Qt::AltModifier | Qt::KeypadModifier);
    if (others == Qt::NoModifier)
        startWatching();
    else
        stopWatching();
}

bool LoneAltKey::releasedAlone(const QKeyEvent* event)
{
    if (event->key() != Qt::Key_Alt || event->isAutoRepeat())
        return false;
    const bool alone = altAlone;
    stopWatching();
    return alone;
}

bool LoneAltKey::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
        if (static_cast<QKeyEvent*>(event)->key() != Qt::Key_Alt)
            stopWatching();
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::TouchBegin:
    case QEvent::WindowDeactivate:
    case QEvent::ApplicationDeactivate:
        stopWatching();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void LoneAltKey::startWatching()
{
    if (!altAlone && QCoreApplication::instance())
        QCoreApplication::instance()->installEventFilter(this);
    altAlone = true;
}

void LoneAltKey::stopWatching()
{
    if (altAlone && QCoreApplication::instance())
        QCoreApplication::instance()->removeEventFilter(this);
    altAlone = false;
}
