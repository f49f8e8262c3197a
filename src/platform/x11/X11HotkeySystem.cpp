#include "platform/x11/X11HotkeySystem.h"
#include "platform/KeySymbols.h"
#include "platform/PlatformLog.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11ErrorTrap.h"
#include "platform/x11/X11KeyMap.h"
#include "platform/x11/X11KeyReleaseWatch.h"

#include <algorithm>
#include <array>
#include <iterator>

#include <X11/Xlib.h>
#include <X11/keysym.h>

namespace {

constexpr int kAltBit = 1;
constexpr int kControlBit = 2;
constexpr int kShiftBit = 4;
constexpr int kVirtualShift = 16;
constexpr int kVirtualControl = 17;
constexpr int kVirtualAlt = 18;

// The modifier row (as a mask) that holds the key of symbol, 0 when no row does.
unsigned int maskOf(Display* d, XModifierKeymap* map, KeySym symbol) {
    const KeyCode keycode = XKeysymToKeycode(d, symbol);
    if (!keycode || !map)
        return 0;
    for (int row = 0; row < 8; ++row) {
        for (int i = 0; i < map->max_keypermod; ++i)
            if (map->modifiermap[row * map->max_keypermod + i] == keycode)
                return 1u << row;
    }
    return 0;
}

} // namespace

X11HotkeySystem::X11HotkeySystem(Display* display, QObject* parent)
    : HotkeySystem(parent), m_display(display),
      m_connection(new X11Connection(QByteArray(DisplayString(display)), this)),
      m_releases(new X11KeyReleaseWatch(QByteArray(DisplayString(display)), this)) {
    connect(m_releases, &X11KeyReleaseWatch::released, this, &HotkeySystem::keyReleased);
    if (!m_connection->isOpen())
        return;
    refreshLayout();
    m_connection->setEventHandler([this](XEvent& event) { onEvent(event); });
    m_connection->drainSoon();
}

bool X11HotkeySystem::watchKeyReleases(bool on) {
    return m_releases->watch(on);
}

X11HotkeySystem::~X11HotkeySystem() {
    // Closing the connection drops its grabs as well; giving them back first keeps the order of events clear
    // for another program that takes the same keys at once.
    if (m_connection->isOpen()) {
        for (const Grab& g : std::as_const(m_grabs))
            ungrab(g);
        XFlush(m_connection->display());
    }
}

QList<int> X11HotkeySystem::knownKeys() {
    QList<int> keys{kVirtualShift, kVirtualControl, kVirtualAlt};
    for (int vk = 0; vk < 256; ++vk)
        if (isSupportedKey(vk))
            keys.append(vk);
    return keys;
}

void X11HotkeySystem::refreshLayout() {
    Display* d = m_connection->display();
    XModifierKeymap* map = XGetModifierMapping(d);
    // Alt is Mod1 and Num Lock Mod2 on nearly every layout; the mapping says for sure.
    m_altMask = maskOf(d, map, XK_Alt_L);
    if (!m_altMask)
        m_altMask = maskOf(d, map, XK_Meta_L);
    if (!m_altMask)
        m_altMask = Mod1Mask;
    m_numLockMask = maskOf(d, map, XK_Num_Lock);
    if (!m_numLockMask)
        m_numLockMask = Mod2Mask;
    if (map)
        XFreeModifiermap(map);

    // Key state queries go to Qt's connection, whose keycode table is not refreshed on layout changes; the
    // table kept here is.
    m_keycodes.clear();
    for (int vk : knownKeys()) {
        QList<KeySym> symbols;
        if (vk == kVirtualShift)
            symbols = {XK_Shift_L, XK_Shift_R};
        else if (vk == kVirtualControl)
            symbols = {XK_Control_L, XK_Control_R};
        else if (vk == kVirtualAlt)
            symbols = {XK_Alt_L, XK_Alt_R, XK_Meta_L, XK_Meta_R};
        else
            symbols = {KeySymbols::forVirtualKey(vk)};
        QList<unsigned int> keycodes;
        for (KeySym s : symbols)
            if (const KeyCode keycode = XKeysymToKeycode(d, s); keycode && !keycodes.contains(keycode))
                keycodes.append(keycode);
        m_keycodes.insert(vk, keycodes);
    }
}

