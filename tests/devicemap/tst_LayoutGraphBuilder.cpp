#include "LayoutGraphBuilder.h"

#include <QtTest>

namespace {

Connection to(const QString& device)
{
    return {device, QStringLiteral("out()"), QStringLiteral("in()")};
}

DeviceInfo device(const QString& name, const QString& type = QStringLiteral("maths/sum"))
{
    DeviceInfo info;
    info.name = name;
    info.type = type;
    return info;
}

/// Links as "from>to" texts, in order.
QStringList linkTexts(const LayoutGraph& graph)
{
    QStringList texts;
    for (const LayoutGraph::Link& link : graph.links)
        texts << graph.devices.at(link.from).name + '>' + graph.devices.at(link.to).name;
    return texts;
}

/// Each device's group name, "-" for none.
QStringList groupOfEach(const LayoutGraph& graph)
{
    QStringList names;
    for (const LayoutGraph::Device& device : graph.devices)
        names << (device.group < 0 ? QStringLiteral("-") : graph.groups.at(device.group).name);
    return names;
}

LayoutGraphBuilder plainBuilder(LayoutGraph::Type type)
{
    LayoutGraphBuilder builder(type);
    builder.setSizeFunction([](const DeviceInfo& info) { return QSizeF(10.0 * info.name.size(), 30); });
    return builder;
}

} // namespace

