#pragma once

#include "dozerozozu_export.h"

#include <QString>

#include <deque>

/**
 * The numbers behind the signal graph: the values of the last windowSeconds seconds with
 * their minimum, maximum, sum and count, the value-axis range they ask for, and the text of
 * a value with a unit prefix.
 *
 * A plain value object without widgets, so tests and benchmarks drive it directly. Adding a
 * value drops every entry that has left the window; the minimum and maximum follow in
 * constant time per value (monotonic queues), however large the window. Values that are not
 * finite (±inf, NaN) are refused: they would poison the sum and never leave the prefix loop.
 * GUI thread (no lock).
 *
 *     SignalWindowStatistics window;
 *     window.add(now, 12.5);
 *     axis->setRange(window.lowerBound(), window.upperBound());
 *     label->setText(SignalWindowStatistics::valueText(12.5, window.minimum(), window.maximum(), window.count()));
 */
class DOZEROZOZU_EXPORT SignalWindowStatistics
{
public:
    explicit SignalWindowStatistics(double windowSeconds = 30.0);

    /// Forgets every value: minimum the largest double, maximum its negative, sum and count 0.
    void reset();
    /**
     * Adds value, arrived at now (seconds), and drops the entries older than now minus the
     * window. Then the value-axis range is worked out for this value. False, and nothing
     * changed, when value is not finite.
     */
    bool add(double now, double value);

    double windowSeconds() const { return window; }
    int count() const { return int(entries.size()); }
    double minimum() const;
    double maximum() const;
    double sum() const { return double(total); }
    /// sum / count; NaN while empty.
    double average() const;
    /// The value-axis range set after the latest value (largest double and its negative before any).
    double lowerBound() const { return lower; }
    double upperBound() const { return upper; }
    /// Time of the oldest entry still in the window; 0 while empty.
    double oldestTime() const;

    /**
     * The value as the graph's big label shows it: scaled into 0.001 … 1000 with the prefix of
     * that scale ("p", "n", "µ", "m", "K", "M", "G", "T"), with as many decimals as the window's
     * spread per value (|maximum − minimum| / count) needs, and without a prefix when those
     * decimals would show the unscaled digits anyway. Scaling stops at the ends of the prefix
     * table and at most 16 decimals are shown; a value that is not finite gives "nan", "inf" or
     * "-inf".
     */
    static QString valueText(double value, double minimum, double maximum, int count);
    /// The prefix of a power of ten that is a multiple of 3 between -12 and 12; empty otherwise.
    static QString prefix(int exponent);

private:
    struct Entry
    {
        double time;
        double value;
        quint64 sequence;
    };

    void dropBefore(double time);

    double window;
    std::deque<Entry> entries;
    // Candidates for the minimum (values rising) and the maximum (values falling), oldest first.
    std::deque<Entry> minimumCandidates;
    std::deque<Entry> maximumCandidates;
    long double total = 0;
    quint64 nextSequence = 0;
    double lower;
    double upper;
};
