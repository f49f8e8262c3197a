#pragma once

#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>

class QWidget;

/// An opaque id of a top-level window of any application (an X11 window id); 0 means none.
using WindowId = std::uint64_t;

/**
 * @brief Window-manager services the program needs from the desktop.
 *
 * The X11 backend talks to the window manager through EWMH; the headless backend keeps a scripted set of
 * windows so that tests decide what exists, what is active and what is maximized. Queries on a window that has
 * vanished give the "none" answer (false, ""), never an error.
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
    /// True for windows that never count as the user's last application: panels and docks, the desktop, and
    /// the windows of this program.
    virtual bool isIgnoredWindow(WindowId window) const = 0;
    /// Brings the window to the front, un-minimizes it and gives it the focus; with maximize it is also
    /// maximized in both directions. False (and nothing done) when the window no longer exists.
    virtual bool activateWindow(WindowId window, bool maximize) = 0;
    /// True when the window is the active window and the keyboard focus is in it (on it or on one of its
    /// children), so that keys sent now reach it.
    virtual bool hasFocus(WindowId window) const = 0;

    /**
     * @brief Waits without blocking until the window has the focus (see hasFocus()).
     *
     * Calls done(true) as soon as it has, or done(false) once timeoutMs have passed; done always runs later from
     * the event loop, never inside this call, and not at all once context is destroyed. The check is a short
     * timer-driven poll, bounded by the timeout.
     */
    void waitUntilActive(WindowId window, int timeoutMs, QObject* context, std::function<void(bool)> done);

Q_SIGNALS:
    /// The active window changed (event-driven; no polling). window is 0 when no window is active.
    void foregroundWindowChanged(WindowId window);
};
