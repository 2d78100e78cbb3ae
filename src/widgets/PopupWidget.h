#pragma once

#include "dozerozozu_export.h"

#include <QPoint>
#include <QWidget>

/**
 * A frameless popup window for touch panels: it hides itself when the user presses
 * or touches anywhere outside it (the press still reaches its target) and when the
 * application is deactivated, and it can be dragged with the left button.
 *
 * Owned by its parent like any widget; GUI thread only. Subclasses add painting and
 * content. The popup watches the whole application through an event filter for as
 * long as it lives.
 */
class DOZEROZOZU_EXPORT PopupWidget : public QWidget
{
    Q_OBJECT

public:
    explicit PopupWidget(QWidget* parent = nullptr);

    bool eventFilter(QObject* watched, QEvent* event) override;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool holdsPressTarget(QObject* target) const;

    QPoint dragPosition;
};

/// True when some widget below widget (depth first) is visible and under the mouse.
DOZEROZOZU_EXPORT bool childrenUnderCursor(QWidget* widget);
