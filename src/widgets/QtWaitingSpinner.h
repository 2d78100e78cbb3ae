#pragma once

#include "dozerozozu_export.h"

#include <QColor>
#include <QWidget>

class QTimer;

/**
 * A busy indicator: a ring of rounded lines, the leading one drawn in the full colour
 * and the ones behind it fading out, turning while the spinner runs.
 *
 * Either a child widget (the first constructor) or a separate frameless window that
 * can centre itself on its parent (the second). Hidden until start(), hidden again by
 * stop(). Owned by its parent; GUI thread only.
 *
 *     auto spinner = new QtWaitingSpinner(listView);
 *     spinner->start();
 */
class DOZEROZOZU_EXPORT QtWaitingSpinner : public QWidget
{
    Q_OBJECT

public:
    explicit QtWaitingSpinner(QWidget* parent = nullptr);
    QtWaitingSpinner(Qt::WindowModality modality, QWidget* parent = nullptr, bool centreOnParent = true);

    bool isSpinning() const;

    QColor color() const;
    double roundness() const;
    double minimumTrailOpacity() const;
    double trailFadePercentage() const;
    int revolutionsPerSecond() const;
    int numberOfLines() const;
    int lineLength() const;
    int lineWidth() const;
    int innerRadius() const;

    // None of the setters repaints: a new look shows at the next tick.
    void setColor(QColor color);
    /// Clamped to 0..100.
    void setRoundness(double roundness);
    void setMinimumTrailOpacity(double minimumTrailOpacity);
    void setTrailFadePercentage(double trail);
    /// Negative speeds count as 0, which keeps the spinner still.
    void setRevolutionsPerSecond(int revolutionsPerSecond);
    /// Negative counts are taken as 0, which draws nothing. Restarts the trail at line 0.
    void setNumberOfLines(int lines);
    void setLineLength(int length);
    void setLineWidth(int width);
    void setInnerRadius(int radius);

    void initialise();
    void updateSize();
    void updateTimer();
    void updatePosition();

    /// Milliseconds between two steps: 1000 / (lines × speed), at least 1; 0 when either is 0.
    static int calculateTimerInterval(int lines, int speed);
    static int lineCountDistanceFromPrimary(int current, int primary, int totalNrOfLines);
    static QColor currentLineColor(int distance, int totalNrOfLines, double trailFadePerc,
                                   double minOpacity, QColor color);

public Q_SLOTS:
    void start();
    void stop();

protected:
    void paintEvent(QPaintEvent* event) override;

private Q_SLOTS:
    void rotate();

private:
    QColor spinnerColor;
    double spinnerRoundness = 70.0;
    double spinnerMinimumTrailOpacity = 15.0;
    double spinnerTrailFadePercentage = 70.0;
    int spinnerRevolutionsPerSecond = 1;
    int spinnerNumberOfLines = 12;
    int spinnerLineLength = 15;
    int spinnerLineWidth = 5;
    int spinnerInnerRadius = 10;
    QTimer* timer = nullptr;
    QWidget* parentWidgetToCentreOn;
    bool centreOnParent;
    int currentCounter = 0;
    bool spinning = false;
};
