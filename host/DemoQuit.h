#pragma once

/**
 * The end of the demo, as its "Quit" (every window's "Demo" menu, Ctrl+Q) and the signals
 * that stop it (QuitSignals) ask for it. GUI thread.
 */
namespace DemoQuit {

/**
 * Closes every window as the user closes it, each saving what it saves when closed, which
 * ends the demo as its last window goes. isEnding() holds meanwhile, and for what the closing
 * windows queued; should a window refuse to close, the demo goes on as before.
 */
void quit();
/// Whether quit() is closing the demo: what a window fails to save now is lost, not kept for a later save.
bool isEnding();

} // namespace DemoQuit
