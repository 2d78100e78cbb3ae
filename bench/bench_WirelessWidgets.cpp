// Prints the CPU the wireless status widget and its open network list use over 10 s against
// a simulated manager that answers every request at once: with the polling chains paced as
// shipped, and, for comparison, with no pause between an answer and the next request.

#include "ConnectivityMonitor.h"
#include "ExternalWirelessNetworkWidget.h"
#include "Singleton.h"
#include "WirelessNetworkManager.h"
#include "WirelessNetworkWidget.h"
#include "YamlConfig.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPushButton>
#include <QTextStream>
#include <QTimer>

#include <ctime>

namespace {

constexpr int runMilliseconds = 10000;

qint64 processCpuNanoseconds()
{
    timespec now;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

struct Figures
{
    double cpuPercent;
    double networkRequestsPerSecond;
    double internetRequestsPerSecond;
};

// pause < 0 keeps the widget's own pacing.
Figures measure(int pause)
{
    WirelessNetworkManager* manager = Singleton<WirelessNetworkManager>::instance();
    ExternalWirelessNetworkWidget status;
    if (pause >= 0)
        status.setPollPause(pause);
    status.show();
    status.findChild<QPushButton*>(QStringLiteral("networkButton"))->click();
    WirelessNetworkWidget* list = status.popupWidget();

    // Settle first, so the start-up (first scan, first paint) is not counted.
    QEventLoop settle;
    QTimer::singleShot(1000, &settle, &QEventLoop::quit);
    settle.exec();

    manager->resetRequestCounts();
    QElapsedTimer wall;
    wall.start();
    const qint64 cpuBefore = processCpuNanoseconds();
    QEventLoop run;
    QTimer::singleShot(runMilliseconds, &run, &QEventLoop::quit);
    run.exec();
    const qint64 cpu = processCpuNanoseconds() - cpuBefore;
    const double seconds = wall.nsecsElapsed() / 1e9;

    list->close();
    return {100.0 * cpu / wall.nsecsElapsed(), manager->requestCount(QStringLiteral("currentNetwork")) / seconds,
            manager->requestCount(QStringLiteral("checkInternetAccess")) / seconds};
}

void print(QTextStream& out, const QString& label, const Figures& figures)
{
    out << label.leftJustified(40) << QString::number(figures.cpuPercent, 'f', 2).rightJustified(8)
        << " % of one core" << QString::number(figures.networkRequestsPerSecond, 'f', 1).rightJustified(10)
        << " network/s" << QString::number(figures.internetRequestsPerSecond, 'f', 1).rightJustified(10)
        << " internet/s" << Qt::endl;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    // Probes stay on this machine.
    Singleton<YamlConfig>::instance()->setParam(QLatin1String(ConnectivityMonitor::probeHostKey),
                                                QStringLiteral("127.0.0.1"),
                                                QLatin1String(ConnectivityMonitor::probeHostPath), false);
    WirelessNetworkManager* manager = Singleton<WirelessNetworkManager>::instance();
    manager->simulateInstantAnswers(true);
    NetworkInformation workshop;
    workshop.ssid = QStringLiteral("Workshop");
    workshop.password = QStringLiteral("orbodev123");

    QTextStream out(stdout);
    out << "Status widget and open network list, instant-answer manager, " << runMilliseconds / 1000
        << " s each (goal: under 5 % of one core)" << Qt::endl;
    const Figures paced = [&] {
        QMetaObject::invokeMethod(manager, "connectNetwork", Qt::QueuedConnection, Q_ARG(NetworkInformation, workshop));
        return measure(-1);
    }();
    print(out, QStringLiteral("paced chains (as shipped)"), paced);
    const Figures unpaced = measure(0);
    print(out, QStringLiteral("no pause between answer and request"), unpaced);
    if (paced.cpuPercent > 0)
        out << "unpaced / paced CPU: " << QString::number(unpaced.cpuPercent / paced.cpuPercent, 'f', 1) << "x"
            << Qt::endl;
    return 0;
}
