#include "platform/headless/HeadlessHotkeySystem.h"

bool HeadlessHotkeySystem::registerHotkey(int id, int modifierCode, int virtualKey) {
    const Combination wanted{modifierCode, virtualKey};
    registrations.append({id, wanted});
    m_registered.remove(id);
    if (!isSupportedKey(virtualKey) || m_refused.contains(wanted))
        return false;
    for (auto it = m_registered.cbegin(); it != m_registered.cend(); ++it)
        if (it.value() == wanted)
            return false;
    m_registered.insert(id, wanted);
    return true;
}

void HeadlessHotkeySystem::setKeyDown(int virtualKey, bool down) {
    if (down)
        m_down.insert(virtualKey);
    else if (m_down.remove(virtualKey) && m_releaseWatchers > 0)
        Q_EMIT keyReleased();
}

void HeadlessHotkeySystem::setShortcutHeld(int id, bool held) {
    m_shortcuts = true;
    if (held)
        m_heldShortcuts.insert(id);
    else if (m_heldShortcuts.remove(id))
        Q_EMIT hotkeyReleased(id);
}

bool HeadlessHotkeySystem::watchKeyReleases(bool on) {
    if (!m_reportsReleases)
        return false;
    m_releaseWatchers += on ? 1 : (m_releaseWatchers > 0 ? -1 : 0);
    return true;
}

bool HeadlessHotkeySystem::press(int id) {
    if (!m_registered.contains(id))
        return false;
    Q_EMIT hotkeyPressed(id);
    return true;
}
