#include "x11/X11WindowSystem.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QScreen>
#include <QThread>
#include <QWidget>

#include <pwd.h>
#include <unistd.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace {

double twipsFor(double dpi) { return dpi > 0 ? 1440.0 / dpi : 15.0; }

Atom atom(Display* d, const char* name) { return XInternAtom(d, name, False); }

// Swallows the errors a request on a window that vanished may cause; Qt's own handler stays in place
// around it.
class ErrorTrap {
public:
    explicit ErrorTrap(Display* d) : m_display(d) {
        XSync(d, False);
        s_failed = false;
        m_previous = XSetErrorHandler(&ErrorTrap::handler);
    }
    ~ErrorTrap() {
        XSync(m_display, False);
        XSetErrorHandler(m_previous);
    }
    bool failed() {
        XSync(m_display, False);
        return s_failed;
    }

private:
    static int handler(Display*, XErrorEvent*) {
        s_failed = true;
        return 0;
    }
    static inline bool s_failed = false;
    Display* m_display;
    XErrorHandler m_previous;
};

// Reads a property of 32-bit items; empty when missing.
QList<unsigned long> cardinals(Display* d, Window w, Atom property, Atom type) {
    QList<unsigned long> items;
    Atom actualType = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    ErrorTrap trap(d);
    if (XGetWindowProperty(d, w, property, 0, 1024, False, type, &actualType, &format, &count, &after, &data) ==
            Success &&
        data) {
        if (format == 32) {
            auto* longs = reinterpret_cast<unsigned long*>(data);
            for (unsigned long i = 0; i < count; ++i)
                items.append(longs[i]);
        }
        XFree(data);
    }
    return items;
}

void sendStateMessage(Display* d, Window w, long action, Atom first, Atom second) {
    XEvent ev{};
    ev.xclient.type = ClientMessage;
    ev.xclient.window = w;
    ev.xclient.message_type = atom(d, "_NET_WM_STATE");
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = action; // 0 remove, 1 add
    ev.xclient.data.l[1] = long(first);
    ev.xclient.data.l[2] = long(second);
    ev.xclient.data.l[3] = 2; // source: pager/user action
    XSendEvent(d, DefaultRootWindow(d), False, SubstructureRedirectMask | SubstructureNotifyMask, &ev);
}

} // namespace

X11WindowSystem::X11WindowSystem(Display* display, QObject* parent) : WindowSystem(parent), m_display(display) {}

X11WindowSystem::~X11WindowSystem() = default;

double X11WindowSystem::twipsPerPixelX() const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return twipsFor(screen ? screen->logicalDotsPerInchX() : 96);
}

double X11WindowSystem::twipsPerPixelY() const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return twipsFor(screen ? screen->logicalDotsPerInchY() : 96);
}

void X11WindowSystem::setTopMost(QWidget* window, bool topMost) {
    if (!window)
        return;
    // Keeps the flag for the next time the window is mapped, and asks the window manager now.
    window->setWindowFlag(Qt::WindowStaysOnTopHint, topMost);
    if (!window->isVisible() || !window->windowHandle())
        return;
    sendStateMessage(m_display, Window(window->winId()), topMost ? 1 : 0, atom(m_display, "_NET_WM_STATE_ABOVE"), 0);
    XFlush(m_display);
}

QString X11WindowSystem::userName() const {
    if (const passwd* pw = getpwuid(geteuid()); pw && pw->pw_name)
        return QString::fromLocal8Bit(pw->pw_name);
    return qEnvironmentVariable("USER");
}

WindowId X11WindowSystem::foregroundWindow() const {
    const auto items =
        cardinals(m_display, DefaultRootWindow(m_display), atom(m_display, "_NET_ACTIVE_WINDOW"), XA_WINDOW);
    return items.isEmpty() ? 0 : WindowId(items.first());
}

bool X11WindowSystem::windowExists(WindowId window) const {
    if (!window)
        return false;
    XWindowAttributes attributes;
    ErrorTrap trap(m_display);
    const Status ok = XGetWindowAttributes(m_display, Window(window), &attributes);
    return ok != 0 && !trap.failed();
}

QString X11WindowSystem::windowTitle(WindowId window) const {
    if (!window)
        return {};
    ErrorTrap trap(m_display);
    Atom actualType = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    QString title;
    if (XGetWindowProperty(m_display, Window(window), atom(m_display, "_NET_WM_NAME"), 0, 4096, False,
                           atom(m_display, "UTF8_STRING"), &actualType, &format, &count, &after, &data) == Success &&
        data) {
        title = QString::fromUtf8(reinterpret_cast<char*>(data), int(count));
        XFree(data);
    }
    if (title.isEmpty()) {
        char* name = nullptr;
        if (XFetchName(m_display, Window(window), &name) && name) {
            title = QString::fromLocal8Bit(name);
            XFree(name);
        }
    }
    return title;
}

bool X11WindowSystem::isMaximized(WindowId window) const {
    const auto states = cardinals(m_display, Window(window), atom(m_display, "_NET_WM_STATE"), XA_ATOM);
    return states.contains(atom(m_display, "_NET_WM_STATE_MAXIMIZED_VERT")) &&
           states.contains(atom(m_display, "_NET_WM_STATE_MAXIMIZED_HORZ"));
}

bool X11WindowSystem::isIgnoredWindow(WindowId window) const {
    if (!window)
        return true;
    const auto types = cardinals(m_display, Window(window), atom(m_display, "_NET_WM_WINDOW_TYPE"), XA_ATOM);
    if (types.contains(atom(m_display, "_NET_WM_WINDOW_TYPE_DOCK")) ||
        types.contains(atom(m_display, "_NET_WM_WINDOW_TYPE_DESKTOP")))
        return true;
    const auto pid = cardinals(m_display, Window(window), atom(m_display, "_NET_WM_PID"), XA_CARDINAL);
    return !pid.isEmpty() && pid.first() == unsigned long(getpid());
}

bool X11WindowSystem::activateWindow(WindowId window, bool maximize) {
    if (!windowExists(window))
        return false;
    const Window w = Window(window);
    XEvent ev{};
    ev.xclient.type = ClientMessage;
    ev.xclient.window = w;
    ev.xclient.message_type = atom(m_display, "_NET_ACTIVE_WINDOW");
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = 2; // source: pager/user action, so the window manager does not refuse focus
    ev.xclient.data.l[1] = CurrentTime;
    XSendEvent(m_display, DefaultRootWindow(m_display), False, SubstructureRedirectMask | SubstructureNotifyMask,
               &ev);
    if (maximize)
        sendStateMessage(m_display, w, 1, atom(m_display, "_NET_WM_STATE_MAXIMIZED_VERT"),
                         atom(m_display, "_NET_WM_STATE_MAXIMIZED_HORZ"));
    {
        ErrorTrap trap(m_display);
        XMapRaised(m_display, w);
        XSetInputFocus(m_display, w, RevertToParent, CurrentTime);
    }
    XFlush(m_display);
    return true;
}

bool X11WindowSystem::waitUntilActive(WindowId window, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    while (true) {
        Window focus = 0;
        int revert = 0;
        XGetInputFocus(m_display, &focus, &revert);
        if (foregroundWindow() == window && focus != PointerRoot && focus != None)
            return true;
        if (clock.elapsed() >= timeoutMs)
            return false;
        QThread::msleep(2);
    }
}
