#pragma once

#include "platform/HotkeySystem.h"

#include <QHash>
#include <QList>
#include <QMap>

struct _XDisplay;
union _XEvent;
class X11Connection;
class X11KeyReleaseWatch;

// Global hotkeys as passive key grabs on the root window, held by a connection of our own whose key events
// arrive through the event loop. Key state comes from Qt's connection; key releases, while a wait asks for them,
// from X11KeyReleaseWatch.
class X11HotkeySystem final : public HotkeySystem {
    Q_OBJECT
public:
    explicit X11HotkeySystem(_XDisplay* display, QObject* parent = nullptr);
    ~X11HotkeySystem() override;

    bool registerHotkey(int id, int modifierCode, int virtualKey) override;
    QList<bool> registerHotkeys(const QList<Registration>& registrations) override;
    void unregisterHotkey(int id) override;
    bool isRegistered(int id) const override { return m_grabs.contains(id); }
    bool isKeyDown(int virtualKey) const override;
    bool anyKeyDown() const override;
    bool anyOfKeysDown(const QList<int>& virtualKeys) const override;
    bool watchKeyReleases(bool on) override;

private:
    struct Grab {
        int modifierCode = 0;
        int virtualKey = 0;
        unsigned int keycode = 0;
        unsigned int mask = 0;
        unsigned int numLock = 0; // the Num Lock bit when grabbed, for giving the same variants back
    };
    void onEvent(_XEvent& event);
    void refreshLayout();
    bool resolve(Grab& grab) const;
    // The grab's requests, unchecked; grabAndCheck() waits for the server's answer and gives a refused grab up.
    void grab(const Grab& grab);
    bool grabAndCheck(const Grab& grab);
    void ungrab(const Grab& grab);
    static QList<int> knownKeys();

    _XDisplay* m_display;
    X11Connection* m_connection;
    X11KeyReleaseWatch* m_releases;
    unsigned int m_altMask = 0;
    unsigned int m_numLockMask = 0;
    QHash<int, QList<unsigned int>> m_keycodes; // virtual key -> its keys on the current layout
    QMap<int, Grab> m_grabs;
    // Hotkeys whose key the current layout lacks, grabbed again when a layout has it.
    QMap<int, Grab> m_lost;
};
