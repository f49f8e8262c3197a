#pragma once

#include "platform/Platform.h"

#include <QHash>
#include <QList>
#include <QMap>

class QWidget;

// Windows and focus that a test sets; every request is recorded.
class HeadlessWindowSystem final : public WindowSystem {
    Q_OBJECT
public:
    using WindowSystem::WindowSystem;

    Capabilities capabilities() const override { return caps; }
    double twipsPerPixelX() const override { return m_twipsX; }
    double twipsPerPixelY() const override { return m_twipsY; }
    void setTopMost(QWidget* window, bool topMost) override { m_topMost[window] = topMost; }
    QString userName() const override { return m_userName; }
    WindowId foregroundWindow() const override { return m_active; }
    bool windowExists(WindowId window) const override { return m_windows.contains(window); }
    QString windowTitle(WindowId window) const override { return m_windows.value(window).title; }
    bool isMaximized(WindowId window) const override { return m_windows.value(window).maximized; }
    bool isIgnoredWindow(WindowId window) const override { return m_windows.value(window).ignored; }
    bool activateWindow(WindowId window, bool maximize) override;
    bool hasFocus(WindowId window) const override { return window != 0 && m_active == window && !m_focusWithheld; }

    // Scripting. What the windows system says it can do.
    Capabilities caps;
    void setTwips(double x, double y) { m_twipsX = x, m_twipsY = y; }
    void setUserName(const QString& name) { m_userName = name; }
    void addWindow(WindowId id, const QString& title, bool maximized = false, bool ignored = false);
    void removeWindow(WindowId id);
    void setActive(WindowId id);
    void setMaximized(WindowId id, bool maximized);
    // While withheld, an active window never gets the keyboard focus (a window manager that refuses it).
    void setFocusWithheld(bool withheld) { m_focusWithheld = withheld; }
    bool isTopMost(QWidget* window) const { return m_topMost.value(window, false); }

    struct Activation {
        WindowId window;
        bool maximize;
    };
    QList<Activation> activations;

private:
    struct Window {
        QString title;
        bool maximized = false;
        bool ignored = false;
    };
    double m_twipsX = 15;
    double m_twipsY = 15;
    QString m_userName = QStringLiteral("tester");
    QMap<WindowId, Window> m_windows;
    WindowId m_active = 0;
    bool m_focusWithheld = false;
    QHash<QWidget*, bool> m_topMost;
};
