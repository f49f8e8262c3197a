#include "platform/KeySender.h"

#include <QGuiApplication>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <memory>

KeySender::KeySender(WindowSystem& windows, QObject* parent) : QObject(parent), m_windows(windows) {}

void KeySender::send(WindowId target, const KeyActions& keys) {
    m_queue.push_back({target, keys});
    startNext();
}

void KeySender::startNext() {
    if (m_running || m_queue.empty())
        return;
    Request request = std::move(m_queue.front());
    m_queue.pop_front();
    m_running = true;
    // The wait lives in its own context so that cancel() can drop it without touching other timers.
    m_waitContext = new QObject(this);
    const int settle = std::max(settleBeforeSending(request.keys), 0);
    auto go = [this, keys = std::move(request.keys)](bool active) {
        if (!active) {
            complete(Result::NotActive);
            return;
        }
        m_delivering = true;
        deliver(keys);
    };
    auto activate = [this, target = request.target, go = std::move(go)] {
        if (target == 0)
            waitUntilOwnWindowsLeft(std::move(go));
        else
            m_windows.waitUntilActive(target, activationTimeoutMs, m_waitContext, go);
    };
    if (settle > 0 || request.target == 0)
        QTimer::singleShot(settle, m_waitContext, std::move(activate));
    else
        activate();
}

void KeySender::waitUntilOwnWindowsLeft(std::function<void(bool)> go) {
    // Our window or menu hides as the paste starts; the keys wait until the focus has left it (an event of the
    // platform plugin), bounded like an activation.
    if (!QGuiApplication::focusWindow()) {
        go(true);
        return;
    }
    auto decided = std::make_shared<bool>(false);
    auto decide = [decided, go = std::move(go)](bool timedOut) {
        const bool left = !QGuiApplication::focusWindow();
        if (*decided || (!left && !timedOut))
            return;
        *decided = true;
        go(left);
    };
    connect(
        qGuiApp, &QGuiApplication::focusWindowChanged, m_waitContext, [decide] { decide(false); });
    QTimer::singleShot(activationTimeoutMs, m_waitContext, [decide] { decide(true); });
}

void KeySender::complete(Result result) {
    if (!m_running)
        return;
    m_delivering = false;
    m_running = false;
    if (m_waitContext) {
        m_waitContext->deleteLater();
        m_waitContext = nullptr;
    }
    Q_EMIT finished(result);
    startNext();
}

void KeySender::cancel() {
    std::deque<Request> dropped;
    dropped.swap(m_queue);
    if (m_running) {
        if (m_delivering)
            abortDelivery();
        complete(Result::Cancelled);
    }
    // complete() may have started nothing new (the queue was emptied first); report the dropped ones.
    for (size_t i = 0; i < dropped.size(); ++i)
        Q_EMIT finished(Result::Cancelled);
}