bool X11HotkeySystem::resolve(Grab& g) const {
    const QList<unsigned int> keycodes = m_keycodes.value(g.virtualKey);
    g.keycode = keycodes.isEmpty() ? 0 : keycodes.first();
    g.numLock = m_numLockMask;
    g.mask = 0;
    if (g.modifierCode & kAltBit)
        g.mask |= m_altMask;
    if (g.modifierCode & kControlBit)
        g.mask |= ControlMask;
    if (g.modifierCode & kShiftBit)
        g.mask |= ShiftMask;
    return g.keycode != 0;
}

void X11HotkeySystem::grab(const Grab& g) {
    Display* d = m_connection->display();
    const Window root = DefaultRootWindow(d);
    // Caps Lock and Num Lock add their bits to the key state; without these variants the hotkey would be dead
    // while either lock is on.
    const std::array<unsigned int, 4> variants{0u, unsigned(LockMask), g.numLock, LockMask | g.numLock};
    for (unsigned int variant : variants)
        XGrabKey(d, int(g.keycode), g.mask | variant, root, False, GrabModeAsync, GrabModeAsync);
}

bool X11HotkeySystem::grabAndCheck(const Grab& g) {
    bool refused = false;
    {
        X11ErrorTrap trap(m_connection->display());
        grab(g);
        refused = trap.failed(); // BadAccess: another client holds one of the variants
    }
    if (refused)
        ungrab(g);
    // The sync above may have read events into Xlib's queue.
    m_connection->drainSoon();
    return !refused;
}

void X11HotkeySystem::ungrab(const Grab& g) {
    Display* d = m_connection->display();
    const Window root = DefaultRootWindow(d);
    const std::array<unsigned int, 4> variants{0u, unsigned(LockMask), g.numLock, LockMask | g.numLock};
    for (unsigned int variant : variants)
        XUngrabKey(d, int(g.keycode), g.mask | variant, root);
}

bool X11HotkeySystem::registerHotkey(int id, int modifierCode, int virtualKey) {
    return registerHotkeys({{id, modifierCode, virtualKey, {}}}).value(0);
}

QList<bool> X11HotkeySystem::registerHotkeys(const QList<Registration>& registrations) {
    QList<bool> taken(registrations.size(), false);
    if (!m_connection->isOpen())
        return taken;
    Display* d = m_connection->display();
    // Every grab goes out first and the server is asked once whether any was refused, rather than once a hotkey:
    // each question is a round trip, which a loaded desktop makes long.
    struct Sent {
        qsizetype index;
        unsigned long first, last; // the numbers of its grab requests
    };
    QList<Sent> sent;
    {
        X11ErrorTrap trap(d);
        for (qsizetype i = 0; i < registrations.size(); ++i) {
            const Registration& r = registrations[i];
            unregisterHotkey(r.id);
            Grab g{r.modifierCode, r.virtualKey, 0, 0, 0};
            if (!isSupportedKey(r.virtualKey) || !resolve(g)) {
                qCInfo(lcPlatform) << "hotkey" << r.id << "refused: key code" << r.virtualKey
                                   << "has no key on this keyboard";
                continue;
            }
            const auto owner = std::find_if(m_grabs.cbegin(), m_grabs.cend(), [&g](const Grab& other) {
                return other.keycode == g.keycode && other.mask == g.mask;
            });
            if (owner != m_grabs.cend()) {
                qCInfo(lcPlatform) << "hotkey" << r.id << "refused: the combination belongs to hotkey" << owner.key();
                continue;
            }
            const unsigned long first = XNextRequest(d);
            grab(g);
            sent.append({i, first, XNextRequest(d) - 1});
            m_grabs.insert(r.id, g);
        }
        for (const Sent& s : sent) {
            const Registration& r = registrations[s.index];
            if (trap.failedWithin(s.first, s.last)) {
                // BadAccess: another client holds one of the variants.
                qCInfo(lcPlatform) << "hotkey" << r.id << "refused: another application holds modifiers"
                                   << r.modifierCode << "key" << r.virtualKey;
                ungrab(m_grabs.take(r.id));
            } else {
                taken[s.index] = true;
            }
        }
    }
    XFlush(d);
    // The wait above may have read events into Xlib's queue.
    m_connection->drainSoon();
    return taken;
}

