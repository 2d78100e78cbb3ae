// Prints what the device-map window's undo and redo histories cost on a stack of 2,000
// commands (each push and undo rebuilds both), and how long selecting a template of 500
// devices in the templates panel takes until its preview is drawn.
// Goals: under 5 ms per push or undo, under 1 s for the preview.

#include "BenchReport.h"
#include "DeviceMapWidget.h"
#include "DeviceMapWindow.h"
#include "TemplatesWidget.h"
#include "TestDeviceManager.h"
#include "UndoHistoryMenus.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileSystemModel>
#include <QMenu>
#include <QTemporaryDir>
#include <QTextStream>
#include <QToolButton>
#include <QTreeView>
#include <QUndoStack>

#include <functional>
#include <memory>

namespace {

constexpr int kCommands = 2000;
constexpr int kTemplateDevices = 500;

struct StackTimes
{
    qint64 push = 0;
    qint64 undo = 0;
};

// Pushes kCommands commands, then undoes them all.
StackTimes runStack(QUndoStack* stack)
{
    StackTimes times;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < kCommands; ++i) {
        auto command = new QUndoCommand();
        command->setText(QStringLiteral("Move device generator%1").arg(i));
        stack->push(command);
    }
    times.push = timer.nsecsElapsed();
    timer.restart();
    for (int i = 0; i < kCommands; ++i)
        stack->undo();
    times.undo = timer.nsecsElapsed();
    return times;
}

void reportStack(QTextStream& out, const QString& what, const StackTimes& times)
{
    report(out, what + QStringLiteral(": push"), times.push, kCommands);
    report(out, what + QStringLiteral(": undo"), times.undo, kCommands);
}

// A chain of devices, each linked to the next, as the map exports a template.
QByteArray chainTemplate(int devices)
{
    QByteArray text = "config_version: 2\n";
    for (int i = 0; i < devices; ++i) {
        text += "scaler" + QByteArray::number(i) + ":\n  type: scaler\n  params:\n    factor: \"2\"\n";
        if (i + 1 < devices)
            text += "  outgoing:\n    - \"scaler" + QByteArray::number(i + 1) + ".input(double)<scaler"
                + QByteArray::number(i) + ".output(double)\"\n";
    }
    return text + "export:\n  description: A long chain\n";
}

} // namespace

int main(int argc, char* argv[])
{
    QTemporaryDir dataHome;
    // The templates panel makes its folder here, not in the user's data.
    qputenv("XDG_DATA_HOME", dataHome.path().toUtf8());
    QApplication app(argc, argv);
    QTextStream out(stdout);

    TestDeviceManager manager;
    manager.markInitialised();

    out << "Undo history, " << kCommands << " commands (goal: < 5 ms per push or undo)" << Qt::endl;
    QUndoStack bare;
    reportStack(out, QStringLiteral("bare stack (baseline)"), runStack(&bare));
    {
        // The histories' own share: rebuilt at every change of a bare stack's index.
        QMenu undoMenu, undoMore, redoMenu, redoMore;
        QUndoStack listed;
        UndoHistoryMenus histories(&undoMenu, &undoMore, &redoMenu, &redoMore);
        histories.setStack(&listed);
        QObject::connect(&listed, &QUndoStack::canUndoChanged, &histories, &UndoHistoryMenus::rebuildUndo);
        QObject::connect(&listed, &QUndoStack::canRedoChanged, &histories, &UndoHistoryMenus::rebuildRedo);
        reportStack(out, QStringLiteral("histories alone"), runStack(&listed));
    }
    {
        // The map rewrites its layout file at every change of the index: its own share.
        DeviceMapWidget map(&manager, dataHome.filePath(QStringLiteral("alone.ini")));
        reportStack(out, QStringLiteral("map without window"), runStack(map.getUndoStack()));
    }
    auto window = new DeviceMapWindow(&manager, dataHome.filePath(QStringLiteral("window.ini")), nullptr);
    QUndoStack* stack = window->getDeviceMapWidget()->getUndoStack();
    const StackTimes windowTimes = runStack(stack);
    reportStack(out, QStringLiteral("map window (histories rebuilt)"), windowTimes);

    // The "More..." part is filled when a history opens: that cost is paid then, once.
    stack->setIndex(kCommands);
    auto undoMenu = window->findChild<QToolButton*>(QStringLiteral("undoButton"))->menu();
    QElapsedTimer timer;
    timer.start();
    Q_EMIT undoMenu->aboutToShow();
    report(out, QStringLiteral("open the undo history (%1 entries)").arg(kCommands), timer.nsecsElapsed(), 1);
    stack->setIndex(0);
    auto redoMenu = window->findChild<QToolButton*>(QStringLiteral("redoButton"))->menu();
    timer.restart();
    Q_EMIT redoMenu->aboutToShow();
    report(out, QStringLiteral("open the redo history (%1 entries)").arg(kCommands), timer.nsecsElapsed(), 1);
    const double worst = qMax(windowTimes.push, windowTimes.undo) / 1e6 / kCommands;
    out << "worst per push or undo: " << QString::number(worst, 'f', 3) << " ms (goal < 5 ms)" << Qt::endl;

    out << Qt::endl << "Templates panel, a template of " << kTemplateDevices << " devices (goal: < 1 s)" << Qt::endl;
    const QString templates = TemplatesWidget::templatesDirectory();
    QDir().mkpath(templates);
    const QString path = QDir(templates).filePath(QStringLiteral("chain.yml"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(chainTemplate(kTemplateDevices)) < 0)
        return 1;
    file.close();
    TemplatesWidget* panel = window->getTemplatesWidget();
    auto tree = panel->findChild<QTreeView*>(QStringLiteral("templatesFileView"));
    auto files = qobject_cast<QFileSystemModel*>(tree->model());
    constexpr int selections = 3;
    qint64 total = 0;
    for (int round = 0; round < selections; ++round) {
        tree->setCurrentIndex(files->index(templates));
        // Taken afresh each round: the file model may have replaced its nodes while the last
        // preview's layout processed events, and an index kept from before would dangle.
        const QModelIndex chain = files->index(path);
        timer.restart();
        tree->setCurrentIndex(chain);
        total += timer.nsecsElapsed();
    }
    report(out, QStringLiteral("select the template: read, lay out, draw"), total / selections, 1);
    out << "preview: " << QString::number(total / selections / 1e6, 'f', 1) << " ms (goal < 1000 ms)" << Qt::endl;
    delete window;
    return 0;
}
