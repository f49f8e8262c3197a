#pragma once

#include <QObject>

#include <functional>

struct _XDisplay;
union _XEvent;
class QSocketNotifier;

// A connection of our own to the X server, for the events Qt's connection must not be bothered with (the
// root window's property changes would need Qt's event mask replaced; key grabs of our own). Its events are
// read when the socket has data, so an idle connection costs no processor time.
class X11Connection final : public QObject {
    Q_OBJECT
public:
    // Connects to the display Qt uses (or $DISPLAY when name is empty). isOpen() tells whether it worked.
    explicit X11Connection(const QByteArray& displayName, QObject* parent = nullptr);
    ~X11Connection() override;

    bool isOpen() const { return m_display != nullptr; }
    _XDisplay* display() const { return m_display; }
    void setEventHandler(std::function<void(_XEvent&)> handler) { m_handler = std::move(handler); }

    // Any request that waits for a reply may have read events off the socket into Xlib's queue, where the
    // socket notifier never sees them: call this after such requests outside the event handler.
    void drainSoon();

private:
    void drain();

    _XDisplay* m_display = nullptr;
    QSocketNotifier* m_notifier = nullptr;
    std::function<void(_XEvent&)> m_handler;
    bool m_drainQueued = false;
};
