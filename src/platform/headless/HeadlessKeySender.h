#pragma once

#include "platform/KeySender.h"

// Records what would be typed and into which window, instead of typing it.
class HeadlessKeySender final : public KeySender {
    Q_OBJECT
public:
    explicit HeadlessKeySender(WindowSystem& windows, QObject* parent = nullptr)
        : KeySender(windows, parent), m_windows(windows) {}

    struct Delivery {
        WindowId window; // the window that had the focus when the keys went out
        KeyActions keys;
    };
    QList<Delivery> deliveries;
    // What each delivery reports: a test scripts a failing sending here.
    Result result = Result::Sent;
    // How long each sending waits before it looks at the focus.
    int settle = 0;

protected:
    void deliver(const KeyActions& keys) override;
    void abortDelivery() override {}
    int settleBeforeSending(const KeyActions&) override { return settle; }

private:
    WindowSystem& m_windows;
};
