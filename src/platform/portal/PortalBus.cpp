#include "platform/portal/PortalBus.h"

#include "platform/PlatformLog.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusReply>
#include <QDBusVariant>
#include <QGuiApplication>

namespace {

// The portal is started by the bus on first use; its start on a loaded machine took well under a second.
constexpr int kProbeTimeoutMs = 5000;

QVariant portalProperty(const QDBusConnection& bus, const char* interface, const char* name) {
    QDBusMessage get =
        QDBusMessage::createMethodCall(QString::fromLatin1(PortalBus::Service), QString::fromLatin1(PortalBus::Path),
                                       QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << QString::fromLatin1(interface) << QString::fromLatin1(name);
    const QDBusReply<QDBusVariant> reply = bus.call(get, QDBus::Block, kProbeTimeoutMs);
    return reply.isValid() ? reply.value().variant() : QVariant();
}

} // namespace

PortalResponse::PortalResponse(QDBusConnection bus, QString path, PortalBus::Answer done, QObject* context)
    : QObject(context), m_bus(std::move(bus)), m_path(std::move(path)), m_done(std::move(done)) {}

bool PortalResponse::listen() {
    return m_bus.connect(QString::fromLatin1(PortalBus::Service), m_path,
                         QStringLiteral("org.freedesktop.portal.Request"), QStringLiteral("Response"), this,
                         SLOT(onResponse(uint, QVariantMap)));
}

void PortalResponse::answer(uint response, const QVariantMap& results) {
    if (!m_done)
        return;
    m_bus.disconnect(QString::fromLatin1(PortalBus::Service), m_path, QStringLiteral("org.freedesktop.portal.Request"),
                     QStringLiteral("Response"), this, SLOT(onResponse(uint, QVariantMap)));
    const PortalBus::Answer done = std::exchange(m_done, nullptr);
    deleteLater();
    done(response, results);
}

QDBusArgument& operator<<(QDBusArgument& argument, const PortalShortcut& shortcut) {
    argument.beginStructure();
    argument << shortcut.id << shortcut.properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, PortalShortcut& shortcut) {
    argument.beginStructure();
    argument >> shortcut.id >> shortcut.properties;
    argument.endStructure();
    return argument;
}

PortalBus::PortalBus(const QDBusConnection& bus) : m_bus(bus) {
    qDBusRegisterMetaType<PortalShortcut>();
    qDBusRegisterMetaType<QList<PortalShortcut>>();
}

std::unique_ptr<PortalBus> PortalBus::open() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        qCInfo(lcPlatform) << "no session bus, so no desktop portal";
        return nullptr;
    }
    const QString service = QString::fromLatin1(Service);
    QDBusConnectionInterface* names = bus.interface();
    if (!names->isServiceRegistered(service).value() && !names->activatableServiceNames().value().contains(service)) {
        qCInfo(lcPlatform) << "no desktop portal on the session bus";
        return nullptr;
    }
    QDBusMessage introspect = QDBusMessage::createMethodCall(service, QString::fromLatin1(Path),
                                                             QStringLiteral("org.freedesktop.DBus.Introspectable"),
                                                             QStringLiteral("Introspect"));
    const QDBusReply<QString> xml = bus.call(introspect, QDBus::Block, kProbeTimeoutMs);
    if (!xml.isValid()) {
        qCInfo(lcPlatform) << "the desktop portal did not answer:" << xml.error().message();
        return nullptr;
    }
    const auto offers = [&xml](const char* interface) {
        return xml.value().contains(QStringLiteral("<interface name=\"%1\"").arg(QLatin1String(interface)));
    };
    std::unique_ptr<PortalBus> portal(new PortalBus(bus));
    // Tells the portal which installed application this is, before any other call, so that the desktop keeps
    // what the user allowed and bound under that application (newer portals only; older ones know a program
    // outside a sandbox by nothing and keep nothing across starts).
    if (offers(Registry)) {
        QDBusMessage reg = QDBusMessage::createMethodCall(service, QString::fromLatin1(Path),
                                                          QString::fromLatin1(Registry), QStringLiteral("Register"));
        reg << QGuiApplication::desktopFileName() << QVariantMap();
        const QDBusMessage answer = bus.call(reg, QDBus::Block, kProbeTimeoutMs);
        if (answer.type() == QDBusMessage::ErrorMessage)
            qCInfo(lcPlatform) << "the portal's registry refused the application id:" << answer.errorMessage();
    }
    portal->m_offer.shortcuts = offers(GlobalShortcuts);
    portal->m_offer.clipboard = offers(Clipboard);
    portal->m_offer.keyboard =
        offers(RemoteDesktop) && (portalProperty(bus, RemoteDesktop, "AvailableDeviceTypes").toUInt() & KeyboardDevice);
    return portal;
}

void PortalBus::closeSession(const QString& path) {
    if (!path.isEmpty())
        m_bus.call(QDBusMessage::createMethodCall(QString::fromLatin1(Service), path, QString::fromLatin1(Session),
                                                  QStringLiteral("Close")),
                   QDBus::NoBlock);
}

QString PortalBus::nextToken() {
    return QStringLiteral("zolpane%1").arg(++m_tokens);
}

void PortalBus::request(const char* interface, const QString& method, QVariantList args, QVariantMap options,
                        QObject* context, Answer done) {
    const QString token = nextToken();
    options.insert(QStringLiteral("handle_token"), token);
    args.append(options);
    // The request object's path is known before the call, so its Response cannot come before we listen.
    QString sender = m_bus.baseService().mid(1);
    sender.replace(QLatin1Char('.'), QLatin1Char('_'));
    const QString path = QStringLiteral("%1/request/%2/%3").arg(QLatin1String(Path), sender, token);
    auto* response = new PortalResponse(m_bus, path, std::move(done), context);
    if (!response->listen()) {
        response->answer(Failed, {});
        return;
    }
    auto* watcher = new QDBusPendingCallWatcher(call(interface, method, args), response);
    connect(watcher, &QDBusPendingCallWatcher::finished, response, [response, method](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        if (w->isError()) {
            qCWarning(lcPlatform).noquote() << "portal call" << method << "failed:" << w->error().message();
            response->answer(Failed, {});
        }
    });
}

QDBusPendingCall PortalBus::call(const char* interface, const QString& method, const QVariantList& args) {
    QDBusMessage message = QDBusMessage::createMethodCall(QString::fromLatin1(Service), QString::fromLatin1(Path),
                                                          QString::fromLatin1(interface), method);
    message.setArguments(args);
    return m_bus.asyncCall(message);
}
