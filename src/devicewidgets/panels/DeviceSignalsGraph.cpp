#include "DeviceSignalsGraph.h"

#include "DeviceHandle.h"
#include "DeviceManager.h"
#include "DeviceProxy.h"

#include <QDateTime>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>

#include <cmath>

// QCustomPlot's header spells Qt's keywords out ("signals", "foreach"), which this library
// switches off because the framework's DeviceInfo has members of those names: they are lent
// to the header while it is read. Public headers never include it; hosts do not get its path.
#define signals Q_SIGNALS
#define slots Q_SLOTS
#define foreach Q_FOREACH
#include <qcustomplot.h>
#undef signals
#undef slots
#undef foreach

namespace {

const double windowSeconds = 30.0;
const QColor noDataColour(77, 14, 15);
const QColor averageColour(51, 181, 229);

QString statisticText(double value)
{
    return QStringLiteral("<b>%0</b>").arg(QString::number(value, 'g', 5));
}

/**
 * The history graph, filled down to the zero line one pixel column at a time.
 *
 * The plain graph fills the polygon of its line. A signal that swings many times across the
 * plot's width makes that polygon a comb of hundreds of teeth, and an antialiased comb takes
 * the raster engine some 50 ms to fill, whatever is done to the polygon; at 10,000 values per
 * second that was nearly all of a core. Here each pixel column is filled from the zero line to
 * the farthest point the line reaches in it, which is the area the polygon covers, as one
 * plain rectangle; where values are sparser than pixels the rectangles follow the line to the
 * pixel, and the antialiased line drawn on top hides their edge.
 */
class HistoryGraph : public QCPGraph
{
public:
    using QCPGraph::QCPGraph;

protected:
    void drawFill(QCPPainter* painter, QVector<QPointF>* lines) const override
    {
        if (keyAxis()->orientation() != Qt::Horizontal) {
            QCPGraph::drawFill(painter, lines);
            return;
        }
        if (!lines || lines->size() < 2 || painter->brush().style() == Qt::NoBrush
            || painter->brush().color().alpha() == 0)
            return;
        const QVector<QRect> columns = columnRects(*lines);
        painter->save();
        painter->setAntialiasing(false);
        painter->setPen(Qt::NoPen);
        painter->drawRects(columns);
        painter->restore();
    }

private:
    struct Span
    {
        double top = qInf();
        double bottom = -qInf();
    };

    QVector<QRect> columnRects(const QVector<QPointF>& lines) const
    {
        const QRect area = keyAxis()->axisRect()->rect();
        // Pixels outside the plot are clipped anyway; a point far off it must not make columns.
        const int first = area.left() - 1;
        const int last = area.right() + 1;
        const double base = getFillBasePoint(lines.first()).y();
        QVector<Span> spans(last - first + 1);
        for (int i = 1; i < lines.size(); ++i)
            addSegment(lines.at(i - 1), lines.at(i), base, first, last, spans);

        QVector<QRect> rects;
        rects.reserve(spans.size());
        for (int i = 0; i < spans.size(); ++i) {
            const Span& span = spans.at(i);
            if (span.top > span.bottom)
                continue;
            const int top = qRound(span.top);
            const int bottom = qRound(span.bottom);
            if (bottom > top)
                rects.append(QRect(first + i, top, 1, bottom - top));
        }
        return rects;
    }

    /// Widens the spans of the columns the segment from one point to the next passes through.
    static void addSegment(const QPointF& from, const QPointF& to, double base, int first, int last,
                           QVector<Span>& spans)
    {
        if (qIsNaN(from.x()) || qIsNaN(from.y()) || qIsNaN(to.x()) || qIsNaN(to.y()))
            return;
        const double left = qMax(qMin(from.x(), to.x()), double(first));
        const double right = qMin(qMax(from.x(), to.x()), double(last) + 0.999);
        if (left > right)
            return;
        const bool vertical = qFuzzyCompare(from.x(), to.x());
        const double slope = vertical ? 0.0 : (to.y() - from.y()) / (to.x() - from.x());
        for (int column = qFloor(left); column <= qFloor(right); ++column) {
            double high = qMax(from.y(), to.y());
            double low = qMin(from.y(), to.y());
            if (!vertical) {
                const double enter = from.y() + slope * (qMax(left, double(column)) - from.x());
                const double leave = from.y() + slope * (qMin(right, double(column + 1)) - from.x());
                low = qMin(enter, leave);
                high = qMax(enter, leave);
            }
            Span& span = spans[column - first];
            span.top = qMin(span.top, qMin(low, base));
            span.bottom = qMax(span.bottom, qMax(high, base));
        }
    }
};

QVector<QPointF> pointsOf(const QCPGraph* graph)
{
    QVector<QPointF> points;
    if (!graph)
        return points;
    points.reserve(graph->data()->size());
    for (auto it = graph->data()->constBegin(); it != graph->data()->constEnd(); ++it)
        points.append(QPointF(it->key, it->value));
    return points;
}

} // namespace

