#pragma once

#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>

class QWidget;

/// An opaque id of a top-level window of any application, handed out by the window system that reports the
/// window; 0 means none. Only the window system that handed it out can tell anything from it.
using WindowId = std::uint64_t;

/**
 * @brief Window-manager services the program needs from the desktop.
 *
 * The X11 backend talks to the window manager through EWMH, the Wayland one through the compositor's
 * foreign-toplevel protocol; where neither is offered the program sees no other application's windows at all
 * (capabilities() says so). The headless backend keeps a scripted set of windows so that tests decide what
 * exists, what is active and what is maximized. Queries on a window that has vanished give the "none" answer
 * (false, ""), never an error.
 */
class WindowSystem : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~WindowSystem() override = default;

    /// What the backend can do; the paste path chooses its route from it.
    struct Capabilities {
        /// It sees other applications' windows: foregroundWindow() and foregroundWindowChanged() report them.
        bool seesOtherWindows = true;
        /// It can bring another application's window to the front (activateWindow()). Without it a paste goes to
        /// whichever window has the focus once this program's own windows have left it.
        bool activatesWindows = true;
        /// A change of hasFocus() comes with foregroundWindowChanged(), so waitUntilActive() needs no polling.
        bool focusEvents = false;
    };
    virtual Capabilities capabilities() const { return {}; }

    /// Twips per pixel on the horizontal and vertical axis (1440 / logical dots per inch of the primary screen).
    virtual double twipsPerPixelX() const;
    virtual double twipsPerPixelY() const;
    /// Keeps a top-level widget above all other windows, or stops doing so.
    virtual void setTopMost(QWidget* window, bool topMost) = 0;
    /// The login name of the user.
    virtual QString userName() const;

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
    /// Brings one of this program's own shown windows to the front where Qt's activateWindow() cannot (a
    /// compositor that gives the focus only at its own request); the default leaves it to Qt.
    virtual void activateOwnWindow(QWidget* window) { Q_UNUSED(window); }
    /// True when the window is the active window and the keyboard focus is in it (on it or on one of its
    /// children), so that keys sent now reach it.
    virtual bool hasFocus(WindowId window) const = 0;

    /**
     * @brief Waits without blocking until the window has the focus (see hasFocus()).
     *
     * Calls done(true) as soon as it has, or done(false) once timeoutMs have passed; done always runs later from
     * the event loop, never inside this call, and not at all once context is destroyed. The check follows
     * foregroundWindowChanged() where the backend reports focus changes (Capabilities::focusEvents), else it is a
     * short timer-driven poll; either way it is bounded by the timeout.
     */
    void waitUntilActive(WindowId window, int timeoutMs, QObject* context, std::function<void(bool)> done);

Q_SIGNALS:
    /// The active window changed (event-driven; no polling). window is 0 when no window is active.
    void foregroundWindowChanged(WindowId window);
};
