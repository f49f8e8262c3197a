#include "platform/x11/X11KeyMap.h"

#include <memory>

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

namespace {
struct XFreeDeleter {
    void operator()(void* data) const { XFree(data); }
};
} // namespace

void X11KeyMap::load(Display* display) {
    XDisplayKeycodes(display, &m_minKeycode, &m_maxKeycode);
    m_symbols.clear();
    m_index.clear();
    m_perKeycode = 0;
    const int count = m_maxKeycode - m_minKeycode + 1;
    if (count <= 0)
        return;
    const std::unique_ptr<KeySym, XFreeDeleter> symbols(
        XGetKeyboardMapping(display, KeyCode(m_minKeycode), count, &m_perKeycode));
    if (!symbols)
        return;
    m_symbols = QList<Symbol>(symbols.get(), symbols.get() + qsizetype(count) * m_perKeycode);

    // The core mapping lists group 1 in columns 0-1 and group 2 in columns 2-3; a third or fourth group has no
    // core columns, and its keys are looked up as group 1 (which then needs the temporary mapping more often).
    XkbStateRec state{};
    const bool stateRead = XkbGetState(display, XkbUseCoreKbd, &state) == Success;
    m_group = (stateRead && state.group < 2) ? state.group : 0;
    m_capsLockLocked = stateRead && (state.locked_mods & LockMask);

    // The lowest key wins for a symbol found on several keys, and a key without Shift wins over one with it.
    for (int level = 0; level < 2; ++level) {
        for (int keycode = m_minKeycode; keycode <= m_maxKeycode; ++keycode) {
            KeySym symbol = symbolAt(quint8(keycode), level);
            if (level == 1 && symbol == NoSymbol) {
                // A letter given only in lower case has its upper case on the second level.
                KeySym lower = NoSymbol, upper = NoSymbol;
                XConvertCase(symbolAt(quint8(keycode), 0), &lower, &upper);
                if (upper != lower)
                    symbol = upper;
            }
            if (symbol != NoSymbol && !m_index.contains(symbol))
                m_index.insert(symbol, Key{quint8(keycode), level == 1});
        }
    }
}

X11KeyMap::Symbol X11KeyMap::symbolAt(quint8 keycode, int level) const {
    if (keycode < m_minKeycode || keycode > m_maxKeycode || level < 0 || level > 1)
        return NoSymbol;
    const int column = m_group * 2 + level;
    if (column >= m_perKeycode)
        return NoSymbol;
    return m_symbols.value((keycode - m_minKeycode) * m_perKeycode + column, NoSymbol);
}

X11KeyMap::Symbol X11KeyMap::column(quint8 keycode, int column) const {
    if (keycode < m_minKeycode || keycode > m_maxKeycode || column < 0 || column >= m_perKeycode)
        return NoSymbol;
    return m_symbols.value((keycode - m_minKeycode) * m_perKeycode + column, NoSymbol);
}

QList<quint8> X11KeyMap::spareKeycodes() const {
    QList<quint8> spare;
    for (int keycode = m_minKeycode; keycode <= m_maxKeycode; ++keycode) {
        const auto first = m_symbols.cbegin() + (keycode - m_minKeycode) * m_perKeycode;
        if (std::all_of(first, first + m_perKeycode, [](Symbol s) { return s == NoSymbol; }))
            spare.append(quint8(keycode));
    }
    return spare;
}

bool X11KeyMap::shows(const KeyLevels& key) const {
    // The core mapping shows the first two levels in its first columns and Level 3 and 4 in the fifth and sixth,
    // when it has that many.
    const auto& s = key.symbols;
    bool same = column(key.keycode, 0) == s[0] && column(key.keycode, 1) == s[1];
    if (same && (s[2] || s[3]) && column(key.keycode, 5) != NoSymbol)
        same = column(key.keycode, 4) == s[2] && column(key.keycode, 5) == s[3];
    return same;
}

bool X11KeyMap::isLockSymbol(Symbol symbol) {
    return symbol == XK_Caps_Lock || symbol == XK_Shift_Lock || symbol == XK_Num_Lock || symbol == XK_Scroll_Lock;
}
