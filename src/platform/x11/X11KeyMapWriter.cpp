#include "platform/x11/X11KeyMapWriter.h"
#include "platform/PlatformLog.h"

#include <algorithm>
#include <memory>

#include <X11/XKBlib.h>
#include <X11/Xlib.h>

namespace {

struct KeyboardDeleter {
    void operator()(XkbDescPtr xkb) const { XkbFreeKeyboard(xkb, 0, True); }
};
using Keyboard = std::unique_ptr<XkbDescRec, KeyboardDeleter>;

struct ModifierMapDeleter {
    void operator()(XModifierKeymap* map) const { XFreeModifiermap(map); }
};
using ModifierMap = std::unique_ptr<XModifierKeymap, ModifierMapDeleter>;

// The modifier bit of the row Mod1-Mod5 that holds the key; 0 when none does.
unsigned int modifierOfKey(Display* display, quint8 keycode) {
    const ModifierMap map(XGetModifierMapping(display));
    if (!map)
        return 0;
    for (int row = Mod1MapIndex; row <= Mod5MapIndex; ++row) {
        for (int i = 0; i < map->max_keypermod; ++i)
            if (map->modifiermap[row * map->max_keypermod + i] == keycode)
                return 1u << row;
    }
    return 0;
}

// Gives the keys their types and symbols in the server's description and sends the changed part back.
bool changeKeys(Display* display, XkbDescPtr xkb, const QList<KeyLevels>& keys, int fourLevelType) {
    XkbMapChangesRec changes{};
    int first = 255, last = 0;
    for (const KeyLevels& key : keys) {
        const int keycode = key.keycode;
        const bool empty = key.isEmpty();
        const bool upperLevels = key.symbols[2] || key.symbols[3];
        // Two levels, the second with Shift, or the four-level type; Caps Lock has no say on either.
        const bool fourLevels = upperLevels && fourLevelType >= 0 && fourLevelType < xkb->map->num_types;
        if (upperLevels && !fourLevels)
            return false;
        int types[XkbNumKbdGroups] = {fourLevels ? fourLevelType : XkbTwoLevelIndex};
        if (XkbChangeTypesOfKey(xkb, keycode, empty ? 0 : 1, XkbGroup1Mask, types, &changes) != Success)
            return false;
        if (!empty) {
            KeySym* symbols = XkbKeySymsPtr(xkb, keycode);
            for (int level = 0; level < (fourLevels ? 4 : 2); ++level)
                symbols[level] = key.symbols[level];
        }
        first = std::min(first, keycode);
        last = std::max(last, keycode);
    }
    changes.changed |= XkbKeySymsMask;
    changes.first_key_sym = KeyCode(first);
    changes.num_key_syms = last - first + 1;
    return XkbChangeMap(display, xkb, &changes);
}

// One XKB request for all keys (keys lying between them are sent back as they are); false when the server's
// description could not be read or changed as asked.
bool writeWithXkb(Display* display, const QList<KeyLevels>& keys, int fourLevelType) {
    // The key actions come along only because widening a key looks at them (our keys have none).
    const Keyboard xkb(XkbGetMap(display, XkbKeyTypesMask | XkbKeySymsMask | XkbKeyActionsMask, XkbUseCoreKbd));
    if (!xkb)
        return false;
    if (!changeKeys(display, xkb.get(), keys, fourLevelType)) {
        qCDebug(lcPlatform) << "the XKB mapping request failed; changing the keys one by one";
        return false;
    }
    return true;
}

// The core request knows two levels a key and one range of keys a request: one request per run of neighbours.
void writeFirstTwoLevels(Display* display, const QList<KeyLevels>& keys) {
    for (qsizetype i = 0; i < keys.size();) {
        qsizetype end = i + 1;
        while (end < keys.size() && keys.at(end).keycode == keys.at(end - 1).keycode + 1)
            ++end;
        QList<KeySym> symbols;
        for (qsizetype j = i; j < end; ++j)
            symbols << keys.at(j).symbols[0] << keys.at(j).symbols[1];
        XChangeKeyboardMapping(display, keys.at(i).keycode, 2, symbols.data(), int(end - i));
        i = end;
    }
}

} // namespace

int X11KeyMapWriter::findFourLevelType(Display* display, quint8 levelThreeKeycode) {
    const unsigned int mask = modifierOfKey(display, levelThreeKeycode);
    if (!mask)
        return -1;
    const Keyboard xkb(XkbGetMap(display, XkbKeyTypesMask, XkbUseCoreKbd));
    if (!xkb)
        return -1;
    for (int i = 0; i < xkb->map->num_types; ++i) {
        const XkbKeyTypeRec& type = xkb->map->types[i];
        if (type.num_levels != 4 || type.mods.mask != (ShiftMask | mask))
            continue;
        int shift = -1, levelThree = -1, both = -1;
        for (int e = 0; e < type.map_count; ++e) {
            const XkbKTMapEntryRec& entry = type.map[e];
            if (!entry.active)
                continue;
            if (entry.mods.mask == ShiftMask)
                shift = entry.level;
            else if (entry.mods.mask == mask)
                levelThree = entry.level;
            else if (entry.mods.mask == (ShiftMask | mask))
                both = entry.level;
        }
        if (shift == 1 && levelThree == 2 && both == 3)
            return i;
    }
    return -1;
}

X11KeyMapWriter::Written X11KeyMapWriter::write(Display* display, const QList<KeyLevels>& keys, int fourLevelType) {
    if (keys.isEmpty())
        return Written::AllLevels;
    // The spare keys lie scattered, so the core request would need one change per key; the XKB request changes
    // them all at once.
    if (writeWithXkb(display, keys, fourLevelType))
        return Written::AllLevels;
    writeFirstTwoLevels(display, keys);
    return Written::FirstTwoLevels;
}
