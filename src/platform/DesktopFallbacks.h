#pragma once

#include "platform/HotkeySystem.h"
#include "platform/KeySender.h"
#include "platform/Platform.h"

// What a session offers where it lacks a service: no other application's windows are seen (the paste goes to
// the window in front), no key is grabbed (the desktop's shortcuts run the command line), no key is sent.

class FocusOnlyWindowSystem final : public WindowSystem {
    Q_OBJECT
public:
    using WindowSystem::WindowSystem;
    Capabilities capabilities() const override { return {false, false, false}; }
    // Keeping a window above the others is the compositor's decision here.
    void setTopMost(QWidget*, bool) override {}
    WindowId foregroundWindow() const override { return 0; }
    bool windowExists(WindowId) const override { return false; }
    QString windowTitle(WindowId) const override { return {}; }
    bool isMaximized(WindowId) const override { return false; }
    bool isIgnoredWindow(WindowId) const override { return false; }
    bool activateWindow(WindowId, bool) override { return false; }
    bool hasFocus(WindowId) const override { return false; }
};

class NoHotkeySystem final : public HotkeySystem {
    Q_OBJECT
public:
    using HotkeySystem::HotkeySystem;
    Capabilities capabilities() const override { return {false, false}; }
    bool registerHotkey(int, int, int) override { return false; }
    void unregisterHotkey(int) override {}
    bool isRegistered(int) const override { return false; }
    bool isKeyDown(int) const override { return false; }
};

class NoKeySender final : public KeySender {
    Q_OBJECT
public:
    using KeySender::KeySender;
    Capabilities capabilities() const override { return {false, false, false}; }

protected:
    void deliver(const KeyActions&) override { complete(Result::Failed); }
    void abortDelivery() override {}
};
