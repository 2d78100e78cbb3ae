#pragma once

#include "DoubleVec.h"
#include "SignalWindowStatistics.h"
#include "dozerozozu_export.h"

#include <QColor>
#include <QElapsedTimer>
#include <QPair>
#include <QPointF>
#include <QSharedPointer>
#include <QTimer>
#include <QVector>
#include <QWidget>

#include <functional>

class DeviceHandle;
class DeviceManager;
class QCPItemStraightLine;
class QCustomPlot;
class QGridLayout;
class QLabel;

/**
 * The live graph of one numeric signal of one device: a scrolling 30-second history of an
 * "(int)" or "(double)" signal with the latest value in large type and the window's minimum,
 * maximum and average beside it, or the whole content of a "(DoubleVec)" signal against its
 * element indices.
 *
 * The output panel (DeviceSignalsOutputWidget) owns it and switches it to a signal through
 * signalSelected(QString), which subscribes by signature text through the framework and drops
 * the earlier subscription; the subscription also ends when the graph or the device goes.
 * A scalar graph is redrawn only by its frame timer (33 ms), whatever the signal's rate, and
 * only while it is visible; the value labels follow at the same frames. The background turns
 * dark red when no value came for a second, and the next value starts a new pair of graphs so
 * that no line is drawn across the gap. GUI thread only.
 *
 * Tests and benchmarks set the clock (seconds since the epoch) and the two timer intervals,
 * and read what the graph shows through the queries below.
 */
class DOZEROZOZU_EXPORT DeviceSignalsGraph : public QWidget
{
    Q_OBJECT

public:
    /// Seconds since the Unix epoch, with a fraction.
    using Clock = std::function<double()>;

    DeviceSignalsGraph(DeviceManager& manager, QString deviceName, QWidget* parent = nullptr);
    ~DeviceSignalsGraph() override;

    /// Replaces the wall clock that stamps the values (and scrolls the time axis).
    void setClock(Clock clock);
    /// Time without values after which the background turns dark red (1000 ms by default).
    void setNoDataInterval(int milliseconds);
    /// Interval of the frame timer that scrolls and redraws a scalar graph (33 ms by default).
    void setReplotInterval(int milliseconds);

    QString getConnectedSignal() const { return connectedSignal; }
    /// Graphs on the plot; they come in pairs (marker, history), the last pair being current.
    int graphCount() const;
    /// The current history graph's points (time or index, value).
    QVector<QPointF> historyPoints() const;
    /// The current marker graph's points: the latest value alone.
    QVector<QPointF> markerPoints() const;
    QPair<double, double> timeAxisRange() const;
    QPair<double, double> valueAxisRange() const;
    /// The value at which the average line stands.
    double averageLineValue() const;
    QColor plotBackground() const;
    /// The texts of the labels: latest value, "Min: …", "Max: …", "Avg: …".
    QString valueLabelText() const;
    QString minLabelText() const;
    QString maxLabelText() const;
    QString avgLabelText() const;
    /// The scalar statistics of the 30-second window.
    const SignalWindowStatistics& statistics() const { return window; }
    /// The plot widget itself, for hosts and benchmarks that time its frames.
    QWidget* plotWidget() const;

public Q_SLOTS:
    void input(double value);
    void input(int value);
    void input(DoubleVec value);
    /// Scrolls the time axis to end now, brings the labels up to date and asks for a redraw.
    void updateGraph();

protected Q_SLOTS:
    /// Switches to signal of the device; one ending neither in "(int)", "(double)" nor "(DoubleVec)" leaves the graph empty.
    void signalSelected(QString signal);
    /// No value came for the no-data interval.
    void timeout();

protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private Q_SLOTS:
    void noDataTimerExpired();

private:
    double now() const;
    void reset();
    void setupGraphWidget();
    void setupGraphColors();
    void addGraphPair();
    void dropGraphsOutOfUse(double now);
    void updateLabels();
    /// The minimum, maximum and average labels, each after its translated caption.
    void setStatisticsTexts(const QString& minimum, const QString& maximum, const QString& average);
    void setBackgroundColour(const QColor& colour);
    void requestReplot();

    DeviceManager* deviceManager;
    QString deviceName;
    QCustomPlot* plot = nullptr;
    QCPItemStraightLine* averageLine = nullptr;
    QGridLayout* layout = nullptr;
    QLabel* valueLabel = nullptr;
    QLabel* minLabel = nullptr;
    QLabel* maxLabel = nullptr;
    QLabel* avgLabel = nullptr;
    SignalWindowStatistics window;
    QTimer noDataTimer;
    QTimer replotTimer;
    QString connectedSignal;
    QString connectedSlot;
    QSharedPointer<DeviceHandle> deviceHandle;

    Clock clock;
    int noDataInterval = 1000;
    // Values restart the no-data wait lazily: a timer restarted per value would cost more
    // than the value itself at high rates.
    QElapsedTimer sinceLastValue;
    double lastValueTime = 0;
    bool noDataSeen = true;
    double latestValue = 0;
    bool labelsOutdated = false;
    QColor backgroundColour;
};
