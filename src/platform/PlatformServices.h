#pragma once

#include "platform/Clipboard.h"
#include "platform/HotkeySystem.h"
#include "platform/KeySender.h"
#include "platform/Platform.h"

#include <QObject>

#include <memory>
#include <vector>

// The set of desktop services handed to the program at start-up; tests build the headless set and script it.
// Members are destroyed in reverse order: the backends' connections (sessions) outlive the services that use
// them, and the window system outlives the key sender that works with it.
struct PlatformServices {
    std::vector<std::unique_ptr<QObject>> sessions;
    std::unique_ptr<WindowSystem> windows;
    std::unique_ptr<HotkeySystem> hotkeys;
    std::unique_ptr<KeySender> keys;
    std::unique_ptr<Clipboard> clipboard;
};

// The services for this session, each chosen on its own by what the session offers (see PlatformChoice.h).
PlatformServices createPlatformServices();
PlatformServices createHeadlessPlatformServices();
