#include "platform/wayland/WaylandClipboard.h"

#include "platform/ClipboardPipes.h"
#include "platform/PlatformLog.h"
#include "platform/wayland/WaylandConnection.h"

#include <QImage>
#include <QMimeData>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>

#include <csignal>
#include <unistd.h>

#include <wayland-client.h>

#include <ext-data-control-v1-client.h>          // generated from our protocol description
#include <wlr-data-control-unstable-v1-client.h> // generated from our protocol description

// The two protocols carry the same requests and events in the same order, so one implementation serves both
// through the generic proxy calls, with the interfaces of the one offered.
static_assert(EXT_DATA_CONTROL_MANAGER_V1_CREATE_DATA_SOURCE == ZWLR_DATA_CONTROL_MANAGER_V1_CREATE_DATA_SOURCE &&
              EXT_DATA_CONTROL_MANAGER_V1_GET_DATA_DEVICE == ZWLR_DATA_CONTROL_MANAGER_V1_GET_DATA_DEVICE &&
              EXT_DATA_CONTROL_MANAGER_V1_DESTROY == ZWLR_DATA_CONTROL_MANAGER_V1_DESTROY &&
              EXT_DATA_CONTROL_DEVICE_V1_SET_SELECTION == ZWLR_DATA_CONTROL_DEVICE_V1_SET_SELECTION &&
              EXT_DATA_CONTROL_DEVICE_V1_SET_PRIMARY_SELECTION == ZWLR_DATA_CONTROL_DEVICE_V1_SET_PRIMARY_SELECTION &&
              EXT_DATA_CONTROL_DEVICE_V1_DESTROY == ZWLR_DATA_CONTROL_DEVICE_V1_DESTROY &&
              EXT_DATA_CONTROL_SOURCE_V1_OFFER == ZWLR_DATA_CONTROL_SOURCE_V1_OFFER &&
              EXT_DATA_CONTROL_SOURCE_V1_DESTROY == ZWLR_DATA_CONTROL_SOURCE_V1_DESTROY &&
              EXT_DATA_CONTROL_OFFER_V1_DESTROY == ZWLR_DATA_CONTROL_OFFER_V1_DESTROY &&
              EXT_DATA_CONTROL_OFFER_V1_RECEIVE == ZWLR_DATA_CONTROL_OFFER_V1_RECEIVE);

struct DataControlProtocol {
    const char* name;
    const wl_interface* manager;
    const wl_interface* device;
    const wl_interface* source;
    quint32 version; // the highest we use: the wlr one has the primary selection since version 2
};

namespace {

const DataControlProtocol kProtocols[] = {
    {"ext-data-control-v1", &ext_data_control_manager_v1_interface, &ext_data_control_device_v1_interface,
     &ext_data_control_source_v1_interface, 1},
    {"wlr-data-control-unstable-v1", &zwlr_data_control_manager_v1_interface, &zwlr_data_control_device_v1_interface,
     &zwlr_data_control_source_v1_interface, 2},
};

// The types another client's text is read in, the first offered one.
const char* const kTextTypes[] = {"text/plain;charset=utf-8", "UTF8_STRING", "text/plain"};

const DataControlProtocol* protocolOf(const WaylandConnection& connection) {
    for (const DataControlProtocol& p : kProtocols)
        for (const WaylandConnection::Global& g : connection.globals())
            // The wlr protocol has the primary selection from version 2 on; version 1 is not used.
            if (g.interface == p.manager->name && (p.version == 1 || g.version >= 2))
                return &p;
    return nullptr;
}

wl_proxy* request(wl_proxy* proxy, quint32 opcode, const wl_interface* created, quint32 flags, auto... args) {
    return wl_proxy_marshal_flags(proxy, opcode, created, wl_proxy_get_version(proxy), flags, args...);
}

void destroy(wl_proxy* proxy, quint32 opcode) {
    if (proxy)
        request(proxy, opcode, nullptr, WL_MARSHAL_FLAG_DESTROY);
}

} // namespace

struct WaylandClipboard::Served {
    wl_proxy* source = nullptr;
    std::unique_ptr<QMimeData> content;
};

