#include "platform/portal/PortalRemoteSession.h"

#include "platform/PlatformLog.h"
#include "platform/portal/PortalBus.h"

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>

namespace {
// persist_mode: the consent lasts until the user takes it back.
constexpr uint kPersistUntilRevoked = 2;
} // namespace

PortalRemoteSession::PortalRemoteSession(PortalBus& portal, bool withClipboard, QObject* parent)
    : QObject(parent), m_portal(portal), m_withClipboard(withClipboard) {}

PortalRemoteSession::~PortalRemoteSession() {
    m_portal.closeSession(m_path);
}

void PortalRemoteSession::step(const char* method, QVariantList args, QVariantMap options,
                               std::function<void(const QVariantMap&)> next) {
    m_portal.request(
        PortalBus::RemoteDesktop, QString::fromLatin1(method), std::move(args), std::move(options), this,
        [this, method, next = std::move(next)](uint response, const QVariantMap& results) {
            if (response == PortalBus::Success)
                next(results);
            else
                refuse(response == PortalBus::Cancelled
                           ? QStringLiteral("the desktop's request to allow Zolpane to type was declined")
                           : QStringLiteral("the desktop's %1 failed").arg(QLatin1String(method)));
        });
}

void PortalRemoteSession::start(const QString& token) {
    if (m_state == State::Asking || m_state == State::Ready)
        return;
    m_state = State::Asking;
    step("CreateSession", {}, {{QStringLiteral("session_handle_token"), m_portal.nextToken()}},
         [this, token](const QVariantMap& results) {
             m_path = results.value(QStringLiteral("session_handle")).toString();
             m_portal.bus().connect(QString::fromLatin1(PortalBus::Service), m_path,
                                    QString::fromLatin1(PortalBus::Session), QStringLiteral("Closed"), this,
                                    SLOT(onClosed()));
             QVariantMap devices{{QStringLiteral("types"), PortalBus::KeyboardDevice},
                                 {QStringLiteral("persist_mode"), kPersistUntilRevoked}};
             if (!token.isEmpty())
                 devices.insert(QStringLiteral("restore_token"), token);
             const QVariant session = QVariant::fromValue(QDBusObjectPath(m_path));
             step("SelectDevices", {session}, devices, [this, session](const QVariantMap&) {
                 if (!m_withClipboard) {
                     startSession(session);
                     return;
                 }
                 // The clipboard is asked for between the devices and the start, and answered before the start
                 // goes out (the portal may handle calls sent together in another order).
                 auto* asked = new QDBusPendingCallWatcher(
                     m_portal.call(PortalBus::Clipboard, QStringLiteral("RequestClipboard"), {session, QVariantMap()}),
                     this);
                 connect(asked, &QDBusPendingCallWatcher::finished, this, [this, session](QDBusPendingCallWatcher* w) {
                     w->deleteLater();
                     startSession(session);
                 });
             });
         });
}

void PortalRemoteSession::startSession(const QVariant& session) {
    step(
        "Start", {session, QString()}, {},
        [this](const QVariantMap& started) {
            if (!(started.value(QStringLiteral("devices")).toUInt() & PortalBus::KeyboardDevice)) {
                refuse(QStringLiteral("the desktop allowed no keyboard"));
                return;
            }
            m_state = State::Ready;
            m_clipboard = started.value(QStringLiteral("clipboard_enabled")).toBool();
            qCInfo(lcPlatform) << "the desktop allows Zolpane to type"
                               << (m_clipboard ? "and shares its clipboard" : "");
            if (const QString next = started.value(QStringLiteral("restore_token")).toString(); !next.isEmpty())
                Q_EMIT tokenReceived(next);
            Q_EMIT ready();
        });
}

void PortalRemoteSession::onClosed() {
    m_path.clear();
    refuse(QStringLiteral("the desktop took back its permission to type"));
}

void PortalRemoteSession::refuse(const QString& reason) {
    m_state = State::Refused;
    m_clipboard = false;
    qCWarning(lcPlatform).noquote() << "no keys are sent:" << reason;
    Q_EMIT lost(reason);
}
