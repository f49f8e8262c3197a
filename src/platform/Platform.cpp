#include "platform/Platform.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>

#include <memory>

namespace {
// Activation by the window manager completes within a few milliseconds; polling at this pace sees it soon
// after without keeping the processor busy, and the wait as a whole is bounded by the caller's timeout.
constexpr int kFocusPollMs = 2;
} // namespace

void WindowSystem::waitUntilActive(WindowId window, int timeoutMs, QObject* context, std::function<void(bool)> done) {
    auto* timer = new QTimer(context ? context : this);
    timer->setInterval(0); // the first look comes on the next event-loop turn
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    connect(timer, &QTimer::timeout, timer, [this, timer, window, timeoutMs, clock, done = std::move(done)] {
        const bool active = window != 0 && hasFocus(window);
        if (!active && clock->elapsed() < timeoutMs) {
            timer->setInterval(kFocusPollMs);
            return;
        }
        timer->stop();
        timer->deleteLater();
        done(active);
    });
    timer->start();
}
