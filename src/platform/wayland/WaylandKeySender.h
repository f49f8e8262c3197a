#pragma once

#include "platform/KeySender.h"
#include "platform/wayland/VirtualKeymap.h"

#include <QElapsedTimer>

class WaylandConnection;
struct zwp_virtual_keyboard_v1;

// Keys through the compositor's virtual-keyboard protocol. One keyboard is made at start and kept for the
// program's life: a seat that sees keyboards come and go sends its clients keymap, enter and leave events in
// between, and the first keys of a short-lived keyboard were lost that way. Each sending uploads a keymap with
// exactly the keysyms it types (VirtualKeymap), so the user's layout does not matter; the modifiers are this
// keyboard's own, so keys the user holds on the real keyboard do not change what is typed.
class WaylandKeySender final : public KeySender {
    Q_OBJECT
public:
    WaylandKeySender(WaylandConnection& connection, WindowSystem& windows, QObject* parent = nullptr);
    ~WaylandKeySender() override;

    // Strokes sent before the compositor is asked to confirm it has handled them (a sync round trip), which paces
    // the sending so that neither the compositor's nor the target's socket buffer (4 KiB each) overflows: a
    // stroke is some 60 bytes of events for the target.
    static constexpr int strokesPerRoundTrip = 16;

    Capabilities capabilities() const override { return {m_keyboard != nullptr, true, true}; }

protected:
    void deliver(const KeyActions& keys) override;
    void abortDelivery() override;

private:
    void sendSome();
    void setModifiers(quint32 mask);
    void releaseAll();
    quint32 now() const { return quint32(m_clock.elapsed()); }

    WaylandConnection& m_connection;
    zwp_virtual_keyboard_v1* m_keyboard = nullptr;
    QElapsedTimer m_clock;
    QList<VirtualKeymap::Part> m_parts;
    qsizetype m_part = 0;
    qsizetype m_stroke = 0;
    quint32 m_modifiers = 0;
    QObject* m_pacing = nullptr; // the context of the round trips of the running delivery
};
