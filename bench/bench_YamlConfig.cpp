// Prints how long YamlConfig takes for get/set on 10,000 keys and to save and parse a file of
// about 1 MB. Figures only; nothing is asserted.

#include "BenchReport.h"
#include "YamlConfig.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextStream>

#include <functional>

namespace {

const int nodeCount = 100;
const int keysPerNode = 100;

QString nodePath(int node)
{
    return QStringLiteral("group%1/settings").arg(node);
}

QString keyName(int key)
{
    return QStringLiteral("Key%1").arg(key);
}

// About 100 bytes per entry in the file, so 10,000 keys make about 1 MB.
QString valueText(int node, int key, int round)
{
    return QStringLiteral("value %1.%2.%3 ").arg(node).arg(key).arg(round) + QString(70, QLatin1Char('x'));
}

void forEachKey(const std::function<void(int, int)>& action)
{
    for (int node = 0; node < nodeCount; ++node) {
        for (int key = 0; key < keysPerNode; ++key)
            action(node, key);
    }
}

} // namespace

int main(int argc, char** argv)
{
    // The change log of a save lists every key: measure the store, not the terminal.
    ConsoleBenchmark bench(argc, argv);
    QTextStream& out = bench.out;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.yaml"));
    const int keyCount = nodeCount * keysPerNode;
    QElapsedTimer timer;

    QFile emptyFile(path);
    if (!emptyFile.open(QIODevice::WriteOnly))
        return 1;
    emptyFile.close();
    YamlConfig config;
    config.parseConfig(path, true);
    out << "YamlConfig with " << keyCount << " keys in " << nodeCount << " nodes (debug log off)" << Qt::endl;

    timer.start();
    forEachKey([&](int node, int key) { config.setParam(keyName(key), valueText(node, key, 0), nodePath(node), false); });
    report(out, "setParam, new keys", timer.nsecsElapsed(), keyCount);

    timer.start();
    forEachKey([&](int node, int key) { config.setParam(keyName(key), valueText(node, key, 1), nodePath(node), false); });
    report(out, "setParam, changed values", timer.nsecsElapsed(), keyCount);

    qint64 totalLength = 0;
    timer.start();
    forEachKey([&](int node, int key) { totalLength += config.getParam(keyName(key), nodePath(node)).size(); });
    report(out, "getParam, exact case", timer.nsecsElapsed(), keyCount);

    timer.start();
    forEachKey([&](int node, int key) {
        totalLength += config.getParam(keyName(key).toUpper(), nodePath(node).toUpper()).size();
    });
    report(out, "getParam, other case", timer.nsecsElapsed(), keyCount);

    timer.start();
    forEachKey([&](int node, int key) { totalLength += config.getInt(keyName(key), nodePath(node), 0); });
    report(out, "getInt, failing conversion", timer.nsecsElapsed(), keyCount);

    timer.start();
    const bool saved = config.saveConfig();
    report(out, "saveConfig, whole file", timer.nsecsElapsed(), 1);

    timer.start();
    config.saveConfig();
    report(out, "saveConfig, nothing changed", timer.nsecsElapsed(), 1);

    const QString firstValue = config.getParam(keyName(0), nodePath(0));
    config.setParam(keyName(0), QStringLiteral("reverted"), nodePath(0), false);
    config.setParam(keyName(0), firstValue, nodePath(0), false);
    timer.start();
    config.saveConfig();
    report(out, "saveConfig, change reverted (trees compared)", timer.nsecsElapsed(), 1);

    config.setParam(keyName(0), QStringLiteral("one change"), nodePath(0), false);
    timer.start();
    config.saveConfig();
    report(out, "saveConfig, one value changed", timer.nsecsElapsed(), 1);

    YamlConfig reread;
    timer.start();
    const int leafCount = reread.parseConfig(path, true);
    report(out, "parseConfig, whole file", timer.nsecsElapsed(), 1);

    out << "file: " << QFileInfo(path).size() << " bytes, " << leafCount << " leaves read, saved: "
        << (saved ? "yes" : "no") << " (checksum " << totalLength << ")" << Qt::endl;
    return saved && leafCount == keyCount ? 0 : 1;
}
