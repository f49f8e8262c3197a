#pragma once

#include "platform/KeySender.h"
#include "platform/x11/SpareKeyLending.h"
#include "platform/x11/X11KeyMap.h"

#include <QElapsedTimer>
#include <QTimer>

#include <functional>
#include <optional>

struct _XDisplay;

// Types keys through the XTest extension on Qt's connection, in timer-driven bursts: it waits for the user's
// held keys, types, pauses while the user presses keys, and gives up on keys that stay down. Characters the
// layout lacks are typed on spare keys (keys without symbols) lent to them for the moment (SpareKeyLending
// decides which and when; X11KeyMapWriter changes the mapping).
class X11KeySender final : public KeySender {
    Q_OBJECT
public:
    X11KeySender(_XDisplay* display, WindowSystem& windows, QObject* parent = nullptr);
    ~X11KeySender() override;

    // How many milliseconds a paste (Control+V, Shift+Insert) must still wait before the target may read the
    // clipboard and find the forms it lists (X11ClipboardRequests::msUntilFormatsKnown()).
    void setClipboardWait(std::function<qint64()> msUntilFormatsKnown);

protected:
    void deliver(const KeyActions& keys) override;
    void abortDelivery() override;
    int settleBeforeSending(const KeyActions& keys) override;

private:
    using Symbol = X11KeyMap::Symbol;
    struct Stroke {
        quint8 keycode = 0;   // a key of the layout; 0 for a symbol typed on a lent spare key
        bool shift = false;   // the symbol is on the key's second level
        quint8 modifiers = 0; // KeyModifier bits of the action
    };
    // A stroke as it goes out: the key and the keys held around it.
    struct Press {
        quint8 keycode = 0;
        bool shift = false;
        bool levelThree = false;
        quint8 modifiers = 0;
        // Nothing is pressed or let go around the key itself.
        bool bare() const { return !shift && !levelThree && !modifiers; }
    };
    enum class Phase { Idle, WaitingForModifiers, Typing, Finishing };

    bool plan(const KeyActions& keys);
    bool pausedForUserKeys();
    void step();
    Press pressFor(qsizetype stroke) const;
    bool waitsBetweenRepeatedKeys();
    void typeStroke(const Stroke& stroke);
    void lendAhead();
    void writeKeys(const QList<KeyLevels>& keys);
    void findLevelThree();
    // lockedNow: whether Caps Lock is locked, when the caller has just read it (saves asking the server).
    void setCapsLockOff(bool off, std::optional<bool> lockedNow = std::nullopt);
    // Whether a symbol of keys is missing from the layout or typed on a key lent earlier.
    bool needsSpareKeys(const KeyActions& keys) const;
    void giveBackKeys();
    void scheduleGiveBack();
    void schedule(int ms);

    _XDisplay* m_display;
    bool m_hasXTest = false;
    X11KeyMap m_map;
    quint8 m_shiftKey = 0;
    quint8 m_controlKey = 0;
    quint8 m_altKey = 0;
    quint8 m_levelThreeKey = 0; // the key that selects Level 3; 0 when lent keys use two levels
    int m_fourLevelType = -1;   // the XKB key type with the levels plain, Shift, Level 3, Shift+Level 3
    QList<Stroke> m_strokes;
    qsizetype m_next = 0;
    SpareKeyLending m_lending; // reads m_clock
    Phase m_phase = Phase::Idle;
    bool m_capsLockWasOn = false;
    qint64 m_modifierWaitStart = 0;
    qint64 m_pausedSince = -1;    // m_clock time since when the typing waits for the user's keys, -1 when it does not
    bool m_keysSeenUp = false;    // the sending's start found no key down, just before its first stroke
    quint8 m_lastBareKey = 0;     // the key of the stroke just typed when nothing was held around it, else 0
    bool m_repeatGapKept = false; // the pause before the next stroke, the same key again, has passed
    std::function<qint64()> m_clipboardWait;
    QElapsedTimer m_clock;
    QTimer m_timer;
    QTimer m_giveBackTimer;
};
