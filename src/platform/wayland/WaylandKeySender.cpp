#include "platform/wayland/WaylandKeySender.h"

#include "platform/PlatformLog.h"
#include "platform/wayland/WaylandConnection.h"

#include <sys/mman.h>
#include <unistd.h>

#include <wayland-client.h>

#include <virtual-keyboard-unstable-v1-client.h> // generated from our protocol description

namespace {

constexpr quint32 kKeymapFormatXkbV1 = 1; // wl_keyboard.keymap_format.xkb_v1
constexpr quint32 kPressed = 1;
constexpr quint32 kReleased = 0;

// Hands the keymap over in a sealed-size memory file, as the protocol wants an fd; false when none could be made.
bool uploadKeymap(zwp_virtual_keyboard_v1* keyboard, const QByteArray& keymap) {
    const int fd = memfd_create("zolpane-keymap", MFD_CLOEXEC);
    if (fd < 0)
        return false;
    bool ok = write(fd, keymap.constData(), size_t(keymap.size())) == keymap.size();
    if (ok)
        zwp_virtual_keyboard_v1_keymap(keyboard, kKeymapFormatXkbV1, fd, quint32(keymap.size()));
    close(fd);
    return ok;
}

} // namespace

WaylandKeySender::WaylandKeySender(WaylandConnection& connection, WindowSystem& windows, QObject* parent)
    : KeySender(windows, parent), m_connection(connection) {
    m_clock.start();
    auto* manager =
        static_cast<zwp_virtual_keyboard_manager_v1*>(m_connection.bind(&zwp_virtual_keyboard_manager_v1_interface, 1));
    if (!manager || !m_connection.seat())
        return;
    m_keyboard = zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(manager, m_connection.seat());
    zwp_virtual_keyboard_manager_v1_destroy(manager);
    // A keyboard must have a keymap before its first key; the first sending replaces it.
    const QList<VirtualKeymap::Part> initial = VirtualKeymap::plan({KeyAction::special(SpecialKey::Escape)});
    if (!uploadKeymap(m_keyboard, initial.first().keymap))
        qCWarning(lcPlatform) << "virtual keyboard: no keymap could be made";
    m_connection.flush();
    // A compositor that goes away mid-sending answers no round trip any more.
    connect(&m_connection, &WaylandConnection::ended, this, [this] {
        if (!m_pacing)
            return;
        abortDelivery();
        complete(Result::Failed);
    });
}

WaylandKeySender::~WaylandKeySender() {
    if (m_keyboard) {
        releaseAll();
        zwp_virtual_keyboard_v1_destroy(m_keyboard);
        m_connection.flush();
    }
}

void WaylandKeySender::deliver(const KeyActions& keys) {
    if (!m_keyboard || !m_connection.isHealthy()) {
        complete(Result::Failed);
        return;
    }
    m_parts = VirtualKeymap::plan(keys);
    m_part = 0;
    m_stroke = 0;
    delete m_pacing;
    m_pacing = new QObject(this);
    // The keyboard's modifiers are set afresh, whatever the compositor made of them meanwhile.
    releaseAll();
    sendSome();
}

void WaylandKeySender::sendSome() {
    int sent = 0;
    while (m_part < m_parts.size() && sent < strokesPerRoundTrip) {
        const VirtualKeymap::Part& part = m_parts[m_part];
        if (m_stroke == 0 && !uploadKeymap(m_keyboard, part.keymap)) {
            releaseAll();
            complete(Result::Failed);
            return;
        }
        const VirtualKeymap::Stroke& stroke = part.strokes[m_stroke];
        setModifiers(stroke.modifiers);
        zwp_virtual_keyboard_v1_key(m_keyboard, now(), stroke.key, kPressed);
        zwp_virtual_keyboard_v1_key(m_keyboard, now(), stroke.key, kReleased);
        ++sent;
        if (++m_stroke == part.strokes.size()) {
            m_stroke = 0;
            ++m_part;
        }
    }
    if (m_part < m_parts.size()) {
        m_connection.sync(m_pacing, [this] { sendSome(); });
        return;
    }
    setModifiers(0);
    // finished() comes once the compositor has passed every key on.
    m_connection.sync(m_pacing, [this] {
        delete m_pacing;
        m_pacing = nullptr;
        complete(m_connection.isHealthy() ? Result::Sent : Result::Failed);
    });
}

void WaylandKeySender::setModifiers(quint32 mask) {
    if (mask == m_modifiers)
        return;
    zwp_virtual_keyboard_v1_modifiers(m_keyboard, mask, 0, 0, 0);
    m_modifiers = mask;
}

void WaylandKeySender::releaseAll() {
    zwp_virtual_keyboard_v1_modifiers(m_keyboard, 0, 0, 0, 0);
    m_modifiers = 0;
    m_connection.flush();
}

void WaylandKeySender::abortDelivery() {
    delete m_pacing;
    m_pacing = nullptr;
    m_parts.clear();
    if (m_keyboard)
        releaseAll();
}
