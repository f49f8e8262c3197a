// Paste benchmark on an X server of its own (Xvfb + openbox, started and ended here by process id):
//  - typing throughput of 2,000-character texts key by key into a Tk window, checked character for character;
//  - hotkey-release-to-paste latency: a hotkey pressed and released by synthesized keys, the release waited
//    for, the last window brought back and Control+V sent, until Tk sees the paste (median and worst of 200);
//  - what the idle program costs: context switches and processor time over 5 s with the active-window
//    tracking, the hotkey grabs and the last-window record in place.
// Prints figures; asserts nothing about time. "--display" uses $DISPLAY instead of a session of its own.

#include "TkWindow.h"
#include "paste/KeystrokeParser.h"
#include "paste/KeystrokeText.h"
#include "paste/LastWindowRecord.h"
#include "platform/HotkeyReleaseWaiter.h"
#include "platform/PlatformServices.h"
#include "platform/x11/X11KeySender.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QMap>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int kStartTimeoutMs = 15000;
constexpr int kWaitTimeoutMs = 30000;
constexpr int kLatencyRuns = 200;
constexpr int kIdleSeconds = 5;

qint64 wallMicroseconds() {
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// Xvfb and openbox for the benchmark's own display; both end with this object (or with the benchmark, through
// the parent-death signal), each by its own process id.
class XSession {
public:
    ~XSession() {
        stop(m_openbox);
        stop(m_xvfb);
    }

    bool start() {
        int fds[2];
        if (pipe(fds) != 0)
            return false;
        m_xvfb = spawn(
            {"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", "1280x800x24", "-nolisten", "tcp"}, fds[1]);
        close(fds[1]);
        std::string number;
        QElapsedTimer clock;
        clock.start();
        while (number.find('\n') == std::string::npos && clock.elapsed() < kStartTimeoutMs) {
            pollfd p{fds[0], POLLIN, 0};
            if (poll(&p, 1, 100) > 0) {
                char buffer[16];
                const ssize_t n = read(fds[0], buffer, sizeof buffer);
                if (n <= 0)
                    break;
                number.append(buffer, size_t(n));
            }
        }
        close(fds[0]);
        if (number.find('\n') == std::string::npos)
            return false;
        const std::string display = ":" + number.substr(0, number.find('\n'));
        setenv("DISPLAY", display.c_str(), 1);
        m_openbox = spawn({"openbox", "--sm-disable", "--config-file", OPENBOX_RC}, -1);
        while (clock.elapsed() < kStartTimeoutMs) {
            if (FILE* f = popen("xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null", "r")) {
                char line[256] = {};
                const bool ready = fgets(line, sizeof line, f) && strstr(line, "window id #");
                pclose(f);
                if (ready)
                    return true;
            }
            usleep(50000);
        }
        return false;
    }

private:
    static pid_t spawn(const std::vector<std::string>& argv, int keepFd) {
        const pid_t pid = fork();
        if (pid == 0) {
            prctl(PR_SET_PDEATHSIG, SIGTERM);
            const int null = open("/dev/null", O_RDWR);
            dup2(null, STDIN_FILENO);
            dup2(null, STDOUT_FILENO);
            dup2(null, STDERR_FILENO);
            (void)keepFd; // stays open across exec: Xvfb writes its display number there
            std::vector<char*> args;
            for (const std::string& a : argv)
                args.push_back(const_cast<char*>(a.c_str()));
            args.push_back(nullptr);
            execvp(args[0], args.data());
            _exit(127);
        }
        return pid;
    }

    static void stop(pid_t pid) {
        if (pid <= 0)
            return;
        kill(pid, SIGTERM);
        for (int i = 0; i < 50; ++i) {
            if (waitpid(pid, nullptr, WNOHANG) == pid)
                return;
            usleep(100000);
        }
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }

    pid_t m_xvfb = -1;
    pid_t m_openbox = -1;
};

// Context switches of each thread of this process (by thread name) and the process's processor time.
struct Usage {
    QMap<QString, qint64> switches;
    double cpuSeconds = 0;

    static Usage now() {
        Usage u;
        const QStringList tasks = QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        for (const QString& task : tasks) {
            QFile comm(QStringLiteral("/proc/self/task/%1/comm").arg(task));
            QFile status(QStringLiteral("/proc/self/task/%1/status").arg(task));
            if (!comm.open(QIODevice::ReadOnly) || !status.open(QIODevice::ReadOnly))
                continue;
            const QString name = QString::fromUtf8(comm.readAll().trimmed()) + QLatin1Char('/') + task;
            for (const QByteArray& line : status.readAll().split('\n'))
                if (line.startsWith("voluntary_ctxt_switches:") || line.startsWith("nonvoluntary_ctxt_switches:"))
                    u.switches[name] += line.mid(line.indexOf(':') + 1).trimmed().toLongLong();
        }
        QFile stat(QStringLiteral("/proc/self/stat"));
        if (stat.open(QIODevice::ReadOnly)) {
            const QList<QByteArray> fields = stat.readAll().split(')').last().split(' ');
            // After the command name: state is field 1, utime field 12 and stime field 13 (clock ticks).
            u.cpuSeconds = double(fields.value(12).toLongLong() + fields.value(13).toLongLong()) / sysconf(_SC_CLK_TCK);
        }
        return u;
    }
};

QString makeText(const QStringList& sentences, int length) {
    QString text;
    for (int i = 0; text.size() < length; ++i)
        text += sentences.at(i % sentences.size());
    text.truncate(length);
    if (text.back().isHighSurrogate())
        text.chop(1);
    return text;
}

int wrongCharacters(const QString& got, const QString& expected) {
    int wrong = int(std::abs(got.size() - expected.size()));
    for (qsizetype i = 0; i < std::min(got.size(), expected.size()); ++i)
        wrong += got.at(i) != expected.at(i);
    return wrong;
}

void typingBenchmark(PlatformServices& services, TkWindow& tk, WindowId target) {
    const QString czech = QStringLiteral("Příliš žluťoučký kůň úpěl ďábelské ódy. Šťastné ženy běží přes ňadro řeky. ");
    const QString greek = QStringLiteral("Ξεσκεπάζω την ψυχοφθόρα βδελυγμία. ");
    const QString russian = QStringLiteral("Съешь же ещё этих мягких французских булок да выпей чаю. ");
    const struct {
        const char* name;
        QString text;
    } cases[] = {
        {"Czech text (fits the spare keys at once)", makeText({czech}, 2000)},
        {"Czech, Greek and Cyrillic (spare keys lent again and again)", makeText({czech, greek, russian}, 2000)},
    };
    std::printf("\nTyping key by key into Tk (2,000 characters each, 3 runs)\n");
    for (const auto& c : cases) {
        std::printf("  %s\n", c.name);
        for (int run = 1; run <= 3; ++run) {
            if (!tk.clear()) {
                std::printf("    the Tk window did not clear\n");
                return;
            }
            QString keys = c.text;
            EscapeKeystrokes(keys);
            const KeystrokeParseResult parsed = KeystrokeParser::parse(keys);
            QSignalSpy finished(services.keys.get(), &KeySender::finished);
            QElapsedTimer clock;
            clock.start();
            services.keys->send(target, parsed.actions);
            (void)QTest::qWaitFor([&] { return finished.count() > 0; }, kWaitTimeoutMs);
            const qint64 sentMs = clock.elapsed();
            (void)QTest::qWaitFor([&] { return tk.text() == c.text; }, kWaitTimeoutMs);
            const qint64 seenMs = clock.elapsed();
            const QString got = tk.text();
            const auto result = finished.isEmpty() ? -1 : int(finished.first().first().value<KeySender::Result>());
            std::printf("    run %d: sent in %5lld ms = %6.0f chars/s; all in Tk after %5lld ms = %6.0f chars/s; "
                        "wrong characters: %d%s\n",
                        run, sentMs, c.text.size() * 1000.0 / std::max<qint64>(sentMs, 1), seenMs,
                        c.text.size() * 1000.0 / std::max<qint64>(seenMs, 1), wrongCharacters(got, c.text),
                        result == int(KeySender::Result::Sent) ? "" : " (sending did not finish as sent)");
            if (got != c.text) {
                qsizetype at = 0;
                while (at < got.size() && at < c.text.size() && got.at(at) == c.text.at(at))
                    ++at;
                std::printf("      first difference at %lld: expected \"%s\", got \"%s\"\n", qlonglong(at),
                            qPrintable(c.text.mid(std::max<qsizetype>(0, at - 10), 30)),
                            qPrintable(got.mid(std::max<qsizetype>(0, at - 10), 30)));
            }
        }
    }
}

void latencyBenchmark(PlatformServices& services, TkWindow& tk, LastWindowRecord& record, _XDisplay* display) {
    std::printf("\nHotkey release to paste (Control+Alt+P pressed and released by synthesized keys, %d runs)\n",
                kLatencyRuns);
    constexpr int kId = 3;
    if (!services.hotkeys->registerHotkey(kId, 3, 'P')) {
        std::printf("  Control+Alt+P could not be registered\n");
        return;
    }
    QGuiApplication::clipboard()->setText(QStringLiteral("x"));
    tk.clear();
    HotkeyReleaseWaiter waiter(
        *services.hotkeys, [] { return false; }, HotkeyReleaseWaiter::ExitCheck::ExitFirst);
    qint64 pressedAt = 0, releasedAt = 0, pasteStartedAt = 0;
    QObject::connect(services.hotkeys.get(), &HotkeySystem::hotkeyPressed, &waiter, [&](int id) {
        pressedAt = wallMicroseconds();
        if (id == kId)
            waiter.start(1, 3, 'P');
    });
    QObject::connect(&waiter, &HotkeyReleaseWaiter::released, &waiter, [&] {
        releasedAt = wallMicroseconds();
        if (record.ActivateLastApplication()) {
            services.keys->send(record.activatedWindow(), KeystrokeParser::parse(QStringLiteral("^{v}")).actions);
            pasteStartedAt = wallMicroseconds();
        }
    });
    // The user's keys come from a sender of their own, so the paste does not queue behind them.
    X11KeySender user(display, *services.windows);
    const KeyActions press = KeystrokeParser::parse(QStringLiteral("^%p")).actions;
    QList<double> latencies, toPress, toRelease, toKeys;
    int lost = 0;
    for (int i = 0; i < kLatencyRuns; ++i) {
        const auto pastesBefore = tk.pasteTimes().size();
        const qint64 start = wallMicroseconds();
        user.send(0, press);
        if (!QTest::qWaitFor([&] { return tk.pasteTimes().size() > pastesBefore; }, 5000)) {
            ++lost;
            continue;
        }
        latencies.append((tk.pasteTimes().last() - start) / 1000.0);
        toPress.append((pressedAt - start) / 1000.0);
        toRelease.append((releasedAt - pressedAt) / 1000.0);
        toKeys.append((tk.pasteTimes().last() - pasteStartedAt) / 1000.0);
        QTest::qWait(10);
    }
    services.hotkeys->unregisterHotkey(kId);
    for (QList<double>* list : {&latencies, &toPress, &toRelease, &toKeys})
        std::sort(list->begin(), list->end());
    if (latencies.isEmpty()) {
        std::printf("  no paste arrived\n");
        return;
    }
    std::printf("  median %.1f ms, 90th percentile %.1f ms, worst %.1f ms, best %.1f ms; pastes lost: %d\n",
                latencies.at(latencies.size() / 2), latencies.at(latencies.size() * 9 / 10), latencies.last(),
                latencies.first(), lost);
    std::printf("  (from sending the synthesized press and release to Tk's paste event)\n");
    std::printf("  medians of the stages: hotkey press seen %.1f ms after sending it; release seen %.1f ms later;\n"
                "  paste keys (activation check, Control+V) in Tk %.1f ms after the paste was started\n",
                toPress.at(toPress.size() / 2), toRelease.at(toRelease.size() / 2), toKeys.at(toKeys.size() / 2));
}

void idleBenchmark() {
    std::printf("\nIdle cost over %d s (active-window tracking, hotkey grabs and the record in place)\n", kIdleSeconds);
    const Usage before = Usage::now();
    QEventLoop idle;
    QTimer::singleShot(kIdleSeconds * 1000, &idle, &QEventLoop::quit);
    idle.exec();
    const Usage after = Usage::now();
    qint64 total = 0;
    QStringList busy;
    for (auto it = after.switches.cbegin(); it != after.switches.cend(); ++it) {
        const qint64 n = it.value() - before.switches.value(it.key());
        total += n;
        if (n > 0)
            busy << QStringLiteral("%1 %2/s").arg(it.key()).arg(double(n) / kIdleSeconds, 0, 'f', 1);
    }
    std::printf("  context switches: %.1f per second (%s); processor time: %.1f ms per second\n",
                double(total) / kIdleSeconds, qPrintable(busy.join(QStringLiteral(", "))),
                (after.cpuSeconds - before.cpuSeconds) * 1000.0 / kIdleSeconds);
}

} // namespace

