#pragma once

#include "platform/Platform.h"

#include <QSet>

struct _XDisplay;
union _XEvent;
class X11Connection;

// EWMH window management. Requests go over Qt's connection; the active window is followed over a connection
// of our own that listens to the root window's property changes.
class X11WindowSystem final : public WindowSystem {
    Q_OBJECT
public:
    explicit X11WindowSystem(_XDisplay* display, QObject* parent = nullptr);
    ~X11WindowSystem() override;

    void setTopMost(QWidget* window, bool topMost) override;
    WindowId foregroundWindow() const override;
    bool windowExists(WindowId window) const override;
    QString windowTitle(WindowId window) const override;
    bool isMaximized(WindowId window) const override;
    bool isIgnoredWindow(WindowId window) const override;
    bool activateWindow(WindowId window, bool maximize) override;
    bool hasFocus(WindowId window) const override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void onEvent(_XEvent& event);
    // Adds or removes _NET_WM_STATE_ABOVE in the state property of a window that is not mapped.
    void writeAboveState(QWidget* window, bool above);

    _XDisplay* m_display;
    X11Connection* m_tracker;
    unsigned long m_activeAtom = 0;
    WindowId m_lastActive = 0;
    QSet<QObject*> m_topMostWindows;
};
