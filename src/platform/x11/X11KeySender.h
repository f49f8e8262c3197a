#pragma once

#include "KeySender.h"
#include "x11/X11KeyMap.h"

#include <QElapsedTimer>
#include <QTimer>

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
    struct Slot {
        quint8 keycode = 0;
        Symbol symbols[2] = {0, 0};   // the first and second level as lent now
        qint64 lastUse[2] = {-1, -1}; // m_clock time of the last key event on each level, -1 never
        qint64 usableAt[2] = {0, 0};  // m_clock time from which a newly lent level may be typed
    };
    enum class Phase { Idle, WaitingForModifiers, Typing, Finishing };

    bool plan(const KeyActions& keys);
    void refreshSlots();
    bool heldModifiersDown(bool releaseThem);
    void step();
    void typeStroke(const Stroke& stroke);
    bool slotFor(Symbol symbol, quint8& keycode, bool& shift) const;
    bool findLent(Symbol symbol, int& slot, int& level) const;
    void lendAhead();
    qsizetype nextUse(Symbol symbol, qsizetype from) const;
    void writeSlots(const QList<int>& indexes);
    void setCapsLockOff(bool off);
    void revertSlots();
    void schedule(int ms);

    _XDisplay* m_display;
    bool m_hasXTest = false;
    X11KeyMap m_map;
    quint8 m_shiftKey = 0;
    quint8 m_controlKey = 0;
    quint8 m_altKey = 0;
    QList<Stroke> m_strokes;
    qsizetype m_next = 0;
    QList<Slot> m_slots;
    qint64 m_nextReadyAt = 0; // when the next spare-key level becomes free for another symbol
    Phase m_phase = Phase::Idle;
    bool m_triedRelease = false;
    bool m_capsLockWasOn = false;
    qint64 m_modifierWaitStart = 0;
    QElapsedTimer m_clock;
    QTimer m_timer;
    QTimer m_revertTimer;
};
