#pragma once

#include "platform/HotkeySystem.h"

#include <QHash>
#include <QList>
#include <QMap>

struct _XDisplay;
union _XEvent;
class X11Connection;

// Global hotkeys as passive key grabs on the root window, held by a connection of our own whose key events
// arrive through the event loop. Key state comes from Qt's connection; key releases, while a wait asks for them,
// come as XInput 2 raw key events on our own connection.
class X11HotkeySystem final : public HotkeySystem {
    Q_OBJECT
public:
    explicit X11HotkeySystem(_XDisplay* display, QObject* parent = nullptr);
    ~X11HotkeySystem() override;

    bool registerHotkey(int id, int modifierCode, int virtualKey) override;
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
    bool grab(const Grab& grab);
    void ungrab(const Grab& grab);
    static QList<int> knownKeys();
    void findRawKeyEvents();
    void selectRawKeyReleases(bool on);

    _XDisplay* m_display;
    X11Connection* m_connection;
    unsigned int m_altMask = 0;
    unsigned int m_numLockMask = 0;
    QHash<int, QList<unsigned int>> m_keycodes; // virtual key -> its keys on the current layout
    QMap<int, Grab> m_grabs;
    int m_inputOpcode = -1; // the XInput extension's major opcode; -1 without XInput 2
    int m_releaseWatchers = 0;
};
