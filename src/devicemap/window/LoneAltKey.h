#pragma once

#include "dozerozozu_export.h"

#include <QObject>

class QKeyEvent;

/**
 * Tells an Alt key pressed and released alone from Alt held for something else: a wheel turn
 * (Alt + wheel scrolls sideways), a click, a touch or another key between the press and the
 * release make it no lone Alt, and so does the window losing activation meanwhile.
 *
 * The window hands it the key presses and releases that reach it; while Alt is held it
 * watches the application's events. Owned by its parent; GUI thread only.
 *
 *     void Window::keyPressEvent(QKeyEvent* event) { loneAlt->keyPressed(event); ... }
 *     void Window::keyReleaseEvent(QKeyEvent* event)
 *     {
 *         if (loneAlt->releasedAlone(event))
 *             menuBar()->setVisible(menuBar()->isHidden());
 *     }
 */
class DOZEROZOZU_EXPORT LoneAltKey : public QObject
{
    Q_OBJECT

public:
    explicit LoneAltKey(QObject* parent = nullptr);
    ~LoneAltKey() override;

    /// A press of Alt, without other modifiers, starts a possible lone Alt; any other key ends it.
    void keyPressed(const QKeyEvent* event);
    /// True when event releases an Alt that was pressed and released alone.
    bool releasedAlone(const QKeyEvent* event);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void startWatching();
    void stopWatching();

    bool altAlone = false;
};
