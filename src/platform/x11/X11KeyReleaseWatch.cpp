#include "platform/x11/X11KeyReleaseWatch.h"
#include "platform/PlatformLog.h"
#include "platform/x11/X11Connection.h"

#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>

X11KeyReleaseWatch::X11KeyReleaseWatch(QByteArray displayName, QObject* parent)
    : QObject(parent), m_displayName(std::move(displayName)) {}

bool X11KeyReleaseWatch::open() {
    if (m_tried)
        return m_connection != nullptr;
    m_tried = true;
    auto* connection = new X11Connection(m_displayName, this);
    Display* d = connection->display();
    int opcode = 0, event = 0, error = 0;
    // 2.1 or later: raw events reach every client that selected them on the root window, whoever grabs the
    // keyboard (2.0 sends none during a grab).
    int major = 2, minor = 2;
    if (!connection->isOpen() || !XQueryExtension(d, "XInputExtension", &opcode, &event, &error) ||
        XIQueryVersion(d, &major, &minor) != Success || (major == 2 && minor < 1)) {
        qCInfo(lcPlatform) << "no XInput 2.1: key releases are looked for at intervals";
        delete connection;
        return false;
    }
    m_opcode = opcode;
    m_connection = connection;
    m_connection->setEventHandler([this](XEvent& e) {
        if (e.type != GenericEvent || e.xcookie.extension != m_opcode ||
            !XGetEventData(m_connection->display(), &e.xcookie))
            return;
        const bool release = e.xcookie.evtype == XI_RawKeyRelease;
        XFreeEventData(m_connection->display(), &e.xcookie);
        if (release && m_watchers > 0)
            Q_EMIT released();
    });
    return true;
}

void X11KeyReleaseWatch::select(bool on) {
    Display* d = m_connection->display();
    unsigned char bits[XIMaskLen(XI_RawKeyRelease)] = {};
    if (on)
        XISetMask(bits, XI_RawKeyRelease);
    XIEventMask mask{XIAllMasterDevices, int(sizeof bits), bits};
    XISelectEvents(d, DefaultRootWindow(d), &mask, 1);
}

bool X11KeyReleaseWatch::watch(bool on) {
    if (!open())
        return false;
    if (on) {
        if (m_watchers++ == 0) {
            select(true);
            // Once the server has the selection, every release is reported: keys looked at after this return
            // cannot go up unnoticed.
            XSync(m_connection->display(), False);
            m_connection->drainSoon();
        }
        return true;
    }
    if (m_watchers > 0 && --m_watchers == 0) {
        // Not reported while nobody waits: typing in other applications does not wake the program.
        select(false);
        XFlush(m_connection->display());
    }
    return true;
}
