#include "platform/HotkeyReleaseWaiter.h"

#include "platform/HotkeySystem.h"
#include "platform/KeyCodes.h"

HotkeyReleaseWaiter::HotkeyReleaseWaiter(HotkeySystem& hotkeys, std::function<bool()> programExiting,
                                         ExitCheck exitCheck, QObject* parent)
    : QObject(parent), m_hotkeys(hotkeys), m_programExiting(std::move(programExiting)), m_exitCheck(exitCheck) {
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &HotkeyReleaseWaiter::check);
    connect(&m_hotkeys, &HotkeySystem::keyReleased, this, &HotkeyReleaseWaiter::onKeyReleased);
}

HotkeyReleaseWaiter::~HotkeyReleaseWaiter() {
    stopWatching();
}

QList<int> HotkeyReleaseWaiter::keysOf(int modifierCode, int virtualKey) {
    QList<int> keys;
    if (modifierCode & HotkeyModifier::Control)
        keys.append(KeyCode::Control);
    if (modifierCode & HotkeyModifier::Shift)
        keys.append(KeyCode::Shift);
    if (modifierCode & HotkeyModifier::Alt)
        keys.append(KeyCode::Alt);
    if (virtualKey)
        keys.append(virtualKey);
    return keys;
}

bool HotkeyReleaseWaiter::start(int modifierCode, int virtualKey) {
    if (m_busy || (m_programExiting && m_programExiting()))
        return false;
    m_busy = true;
    m_everyKey = false;
    m_keys = keysOf(modifierCode, virtualKey);
    // The first look comes after the pending events have run once.
    m_timer.start(0);
    return true;
}

bool HotkeyReleaseWaiter::startForEveryKey() {
    if (!start(0, 0))
        return false;
    m_everyKey = true;
    return true;
}

bool HotkeyReleaseWaiter::anyKeyDown() const {
    return m_everyKey ? m_hotkeys.anyKeyDown() : m_hotkeys.anyOfKeysDown(m_keys);
}

void HotkeyReleaseWaiter::stopWatching() {
    if (m_watching)
        m_hotkeys.watchKeyReleases(false);
    m_watching = false;
}

void HotkeyReleaseWaiter::check() {
    const auto exiting = [this] { return m_programExiting && m_programExiting(); };
    if (m_exitCheck == ExitCheck::ExitFirst && exiting()) {
        stopWatching();
        return; // stays busy: nothing more happens while the program ends
    }
    // Releases are reported from before the keys are looked at, so none falls between the look and the report.
    if (!m_watching)
        m_watching = m_hotkeys.watchKeyReleases(true);
    if (anyKeyDown()) {
        if (exiting()) {
            stopWatching();
            return;
        }
        if (!m_watching)
            m_timer.start(pollIntervalMs);
        return;
    }
    stopWatching();
    Q_EMIT released();
    m_busy = false;
}

void HotkeyReleaseWaiter::onKeyReleased() {
    // Until the first look (which comes after the pending events) nothing is decided by a release.
    if (!m_busy || !m_watching || m_timer.isActive())
        return;
    if (m_programExiting && m_programExiting()) {
        stopWatching();
        return;
    }
    check();
}
