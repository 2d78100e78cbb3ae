#include "QtWaitingSpinner.h"

#include <QPainter>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace {
const QColor defaultSpinnerColor(Qt::black);
}

QtWaitingSpinner::QtWaitingSpinner(QWidget* parent)
    : QWidget(parent)
    , spinnerColor(defaultSpinnerColor)
    , parentWidgetToCentreOn(parent)
    , centreOnParent(false)
{
    initialise();
}

QtWaitingSpinner::QtWaitingSpinner(Qt::WindowModality modality, QWidget* parent, bool centreOnParent)
    : QWidget(parent, Qt::Dialog | Qt::FramelessWindowHint)
    , spinnerColor(defaultSpinnerColor)
    , parentWidgetToCentreOn(parent)
    , centreOnParent(centreOnParent)
{
    initialise();
    setWindowModality(modality);
    setAttribute(Qt::WA_TranslucentBackground);
}

void QtWaitingSpinner::initialise()
{
    timer = new QTimer(this);
    connect(timer, SIGNAL(timeout()), this, SLOT(rotate()));
    updateSize();
    updateTimer();
    hide();
}

bool QtWaitingSpinner::isSpinning() const { return spinning; }
QColor QtWaitingSpinner::color() const { return spinnerColor; }
double QtWaitingSpinner::roundness() const { return spinnerRoundness; }
double QtWaitingSpinner::minimumTrailOpacity() const { return spinnerMinimumTrailOpacity; }
double QtWaitingSpinner::trailFadePercentage() const { return spinnerTrailFadePercentage; }
int QtWaitingSpinner::revolutionsPerSecond() const { return spinnerRevolutionsPerSecond; }
int QtWaitingSpinner::numberOfLines() const { return spinnerNumberOfLines; }
int QtWaitingSpinner::lineLength() const { return spinnerLineLength; }
int QtWaitingSpinner::lineWidth() const { return spinnerLineWidth; }
int QtWaitingSpinner::innerRadius() const { return spinnerInnerRadius; }

void QtWaitingSpinner::setColor(QColor color)
{
    spinnerColor = color;
}

void QtWaitingSpinner::setRoundness(double roundness)
{
    spinnerRoundness = std::max(0.0, std::min(100.0, roundness));
}

void QtWaitingSpinner::setMinimumTrailOpacity(double minimumTrailOpacity)
{
    spinnerMinimumTrailOpacity = minimumTrailOpacity;
}

void QtWaitingSpinner::setTrailFadePercentage(double trail)
{
    spinnerTrailFadePercentage = trail;
}

void QtWaitingSpinner::setRevolutionsPerSecond(int revolutionsPerSecond)
{
    spinnerRevolutionsPerSecond = std::max(0, revolutionsPerSecond);
    updateTimer();
}

void QtWaitingSpinner::setNumberOfLines(int lines)
{
    spinnerNumberOfLines = std::max(0, lines);
    currentCounter = 0;
    updateTimer();
}

void QtWaitingSpinner::setLineLength(int length)
{
    spinnerLineLength = length;
    updateSize();
}

void QtWaitingSpinner::setLineWidth(int width)
{
    spinnerLineWidth = width;
    updateSize();
}

void QtWaitingSpinner::setInnerRadius(int radius)
{
    spinnerInnerRadius = radius;
    updateSize();
}

void QtWaitingSpinner::updateSize()
{
    const int size = (spinnerInnerRadius + spinnerLineLength) * 2;
    setFixedSize(size, size);
}

// A zero interval would make the timer fire on every pass of the event loop, so a
// spinner without lines or speed simply stands still.
void QtWaitingSpinner::updateTimer()
{
    const int interval = calculateTimerInterval(spinnerNumberOfLines, spinnerRevolutionsPerSecond);
    timer->setInterval(interval);
    if (interval <= 0)
        timer->stop();
    else if (spinning && !timer->isActive())
        timer->start();
}

void QtWaitingSpinner::updatePosition()
{
    if (!parentWidgetToCentreOn || !centreOnParent)
        return;
    const QRect frame = parentWidgetToCentreOn->frameGeometry();
    move(frame.left() + (parentWidgetToCentreOn->width() - 1) / 2 - (width() - 1) / 2,
         frame.top() + (parentWidgetToCentreOn->height() - 1) / 2 - (height() - 1) / 2);
}

int QtWaitingSpinner::calculateTimerInterval(int lines, int speed)
{
    const int product = lines * speed;
    if (product <= 0)
        return 0;
    return std::max(1, 1000 / product);
}

int QtWaitingSpinner::lineCountDistanceFromPrimary(int current, int primary, int totalNrOfLines)
{
    int distance = primary - current;
    if (distance < 0)
        distance += totalNrOfLines;
    return distance;
}

QColor QtWaitingSpinner::currentLineColor(int distance, int totalNrOfLines, double trailFadePerc,
                                          double minOpacity, QColor color)
{
    if (distance == 0)
        return color;
    const double minimumAlpha = minOpacity / 100.0;
    const int threshold = static_cast<int>(std::ceil((totalNrOfLines - 1) * trailFadePerc / 100.0));
    // A fade setting of zero lines or less (or a negative one) leaves no trail to spread the
    // fading over; those lines take the minimum opacity instead of a division by zero.
    if (distance > threshold || threshold + 1 <= 0) {
        color.setAlphaF(std::max(0.0, std::min(1.0, minimumAlpha)));
        return color;
    }
    const double alphaDiff = color.alphaF() - minimumAlpha;
    const double gradient = alphaDiff / (threshold + 1);
    const double alpha = color.alphaF() - gradient * distance;
    color.setAlphaF(std::max(0.0, std::min(1.0, alpha)));
    return color;
}

void QtWaitingSpinner::start()
{
    updatePosition();
    spinning = true;
    show();
    if (!timer->isActive() && timer->interval() > 0) {
        timer->start();
        currentCounter = 0;
    }
}

void QtWaitingSpinner::stop()
{
    spinning = false;
    hide();
    if (timer->isActive()) {
        timer->stop();
        currentCounter = 0;
    }
}

void QtWaitingSpinner::rotate()
{
    ++currentCounter;
    if (currentCounter >= spinnerNumberOfLines)
        currentCounter = 0;
    update();
}

void QtWaitingSpinner::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::transparent);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(Qt::NoPen);

    if (currentCounter >= spinnerNumberOfLines)
        currentCounter = 0;

    const int centre = spinnerInnerRadius + spinnerLineLength;
    for (int i = 0; i < spinnerNumberOfLines; ++i) {
        painter.save();
        painter.translate(centre, centre);
        painter.rotate(360.0 * i / spinnerNumberOfLines);
        painter.translate(spinnerInnerRadius, 0);
        const int distance = lineCountDistanceFromPrimary(i, currentCounter, spinnerNumberOfLines);
        painter.setBrush(currentLineColor(distance, spinnerNumberOfLines, spinnerTrailFadePercentage,
                                          spinnerMinimumTrailOpacity, spinnerColor));
        painter.drawRoundedRect(QRect(0, -(spinnerLineWidth / 2), spinnerLineLength, spinnerLineWidth),
                                spinnerRoundness, spinnerRoundness, Qt::RelativeSize);
        painter.restore();
    }
}
