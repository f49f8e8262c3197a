#pragma once

#include "Platform.h"

#include <memory>

// The set of desktop services handed to the program at start-up. main() builds the X11 set on a real
// display and the headless set elsewhere; tests build the headless set and script it.
struct PlatformServices {
    std::unique_ptr<WindowSystem> windows;
};

// The services for the display Qt runs on: X11 when Qt uses xcb with a display, headless otherwise.
PlatformServices createPlatformServices();
PlatformServices createHeadlessPlatformServices();
