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
    else
        m_down.remove(virtualKey);
}

bool HeadlessHotkeySystem::press(int id) {
    if (!m_registered.contains(id))
        return false;
    Q_EMIT hotkeyPressed(id);
    return true;
}
