#include "paste/Hotkeys.h"

#include "paste/PasteLog.h"
#include "platform/HotkeyReleaseWaiter.h"
#include "platform/HotkeySystem.h"
#include "services/Settings.h"

#include <QTimer>

Hotkeys::Hotkeys(HotkeySystem& system, Settings& settings, std::function<bool()> programExiting, QObject* parent)
    : QObject(parent), m_system(system), m_settings(settings), m_programExiting(std::move(programExiting)),
      m_pasteNextWaiter(
          new HotkeyReleaseWaiter(system, m_programExiting, HotkeyReleaseWaiter::ExitCheck::ExitWhileKeysDown, this)),
      m_clipWaiter(new HotkeyReleaseWaiter(system, m_programExiting, HotkeyReleaseWaiter::ExitCheck::ExitFirst, this)) {
    connect(&m_system, &HotkeySystem::hotkeyPressed, this, &Hotkeys::HotkeyWindowProc);
    connect(m_pasteNextWaiter, &HotkeyReleaseWaiter::released, this, &Hotkeys::pasteNextTriggered);
    connect(m_clipWaiter, &HotkeyReleaseWaiter::released, this, [this] { Q_EMIT clipTriggered(m_pendingClip); });
}

Hotkeys::~Hotkeys() = default;

bool Hotkeys::PasteNextBusy() const {
    return m_pasteNextWaiter->isBusy();
}
bool Hotkeys::ClipHotkeyBusy() const {
    return m_clipWaiter->isBusy();
}

QList<HotkeySystem::Registration> Hotkeys::specialRegistrations() const {
    QList<HotkeySystem::Registration> registrations;
    for (size_t i = 0; i < SpecialIds.size(); ++i)
        registrations.append({SpecialIds[i], m_settings.SpecialHotkeys[2 * i], m_settings.SpecialHotkeys[2 * i + 1],
                              descriptionOf(SpecialIds[i])});
    return registrations;
}

QString Hotkeys::descriptionOf(int id) {
    switch (id) {
    case ShowMainWindowId:
        return QStringLiteral("Show the Zolpane main window");
    case ClipboardMenuId:
        return QStringLiteral("Zolpane global menu");
    case PasteNextId:
        return QStringLiteral("Paste the next clip");
    case PasteMenuId:
        return QStringLiteral("Zolpane clip menu");
    case SettingsId:
        return QStringLiteral("Zolpane settings");
    default:
        return QStringLiteral("Paste clip %1").arg(clipOfHotkeyId(id));
    }
}

void Hotkeys::registerAll(const QList<HotkeySystem::Registration>& registrations) {
    const QList<bool> taken = m_system.registerHotkeys(registrations);
    // Where the desktop lets no program take keys, each refusal would say the same (the platform logs why).
    if (!m_system.capabilities().grabsKeys)
        return;
    for (qsizetype i = 0; i < registrations.size(); ++i) {
        const HotkeySystem::Registration& r = registrations[i];
        if (taken.value(i))
            continue;
        if (r.id > SettingsId)
            qCInfo(lcPaste) << "hotkey of clip" << clipOfHotkeyId(r.id) << "refused:" << r.modifierCode << r.virtualKey;
        else
            qCInfo(lcPaste) << "special hotkey" << r.id << "not registered:" << r.modifierCode << r.virtualKey;
    }
}

void Hotkeys::RegisterSpecialHotkeys() {
    registerAll(specialRegistrations());
}

void Hotkeys::UnregisterSpecialHotkeys() {
    for (int id : SpecialIds)
        m_system.unregisterHotkey(id);
}

