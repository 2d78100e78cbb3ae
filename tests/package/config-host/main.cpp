// A host that uses only the library's configuration store: it calls no function of the
// framework itself, so Debian's linker (--as-needed) leaves libOrboDev.so.3 out of what the
// program records, and only the library can lead the loader to the framework it needs.
// Built outside the source tree against the installed packages, like the package host, with
// CMake and with the README's pkg-config commands; it exits 0 when every check held.
#include "Configurable.h"
#include "Singleton.h"
#include "YamlConfig.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <cstdio>

namespace {

int failures = 0;

void check(bool condition, const char* what)
{
    std::printf("%s: %s\n", condition ? "ok" : "FAILED", what);
    failures += condition ? 0 : 1;
}

/// Counts the changes of the one key it reads.
class StationName : public Configurable
{
public:
    explicit StationName(Config* config)
        : Configurable(config)
    {
        applyConfig();
    }
    void applyConfig() override
    {
        name = getParam(QStringLiteral("stationName"), QStringLiteral("host"), QStringLiteral("Station"), false);
        ++applied;
    }

    QString name;
    int applied = 0;
};

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("host.yaml"));

    YamlConfig* config = Singleton<YamlConfig>::instance();
    config->parseConfig(file);
    StationName station(config);
    config->setParam(QStringLiteral("stationName"), QStringLiteral("Pump station 2"), QStringLiteral("host"), true);
    check(station.name == QStringLiteral("Pump station 2") && station.applied == 2, "a Configurable hears its key change");
    check(config->saveConfig(), "the store is saved");

    YamlConfig reread;
    reread.parseConfig(file);
    check(reread.getParam(QStringLiteral("stationName"), QStringLiteral("host")) == QStringLiteral("Pump station 2"),
          "the saved file reads back");

    std::printf("configuration-only host: %d failed check(s)\n", failures);
    return failures == 0 ? 0 : 1;
}
