#include "platform/x11/X11KeySender.h"
#include "platform/KeySymbols.h"
#include "platform/PlatformLog.h"
#include "platform/x11/X11KeyMapWriter.h"
#include "platform/x11/X11KeyboardState.h"

#include <algorithm>
#include <utility>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace {

// Keys go out in small bursts, one burst a timer tick, so that the target reads them about as fast as they are
// produced: a key's symbol is looked up only when the target reads the key, and a lent spare key may be lent
// to another character soon after.
constexpr int kStrokesPerTick = 8;
constexpr int kTickMs = 2;
// The server has handled the fake events when XSync returns, but the target reads them a moment later; the
// caller may go on with something the keys depend on (answering the paste request from the clipboard).
constexpr int kProcessSettleMs = 20;
// Modifiers the user still holds are released for the sending; if they stay down (a real keyboard's keys are
// not released by synthesized events) the sending waits for the user to let go, polling at this pace, and
// gives up after the timeout rather than type shortcuts.
constexpr int kHeldModifierPollMs = 5;
constexpr int kHeldModifierTimeoutMs = 3000;
// A key pressed again right after its release, with nothing pressed in between ("ss", "00", the two Enters of a
// blank line), waits this long after the server has handled the release. LibreOffice Writer (its X11 plugin)
// takes such a press for the keyboard's auto-repeat and drops it when it carries the release's server time, and
// server times are whole milliseconds. Measured with Writer 7.4 under Xvfb, both cores loaded (load 12-13),
// typing "2000 aabbcc Mississippi 1100", a blank line and "zz ee" in the bursts above: without any pause
// characters were lost in 10 of 10 runs ("20 abbc Misisipi 10", no blank line); with the pause begun right after
// XSync, 0 ms lost some in 20 of 20 runs, 0.5 ms in 5 of 5, 1 ms and 2 ms in none of 35 each. A pause without
// XSync was not enough (3 ms lost some in 4 of 5 runs, 12 ms in 4 of 25): a loaded server may read both events at
// once. With Shift pressed and let go in between, the key was kept without any pause. 2 ms leaves a margin over
// the 1 ms that sufficed.
constexpr int kRepeatedKeyGapMs = 2;
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

// Keys after which the target reads the clipboard: Control+V (also with Shift) and Shift+Insert.
bool readsClipboard(const KeyActions& keys) {
    return std::any_of(
        keys.cbegin(), keys.cend(),
        [](const KeyAction& a) {
            return ((a.modifiers & ControlModifier) && (a.character == U'v' || a.character == U'V')) ||
                   (a.key == SpecialKey::Insert && (a.modifiers & ShiftModifier));
        });
}

} // namespace

X11KeySender::X11KeySender(Display* display, WindowSystem& windows, QObject* parent)
    : KeySender(windows, parent), m_display(display), m_lending([this] { return m_clock.elapsed(); }) {
    int event = 0, error = 0, major = 0, minor = 0;
    m_hasXTest = XTestQueryExtension(display, &event, &error, &major, &minor);
    if (!m_hasXTest)
        qCWarning(lcPlatform) << "the X server has no XTest extension: keys cannot be sent";
    m_clock.start();
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &X11KeySender::step);
    m_giveBackTimer.setSingleShot(true);
    connect(&m_giveBackTimer, &QTimer::timeout, this, &X11KeySender::giveBackKeys);
}

X11KeySender::~X11KeySender() {
    if (m_phase != Phase::Idle)
        abortDelivery();
    // The program ends or the display goes: the lent keys must not keep their symbols.
    giveBackKeys();
}

void X11KeySender::setClipboardWait(std::function<qint64()> msUntilFormatsKnown) {
    m_clipboardWait = std::move(msUntilFormatsKnown);
}

int X11KeySender::settleBeforeSending(const KeyActions& keys) {
    const qint64 wait = m_clipboardWait && readsClipboard(keys) ? m_clipboardWait() : 0;
    if (wait > 0)
        qCInfo(lcPlatform) << "the target may still know the clipboard's earlier forms; the paste waits" << wait
                           << "ms";
    return int(wait);
}

void X11KeySender::schedule(int ms) {
    m_timer.start(std::max(ms, 0));
}

