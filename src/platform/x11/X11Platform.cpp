#include "platform/PlatformServices.h"
#include "platform/x11/X11ClipboardRequests.h"
#include "platform/x11/X11HotkeySystem.h"
#include "platform/x11/X11KeySender.h"
#include "platform/x11/X11WindowSystem.h"

#include <QGuiApplication>
#include <QPointer>

#include <X11/Xlib.h>

PlatformServices createPlatformServices() {
    Display* display = nullptr;
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        if (auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>())
            display = x11->display();
    }
    if (!display)
        return createHeadlessPlatformServices();
    PlatformServices services;
    services.windows = std::make_unique<X11WindowSystem>(display);
    services.hotkeys = std::make_unique<X11HotkeySystem>(display);
    auto keys = std::make_unique<X11KeySender>(display, *services.windows);
    // Answers for our clipboard and primary selection as long as the platform services live.
    QPointer<X11ClipboardRequests> requests = new X11ClipboardRequests(display, services.windows.get());
    keys->setClipboardWait([requests] { return requests ? requests->msUntilFormatsKnown() : 0; });
    services.keys = std::move(keys);
    return services;
}