// The event handlers, in the listeners' layout (the same for both protocols).
struct DataControlEvents {
    struct Source {
        void (*send)(void*, wl_proxy*, const char*, int32_t);
        void (*cancelled)(void*, wl_proxy*);
    };
    struct Offer {
        void (*offer)(void*, wl_proxy*, const char*);
    };
    struct Device {
        void (*dataOffer)(void*, wl_proxy*, wl_proxy*);
        void (*selection)(void*, wl_proxy*, wl_proxy*);
        void (*finished)(void*, wl_proxy*);
        void (*primarySelection)(void*, wl_proxy*, wl_proxy*);
    };
    static constexpr Source source = {
        [](void* data, wl_proxy* source, const char* type, int32_t fd) {
            static_cast<WaylandClipboard*>(data)->answer(source, type, fd);
        },
        [](void* data, wl_proxy* source) { static_cast<WaylandClipboard*>(data)->forget(source); }};
    static constexpr Offer offer = {[](void* data, wl_proxy* offer, const char* type) {
        static_cast<WaylandClipboard*>(data)->m_offerTypes[offer].append(QByteArray(type));
    }};
    static constexpr Device device = {
        [](void* data, wl_proxy*, wl_proxy* offer) { static_cast<WaylandClipboard*>(data)->newOffer(offer); },
        [](void* data, wl_proxy*, wl_proxy* offer) {
            static_cast<WaylandClipboard*>(data)->foreignOffer(offer, false);
        },
        [](void* data, wl_proxy* device) {
            auto* self = static_cast<WaylandClipboard*>(data);
            qCWarning(lcPlatform) << "clipboard: the compositor ended our data-control device";
            destroy(device, EXT_DATA_CONTROL_DEVICE_V1_DESTROY);
            self->m_device = nullptr;
        },
        [](void* data, wl_proxy*, wl_proxy* offer) {
            static_cast<WaylandClipboard*>(data)->foreignOffer(offer, true);
        }};
};

QString WaylandClipboard::protocolOffered(const WaylandConnection& connection) {
    const DataControlProtocol* p = protocolOf(connection);
    return p ? QString::fromLatin1(p->name) : QString();
}

WaylandClipboard::WaylandClipboard(WaylandConnection& connection, QObject* parent)
    : Clipboard(parent), m_connection(connection), m_protocol(protocolOf(connection)) {
    // A reader that closes its end of the pipe early must not end the program: the write fails instead.
    std::signal(SIGPIPE, SIG_IGN);
    if (!m_protocol || !m_connection.seat())
        return;
    m_manager = static_cast<wl_proxy*>(m_connection.bind(m_protocol->manager, m_protocol->version));
    m_device = request(m_manager, EXT_DATA_CONTROL_MANAGER_V1_GET_DATA_DEVICE, m_protocol->device, 0, nullptr,
                       m_connection.seat());
    wl_proxy_add_listener(
        m_device, reinterpret_cast<void (**)(void)>(const_cast<DataControlEvents::Device*>(&DataControlEvents::device)),
        this);
    m_connection.flush();
}

WaylandClipboard::~WaylandClipboard() {
    for (auto* served : {m_selection.get(), m_primary.get()})
        if (served)
            destroy(served->source, EXT_DATA_CONTROL_SOURCE_V1_DESTROY);
    for (const auto& served : m_replaced)
        destroy(served->source, EXT_DATA_CONTROL_SOURCE_V1_DESTROY);
    stopReading();
    for (wl_proxy* offer : m_offerTypes.keys())
        destroy(offer, EXT_DATA_CONTROL_OFFER_V1_DESTROY);
    destroy(m_device, EXT_DATA_CONTROL_DEVICE_V1_DESTROY);
    destroy(m_manager, EXT_DATA_CONTROL_MANAGER_V1_DESTROY);
    m_connection.flush();
}

void WaylandClipboard::setContent(std::unique_ptr<QMimeData> content, std::unique_ptr<QMimeData> primary) {
    serve(std::move(content), false);
    if (primary)
        serve(std::move(primary), true);
    m_connection.flush();
}

void WaylandClipboard::copyTextToPrimary() {
    auto primary = std::make_unique<QMimeData>();
    primary->setText(text());
    serve(std::move(primary), true);
    m_connection.flush();
}

QString WaylandClipboard::text() const {
    return m_selection ? m_selection->content->text() : m_foreignText;
}

void WaylandClipboard::clear() {
    if (!m_device)
        return;
    request(m_device, EXT_DATA_CONTROL_DEVICE_V1_SET_SELECTION, nullptr, 0, nullptr);
    if (m_selection)
        m_replaced.push_back(std::move(m_selection));
    m_foreignText.clear();
    stopReading();
    m_connection.flush();
}

