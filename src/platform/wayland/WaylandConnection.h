#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>

#include <functional>

struct wl_display;
struct wl_registry;
struct wl_callback;
struct wl_interface;
struct wl_seat;
class QSocketNotifier;

// A connection of our own to the Wayland compositor, apart from the Qt platform plugin's (which may not even be
// Wayland): the globals it offers, and its events read on the event loop through a socket notifier on its fd.
// Requests are sent by flush(), which the users call after a batch of requests.
class WaylandConnection final : public QObject {
    Q_OBJECT
public:
    // Connects to WAYLAND_DISPLAY and reads the globals (one round trip); isOpen() tells whether it worked.
    explicit WaylandConnection(QObject* parent = nullptr);
    ~WaylandConnection() override;

    bool isOpen() const { return m_display != nullptr; }
    wl_display* display() const { return m_display; }

    struct Global {
        quint32 name;
        QByteArray interface;
        quint32 version;
    };
    const QList<Global>& globals() const { return m_globals; }
    bool offers(const char* interface) const;
    // Binds the first global of the interface at the lower of its version and maxVersion; null when not offered.
    void* bind(const wl_interface* interface, quint32 maxVersion, quint32* boundVersion = nullptr);
    // The first seat, bound when first asked for.
    wl_seat* seat();

    // Sends what the requests queued; a full socket is written once it can take more.
    void flush();
    // Calls done once the compositor has handled every request sent before (a wl_display.sync).
    void sync(QObject* context, std::function<void()> done);
    // False once the compositor has closed the connection or refused a request.
    bool isHealthy() const;

Q_SIGNALS:
    // The compositor closed the connection or refused a request: nothing more comes from it.
    void ended();

private:
    void readEvents();

    wl_display* m_display = nullptr;
    wl_registry* m_registry = nullptr;
    wl_seat* m_seat = nullptr;
    QList<Global> m_globals;
    QSocketNotifier* m_reader = nullptr;
    QSocketNotifier* m_writer = nullptr;
};
