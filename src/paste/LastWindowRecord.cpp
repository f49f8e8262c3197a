#include "paste/LastWindowRecord.h"
#include "paste/PasteLog.h"

LastWindowRecord::LastWindowRecord(WindowSystem& windows, std::function<bool()> programExiting, QObject* parent)
    : QObject(parent), m_system(windows), m_programExiting(std::move(programExiting)) {}

void LastWindowRecord::start() {
    m_windows = {m_system.foregroundWindow(), 0, 0};
    m_maximized = {};
    m_title.clear();
    // Where other applications' windows cannot be seen, the paste goes to the window in front, and the caption
    // says so.
    if (!m_system.capabilities().seesOtherWindows)
        m_title = QStringLiteral("the window in front when pasting");
    if (!m_following)
        m_following =
            connect(&m_system, &WindowSystem::foregroundWindowChanged, this, &LastWindowRecord::onForegroundChanged);
    Q_EMIT lastWindowChanged();
}

void LastWindowRecord::refreshMaximized() {
    for (size_t i = 0; i < m_windows.size(); ++i)
        m_maximized[i] = m_windows[i] && m_system.isMaximized(m_windows[i]);
}

void LastWindowRecord::onForegroundChanged(WindowId window) {
    if (m_programExiting && m_programExiting()) {
        disconnect(m_following);
        return;
    }
    // The window being left is looked at once more: whether it is maximized now is how the user left it, even
    // when the new active window does not enter the record.
    if (m_windows[0])
        m_maximized[0] = m_system.isMaximized(m_windows[0]);
    if (!window || m_system.isIgnoredWindow(window))
        return;
    if (window == m_windows[0])
        return;
    m_windows = {window, m_windows[0], m_windows[1]};
    QString title = m_system.windowTitle(window);
    qsizetype length = std::min<qsizetype>(title.size(), titleLength);
    if (length > 0 && length < title.size() && title.at(length - 1).isHighSurrogate())
        --length; // never half a character
    m_title = title.left(length);
    refreshMaximized();
    qCDebug(lcPaste) << "last window" << Qt::hex << window << m_title;
    Q_EMIT lastWindowChanged();
}

bool LastWindowRecord::ActivateLastApplication() {
    m_activated = 0;
    // Where no window can be activated, the keys go to the window that has the focus once ours have left it.
    if (!m_system.capabilities().activatesWindows)
        return true;
    // A copy: activating a window changes the active window, which updates the record at once.
    const auto windows = m_windows;
    const auto maximized = m_maximized;
    for (size_t i = 0; i < windows.size(); ++i) {
        // A window that no longer exists fails, and the next older entry is tried.
        if (windows[i] && m_system.activateWindow(windows[i], maximized[i])) {
            m_activated = windows[i];
            return true;
        }
    }
    qCDebug(lcPaste) << "no window of the record exists any more";
    return false;
}
