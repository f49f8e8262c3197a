#pragma once

#include <QList>
#include <QString>

struct _XDisplay;

// Reading window properties; a window that vanished meanwhile reads as having none.
namespace X11Properties {

unsigned long atom(_XDisplay* display, const char* name);
// The 32-bit items of a property (windows, atoms, cardinals); empty when it is missing or of another type.
QList<unsigned long> items(_XDisplay* display, unsigned long window, unsigned long property, unsigned long type);
// _NET_WM_NAME in UTF-8, else WM_NAME; "" when neither exists.
QString title(_XDisplay* display, unsigned long window);
// The root's _NET_ACTIVE_WINDOW; 0 when none.
unsigned long activeWindow(_XDisplay* display);

} // namespace X11Properties
