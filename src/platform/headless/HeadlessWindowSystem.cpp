#include "platform/headless/HeadlessWindowSystem.h"

bool HeadlessWindowSystem::activateWindow(WindowId window, bool maximize) {
    if (!m_windows.contains(window))
        return false;
    activations.append({window, maximize});
    if (maximize)
        m_windows[window].maximized = true;
    setActive(window);
    return true;
}

void HeadlessWindowSystem::addWindow(WindowId id, const QString& title, bool maximized, bool ignored) {
    m_windows.insert(id, {title, maximized, ignored});
}

void HeadlessWindowSystem::removeWindow(WindowId id) {
    m_windows.remove(id);
    if (m_active == id)
        setActive(0);
}

void HeadlessWindowSystem::setActive(WindowId id) {
    if (m_active == id)
        return;
    m_active = id;
    Q_EMIT foregroundWindowChanged(id);
}

void HeadlessWindowSystem::setMaximized(WindowId id, bool maximized) {
    if (m_windows.contains(id))
        m_windows[id].maximized = maximized;
}
