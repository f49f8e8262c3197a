#pragma once

#include "platform/HotkeySystem.h"
#include "platform/portal/PortalBus.h"

#include <QHash>
#include <QSet>
#include <QVariantMap>

class QDBusMessage;

// Hotkeys through the desktop's GlobalShortcuts portal (GNOME 48 and later, KDE Plasma 5.27 and later): the
// program names its shortcuts, describes them and proposes keys; the desktop binds them (its user may choose
// other keys, or none) and reports each press and release. Registrations are handed over in one batch per
// event-loop turn, so the start-up's thirty-five come to the desktop as one request. A registration counts as
// taken until the desktop's answer says otherwise; bindingsChanged() tells when it came.
class PortalHotkeySystem final : public HotkeySystem {
    Q_OBJECT
public:
    explicit PortalHotkeySystem(PortalBus& portal, QObject* parent = nullptr);
    ~PortalHotkeySystem() override;

    Capabilities capabilities() const override { return {true, true}; }
    bool registerHotkey(int id, int modifierCode, int virtualKey) override;
    QList<bool> registerHotkeys(const QList<Registration>& registrations) override;
    void unregisterHotkey(int id) override;
    bool isRegistered(int id) const override;
    QString desktopBinding(int id) const override;

    // The portal's notation of a combination ("CTRL+ALT+n"), "" for a key no hotkey can use.
    static QString triggerOf(int modifierCode, int virtualKey);

protected:
    // The desktop reports shortcuts, not keys: no key is seen as down, and a hotkey is held from its
    // activation to its deactivation.
    bool isKeyDown(int) const override { return false; }
    bool anyKeyDown() const override { return false; }
    bool isHotkeyHeld(int id, int modifierCode, int virtualKey) const override;
    bool watchKeyReleases(bool) override { return true; }

private Q_SLOTS:
    // The desktop's signals, taken whole: QtDBus hands no object path to a slot's parameter.
    void onActivated(const QDBusMessage& signal);
    void onDeactivated(const QDBusMessage& signal);
    void onShortcutsChanged(const QDBusMessage& signal);
    void onSessionClosed(const QVariantMap& details);

private:
    struct Wanted {
        int modifierCode;
        int virtualKey;
        QString description;
    };
    void scheduleBind();
    void bind();
    void takeBindings(const QList<PortalShortcut>& shortcuts);
    // The id of the shortcut of an Activated or Deactivated signal of our session, 0 for another one.
    int idOf(const QDBusMessage& signal) const;
    bool isOurs(const QDBusMessage& signal) const;

    PortalBus& m_portal;
    QString m_session; // the session's object path, "" until the desktop made it
    bool m_creating = false;
    bool m_binding = false;
    bool m_bindScheduled = false;
    bool m_rebind = false;
    bool m_boundOnce = false; // the session has had its BindShortcuts
    QHash<int, Wanted> m_wanted;
    QHash<int, QString> m_bound; // id -> the keys the desktop bound
    QSet<int> m_held;
};
