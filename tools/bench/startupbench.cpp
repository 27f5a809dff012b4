// startupbench: start-up time and memory of the tool against plainwindow, a
// bare Qt main window of the same size built beside it.
//
// Each program is launched N times, in turns (ABBA, so a drift of the machine
// weighs on both alike), with a fresh HOME and XDG_CONFIG_HOME (the tool starts
// with default settings) and QT_QPA_PLATFORM=xcb, under the X server of
// DISPLAY. Run it under a server without a window manager:
//
//     xvfb-run -a build/tools/bench/startupbench [--runs 10] [--settle 1000]
//
// With --keep-settings each program keeps one home for all its launches, so
// every counted launch is a start after the first.
//
// Start-up is the time from the launch (just before posix_spawn) to the first
// MapNotify of a top-level window whose _NET_WM_PID is the child's pid: the
// bench selects SubstructureNotify on the root window, so the X server tells
// it the moment it maps the window. Memory: after the window is mapped, the
// bench waits a fixed settle time (default 1 s) for the event loop to finish
// the work queued at start-up, then reads VmRSS (/proc/PID/status) and Pss
// (/proc/PID/smaps_rollup), and kills the child. It prints every run, the
// medians and the ratios against the goal (1.1x).

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <xcb/xcb.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace {

constexpr double Goal = 1.1;
constexpr int MapTimeoutMs = 30000;

qint64 nowNs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

// A descriptor that becomes readable when the process ends (-1 where the
// kernel has no pidfd: a child that dies before mapping then costs the
// time-out instead of ending the wait at once).
int openPidFd(pid_t pid)
{
#ifdef SYS_pidfd_open
    return int(syscall(SYS_pidfd_open, pid, 0));
#else
    Q_UNUSED(pid);
    return -1;
#endif
}

// The X server's reports of windows mapped on the root window.
class MapWatch
{
public:
    ~MapWatch()
    {
        if (m_conn)
            xcb_disconnect(m_conn);
    }

    bool open()
    {
        m_conn = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(m_conn))
            return false;
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_conn)).data->root;
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(m_conn, m_root, XCB_CW_EVENT_MASK, &mask);
        const char name[] = "_NET_WM_PID";
        xcb_intern_atom_reply_t *atom = xcb_intern_atom_reply(
            m_conn, xcb_intern_atom(m_conn, 0, sizeof name - 1, name), nullptr);
        if (!atom)
            return false;
        m_pidAtom = atom->atom;
        free(atom);
        xcb_flush(m_conn);
        return true;
    }

    // Forgets what was reported before a launch.
    void drain()
    {
        while (xcb_generic_event_t *event = xcb_poll_for_event(m_conn))
            free(event);
    }

    // The time of the first map of a top-level window of `pid`, or -1 when
    // the child ends or nothing comes within the time-out.
    qint64 waitMapped(pid_t pid, int pidFd)
    {
        const qint64 deadline = nowNs() + qint64(MapTimeoutMs) * 1000000;
        for (;;) {
            while (xcb_generic_event_t *event = xcb_poll_for_event(m_conn)) {
                const qint64 at = nowNs();
                const bool mapped = (event->response_type & 0x7f) == XCB_MAP_NOTIFY;
                const auto *map = reinterpret_cast<xcb_map_notify_event_t *>(event);
                const bool ours = mapped && !map->override_redirect
                                  && pidOf(map->window) == quint32(pid);
                free(event);
                if (ours)
                    return at;
            }
            if (xcb_connection_has_error(m_conn))
                return -1;
            const qint64 left = (deadline - nowNs()) / 1000000;
            if (left <= 0)
                return -1;
            pollfd fds[2] = {{xcb_get_file_descriptor(m_conn), POLLIN, 0}, {pidFd, POLLIN, 0}};
            if (poll(fds, pidFd >= 0 ? 2 : 1, int(left)) < 0 && errno != EINTR)
                return -1;
            if (pidFd >= 0 && (fds[1].revents & POLLIN))
                return -1;
        }
    }

