#pragma once

#include <QAbstractNativeEventFilter>
#include <QByteArray>
#include <QClipboard>
#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QStringList>

#include <array>

struct _XDisplay;

// Answers requests for our clipboard and primary selection where Qt would answer them badly, and keeps track of
// what the readers were told about them.
//
// Qt answers a request for a form the content does not have (plain text asked of a clip that holds only rich text
// or a picture) as if it had succeeded, naming the requestor's property but never writing it. Requestors that wait
// for the property (Tk waits five seconds for it) then give up late and ask again in another form, and by then the
// clipboard may hold a later clip, which they paste although nobody asked for it. Here such a request gets the
// refusal (property None) the selection protocol prescribes before Qt sees it; every other request is left to Qt.
//
// A reader may also go on using the list of forms (TARGETS) it was given for an earlier content: LibreOffice's X11
// plugin reuses a selection's list for up to two seconds, whoever owns the selection by then. After a new clip of
// another kind it asks for a form the clip lacks, is refused, and shows a modal "Requested clipboard format is not
// available." box that takes every key until someone closes it. It reads the list again a moment after each change
// of its text or selection, so this happens when a clip is pasted soon after selecting text there.
// msUntilFormatsKnown() tells how long such a list may still be in use.
class X11ClipboardRequests final : public QObject, public QAbstractNativeEventFilter {
    Q_OBJECT
public:
    // What a selection's content offers, as far as deciding a request needs.
    struct Content {
        QStringList formats; // the MIME types of the data as set
        bool text = false;   // plain text
        bool image = false;  // a picture, which Qt converts into any image format on request
    };
    // Whether content can be delivered in the form named by an X target atom's name.
    static bool provides(const Content& content, const QByteArray& target);

    // How long a reader may act on a list of forms after receiving it. LibreOffice keeps the list while the wall
    // clock's second differs by less than two from the one in which it read the list, so up to 2 s; the margin is
    // for the reader taking the answer off its connection later than it was sent.
    static constexpr int kListKeptMs = 2200;

    explicit X11ClipboardRequests(_XDisplay* display, QObject* parent = nullptr);
    ~X11ClipboardRequests() override;

    // Milliseconds until no reader can still hold a list of forms other than those our selections hold now; 0 when
    // a paste may read them at once.
    qint64 msUntilFormatsKnown() const;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    struct Listing {
        QStringList formats; // the content's formats when the list was sent
        qint64 at = 0;       // m_clock time
    };
    struct Selection {
        QClipboard::Mode mode = QClipboard::Clipboard;
        unsigned long atom = 0;
        bool owned = false; // holds data we set
        Content content;
        QHash<unsigned long, Listing> listings; // by requestor window, the lists of the last kListKeptMs
    };
    void takeContent(Selection& selection);
    void noteListing(Selection& selection, unsigned long requestor);
    QByteArray atomName(unsigned long atom);

    _XDisplay* m_display;
    std::array<Selection, 2> m_selections;
    QHash<unsigned long, QByteArray> m_names;
    QElapsedTimer m_clock;
};
