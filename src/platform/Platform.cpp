#include "platform/Platform.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QTimer>

#include <memory>

#include <pwd.h>
#include <unistd.h>

namespace {
// Activation by the window manager completes within a few milliseconds; polling at this pace sees it soon
// after without keeping the processor busy, and the wait as a whole is bounded by the caller's timeout.
constexpr int kFocusPollMs = 2;

double twipsFor(double dpi) {
    return dpi > 0 ? 1440.0 / dpi : 15.0;
}
} // namespace

double WindowSystem::twipsPerPixelX() const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return twipsFor(screen ? screen->logicalDotsPerInchX() : 96);
}

double WindowSystem::twipsPerPixelY() const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return twipsFor(screen ? screen->logicalDotsPerInchY() : 96);
}

QString WindowSystem::userName() const {
    if (const passwd* pw = getpwuid(geteuid()); pw && pw->pw_name)
        return QString::fromLocal8Bit(pw->pw_name);
    return qEnvironmentVariable("USER");
}

void WindowSystem::waitUntilActive(WindowId window, int timeoutMs, QObject* context, std::function<void(bool)> done) {
    auto* timer = new QTimer(context ? context : this);
    timer->setInterval(0); // the first look comes on the next event-loop turn
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    const bool events = capabilities().focusEvents;
    auto look = [this, timer, window, timeoutMs, clock, events, done = std::move(done)] {
        if (!timer->isActive())
            return; // decided already
        const bool active = window != 0 && hasFocus(window);
        if (!active && clock->elapsed() < timeoutMs) {
            // With focus events, the next look comes with the next change, or at the timeout.
            timer->setInterval(events ? int(timeoutMs - clock->elapsed()) : kFocusPollMs);
            return;
        }
        timer->stop();
        timer->deleteLater();
        done(active);
    };
    if (events)
        connect(this, &WindowSystem::foregroundWindowChanged, timer, look);
    connect(timer, &QTimer::timeout, timer, std::move(look));
    timer->start();
}