private:
    quint32 pidOf(xcb_window_t window)
    {
        xcb_get_property_reply_t *reply = xcb_get_property_reply(
            m_conn, xcb_get_property(m_conn, 0, window, m_pidAtom, XCB_ATOM_CARDINAL, 0, 1),
            nullptr);
        quint32 pid = 0;
        if (reply && reply->format == 32 && xcb_get_property_value_length(reply) >= 4)
            std::memcpy(&pid, xcb_get_property_value(reply), 4);
        free(reply);
        return pid;
    }

    xcb_connection_t *m_conn = nullptr;
    xcb_window_t m_root = 0;
    xcb_atom_t m_pidAtom = 0;
};

// The number (kB) after `key` in a /proc file of "Key:  value kB" lines.
qint64 procField(const QString &path, const QByteArray &key)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> lines = file.readAll().split('\n');
    for (const QByteArray &line : lines) {
        if (line.startsWith(key + ':'))
            return line.mid(key.size() + 1).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

struct Sample
{
    double startMs = 0;
    qint64 rssKb = 0;
    qint64 pssKb = 0;
};

struct Program
{
    QString name;
    QString path;
    std::vector<Sample> samples;
    // The home every launch shares with --keep-settings.
    std::unique_ptr<QTemporaryDir> keptHome;
};

// One launch of `program` with a fresh home (or its kept one); false when it
// never showed its window.
bool measure(MapWatch &watch, Program &program, int settleMs)
{
    std::unique_ptr<QTemporaryDir> freshHome;
    if (!program.keptHome)
        freshHome = std::make_unique<QTemporaryDir>();
    const QTemporaryDir &home = program.keptHome ? *program.keptHome : *freshHome;
    if (!home.isValid())
        return false;
    const QByteArray homePath = QFile::encodeName(home.path());
    const QByteArray configPath = homePath + "/.config";
    QDir().mkpath(QFile::decodeName(configPath));

    std::vector<QByteArray> env;
    for (char **e = environ; *e; ++e) {
        const QByteArray entry(*e);
        if (!entry.startsWith("HOME=") && !entry.startsWith("XDG_CONFIG_HOME=")
            && !entry.startsWith("QT_QPA_PLATFORM="))
            env.push_back(entry);
    }
    env.push_back("HOME=" + homePath);
    env.push_back("XDG_CONFIG_HOME=" + configPath);
    env.push_back("QT_QPA_PLATFORM=xcb");
    std::vector<char *> envp;
    for (QByteArray &entry : env)
        envp.push_back(entry.data());
    envp.push_back(nullptr);
    QByteArray path = QFile::encodeName(program.path);
    char *argv[] = {path.data(), nullptr};

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);

    watch.drain();
    pid_t pid = 0;
    const qint64 launched = nowNs();
    const int spawned = posix_spawn(&pid, path.constData(), &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        std::fprintf(stderr, "%s: %s\n", path.constData(), std::strerror(spawned));
        return false;
    }
    const int pidFd = openPidFd(pid);
    const qint64 mapped = watch.waitMapped(pid, pidFd);
    bool ok = mapped >= 0;
    if (ok) {
        // The settle: a plain wait, cut short only if the child ends.
        pollfd fd{pidFd, POLLIN, 0};
        if (poll(&fd, pidFd >= 0 ? 1 : 0, settleMs) > 0)
            ok = false;
    }
    Sample sample;
    if (ok) {
        sample.startMs = (mapped - launched) / 1e6;
        sample.rssKb = procField(QStringLiteral("/proc/%1/status").arg(pid), "VmRSS");
        sample.pssKb = procField(QStringLiteral("/proc/%1/smaps_rollup").arg(pid), "Pss");
        ok = sample.rssKb > 0;
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    if (pidFd >= 0)
        close(pidFd);
    if (!ok) {
        std::fprintf(stderr, "%s: no window mapped\n", path.constData());
        return false;
    }
    program.samples.push_back(sample);
    std::printf("%-12s %9.1f %10lld %10lld\n", qPrintable(program.name), sample.startMs,
                sample.rssKb, sample.pssKb);
    std::fflush(stdout);
    return true;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

template <typename Field>
double medianOf(const Program &program, Field field)
{
    std::vector<double> values;
    for (const Sample &sample : program.samples)
        values.push_back(double(field(sample)));
    return median(values);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QString here = QCoreApplication::applicationDirPath();
    Program tool{QStringLiteral("ecu-vantor"), here + QStringLiteral("/../../src/ecu-vantor"), {}, {}};
    Program plain{QStringLiteral("plainwindow"), here + QStringLiteral("/plainwindow"), {}, {}};
    int runs = 10;
    int settleMs = 1000;
    bool keepSettings = false;
    const QStringList args = QCoreApplication::arguments();
    for (int i = 1; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        const bool hasValue = i + 1 < args.size();
        if (arg == QLatin1String("--runs") && hasValue)
            runs = args.at(++i).toInt();
        else if (arg == QLatin1String("--settle") && hasValue)
            settleMs = args.at(++i).toInt();
        else if (arg == QLatin1String("--keep-settings"))
            keepSettings = true;
        else if (arg == QLatin1String("--program") && hasValue)
            tool.path = args.at(++i);
        else if (arg == QLatin1String("--plain") && hasValue)
            plain.path = args.at(++i);
        else {
            std::fprintf(stderr,
                         "usage: xvfb-run -a %s [--runs N] [--settle MS] [--keep-settings] "
                         "[--program PATH] [--plain PATH]\n",
                         qPrintable(QFileInfo(args.at(0)).fileName()));
            return 2;
        }
    }
    if (runs < 1 || settleMs < 0)
        return 2;
    if (keepSettings) {
        tool.keptHome = std::make_unique<QTemporaryDir>();
        plain.keptHome = std::make_unique<QTemporaryDir>();
    }
    tool.path = QFileInfo(tool.path).canonicalFilePath();
    plain.path = QFileInfo(plain.path).canonicalFilePath();

    MapWatch watch;
    if (!qEnvironmentVariableIsSet("DISPLAY") || !watch.open()) {
        std::fprintf(stderr, "no X server: run under xvfb-run -a\n");
        return 1;
    }

    // One round of each first, not counted: it warms the file cache (and
    // writes the settings that --keep-settings keeps).
    std::printf("%-12s %9s %10s %10s\n", "program", "start ms", "VmRSS kB", "Pss kB");
    if (!measure(watch, tool, settleMs) || !measure(watch, plain, settleMs))
        return 1;
    tool.samples.clear();
    plain.samples.clear();
    for (int i = 0; i < runs; ++i) {
        Program &first = i % 2 ? plain : tool;
        Program &second = i % 2 ? tool : plain;
        if (!measure(watch, first, settleMs) || !measure(watch, second, settleMs))
            return 1;
    }

    const auto start = [](const Sample &s) { return s.startMs; };
    const auto rss = [](const Sample &s) { return s.rssKb; };
    const auto pss = [](const Sample &s) { return s.pssKb; };
    std::printf("\nmedians of %d runs each (settle %d ms before the memory is read; %s)\n", runs,
                settleMs, keepSettings ? "settings kept from the first run" : "fresh settings");
    for (const Program *program : {&tool, &plain})
        std::printf("%-12s %9.1f %10.0f %10.0f\n", qPrintable(program->name),
                    medianOf(*program, start), medianOf(*program, rss), medianOf(*program, pss));
    const auto report = [](const char *what, double ratio, bool goal) {
        std::printf("ratio %-9s %.3fx", what, ratio);
        if (goal)
            std::printf("  (goal %.1fx: %s)", Goal, ratio <= Goal ? "met" : "NOT met");
        std::printf("\n");
    };
    report("start-up", medianOf(tool, start) / medianOf(plain, start), true);
    report("VmRSS", medianOf(tool, rss) / medianOf(plain, rss), true);
    report("Pss", medianOf(tool, pss) / medianOf(plain, pss), false);
    return 0;
}
