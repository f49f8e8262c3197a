#include "platform/PlatformServices.h"
#include "platform/QtClipboard.h"
#include "platform/headless/HeadlessHotkeySystem.h"
#include "platform/headless/HeadlessKeySender.h"
#include "platform/headless/HeadlessWindowSystem.h"

PlatformServices createHeadlessPlatformServices() {
    PlatformServices services;
    services.windows = std::make_unique<HeadlessWindowSystem>();
    services.hotkeys = std::make_unique<HeadlessHotkeySystem>();
    services.keys = std::make_unique<HeadlessKeySender>(*services.windows);
    services.clipboard = std::make_unique<QtClipboard>();
    return services;
}