void X11KeySender::deliver(const KeyActions& keys) {
    m_giveBackTimer.stop();
    if (!m_hasXTest) {
        complete(Result::Failed);
        return;
    }
    m_map.load(m_display);
    // Keys still lent from an earlier sending stay lent when the server still has our symbols on them.
    m_lending.refresh(m_map.spareKeycodes(), [this](const KeyLevels& key) { return m_map.shows(key); });
    // Whether lent keys can have four levels is an XKB question of two round trips; only a sending that types on
    // spare keys asks it, not a Control+V.
    if (needsSpareKeys(keys))
        findLevelThree();
    if (!plan(keys)) {
        complete(Result::Failed);
        return;
    }
    m_next = 0;
    m_pausedSince = -1;
    m_lastBareKey = 0;
    m_repeatGapKept = false;
    X11KeyboardState::Keymap down{};
    const bool modifiers = X11KeyboardState::modifiersDown(m_display, m_map, true, &down);
    // Nothing down at all: the look before the first stroke is this one (no key event was read since).
    m_keysSeenUp = !modifiers && !X11KeyboardState::anyKeyDown(down, m_map);
    if (modifiers && X11KeyboardState::modifiersDown(m_display, m_map, false)) {
        qCInfo(lcPlatform) << "modifier keys are held down; waiting for their release before typing";
        m_phase = Phase::WaitingForModifiers;
        m_modifierWaitStart = m_clock.elapsed();
        schedule(kHeldModifierPollMs);
        return;
    }
    setCapsLockOff(true, m_map.capsLockLocked()); // as read with the mapping a moment ago, within this same call
    m_phase = Phase::Typing;
    m_lending.beginTyping();
    step();
    m_keysSeenUp = false; // a stroke that waits for its lent key looks again when its turn comes
}

void X11KeySender::abortDelivery() {
    m_timer.stop();
    setCapsLockOff(false);
    XFlush(m_display);
    m_phase = Phase::Idle;
    scheduleGiveBack();
}

void X11KeySender::scheduleGiveBack() {
    const qint64 delay = m_lending.giveBackDelay();
    if (delay >= 0)
        m_giveBackTimer.start(int(delay));
}

bool X11KeySender::needsSpareKeys(const KeyActions& keys) const {
    for (const KeyAction& action : keys) {
        const Symbol symbol = action.key != SpecialKey::NoKey ? KeySymbols::forSpecialKey(action.key)
                                                              : KeySymbols::forCharacter(action.character);
        if (symbol == NoSymbol)
            continue;
        // A symbol the layout lacks, or one lent to a spare key by an earlier sending.
        const auto onLayout = m_map.find(symbol);
        if (!onLayout || m_lending.isSpareKey(onLayout->keycode))
            return true;
    }
    return false;
}

