// Prints how long the connections dialog takes to open on 2,000 offered pairs, and how long
// each keystroke of its search takes until the list is repainted.
// Goals: opens in under 300 ms, under 30 ms per keystroke.

#include "BenchReport.h"
#include "DeviceConnectionsDialog.h"
#include "TestDeviceManager.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListView>
#include <QTextStream>

#include <memory>

namespace {

constexpr int kPairs = 2000;

// Half of the pairs join equal types, half need an int-to-double conversion; every tenth signal
// and slot name repeats, so the dialog has overloads to tell apart.
void offerPairs(TestDeviceManager& manager)
{
    QStringList identical;
    QStringList converted;
    for (int i = 0; i < kPairs / 2; ++i) {
        identical.append(QStringLiteral("setValue%1(int)<valueChanged%2(int)").arg(i).arg(i % 100));
        converted.append(QStringLiteral("setLevel%1(double)<levelChanged%2(int)").arg(i).arg(i % 100));
    }
    manager.setOfferedPairs(identical, converted);
}

void settle(QWidget* dialog)
{
    QCoreApplication::processEvents();
    dialog->repaint();
}

// Types text into the search and erases it again, one keystroke at a time, each one painted.
void typeAndErase(QLineEdit* search, QWidget* dialog, const QString& text)
{
    for (const QChar character : text) {
        search->insert(QString(character));
        settle(dialog);
    }
    for (int i = 0; i < text.size(); ++i) {
        search->backspace();
        settle(dialog);
    }
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QTextStream out(stdout);

    TestDeviceManager manager;
    manager.markInitialised();
    const QString source = manager.createDevice("generator", false);
    const QString target = manager.createDevice("adder", false);
    offerPairs(manager);
    DeviceInfo sourceInfo = manager.getDeviceInfo(source);
    // Twenty existing pairs start pressed.
    for (int i = 0; i < 20; ++i)
        sourceInfo.outgoingConnections.append({target, QStringLiteral("valueChanged%1(int)").arg(i),
                                               QStringLiteral("setValue%1(int)").arg(i)});
    const DeviceInfo targetInfo = manager.getDeviceInfo(target);

    out << "Connections dialog, " << kPairs << " offered pairs (goals: open < 300 ms, keystroke < 30 ms)" << Qt::endl;

    // Opening: built, shown and painted, as the user first sees it.
    constexpr int openings = 5;
    qint64 buildTime = 0;
    qint64 openTime = 0;
    for (int round = 0; round < openings; ++round) {
        QElapsedTimer timer;
        timer.start();
        auto dialog = std::make_unique<DeviceConnectionsDialog>(&manager, sourceInfo, targetInfo, nullptr);
        buildTime += timer.nsecsElapsed();
        dialog->show();
        settle(dialog.get());
        openTime += timer.nsecsElapsed();
    }
    report(out, "build the dialog", buildTime / openings, 1);
    report(out, "open: build, show and paint", openTime / openings, 1);

    DeviceConnectionsDialog dialog(&manager, sourceInfo, targetInfo, nullptr);
    dialog.show();
    settle(&dialog);
    QLineEdit* search = dialog.searchField();

    // Typing and then erasing a search of two words, one keystroke at a time.
    const QString typed = QStringLiteral("value 42");
    QElapsedTimer timer;
    timer.start();
    typeAndErase(search, &dialog, typed);
    report(out, "search keystroke, all conversions hidden", timer.nsecsElapsed(), 2 * typed.size());

    // The same with the conversion allowed, so every row takes part.
    dialog.conversionBox(TypePair("int", "double"))->setChecked(true);
    settle(&dialog);
    timer.restart();
    typeAndErase(search, &dialog, typed);
    report(out, "search keystroke, conversion allowed", timer.nsecsElapsed(), 2 * typed.size());

    timer.restart();
    constexpr int toggles = 10;
    for (int i = 0; i < toggles; ++i) {
        dialog.conversionBox(TypePair("int", "double"))->toggle();
        settle(&dialog);
    }
    report(out, "conversion box toggled", timer.nsecsElapsed(), toggles);
    return 0;
}
