#pragma once

#include <QAbstractNativeEventFilter>
#include <QByteArray>
#include <QClipboard>
#include <QHash>
#include <QObject>
#include <QStringList>

struct _XDisplay;

// Refuses, at once, requests for our clipboard or primary selection in a form its content does not have.
//
// Qt answers such a request (plain text asked of a clip that holds only rich text or a picture) as if it had
// succeeded, naming the requestor's property but never writing it. Requestors that wait for the property
// (Tk waits five seconds for it) then give up late and ask again in another form, and by then the clipboard
// may hold a later clip, which they paste although nobody asked for it. Here such a request gets the refusal
// (property None) the selection protocol prescribes before Qt sees it; every other request is left to Qt.
class X11ClipboardRequests final : public QObject, public QAbstractNativeEventFilter {
    Q_OBJECT
public:
    // What the clipboard's content offers, as far as deciding a request needs.
    struct Content {
        QStringList formats; // the MIME types of the data as set
        bool text = false;   // plain text
        bool image = false;  // a picture, which Qt converts into any image format on request
    };
    // Whether content can be delivered in the form named by an X target atom's name.
    static bool provides(const Content& content, const QByteArray& target);

    explicit X11ClipboardRequests(_XDisplay* display, QObject* parent = nullptr);
    ~X11ClipboardRequests() override;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    // One selection we may own: the clipboard, or the primary selection that terminals paste on Shift+Insert.
    struct Selection {
        QClipboard::Mode mode;
        unsigned long atom = 0;
        bool owned = false; // it holds data we set
        Content content;
    };
    void takeContent(Selection& selection);
    QByteArray atomName(unsigned long atom);

    _XDisplay* m_display;
    Selection m_selections[2] = {{QClipboard::Clipboard}, {QClipboard::Selection}};
    QHash<unsigned long, QByteArray> m_names;
};
