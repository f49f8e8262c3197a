#include "platform/wayland/VirtualKeymap.h"

#include "platform/KeySymbols.h"

#include <QHash>

#include <xkbcommon/xkbcommon.h>

namespace VirtualKeymap {

namespace {

// The modifier keys on the first keycodes, each mapped onto its real modifier.
struct ModifierKey {
    quint32 keysym;
    const char* realModifier;
};
constexpr ModifierKey kModifierKeys[ModifierKeys] = {
    {KeySymbols::ShiftL, "Shift"}, {KeySymbols::ControlL, "Control"}, {KeySymbols::AltL, "Mod1"}};

QByteArray keysymName(quint32 keysym) {
    char name[64];
    if (xkb_keysym_get_name(keysym, name, sizeof name) <= 0)
        return QByteArray("0x") + QByteArray::number(keysym, 16);
    return QByteArray(name);
}

// A keymap that needs nothing from the xkb data files: one level per key, no interpretations (the modifier
// state comes as a mask).
QByteArray keymapText(const QList<quint32>& keysyms) {
    QByteArray codes, symbols;
    const auto add = [&](quint32 index, quint32 keysym) {
        const QByteArray name = "<K" + QByteArray::number(index) + '>';
        codes += "  " + name + " = " + QByteArray::number(FirstXkbKeycode + 1 + index) + ";\n";
        symbols += "  key " + name + " { [ " + keysymName(keysym) + " ] };\n";
    };
    for (quint32 i = 0; i < ModifierKeys; ++i) {
        add(i, kModifierKeys[i].keysym);
        symbols +=
            "  modifier_map " + QByteArray(kModifierKeys[i].realModifier) + " { <K" + QByteArray::number(i) + "> };\n";
    }
    for (qsizetype i = 0; i < keysyms.size(); ++i)
        add(ModifierKeys + quint32(i), keysyms[i]);
    return "xkb_keymap {\n"
           "xkb_keycodes \"zolpane\" {\n  minimum = 8;\n  maximum = 255;\n" +
           codes +
           "};\n"
           "xkb_types \"zolpane\" {\n  type \"ONE_LEVEL\" { modifiers = none; level_name[Level1] = \"Any\"; };\n};\n"
           "xkb_compatibility \"zolpane\" {\n};\n"
           "xkb_symbols \"zolpane\" {\n" +
           symbols + "};\n};\n" + QByteArray(1, '\0');
}

} // namespace

quint32 maskOf(quint8 keyModifiers) {
    return ((keyModifiers & ShiftModifier) ? ShiftMask : 0) | ((keyModifiers & ControlModifier) ? ControlMask : 0) |
           ((keyModifiers & AltModifier) ? AltMask : 0);
}

QList<Part> plan(const KeyActions& keys) {
    QList<Part> parts;
    QList<quint32> keysyms;
    QHash<quint32, quint32> keyOf; // keysym -> evdev keycode in the current part
    QList<Stroke> strokes;
    const auto close = [&] {
        if (!strokes.isEmpty())
            parts.append({keymapText(keysyms), strokes});
        keysyms.clear();
        keyOf.clear();
        strokes.clear();
    };
    for (const KeyAction& action : keys) {
        const quint32 keysym = action.key != SpecialKey::NoKey ? KeySymbols::forSpecialKey(action.key)
                                                               : KeySymbols::forCharacter(action.character);
        if (!keysym)
            continue;
        if (!keyOf.contains(keysym)) {
            if (keysyms.size() == KeysPerKeymap)
                close();
            keyOf.insert(keysym, ModifierKeys + quint32(keysyms.size()) + 1);
            keysyms.append(keysym);
        }
        strokes.append({keyOf.value(keysym), maskOf(action.modifiers)});
    }
    close();
    return parts;
}

} // namespace VirtualKeymap
