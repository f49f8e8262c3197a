#include "platform/portal/PortalHotkeySystem.h"

#include "platform/HotkeyModifier.h"
#include "platform/KeySymbols.h"
#include "platform/PlatformLog.h"

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QTimer>

namespace {
const char* const kInterface = PortalBus::GlobalShortcuts;

QString shortcutId(int id) {
    return QString::number(id);
}
} // namespace

PortalHotkeySystem::PortalHotkeySystem(PortalBus& portal, QObject* parent) : HotkeySystem(parent), m_portal(portal) {
    QDBusConnection bus = m_portal.bus();
    const QString service = QString::fromLatin1(PortalBus::Service), path = QString::fromLatin1(PortalBus::Path),
                  interface = QString::fromLatin1(kInterface);
    bus.connect(service, path, interface, QStringLiteral("Activated"), this, SLOT(onActivated(QDBusMessage)));
    bus.connect(service, path, interface, QStringLiteral("Deactivated"), this, SLOT(onDeactivated(QDBusMessage)));
    bus.connect(service, path, interface, QStringLiteral("ShortcutsChanged"), this,
                SLOT(onShortcutsChanged(QDBusMessage)));
}

PortalHotkeySystem::~PortalHotkeySystem() {
    m_portal.closeSession(m_session);
}

QString PortalHotkeySystem::triggerOf(int modifierCode, int virtualKey) {
    const KeySymbols::HotkeyKey* key = KeySymbols::hotkeyKey(virtualKey);
    if (!key)
        return {};
    QString trigger;
    if (modifierCode & HotkeyModifier::Control)
        trigger += QStringLiteral("CTRL+");
    if (modifierCode & HotkeyModifier::Alt)
        trigger += QStringLiteral("ALT+");
    if (modifierCode & HotkeyModifier::Shift)
        trigger += QStringLiteral("SHIFT+");
    return trigger + QLatin1String(key->keysymName);
}

bool PortalHotkeySystem::registerHotkey(int id, int modifierCode, int virtualKey) {
    return registerHotkeys({{id, modifierCode, virtualKey, {}}}).value(0);
}

QList<bool> PortalHotkeySystem::registerHotkeys(const QList<Registration>& registrations) {
    QList<bool> taken;
    for (const Registration& r : registrations) {
        const bool valid = isSupportedKey(r.virtualKey) && r.modifierCode != 0;
        taken.append(valid);
        if (!valid) {
            unregisterHotkey(r.id);
            continue;
        }
        m_wanted.insert(r.id,
                        {r.modifierCode, r.virtualKey,
                         r.description.isEmpty() ? QStringLiteral("Zolpane hotkey %1").arg(r.id) : r.description});
        // Taken until the desktop says otherwise.
        m_bound.insert(r.id, QString());
    }
    scheduleBind();
    return taken;
}

void PortalHotkeySystem::unregisterHotkey(int id) {
    if (m_wanted.remove(id)) {
        m_bound.remove(id);
        scheduleBind();
    }
}

bool PortalHotkeySystem::isRegistered(int id) const {
    return m_bound.contains(id);
}

QString PortalHotkeySystem::desktopBinding(int id) const {
    return m_bound.value(id);
}

bool PortalHotkeySystem::isHotkeyHeld(int id, int, int) const {
    return m_held.contains(id);
}

void PortalHotkeySystem::scheduleBind() {
    if (m_bindScheduled)
        return;
    m_bindScheduled = true;
    QTimer::singleShot(0, this, [this] {
        m_bindScheduled = false;
        bind();
    });
}

