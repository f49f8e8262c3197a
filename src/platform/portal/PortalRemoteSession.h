#pragma once

#include <QObject>
#include <QString>

#include <functional>

class PortalBus;

// The RemoteDesktop portal's session: the keyboard alone and, where the portal offers its Clipboard interface, the
// clipboard with it; asked for once and kept. The desktop starts it only with the user's consent, asked to
// persist: the desktop's token for it comes out through tokenReceived(), to be offered at the next start so that
// the user is asked once (kept whatever the portal's version: an older one passes the desktop's token on).
class PortalRemoteSession final : public QObject {
    Q_OBJECT
public:
    PortalRemoteSession(PortalBus& portal, bool withClipboard, QObject* parent = nullptr);
    ~PortalRemoteSession() override;

    enum class State { Idle, Asking, Ready, Refused };
    State state() const { return m_state; }
    // The session's object path, "" until the desktop made it.
    const QString& path() const { return m_path; }
    // The desktop shares its clipboard with the session (known once Ready).
    bool clipboardEnabled() const { return m_clipboard; }

    // Asks for the session (nothing while asking or once ready); token: what an earlier consent returned.
    void start(const QString& token);

Q_SIGNALS:
    void ready();
    void tokenReceived(const QString& token);
    // The desktop refused or took back its consent; reason says why.
    void lost(const QString& reason);

private Q_SLOTS:
    void onClosed();

private:
    void step(const char* method, QVariantList args, QVariantMap options, std::function<void(const QVariantMap&)> next);
    void startSession(const QVariant& session);
    void refuse(const QString& reason);

    PortalBus& m_portal;
    bool m_withClipboard;
    State m_state = State::Idle;
    QString m_path;
    bool m_clipboard = false;
};