void WaylandClipboard::serve(std::unique_ptr<QMimeData> content, bool primary) {
    if (!m_device)
        return;
    auto served = std::make_unique<Served>();
    served->source = request(m_manager, EXT_DATA_CONTROL_MANAGER_V1_CREATE_DATA_SOURCE, m_protocol->source, 0, nullptr);
    wl_proxy_add_listener(
        served->source,
        reinterpret_cast<void (**)(void)>(const_cast<DataControlEvents::Source*>(&DataControlEvents::source)), this);
    for (const QByteArray& type : ClipboardForms::offered(*content))
        request(served->source, EXT_DATA_CONTROL_SOURCE_V1_OFFER, nullptr, 0, type.constData());
    served->content = std::move(content);
    request(m_device,
            primary ? EXT_DATA_CONTROL_DEVICE_V1_SET_PRIMARY_SELECTION : EXT_DATA_CONTROL_DEVICE_V1_SET_SELECTION,
            nullptr, 0, served->source);
    // The source set before is cancelled by the compositor and destroyed then (forget()); until that event it
    // may still be asked for its data, which it still has.
    std::unique_ptr<Served>& slot = primary ? m_primary : m_selection;
    if (slot)
        m_replaced.push_back(std::move(slot));
    slot = std::move(served);
}

void WaylandClipboard::forget(wl_proxy* source) {
    destroy(source, EXT_DATA_CONTROL_SOURCE_V1_DESTROY);
    for (std::unique_ptr<Served>* slot : {&m_selection, &m_primary})
        if (*slot && (*slot)->source == source)
            slot->reset();
    std::erase_if(m_replaced, [source](const std::unique_ptr<Served>& s) { return s->source == source; });
}

void WaylandClipboard::answer(wl_proxy* source, const char* type, int fd) {
    const Served* served = nullptr;
    for (const Served* s : {m_selection.get(), m_primary.get()})
        if (s && s->source == source)
            served = s;
    for (const auto& s : m_replaced)
        if (s->source == source)
            served = s.get();
    if (!served) {
        close(fd);
        return;
    }
    ClipboardWriter::serve(fd, *served->content, QByteArray(type), this);
}

void WaylandClipboard::newOffer(wl_proxy* offer) {
    m_offerTypes.insert(offer, {});
    wl_proxy_add_listener(
        offer, reinterpret_cast<void (**)(void)>(const_cast<DataControlEvents::Offer*>(&DataControlEvents::offer)),
        this);
}

void WaylandClipboard::destroyOffer(wl_proxy* offer) {
    if (offer && m_offerTypes.remove(offer))
        destroy(offer, EXT_DATA_CONTROL_OFFER_V1_DESTROY);
}

void WaylandClipboard::foreignOffer(wl_proxy* offer, bool primary) {
    wl_proxy*& slot = m_foreign[primary ? 1 : 0];
    if (slot && slot != offer && slot != m_foreign[primary ? 0 : 1])
        destroyOffer(slot);
    slot = offer;
    // The clipboard's text is known while the selection is ours; another client's is read now, so that the
    // clipboard menu's commands find it when they run.
    if (!primary && !m_selection)
        readForeignText(offer);
}

void WaylandClipboard::stopReading() {
    delete m_reading.data();
}

void WaylandClipboard::readForeignText(wl_proxy* offer) {
    stopReading();
    m_foreignText.clear();
    const QList<QByteArray> types = m_offerTypes.value(offer);
    const auto type = std::find_if(std::begin(kTextTypes), std::end(kTextTypes),
                                   [&types](const char* t) { return types.contains(t); });
    int pipe[2];
    if (!offer || type == std::end(kTextTypes) || pipe2(pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    // The request carries a copy of the write end: ours closes at once, so the end of the data is seen.
    request(offer, EXT_DATA_CONTROL_OFFER_V1_RECEIVE, nullptr, 0, *type, pipe[1]);
    m_connection.flush();
    close(pipe[1]);
    m_reading = ClipboardReader::start(pipe[0], maxForeignTextBytes, this, [this](bool whole, const QByteArray& bytes) {
        if (whole)
            m_foreignText = QString::fromUtf8(bytes);
    });
}
