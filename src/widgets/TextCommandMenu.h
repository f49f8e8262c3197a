#pragma once

#include <QString>

#include <functional>

class QMenu;
class QObject;

// The clipboard text commands as menu items, the same in the main window's Clipboard menu and the tray menu.
// Each item carries the command's object name (mnuToLowerCase, ...); choosing it calls run with that name.
namespace TextCommandMenu {

using Handler = std::function<void(const QString& name)>;

// To lower and upper case | to proper and reverse case | sentences and zigzag case.
void addCaseItems(QMenu* menu, QObject* context, const Handler& run);
// Current date and current time.
void addDateTimeItems(QMenu* menu, QObject* context, const Handler& run);
// Remove diacritics and reverse text.
void addTextItems(QMenu* menu, QObject* context, const Handler& run);

} // namespace TextCommandMenu
