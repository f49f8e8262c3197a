// Times a program's start as a user sees it: from the fork to the X event after which its first window is
// viewable on the screen ("window") or its tray icon is docked and viewable in the tray host ("tray"). The probe
// waits for the server's events (structure changes on the root window and on the program's windows); it never
// polls. It then lets the program settle, reads its memory, and ends it (and the processes it started) by id.
//
//   startup_probe tray|window SETTLE_MS [--log FILE] -- PROGRAM [ARGUMENTS...]
//
// Prints one line: "ms <fork to event> cpu_ms <processor time of the program until then> hwm_kib <peak resident>
// rss_kib <resident> tree_rss_kib <resident of the program and its descendants>", or "failed <reason>" with exit
// status 1.

#include <X11/Xlib-xcb.h>
#include <X11/Xlib.h>
#include <xcb/xcb.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <set>
#include <signal.h>
#include <sstream>
#include <string>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kEventTimeoutMs = 30000;
constexpr int kExitTimeoutMs = 10000;

double nowMs() {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

int fail(const std::string& reason) {
    std::printf("failed %s\n", reason.c_str());
    return 1;
}

long statusKib(pid_t pid, const char* field) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    const std::string prefix = std::string(field) + ":";
    while (std::getline(status, line))
        if (line.rfind(prefix, 0) == 0)
            return std::strtol(line.c_str() + prefix.size(), nullptr, 10);
    return 0;
}

pid_t parentOf(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const auto close = text.rfind(')');
    if (close == std::string::npos)
        return 0;
    std::istringstream rest(text.substr(close + 2));
    std::string state;
    pid_t parent = 0;
    rest >> state >> parent;
    return parent;
}

// The program and every process below it (a peer may start helper processes).
std::vector<pid_t> processTree(pid_t root) {
    std::vector<pid_t> tree{root};
    std::vector<std::pair<pid_t, pid_t>> all;
    if (DIR* proc = opendir("/proc")) {
        while (dirent* entry = readdir(proc)) {
            const pid_t pid = pid_t(std::atoi(entry->d_name));
            if (pid > 0)
                all.emplace_back(pid, parentOf(pid));
        }
        closedir(proc);
    }
    for (size_t i = 0; i < tree.size(); ++i)
        for (const auto& [pid, parent] : all)
            if (parent == tree[i])
                tree.push_back(pid);
    return tree;
}

// Processor time the process has used so far, all its threads together, in milliseconds: the work of the
// start, whatever the machine's load did to the wall-clock time.
double cpuMs(pid_t pid) {
    double total = 0;
    const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
    if (DIR* dir = opendir(tasks.c_str())) {
        while (dirent* entry = readdir(dir)) {
            if (entry->d_name[0] == '.')
                continue;
            std::ifstream stat(tasks + "/" + entry->d_name + "/schedstat");
            double ns = 0;
            if (stat >> ns)
                total += ns / 1e6;
        }
        closedir(dir);
    }
    return total;
}

void endTree(pid_t child) {
    const std::vector<pid_t> tree = processTree(child);
    for (pid_t pid : tree)
        kill(pid, SIGTERM);
    const double deadline = nowMs() + kExitTimeoutMs;
    while (nowMs() < deadline) {
        if (waitpid(child, nullptr, WNOHANG) == child)
            break;
        usleep(20000);
    }
    for (pid_t pid : tree)
        kill(pid, SIGKILL); // harmless for those already gone; their ids are not reused this quickly
    waitpid(child, nullptr, WNOHANG);
}

class Probe {
public:
    Probe(Display* d, bool tray, pid_t child) : m_display(d), m_tray(tray), m_child(child) {
        m_pidAtom = XInternAtom(d, "_NET_WM_PID", False);
        m_root = DefaultRootWindow(d);
        m_clientMask = ~xcb_get_setup(XGetXCBConnection(d))->resource_id_mask;
        const Window owner = XGetSelectionOwner(d, XInternAtom(d, "_NET_SYSTEM_TRAY_S0", False));
        m_trayClient = owner ? (owner & m_clientMask) : ~0ul;
    }

