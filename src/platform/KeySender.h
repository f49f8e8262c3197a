#pragma once

#include "platform/KeyAction.h"
#include "platform/Platform.h"

#include <QObject>
#include <QString>

#include <deque>
#include <functional>

/**
 * @brief Sends keystrokes to another application as if typed by the user.
 *
 * send() queues one sending; they run one after another, each finished() in the order of send(). Before the
 * first key of a sending goes out, the target window must hold the focus (WindowSystem::hasFocus(); the wait is
 * bounded by activationTimeoutMs); without a target, the keys go to whichever window has the focus once no window
 * of this program has it (for a desktop where the program cannot activate other windows). Modifiers the user still
 * holds are let go first so that they do not change the keys; every modifier the sender presses is released again, also
 * when the sending fails or is cancelled. finished() comes once the keys have been delivered and given a moment to be
 * processed.
 */
class KeySender : public QObject {
    Q_OBJECT
public:
    enum class Result {
        Sent,      ///< every key was sent
        NotActive, ///< the target did not get the focus in time: nothing was sent
        Failed,    ///< the keys could not be produced (no key injection on this display)
        Cancelled, ///< cancel() or destruction stopped the sending part-way
    };
    Q_ENUM(Result)

    /// How long a sending waits for its target to hold the focus. Activation by the window manager took up to
    /// about 10 ms when measured; the margin covers a loaded machine.
    static constexpr int activationTimeoutMs = 1000;

    explicit KeySender(WindowSystem& windows, QObject* parent = nullptr);
    ~KeySender() override = default;

    /// What the backend can do.
    struct Capabilities {
        /// Keys can be sent at all.
        bool sendsKeys = true;
        /// Every character can be typed, whether the user's keyboard layout has it or not.
        bool typesAnyCharacter = true;
        /// The keys reach Wayland applications too, not only X11 ones.
        bool reachesWaylandWindows = false;
    };
    virtual Capabilities capabilities() const { return {}; }

    /// False when some character of keys would not come out as itself (the desktop types keysyms with the user's
    /// layout, which may lack it); the caller then pastes the text another way.
    virtual bool typesAll(const KeyActions& keys) const {
        Q_UNUSED(keys);
        return true;
    }
    /**
     * @brief Asks the user's consent to send keys, where the desktop wants it (a portal): token is what an
     * earlier consent returned, so that the desktop need not ask again. Nothing for a backend that needs none.
     */
    virtual void requestConsent(const QString& token) { Q_UNUSED(token); }
    /// Queues keys for target (0: whichever window has the focus once this program's windows have left it).
    void send(WindowId target, const KeyActions& keys);
    /// True while a sending runs or waits in the queue.
    bool isBusy() const { return m_running || !m_queue.empty(); }
    /// Stops the running sending (finished(Cancelled), modifiers released) and drops the queued ones
    /// (finished(Cancelled) each).
    void cancel();

Q_SIGNALS:
    void finished(KeySender::Result result);
    /// The desktop gave its consent and a token to offer next time (keep it: requestConsent()).
    void consentTokenReceived(const QString& token);
    /// The desktop refused or took back its consent: no key is sent from now on; reason says why.
    void consentLost(const QString& reason);

protected:
    /// Starts delivering keys to the focused window; the backend calls complete() exactly once afterwards,
    /// possibly from a later event-loop turn.
    virtual void deliver(const KeyActions& keys) = 0;
    /// Stops a delivery in progress and releases what it holds; complete() is not called afterwards.
    virtual void abortDelivery() = 0;
    /// How long the sending waits before it makes sure of the target's focus (0: not at all), so that a window
    /// the user moves to meanwhile never gets the keys.
    virtual int settleBeforeSending(const KeyActions& keys) {
        Q_UNUSED(keys);
        return 0;
    }
    void complete(Result result);

private:
    struct Request {
        WindowId target;
        KeyActions keys;
    };
    void startNext();
    void waitUntilOwnWindowsLeft(std::function<void(bool)> go);

    WindowSystem& m_windows;
    std::deque<Request> m_queue;
    bool m_running = false;
    bool m_delivering = false;
    QObject* m_waitContext = nullptr;
};
