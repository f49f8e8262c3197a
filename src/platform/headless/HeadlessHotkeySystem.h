#pragma once

#include "platform/HotkeySystem.h"

#include <QMap>
#include <QSet>

// Hotkeys and key state that a test sets: registrations are recorded, chosen combinations are refused as if
// another application held them, and presses are fired by the test.
class HeadlessHotkeySystem final : public HotkeySystem {
    Q_OBJECT
public:
    using HotkeySystem::HotkeySystem;

    bool registerHotkey(int id, int modifierCode, int virtualKey) override;
    void unregisterHotkey(int id) override { m_registered.remove(id); }
    bool isRegistered(int id) const override { return m_registered.contains(id); }
    bool isKeyDown(int virtualKey) const override { return m_down.contains(virtualKey); }
    // Reports releases (keyReleased() from setKeyDown()) once the test has asked for it with reportReleases().
    bool watchKeyReleases(bool on) override;
    // Once a shortcut was set held, hotkeys are whole shortcuts, as a desktop's shortcut service reports them.
    bool isHotkeyHeld(int id, int modifierCode, int virtualKey) const override {
        return m_shortcuts ? m_heldShortcuts.contains(id) : HotkeySystem::isHotkeyHeld(id, modifierCode, virtualKey);
    }

    // Scripting.
    struct Combination {
        int modifierCode = 0;
        int virtualKey = 0;
        friend bool operator==(const Combination&, const Combination&) = default;
    };
    void refuse(int modifierCode, int virtualKey) { m_refused.append({modifierCode, virtualKey}); }
    void setKeyDown(int virtualKey, bool down);
    // Presses or lets go of hotkey id as a whole; letting go reports hotkeyReleased(id).
    void setShortcutHeld(int id, bool held);
    // Whether releases are reported to watchers (as the X11 backend does); off, callers look at intervals.
    void reportReleases(bool on) { m_reportsReleases = on; }
    int releaseWatchers() const { return m_releaseWatchers; }
    // Emits hotkeyPressed(id) when id is registered, like a press of its combination; false otherwise.
    bool press(int id);
    Combination combination(int id) const { return m_registered.value(id); }
    // Every registerHotkey() call in order, accepted or not.
    QList<QPair<int, Combination>> registrations;

private:
    QMap<int, Combination> m_registered;
    QList<Combination> m_refused;
    QSet<int> m_down;
    bool m_shortcuts = false;
    QSet<int> m_heldShortcuts;
    bool m_reportsReleases = false;
    int m_releaseWatchers = 0;
};
