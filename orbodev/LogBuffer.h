#pragma once

#include "orbodev_export.h"

#include <QMutex>
#include <QStringList>
#include <QtGlobal>

/**
 * Lines of the process's log, "hh:mm:ss [D|W|C|F] text", oldest first, at most
 * maximumLines() of them (the oldest go first). Thread-safe.
 */
class ORBODEV_EXPORT LogBuffer
{
public:
    explicit LogBuffer(int maximumLines = 5000);

    int maximumLines() const { return m_maximumLines; }
    /// The lines from index from on (all with 0).
    QStringList getBuffer(int from) const;
    int size() const;
    /// Every line, emptying the buffer in the same step so no line is lost in between.
    QStringList takeAll();

    void append(QtMsgType type, const QString& text);
    void clear();

    /// The buffer's line for a message: time, level tag, text.
    static QString formatLine(QtMsgType type, const QString& text);

private:
    mutable QMutex m_mutex;
    QStringList m_lines;
    int m_maximumLines;
};