class TestLayoutGraphBuilder : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void linksFromConnections_data()
    {
        QTest::addColumn<QList<DeviceInfo>>("infos");
        QTest::addColumn<QStringList>("links");

        DeviceInfo a = device("a");
        DeviceInfo b = device("b");
        DeviceInfo c = device("c");

        a.outgoingConnections = {to("b"), to("b")};
        QTest::newRow("the same peer twice") << QList<DeviceInfo>{a, b} << QStringList{"a>b"};

        a.outgoingConnections = {to("b")};
        b.connectionStrings = QStringList{"b.in()<a.out()"};
        QTest::newRow("connection and connection string") << QList<DeviceInfo>{a, b} << QStringList{"a>b"};

        b.outgoingConnections = {to("a")};
        b.connectionStrings.clear();
        QTest::newRow("both directions") << QList<DeviceInfo>{a, b} << QStringList{"a>b", "b>a"};

        b.outgoingConnections.clear();
        a.outgoingConnections = {to("ghost")};
        a.connectionStrings = QStringList{"a.in()<phantom.out()"};
        QTest::newRow("unknown peers") << QList<DeviceInfo>{a, b} << QStringList();

        a.outgoingConnections.clear();
        a.connectionStrings = QStringList{"no source here", "a.in()<c.out()"};
        c.outgoingConnections = {to("b")};
        QTest::newRow("outgoing first, then strings") << QList<DeviceInfo>{a, b, c} << QStringList{"c>b", "c>a"};

        a.connectionStrings.clear();
        a.outgoingConnections = {to("a")};
        QTest::newRow("a device feeding itself") << QList<DeviceInfo>{a} << QStringList{"a>a"};
    }

    void linksFromConnections()
    {
        QFETCH(QList<DeviceInfo>, infos);
        QFETCH(QStringList, links);

        const LayoutGraph graph = plainBuilder(LayoutGraph::Hierarchical).build(infos);
        QCOMPARE(linkTexts(graph), links);
        QCOMPARE(graph.descriptions.size(), infos.size());
    }

    void ioGroups_data()
    {
        QTest::addColumn<QStringList>("types");
        QTest::addColumn<QStringList>("groups");
        QTest::addColumn<QStringList>("groupOfEach");

        QTest::newRow("IO before GUI") << QStringList{"io+gui", "model", "maths"} << QStringList{"Input", "Output"}
                                       << QStringList{"Input", "Output", "-"};
        QTest::newRow("network is input") << QStringList{"network", "maths"} << QStringList{"Input"}
                                          << QStringList{"Input", "-"};
        QTest::newRow("no output without a qualifying device")
            << QStringList{"io", "maths"} << QStringList{"Input"} << QStringList{"Input", "-"};
    }

    void ioGroups()
    {
        QFETCH(QStringList, types);
        QFETCH(QStringList, groups);
        QFETCH(QStringList, groupOfEach);

        const QMap<QString, QStringList> categories{{"io+gui", {"IO", "GUI"}}, {"model", {"Model"}},
                                                    {"maths", {"maths"}},      {"network", {"network"}},
                                                    {"io", {"IO"}}};
        LayoutGraphBuilder builder = plainBuilder(LayoutGraph::ClusterByIO);
        builder.setCategoriesFunction([&](const QString& type) { return categories.value(type); });
        QList<DeviceInfo> infos;
        for (int i = 0; i < types.size(); ++i)
            infos << device(QStringLiteral("d%1").arg(i), types.at(i));

        const LayoutGraph graph = builder.build(infos);
        QStringList groupNames;
        for (const LayoutGraph::Group& group : graph.groups)
            groupNames << group.name;
        QCOMPARE(groupNames, groups);
        QCOMPARE(::groupOfEach(graph), groupOfEach);
    }

    void guiAreaGroups()
    {
        // Given GUI devices in two areas, one with an empty area, one without a handle, and a non-GUI device
        LayoutGraphBuilder builder = plainBuilder(LayoutGraph::ClusterByGuiArea);
        builder.setCategoriesFunction(
            [](const QString& type) { return type == "gui" ? QStringList{"GUI"} : QStringList{"maths"}; });
        const QMap<QString, QString> areas{{"plot", "right"}, {"knob", "left"}, {"lamp", ""}, {"sum", "left"}};
        builder.setGuiAreaFunction([&](const QString& name) {
            return areas.contains(name) ? std::optional<QString>(areas.value(name)) : std::nullopt;
        });

        // When the graph is built
        const LayoutGraph graph = builder.build(
            {device("plot", "gui"), device("knob", "gui"), device("lamp", "gui"), device("gone", "gui"), device("sum")});

        // Then every area is a top-level group, in name order, and only GUI devices with a handle join one
        QCOMPARE(graph.groups.size(), 3);
        QCOMPARE(graph.groups.at(1).name + graph.groups.at(2).name, QString("leftright"));
        QCOMPARE(groupOfEach(graph), (QStringList{"right", "left", "", "-", "-"}));
    }

    void fixedClustersNestAndKeepEmptyOnes()
    {
        // Given an outer cluster holding an inner one and an empty one, and a cluster elsewhere
        LayoutGraphBuilder builder = plainBuilder(LayoutGraph::FixedClusters);
        const QMap<QString, QRectF> clusters{{"outer", QRectF(0, 0, 500, 500)},
                                             {"inner", QRectF(10, 10, 200, 200)},
                                             {"hollow", QRectF(300, 300, 100, 100)},
                                             {"aside", QRectF(1000, 0, 100, 100)},
                                             {"twin", QRectF(1000, 0, 100, 100)}};
        const QMap<QString, QRectF> placed{{"deep", QRectF(20, 20, 50, 20)},
                                           {"shallow", QRectF(250, 20, 50, 20)},
                                           {"side", QRectF(1010, 10, 50, 20)}};
        builder.setMapClusters(clusters, placed);

        // When the graph is built, with one device that has no place on the map
        const LayoutGraph graph
            = builder.build({device("deep"), device("shallow"), device("side"), device("unplaced")});

        // Then each placed device joins its smallest cluster, the first by name on equal areas,
        QCOMPARE(groupOfEach(graph), (QStringList{"inner", "outer", "aside", "-"}));
        // every cluster comes back, parents first, nested as the rectangles nest
        QMap<QString, QString> parentOf;
        for (int i = 0; i < graph.groups.size(); ++i) {
            const int parent = graph.groups.at(i).parent;
            QVERIFY(parent < i);
            parentOf.insert(graph.groups.at(i).name, parent < 0 ? QString("-") : graph.groups.at(parent).name);
        }
        const QMap<QString, QString> expected{
            {"outer", "-"}, {"inner", "outer"}, {"hollow", "outer"}, {"aside", "twin"}, {"twin", "-"}};
        QCOMPARE(parentOf, expected);
    }
};

QTEST_GUILESS_MAIN(TestLayoutGraphBuilder)
#include "tst_LayoutGraphBuilder.moc"
