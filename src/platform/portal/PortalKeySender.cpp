#include "platform/portal/PortalKeySender.h"

#include "platform/KeySymbols.h"
#include "platform/PlatformLog.h"
#include "platform/portal/PortalBus.h"

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QGuiApplication>
#include <QWindow>
#include <QTimer>

namespace {
// persist_mode: the consent lasts until the user takes it back.
constexpr uint kPersistUntilRevoked = 2;
constexpr uint kPressed = 1;
constexpr uint kReleased = 0;
} // namespace

PortalKeySender::PortalKeySender(PortalBus& portal, WindowSystem& windows, std::function<bool(quint32)> layoutHas,
                                 QObject* parent)
    : KeySender(windows, parent), m_portal(portal), m_layoutHas(std::move(layoutHas)) {
    connect(qGuiApp, &QGuiApplication::focusWindowChanged, this, [this](QWindow* now) {
        if (!now)
            m_ownFocusLeft.start();
    });
}

PortalKeySender::~PortalKeySender() {
    if (!m_session.isEmpty())
        m_portal.bus().call(QDBusMessage::createMethodCall(QString::fromLatin1(PortalBus::Service), m_session,
                                                           QString::fromLatin1(PortalBus::Session),
                                                           QStringLiteral("Close")),
                            QDBus::NoBlock);
}

QList<std::pair<quint32, bool>> PortalKeySender::keysyms(const KeyActions& keys) {
    static constexpr std::pair<quint8, quint32> modifiers[] = {{ControlModifier, KeySymbols::ControlL},
                                                               {ShiftModifier, KeySymbols::ShiftL},
                                                               {AltModifier, KeySymbols::AltL}};
    QList<std::pair<quint32, bool>> out;
    for (const KeyAction& a : keys) {
        const quint32 keysym =
            a.key == SpecialKey::NoKey ? KeySymbols::forCharacter(a.character) : KeySymbols::forSpecialKey(a.key);
        if (!keysym)
            continue;
        for (const auto& [bit, modifier] : modifiers)
            if (a.modifiers & bit)
                out.append({modifier, true});
        out.append({keysym, true});
        out.append({keysym, false});
        for (auto it = std::rbegin(modifiers); it != std::rend(modifiers); ++it)
            if (a.modifiers & it->first)
                out.append({it->second, false});
    }
    return out;
}

bool PortalKeySender::typesAll(const KeyActions& keys) const {
    if (!m_layoutHas)
        return true;
    for (const KeyAction& a : keys)
        if (a.key == SpecialKey::NoKey)
            if (const quint32 keysym = KeySymbols::forCharacter(a.character); keysym && !m_layoutHas(keysym))
                return false;
    return true;
}

void PortalKeySender::step(const char* method, QVariantList args, QVariantMap options,
                           std::function<void(const QVariantMap&)> next) {
    m_portal.request(PortalBus::RemoteDesktop, QString::fromLatin1(method), std::move(args), std::move(options), this,
                     [this, method, next = std::move(next)](uint response, const QVariantMap& results) {
                         if (response == PortalBus::Success)
                             next(results);
                         else
                             refuse(response == PortalBus::Cancelled
                                        ? QStringLiteral("the desktop's request to allow Zolpane to type was declined")
                                        : QStringLiteral("the desktop's %1 failed").arg(QLatin1String(method)));
                     });
}

