// Prints how long the dashboard grid takes to rebuild itself around 100 device widgets.

#include "BaseGuiDevice.h"
#include "BaseWidget.h"
#include "DeviceWidgetArea.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTextStream>

#include <memory>
#include <vector>

namespace {

class BenchWidget : public BaseWidget
{
public:
    using BaseWidget::BaseWidget;
};

class BenchDevice : public BaseGuiDevice
{
public:
    BaseWidget* createWidget() override { return new BenchWidget(this); }
};

void measure(const QString& label, DeviceWidgetArea& area, int rounds)
{
    QElapsedTimer timer;
    timer.start();
    for (int round = 0; round < rounds; ++round) {
        area.updateLayout();
        QCoreApplication::processEvents();
    }
    const double perRound = double(timer.nsecsElapsed()) / rounds / 1e6;
    QTextStream(stdout) << label << ": " << QString::number(perRound, 'f', 3) << " ms per updateLayout ("
                        << rounds << " rounds)\n";
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    WidgetPosition::registerMetaType();

    // 100 widgets on a 12 x 10 grid: every fifth cell of the first rows stays a
    // hole, so placeholders are made too.
    std::vector<std::unique_ptr<BenchDevice>> devices;
    QList<QPointer<BaseWidget>> widgets;
    for (int cell = 0; widgets.size() < 100; ++cell) {
        if (cell % 5 == 2 && cell < 100)
            continue;
        devices.push_back(std::make_unique<BenchDevice>());
        BaseWidget* widget = devices.back()->createWidget();
        widget->setMinimumSize(40, 30);
        widget->setPosition(WidgetPosition(cell / 10, cell % 10));
        widgets.append(widget);
    }

    DeviceWidgetArea area(widgets, {"lamp", "dial"});
    area.resize(800, 600);
    area.show();
    measure("viewing, 100 widgets", area, 200);
    area.setEditingEnabled(true);
    measure("editing, 100 widgets", area, 200);
    return 0;
}
