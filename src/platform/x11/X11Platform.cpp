#include "platform/x11/X11Platform.h"

#include "platform/x11/X11ClipboardRequests.h"
#include "platform/x11/X11HotkeySystem.h"
#include "platform/x11/X11KeySender.h"
#include "platform/x11/X11WindowSystem.h"

#include <QGuiApplication>

#include <X11/Xlib.h>

std::unique_ptr<X11Session> X11Session::open() {
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->display())
        return nullptr;
    return std::unique_ptr<X11Session>(new X11Session(x11->display()));
}

X11Session::X11Session(Display* display) : m_display(display), m_requests(new X11ClipboardRequests(display, this)) {}

X11Session::~X11Session() = default;

std::unique_ptr<WindowSystem> X11Session::windows() {
    return std::make_unique<X11WindowSystem>(m_display);
}

std::unique_ptr<HotkeySystem> X11Session::hotkeys() {
    return std::make_unique<X11HotkeySystem>(m_display);
}

std::unique_ptr<KeySender> X11Session::keys(WindowSystem& windows) {
    auto keys = std::make_unique<X11KeySender>(m_display, windows);
    keys->setClipboardWait([requests = m_requests] { return requests ? requests->msUntilFormatsKnown() : 0; });
    return keys;
}
