// The floor of the paste benchmark: the least an X11 program does to paste a text on a hotkey. It grabs
// Control+KEY on the root window, and when the combination is pressed it takes the clipboard with TEXT, waits
// (by XInput 2 raw key events, no polling) until Control and KEY are up, and sends Control+V through XTest to
// whichever window has the focus, without activating or checking anything. It serves the clipboard to the
// target. The raw events come on a second connection: the server sends none to the client whose grab is
// active. Prints "ready" once the grab and the event selection are in place; runs until it is ended.
//
//   paste_floor KEY TEXT        (KEY a keysym name, e.g. F9)

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <array>
#include <bitset>
#include <cstdio>
#include <cstring>
#include <poll.h>
#include <string>

namespace {

class Floor {
public:
    Floor(Display* d, Display* raw, KeySym key, std::string text) : m_display(d), m_raw(raw), m_text(std::move(text)) {
        m_root = DefaultRootWindow(d);
        m_key = XKeysymToKeycode(d, key);
        m_controls = {XKeysymToKeycode(d, XK_Control_L), XKeysymToKeycode(d, XK_Control_R)};
        m_v = XKeysymToKeycode(d, XK_v);
        m_clipboard = XInternAtom(d, "CLIPBOARD", False);
        m_targets = XInternAtom(d, "TARGETS", False);
        m_utf8 = XInternAtom(d, "UTF8_STRING", False);
        m_owner = XCreateSimpleWindow(d, m_root, 0, 0, 1, 1, 0, 0, 0);
    }

    bool start() {
        int event = 0, error = 0;
        if (!XQueryExtension(m_raw, "XInputExtension", &m_xiOpcode, &event, &error))
            return false;
        int major = 2, minor = 2;
        if (XIQueryVersion(m_raw, &major, &minor) != Success || (major == 2 && minor < 1))
            return false;
        unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
        XISetMask(bits, XI_RawKeyPress);
        XISetMask(bits, XI_RawKeyRelease);
        XIEventMask mask{XIAllMasterDevices, int(sizeof bits), bits};
        XISelectEvents(m_raw, DefaultRootWindow(m_raw), &mask, 1);
        XSync(m_raw, False);
        for (unsigned int locks : {0u, unsigned(LockMask), unsigned(Mod2Mask), unsigned(LockMask | Mod2Mask)})
            XGrabKey(m_display, m_key, ControlMask | locks, m_root, False, GrabModeAsync, GrabModeAsync);
        // The keys down now; raw events keep the picture current from here on.
        readKeys();
        XSync(m_display, False);
        return m_key != 0 && m_v != 0;
    }

    void handle(XEvent& e) {
        if (e.type == KeyPress && e.xkey.keycode == m_key) {
            XSetSelectionOwner(m_display, m_clipboard, m_owner, e.xkey.time);
            m_pending = true;
            // The keys as they are now, asked on the connection of the raw events: the events it still holds
            // from before the answer change nothing of it, those after it follow.
            readKeys();
        } else if (e.type == SelectionRequest) {
            serve(e.xselectionrequest);
        } else if (e.type == GenericEvent && e.xcookie.extension == m_xiOpcode && XGetEventData(m_raw, &e.xcookie)) {
            const auto* raw = static_cast<const XIRawEvent*>(e.xcookie.data);
            if (raw->detail >= 0 && raw->detail < 256)
                m_down[size_t(raw->detail)] = e.xcookie.evtype == XI_RawKeyPress;
            XFreeEventData(m_raw, &e.xcookie);
        }
        if (m_pending && !m_down[m_key] && !m_down[m_controls[0]] && !m_down[m_controls[1]]) {
            m_pending = false;
            const KeyCode control = m_controls[0];
            XTestFakeKeyEvent(m_display, control, True, CurrentTime);
            XTestFakeKeyEvent(m_display, m_v, True, CurrentTime);
            XTestFakeKeyEvent(m_display, m_v, False, CurrentTime);
            XTestFakeKeyEvent(m_display, control, False, CurrentTime);
            XFlush(m_display);
        }
    }

private:
    void readKeys() {
        char keys[32] = {};
        XQueryKeymap(m_raw, keys);
        for (int k = 0; k < 256; ++k)
            m_down[size_t(k)] = keys[k / 8] & (1 << (k % 8));
    }

    void serve(const XSelectionRequestEvent& r) {
        XSelectionEvent answer{};
        answer.type = SelectionNotify;
        answer.requestor = r.requestor;
        answer.selection = r.selection;
        answer.target = r.target;
        answer.time = r.time;
        answer.property = r.property ? r.property : r.target;
        if (r.target == m_targets) {
            const std::array<Atom, 3> offered{m_targets, m_utf8, XA_STRING};
            XChangeProperty(m_display, r.requestor, answer.property, XA_ATOM, 32, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(offered.data()), int(offered.size()));
        } else if (r.target == m_utf8 || r.target == XA_STRING) {
            XChangeProperty(m_display, r.requestor, answer.property, r.target, 8, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(m_text.data()), int(m_text.size()));
        } else {
            answer.property = None;
        }
        XSendEvent(m_display, r.requestor, False, 0, reinterpret_cast<XEvent*>(&answer));
        XFlush(m_display);
    }

    Display* m_display;
    Display* m_raw;
    std::string m_text;
    Window m_root = None;
    Window m_owner = None;
    KeyCode m_key = 0;
    std::array<KeyCode, 2> m_controls{};
    KeyCode m_v = 0;
    Atom m_clipboard = None, m_targets = None, m_utf8 = None;
    int m_xiOpcode = 0;
    std::bitset<256> m_down;
    bool m_pending = false;
};

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: paste_floor KEY TEXT\n");
        return 2;
    }
    Display* d = XOpenDisplay(nullptr);
    Display* raw = XOpenDisplay(nullptr);
    if (!d || !raw) {
        std::fprintf(stderr, "no display\n");
        return 1;
    }
    Floor floor(d, raw, XStringToKeysym(argv[1]), argv[2]);
    if (!floor.start()) {
        std::fprintf(stderr, "no XInput 2, or no key for %s\n", argv[1]);
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    pollfd p[2] = {{ConnectionNumber(d), POLLIN, 0}, {ConnectionNumber(raw), POLLIN, 0}};
    while (true) {
        // Both queues in turn until both are empty: an event read on one connection may be ahead of one on the
        // other, but the floor only acts once every key it waits for is up.
        bool any = true;
        while (any) {
            any = false;
            for (Display* connection : {d, raw}) {
                while (XPending(connection)) {
                    XEvent e;
                    XNextEvent(connection, &e);
                    floor.handle(e);
                    any = true;
                }
            }
        }
        if (poll(p, 2, -1) < 0)
            return 1;
    }
}
