#pragma once

#include "platform/Clipboard.h"
#include "platform/KeySender.h"
#include "platform/Platform.h"

#include <QObject>

#include <memory>

class WaylandConnection;

// Our own connection to the Wayland compositor and the services over it, each where the compositor offers its
// protocol.
class WaylandSession final : public QObject {
    Q_OBJECT
public:
    // Null when no compositor answers on WAYLAND_DISPLAY.
    static std::unique_ptr<WaylandSession> open();
    ~WaylandSession() override;

    bool offersWindows() const;
    bool offersKeys() const;
    // The data-control protocol offered, "" when none.
    QString clipboardProtocol() const;

    std::unique_ptr<WindowSystem> windows();
    std::unique_ptr<KeySender> keys(WindowSystem& windows);
    std::unique_ptr<Clipboard> clipboard();

private:
    WaylandSession();
    WaylandConnection* m_connection;
};
