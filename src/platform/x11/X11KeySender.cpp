#include "platform/x11/X11KeySender.h"
#include "platform/PlatformLog.h"

#include <QSet>

#include <algorithm>

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace {

// Keys go out in small bursts, one burst a timer tick, so that the target reads them about as fast as they are
// produced: a key's symbol is looked up only when the target reads the key, and a lent spare key may be lent
// to another character soon after.
constexpr int kStrokesPerTick = 8;
constexpr int kTickMs = 2;
// A changed mapping reaches the target as a notification it acts on when it next reads events; keys sent
// before it has done so would be looked up in its old table. 30 ms was reliable when measured.
constexpr int kMappingSettleMs = 30;
// Symbols missing from the layout are lent keys ahead of their use, once the first of them is this near, so
// that the pause after a mapping change passes while the keys before them are typed.
constexpr int kLendAheadStrokes = 64;
// How far ahead the symbols to keep are looked for; bounds the work per burst on long texts.
constexpr int kLookaheadStrokes = 512;
// A lent key's level gets another symbol only this long after its last use. Xlib looks a key up in the key
// table it fetches after reading the mapping change, which may come before it has handled the keys read in the
// same batch: every key typed with the old symbol must have been handled by then. 120 ms still lost characters
// to a target starved by a loaded processor (two cores, load 9); 300 ms did not.
constexpr int kRemapAfterUseMs = 300;
// The spare keys go back to having no symbol this long after the target has surely read the last key, for the
// same reason; a sending that starts before reuses the lent keys as they are.
constexpr int kRevertDelayMs = 1000;
// Keys go out faster than a starved target reads them: a text typed in one second was still being read three
// seconds later by a Tk window on two loaded cores (about 900 keys a second). A lent level is given another
// symbol, and the lent keys given back, only once even a target reading no more than one key in this time since
// the sending began has read the key's last use.
constexpr int kSlowTargetMsPerKey = 2;
// The server has handled the fake events when XSync returns, but the target reads them a moment later; the
// caller may go on with something the keys depend on (answering the paste request from the clipboard).
constexpr int kProcessSettleMs = 20;
// Modifiers the user still holds are released for the sending; if they stay down (a real keyboard's keys are
// not released by synthesized events) the sending waits for the user to let go, polling at this pace, and
// gives up after the timeout rather than type shortcuts.
constexpr int kHeldModifierPollMs = 5;
constexpr int kHeldModifierTimeoutMs = 3000;
// A key the user presses while the typing runs (the next hotkey, usually) pauses it: with a modifier down the
// typed keys would become shortcuts in the target, and while our hotkey's key is down its grab takes every key.
// The user's keys are left alone; the typing goes on once they are up, or gives up after the same timeout.
constexpr int kLockRow = 1; // the Lock row of the modifier mapping

bool isDown(const char keys[32], unsigned int keycode) {
    return keycode < 256 && (keys[keycode / 8] & (1 << (keycode % 8)));
}

// Keys pressed for one stroke, released in reverse order when it ends, whatever happens in between.
class HeldKeys final {
public:
    explicit HeldKeys(Display* d) : m_display(d) {}
    ~HeldKeys() {
        for (auto it = m_keys.crbegin(); it != m_keys.crend(); ++it)
            XTestFakeKeyEvent(m_display, *it, False, CurrentTime);
    }
    void press(quint8 keycode) {
        XTestFakeKeyEvent(m_display, keycode, True, CurrentTime);
        m_keys.append(keycode);
    }
    HeldKeys(const HeldKeys&) = delete;
    HeldKeys& operator=(const HeldKeys&) = delete;

private:
    Display* m_display;
    QVarLengthArray<quint8, 4> m_keys;
};

} // namespace

X11KeySender::X11KeySender(Display* display, WindowSystem& windows, QObject* parent)
    : KeySender(windows, parent), m_display(display) {
    int event = 0, error = 0, major = 0, minor = 0;
    m_hasXTest = XTestQueryExtension(display, &event, &error, &major, &minor);
    if (!m_hasXTest)
        qCWarning(lcPlatform) << "the X server has no XTest extension: keys cannot be sent";
    m_clock.start();
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &X11KeySender::step);
    m_revertTimer.setSingleShot(true);
    connect(&m_revertTimer, &QTimer::timeout, this, &X11KeySender::revertSlots);
}

