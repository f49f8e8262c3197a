#pragma once

#include <QIcon>

// The icons of menus and buttons by their keys ("COPY", "SAVE", "WRENCH", ...): the desktop theme's icon
// where the theme has one, otherwise the program's own.
namespace MenuIcons {
QIcon icon(const char* key);
// A quick-slot button's icon: the slot icon with its number drawn on it.
QIcon slotIcon(int slot);
} // namespace MenuIcons
