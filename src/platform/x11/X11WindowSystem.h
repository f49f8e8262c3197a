#pragma once

#include "Platform.h"

struct _XDisplay;

// EWMH window management on the X display Qt uses.
class X11WindowSystem final : public WindowSystem {
    Q_OBJECT
public:
    explicit X11WindowSystem(_XDisplay* display, QObject* parent = nullptr);
    ~X11WindowSystem() override;

    double twipsPerPixelX() const override;
    double twipsPerPixelY() const override;
    void setTopMost(QWidget* window, bool topMost) override;
    QString userName() const override;
    WindowId foregroundWindow() const override;
    bool windowExists(WindowId window) const override;
    QString windowTitle(WindowId window) const override;
    bool isMaximized(WindowId window) const override;
    bool isIgnoredWindow(WindowId window) const override;
    bool activateWindow(WindowId window, bool maximize) override;
    bool waitUntilActive(WindowId window, int timeoutMs) override;

private:
    _XDisplay* m_display;
};