void PortalHotkeySystem::bind() {
    if (m_creating || m_binding) {
        m_rebind = true; // once the request in flight is answered
        return;
    }
    // A session binds once (GNOME refuses a second BindShortcuts): new keys go to a new session, under the same
    // ids, whose bindings the desktop keeps per application.
    if (m_boundOnce) {
        m_portal.bus().disconnect(QString::fromLatin1(PortalBus::Service), m_session,
                                  QString::fromLatin1(PortalBus::Session), QStringLiteral("Closed"), this,
                                  SLOT(onSessionClosed(QVariantMap)));
        m_portal.closeSession(std::exchange(m_session, QString()));
        m_boundOnce = false;
        for (int id : std::exchange(m_held, {}))
            Q_EMIT hotkeyReleased(id);
    }
    if (m_session.isEmpty()) {
        m_creating = true;
        m_portal.request(kInterface, QStringLiteral("CreateSession"), {},
                         {{QStringLiteral("session_handle_token"), m_portal.nextToken()}}, this,
                         [this](uint response, const QVariantMap& results) {
                             m_creating = false;
                             m_session = results.value(QStringLiteral("session_handle")).toString();
                             if (response != PortalBus::Success || m_session.isEmpty()) {
                                 qCWarning(lcPlatform) << "the desktop refused a shortcut session (response" << response
                                                       << "): no hotkey of ours works";
                                 m_session.clear();
                                 m_bound.clear();
                                 Q_EMIT bindingsChanged();
                                 return;
                             }
                             m_portal.bus().connect(QString::fromLatin1(PortalBus::Service), m_session,
                                                    QString::fromLatin1(PortalBus::Session), QStringLiteral("Closed"),
                                                    this, SLOT(onSessionClosed(QVariantMap)));
                             m_rebind = false;
                             bind();
                         });
        return;
    }
    QList<PortalShortcut> shortcuts;
    for (auto it = m_wanted.cbegin(); it != m_wanted.cend(); ++it)
        shortcuts.append({shortcutId(it.key()),
                          {{QStringLiteral("description"), it->description},
                           {QStringLiteral("preferred_trigger"), triggerOf(it->modifierCode, it->virtualKey)}}});
    m_binding = true;
    m_boundOnce = true;
    m_portal.request(kInterface, QStringLiteral("BindShortcuts"),
                     {QVariant::fromValue(QDBusObjectPath(m_session)), QVariant::fromValue(shortcuts), QString()}, {},
                     this, [this](uint response, const QVariantMap& results) {
                         m_binding = false;
                         if (response != PortalBus::Success)
                             qCWarning(lcPlatform)
                                 << "the desktop did not bind our shortcuts (response" << response << ")";
                         takeBindings(qdbus_cast<QList<PortalShortcut>>(results.value(QStringLiteral("shortcuts"))));
                         if (std::exchange(m_rebind, false))
                             bind();
                     });
}

void PortalHotkeySystem::takeBindings(const QList<PortalShortcut>& shortcuts) {
    m_bound.clear();
    for (const PortalShortcut& s : shortcuts) {
        bool ok = false;
        const int id = s.id.toInt(&ok);
        const QString trigger = s.properties.value(QStringLiteral("trigger_description")).toString();
        if (ok && m_wanted.contains(id) && !trigger.isEmpty())
            m_bound.insert(id, trigger);
    }
    for (auto it = m_wanted.cbegin(); it != m_wanted.cend(); ++it)
        if (!m_bound.contains(it.key()))
            qCInfo(lcPlatform).noquote() << "the desktop left" << it->description << "unbound";
    Q_EMIT bindingsChanged();
}

bool PortalHotkeySystem::isOurs(const QDBusMessage& signal) const {
    return !m_session.isEmpty() && signal.arguments().value(0).value<QDBusObjectPath>().path() == m_session;
}

int PortalHotkeySystem::idOf(const QDBusMessage& signal) const {
    bool ok = false;
    const int id = signal.arguments().value(1).toString().toInt(&ok);
    return isOurs(signal) && ok && m_wanted.contains(id) ? id : 0;
}

void PortalHotkeySystem::onActivated(const QDBusMessage& signal) {
    if (const int id = idOf(signal)) {
        m_held.insert(id);
        Q_EMIT hotkeyPressed(id);
    }
}

void PortalHotkeySystem::onDeactivated(const QDBusMessage& signal) {
    if (const int id = idOf(signal); id && m_held.remove(id))
        Q_EMIT hotkeyReleased(id);
}

void PortalHotkeySystem::onShortcutsChanged(const QDBusMessage& signal) {
    if (isOurs(signal))
        takeBindings(qdbus_cast<QList<PortalShortcut>>(signal.arguments().value(1)));
}

void PortalHotkeySystem::onSessionClosed(const QVariantMap&) {
    qCWarning(lcPlatform) << "the desktop closed our shortcut session: no hotkey of ours works until one is set again";
    m_session.clear();
    m_boundOnce = false;
    m_bound.clear();
    const QSet<int> held = std::exchange(m_held, {});
    for (int id : held)
        Q_EMIT hotkeyReleased(id);
    Q_EMIT bindingsChanged();
}
