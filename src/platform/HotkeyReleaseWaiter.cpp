#include "platform/HotkeyReleaseWaiter.h"

#include "platform/HotkeySystem.h"

HotkeyReleaseWaiter::HotkeyReleaseWaiter(HotkeySystem& hotkeys, std::function<bool()> programExiting,
                                         ExitCheck exitCheck, QObject* parent)
    : QObject(parent), m_hotkeys(hotkeys), m_programExiting(std::move(programExiting)), m_exitCheck(exitCheck) {
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &HotkeyReleaseWaiter::check);
    connect(&m_hotkeys, &HotkeySystem::keyReleased, this, &HotkeyReleaseWaiter::onKeyReleased);
    connect(&m_hotkeys, &HotkeySystem::hotkeyReleased, this, [this](int id) {
        if (!m_everyKey && id == m_id)
            onKeyReleased();
    });
}

HotkeyReleaseWaiter::~HotkeyReleaseWaiter() {
    stopWatching();
}

bool HotkeyReleaseWaiter::start(int id, int modifierCode, int virtualKey) {
    if (m_busy || (m_programExiting && m_programExiting()))
        return false;
    m_busy = true;
    m_everyKey = false;
    m_id = id;
    m_modifierCode = modifierCode;
    m_virtualKey = virtualKey;
    // The first look comes after the pending events have run once.
    m_timer.start(0);
    return true;
}

bool HotkeyReleaseWaiter::startForEveryKey() {
    if (!start(0, 0, 0))
        return false;
    m_everyKey = true;
    return true;
}

bool HotkeyReleaseWaiter::anyKeyDown() const {
    return m_everyKey ? m_hotkeys.anyKeyDown() : m_hotkeys.isHotkeyHeld(m_id, m_modifierCode, m_virtualKey);
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
