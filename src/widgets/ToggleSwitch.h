#pragma once

#include "dozerozozu_export.h"

#include <QAbstractButton>
#include <QBrush>

class QPropertyAnimation;

/**
 * An on/off switch with a thumb that slides over a rounded track.
 *
 * The button is not checkable: a left click or setToggled() changes the state, animates
 * the thumb over 120 ms and emits toggled(bool), which comes from nowhere else.
 * Owned by its parent; GUI thread only.
 */
class DOZEROZOZU_EXPORT ToggleSwitch : public QAbstractButton
{
    Q_OBJECT
    /// The thumb's horizontal centre; driven by the animation.
    Q_PROPERTY(int offset READ offset WRITE setOffset)
    /// The brush of the track and thumb while switched on.
    Q_PROPERTY(QBrush brush READ brush WRITE setBrush)

public:
    explicit ToggleSwitch(QWidget* parent = nullptr);

    QSize sizeHint() const override;

    int offset() const;
    void setOffset(int offset);
    QBrush brush() const;
    void setBrush(const QBrush& brush);

    /// Switches on or off with animation and emits toggled(bool) with the new state.
    void setToggled(bool on);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEvent* event) override;

private:
    bool switched = false;
    int thumbX;
    int thumbY;
    int nominalHeight;
    int margin = 3;
    QBrush thumbBrush;
    QBrush onBrush;
    QPropertyAnimation* animation;
};
