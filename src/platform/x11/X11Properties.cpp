#include "platform/x11/X11Properties.h"
#include "platform/x11/X11ErrorTrap.h"

#include <optional>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace X11Properties {

unsigned long atom(Display* display, const char* name) {
    return XInternAtom(display, name, False);
}

QList<unsigned long> items(Display* display, unsigned long window, unsigned long property, unsigned long type) {
    QList<unsigned long> result;
    if (!window)
        return result;
    // The root window never vanishes; any other window may have gone since its id was learnt.
    std::optional<X11ErrorTrap> trap;
    if (window != DefaultRootWindow(display))
        trap.emplace(display);
    Atom actualType = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    // 1024 items is far beyond what any of the read properties holds (states, types, one window id).
    if (XGetWindowProperty(display, window, property, 0, 1024, False, type, &actualType, &format, &count, &after,
                           &data) == Success &&
        data) {
        if (format == 32 && actualType == type) {
            // Xlib hands 32-bit items over as longs.
            const auto* longs = reinterpret_cast<const unsigned long*>(data);
            result.reserve(qsizetype(count));
            for (unsigned long i = 0; i < count; ++i)
                result.append(longs[i]);
        }
        XFree(data);
    }
    return result;
}

QString title(Display* display, unsigned long window) {
    if (!window)
        return {};
    X11ErrorTrap trap(display);
    QString text;
    Atom actualType = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, window, atom(display, "_NET_WM_NAME"), 0, 4096, False, atom(display, "UTF8_STRING"),
                           &actualType, &format, &count, &after, &data) == Success &&
        data) {
        if (format == 8)
            text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(count));
        XFree(data);
    }
    if (text.isEmpty()) {
        XTextProperty property{};
        if (XGetWMName(display, window, &property) && property.value) {
            // WM_NAME is Latin-1 (STRING) or in the locale's multibyte encoding (COMPOUND_TEXT and others).
            if (property.encoding == XA_STRING && property.format == 8) {
                text = QString::fromLatin1(reinterpret_cast<const char*>(property.value), qsizetype(property.nitems));
            } else {
                char** list = nullptr;
                int n = 0;
                if (Xutf8TextPropertyToTextList(display, &property, &list, &n) >= Success && list && n > 0)
                    text = QString::fromUtf8(list[0]);
                if (list)
                    XFreeStringList(list);
            }
            XFree(property.value);
        }
    }
    return text;
}

unsigned long activeWindow(Display* display) {
    const auto list = items(display, DefaultRootWindow(display), atom(display, "_NET_ACTIVE_WINDOW"), XA_WINDOW);
    return list.isEmpty() ? 0 : list.first();
}

} // namespace X11Properties