X11KeySender::~X11KeySender() {
    if (m_phase != Phase::Idle)
        abortDelivery();
    // The program ends or the display goes: the lent keys must not keep their symbols.
    revertSlots();
}

void X11KeySender::schedule(int ms) {
    m_timer.start(std::max(ms, 0));
}

void X11KeySender::deliver(const KeyActions& keys) {
    m_revertTimer.stop();
    if (!m_hasXTest) {
        complete(Result::Failed);
        return;
    }
    m_map.load(m_display);
    findLevelThree();
    refreshSlots();
    if (!plan(keys)) {
        complete(Result::Failed);
        return;
    }
    m_next = 0;
    m_pausedSince = -1;
    if (heldModifiersDown(true) && heldModifiersDown(false)) {
        qCInfo(lcPlatform) << "modifier keys are held down; waiting for their release before typing";
        m_phase = Phase::WaitingForModifiers;
        m_modifierWaitStart = m_clock.elapsed();
        schedule(kHeldModifierPollMs);
        return;
    }
    setCapsLockOff(true);
    m_phase = Phase::Typing;
    m_typingStart = m_clock.elapsed();
    step();
}

void X11KeySender::abortDelivery() {
    m_timer.stop();
    setCapsLockOff(false);
    XFlush(m_display);
    m_phase = Phase::Idle;
    scheduleRevert();
}

void X11KeySender::scheduleRevert() {
    qint64 latest = -1;
    for (const Slot& slot : std::as_const(m_slots)) {
        for (int level = 0; level < kMaxLevels; ++level) {
            if (slot.symbols[level])
                latest = std::max(latest, slot.lastUse[level] < 0 ? 0 : slot.safeAt[level]);
        }
    }
    if (latest < 0)
        return; // nothing lent
    m_revertTimer.start(int(std::max<qint64>(latest - m_clock.elapsed(), 0) + kRevertDelayMs));
}

void X11KeySender::refreshSlots() {
    // Keys still lent from an earlier sending stay lent when the server still has our symbols on them.
    QList<Slot> slots;
    QSet<quint8> taken;
    for (const Slot& slot : std::as_const(m_slots)) {
        // The core mapping shows the first two levels in its first columns and Level 3 and 4 in the fifth and
        // sixth, when it has that many.
        bool same =
            m_map.column(slot.keycode, 0) == slot.symbols[0] && m_map.column(slot.keycode, 1) == slot.symbols[1];
        if (same && (slot.symbols[2] || slot.symbols[3]) && m_map.column(slot.keycode, 5) != NoSymbol)
            same = m_map.column(slot.keycode, 4) == slot.symbols[2] && m_map.column(slot.keycode, 5) == slot.symbols[3];
        if (same) {
            slots.append(slot);
            taken.insert(slot.keycode);
        }
    }
    for (quint8 keycode : m_map.spareKeycodes()) {
        if (!taken.contains(keycode)) {
            Slot slot;
            slot.keycode = keycode;
            slots.append(slot);
        }
    }
    std::sort(slots.begin(), slots.end(), [](const Slot& a, const Slot& b) { return a.keycode < b.keycode; });
    m_slots = slots;
}

bool X11KeySender::slotFor(Symbol symbol, quint8& keycode, bool& shift) const {
    for (const Slot& slot : m_slots) {
        for (int level = 0; level < m_levels; ++level) {
            if (slot.symbols[level] == symbol) {
                keycode = slot.keycode;
                shift = level % 2 == 1;
                return true;
            }
        }
    }
    return false;
}

bool X11KeySender::findLent(Symbol symbol, int& slot, int& level) const {
    for (slot = 0; slot < m_slots.size(); ++slot) {
        for (level = 0; level < m_levels; ++level) {
            if (m_slots.at(slot).symbols[level] == symbol)
                return true;
        }
    }
    return false;
}

