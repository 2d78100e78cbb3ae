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

/**
 * The end a signal asks for: quit(), then the event loop ends with status 0 even where a window
 * refused to close. Taken up when the user's Quit would be: at once while the demo waits for
 * the user (a box, a menu) or for nothing; after a wait that holds the user's input back (a
 * rearrangement's layout, an operation's wait for the manager) has returned, so that the windows
 * save what it brought rather than what it was cut short to; and once the event loop runs, for
 * a signal during the start. QuitSignals tells of the first signal only: the demo ends as it
 * asked, whatever comes after it.
 */
void endOnSignal(int signalNumber);
/// Whether a signal told the demo to end (endOnSignal()); work of its own that runs long stops then.
bool isToldToEnd();

} // namespace DemoQuit
