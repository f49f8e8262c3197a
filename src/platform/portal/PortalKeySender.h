#pragma once

#include "platform/KeySender.h"

#include <QElapsedTimer>
#include <QVariantMap>

#include <functional>
#include <optional>

class PortalBus;
class PortalRemoteSession;
class QDBusPendingCall;
class QDBusPendingCallWatcher;

// Keys through the desktop's RemoteDesktop portal (GNOME, KDE Plasma), in its session (PortalRemoteSession),
// which the desktop starts only with the user's consent. Keys go as keysyms, which the desktop types with the
// user's layout: where that layout is known, typesAll() tells whether every character of a sending would come out
// as itself. No portal reveals which window has the focus, so the keys go to the one in front.
class PortalKeySender final : public KeySender {
    Q_OBJECT
public:
    // layoutHas: whether the user's keyboard layout has a keysym (empty when the layout is not known).
    PortalKeySender(PortalBus& portal, PortalRemoteSession& session, WindowSystem& windows,
                    std::function<bool(quint32)> layoutHas, QObject* parent = nullptr);

    // After one of this program's windows gave up the focus, the desktop gives it back to the window behind it;
    // no portal reports when that is done, so the keys wait this long after such a change: a margin for a
    // desktop's closing animation, chosen, not measured on GNOME or KDE Plasma.
    static constexpr int focusReturnMs = 150;

    Capabilities capabilities() const override;
    bool typesAll(const KeyActions& keys) const override;
    void requestConsent(const QString& token) override;

    // The keysym presses and releases that type keys (true: pressed), in order.
    static QList<std::pair<quint32, bool>> keysyms(const KeyActions& keys);

protected:
    void deliver(const KeyActions& keys) override;
    void abortDelivery() override;

private:
    void sendNow(const KeyActions& keys);
    void sendNext();
    QDBusPendingCall notify(quint32 keysym, bool pressed);

    PortalBus& m_portal;
    PortalRemoteSession& m_session;
    std::function<bool(quint32)> m_layoutHas;
    std::optional<KeyActions> m_waiting;       // a sending that waits for the consent
    QList<std::pair<quint32, bool>> m_strokes; // of the running sending
    qsizetype m_next = 0;
    QDBusPendingCallWatcher* m_last = nullptr;
    QObject* m_delay = nullptr;
    QElapsedTimer m_ownFocusLeft;
};