bool X11KeySender::plan(const KeyActions& keys) {
    QSet<quint8> lent;
    for (const Slot& slot : std::as_const(m_slots))
        lent.insert(slot.keycode);
    const auto keyOf = [this](Symbol s) { return m_map.find(s).value_or(X11KeyMap::Key{}).keycode; };
    m_shiftKey = keyOf(XK_Shift_L) ? keyOf(XK_Shift_L) : keyOf(XK_Shift_R);
    m_controlKey = keyOf(XK_Control_L) ? keyOf(XK_Control_L) : keyOf(XK_Control_R);
    m_altKey = keyOf(XK_Alt_L) ? keyOf(XK_Alt_L) : keyOf(XK_Meta_L);

    m_strokes.clear();
    m_strokes.reserve(keys.size());
    bool needsSpare = false;
    quint8 modifiersUsed = 0;
    for (const KeyAction& action : keys) {
        const Symbol symbol = action.key != SpecialKey::NoKey ? X11KeyMap::symbolForSpecialKey(action.key)
                                                              : X11KeyMap::symbolForCharacter(action.character);
        if (symbol == NoSymbol) {
            qCDebug(lcPlatform) << "skipping a character with no key:" << Qt::hex << quint32(action.character);
            continue;
        }
        Stroke stroke;
        stroke.modifiers = action.modifiers;
        modifiersUsed |= action.modifiers;
        quint8 keycode = 0;
        bool shift = false;
        const auto onLayout = m_map.find(symbol);
        if (!slotFor(symbol, keycode, shift) && onLayout && !lent.contains(onLayout->keycode)) {
            stroke.keycode = onLayout->keycode;
            stroke.shift = onLayout->shift;
            if (stroke.shift)
                modifiersUsed |= ShiftModifier;
        } else {
            stroke.temporary = symbol;
            needsSpare = true;
            modifiersUsed |= ShiftModifier; // a lent key's second level needs Shift
        }
        m_strokes.append(stroke);
    }
    if (needsSpare && m_slots.isEmpty()) {
        qCWarning(lcPlatform) << "no spare key for characters missing from the keyboard layout";
        return false;
    }
    if (((modifiersUsed & ShiftModifier) && !m_shiftKey) || ((modifiersUsed & ControlModifier) && !m_controlKey) ||
        ((modifiersUsed & AltModifier) && !m_altKey)) {
        qCWarning(lcPlatform) << "the keyboard layout lacks a modifier key the keys need";
        return false;
    }
    return true;
}

bool X11KeySender::heldModifiersDown(bool releaseThem) {
    XModifierKeymap* map = XGetModifierMapping(m_display);
    if (!map)
        return false;
    char keys[32] = {};
    XQueryKeymap(m_display, keys);
    bool any = false;
    for (int row = 0; row < 8; ++row) {
        if (row == kLockRow)
            continue;
        for (int i = 0; i < map->max_keypermod; ++i) {
            const KeyCode keycode = map->modifiermap[row * map->max_keypermod + i];
            // Num Lock sits in a modifier row too, but it is a lock whose key being held changes nothing.
            if (!keycode || !isDown(keys, keycode) || X11KeyMap::isLockSymbol(m_map.column(keycode, 0)))
                continue;
            any = true;
            if (releaseThem)
                XTestFakeKeyEvent(m_display, keycode, False, CurrentTime);
        }
    }
    XFreeModifiermap(map);
    if (any && releaseThem)
        XSync(m_display, False);
    return any;
}

void X11KeySender::findLevelThree() {
    m_levelThreeKey = 0;
    m_fourLevelType = -1;
    m_levels = 2;
    // The key of ISO_Level3_Shift (AltGr), in a modifier row, and a key type whose four levels are selected by
    // nothing, Shift, that modifier and both: then a lent key can hold four characters.
    const auto key = m_map.find(XK_ISO_Level3_Shift);
    if (!key || key->shift)
        return;
    unsigned int mask = 0;
    if (XModifierKeymap* map = XGetModifierMapping(m_display)) {
        for (int row = Mod1MapIndex; row <= Mod5MapIndex && !mask; ++row) {
            for (int i = 0; i < map->max_keypermod; ++i) {
                if (map->modifiermap[row * map->max_keypermod + i] == key->keycode)
                    mask = 1u << row;
            }
        }
        XFreeModifiermap(map);
    }
    if (!mask)
        return;
    XkbDescPtr xkb = XkbGetMap(m_display, XkbKeyTypesMask, XkbUseCoreKbd);
    if (!xkb)
        return;
    for (int i = 0; i < xkb->map->num_types && m_fourLevelType < 0; ++i) {
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
            m_fourLevelType = i;
    }
    XkbFreeKeyboard(xkb, 0, True);
    if (m_fourLevelType >= 0) {
        m_levelThreeKey = key->keycode;
        m_levels = 4;
    }
}