void PortalKeySender::requestConsent(const QString& token) {
    if (m_state == State::Asking || m_state == State::Ready)
        return;
    m_state = State::Asking;
    step("CreateSession", {}, {{QStringLiteral("session_handle_token"), m_portal.nextToken()}},
         [this, token](const QVariantMap& results) {
             m_session = results.value(QStringLiteral("session_handle")).toString();
             m_portal.bus().connect(QString::fromLatin1(PortalBus::Service), m_session,
                                    QString::fromLatin1(PortalBus::Session), QStringLiteral("Closed"), this,
                                    SLOT(onSessionClosed()));
             QVariantMap devices{{QStringLiteral("types"), PortalBus::KeyboardDevice},
                                 {QStringLiteral("persist_mode"), kPersistUntilRevoked}};
             if (!token.isEmpty())
                 devices.insert(QStringLiteral("restore_token"), token);
             const QVariant session = QVariant::fromValue(QDBusObjectPath(m_session));
             step("SelectDevices", {session}, devices, [this, session](const QVariantMap&) {
                 step("Start", {session, QString()}, {}, [this](const QVariantMap& started) {
                     if (!(started.value(QStringLiteral("devices")).toUInt() & PortalBus::KeyboardDevice)) {
                         refuse(QStringLiteral("the desktop allowed no keyboard"));
                         return;
                     }
                     m_state = State::Ready;
                     qCInfo(lcPlatform) << "the desktop allows Zolpane to type";
                     // Kept whatever the portal's version says: an older portal passes the desktop's token on.
                     if (const QString next = started.value(QStringLiteral("restore_token")).toString();
                         !next.isEmpty())
                         Q_EMIT consentTokenReceived(next);
                     if (m_waiting)
                         sendNow(*std::exchange(m_waiting, std::nullopt));
                 });
             });
         });
}

void PortalKeySender::onSessionClosed() {
    m_session.clear();
    refuse(QStringLiteral("the desktop took back its permission to type"));
}

void PortalKeySender::refuse(const QString& reason) {
    m_state = State::Refused;
    qCWarning(lcPlatform).noquote() << "no keys are sent:" << reason;
    Q_EMIT consentLost(reason);
    if (std::exchange(m_waiting, std::nullopt))
        complete(Result::Failed);
}

void PortalKeySender::deliver(const KeyActions& keys) {
    switch (m_state) {
    case State::Refused:
        complete(Result::Failed);
        return;
    case State::Idle:
        requestConsent({});
        [[fallthrough]];
    case State::Asking:
        m_waiting = keys;
        return;
    case State::Ready:
        break;
    }
    const qint64 since = m_ownFocusLeft.isValid() ? m_ownFocusLeft.elapsed() : focusReturnMs;
    if (since >= focusReturnMs) {
        sendNow(keys);
        return;
    }
    m_delay = new QObject(this);
    QTimer::singleShot(int(focusReturnMs - since), m_delay, [this, keys] {
        std::exchange(m_delay, nullptr)->deleteLater();
        sendNow(keys);
    });
}

void PortalKeySender::sendNow(const KeyActions& keys) {
    m_strokes = keysyms(keys);
    m_next = 0;
    sendNext();
}

void PortalKeySender::sendNext() {
    if (m_next == m_strokes.size()) {
        complete(Result::Sent);
        return;
    }
    const auto [keysym, down] = m_strokes[m_next++];
    // One at a time: the portal handles each call on a thread of its own, so calls sent together may reach the
    // desktop in another order.
    m_last = new QDBusPendingCallWatcher(
        m_portal.call(PortalBus::RemoteDesktop, QStringLiteral("NotifyKeyboardKeysym"),
                      {QVariant::fromValue(QDBusObjectPath(m_session)), QVariantMap(), int(keysym),
                       down ? kPressed : kReleased}),
        this);
    connect(m_last, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        m_last = nullptr;
        if (w->isError()) {
            qCWarning(lcPlatform) << "the portal refused keys:" << w->error().message();
            complete(Result::Failed);
            return;
        }
        sendNext();
    });
}

void PortalKeySender::abortDelivery() {
    m_waiting.reset();
    delete std::exchange(m_delay, nullptr);
    delete std::exchange(m_last, nullptr);
    // What the stopped sending pressed and had not let go of yet goes up again.
    QList<quint32> down;
    for (qsizetype i = 0; i < m_next; ++i) {
        if (m_strokes[i].second)
            down.append(m_strokes[i].first);
        else
            down.removeOne(m_strokes[i].first);
    }
    for (quint32 keysym : down)
        m_portal.call(PortalBus::RemoteDesktop, QStringLiteral("NotifyKeyboardKeysym"),
                      {QVariant::fromValue(QDBusObjectPath(m_session)), QVariantMap(), int(keysym), kReleased});
    m_strokes.clear();
    m_next = 0;
}
