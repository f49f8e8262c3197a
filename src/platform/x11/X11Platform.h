#pragma once

#include "platform/HotkeySystem.h"
#include "platform/KeySender.h"
#include "platform/Platform.h"

#include <QObject>
#include <QPointer>

#include <memory>

class X11ClipboardRequests;
struct _XDisplay;

// The X display Qt runs on, and the X11 services over it. While it lives, requests for our clipboard and primary
// selection are answered (X11ClipboardRequests), whichever clipboard service puts content there.
class X11Session final : public QObject {
    Q_OBJECT
public:
    // Null when Qt does not run on an X display.
    static std::unique_ptr<X11Session> open();
    ~X11Session() override;

    std::unique_ptr<WindowSystem> windows();
    // Global key grabs on the root window.
    std::unique_ptr<HotkeySystem> hotkeys();
    // Keys through XTest.
    std::unique_ptr<KeySender> keys(WindowSystem& windows);

private:
    explicit X11Session(_XDisplay* display);

    _XDisplay* m_display;
    QPointer<X11ClipboardRequests> m_requests;
};