bool X11KeySender::pausedForUserKeys() {
    if (!userKeysDown()) {
        m_pausedSince = -1;
        return false;
    }
    const qint64 now = m_clock.elapsed();
    if (m_pausedSince < 0) {
        m_pausedSince = now;
        qCInfo(lcPlatform) << "keys are held down; typing pauses until they are up";
    } else if (now - m_pausedSince >= kHeldModifierTimeoutMs) {
        qCWarning(lcPlatform) << "keys stayed down; the rest of the text was not typed";
        abortDelivery();
        complete(Result::Failed);
        return true;
    }
    XFlush(m_display);
    schedule(kHeldModifierPollMs);
    return true;
}

bool X11KeySender::userKeysDown() const {
    // Between strokes none of our own keys is down (each stroke lets go of what it pressed, and the server has
    // handled that before it answers this query), so a key down now is the user's. Lock keys change nothing.
    char keys[32] = {};
    XQueryKeymap(m_display, keys);
    for (unsigned int keycode = 8; keycode < 256; ++keycode) {
        if (isDown(keys, keycode) && !X11KeyMap::isLockSymbol(m_map.column(quint8(keycode), 0)))
            return true;
    }
    return false;
}

void X11KeySender::setCapsLockOff(bool off) {
    // Caps Lock would turn the typed letters' case around; it is unlocked for the sending and locked again.
    if (off) {
        XkbStateRec state{};
        if (XkbGetState(m_display, XkbUseCoreKbd, &state) == Success && (state.locked_mods & LockMask)) {
            XkbLockModifiers(m_display, XkbUseCoreKbd, LockMask, 0);
            m_capsLockWasOn = true;
        }
    } else if (m_capsLockWasOn) {
        XkbLockModifiers(m_display, XkbUseCoreKbd, LockMask, LockMask);
        m_capsLockWasOn = false;
    }
}

void X11KeySender::typeStroke(const Stroke& stroke) {
    quint8 keycode = stroke.keycode;
    bool shift = stroke.shift;
    bool levelThree = false;
    int slot = 0, level = 0;
    if (stroke.temporary && findLent(stroke.temporary, slot, level)) {
        keycode = m_slots.at(slot).keycode;
        shift = level % 2 == 1;
        levelThree = level >= 2;
        const qint64 now = m_clock.elapsed();
        m_slots[slot].lastUse[level] = now;
        m_slots[slot].safeAt[level] =
            std::max(now + kRemapAfterUseMs, m_typingStart + (m_next + 1) * qint64(kSlowTargetMsPerKey));
    }
    HeldKeys held(m_display);
    if (stroke.modifiers & ControlModifier)
        held.press(m_controlKey);
    if (stroke.modifiers & AltModifier)
        held.press(m_altKey);
    if (levelThree)
        held.press(m_levelThreeKey);
    if (shift || (stroke.modifiers & ShiftModifier))
        held.press(m_shiftKey);
    XTestFakeKeyEvent(m_display, keycode, True, CurrentTime);
    XTestFakeKeyEvent(m_display, keycode, False, CurrentTime);
}

