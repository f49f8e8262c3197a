#pragma once

#include <QByteArray>
#include <QObject>

class X11Connection;

// Reports key releases (XInput 2 raw key events on the root window) while asked to, on a connection of its own:
// the server does not send raw events to the client that holds the active key grab, and our hotkey grabs are
// active exactly while their keys are down. The connection is opened when first needed (a hotkey is waited
// for), not at start-up.
class X11KeyReleaseWatch final : public QObject {
    Q_OBJECT
public:
    explicit X11KeyReleaseWatch(QByteArray displayName, QObject* parent = nullptr);

    // Starts (on) or stops reporting; calls nest. True when releases are reported: from the moment it returns
    // on, every key that goes up is. False when the server offers no XInput 2.1 (nothing is reported).
    bool watch(bool on);

Q_SIGNALS:
    void released();

private:
    bool open();
    void select(bool on);

    QByteArray m_displayName;
    X11Connection* m_connection = nullptr;
    bool m_tried = false;
    int m_opcode = -1; // the XInput extension's major opcode on our connection
    int m_watchers = 0;
};