int main(int argc, char** argv) {
    const bool useDisplay = argc > 1 && qstrcmp(argv[1], "--display") == 0;
    XSession session;
    QTemporaryDir runtime;
    if (!useDisplay) {
        unsetenv("WAYLAND_DISPLAY");
        unsetenv("DBUS_SESSION_BUS_ADDRESS");
        QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        setenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit().constData(), 1);
        if (!session.start()) {
            std::fprintf(stderr, "could not start Xvfb and openbox\n");
            return 1;
        }
    }
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    QApplication app(argc, argv);
    PlatformServices services = createPlatformServices();
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->display()) {
        std::fprintf(stderr, "no X11 display\n");
        return 1;
    }
    std::printf("Paste benchmark on display %s\n", qgetenv("DISPLAY").constData());

    TkWindow tk(QStringLiteral(PROBE_TARGET_SCRIPT), QStringLiteral("BenchTarget"));
    if (!QTest::qWaitFor([&] { return tk.isReady(); }, kStartTimeoutMs) ||
        !QTest::qWaitFor(
            [&] {
                return services.windows->windowTitle(services.windows->foregroundWindow()) ==
                       QStringLiteral("BenchTarget");
            },
            kStartTimeoutMs)) {
        std::fprintf(stderr, "the Tk window did not come up\n");
        return 1;
    }
    const WindowId target = services.windows->foregroundWindow();
    LastWindowRecord record(*services.windows, nullptr);
    record.start();
    for (int id = 7; id <= 36; ++id) // the clip hotkeys as the program holds them
        services.hotkeys->registerHotkey(id, id <= 16 ? 2 : (id <= 26 ? 6 : 3), '0' + (id - 6) % 10);
    idleBenchmark();

    typingBenchmark(services, tk, target);
    latencyBenchmark(services, tk, record, x11->display());
    services.keys.reset();
    return 0;
}
