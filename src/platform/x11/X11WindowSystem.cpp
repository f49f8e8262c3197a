#include "platform/x11/X11WindowSystem.h"
#include "platform/PlatformLog.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11ErrorTrap.h"
#include "platform/x11/X11Properties.h"

#include <QEvent>
#include <QGuiApplication>
#include <QVarLengthArray>
#include <QVariant>
#include <QWidget>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

using X11Properties::atom;

namespace {

// _NET_WM_STATE change requests: 0 remove, 1 add. Source 2 marks a pager-like request that the window manager
// honours without focus-stealing checks.
constexpr long kStateRemove = 0;
constexpr long kStateAdd = 1;
constexpr long kSourcePager = 2;
// Walking up from the focus window to the managed window passes the window manager's frames at most; deeper
// chains mean a foreign window tree, not ours to search further.
constexpr int kMaxFocusDepth = 32;
// The widget property that keeps whether a window is to stay on top.
constexpr char kTopMostProperty[] = "zolpaneTopMost";

void sendToRoot(Display* d, Window w, Atom type, long l0, long l1, long l2, long l3) {
    XEvent ev{};
    ev.xclient.type = ClientMessage;
    ev.xclient.window = w;
    ev.xclient.message_type = type;
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = l0;
    ev.xclient.data.l[1] = l1;
    ev.xclient.data.l[2] = l2;
    ev.xclient.data.l[3] = l3;
    XSendEvent(d, DefaultRootWindow(d), False, SubstructureRedirectMask | SubstructureNotifyMask, &ev);
}

} // namespace

X11WindowSystem::X11WindowSystem(Display* display, QObject* parent)
    : WindowSystem(parent), m_display(display), m_tracker(new X11Connection(QByteArray(DisplayString(display)), this)) {
    if (!m_tracker->isOpen())
        return;
    Display* own = m_tracker->display();
    m_activeAtom = atom(own, "_NET_ACTIVE_WINDOW");
    // Only our own connection's event mask on the root changes here; Qt's stays as Qt set it.
    XSelectInput(own, DefaultRootWindow(own), PropertyChangeMask);
    m_lastActive = X11Properties::activeWindow(own);
    m_tracker->setEventHandler([this](XEvent& event) { onEvent(event); });
    m_tracker->drainSoon();
}

X11WindowSystem::~X11WindowSystem() = default;

void X11WindowSystem::onEvent(XEvent& event) {
    if (event.type != PropertyNotify || event.xproperty.atom != m_activeAtom)
        return;
    const WindowId active = X11Properties::activeWindow(m_tracker->display());
    if (active == m_lastActive)
        return;
    m_lastActive = active;
    Q_EMIT foregroundWindowChanged(active);
}

void X11WindowSystem::setTopMost(QWidget* window, bool topMost) {
    if (!window)
        return;
    // Qt's own stay-on-top flag would re-create (and so hide) a shown window: the state goes through the window
    // manager instead. The wish is kept on the widget, because a window manager drops the state of a window it
    // no longer manages, and is written again before each time the window is shown.
    window->setProperty(kTopMostProperty, topMost);
    if (!m_topMostWindows.contains(window)) {
        m_topMostWindows.insert(window);
        window->installEventFilter(this);
        connect(window, &QObject::destroyed, this, [this, window] { m_topMostWindows.remove(window); });
    }
    if (window->testAttribute(Qt::WA_Mapped)) {
        sendToRoot(m_display, Window(window->winId()), atom(m_display, "_NET_WM_STATE"),
                   topMost ? kStateAdd : kStateRemove, long(atom(m_display, "_NET_WM_STATE_ABOVE")), 0, kSourcePager);
        XFlush(m_display);
    } else if (window->testAttribute(Qt::WA_WState_Created)) {
        writeAboveState(window, topMost);
    }
    // A window without its native window yet (a main window loaded hidden at start-up) gets the state when it
    // is first shown: creating the native window only to write the state would cost the start-up time.
}

bool X11WindowSystem::eventFilter(QObject* watched, QEvent* event) {
    // The show event comes before the window is mapped; the window manager reads the state when it maps it.
    if (event->type() == QEvent::Show && m_topMostWindows.contains(watched)) {
        auto* window = static_cast<QWidget*>(watched);
        if (window->isWindow() && !window->testAttribute(Qt::WA_Mapped))
            writeAboveState(window, window->property(kTopMostProperty).toBool());
    }
    return false;
}

