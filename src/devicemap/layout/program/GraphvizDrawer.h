#pragma once

#include "JobText.h"

#include <string>

/**
 * The layout program's one run of Graphviz through its C API: nodes with synthetic ids
 * ("n0", "n1", …) and fixed sizes, edges in the job's order, clusters as nested
 * "cluster_N" subgraphs (an empty one holds an invisible placeholder, since Graphviz drops
 * empty clusters), then positions, polyline corners and cluster boxes read back with the
 * y axis turned downwards.
 *
 * dot runs with its layout plugin and Graphviz's core alone (no text-layout plugin, no
 * fonts), set up once per process. Graphviz reports its messages through an error callback:
 * each piece goes to standard error at once, so that what it said before a crash is not lost.
 * Runs one after another on one thread.
 */
class GraphvizDrawer
{
public:
    enum class Teardown {
        /// The graph stays in memory: the process ends right after and frees it all at once.
        LeaveToExit,
        /// The graph is freed, for a process that draws again.
        Free,
    };

    /// Lays job out. False, with error set to Graphviz's last word, when Graphviz fails.
    static bool draw(const ProgramJob& job, ProgramDrawing* drawing, std::string* error,
                     Teardown teardown = Teardown::LeaveToExit);
};
