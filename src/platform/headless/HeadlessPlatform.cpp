#include "HeadlessWindowSystem.h"
#include "PlatformServices.h"

PlatformServices createHeadlessPlatformServices() {
    PlatformServices services;
    services.windows = std::make_unique<HeadlessWindowSystem>();
    return services;
}
