#include "SignalWindowStatistics.h"

#include <QtMath>

#include <cfloat>
#include <cmath>
#include <limits>

namespace {

// Beyond the prefix table a value would be shown scaled but without its prefix.
const int smallestExponent = -12;
const int largestExponent = 12;
// A double holds no more significant decimals than these.
const int mostDecimals = 16;

} // namespace

SignalWindowStatistics::SignalWindowStatistics(double windowSeconds)
    : window(windowSeconds)
{
    reset();
}

void SignalWindowStatistics::reset()
{
    entries.clear();
    minimumCandidates.clear();
    maximumCandidates.clear();
    total = 0;
    lower = std::numeric_limits<double>::max();
    upper = -std::numeric_limits<double>::max();
}

double SignalWindowStatistics::minimum() const
{
    return minimumCandidates.empty() ? std::numeric_limits<double>::max() : minimumCandidates.front().value;
}

double SignalWindowStatistics::maximum() const
{
    return maximumCandidates.empty() ? -std::numeric_limits<double>::max() : maximumCandidates.front().value;
}

double SignalWindowStatistics::average() const
{
    if (entries.empty())
        return std::numeric_limits<double>::quiet_NaN();
    return double(total / (long double)entries.size());
}

double SignalWindowStatistics::oldestTime() const
{
    return entries.empty() ? 0.0 : entries.front().time;
}

bool SignalWindowStatistics::add(double now, double value)
{
    if (!std::isfinite(value))
        return false;
    const Entry entry{now, value, nextSequence++};
    entries.push_back(entry);
    total += value;
    // A candidate that a newer, smaller (larger) value outlives can never be the minimum (maximum) again.
    while (!minimumCandidates.empty() && minimumCandidates.back().value >= value)
        minimumCandidates.pop_back();
    minimumCandidates.push_back(entry);
    while (!maximumCandidates.empty() && maximumCandidates.back().value <= value)
        maximumCandidates.pop_back();
    maximumCandidates.push_back(entry);

    dropBefore(now - window);

    double span = std::fabs(maximum() - minimum());
    if (span < double(FLT_EPSILON))
        span = value * 0.5;
    lower = minimum() - 0.3 * span;
    upper = maximum() + 0.3 * span;
    return true;
}

void SignalWindowStatistics::dropBefore(double time)
{
    while (!entries.empty() && entries.front().time < time) {
        const Entry& oldest = entries.front();
        total -= oldest.value;
        if (!minimumCandidates.empty() && minimumCandidates.front().sequence == oldest.sequence)
            minimumCandidates.pop_front();
        if (!maximumCandidates.empty() && maximumCandidates.front().sequence == oldest.sequence)
            maximumCandidates.pop_front();
        entries.pop_front();
    }
    // Rounding left over from subtracting a long run of values must not outlive the window.
    if (entries.empty())
        total = 0;
}

QString SignalWindowStatistics::prefix(int exponent)
{
    switch (exponent) {
    case -12:
        return QStringLiteral("p");
    case -9:
        return QStringLiteral("n");
    case -6:
        return QString(QChar(0x00B5));
    case -3:
        return QStringLiteral("m");
    case 3:
        return QStringLiteral("K");
    case 6:
        return QStringLiteral("M");
    case 9:
        return QStringLiteral("G");
    case 12:
        return QStringLiteral("T");
    default:
        return QString();
    }
}

QString SignalWindowStatistics::valueText(double value, double minimum, double maximum, int count)
{
    if (std::isnan(value))
        return QStringLiteral("nan");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("inf") : QStringLiteral("-inf");

    double magnitude = std::fabs(value);
    double step = count > 0 ? std::fabs(maximum - minimum) / count : 0.0;
    if (!std::isfinite(step))
        step = 0.0;
    int exponent = 0;
    while (magnitude > 0 && magnitude < 0.001 && exponent > smallestExponent) {
        magnitude *= 1000;
        step *= 1000;
        exponent -= 3;
    }
    while (magnitude > 1000 && exponent < largestExponent) {
        magnitude /= 1000;
        step /= 1000;
        exponent += 3;
    }

    int decimals = 0;
    if (step < DBL_EPSILON) {
        decimals = 2;
    } else {
        while (step < 1 && decimals < mostDecimals) {
            step *= 10;
            ++decimals;
        }
    }
    if (exponent >= 3 && decimals >= exponent) {
        decimals -= exponent;
        magnitude *= qPow(10.0, exponent);
        exponent = 0;
    }
    // Zero shows as 0.00, not -0.00.
    const double shown = value < 0 ? -magnitude : magnitude;
    return QString::number(shown, 'f', decimals) + prefix(exponent);
}
