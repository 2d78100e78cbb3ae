#pragma once

#include <QString>

class DemoWindowSet;

/**
 * The demo's screenshot run: a PNG of each of its windows as it opened, then of each further
 * scene of it (DemoWindow::scenes), saved into a folder, after which the demo ends. Nobody
 * watches such a run, so no box waits for an answer: each logs what it would say
 * (UnattendedBoxes) and answers itself. GUI thread.
 */
namespace ScreenshotRun {

/**
 * Takes the screenshots of windows into directory once the windows have settled, from the
 * application's event loop, which it runs and then ends. Returns the run's exit status: 0,
 * or 1 when a screenshot or the folder could not be saved, or the run's own folder
 * (DemoFiles::runFile()) could not be made, so that what the run edited was not saved either.
 * A run told to end meanwhile (DemoQuit::isEnding()) stops before its next scene.
 */
int exec(const DemoWindowSet& windows, const QString& directory);

} // namespace ScreenshotRun
