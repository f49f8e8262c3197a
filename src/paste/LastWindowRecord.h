#pragma once

#include "platform/Platform.h"

#include <QObject>

#include <array>
#include <functional>

// The three most recent foreign windows the user worked in, newest first, and bringing them back. It follows
// the window system's active-window changes; panels, the desktop and this program's own windows never enter
// it, so a paste started from our own window still finds the application used before.
class LastWindowRecord final : public QObject {
    Q_OBJECT
public:
    LastWindowRecord(WindowSystem& windows, std::function<bool()> programExiting, QObject* parent = nullptr);

    // At start-up: the newest entry is the window active now, the other two are empty; from now on every
    // change of the active window is followed.
    void start();

    const std::array<WindowId, 3>& LastWindows() const { return m_windows; }
    const std::array<bool, 3>& LastWindowMaximized() const { return m_maximized; }
    // The newest entry's title as it was when it became the newest, at most 49 characters.
    const QString& LastWindowTitle() const { return m_title; }

    // Brings back the newest entry that still exists, maximized again if it was. False when none exists. Where the
    // window system cannot activate windows, true with no window: the paste goes to the window in front.
    bool ActivateLastApplication();
    // The window ActivateLastApplication() activated last (0 before any or after a failure).
    WindowId activatedWindow() const { return m_activated; }

    static constexpr int titleLength = 49;

Q_SIGNALS:
    // The newest entry changed (its title with it), or the record started afresh.
    void lastWindowChanged();

private:
    void onForegroundChanged(WindowId window);
    void refreshMaximized();

    WindowSystem& m_system;
    std::function<bool()> m_programExiting;
    std::array<WindowId, 3> m_windows{};
    std::array<bool, 3> m_maximized{};
    QString m_title;
    WindowId m_activated = 0;
    QMetaObject::Connection m_following;
};