void X11KeySender::step() {
    switch (m_phase) {
    case Phase::Idle:
        return;
    case Phase::WaitingForModifiers:
        if (!heldModifiersDown(false)) {
            setCapsLockOff(true);
            m_phase = Phase::Typing;
            m_typingStart = m_clock.elapsed();
            break; // on to typing
        }
        if (m_clock.elapsed() - m_modifierWaitStart >= kHeldModifierTimeoutMs) {
            qCWarning(lcPlatform) << "modifier keys stayed down; nothing was typed";
            m_phase = Phase::Idle;
            complete(Result::Failed);
            return;
        }
        schedule(kHeldModifierPollMs);
        return;
    case Phase::Finishing:
        m_phase = Phase::Idle;
        scheduleRevert();
        complete(Result::Sent);
        return;
    case Phase::Typing:
        break;
    }

    lendAhead();
    int typed = 0;
    while (m_next < m_strokes.size() && typed < kStrokesPerTick) {
        const Stroke& stroke = m_strokes.at(m_next);
        if (stroke.temporary) {
            // A symbol not lent yet waits for a free level, a newly lent one for the end of its pause.
            int slot = 0, level = 0;
            const qint64 now = m_clock.elapsed();
            const qint64 wait = findLent(stroke.temporary, slot, level) ? m_slots.at(slot).usableAt[level] - now
                                                                        : std::max<qint64>(m_nextReadyAt - now, 1);
            if (wait > 0) {
                XFlush(m_display);
                schedule(int(wait));
                return;
            }
        }
        // Looked at before every stroke, and each stroke goes out at once: a key the user presses meanwhile can
        // meet at most the one stroke already on its way.
        if (pausedForUserKeys())
            return;
        typeStroke(stroke);
        XFlush(m_display);
        ++m_next;
        ++typed;
    }
    if (m_next < m_strokes.size()) {
        XFlush(m_display);
        schedule(kTickMs);
        return;
    }
    XSync(m_display, False);
    setCapsLockOff(false);
    XFlush(m_display);
    m_phase = Phase::Finishing;
    schedule(kProcessSettleMs);
}

qsizetype X11KeySender::nextUse(Symbol symbol, qsizetype from) const {
    for (qsizetype i = from; i < m_strokes.size(); ++i) {
        if (m_strokes.at(i).temporary == symbol)
            return i;
    }
    return m_strokes.size();
}

void X11KeySender::lendAhead() {
    // The symbols the coming strokes need, in order of first use, as many as the spare keys hold. Those already
    // lent keep their places; the others are wanted.
    const qsizetype capacity = m_slots.size() * m_levels;
    const qsizetype horizon = std::min<qsizetype>(m_strokes.size(), m_next + kLookaheadStrokes);
    QList<Symbol> needed;
    qsizetype firstWanted = -1;
    QList<Symbol> wanted;
    int slot = 0, level = 0;
    for (qsizetype i = m_next; i < horizon && needed.size() < capacity; ++i) {
        const Symbol s = m_strokes.at(i).temporary;
        if (!s || needed.contains(s))
            continue;
        needed.append(s);
        if (!findLent(s, slot, level)) {
            wanted.append(s);
            if (firstWanted < 0)
                firstWanted = i;
        }
    }
    if (wanted.isEmpty() || firstWanted > m_next + kLendAheadStrokes)
        return;

    // Free places: levels whose symbol is not among the needed ones. A place is ready once the target has surely
    // read its last use (safeAt); among ready places the symbol needed again latest is given up first.
    struct Place {
        int slot;
        int level;
        qsizetype nextUse;
    };
    const qint64 now = m_clock.elapsed();
    QList<Place> ready;
    m_nextReadyAt = now + kRemapAfterUseMs;
    for (int i = 0; i < m_slots.size(); ++i) {
        const Slot& s = m_slots.at(i);
        for (int l = 0; l < m_levels; ++l) {
            if (s.symbols[l] && needed.contains(s.symbols[l]))
                continue;
            const qint64 readyAt = s.lastUse[l] < 0 ? 0 : s.safeAt[l];
            if (readyAt > now)
                m_nextReadyAt = std::min(m_nextReadyAt, readyAt);
            else
                ready.append({i, l, s.symbols[l] ? nextUse(s.symbols[l], m_next) : m_strokes.size() + 1});
        }
    }
    std::stable_sort(ready.begin(), ready.end(), [](const Place& a, const Place& b) { return a.nextUse > b.nextUse; });

    QList<int> changed;
    QList<Symbol> lent;
    for (Symbol s : std::as_const(wanted)) {
        // A key never carries a higher level without a first.
        const auto usable = std::find_if(ready.cbegin(), ready.cend(), [this](const Place& p) {
            return p.level == 0 || m_slots.at(p.slot).symbols[0];
        });
        if (usable == ready.cend())
            break; // the rest waits until more places are ready
        const Place place = *usable;
        ready.erase(usable);
        Slot& target = m_slots[place.slot];
        target.symbols[place.level] = s;
        target.usableAt[place.level] = now + kMappingSettleMs;
        target.lastUse[place.level] = -1;
        if (!changed.contains(place.slot))
            changed.append(place.slot);
        lent.append(s);
    }
    if (changed.isEmpty())
        return;
    std::sort(changed.begin(), changed.end());
    XFlush(m_display); // the keys typed so far go out before the mapping changes
    writeSlots(changed);
    XFlush(m_display);
    qCDebug(lcPlatform) << "lent" << lent.size() << "symbols to" << changed.size() << "spare keys";
}

