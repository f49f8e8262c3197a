#pragma once

#include "platform/Clipboard.h"
#include "platform/KeySender.h"
#include "platform/Platform.h"

#include <QObject>

#include <functional>
#include <memory>

class WaylandConnection;
class SeatLayout;

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
    // Whether the user's keyboard layout, as the compositor tells it, has a keysym; true for any while the
    // compositor has not told it. Valid as long as this session.
    std::function<bool(quint32)> layoutHas();

private:
    WaylandSession();
    WaylandConnection* m_connection;
    SeatLayout* m_layout = nullptr;
};
