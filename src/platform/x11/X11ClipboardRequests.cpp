#include "platform/x11/X11ClipboardRequests.h"
#include "platform/PlatformLog.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QMimeData>

#include <algorithm>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <xcb/xproto.h>

namespace {

// Targets about the selection itself rather than its data; Qt answers them for any content.
bool isProtocolTarget(const QByteArray& target) {
    return target == "TARGETS" || target == "MULTIPLE" || target == "TIMESTAMP" || target == "SAVE_TARGETS";
}

// The names under which X clients ask for plain text.
bool isTextTarget(const QByteArray& target) {
    return target == "UTF8_STRING" || target == "STRING" || target == "TEXT" || target == "COMPOUND_TEXT" ||
           target.startsWith("text/plain");
}

bool isImageTarget(const QByteArray& target) {
    return target.startsWith("image/") || target == "PIXMAP" || target == "BITMAP";
}

} // namespace

bool X11ClipboardRequests::provides(const Content& content, const QByteArray& target) {
    if (isProtocolTarget(target) || content.formats.contains(QString::fromLatin1(target)))
        return true;
    if (isTextTarget(target))
        return content.text;
    if (isImageTarget(target))
        return content.image;
    return false;
}

X11ClipboardRequests::X11ClipboardRequests(Display* display, QObject* parent) : QObject(parent), m_display(display) {
    m_clock.start();
    m_selections[0].atom = XInternAtom(display, "CLIPBOARD", False);
    m_selections[1].mode = QClipboard::Selection;
    m_selections[1].atom = XA_PRIMARY;
    if (QClipboard* clipboard = QGuiApplication::clipboard()) {
        connect(
            clipboard, &QClipboard::dataChanged, this, [this] { takeContent(m_selections[0]); });
        connect(clipboard, &QClipboard::selectionChanged, this, [this] { takeContent(m_selections[1]); });
    }
    for (Selection& selection : m_selections)
        takeContent(selection);
    QCoreApplication::instance()->installNativeEventFilter(this);
}

X11ClipboardRequests::~X11ClipboardRequests() {
    if (QCoreApplication* app = QCoreApplication::instance())
        app->removeNativeEventFilter(this);
}

void X11ClipboardRequests::takeContent(Selection& selection) {
    // Called when the selection changes, ours or not: what it holds is looked at only while it is ours, so that
    // no other application's data is ever fetched for it. The lists sent earlier stay noted: a reader may use
    // them after another owner's time, once our next clip is in place.
    QClipboard* clipboard = QGuiApplication::clipboard();
    selection.owned = clipboard && (selection.mode == QClipboard::Clipboard ? clipboard->ownsClipboard()
                                                                            : clipboard->ownsSelection());
    selection.content = {};
    if (!selection.owned)
        return;
    if (const QMimeData* data = clipboard->mimeData(selection.mode)) {
        selection.content.formats = data->formats();
        selection.content.text = data->hasText();
        selection.content.image = data->hasImage();
    }
}

void X11ClipboardRequests::noteListing(Selection& selection, unsigned long requestor) {
    const qint64 now = m_clock.elapsed();
    selection.listings.removeIf([now](auto it) { return now - it.value().at >= kListKeptMs; });
    selection.listings.insert(requestor, {selection.content.formats, now});
}

qint64 X11ClipboardRequests::msUntilFormatsKnown() const {
    const qint64 now = m_clock.elapsed();
    qint64 wait = 0;
    for (const Selection& selection : m_selections) {
        if (!selection.owned)
            continue;
        for (const Listing& listing : selection.listings)
            if (listing.formats != selection.content.formats)
                wait = std::max(wait, listing.at + kListKeptMs - now);
    }
    return wait;
}

QByteArray X11ClipboardRequests::atomName(unsigned long atom) {
    const auto known = m_names.constFind(atom);
    if (known != m_names.cend())
        return *known;
    QByteArray name;
    if (char* text = XGetAtomName(m_display, Atom(atom))) {
        name = text;
        XFree(text);
    }
    m_names.insert(atom, name);
    return name;
}

bool X11ClipboardRequests::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7f) != XCB_SELECTION_REQUEST)
        return false;
    const auto* request = static_cast<const xcb_selection_request_event_t*>(message);
    const auto selection = std::find_if(m_selections.begin(), m_selections.end(),
                                        [request](const Selection& s) { return s.atom == request->selection; });
    if (selection == m_selections.end() || !selection->owned)
        return false;
    const QByteArray target = atomName(request->target);
    if (target == "TARGETS")
        noteListing(*selection, request->requestor);
    if (provides(selection->content, target))
        return false;

    XEvent reply{};
    reply.xselection.type = SelectionNotify;
    reply.xselection.display = m_display;
    reply.xselection.requestor = request->requestor;
    reply.xselection.selection = request->selection;
    reply.xselection.target = request->target;
    reply.xselection.property = None; // refused
    reply.xselection.time = request->time;
    XSendEvent(m_display, request->requestor, False, NoEventMask, &reply);
    XFlush(m_display);
    qCDebug(lcPlatform) << "selection request for" << target << "refused: the content has no such form";
    return true;
}
