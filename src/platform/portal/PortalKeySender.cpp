#include "platform/portal/PortalKeySender.h"

#include "platform/KeySymbols.h"
#include "platform/PlatformLog.h"
#include "platform/portal/PortalBus.h"
#include "platform/portal/PortalRemoteSession.h"

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QGuiApplication>
#include <QTimer>
#include <QWindow>

namespace {
constexpr uint kPressed = 1;
constexpr uint kReleased = 0;
} // namespace

PortalKeySender::PortalKeySender(PortalBus& portal, PortalRemoteSession& session, WindowSystem& windows,
                                 std::function<bool(quint32)> layoutHas, QObject* parent)
    : KeySender(windows, parent), m_portal(portal), m_session(session), m_layoutHas(std::move(layoutHas)) {
    connect(qGuiApp, &QGuiApplication::focusWindowChanged, this, [this](QWindow* now) {
        if (!now)
            m_ownFocusLeft.start();
    });
    connect(&m_session, &PortalRemoteSession::tokenReceived, this, &KeySender::consentTokenReceived);
    connect(&m_session, &PortalRemoteSession::ready, this, [this] {
        if (m_waiting)
            sendNow(*std::exchange(m_waiting, std::nullopt));
    });
    connect(&m_session, &PortalRemoteSession::lost, this, [this](const QString& reason) {
        Q_EMIT consentLost(reason);
        if (std::exchange(m_waiting, std::nullopt))
            complete(Result::Failed);
    });
}

KeySender::Capabilities PortalKeySender::capabilities() const {
    return {m_session.state() != PortalRemoteSession::State::Refused, false, true};
}

void PortalKeySender::requestConsent(const QString& token) {
    m_session.start(token);
}

QList<std::pair<quint32, bool>> PortalKeySender::keysyms(const KeyActions& keys) {
    static constexpr std::pair<quint8, quint32> modifiers[] = {
        {ControlModifier, KeySymbols::ControlL}, {ShiftModifier, KeySymbols::ShiftL}, {AltModifier, KeySymbols::AltL}};
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

void PortalKeySender::deliver(const KeyActions& keys) {
    switch (m_session.state()) {
    case PortalRemoteSession::State::Refused:
        complete(Result::Failed);
        return;
    case PortalRemoteSession::State::Idle:
    case PortalRemoteSession::State::Asking:
        m_waiting = keys;
        m_session.start({});
        return;
    case PortalRemoteSession::State::Ready:
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
    m_last = new QDBusPendingCallWatcher(notify(keysym, down), this);
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

QDBusPendingCall PortalKeySender::notify(quint32 keysym, bool pressed) {
    return m_portal.call(PortalBus::RemoteDesktop, QStringLiteral("NotifyKeyboardKeysym"),
                         {QVariant::fromValue(QDBusObjectPath(m_session.path())), QVariantMap(), int(keysym),
                          pressed ? kPressed : kReleased});
}

void PortalKeySender::abortDelivery() {
    m_waiting.reset();
    delete std::exchange(m_delay, nullptr);
    delete std::exchange(m_last, nullptr);
    // What the stopped sending pressed and had not let go of yet goes up again.
    QList<quint32> down;
    for (qsizetype i = 0; i < m_next; ++i)
        if (m_strokes[i].second)
            down.append(m_strokes[i].first);
        else
            down.removeOne(m_strokes[i].first);
    for (quint32 keysym : down)
        notify(keysym, false);
    m_strokes.clear();
    m_next = 0;
}
