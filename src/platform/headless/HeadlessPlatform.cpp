#include "HeadlessHotkeySystem.h"
#include "HeadlessKeySender.h"
#include "HeadlessWindowSystem.h"
#include "PlatformServices.h"

PlatformServices createHeadlessPlatformServices() {
    PlatformServices services;
    services.windows = std::make_unique<HeadlessWindowSystem>();
    services.hotkeys = std::make_unique<HeadlessHotkeySystem>();
    services.keys = std::make_unique<HeadlessKeySender>(*services.windows);
    return services;
}
