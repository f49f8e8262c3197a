#pragma once

#include "platform/KeySender.h"
#include "platform/x11/X11KeyMap.h"

#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <iterator>

struct _XDisplay;

// Types keys through the XTest extension on Qt's connection. Characters the layout lacks are typed on spare
// keys (keys without symbols) that are lent to them for the moment: mapped in one batch, typed after a pause,
// and given back a while after the last use.
class X11KeySender final : public KeySender {
    Q_OBJECT
public:
    X11KeySender(_XDisplay* display, WindowSystem& windows, QObject* parent = nullptr);
    ~X11KeySender() override;

protected:
    void deliver(const KeyActions& keys) override;
    void abortDelivery() override;

private:
    using Symbol = X11KeyMap::Symbol;
    struct Stroke {
        quint8 keycode = 0;   // 0 while the symbol waits for a spare key
        bool shift = false;   // the symbol is on the key's second level
        quint8 modifiers = 0; // KeyModifier bits of the action
        Symbol temporary = 0; // the symbol typed on a lent spare key, 0 for a key of the layout
    };
    // A lent key has two levels (plain, Shift), or four (also Level 3 and Shift+Level 3) when the layout has a
    // Level 3 key and a four-level key type: twice the characters at once, so keys are lent again less often.
    static constexpr int kMaxLevels = 4;
    struct Slot {
        quint8 keycode = 0;
        Symbol symbols[kMaxLevels] = {};               // each level as lent now
        qint64 lastUse[kMaxLevels] = {-1, -1, -1, -1}; // m_clock time of the last key event on a level, -1 never
        qint64 usableAt[kMaxLevels] = {};              // m_clock time from which a newly lent level may be typed
        qint64 safeAt[kMaxLevels] = {};                // m_clock time by which the target has read the last use
        bool isLent() const {
            return std::any_of(std::begin(symbols), std::end(symbols), [](Symbol s) { return s != 0; });
        }
    };
    enum class Phase { Idle, WaitingForModifiers, Typing, Finishing };

    bool plan(const KeyActions& keys);
    void refreshSlots();
    bool heldModifiersDown(bool releaseThem);
    bool userKeysDown() const;
    bool pausedForUserKeys();
    void step();
    void typeStroke(const Stroke& stroke);
    bool slotFor(Symbol symbol, quint8& keycode, bool& shift) const;
    bool findLent(Symbol symbol, int& slot, int& level) const;
    void lendAhead();
    qsizetype nextUse(Symbol symbol, qsizetype from) const;
    void writeSlots(const QList<int>& indexes);
    void findLevelThree();
    void setCapsLockOff(bool off);
    void revertSlots();
    void scheduleRevert();
    void schedule(int ms);

    _XDisplay* m_display;
    bool m_hasXTest = false;
    X11KeyMap m_map;
    quint8 m_shiftKey = 0;
    quint8 m_controlKey = 0;
    quint8 m_altKey = 0;
    quint8 m_levelThreeKey = 0; // the key that selects Level 3; 0 when lent keys use two levels
    int m_fourLevelType = -1;   // the XKB key type with the levels plain, Shift, Level 3, Shift+Level 3
    int m_levels = 2;           // the levels of a lent key that typing uses now
    QList<Stroke> m_strokes;
    qsizetype m_next = 0;
    QList<Slot> m_slots;
    qint64 m_nextReadyAt = 0; // when the next spare-key level becomes free for another symbol
    Phase m_phase = Phase::Idle;
    bool m_triedRelease = false;
    bool m_capsLockWasOn = false;
    qint64 m_modifierWaitStart = 0;
    qint64 m_typingStart = 0;  // m_clock time the keys of the running sending began to go out
    qint64 m_pausedSince = -1; // m_clock time since when the typing waits for the user's keys, -1 when it does not
    QElapsedTimer m_clock;
    QTimer m_timer;
    QTimer m_revertTimer;
};
