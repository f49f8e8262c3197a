#pragma once

#include "platform/HotkeySystem.h"

#include <QObject>

#include <array>
#include <functional>

class HotkeyReleaseWaiter;
class Settings;

// The program's global hotkeys: five special ones (ids 1-4 and 6) and one per clip (id = clip + 6),
// registered with the desktop and dispatched by id. Clip and paste-next hotkeys act only once every key of
// the combination is up, so the keys sent next reach the target and not our own grab.
class Hotkeys final : public QObject {
    Q_OBJECT
public:
    Hotkeys(HotkeySystem& system, Settings& settings, std::function<bool()> programExiting, QObject* parent = nullptr);
    ~Hotkeys() override;

    void InitHotkeys();
    void RegisterSpecialHotkeys();
    void UnregisterSpecialHotkeys();
    // Registers, changes or removes the hotkey of clip id - 6.
    void SetClipHotkey(int modifierCode, int key, int id);
    // What a hotkey message of this id does.
    void HotkeyWindowProc(int id);
    // A request from outside the program (the command line, which a desktop shortcut may run) to do what the
    // hotkey of id does. Pasting waits until every key of the keyboard is up, as the shortcut's keys are not
    // known; anything else runs from the event loop, after the caller answered. False when refused: the
    // program is exiting, or a paste of the same kind still waits.
    bool triggerFromOutside(int id);

    // 1..30 (index 0 unused).
    std::array<int, 31> ClipHotkeyMod{};
    std::array<int, 31> ClipHotkeyKey{};
    std::array<bool, 31> ClipHotkeyOn{};

    bool PasteNextBusy() const;
    bool ClipHotkeyBusy() const;

    static constexpr int ShowMainWindowId = 1;
    static constexpr int ClipboardMenuId = 2;
    static constexpr int PasteNextId = 3;
    static constexpr int PasteMenuId = 4;
    static constexpr int SettingsId = 6;
    // The special hotkeys in the order of the settings file's names and the settings dialog's rows.
    static constexpr std::array<int, 5> SpecialIds = {ShowMainWindowId, ClipboardMenuId, PasteNextId, PasteMenuId,
                                                      SettingsId};
    // The hotkey id of clip n (1..30), and the clip of such an id.
    static constexpr int clipHotkeyId(int n) { return n + SettingsId; }
    static constexpr int clipOfHotkeyId(int id) { return id - SettingsId; }
    // What the hotkey of id does, as a desktop that binds shortcuts shows it to its user.
    static QString descriptionOf(int id);

Q_SIGNALS:
    void showMainWindowRequested();
    void clipboardMenuRequested();
    void pasteMenuRequested();
    void settingsRequested();
    // Every key of the paste-next hotkey is up: paste the next clip.
    void pasteNextTriggered();
    // Every key of clip n's hotkey is up: copy and paste clip n.
    void clipTriggered(int n);

private:
    QList<HotkeySystem::Registration> specialRegistrations() const;
    // Registers and logs the refused ones.
    void registerAll(const QList<HotkeySystem::Registration>& registrations);
    void PasteNextHotkey();
    void ClipHotkeyPressed(int key, int code, int n);

    HotkeySystem& m_system;
    Settings& m_settings;
    std::function<bool()> m_programExiting;
    HotkeyReleaseWaiter* m_pasteNextWaiter;
    HotkeyReleaseWaiter* m_clipWaiter;
    int m_pendingClip = 0;
};
