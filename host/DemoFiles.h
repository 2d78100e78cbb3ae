#pragma once

#include <QString>
#include <QStringList>

/**
 * Which device graph one run of the demo shows, and where what the user edits in it goes: the
 * graph's saves, the map's places of its devices (the map's layout file) and the dashboard's
 * widget file. They go with the graph they belong to and never over another graph's:
 *
 *  - the user's own graph, in the data folder: "demo-graph.yaml" (the sample graph until the
 *    first save), "demo-map.ini" and "dashboard.ini";
 *  - a file named with --graph: the file itself, with "<file>.map.ini" and
 *    "<file>.dashboard.ini" beside it; the data folder is left alone;
 *  - a screenshot run, the shipped sample named with --graph, a named file that does not load,
 *    or a graph another demo holds (GraphLock): copies in a folder of the run's own, removed
 *    when the demo ends, so that nothing of the user's is written. The copy of the places
 *    starts from those of the graph shown.
 *
 * DemoStartup::prepareManager() chooses the run's files and makes them current(); the windows
 * read them there. GUI thread.
 *
 *     const DemoFiles files = DemoFiles::forStart(namedGraph, screenshots);
 *     DemoStartup::prepareManager(&manager, files, &notice);
 *     new DeviceMapWindow(&manager, DemoFiles::current().mapLayout(), nullptr);
 */
class DemoFiles
{
public:
    enum class Keeping {
        /// The user's own graph in the data folder.
        DataFolder,
        /// A file named with --graph, and its own files beside it.
        BesideGraph,
        /// Copies of this run only.
        NotKept,
    };

    /// The data folder's graph, or the sample graph while the data folder holds none; saves go to the data folder.
    DemoFiles();

    /**
     * What a start is asked: requested, the file named with --graph (empty when none), and
     * whether the run only takes screenshots, which show the sample graph unless a file is named.
     */
    static DemoFiles forStart(const QString& requested, bool screenshots);
    /**
     * The files of a run of the sample graph after loadFrom() did not load: in the data folder
     * (whose graph and its files the caller has kept aside) the sample becomes the user's
     * graph; anywhere else nothing of the run is kept.
     */
    DemoFiles withSampleGraph() const;
    /**
     * The files of a run of the same graph that keeps nothing of it, as when another demo edits
     * that graph (GraphLock): the places start from the graph's own.
     */
    DemoFiles keepingNothing() const;

    /// The run's files, as prepareManager() chose them; the data folder's until then.
    static const DemoFiles& current();
    static void setCurrent(const DemoFiles& files);

    Keeping keeping() const { return m_keeping; }
    /// The file named with --graph, as given; empty when none was.
    QString namedGraph() const { return m_namedGraph; }
    bool isKept() const { return m_keeping != Keeping::NotKept; }
    /// The graph the run loads.
    QString loadFrom() const { return m_loadFrom; }
    /// Whether loadFrom() is the sample graph the demo ships with.
    bool loadsSample() const;
    /// Where the graph's saves go.
    QString graph() const { return m_graph; }
    /// The map's layout file: the places of the graph's devices.
    QString mapLayout() const { return m_mapLayout; }
    /// What mapLayout() starts as when it is not there yet; empty when it starts empty.
    QString mapLayoutSource() const { return m_mapLayoutSource; }
    /// The dashboard's file of its widgets' own parameters.
    QString dashboardLayout() const { return m_dashboardLayout; }
    /// The files that belong to graph() and go aside with it (CorruptedFile::keepAside()).
    QStringList graphCompanions() const { return {m_mapLayout, m_dashboardLayout}; }

    /**
     * A file of this run only, in the folder removed when the demo ends, which the first call
     * makes in the system's temporary folder. When it cannot be made, a path in it all the same,
     * which no write reaches, so that each failed save names the file it meant.
     */
    static QString runFile(const QString& name);
    /// The folder of runFile(), made when first asked for.
    static QString runFolder();
    /// Why the folder of runFile() could not be made, for the user; empty when it was made or not yet asked for.
    static QString runFolderProblem();

private:
    /// The files of a run that keeps nothing of shown, whose places it starts from.
    static DemoFiles notKept(const DemoFiles& shown);
    /// The shipped sample graph, as a run that keeps nothing starts from it.
    static DemoFiles sample();

    Keeping m_keeping = Keeping::DataFolder;
    QString m_namedGraph;
    QString m_loadFrom;
    QString m_graph;
    QString m_mapLayout;
    QString m_mapLayoutSource;
    QString m_dashboardLayout;
};
