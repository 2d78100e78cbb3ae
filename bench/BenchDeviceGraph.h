#pragma once

// The graph the framework's own benchmarks build: devices of the stand-in's sample types in a
// fixed cycle, where sources emit one double each and scalers and adders also take one, so
// that every source can be joined to every device that receives.

#include <QString>

namespace BenchDeviceGraph {

inline const char* const deviceTypes[] = {"scaler", "adder", "generator", "scaler"};
constexpr int deviceTypeCount = 4;

inline const char* typeOf(int index)
{
    return deviceTypes[index % deviceTypeCount];
}

inline bool isTarget(int index)
{
    return index % deviceTypeCount != 2;
}

inline QString signalOf(int index)
{
    switch (index % deviceTypeCount) {
    case 1:
        return QStringLiteral("sum(double)");
    case 2:
        return QStringLiteral("valueChanged(double)");
    default:
        return QStringLiteral("output(double)");
    }
}

inline QString slotOf(int index)
{
    return index % deviceTypeCount == 1 ? QStringLiteral("setA(double)") : QStringLiteral("input(double)");
}

/// The first device from start on (modulo count) that can receive a link, other than source.
inline int targetFrom(int start, int source, int count)
{
    int index = start % count;
    while (!isTarget(index) || index == source)
        index = (index + 1) % count;
    return index;
}

} // namespace BenchDeviceGraph
