#include "platform/MenuPopup.h"

#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QMenu>
#include <QTimer>
#include <QWindow>

#include <memory>

namespace {

// How often and how long a popped-up menu asks again for the keyboard and pointer grab.
constexpr int GrabRetryMs = 10;
constexpr int GrabRetryLimitMs = 3000;

void holdInputWhileOpen(QMenu* menu) {
    struct State {
        QDeadlineTimer deadline{GrabRetryLimitMs};
        bool keyboard = false;
    };
    auto state = std::make_shared<State>();
    auto tryGrab = [menu, state]() {
        QWindow* window = menu->windowHandle();
        if (!window || !menu->isVisible() || state->deadline.hasExpired())
            return true;
        if (!state->keyboard)
            state->keyboard = window->setKeyboardGrabEnabled(true);
        if (!state->keyboard || !window->setMouseGrabEnabled(true))
            return false;
        // Taken here rather than by the popup itself, the grab is also given back here.
        QObject::connect(
            menu, &QMenu::aboutToHide, menu,
            [menu] {
                if (QWindow* w = menu->windowHandle()) {
                    w->setMouseGrabEnabled(false);
                    w->setKeyboardGrabEnabled(false);
                }
            },
            Qt::SingleShotConnection);
        return true;
    };
    if (tryGrab())
        return;
    auto* retry = new QTimer(menu);
    retry->setInterval(GrabRetryMs);
    QObject::connect(retry, &QTimer::timeout, menu, [retry, tryGrab] {
        if (tryGrab())
            retry->deleteLater();
    });
    retry->start();
}

void reopenAfterLateDeactivation(QMenu* menu, QPoint at) {
    if (QGuiApplication::applicationState() != Qt::ApplicationActive)
        return;
    QObject::connect(
        menu, &QMenu::aboutToHide, menu,
        [menu, at] {
            if (QGuiApplication::applicationState() == Qt::ApplicationActive)
                return;
            QTimer::singleShot(0, menu, [menu, at] {
                menu->popup(at);
                holdInputWhileOpen(menu);
            });
        },
        Qt::SingleShotConnection);
}

} // namespace

namespace MenuPopup {

void popUp(QMenu* menu, QPoint at) {
    menu->popup(at);
    holdInputWhileOpen(menu);
    reopenAfterLateDeactivation(menu, at);
}

} // namespace MenuPopup
