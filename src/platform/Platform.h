#pragma once

#include <QObject>
#include <QString>

#include <cstdint>
#include <memory>

class QWidget;

/// An opaque id of a top-level window of any application (an X11 window id); 0 means none.
using WindowId = std::uint64_t;

/**
 * @brief Window-manager services the program needs from the desktop.
 *
 * The X11 backend talks to the window manager through EWMH; the headless backend keeps a scripted set of
 * windows so that tests decide what exists, what is active and what is maximized.
 */
class WindowSystem : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~WindowSystem() override = default;

    /// Twips per pixel on the horizontal and vertical axis (1440 / logical dots per inch).
    virtual double twipsPerPixelX() const = 0;
    virtual double twipsPerPixelY() const = 0;
    /// Keeps a top-level widget above all other windows, or stops doing so.
    virtual void setTopMost(QWidget* window, bool topMost) = 0;
    /// The login name of the user.
    virtual QString userName() const = 0;

    /// The window that now has the user's attention (the active window), 0 when none.
    virtual WindowId foregroundWindow() const = 0;
    /// True when the window still exists.
    virtual bool windowExists(WindowId window) const = 0;
    /// The window's title, "" when it has none or does not exist.
    virtual QString windowTitle(WindowId window) const = 0;
    /// True when the window is maximized in both directions.
    virtual bool isMaximized(WindowId window) const = 0;
    /// True for windows that never count as the user's last application (panels, desktop, this program).
    virtual bool isIgnoredWindow(WindowId window) const = 0;
    /// Brings the window to the front and gives it the focus; maximizes it when asked. False when the
    /// window is gone.
    virtual bool activateWindow(WindowId window, bool maximize) = 0;
    /// Waits at most timeoutMs, without blocking the event loop for longer than needed, until the window
    /// has both the active state and the input focus. True when it has.
    virtual bool waitUntilActive(WindowId window, int timeoutMs) = 0;

Q_SIGNALS:
    /// The active window changed (event-driven; no polling).
    void foregroundWindowChanged(WindowId window);
};
