#include "platform/wayland/WaylandConnection.h"

#include "platform/PlatformLog.h"

#include <QPointer>
#include <QSocketNotifier>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <wayland-client.h>

namespace {

void onGlobal(void* data, wl_registry*, uint32_t name, const char* interface, uint32_t version) {
    static_cast<QList<WaylandConnection::Global>*>(data)->append({name, QByteArray(interface), version});
}

void onGlobalRemove(void* data, wl_registry*, uint32_t name) {
    auto* globals = static_cast<QList<WaylandConnection::Global>*>(data);
    globals->removeIf([name](const WaylandConnection::Global& g) { return g.name == name; });
}

const wl_registry_listener kRegistryListener = {onGlobal, onGlobalRemove};

// A sync's done event calls the function it carries, once, unless its context has gone.
struct SyncCall {
    QPointer<QObject> context;
    std::function<void()> done;
};

void onSyncDone(void* data, wl_callback* callback, uint32_t) {
    auto* call = static_cast<SyncCall*>(data);
    wl_callback_destroy(callback);
    if (call->context)
        call->done();
    delete call;
}

const wl_callback_listener kSyncListener = {onSyncDone};

} // namespace

WaylandConnection::WaylandConnection(QObject* parent) : QObject(parent) {
    if (qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_SOCKET"))
        return;
    m_display = wl_display_connect(nullptr);
    if (!m_display) {
        qCInfo(lcPlatform) << "no Wayland compositor answers:" << strerror(errno);
        return;
    }
    m_registry = wl_display_get_registry(m_display);
    wl_registry_add_listener(m_registry, &kRegistryListener, &m_globals);
    if (wl_display_roundtrip(m_display) < 0) {
        qCWarning(lcPlatform) << "the Wayland compositor did not list its globals";
        wl_registry_destroy(m_registry);
        wl_display_disconnect(m_display);
        m_display = nullptr;
        return;
    }
    const int fd = wl_display_get_fd(m_display);
    m_reader = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(m_reader, &QSocketNotifier::activated, this, &WaylandConnection::readEvents);
    m_writer = new QSocketNotifier(fd, QSocketNotifier::Write, this);
    m_writer->setEnabled(false);
    connect(m_writer, &QSocketNotifier::activated, this, &WaylandConnection::flush);
}

WaylandConnection::~WaylandConnection() {
    if (!m_display)
        return;
    delete m_reader;
    delete m_writer;
    if (m_seat)
        wl_seat_destroy(m_seat);
    wl_registry_destroy(m_registry);
    wl_display_flush(m_display);
    wl_display_disconnect(m_display);
}

bool WaylandConnection::offers(const char* interface) const {
    return std::any_of(
        m_globals.begin(), m_globals.end(), [interface](const Global& g) { return g.interface == interface; });
}

void* WaylandConnection::bind(const wl_interface* interface, quint32 maxVersion, quint32* boundVersion) {
    for (const Global& g : std::as_const(m_globals)) {
        if (g.interface != interface->name)
            continue;
        const quint32 version = std::min({g.version, maxVersion, quint32(interface->version)});
        if (boundVersion)
            *boundVersion = version;
        return wl_registry_bind(m_registry, g.name, interface, version);
    }
    return nullptr;
}

wl_seat* WaylandConnection::seat() {
    if (!m_seat && m_display)
        m_seat = static_cast<wl_seat*>(bind(&wl_seat_interface, 1));
    return m_seat;
}

bool WaylandConnection::isHealthy() const {
    return m_display && wl_display_get_error(m_display) == 0;
}

void WaylandConnection::flush() {
    if (!isHealthy())
        return;
    // A full socket takes the rest once it is writable again; everything else goes out now.
    const bool full = wl_display_flush(m_display) < 0 && errno == EAGAIN;
    m_writer->setEnabled(full);
}

void WaylandConnection::sync(QObject* context, std::function<void()> done) {
    if (!isHealthy())
        return;
    wl_callback* callback = wl_display_sync(m_display);
    wl_callback_add_listener(callback, &kSyncListener, new SyncCall{context, std::move(done)});
    flush();
}

void WaylandConnection::readEvents() {
    if (!isHealthy()) {
        m_reader->setEnabled(false);
        return;
    }
    // The notifier says there is something to read, so reading does not block.
    while (wl_display_prepare_read(m_display) != 0)
        wl_display_dispatch_pending(m_display);
    if (wl_display_read_events(m_display) < 0 || wl_display_dispatch_pending(m_display) < 0) {
        qCWarning(lcPlatform) << "the Wayland connection ended:" << strerror(wl_display_get_error(m_display));
        m_reader->setEnabled(false);
        Q_EMIT ended();
        return;
    }
    flush();
}