void X11WindowSystem::writeAboveState(QWidget* window, bool above) {
    // winId() creates the native window if there is none yet, without mapping it.
    const Window w = Window(window->winId());
    const Atom state = atom(m_display, "_NET_WM_STATE");
    const Atom aboveAtom = atom(m_display, "_NET_WM_STATE_ABOVE");
    QList<unsigned long> states = X11Properties::items(m_display, w, state, XA_ATOM);
    const bool has = states.contains(aboveAtom);
    if (has == above)
        return;
    if (above)
        states.append(aboveAtom);
    else
        states.removeAll(aboveAtom);
    QVarLengthArray<Atom, 8> atoms(states.begin(), states.end());
    X11ErrorTrap trap(m_display);
    XChangeProperty(m_display, w, state, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(atoms.constData()), int(atoms.size()));
    XFlush(m_display);
}

WindowId X11WindowSystem::foregroundWindow() const {
    return X11Properties::activeWindow(m_display);
}

bool X11WindowSystem::windowExists(WindowId window) const {
    if (!window)
        return false;
    XWindowAttributes attributes;
    X11ErrorTrap trap(m_display);
    const Status ok = XGetWindowAttributes(m_display, Window(window), &attributes);
    return ok != 0 && !trap.failed();
}

QString X11WindowSystem::windowTitle(WindowId window) const {
    return X11Properties::title(m_display, window);
}

bool X11WindowSystem::isMaximized(WindowId window) const {
    const auto states = X11Properties::items(m_display, window, atom(m_display, "_NET_WM_STATE"), XA_ATOM);
    return states.contains(atom(m_display, "_NET_WM_STATE_MAXIMIZED_VERT")) &&
           states.contains(atom(m_display, "_NET_WM_STATE_MAXIMIZED_HORZ"));
}

bool X11WindowSystem::isIgnoredWindow(WindowId window) const {
    if (!window)
        return true;
    const auto types = X11Properties::items(m_display, window, atom(m_display, "_NET_WM_WINDOW_TYPE"), XA_ATOM);
    if (types.contains(atom(m_display, "_NET_WM_WINDOW_TYPE_DOCK")) ||
        types.contains(atom(m_display, "_NET_WM_WINDOW_TYPE_DESKTOP")))
        return true;
    const auto pid = X11Properties::items(m_display, window, atom(m_display, "_NET_WM_PID"), XA_CARDINAL);
    return !pid.isEmpty() && pid.first() == static_cast<unsigned long>(getpid());
}

bool X11WindowSystem::activateWindow(WindowId window, bool maximize) {
    if (!window)
        return false;
    const Window w = Window(window);
    XWindowAttributes attributes;
    {
        X11ErrorTrap trap(m_display);
        if (!XGetWindowAttributes(m_display, w, &attributes) || trap.failed()) {
            qCDebug(lcPlatform) << "window" << Qt::hex << window << "is gone";
            return false;
        }
    }
    // The window manager raises, un-minimizes and focuses on this request; raising and focusing ourselves as
    // well covers managers that are slow to act on it.
    sendToRoot(m_display, w, atom(m_display, "_NET_ACTIVE_WINDOW"), kSourcePager, CurrentTime, 0, 0);
    if (maximize)
        sendToRoot(m_display, w, atom(m_display, "_NET_WM_STATE"), kStateAdd,
                   long(atom(m_display, "_NET_WM_STATE_MAXIMIZED_VERT")),
                   long(atom(m_display, "_NET_WM_STATE_MAXIMIZED_HORZ")), kSourcePager);
    XRaiseWindow(m_display, w);
    // Focusing a window that is not viewable (minimized) is an error; the window manager focuses it once it
    // has mapped it again.
    if (attributes.map_state == IsViewable)
        XSetInputFocus(m_display, w, RevertToParent, CurrentTime);
    // A flush, not a sync: waiting for the server here gains nothing, waitUntilActive() confirms the result.
    XFlush(m_display);
    return true;
}

bool X11WindowSystem::hasFocus(WindowId window) const {
    if (!window || X11Properties::activeWindow(m_display) != window)
        return false;
    Window focus = None;
    int revert = 0;
    XGetInputFocus(m_display, &focus, &revert);
    // PointerRoot or None: the window manager has announced the window but the keys do not go there yet.
    if (focus == None || focus == PointerRoot)
        return false;
    X11ErrorTrap trap(m_display);
    const Window root = DefaultRootWindow(m_display);
    for (int depth = 0; depth < kMaxFocusDepth && focus && focus != root; ++depth) {
        if (focus == window)
            return true;
        Window rootReturn = None, parent = None;
        Window* children = nullptr;
        unsigned int count = 0;
        if (!XQueryTree(m_display, focus, &rootReturn, &parent, &children, &count))
            return false;
        if (children)
            XFree(children);
        focus = parent;
    }
    return false;
}
