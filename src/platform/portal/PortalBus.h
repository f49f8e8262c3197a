#pragma once

#include <QDBusConnection>
#include <QDBusMetaType>
#include <QObject>
#include <QVariantMap>

#include <functional>
#include <memory>

// A shortcut as the GlobalShortcuts portal hands them over and back: its id and its properties (description,
// preferred_trigger going out; description, trigger_description coming back).
struct PortalShortcut {
    QString id;
    QVariantMap properties;
};
Q_DECLARE_METATYPE(PortalShortcut)
QDBusArgument& operator<<(QDBusArgument& argument, const PortalShortcut& shortcut);
const QDBusArgument& operator>>(const QDBusArgument& argument, PortalShortcut& shortcut);

// The desktop portal (org.freedesktop.portal.Desktop) on the session bus: which of its interfaces this
// program uses are offered, and the calls that answer later through a Request object's Response signal.
class PortalBus final : public QObject {
    Q_OBJECT
public:
    static constexpr const char* Service = "org.freedesktop.portal.Desktop";
    static constexpr const char* Path = "/org/freedesktop/portal/desktop";
    static constexpr const char* GlobalShortcuts = "org.freedesktop.portal.GlobalShortcuts";
    static constexpr const char* RemoteDesktop = "org.freedesktop.portal.RemoteDesktop";
    static constexpr const char* Session = "org.freedesktop.portal.Session";
    static constexpr const char* Clipboard = "org.freedesktop.portal.Clipboard";
    static constexpr const char* Registry = "org.freedesktop.host.portal.Registry";
    // RemoteDesktop's device type bit of the keyboard.
    static constexpr uint KeyboardDevice = 1;
    // Response codes of a request.
    static constexpr uint Success = 0;
    static constexpr uint Cancelled = 1;
    static constexpr uint Failed = 2;

    // What the portal offers.
    struct Offer {
        bool shortcuts = false; // GlobalShortcuts
        bool keyboard = false;  // RemoteDesktop with the keyboard device type
        bool clipboard = false; // Clipboard, shared within a RemoteDesktop session
    };

    // Null when the session bus has no portal; waits for the portal's answer (it may have to be started first).
    static std::unique_ptr<PortalBus> open();

    const Offer& offer() const { return m_offer; }
    QDBusConnection bus() const { return m_bus; }

    using Answer = std::function<void(uint response, const QVariantMap& results)>;
    /**
     * @brief Calls method of interface on the portal with args followed by options (a handle_token is added), and
     * hands done the Response that answers it, in context. A call the portal refuses at once answers Failed.
     */
    void request(const char* interface, const QString& method, QVariantList args, QVariantMap options, QObject* context,
                 Answer done);
    // A call answered by its reply alone; the returned call tells when the portal has handled it.
    QDBusPendingCall call(const char* interface, const QString& method, const QVariantList& args);
    // Ends a session of ours (nothing for "").
    void closeSession(const QString& path);
    // A token a request or session is known by: unique in this process.
    QString nextToken();

private:
    explicit PortalBus(const QDBusConnection& bus);
    QDBusConnection m_bus;
    Offer m_offer;
    int m_tokens = 0;
};

// Receives the Response of one request of PortalBus::request(), hands it on, then goes.
class PortalResponse final : public QObject {
    Q_OBJECT
public:
    PortalResponse(QDBusConnection bus, QString path, PortalBus::Answer done, QObject* context);
    bool listen();
    // Hands the answer on once; Failed stands for a call the portal refused at once.
    void answer(uint response, const QVariantMap& results);

public Q_SLOTS:
    void onResponse(uint response, const QVariantMap& results) { answer(response, results); }

private:
    QDBusConnection m_bus;
    QString m_path;
    PortalBus::Answer m_done;
};
