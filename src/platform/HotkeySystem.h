#pragma once

#include <QList>
#include <QObject>
#include <QString>

/**
 * @brief System-wide key combinations and the state of keys.
 *
 * A hotkey is a modifier code (bits 1 Alt, 2 Control, 4 Shift) and a virtual-key code as the settings file
 * stores them: 48-57 digits, 65-90 letters, 112-123 F1-F12, 33 Page Up, 34 Page Down, 35 End, 36 Home,
 * 45 Insert. While registered, pressing the combination in any application emits hotkeyPressed() with its id;
 * the combination's keys are taken from the other applications.
 */
class HotkeySystem : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~HotkeySystem() override = default;

    /// What the backend can do.
    struct Capabilities {
        /// It takes key combinations from the other applications itself. Without it every registration is
        /// refused, and the desktop's own shortcuts run the command line instead.
        bool grabsKeys = true;
        /// The desktop binds the keys, and its user may bind others or none: desktopBinding() tells which.
        bool desktopBinds = false;
    };
    virtual Capabilities capabilities() const { return {}; }

    /**
     * @brief Takes the combination for id, replacing what id had before.
     *
     * Returns false, and leaves id unregistered, when the key code is not one of the supported keys, when
     * another application holds the combination, or when another id of this program has it. A refused
     * combination is logged, nothing else.
     */
    virtual bool registerHotkey(int id, int modifierCode, int virtualKey) = 0;

    /// One registration of registerHotkeys().
    struct Registration {
        int id = 0;
        int modifierCode = 0;
        int virtualKey = 0;
        /// What the hotkey does, in words a user understands (a desktop's shortcut service shows it).
        QString description;
    };
    /**
     * @brief registerHotkey() for each, in order; for each whether it was taken.
     *
     * The default registers them one by one; a backend that must ask the desktop whether each combination is
     * free asks once for all of them (the start-up registers some thirty-five).
     */
    virtual QList<bool> registerHotkeys(const QList<Registration>& registrations);
    /// Gives the combination of id back; harmless when id is not registered.
    virtual void unregisterHotkey(int id) = 0;
    /// True when id holds its combination now.
    virtual bool isRegistered(int id) const = 0;
    /// The keys the desktop bound to id, as the desktop writes them, where a desktop's shortcut service decides
    /// them (its user may have chosen others than the ones asked for); "" where the combination asked for is the
    /// one taken, or id is not bound.
    virtual QString desktopBinding(int id) const {
        Q_UNUSED(id);
        return {};
    }

    /// True for the key codes a hotkey can use (the list in the class description).
    static bool isSupportedKey(int virtualKey);
    /// The virtual keys of a hotkey: Control (17) for its Control bit, Shift (16), Alt (18), then the key itself
    /// (none when 0).
    static QList<int> keysOf(int modifierCode, int virtualKey);

Q_SIGNALS:
    /// The combination of id was pressed (again for each automatic key repeat while held).
    void hotkeyPressed(int id);
    /// A key went up, whichever it was (reported while watchKeyReleases() is on).
    void keyReleased();
    /// The combination of id was let go, reported by a backend that learns of the release of the shortcut as a
    /// whole (a desktop's shortcut service) rather than of its keys.
    void hotkeyReleased(int id);
    /// The desktop's answer about the bindings came or changed (isRegistered() and desktopBinding() tell the new
    /// state), for a backend whose desktop answers later than registerHotkeys() returns.
    void bindingsChanged();

protected:
    // The state of the keys, for the wait until a hotkey's keys are let go (HotkeyReleaseWaiter), which is how
    // the program learns of releases: a backend that has events for them (XInput 2, a shortcut's release)
    // reports them, one that has not is looked at now and then.
    friend class HotkeyReleaseWaiter;
    /**
     * @brief True while the key is held down, by the user or by synthesized input.
     *
     * Besides the hotkey keys, 16 Shift, 17 Control and 18 Alt are understood; a modifier counts as down when its
     * left or its right key is down. An unknown code is never down.
     */
    virtual bool isKeyDown(int virtualKey) const = 0;
    /**
     * @brief True while any key of the keyboard is held down, whichever it is (a Super key, a key no hotkey can
     * use).
     *
     * For actions started by a combination the program does not know, such as a desktop shortcut that runs the
     * command line. The default looks at the keys isKeyDown() understands; a backend that can see the whole
     * keyboard looks at every key.
     */
    virtual bool anyKeyDown() const;
    /// True while any of the keys (codes as for isKeyDown()) is held down. The default asks isKeyDown() for each;
    /// a backend that reads the whole keyboard at once looks once.
    virtual bool anyOfKeysDown(const QList<int>& virtualKeys) const;
    /// True while a key of hotkey id's combination is held. The default looks at the combination's keys; a
    /// backend that learns only of the shortcut as a whole answers from its press and its hotkeyReleased().
    virtual bool isHotkeyHeld(int id, int modifierCode, int virtualKey) const;

    /**
     * @brief Starts (on) or stops reporting key releases through keyReleased(), for a wait on the keys that
     * should cost nothing while nobody lets go of a key.
     *
     * Calls nest: reports go on until every watchKeyReleases(true) has had its watchKeyReleases(false). Once a
     * call with on returns true, every key released from then on is reported, so keys looked at after the call
     * cannot go up unnoticed. Returns false, and reports nothing, when the backend cannot see key releases; the
     * caller then looks at the keys now and then instead.
     */
    virtual bool watchKeyReleases(bool on);
};
