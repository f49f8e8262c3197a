#pragma once

#include "platform/x11/KeyLevels.h"

#include <QList>

struct _XDisplay;

// Changes keys of the server's keyboard mapping: gives spare keys symbols on two or four levels, and takes them
// away again. Every change makes each client reload its key table, so the keys of one call go in one request
// where the server allows it.
namespace X11KeyMapWriter {

// The XKB key type whose four levels are selected by nothing, Shift, the modifier of the Level 3 key (AltGr) and
// both; -1 when the layout has none, or the Level 3 key sits in no modifier row.
int findFourLevelType(_XDisplay* display, quint8 levelThreeKeycode);

enum class Written {
    AllLevels,      // every key as given
    FirstTwoLevels, // the XKB request failed: the keys' first two levels were written, Level 3 and 4 not
};
// Writes the keys (in the order of their keycodes): an empty key loses its symbols, a key with symbols on Level 3
// or 4 gets the key type fourLevelType (from findFourLevelType), any other the two-level type.
Written write(_XDisplay* display, const QList<KeyLevels>& keys, int fourLevelType);

} // namespace X11KeyMapWriter
