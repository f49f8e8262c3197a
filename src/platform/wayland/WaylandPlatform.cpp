#include "platform/wayland/WaylandPlatform.h"

#include "platform/wayland/SeatLayout.h"
#include "platform/wayland/WaylandClipboard.h"
#include "platform/wayland/WaylandConnection.h"
#include "platform/wayland/WaylandKeySender.h"
#include "platform/wayland/WaylandWindowSystem.h"

std::unique_ptr<WaylandSession> WaylandSession::open() {
    std::unique_ptr<WaylandSession> session(new WaylandSession);
    if (!session->m_connection->isOpen())
        return nullptr;
    return session;
}

WaylandSession::WaylandSession() : m_connection(new WaylandConnection(this)) {}

WaylandSession::~WaylandSession() = default;

bool WaylandSession::offersWindows() const {
    return m_connection->offers("zwlr_foreign_toplevel_manager_v1");
}

bool WaylandSession::offersKeys() const {
    return m_connection->offers("zwp_virtual_keyboard_manager_v1");
}

QString WaylandSession::clipboardProtocol() const {
    return WaylandClipboard::protocolOffered(*m_connection);
}

std::unique_ptr<WindowSystem> WaylandSession::windows() {
    return std::make_unique<WaylandWindowSystem>(*m_connection);
}

std::unique_ptr<KeySender> WaylandSession::keys(WindowSystem& windows) {
    return std::make_unique<WaylandKeySender>(*m_connection, windows);
}

std::unique_ptr<Clipboard> WaylandSession::clipboard() {
    return std::make_unique<WaylandClipboard>(*m_connection);
}

std::function<bool(quint32)> WaylandSession::layoutHas() {
    if (!m_layout)
        m_layout = new SeatLayout(*m_connection, this);
    return [layout = m_layout](quint32 keysym) { return !layout->isKnown() || layout->has(keysym); };
}