DeviceSignalsGraph::DeviceSignalsGraph(DeviceManager& manager, QString deviceName, QWidget* parent)
    : QWidget(parent)
    , deviceManager(&manager)
    , deviceName(deviceName)
    , window(windowSeconds)
    , clock([] { return QDateTime::currentMSecsSinceEpoch() / 1000.0; })
{
    replotTimer.setInterval(33);
    connect(&replotTimer, SIGNAL(timeout()), this, SLOT(updateGraph()));
    replotTimer.start();
    deviceHandle = deviceManager->getDeviceHandle(deviceName);
    noDataTimer.setSingleShot(true);
    noDataTimer.setInterval(noDataInterval);
    connect(&noDataTimer, SIGNAL(timeout()), this, SLOT(noDataTimerExpired()));

    valueLabel = new QLabel(QStringLiteral("-"), this);
    minLabel = new QLabel(this);
    maxLabel = new QLabel(this);
    avgLabel = new QLabel(this);
    setStatisticsTexts(QStringLiteral("-"), QStringLiteral("-"), QStringLiteral("-"));
    setupGraphWidget();

    QFont bigFont = font();
    bigFont.setPixelSize(30);
    valueLabel->setFont(bigFont);
    valueLabel->setAlignment(Qt::AlignCenter);
    QFont smallFont = font();
    smallFont.setPixelSize(10);
    for (QLabel* label : {minLabel, maxLabel, avgLabel}) {
        label->setFont(smallFont);
        label->setAlignment(Qt::AlignCenter);
    }

    layout = new QGridLayout(this);
    layout->setContentsMargins(0, 20, 0, 0);
    layout->addWidget(plot, 0, 0, 1, 2);
    layout->addWidget(valueLabel, 1, 0, 3, 1, Qt::AlignRight | Qt::AlignVCenter);
    layout->addWidget(maxLabel, 1, 1, Qt::AlignCenter);
    layout->addWidget(avgLabel, 2, 1, Qt::AlignCenter);
    layout->addWidget(minLabel, 3, 1, Qt::AlignCenter);
    layout->setColumnStretch(0, 3);
    layout->setColumnStretch(1, 1);
    layout->setRowStretch(0, 100);
    for (int row = 1; row <= 3; ++row)
        layout->setRowStretch(row, 1);
}

DeviceSignalsGraph::~DeviceSignalsGraph() = default;

void DeviceSignalsGraph::setClock(Clock newClock)
{
    if (newClock)
        clock = std::move(newClock);
}

void DeviceSignalsGraph::setNoDataInterval(int milliseconds)
{
    noDataInterval = qMax(1, milliseconds);
    noDataTimer.setInterval(noDataInterval);
}

void DeviceSignalsGraph::setReplotInterval(int milliseconds)
{
    replotTimer.setInterval(qMax(1, milliseconds));
}

double DeviceSignalsGraph::now() const
{
    return clock();
}

int DeviceSignalsGraph::graphCount() const
{
    return plot->graphCount();
}

QVector<QPointF> DeviceSignalsGraph::historyPoints() const
{
    return pointsOf(plot->graphCount() > 0 ? plot->graph(plot->graphCount() - 1) : nullptr);
}

QVector<QPointF> DeviceSignalsGraph::markerPoints() const
{
    return pointsOf(plot->graphCount() > 1 ? plot->graph(plot->graphCount() - 2) : nullptr);
}

QPair<double, double> DeviceSignalsGraph::timeAxisRange() const
{
    return qMakePair(plot->xAxis->range().lower, plot->xAxis->range().upper);
}

QPair<double, double> DeviceSignalsGraph::valueAxisRange() const
{
    return qMakePair(plot->yAxis->range().lower, plot->yAxis->range().upper);
}

double DeviceSignalsGraph::averageLineValue() const
{
    return averageLine->point1->value();
}

QColor DeviceSignalsGraph::plotBackground() const
{
    return backgroundColour;
}

QString DeviceSignalsGraph::valueLabelText() const
{
    return valueLabel->text();
}

QString DeviceSignalsGraph::minLabelText() const
{
    return minLabel->text();
}

QString DeviceSignalsGraph::maxLabelText() const
{
    return maxLabel->text();
}

QString DeviceSignalsGraph::avgLabelText() const
{
    return avgLabel->text();
}

QWidget* DeviceSignalsGraph::plotWidget() const
{
    return plot;
}