void X11HotkeySystem::unregisterHotkey(int id) {
    m_lost.remove(id);
    const auto it = m_grabs.constFind(id);
    if (it == m_grabs.cend())
        return;
    ungrab(*it);
    XFlush(m_connection->display());
    m_grabs.erase(it);
}

void X11HotkeySystem::onEvent(XEvent& event) {
    if (event.type == MappingNotify) {
        XRefreshKeyboardMapping(&event.xmapping);
        if (event.xmapping.request != MappingKeyboard && event.xmapping.request != MappingModifier)
            return;
        // A new layout can move a hotkey's symbol to another key. Our own temporary mappings for typing touch
        // only keys without symbols, so they leave every grab where it is.
        refreshLayout();
        for (auto it = m_grabs.begin(); it != m_grabs.end();) {
            Grab moved = *it;
            const bool found = resolve(moved);
            if (moved.keycode == it->keycode && moved.mask == it->mask && moved.numLock == it->numLock) {
                ++it;
                continue;
            }
            ungrab(*it);
            if (found && grabAndCheck(moved)) {
                *it = moved;
                ++it;
            } else {
                // Kept, and grabbed again once a layout has the key: a virtual keyboard of the compositor (one
                // that types each sending with a keymap of its own) changes the layout of XWayland for a moment.
                qCInfo(lcPlatform) << "hotkey" << it.key() << "lost with the keyboard layout change";
                m_lost.insert(it.key(), moved);
                it = m_grabs.erase(it);
            }
        }
        for (auto it = m_lost.begin(); it != m_lost.end();) {
            Grab g = *it;
            const bool found = resolve(g);
            const bool free = std::none_of(m_grabs.cbegin(), m_grabs.cend(), [&g](const Grab& other) {
                return other.keycode == g.keycode && other.mask == g.mask;
            });
            if (found && free && grabAndCheck(g)) {
                qCInfo(lcPlatform) << "hotkey" << it.key() << "back with the keyboard layout";
                m_grabs.insert(it.key(), g);
                it = m_lost.erase(it);
            } else {
                ++it;
            }
        }
        return;
    }
    if (event.type != KeyPress)
        return;
    // Lock bits and pointer buttons do not take part in the match.
    const unsigned int relevant = ShiftMask | ControlMask | Mod1Mask | Mod2Mask | Mod3Mask | Mod4Mask | Mod5Mask;
    const unsigned int state = event.xkey.state & relevant & ~(unsigned(LockMask) | m_numLockMask);
    for (auto it = m_grabs.cbegin(); it != m_grabs.cend(); ++it) {
        if (it->keycode == event.xkey.keycode && it->mask == state) {
            Q_EMIT hotkeyPressed(it.key());
            return;
        }
    }
}

bool X11HotkeySystem::isKeyDown(int virtualKey) const {
    const QList<unsigned int> keycodes = m_keycodes.value(virtualKey);
    if (keycodes.isEmpty())
        return false;
    char keys[32] = {};
    XQueryKeymap(m_display, keys);
    for (unsigned int keycode : keycodes)
        if (keycode < 256 && (keys[keycode / 8] & (1 << (keycode % 8))))
            return true;
    return false;
}

bool X11HotkeySystem::anyOfKeysDown(const QList<int>& virtualKeys) const {
    char keys[32] = {};
    XQueryKeymap(m_display, keys);
    for (int virtualKey : virtualKeys)
        for (unsigned int keycode : m_keycodes.value(virtualKey))
            if (keycode < 256 && (keys[keycode / 8] & (1 << (keycode % 8))))
                return true;
    return false;
}

bool X11HotkeySystem::anyKeyDown() const {
    char keys[32] = {};
    XQueryKeymap(m_display, keys);
    return std::any_of(std::begin(keys), std::end(keys), [](char byte) { return byte != 0; });
}
