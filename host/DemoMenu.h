#pragma once

class QAction;
class QMenu;
class QMenuBar;
class QObject;

/**
 * The demo's own menu ("demoMenu"), first in the menu bar of each of its windows:
 * "Settings..." brings the demo's settings to the front (SettingsWindow::showSettings()),
 * whichever windows the user has closed; then an entry per window of the demo
 * (DemoWindowSet::current(), the settings window aside, which "Settings..." shows), listed
 * by its title each time the menu opens, that shows the window, made again when it was
 * deleted; and "Quit" (newQuitAction()) ends the demo. The entries' object names are
 * "demoSettingsAction", "demoWindowAction" (with the window's DemoWindow::name as their
 * data) and "demoQuitAction".
 */
QMenu* addDemoMenu(QMenuBar* bar);

/**
 * "Quit" (Ctrl+Q), owned by parent: closes every window of the demo as the user would one by
 * one (DemoQuit::quit()), so each keeps what it keeps when closed (the dashboard leaves edit mode and saves, the
 * map saves its layout as it goes), and the demo ends with the last one. A window that refuses
 * to close stops it there.
 */
QAction* newQuitAction(QObject* parent);