void DeviceSignalsGraph::signalSelected(QString signal)
{
    reset();
    if (!connectedSignal.isEmpty() && deviceHandle && deviceHandle->getObject())
        DeviceProxy::disconnect(deviceHandle->getObject(), connectedSignal, this, connectedSlot);
    replotTimer.start();

    QString slot;
    if (signal.endsWith(QLatin1String("(int)"))) {
        slot = QStringLiteral("input(int)");
    } else if (signal.endsWith(QLatin1String("(double)"))) {
        slot = QStringLiteral("input(double)");
    } else if (signal.endsWith(QLatin1String("(DoubleVec)"))) {
        slot = QStringLiteral("input(DoubleVec)");
        // A vector is shown whole, not scrolled.
        replotTimer.stop();
    } else {
        connectedSignal.clear();
        connectedSlot.clear();
        replotTimer.stop();
        return;
    }
    connectedSignal = signal;
    connectedSlot = slot;

    if (deviceHandle && deviceHandle->getObject())
        DeviceProxy::connect(deviceHandle->getObject(), connectedSignal, this, connectedSlot);
    lastValueTime = now();
    noDataSeen = false;
    sinceLastValue.start();
    noDataTimer.start(noDataInterval);
}

void DeviceSignalsGraph::input(double value)
{
    if (!std::isfinite(value)) {
        // Shown as what it is, but neither plotted nor counted.
        latestValue = value;
        labelsOutdated = true;
        return;
    }
    const double time = now();
    const bool gap = noDataSeen || (time - lastValueTime) * 1000.0 >= noDataInterval;
    if (gap)
        addGraphPair();
    dropGraphsOutOfUse(time);

    setBackgroundColour(palette().color(QPalette::Current, QPalette::Base));
    lastValueTime = time;
    noDataSeen = false;
    sinceLastValue.start();
    if (!noDataTimer.isActive())
        noDataTimer.start(noDataInterval);

    window.add(time, value);
    plot->xAxis->setRange(time - windowSeconds, time);
    plot->yAxis->setRange(window.lowerBound(), window.upperBound());

    const double average = window.average();
    averageLine->point1->setCoords(time - windowSeconds, average);
    averageLine->point2->setCoords(time, average);

    QCPGraph* history = plot->graph(plot->graphCount() - 1);
    QCPGraph* marker = plot->graph(plot->graphCount() - 2);
    history->data()->removeBefore(time - windowSeconds);
    history->addData(time, value);
    marker->data()->clear();
    marker->addData(time, value);

    latestValue = value;
    labelsOutdated = true;
}

void DeviceSignalsGraph::input(int value)
{
    input(double(value));
}

void DeviceSignalsGraph::input(DoubleVec vector)
{
    setBackgroundColour(palette().color(QPalette::Current, QPalette::Base));
    noDataSeen = false;
    sinceLastValue.start();
    if (!noDataTimer.isActive())
        noDataTimer.start(noDataInterval);

    const QVector<double> elements = vector.values();
    QVector<double> keys(elements.size());
    QVector<double> values(elements.size());
    double minimum = 0;
    double maximum = 0;
    long double total = 0;
    int finite = 0;
    for (int i = 0; i < elements.size(); ++i) {
        const double element = elements.at(i);
        keys[i] = i;
        // A gap in the line instead of an axis stretched to infinity.
        values[i] = std::isfinite(element) ? element : qQNaN();
        if (!std::isfinite(element))
            continue;
        minimum = finite == 0 ? element : qMin(minimum, element);
        maximum = finite == 0 ? element : qMax(maximum, element);
        total += element;
        ++finite;
    }
    plot->graph(plot->graphCount() - 1)->setData(keys, values, true);

    if (finite == 0) {
        setStatisticsTexts(QStringLiteral("-"), QStringLiteral("-"), QStringLiteral("-"));
    } else {
        plot->yAxis->setRange(minimum * (minimum > 0 ? 0.8 : 1.25), maximum * (maximum > 0 ? 1.25 : 0.8));
        plot->xAxis->setRange(0, elements.size() - 1);
        setStatisticsTexts(statisticText(minimum), statisticText(maximum), statisticText(double(total / finite)));
    }
    requestReplot();
}

void DeviceSignalsGraph::updateGraph()
{
    const double time = now();
    plot->xAxis->setRange(time - windowSeconds, time);
    updateLabels();
    requestReplot();
}

void DeviceSignalsGraph::timeout()
{
    setBackgroundColour(noDataColour);
    requestReplot();
}

void DeviceSignalsGraph::noDataTimerExpired()
{
    const qint64 remaining = sinceLastValue.isValid() ? noDataInterval - sinceLastValue.elapsed() : 0;
    if (remaining > 0) {
        noDataTimer.start(int(remaining));
        return;
    }
    noDataSeen = true;
    timeout();
}

void DeviceSignalsGraph::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::PaletteChange)
        setupGraphColors();
    QWidget::changeEvent(event);
}