void X11KeySender::writeSlots(const QList<int>& indexes) {
    if (indexes.isEmpty())
        return;
    // Every change of the keyboard mapping makes each client (the window manager, the target, ourselves) reload
    // its key table. The spare keys lie scattered, so the core request would need one change per key; the XKB
    // request changes them all at once (keys in between are sent back as they are).
    // The key actions come along only because widening a key looks at them (our keys have none).
    if (XkbDescPtr xkb = XkbGetMap(m_display, XkbKeyTypesMask | XkbKeySymsMask | XkbKeyActionsMask, XkbUseCoreKbd)) {
        XkbMapChangesRec changes{};
        int first = 255, last = 0;
        bool ok = true;
        for (int index : indexes) {
            const Slot& slot = m_slots.at(index);
            const int keycode = slot.keycode;
            const bool empty = !slot.isLent();
            // Two levels, the second with Shift, or the four-level type; Caps Lock has no say on either.
            const bool fourLevels =
                (slot.symbols[2] || slot.symbols[3]) && m_fourLevelType >= 0 && m_fourLevelType < xkb->map->num_types;
            if ((slot.symbols[2] || slot.symbols[3]) && !fourLevels) {
                ok = false;
                break;
            }
            int types[XkbNumKbdGroups] = {fourLevels ? m_fourLevelType : XkbTwoLevelIndex};
            if (XkbChangeTypesOfKey(xkb, keycode, empty ? 0 : 1, XkbGroup1Mask, types, &changes) != Success) {
                ok = false;
                break;
            }
            if (!empty) {
                KeySym* symbols = XkbKeySymsPtr(xkb, keycode);
                for (int level = 0; level < (fourLevels ? 4 : 2); ++level)
                    symbols[level] = slot.symbols[level];
            }
            first = std::min(first, keycode);
            last = std::max(last, keycode);
        }
        if (ok) {
            changes.changed |= XkbKeySymsMask;
            changes.first_key_sym = KeyCode(first);
            changes.num_key_syms = last - first + 1;
            ok = XkbChangeMap(m_display, xkb, &changes);
        }
        XkbFreeKeyboard(xkb, 0, True);
        if (ok)
            return;
        qCDebug(lcPlatform) << "the XKB mapping request failed; changing the keys one by one";
    }
    // The core request knows two levels per key: what was lent on Level 3 and 4 is given up (the strokes that
    // need it wait for places on the first two levels), and typing goes on with two levels.
    if (m_levels > 2) {
        qCInfo(lcPlatform) << "lent keys go on with two levels";
        m_levels = 2;
        m_levelThreeKey = 0;
        m_fourLevelType = -1;
    }
    for (Slot& slot : m_slots) {
        slot.symbols[2] = slot.symbols[3] = NoSymbol;
        slot.lastUse[2] = slot.lastUse[3] = -1;
    }
    for (qsizetype i = 0; i < indexes.size();) {
        qsizetype end = i + 1;
        while (end < indexes.size() &&
               m_slots.at(indexes.at(end)).keycode == m_slots.at(indexes.at(end - 1)).keycode + 1)
            ++end;
        QList<KeySym> symbols;
        for (qsizetype j = i; j < end; ++j) {
            const Slot& slot = m_slots.at(indexes.at(j));
            symbols << slot.symbols[0] << slot.symbols[1];
        }
        XChangeKeyboardMapping(m_display, m_slots.at(indexes.at(i)).keycode, 2, symbols.data(), int(end - i));
        i = end;
    }
}

void X11KeySender::revertSlots() {
    if (m_phase != Phase::Idle)
        return; // a sending runs and uses the lent keys; it reverts when it ends
    QList<int> lent;
    for (int i = 0; i < m_slots.size(); ++i) {
        Slot& slot = m_slots[i];
        if (slot.isLent()) {
            std::fill(std::begin(slot.symbols), std::end(slot.symbols), NoSymbol);
            lent.append(i);
        }
    }
    if (lent.isEmpty())
        return;
    writeSlots(lent);
    XFlush(m_display);
}
