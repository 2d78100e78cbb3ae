#pragma once

#include <QString>

/**
 * The lock a run of the demo holds on the graph whose edits it keeps: "<graph>.lock" beside the
 * graph file (a QLockFile), so that a second demo on the same --graph file or data folder finds
 * the graph in use rather than writing over the first one's edits at its next save. A lock whose
 * process has gone (a demo that crashed or was killed) is taken over. A folder in which no lock
 * can be made (not writable) is taken for free: the run's own saves there tell of it. So is a
 * folder that is not there, which is why the caller makes the graph's folder first.
 *
 * One lock per process, held until release(), the next take() or the end of the process; a
 * start run again in the same process (the tests) gives up the lock of the one before. GUI thread.
 */
namespace GraphLock {

/// "<graph>.lock", beside the file graph names once links are followed.
QString lockFileOf(const QString& graph);
/**
 * Gives up the lock held, then takes the one of graph. False when another process holds it:
 * holder (may be null) then gets that process's id, 0 when it is not known.
 */
bool take(const QString& graph, qint64* holder = nullptr);
/// Gives up the lock held, if any.
void release();

} // namespace GraphLock