void DeviceSignalsGraph::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // Frames are skipped while hidden.
    updateLabels();
    plot->replot(QCustomPlot::rpQueuedReplot);
}

void DeviceSignalsGraph::reset()
{
    window.reset();
    while (plot->graphCount() > 2)
        plot->removeGraph(0);
    for (int i = 0; i < plot->graphCount(); ++i)
        plot->graph(i)->data()->clear();
    plot->yAxis->setRange(0, 1);
    setBackgroundColour(palette().color(QPalette::Current, QPalette::Base));
    labelsOutdated = false;
    updateGraph();
    valueLabel->setText(QStringLiteral("-"));
    setStatisticsTexts(QStringLiteral("-"), QStringLiteral("-"), QStringLiteral("-"));
}

void DeviceSignalsGraph::setupGraphWidget()
{
    plot = new QCustomPlot(this);
    plot->setAntialiasedElements(QCP::aeAll);
    setBackgroundColour(palette().color(QPalette::Current, QPalette::Base));
    addGraphPair();
    plot->xAxis->setTicks(false);
    plot->yAxis->setNumberFormat(QStringLiteral("g"));
    plot->yAxis->setNumberPrecision(4);
    plot->setMinimumSize(100, 100);
    plot->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    averageLine = new QCPItemStraightLine(plot);
    averageLine->point1->setCoords(0, 0);
    averageLine->point2->setCoords(0, 0);
    setupGraphColors();
}

void DeviceSignalsGraph::addGraphPair()
{
    const QColor highlight = palette().color(QPalette::Current, QPalette::Highlight);
    QCPGraph* marker = plot->addGraph();
    marker->setPen(QPen(highlight));
    marker->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssDisc, 5));
    QCPGraph* history = new HistoryGraph(plot->xAxis, plot->yAxis);
    QColor fill = highlight;
    fill.setAlpha(128);
    history->setBrush(QBrush(fill));
    history->setPen(QPen(highlight));
}

void DeviceSignalsGraph::setupGraphColors()
{
    const QColor highlight = palette().color(QPalette::Current, QPalette::Highlight);
    const QColor text = palette().color(QPalette::Current, QPalette::Text);
    QColor fill = highlight;
    fill.setAlpha(128);
    for (int i = 0; i + 1 < plot->graphCount(); i += 2) {
        plot->graph(i)->setPen(QPen(highlight));
        plot->graph(i + 1)->setPen(QPen(highlight));
        plot->graph(i + 1)->setBrush(QBrush(fill));
    }
    const QPen axisPen(text, 1.0, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
    for (QCPAxis* axis : {plot->xAxis, plot->yAxis}) {
        axis->setLabelColor(text);
        axis->setTickLabelColor(text);
        axis->setBasePen(axisPen);
        axis->setTickPen(axisPen);
        axis->setSubTickPen(axisPen);
        axis->grid()->setPen(QPen(text, 1.0, Qt::DotLine));
    }
    averageLine->setPen(QPen(averageColour, 1.0));
    if (backgroundColour != noDataColour)
        setBackgroundColour(palette().color(QPalette::Current, QPalette::Base));
    requestReplot();
}

void DeviceSignalsGraph::dropGraphsOutOfUse(double time)
{
    // The current pair (the last two graphs) always stays: the value goes there next.
    for (int i = plot->graphCount() - 3; i >= 0; --i) {
        const QCPGraph* graph = plot->graph(i);
        const bool empty = graph->data()->isEmpty();
        if (empty || (graph->data()->constEnd() - 1)->key < time - windowSeconds)
            plot->removeGraph(i);
    }
}

void DeviceSignalsGraph::updateLabels()
{
    if (!labelsOutdated)
        return;
    labelsOutdated = false;
    valueLabel->setText(QStringLiteral("<b>%0</b>").arg(
        SignalWindowStatistics::valueText(latestValue, window.minimum(), window.maximum(), window.count())));
    if (window.count() == 0)
        return;
    setStatisticsTexts(statisticText(window.minimum()), statisticText(window.maximum()),
                       statisticText(window.average()));
}

void DeviceSignalsGraph::setStatisticsTexts(const QString& minimum, const QString& maximum, const QString& average)
{
    minLabel->setText(tr("Min: ") + minimum);
    maxLabel->setText(tr("Max: ") + maximum);
    avgLabel->setText(tr("Avg: ") + average);
}

void DeviceSignalsGraph::setBackgroundColour(const QColor& colour)
{
    if (colour == backgroundColour)
        return;
    backgroundColour = colour;
    plot->setBackground(QBrush(colour));
}

void DeviceSignalsGraph::requestReplot()
{
    if (isVisible())
        plot->replot(QCustomPlot::rpQueuedReplot);
}
