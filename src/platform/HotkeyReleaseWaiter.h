#pragma once

#include <QList>
#include <QObject>
#include <QTimer>

#include <functional>

class HotkeySystem;

// Waits until every key of a hotkey is up before its action runs: keys sent while the user still holds the
// combination would go to our own key grab or carry the held modifiers. The keys are looked at once the pending
// events have run, and again at every key release the platform reports (where it cannot report them, at a
// short interval); the event loop runs freely meanwhile. A waiter is also its handler's busy flag: while it
// waits, another start() is refused, so a hotkey pressed again (or repeating) does not queue a second action.
class HotkeyReleaseWaiter final : public QObject {
    Q_OBJECT
public:
    // When the program starts exiting, the wait ends without released(), and the waiter stays busy.
    //  - ExitWhileKeysDown: ProgramExiting is looked at only while a key is still down, so keys already up
    //    let the action run (the paste-next handler);
    //  - ExitFirst: ProgramExiting is looked at before the keys on every turn (the clip hotkey handler).
    // A reported release ends the wait of an exiting program in both cases: a key was down until that moment.
    enum class ExitCheck { ExitWhileKeysDown, ExitFirst };

    HotkeyReleaseWaiter(HotkeySystem& hotkeys, std::function<bool()> programExiting, ExitCheck exitCheck,
                        QObject* parent = nullptr);
    ~HotkeyReleaseWaiter() override;

    // Starts waiting for the keys of hotkey id, whose combination is (modifierCode, virtualKey). False, and
    // nothing started, when the program is exiting or a wait already runs.
    bool start(int id, int modifierCode, int virtualKey);
    // Starts waiting until no key of the keyboard is down: for an action whose keys are not known, such as a
    // desktop shortcut that ran the command line. Refused like start().
    bool startForEveryKey();
    bool isBusy() const { return m_busy; }

    // How often the keys are looked at while one is down, on a platform that does not report key releases:
    // short enough that the action follows the release without a noticeable delay (2.5 ms on average), long
    // enough to cost nothing worth measuring.
    static constexpr int pollIntervalMs = 5;

Q_SIGNALS:
    // Every key is up: run the action now. The waiter is free again once the connected slots have returned.
    void released();

private:
    void check();
    void onKeyReleased();
    void stopWatching();
    bool anyKeyDown() const;

    HotkeySystem& m_hotkeys;
    std::function<bool()> m_programExiting;
    ExitCheck m_exitCheck;
    int m_id = 0;
    int m_modifierCode = 0;
    int m_virtualKey = 0;
    bool m_everyKey = false;
    QTimer m_timer;
    bool m_busy = false;
    bool m_watching = false; // the platform reports key releases to this wait
};