bool X11KeySender::plan(const KeyActions& keys) {
    const auto keyOf = [this](Symbol s) { return m_map.find(s).value_or(X11KeyMap::Key{}).keycode; };
    m_shiftKey = keyOf(XK_Shift_L) ? keyOf(XK_Shift_L) : keyOf(XK_Shift_R);
    m_controlKey = keyOf(XK_Control_L) ? keyOf(XK_Control_L) : keyOf(XK_Control_R);
    m_altKey = keyOf(XK_Alt_L) ? keyOf(XK_Alt_L) : keyOf(XK_Meta_L);

    m_strokes.clear();
    m_strokes.reserve(keys.size());
    QList<Symbol> lentSymbols;
    lentSymbols.reserve(keys.size());
    bool needsSpare = false;
    quint8 modifiersUsed = 0;
    for (const KeyAction& action : keys) {
        const Symbol symbol = action.key != SpecialKey::NoKey ? KeySymbols::forSpecialKey(action.key)
                                                              : KeySymbols::forCharacter(action.character);
        if (symbol == NoSymbol) {
            qCDebug(lcPlatform) << "skipping a character with no key:" << Qt::hex << quint32(action.character);
            continue;
        }
        Stroke stroke;
        stroke.modifiers = action.modifiers;
        Symbol lent = 0;
        modifiersUsed |= action.modifiers;
        // A symbol found on a spare key is one we lent: typed as lent, not as part of the layout.
        const auto onLayout = m_map.find(symbol);
        if (!m_lending.find(symbol) && onLayout && !m_lending.isSpareKey(onLayout->keycode)) {
            stroke.keycode = onLayout->keycode;
            stroke.shift = onLayout->shift;
            if (stroke.shift)
                modifiersUsed |= ShiftModifier;
        } else {
            lent = symbol;
            needsSpare = true;
            modifiersUsed |= ShiftModifier; // a lent key's second level needs Shift
        }
        m_strokes.append(stroke);
        lentSymbols.append(lent);
    }
    m_lending.plan(std::move(lentSymbols));
    if (needsSpare && !m_lending.hasSpareKeys()) {
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

void X11KeySender::findLevelThree() {
    // The key of ISO_Level3_Shift (AltGr), in a modifier row, and a key type whose four levels are selected by
    // nothing, Shift, that modifier and both: then a lent key can hold four characters.
    m_levelThreeKey = 0;
    m_fourLevelType = -1;
    const auto key = m_map.find(XK_ISO_Level3_Shift);
    if (key && !key->shift)
        m_fourLevelType = X11KeyMapWriter::findFourLevelType(m_display, key->keycode);
    if (m_fourLevelType >= 0)
        m_levelThreeKey = key->keycode;
    m_lending.chooseLevels(m_levelThreeKey != 0, m_fourLevelType >= 0);
}

// A key the user presses while the typing runs (the next hotkey, usually) pauses it: with a modifier down the
// typed keys would become shortcuts in the target, and while our hotkey's key is down its grab takes every key.
// The user's keys are left alone; the typing goes on once they are up, or gives up after the same timeout.
bool X11KeySender::pausedForUserKeys() {
    // Between strokes none of our own keys is down (each stroke lets go of what it pressed, and the server has
    // handled that before it answers this query), so a key down now is the user's.
    const bool seenUp = std::exchange(m_keysSeenUp, false);
    if (seenUp || !X11KeyboardState::anyKeyDown(m_display, m_map)) {
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

void X11KeySender::setCapsLockOff(bool off, std::optional<bool> lockedNow) {
    // Caps Lock would turn the typed letters' case around; it is unlocked for the sending and locked again.
    if (off) {
        if (lockedNow ? *lockedNow : X11KeyboardState::capsLockLocked(m_display)) {
            X11KeyboardState::setCapsLock(m_display, false);
            m_capsLockWasOn = true;
        }
    } else if (m_capsLockWasOn) {
        X11KeyboardState::setCapsLock(m_display, true);
        m_capsLockWasOn = false;
    }
}

X11KeySender::Press X11KeySender::pressFor(qsizetype index) const {
    const Stroke& stroke = m_strokes.at(index);
    Press press{stroke.keycode, stroke.shift, false, stroke.modifiers};
    if (const auto place = m_lending.placeOf(index)) {
        press.keycode = place->keycode;
        press.shift = place->level % 2 == 1;
        press.levelThree = place->level >= 2;
    }
    press.shift = press.shift || (stroke.modifiers & ShiftModifier);
    return press;
}

bool X11KeySender::waitsBetweenRepeatedKeys() {
    const Press press = pressFor(m_next);
    if (std::exchange(m_repeatGapKept, false) || !press.bare() || press.keycode != m_lastBareKey)
        return false;
    XSync(m_display, False); // from here on the release has its server time
    m_repeatGapKept = true;
    schedule(kRepeatedKeyGapMs);
    return true;
}

void X11KeySender::typeStroke(const Stroke& stroke) {
    m_lending.use(m_next); // the lent level's last use; pressFor() found its place
    const Press press = pressFor(m_next);
    HeldKeys held(m_display);
    if (stroke.modifiers & ControlModifier)
        held.press(m_controlKey);
    if (stroke.modifiers & AltModifier)
        held.press(m_altKey);
    if (press.levelThree)
        held.press(m_levelThreeKey);
    if (press.shift)
        held.press(m_shiftKey);
    XTestFakeKeyEvent(m_display, press.keycode, True, CurrentTime);
    XTestFakeKeyEvent(m_display, press.keycode, False, CurrentTime);
    m_lastBareKey = press.bare() ? press.keycode : 0;
}

void X11KeySender::step() {
    switch (m_phase) {
    case Phase::Idle:
        return;
    case Phase::WaitingForModifiers:
        if (!X11KeyboardState::modifiersDown(m_display, m_map, false)) {
            setCapsLockOff(true);
            m_phase = Phase::Typing;
            m_lending.beginTyping();
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
        scheduleGiveBack();
        complete(Result::Sent);
        return;
    case Phase::Typing:
        break;
    }

    lendAhead();
    int typed = 0;
    while (m_next < m_strokes.size() && typed < kStrokesPerTick) {
        const Stroke& stroke = m_strokes.at(m_next);
        if (const qint64 wait = m_lending.waitBefore(m_next); wait > 0) {
            XFlush(m_display);
            schedule(int(wait));
            return;
        }
        // Looked at before every stroke, and each stroke goes out at once: a key the user presses meanwhile can
        // meet at most the one stroke already on its way.
        if (pausedForUserKeys() || waitsBetweenRepeatedKeys())
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

void X11KeySender::lendAhead() {
    const QList<KeyLevels> keys = m_lending.lendAhead(m_next);
    if (keys.isEmpty())
        return;
    XFlush(m_display); // the keys typed so far go out before the mapping changes
    writeKeys(keys);
    XFlush(m_display);
}

void X11KeySender::writeKeys(const QList<KeyLevels>& keys) {
    if (X11KeyMapWriter::write(m_display, keys, m_fourLevelType) == X11KeyMapWriter::Written::AllLevels)
        return;
    // Lent keys go on with the two levels the core request knows.
    if (m_lending.levels() > 2) {
        qCInfo(lcPlatform) << "lent keys go on with two levels";
        m_levelThreeKey = 0;
        m_fourLevelType = -1;
    }
    m_lending.keepTwoLevels();
}

void X11KeySender::giveBackKeys() {
    if (m_phase != Phase::Idle)
        return; // a sending runs and uses the lent keys; they are given back when it ends
    const QList<KeyLevels> keys = m_lending.giveBack();
    if (keys.isEmpty())
        return;
    writeKeys(keys);
    XFlush(m_display);
}