void Hotkeys::InitHotkeys() {
    // The special hotkeys in their order, then each clip's with a modifier and a key, as SetClipHotkey() takes
    // them (no clip has one yet); handed to the desktop in one go.
    QList<HotkeySystem::Registration> registrations = specialRegistrations();
    for (int n = 1; n <= 30; ++n) {
        const size_t i = size_t(n);
        ClipHotkeyOn[i] = false;
        const int m = m_settings.ReadInt(QStringLiteral("Hotkeys"), QStringLiteral("Clip%1Mod").arg(n));
        const int k = m_settings.ReadInt(QStringLiteral("Hotkeys"), QStringLiteral("Clip%1Key").arg(n));
        if (m == 0 || k == 0)
            continue;
        ClipHotkeyMod[i] = m;
        ClipHotkeyKey[i] = k;
        // Stays on even when refused: the combination counts as the clip's in the properties dialog.
        ClipHotkeyOn[i] = true;
        registrations.append({clipHotkeyId(n), m, k, descriptionOf(clipHotkeyId(n))});
    }
    registerAll(registrations);
}

void Hotkeys::SetClipHotkey(int m, int k, int id) {
    const int n = clipOfHotkeyId(id);
    if (n < 1 || n > 30)
        return;
    const size_t i = size_t(n);
    if ((ClipHotkeyOn[i] && k == 0) || m == 0) {
        ClipHotkeyMod[i] = 0;
        ClipHotkeyKey[i] = 0;
        ClipHotkeyOn[i] = false;
        m_system.unregisterHotkey(id);
        return;
    }
    if (!ClipHotkeyOn[i] && k == 0) {
        ClipHotkeyMod[i] = 0;
        ClipHotkeyKey[i] = 0;
        return;
    }
    if (ClipHotkeyOn[i]) {
        m_system.unregisterHotkey(id);
        ClipHotkeyOn[i] = false;
    }
    ClipHotkeyMod[i] = m;
    ClipHotkeyKey[i] = k;
    // Stays on even when refused: the combination counts as the clip's in the properties dialog.
    ClipHotkeyOn[i] = true;
    if (!m_system.registerHotkeys({{id, m, k, descriptionOf(id)}}).value(0) && m_system.capabilities().grabsKeys)
        qCInfo(lcPaste) << "hotkey of clip" << n << "refused:" << m << k;
}

void Hotkeys::HotkeyWindowProc(int id) {
    if (m_programExiting())
        return;
    switch (id) {
    case ShowMainWindowId:
        Q_EMIT showMainWindowRequested();
        return;
    case ClipboardMenuId:
        Q_EMIT clipboardMenuRequested();
        return;
    case PasteNextId:
        PasteNextHotkey();
        return;
    case PasteMenuId:
        Q_EMIT pasteMenuRequested();
        return;
    case SettingsId:
        Q_EMIT settingsRequested();
        return;
    default:
        if (const int n = clipOfHotkeyId(id); n >= 1 && n <= 30)
            ClipHotkeyPressed(ClipHotkeyKey[size_t(n)], ClipHotkeyMod[size_t(n)], n);
        return;
    }
}

bool Hotkeys::triggerFromOutside(int id) {
    if (m_programExiting())
        return false;
    if (id == PasteNextId)
        return m_pasteNextWaiter->startForEveryKey();
    if (const int n = clipOfHotkeyId(id); n >= 1 && n <= 30) {
        if (m_clipWaiter->isBusy())
            return false;
        m_pendingClip = n;
        return m_clipWaiter->startForEveryKey();
    }
    // A menu, the main window or a message box comes up once the caller has had its answer: the command line
    // waits for that answer, and a menu or box would hold it back for as long as it stays open.
    QTimer::singleShot(0, this, [this, id] {
        if (!m_programExiting())
            HotkeyWindowProc(id);
    });
    return true;
}

void Hotkeys::PasteNextHotkey() {
    m_pasteNextWaiter->start(PasteNextId, m_settings.SpecialHotkeys[4], m_settings.SpecialHotkeys[5]);
}

void Hotkeys::ClipHotkeyPressed(int key, int code, int n) {
    if (m_clipWaiter->isBusy())
        return;
    m_pendingClip = n;
    m_clipWaiter->start(clipHotkeyId(n), code, key);
}
