// Prints how long YamlConfig takes for get/set on 10,000 keys, and to parse and save a file of
// about 1 MB beside raw yaml-cpp on the same file in the same run (reading the file and
// YAML::Load; emitting the same tree and writing it atomically): only the ratios compare
// across machines. Figures only; nothing is asserted.

#include "BenchReport.h"
#include "BoundedYaml.h"
#include "SafeFileWriter.h"
#include "YamlConfig.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextStream>

#include <yaml-cpp/yaml.h>

#include <algorithm>
#include <functional>
#include <vector>

namespace {

const int nodeCount = 100;
const int keysPerNode = 100;
const int rounds = 7;

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

// The median of rounds runs, in nanoseconds: one slow run of a shared machine does not count.
qint64 medianOf(const std::function<void(int)>& run)
{
    std::vector<qint64> times;
    QElapsedTimer timer;
    for (int round = 0; round < rounds; ++round) {
        timer.start();
        run(round);
        times.push_back(timer.nsecsElapsed());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void reportRatio(QTextStream& out, const QString& what, qint64 ours, qint64 raw, double goal)
{
    out << what.leftJustified(46) << QString::number(double(ours) / double(raw), 'f', 2).rightJustified(12)
        << " x   (goal at most " << QString::number(goal, 'f', 1) << " x)" << Qt::endl;
}

} // namespace

int main(int argc, char** argv)
{
    // The change log of a save lists every key: measure the store, not the terminal.
    ConsoleBenchmark bench(argc, argv);
    QTextStream& out = bench.out;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.yaml"));
    const QString rawPath = dir.filePath(QStringLiteral("raw.yaml"));
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
    bool saved = config.saveConfig();
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

    // Each save writes the whole file; one value changes so that there is something to save.
    const qint64 ourSave = medianOf([&](int round) {
        config.setParam(keyName(0), QStringLiteral("change %1").arg(round), nodePath(0), false);
        saved = config.saveConfig() && saved;
    });
    report(out, "saveConfig, one value changed (median)", ourSave, 1);

    int leafCount = 0;
    const qint64 ourParse = medianOf([&](int) {
        YamlConfig reread;
        leafCount = reread.parseConfig(path, true);
    });
    report(out, "parseConfig, whole file (median)", ourParse, 1);

    // Raw yaml-cpp on the same file: read and load it; emit the loaded tree and write it.
    const qint64 rawParse = medianOf([&](int) {
        const std::string text = readAll(path).toStdString();
        const YAML::Node document = YAML::Load(text);
        totalLength += document.size();
    });
    report(out, "raw: read the file, YAML::Load (median)", rawParse, 1);
    // What every other reader of outside YAML pays for its node tree.
    const qint64 boundedParse = medianOf([&](int) {
        const std::string text = readAll(path).toStdString();
        totalLength += BoundedYaml::load(text).size();
    });
    report(out, "read the file, BoundedYaml::load (median)", boundedParse, 1);
    const YAML::Node loaded = YAML::Load(readAll(path).toStdString());
    const qint64 rawSave = medianOf([&](int) {
        YAML::Emitter emitter;
        emitter << loaded;
        SafeFileWriter::writeFile(rawPath, QByteArray(emitter.c_str(), int(emitter.size())));
    });
    report(out, "raw: emit the tree, write it (median)", rawSave, 1);
    reportRatio(out, "parseConfig / raw load", ourParse, rawParse, 1.3);
    reportRatio(out, "BoundedYaml::load / raw load", boundedParse, rawParse, 1.3);
    reportRatio(out, "saveConfig with its read-back / raw save", ourSave, rawSave, 2.0);

    out << "file: " << QFileInfo(path).size() << " bytes, " << leafCount << " leaves read, saved: "
        << (saved ? "yes" : "no") << " (checksum " << totalLength << ")" << Qt::endl;
    return saved && leafCount == keyCount ? 0 : 1;
}