    // True once the looked-for window is viewable.
    bool handle(const XEvent& e) {
        Window w = None;
        if (e.type == ReparentNotify) {
            w = e.xreparent.window;
            const bool intoTray = (e.xreparent.parent & m_clientMask) == m_trayClient;
            if (m_tray ? intoTray : (!intoTray && ownedByChild(w)))
                watch(w);
        } else if (e.type == MapNotify) {
            // A frame of the window manager mapped (on the root), or one of the watched windows itself.
            if (e.xmap.event == m_root && !m_tray && !m_candidates.count(e.xmap.window) && ownedByChild(e.xmap.window))
                watch(e.xmap.window);
        } else {
            return false;
        }
        for (Window c : m_candidates)
            if (viewable(c))
                return true;
        return false;
    }

private:
    bool ownedByChild(Window w) {
        Atom type = None;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        bool ours = false;
        if (XGetWindowProperty(m_display, w, m_pidAtom, 0, 1, False, AnyPropertyType, &type, &format, &count, &after,
                               &data) == Success &&
            data && format == 32 && count == 1)
            ours = pid_t(*reinterpret_cast<unsigned long*>(data)) == m_child;
        if (data)
            XFree(data);
        return ours;
    }

    void watch(Window w) {
        if (m_candidates.insert(w).second)
            XSelectInput(m_display, w, StructureNotifyMask);
    }

    bool viewable(Window w) {
        XWindowAttributes a;
        return XGetWindowAttributes(m_display, w, &a) && a.map_state == IsViewable;
    }

    Display* m_display;
    bool m_tray;
    pid_t m_child;
    Atom m_pidAtom;
    Window m_root;
    unsigned long m_clientMask;
    unsigned long m_trayClient;
    std::set<Window> m_candidates;
};

int ignoreErrors(Display*, XErrorEvent*) {
    return 0; // a window gone between its event and our question
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 5)
        return fail("usage: startup_probe tray|window SETTLE_MS [--log FILE] -- PROGRAM [ARGUMENTS...]");
    const bool tray = std::strcmp(argv[1], "tray") == 0;
    const int settleMs = std::atoi(argv[2]);
    int i = 3;
    const char* log = "/dev/null";
    if (std::strcmp(argv[i], "--log") == 0 && i + 1 < argc) {
        log = argv[i + 1];
        i += 2;
    }
    if (i >= argc || std::strcmp(argv[i], "--") != 0 || i + 1 >= argc)
        return fail("no program");
    char** program = argv + i + 1;

    Display* d = XOpenDisplay(nullptr);
    if (!d)
        return fail("no display");
    XSetErrorHandler(ignoreErrors);
    XSelectInput(d, DefaultRootWindow(d), SubstructureNotifyMask);
    XSync(d, False);

    const double started = nowMs();
    const pid_t child = fork();
    if (child == 0) {
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        const int out = open(log, O_WRONLY | O_CREAT | O_APPEND, 0600);
        if (out >= 0) {
            dup2(out, STDOUT_FILENO);
            dup2(out, STDERR_FILENO);
        }
        execvp(program[0], program);
        _exit(127);
    }
    if (child < 0)
        return fail("fork");

    Probe probe(d, tray, child);
    double seen = -1;
    // The server's events and the program's end wake the probe; nothing else does.
    const int childFd = int(syscall(SYS_pidfd_open, child, 0));
    pollfd p[2] = {{ConnectionNumber(d), POLLIN, 0}, {childFd, POLLIN, 0}};
    while (seen < 0) {
        while (seen < 0 && XPending(d)) {
            XEvent e;
            XNextEvent(d, &e);
            const double at = nowMs();
            if (probe.handle(e))
                seen = at;
        }
        if (seen >= 0)
            break;
        const int left = int(started + kEventTimeoutMs - nowMs());
        if (left <= 0 || waitpid(child, nullptr, WNOHANG) == child) {
            endTree(child);
            return fail(left <= 0 ? "timeout" : "the program ended");
        }
        if (poll(p, childFd >= 0 ? 2 : 1, left) < 0 && errno != EINTR)
            return fail("poll");
    }
    const double cpu = cpuMs(child);
    XCloseDisplay(d);
    if (childFd >= 0)
        close(childFd);

    usleep(useconds_t(settleMs) * 1000);
    long treeRss = 0;
    for (pid_t pid : processTree(child))
        treeRss += statusKib(pid, "VmRSS");
    std::printf("ms %.2f cpu_ms %.2f hwm_kib %ld rss_kib %ld tree_rss_kib %ld\n", seen - started, cpu,
                statusKib(child, "VmHWM"), statusKib(child, "VmRSS"), treeRss);
    std::fflush(stdout);
    endTree(child);
    return 0;
}
