#pragma once

class QMenu;
class QMenuBar;

/**
 * The demo's own menu, first in the menu bar of each of its windows: "Settings..." brings
 * the demo's settings to the front (SettingsWindow::showSettings()), whichever windows the
 * user has closed. Its entry's object name is "demoSettingsAction".
 */
QMenu* addDemoMenu(QMenuBar* bar);
