#pragma once

#include <QPoint>

class QMenu;

/**
 * @brief Pops up one of this program's menus so that it works when a global hotkey opened it.
 *
 * Two X11 workarounds go with the popup. Both use only Qt's window API, not Xlib, and run with every backend: where
 * they are not needed the grab is had at once (or refused until the limit) and no late deactivation comes.
 * - A menu popped up by a hotkey opens while the hotkey's key is still down, so the passive grab of that key
 *   (held by another X connection) is still active and refuses the grab of keyboard and pointer a popup needs.
 *   Without it no key would reach the menu and a click elsewhere would not close it. The grab is asked for again
 *   until it is had; refused for longer than a limit, it leaves the menu to the mouse.
 * - Qt closes every popup when the application becomes inactive. The hotkey comes through another X connection
 *   than the news that the user has just left one of our windows for another application, and can be handled
 *   first; the deactivation that follows would close the menu the user has just asked for. Such a closing is told
 *   by the application being active when the menu opened and inactive when it closes (any deactivation while the
 *   menu is open closes it at once), and the menu is opened again.
 */
namespace MenuPopup {

/// Pops the menu up at the screen position with both workarounds.
void popUp(QMenu* menu, QPoint at);

} // namespace MenuPopup
