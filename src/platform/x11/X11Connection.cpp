#include "platform/x11/X11Connection.h"
#include "platform/PlatformLog.h"

#include <QSocketNotifier>
#include <QTimer>

#include <X11/Xlib.h>

X11Connection::X11Connection(const QByteArray& displayName, QObject* parent) : QObject(parent) {
    m_display = XOpenDisplay(displayName.isEmpty() ? nullptr : displayName.constData());
    if (!m_display) {
        qCWarning(lcPlatform) << "cannot open a second connection to the X display" << displayName;
        return;
    }
    m_notifier = new QSocketNotifier(ConnectionNumber(m_display), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &X11Connection::drain);
}

X11Connection::~X11Connection() {
    if (m_display) {
        delete m_notifier;
        XCloseDisplay(m_display);
    }
}

void X11Connection::drainSoon() {
    if (!m_display || m_drainQueued)
        return;
    m_drainQueued = true;
    QTimer::singleShot(0, this, [this] {
        m_drainQueued = false;
        drain();
    });
}

void X11Connection::drain() {
    // XPending reads whatever the socket holds; events read by a handler's own round trips are caught by the
    // next turn of the loop.
    while (XPending(m_display) > 0) {
        XEvent event;
        XNextEvent(m_display, &event);
        if (m_handler)
            m_handler(event);
    }
}
