#pragma once

#include "platform/HotkeySystem.h"
#include "platform/KeySender.h"
#include "platform/Platform.h"

#include <memory>

// The set of desktop services handed to the program at start-up. main() builds the X11 set on a real
// display and the headless set elsewhere; tests build the headless set and script it. The key sender works
// with the window system, so windows outlives keys (members are destroyed in reverse order).
struct PlatformServices {
    std::unique_ptr<WindowSystem> windows;
    std::unique_ptr<HotkeySystem> hotkeys;
    std::unique_ptr<KeySender> keys;
};

// The services for the display Qt runs on: X11 when Qt uses xcb with a display, headless otherwise.
PlatformServices createPlatformServices();
PlatformServices createHeadlessPlatformServices();
