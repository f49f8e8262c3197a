#include "platform/wayland/WaylandWindowSystem.h"

#include "platform/PlatformLog.h"
#include "platform/wayland/WaylandConnection.h"

#include <QGuiApplication>
#include <QWidget>

#include <algorithm>

#include <wayland-client.h>

#include <wlr-foreign-toplevel-management-unstable-v1-client.h> // generated from our protocol description

struct ForeignToplevelEvents {
    using Self = WaylandWindowSystem;
    using Handle = zwlr_foreign_toplevel_handle_v1;
    // The entry of a handle, and its id (0 for a handle no longer listed).
    static std::pair<WindowId, Self::Toplevel*> find(void* data, Handle* handle) {
        for (auto& [id, t] : static_cast<Self*>(data)->m_toplevels)
            if (t.handle == handle)
                return {id, &t};
        return {0, nullptr};
    }
    static Self::Toplevel* toplevel(void* data, Handle* handle) { return find(data, handle).second; }
    static WindowId idOf(void* data, Handle* handle) { return find(data, handle).first; }
    static constexpr zwlr_foreign_toplevel_handle_v1_listener handle = {
        [](void* data, Handle* h, const char* title) {
            if (auto* t = toplevel(data, h))
                t->title = QString::fromUtf8(title);
        },
        [](void* data, Handle* h, const char* appId) {
            if (auto* t = toplevel(data, h))
                t->appId = QString::fromUtf8(appId);
        },
        [](void*, Handle*, wl_output*) {},
        [](void*, Handle*, wl_output*) {},
        [](void* data, Handle* h, wl_array* states) {
            auto* t = toplevel(data, h);
            if (!t)
                return;
            t->pendingActivated = t->pendingMaximized = false;
            const auto* state = static_cast<const uint32_t*>(states->data);
            for (size_t i = 0; i < states->size / sizeof(uint32_t); ++i) {
                t->pendingActivated |= state[i] == ZWLR_FOREIGN_TOPLEVEL_HANDLE_V1_STATE_ACTIVATED;
                t->pendingMaximized |= state[i] == ZWLR_FOREIGN_TOPLEVEL_HANDLE_V1_STATE_MAXIMIZED;
            }
        },
        [](void* data, Handle* h) { static_cast<Self*>(data)->done(idOf(data, h)); },
        [](void* data, Handle* h) { static_cast<Self*>(data)->closed(idOf(data, h)); },
        [](void*, Handle*, Handle*) {},
    };
    static constexpr zwlr_foreign_toplevel_manager_v1_listener manager = {
        [](void* data, zwlr_foreign_toplevel_manager_v1*, Handle* h) { static_cast<Self*>(data)->added(h); },
        [](void* data, zwlr_foreign_toplevel_manager_v1* m) {
            zwlr_foreign_toplevel_manager_v1_destroy(m);
            static_cast<Self*>(data)->m_manager = nullptr;
        },
    };
};

WaylandWindowSystem::WaylandWindowSystem(WaylandConnection& connection, QObject* parent)
    : WindowSystem(parent), m_connection(connection) {
    m_manager = static_cast<zwlr_foreign_toplevel_manager_v1*>(
        m_connection.bind(&zwlr_foreign_toplevel_manager_v1_interface, 3));
    if (!m_manager || !m_connection.seat())
        return;
    zwlr_foreign_toplevel_manager_v1_add_listener(m_manager, &ForeignToplevelEvents::manager, this);
    // The toplevels that exist now, with their state, before anyone asks which one is active.
    wl_display_roundtrip(m_connection.display());
}

WaylandWindowSystem::~WaylandWindowSystem() {
    for (auto& [id, t] : m_toplevels)
        zwlr_foreign_toplevel_handle_v1_destroy(t.handle);
    if (m_manager)
        zwlr_foreign_toplevel_manager_v1_stop(m_manager);
    m_connection.flush();
}

void WaylandWindowSystem::added(zwlr_foreign_toplevel_handle_v1* handle) {
    m_toplevels[m_nextId++].handle = handle;
    zwlr_foreign_toplevel_handle_v1_add_listener(handle, &ForeignToplevelEvents::handle, this);
}

void WaylandWindowSystem::activateOwnWindow(QWidget* window) {
    if (!window)
        return;
    // A window shown a moment ago is listed within a few round trips.
    constexpr int kListedWithinMs = 1000;
    m_ownToActivate = window->windowTitle();
    m_ownDeadline.setRemainingTime(kListedWithinMs);
    for (const auto& [id, t] : m_toplevels)
        if (isIgnoredWindow(id) && t.title == m_ownToActivate && activateWindow(id, false))
            m_ownToActivate.clear();
}

void WaylandWindowSystem::done(WindowId id) {
    const auto it = m_toplevels.find(id);
    if (it == m_toplevels.end())
        return;
    Toplevel& t = it->second;
    if (!m_ownToActivate.isEmpty() && t.title == m_ownToActivate && isIgnoredWindow(id)) {
        if (!m_ownDeadline.hasExpired())
            activateWindow(id, false);
        m_ownToActivate.clear();
    }
    t.maximized = t.pendingMaximized;
    if (t.activated == t.pendingActivated)
        return;
    t.activated = t.pendingActivated;
    if (t.activated)
        m_active = id;
    else if (m_active == id)
        m_active = 0;
    else
        return;
    qCDebug(lcPlatform) << "active toplevel" << m_active << (m_active ? t.appId : QString());
    Q_EMIT foregroundWindowChanged(m_active);
}

void WaylandWindowSystem::closed(WindowId id) {
    const auto it = m_toplevels.find(id);
    if (it == m_toplevels.end())
        return;
    zwlr_foreign_toplevel_handle_v1_destroy(it->second.handle);
    m_toplevels.erase(it);
    if (m_active == id) {
        m_active = 0;
        Q_EMIT foregroundWindowChanged(0);
    }
}

QString WaylandWindowSystem::windowTitle(WindowId window) const {
    const auto it = m_toplevels.find(window);
    return it == m_toplevels.end() ? QString() : it->second.title;
}

bool WaylandWindowSystem::isMaximized(WindowId window) const {
    const auto it = m_toplevels.find(window);
    return it != m_toplevels.end() && it->second.maximized;
}

bool WaylandWindowSystem::isIgnoredWindow(WindowId window) const {
    const auto it = m_toplevels.find(window);
    if (it == m_toplevels.end())
        return true;
    // Our windows carry the program's app id: on Wayland the desktop file's name, behind XWayland the X11 class.
    const QString& appId = it->second.appId;
    const QString ours = QGuiApplication::desktopFileName();
    return (!ours.isEmpty() && appId.compare(ours, Qt::CaseInsensitive) == 0) ||
           appId.compare(QLatin1String("zolpane"), Qt::CaseInsensitive) == 0;
}

bool WaylandWindowSystem::activateWindow(WindowId window, bool maximize) {
    const auto it = m_toplevels.find(window);
    if (it == m_toplevels.end() || !m_connection.seat())
        return false;
    if (maximize)
        zwlr_foreign_toplevel_handle_v1_set_maximized(it->second.handle);
    zwlr_foreign_toplevel_handle_v1_activate(it->second.handle, m_connection.seat());
    m_connection.flush();
    return true;
}
