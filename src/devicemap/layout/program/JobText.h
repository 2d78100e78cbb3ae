#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

/*
 * The layout program's side of the texts GraphvizJob and GraphvizDrawing describe: it reads
 * the job the library wrote and writes the drawing the library reads, in the same format,
 * with the standard library alone, so that the program starts without loading Qt (a third of
 * a small layout's cost). GraphvizJob.cpp holds the library's side; the lines, numbers,
 * percent-encoding and the format's version both use are LayoutText's.
 */

/// A layout job as the program reads it; the fields as GraphvizJob's.
struct ProgramJob
{
    enum class Links { Routed, ThroughPlaces, None };

    struct Node
    {
        double width = 0;
        double height = 0;
        int cluster = -1;
    };

    struct Cluster
    {
        std::string label;
        int parent = -1;
    };

    std::string engine = "dot";
    Links links = Links::Routed;
    std::vector<std::pair<std::string, std::string>> attributes;
    std::vector<Cluster> clusters;
    std::vector<Node> nodes;
    std::vector<std::pair<int, int>> edges;

    /// Reads a job; false with error set when it is not a whole, consistent job.
    static bool read(std::string_view text, ProgramJob* job, std::string* error);
};

/// A drawing as the program writes it; the fields as GraphvizDrawing's.
struct ProgramDrawing
{
    struct Point
    {
        double x = 0;
        double y = 0;
    };

    struct Box
    {
        double x = 0;
        double y = 0;
        double width = 0;
        double height = 0;
    };

    std::vector<Point> centers;
    std::vector<std::vector<Point>> bends;
    std::vector<Box> clusterRects;
    /// Edges the program could not route, ascending; their bends are empty.
    std::vector<int> unroutedEdges;

    std::string text() const;
    /// The answer of a run that failed for the reason given.
    static std::string failureText(std::string_view reason);
};
