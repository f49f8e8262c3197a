#pragma once

#include "platform/Platform.h"

#include <QDeadlineTimer>

#include <map>

class WaylandConnection;
struct zwlr_foreign_toplevel_manager_v1;
struct zwlr_foreign_toplevel_handle_v1;

// Other applications' windows through the compositor's foreign-toplevel protocol (wlr, version 3): the list of
// toplevels with title, app id and state, which one is activated, and activating one with our seat. Window ids
// are numbers handed out here, one per toplevel handle. The state of a toplevel arrives as events, so focus
// changes are reported without polling. Our own windows are known by their app id.
class WaylandWindowSystem final : public WindowSystem {
    Q_OBJECT
public:
    explicit WaylandWindowSystem(WaylandConnection& connection, QObject* parent = nullptr);
    ~WaylandWindowSystem() override;

    bool isReady() const { return m_manager != nullptr; }
    Capabilities capabilities() const override { return {true, true, true}; }
    // The compositor decides what stays on top; no protocol asks it.
    void setTopMost(QWidget*, bool) override {}
    WindowId foregroundWindow() const override { return m_active; }
    bool windowExists(WindowId window) const override { return m_toplevels.count(window) != 0; }
    QString windowTitle(WindowId window) const override;
    bool isMaximized(WindowId window) const override;
    bool isIgnoredWindow(WindowId window) const override;
    bool activateWindow(WindowId window, bool maximize) override;
    bool hasFocus(WindowId window) const override { return window != 0 && window == m_active; }
    // Asks the compositor to activate our toplevel of the window's title, once it is listed (a window just shown
    // is listed a moment later).
    void activateOwnWindow(QWidget* window) override;

    struct Toplevel {
        zwlr_foreign_toplevel_handle_v1* handle = nullptr;
        QString title;
        QString appId;
        bool activated = false;
        bool maximized = false;
        // The state as the events since the last done event describe it.
        bool pendingActivated = false;
        bool pendingMaximized = false;
    };

private:
    friend struct ForeignToplevelEvents;
    void added(zwlr_foreign_toplevel_handle_v1* handle);
    void done(WindowId id);
    void closed(WindowId id);

    WaylandConnection& m_connection;
    zwlr_foreign_toplevel_manager_v1* m_manager = nullptr;
    std::map<WindowId, Toplevel> m_toplevels;
    WindowId m_nextId = 1;
    WindowId m_active = 0;
    // The title of our window to activate once it is listed, and until when that is still wanted.
    QString m_ownToActivate;
    QDeadlineTimer m_ownDeadline;
};
