#pragma once

#include "orbodev_export.h"

#include <QMetaType>
#include <QVector>

/**
 * One vector of doubles: the payload of vector signals such as "vector(DoubleVec)".
 *
 * A plain value type, registered as the meta type "DoubleVec" by the device manager, so it
 * crosses queued connections between device threads.
 */
class ORBODEV_EXPORT DoubleVec
{
public:
    DoubleVec() = default;
    explicit DoubleVec(const QVector<double>& values) : m_values(values) {}

    QVector<double> values() const { return m_values; }
    int size() const { return m_values.size(); }
    bool isEmpty() const { return m_values.isEmpty(); }
    double at(int index) const { return m_values.at(index); }

    void setValues(const QVector<double>& values) { m_values = values; }
    void append(double value) { m_values.append(value); }
    void clear() { m_values.clear(); }

    bool operator==(const DoubleVec& other) const { return m_values == other.m_values; }
    bool operator!=(const DoubleVec& other) const { return m_values != other.m_values; }

private:
    QVector<double> m_values;
};

Q_DECLARE_METATYPE(DoubleVec)
