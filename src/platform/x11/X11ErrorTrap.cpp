#include "platform/x11/X11ErrorTrap.h"

#include <X11/Xlib.h>

namespace {
// Xlib's error handler takes no user data, so the innermost trap is reachable only through this pointer. It
// is set and cleared strictly in scope order on the user-interface thread.
X11ErrorTrap* s_innermost = nullptr;

// Waits for the server to answer every request sent so far, unless it already has: each wait is a round trip,
// and a start-up that grabs some thirty hotkeys would wait for about a hundred of them.
void settle(Display* display) {
    if (XLastKnownRequestProcessed(display) != XNextRequest(display) - 1)
        XSync(display, False);
}
} // namespace

struct X11ErrorTrapHandler {
    static int handle(Display* display, XErrorEvent* error) {
        for (X11ErrorTrap* trap = s_innermost; trap; trap = trap->m_outer) {
            if (trap->m_display == display) {
                if (trap->m_firstError == 0)
                    trap->m_firstError = error->error_code;
                trap->m_failedRequests.push_back(error->serial);
                return 0;
            }
        }
        // Errors of other connections go where they went before the trap.
        if (s_innermost && s_innermost->m_previousHandler)
            return reinterpret_cast<XErrorHandler>(s_innermost->m_previousHandler)(display, error);
        return 0;
    }
};

X11ErrorTrap::X11ErrorTrap(Display* display) : m_display(display), m_outer(s_innermost) {
    // Errors of earlier requests belong to whoever sent them, not to this trap.
    settle(display);
    m_previousHandler = reinterpret_cast<void (*)()>(XSetErrorHandler(&X11ErrorTrapHandler::handle));
    if (m_outer) // the outer trap's handler was ours; keep the one from before the outermost trap
        m_previousHandler = m_outer->m_previousHandler;
    s_innermost = this;
}

X11ErrorTrap::~X11ErrorTrap() {
    settle(m_display);
    s_innermost = m_outer;
    if (!m_outer)
        XSetErrorHandler(reinterpret_cast<XErrorHandler>(m_previousHandler));
}

bool X11ErrorTrap::failed() {
    return errorCode() != 0;
}

int X11ErrorTrap::errorCode() {
    settle(m_display);
    return m_firstError;
}

bool X11ErrorTrap::failedWithin(unsigned long first, unsigned long last) {
    settle(m_display);
    for (unsigned long serial : m_failedRequests)
        if (serial >= first && serial <= last)
            return true;
    return false;
}
