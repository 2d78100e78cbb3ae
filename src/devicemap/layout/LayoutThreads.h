#pragma once

#include <functional>

/**
 * The automatic layout's own threads, one per run, made as the run starts. A thread the
 * system will not make (a container's pids limit, RLIMIT_NPROC, no room for its stack under
 * an address-space limit) is known at once, and nothing of the run is left waiting for one: a
 * pool that queued the run would leave it waiting for good, and the process waiting for it at
 * its exit. Each start asks the system again.
 *
 * When the process ends, runs still going are given up (closing()) and their threads joined,
 * so that none outlives what it uses. Not Qt's global pool, which a host may fill with its own
 * tasks. Internal to the automatic layout; start() from any thread.
 */
class LayoutThreads
{
public:
    /// Runs task on a thread of its own: 0, or the errno of the thread that could not be made (task is not run then).
    static int start(std::function<void()> task);

    /// True once the process has begun to end: a run still going gives itself up.
    static bool closing();
};
