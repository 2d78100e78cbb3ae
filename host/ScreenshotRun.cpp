#include "ScreenshotRun.h"

#include "DemoFiles.h"
#include "DemoQuit.h"
#include "DemoWindowSet.h"
#include "SafeFileWriter.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QEventLoop>
#include <QTextStream>
#include <QTimer>
#include <QWidget>

namespace {

// Lets queued work run before a grab: a grid placing its editing controls, a dialog laying
// itself out, the sample devices sending values.
void settle(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

bool saveScreenshot(QWidget* widget, const QString& directory, const QString& name)
{
    const QString path = QDir(directory).filePath(name + QStringLiteral(".png"));
    QBuffer png;
    const bool saved = png.open(QIODevice::WriteOnly) && widget->grab().save(&png, "PNG")
        && SafeFileWriter::writeFile(path, png.data());
    const QString message = saved ? QCoreApplication::translate("main", "Saved screenshot %1")
                                  : QCoreApplication::translate("main", "Could not save screenshot %1");
    QTextStream(stdout) << message.arg(QDir::toNativeSeparators(path)) << "\n";
    return saved;
}

// Saves each window as it opened, then each further scene, which may change the window.
bool saveScreenshots(const DemoWindowSet& windows, const QString& directory)
{
    const QList<DemoWindow>& descriptions = windows.descriptions();
    if (!QDir().mkpath(directory)) {
        QTextStream(stdout) << QCoreApplication::translate("main", "Cannot create the screenshot directory %1").arg(directory)
                            << "\n";
        return false;
    }
    bool allSaved = true;
    for (int i = 0; i < descriptions.size() && !DemoQuit::isToldToEnd(); ++i)
        allSaved = saveScreenshot(windows.window(i), directory, descriptions.at(i).name) && allSaved;
    for (int i = 0; i < descriptions.size(); ++i) {
        for (const DemoScene& scene : descriptions.at(i).scenes) {
            // Told to end (a signal), the run stops where it is, its windows going with the demo.
            if (DemoQuit::isToldToEnd())
                return allSaved;
            QWidget* target = scene.enter(windows.window(i));
            target->show();
            settle(300);
            if (DemoQuit::isToldToEnd())
                return allSaved;
            allSaved = saveScreenshot(target, directory, scene.name) && allSaved;
            // A scene may show a part of its window (the map alone): only windows of their own close.
            if (target != windows.window(i) && target->isWindow())
                target->close();
        }
    }
    return allSaved;
}

} // namespace

namespace ScreenshotRun {

int exec(const DemoWindowSet& windows, const QString& directory)
{
    // A run told to end before its first screenshot failed at nothing.
    bool saved = true;
    QTimer::singleShot(800, qApp, [&] {
        saved = saveScreenshots(windows, directory);
        QCoreApplication::quit();
    });
    QCoreApplication::exec();
    // The start said so once already; what the run's windows edited went nowhere.
    const bool runFolderMade = DemoFiles::runFolderProblem().isEmpty();
    return saved && runFolderMade ? 0 : 1;
}

} // namespace ScreenshotRun
