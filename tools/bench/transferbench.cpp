// transferbench: times the ECU line through the real main window, the way the
// program uses it: the port search, flash reads of 50 and 90 addresses,
// writes of 41 and 81 bytes and the real-time poll, against the ECU simulator
// on a pseudo-terminal whose whole exchange is paced like a 9600-baud line
// (the 8 request bytes arrive and the 8 answer bytes leave at 10 bits a
// byte: 16.7 ms an exchange), then over the hidapi fake at 1 ms a report.
//
// For each run it prints the time taken and its ratio to the time the bytes
// alone need on the line, and the worst stall of the window's event loop (a
// heartbeat timer). Then the same reads against the simulator unpaced (it
// answers as soon as a request is whole, as a USB virtual port does), the
// time to quit with the link on, and last the idle window: CPU time over
// 20 s and the wake-ups of its busiest thread. The window starts as in the
// program (its font, raster painting).
//
// --link-on runs the link-on figures alone; with TRANSFERBENCH_THREADS set
// they come with each thread's share, and TRANSFERBENCH_DEFAULT_ONLY leaves
// out the workbench's run.

#include "app/startup.h"
#include "comm/cgestreceive.h"
#include "comm/cgestrt.h"
#include "comm/cgestsend.h"
#include "comm/frames.h"
#include "gauge/datalogpanel.h"
#include "profile/celltime.h"
#include "ecusimulator.h"
#include "hidfake.h"
#include "mainwindowprobe.h"
#include "portsearch/frmricercaporta.h"
#include "portsearch/virtualports.h"
#include "ptysimserver.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <cstdio>
#include <sys/resource.h>

namespace {

constexpr double ByteMs = 10 * 1000.0 / 9600; // one byte on a 9600-baud line
constexpr double ExchangeMs = 2 * FrameSize * ByteMs;

// The worst gap between two ticks of a 2 ms timer on the GUI thread.
class Heartbeat : public QObject
{
public:
    Heartbeat()
    {
        timer.setTimerType(Qt::PreciseTimer);
        timer.setInterval(2);
        connect(&timer, &QTimer::timeout, this, [this] {
            const qint64 now = clock.nsecsElapsed();
            worst = qMax(worst, now - last);
            last = now;
        });
        clock.start();
        timer.start();
        reset();
    }
    void reset()
    {
        last = clock.nsecsElapsed();
        worst = 0;
    }
    double worstMs() const { return worst / 1e6; }
    void stop() { timer.stop(); }
    void start() { timer.start(); }

private:
    QTimer timer;
    QElapsedTimer clock;
    qint64 last = 0;
    qint64 worst = 0;
};

// The simulated ECU on its own thread, so its pacing does not depend on the
// window's event loop; paced like a 9600-baud line unless told otherwise.
struct SimulatedEcu
{
    EcuSimulator sim;
    QThread thread;
    PtySimServer *server = nullptr;
    QString path;

    explicit SimulatedEcu(bool paced = true)
    {
        thread.setObjectName(QStringLiteral("ecusim")); // left out of the program's CPU
        thread.start();
        server = new PtySimServer(&sim);
        server->moveToThread(&thread);
        QMetaObject::invokeMethod(server, [this, paced] {
            if (server->open() && server->linkInto(virtualPortFolder(), QStringLiteral("bench"))) {
                server->setPaced(paced);
                path = server->linkPath();
            }
        }, Qt::BlockingQueuedConnection);
    }
    ~SimulatedEcu()
    {
        QMetaObject::invokeMethod(server, [this] { delete server; }, Qt::BlockingQueuedConnection);
        thread.quit();
        thread.wait();
    }
};

void waitFor(const std::function<bool()> &done, int timeoutMs)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < timeoutMs) {
        QEventLoop loop;
        QTimer::singleShot(1, &loop, &QEventLoop::quit);
        loop.exec();
    }
}

void idle(int ms)
{
    waitFor([] { return false; }, ms);
}

int failures = 0;

void line(const char *what, const QString &result, int exchanges, double ms, double goal,
          double stallMs)
{
    const double wire = exchanges * ExchangeMs;
    const double perExchange = exchanges ? ms / exchanges : 0;
    std::printf("%-26s %-6s %3d exchanges %6.0f ms %5.1f ms each  ratio %4.2f (goal %4.2f)  "
                "worst stall %5.1f ms\n",
                what, qPrintable(result), exchanges, ms, perExchange, wire > 0 ? ms / wire : 0.0,
                goal, stallMs);
    if (wire > 0 && ms / wire > goal)
        ++failures;
    std::fflush(stdout);
}

struct Transfer
{
    QString result;
    double ms = 0;
    int exchanges = 0;
};

// A transfer started through the window's own slot, until the window has
// taken its outcome (the read button is enabled again): the last outcome a
// worker reported, the time and the exchanges.
Transfer transfer(frmProgPannel &w, EcuSimulator &sim, const std::function<void()> &start)
{
    MainWindowProbe p(w);
    Transfer t;
    const auto record = [&t](const QString &r) { t.result = r; };
    const auto c1 = QObject::connect(p.gestSend(), &CGestSend::sgnEsito, record);
    const auto c2 = QObject::connect(p.gestReceive(), &CGestReceive::sgnEsito, record);
    auto *read = widget<QPushButton>(w, "btReadFlash");
    const int before = sim.answersGiven();
    QElapsedTimer clock;
    clock.start();
    start();
    waitFor([&] { return !t.result.isEmpty() && read->isEnabled(); }, 60000);
    t.ms = clock.nsecsElapsed() / 1e6;
    t.exchanges = sim.answersGiven() - before;
    QObject::disconnect(c1);
    QObject::disconnect(c2);
    return t;
}

// The port search as a user runs it; closes the dialog once found. The
// window then reads the profile on its own: waits for that to end.
bool connectWindow(frmProgPannel &w, const QString &path)
{
    MainWindowProbe p(w);
    w.onCercaPortaClicked();
    auto *dialog = static_cast<QDialog *>(p.ricercaPorta());
    auto *status = dialog->findChild<QLabel *>(QStringLiteral("lblStatus"));
    if (!path.isEmpty()) {
        auto *list = dialog->findChild<QComboBox *>(QStringLiteral("cbPorteSeriali"));
        list->setCurrentIndex(list->findText(path));
    }
    waitFor([&] { return !status->text().isEmpty(); }, 5000);
    dialog->close();
    auto *read = widget<QPushButton>(w, "btReadFlash");
    waitFor([&] { return read->isEnabled(); }, 20000);
    return p.connected() && read->isEnabled();
}

// Polls for a while with the link on: the mean period between two answers.
double pollPeriod(frmProgPannel &w, int ms)
{
    MainWindowProbe p(w);
    int answers = 0;
    const auto c = QObject::connect(p.gestRT(), &CGestRT::sgnRpm, [&answers] { ++answers; });
    w.onLinkClicked();
    idle(200); // settle
    answers = 0;
    QElapsedTimer t;
    t.start();
    idle(ms);
    const double period = double(t.elapsed()) / qMax(1, answers);
    w.onLinkClicked();
    QObject::disconnect(c);
    idle(100);
    return period;
}

void benchSerial(Heartbeat &beat, int gapMs, int writeGapMs)
{
    QSettings settings;
    settings.setValue(QStringLiteral("Line/GapMs"), gapMs);
    settings.setValue(QStringLiteral("Line/WriteGapMs"), writeGapMs);
    // The write alone; the check that reads it back is timed on its own below.
    settings.setValue(QStringLiteral("Line/VerifyWrites"), false);
    SimulatedEcu ecu;
    frmProgPannel w;
    MainWindowProbe p(w);
    std::printf("\nserial, gaps %d ms after a read or poll answer, %d ms after a write\n", gapMs,
                writeGapMs);
    if (!connectWindow(w, ecu.path)) {
        std::printf("cannot connect to the simulator\n");
        ++failures;
        return;
    }
    const double readGoal = gapMs ? 1.25 : 1.15;
    for (int hw : {10, 20}) {
        p.setHardware(hw);
        beat.reset();
        const Transfer t = transfer(w, ecu.sim, [&] { w.onReadFlashClicked(); });
        line(hw < 20 ? "flash read, 50 addresses" : "flash read, 90 addresses", t.result,
             t.exchanges, t.ms, readGoal, beat.worstMs());
    }
    p.showFile(QDir::temp().filePath(QStringLiteral("bench.prf")));
    for (int hw : {10, 20}) {
        p.setHardware(hw);
        beat.reset();
        const Transfer t = transfer(w, ecu.sim, [&] { w.onSaveFlashClicked(); });
        // The wire time, the write gap and 2 ms per exchange.
        const double goal = (ExchangeMs + writeGapMs + 2) / ExchangeMs;
        line(hw < 20 ? "flash write, 41 bytes" : "flash write, 81 bytes", t.result, t.exchanges,
             t.ms, goal, beat.worstMs());
    }
    beat.reset();
    const double period = pollPeriod(w, 3000);
    line("poll period", QStringLiteral("-"), 1, period, readGoal, beat.worstMs());
}

// A checked write (the default): the 41 bytes, then the table read back.
void benchCheckedWrite(Heartbeat &beat)
{
    QSettings settings;
    settings.setValue(QStringLiteral("Line/GapMs"), CEcuLine::DefaultGapMs);
    settings.setValue(QStringLiteral("Line/WriteGapMs"), CEcuLine::DefaultWriteGapMs);
    settings.remove(QStringLiteral("Line/VerifyWrites"));
    SimulatedEcu ecu;
    frmProgPannel w;
    if (!connectWindow(w, ecu.path)) {
        ++failures;
        return;
    }
    beat.reset();
    const Transfer t = transfer(w, ecu.sim, [&] { w.onSaveFlashClicked(); });
    std::printf("\n%-26s %-6s %3d exchanges %6.0f ms (the write, then 50 addresses read back)  "
                "worst stall %5.1f ms\n", "checked write, 41 bytes", qPrintable(t.result),
                t.exchanges, t.ms, beat.worstMs());
    if (t.result != QLatin1String("OK_RCV"))
        ++failures;
}

// The simulator unpaced: it answers as soon as a request is whole, as a USB
// virtual serial port does. A read then takes little more than its gaps.
void benchUnpaced(Heartbeat &beat)
{
    QSettings().remove(QStringLiteral("Line"));
    SimulatedEcu ecu(false);
    frmProgPannel w;
    MainWindowProbe p(w);
    std::printf("\nserial, unpaced simulator, gap %d ms after a read answer\n",
                CEcuLine::DefaultGapMs);
    if (!connectWindow(w, ecu.path)) {
        std::printf("cannot connect to the simulator\n");
        ++failures;
        return;
    }
    for (int hw : {10, 20}) {
        p.setHardware(hw);
        beat.reset();
        const Transfer t = transfer(w, ecu.sim, [&] { w.onReadFlashClicked(); });
        const double goalMs = t.exchanges * (CEcuLine::DefaultGapMs + 1.0);
        std::printf("%-26s %-6s %3d exchanges %6.0f ms %5.2f ms each  (goal under %.0f ms)  "
                    "worst stall %5.1f ms\n",
                    hw < 20 ? "flash read, 50 addresses" : "flash read, 90 addresses",
                    qPrintable(t.result), t.exchanges, t.ms, t.ms / qMax(1, t.exchanges), goalMs,
                    beat.worstMs());
        if (t.ms >= goalMs || t.result != QLatin1String("OK_RCV"))
            ++failures;
    }
}

// Quitting with the link on: from the window's close to the end of its
// destruction (every thread joined, the port closed).
void benchQuit()
{
    QSettings().remove(QStringLiteral("Line"));
    SimulatedEcu ecu;
    auto *w = new frmProgPannel;
    w->show();
    if (!connectWindow(*w, ecu.path)) {
        ++failures;
        delete w;
        return;
    }
    w->onLinkClicked();
    idle(500);
    QElapsedTimer clock;
    clock.start();
    w->close();
    delete w;
    const double ms = clock.nsecsElapsed() / 1e6;
    std::printf("\nquitting with the link on: %.1f ms (goal under 100 ms)\n", ms);
    if (ms >= 100)
        ++failures;
}

void benchHid(Heartbeat &beat)
{
    EcuSimulator sim;
    hidfake::attach(&sim);
    hidfake::setReportMs(1);
    frmProgPannel w;
    MainWindowProbe p(w);
    std::printf("\nHID fake, 1 ms a report, gap %d ms\n", CEcuLine::DefaultGapMs);
    if (!connectWindow(w, QString())) {
        std::printf("cannot connect over HID\n");
        ++failures;
        return;
    }
    beat.reset();
    const Transfer t = transfer(w, sim, [&] { w.onReadFlashClicked(); });
    const double perExchange = t.ms / qMax(1, t.exchanges);
    std::printf("%-26s %-6s %3d exchanges %6.0f ms %5.1f ms each  (goal under %d ms)  "
                "worst stall %5.1f ms\n",
                "flash read, 50 addresses", qPrintable(t.result), t.exchanges, t.ms, perExchange,
                4 + CEcuLine::DefaultGapMs, beat.worstMs());
    if (perExchange >= 4 + CEcuLine::DefaultGapMs)
        ++failures;
    beat.reset();
    const double period = pollPeriod(w, 2000);
    std::printf("%-26s %5.1f ms  worst stall %5.1f ms\n", "poll period", period, beat.worstMs());

    // A silent HID ECU: the search spends five bounded reads; the window goes on.
    sim.setFault(EcuSimulator::Fault::Silent);
    w.onCercaPortaClicked(); // disconnects
    beat.reset();
    QElapsedTimer clock;
    clock.start();
    w.onCercaPortaClicked(); // searches
    auto *dialog = static_cast<QDialog *>(p.ricercaPorta());
    auto *list = dialog->findChild<QComboBox *>(QStringLiteral("cbPorteSeriali"));
    waitFor([&] { return !list->isHidden(); }, 5000);
    std::printf("%-26s %6lld ms to the serial list  worst stall %5.1f ms\n",
                "search, silent HID ECU", static_cast<long long>(clock.elapsed()), beat.worstMs());
    if (beat.worstMs() > 16)
        ++failures;
    dialog->close();
    hidfake::reset();
}

// Wake-ups (context switches) of each thread of this process so far.
QMap<QString, long> threadSwitches()
{
    QMap<QString, long> out;
    const QStringList tids =
        QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &tid : tids) {
        QFile comm(QStringLiteral("/proc/self/task/%1/comm").arg(tid));
        QFile status(QStringLiteral("/proc/self/task/%1/status").arg(tid));
        if (!comm.open(QIODevice::ReadOnly) || !status.open(QIODevice::ReadOnly))
            continue;
        long switches = 0;
        for (const QByteArray &l : status.readAll().split('\n'))
            if (l.contains("ctxt_switches"))
                switches += l.split(':').last().trimmed().toLong();
        out.insert(QString::fromLatin1(comm.readAll().trimmed()) + QLatin1Char('/') + tid, switches);
    }
    return out;
}

double cpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// CPU time of this process's threads, the simulator's left out, in seconds:
// the sum of each thread's time on a CPU (/proc/self/task/*/schedstat).
double programCpuSeconds(QMap<QString, double> *perThread = nullptr)
{
    double ns = 0;
    const QStringList tids =
        QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &tid : tids) {
        QFile comm(QStringLiteral("/proc/self/task/%1/comm").arg(tid));
        QFile stat(QStringLiteral("/proc/self/task/%1/schedstat").arg(tid));
        if (!comm.open(QIODevice::ReadOnly) || !stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray name = comm.readAll().trimmed();
        if (name == "ecusim")
            continue;
        const double t = stat.readAll().split(' ').value(0).toDouble();
        ns += t;
        if (perThread)
            (*perThread)[QString::fromLatin1(name) + QLatin1Char('/') + tid] += t / 1e9;
    }
    return ns / 1e9;
}

struct LinkOnFigures
{
    double periodMs = 0;
    double cpuPercent = 0;
    double stallMs = 0;
};

// The link on for a while against the paced simulator, the window shown:
// the poll period, the program's CPU and the event loop's worst stall. With
// `views`, the window is large and shows the workbench (table, strip chart,
// time in each cell); with `recorded`, a datalog is written in half of the
// time, whose figures go there.
LinkOnFigures linkOnRun(Heartbeat &beat, bool views, int seconds, LinkOnFigures *recorded = nullptr)
{
    const bool recording = recorded != nullptr;
    // Each run starts alike: the docks as at a first start, the line's defaults.
    QSettings().remove(QStringLiteral("Line"));
    QSettings().remove(QStringLiteral("Workbench"));
    SimulatedEcu ecu;
    ecu.sim.setFixedRpm(-1);
    frmProgPannel w;
    MainWindowProbe p(w);
    if (views) {
        w.resize(1600, 950);
        p.cellTime()->showAction()->setChecked(true); // whatever the last run left
    }
    w.show();
    idle(500);
    LinkOnFigures f;
    if (!connectWindow(w, ecu.path)) {
        ++failures;
        return f;
    }
    int answers = 0;
    const auto c = QObject::connect(p.gestRT(), &CGestRT::sgnRpm, [&answers] { ++answers; });
    w.onLinkClicked();
    idle(1000); // settle
    // The CPU first, with the heartbeat stopped: its 500 ticks a second
    // would cost the event loop more than the program being measured. With
    // `recording`, the time is cut in four and a datalog is recorded in the
    // second and the fourth quarter: both figures come from the same window
    // and the same stretch of the simulated engine's run. Then the worst
    // stall over as long again, with the heartbeat ticking (and recording).
    beat.stop();
    QAction *record = p.dataLogDock()->recordAction();
    const int parts = recording ? 4 : 1;
    double cpu[2] = {0, 0}, ms[2] = {0, 0};
    int counted[2] = {0, 0};
    QEventLoop run;
    for (int part = 0; part < parts; ++part) {
        const int on = part % 2;
        if (record->isChecked() != bool(on))
            record->trigger();
        answers = 0;
        QMap<QString, double> threads0, threads1;
        const double cpu0 = programCpuSeconds(&threads0);
        QElapsedTimer t;
        t.start();
        // One event loop a part: the bench's own waiting costs nothing.
        QTimer::singleShot(seconds * 1000 / parts, &run, &QEventLoop::quit);
        run.exec();
        cpu[on] += programCpuSeconds(&threads1) - cpu0;
        if (qEnvironmentVariableIsSet("TRANSFERBENCH_THREADS"))
            for (auto it = threads1.cbegin(); it != threads1.cend(); ++it)
                if (it.value() - threads0.value(it.key()) > 0.0005)
                    std::printf("  %-24s %5.2f%%\n", qPrintable(it.key()),
                                100.0 * (it.value() - threads0.value(it.key()))
                                    / (seconds / double(parts)));
        ms[on] += t.elapsed();
        counted[on] += answers;
    }
    f.cpuPercent = 100.0 * cpu[0] / (ms[0] / 1000.0);
    f.periodMs = ms[0] / qMax(1, counted[0]);
    if (recorded) {
        recorded->cpuPercent = 100.0 * cpu[1] / (ms[1] / 1000.0);
        recorded->periodMs = ms[1] / qMax(1, counted[1]);
    }
    beat.start();
    beat.reset();
    QTimer::singleShot(seconds * 1000, &run, &QEventLoop::quit);
    run.exec();
    f.stallMs = beat.worstMs();
    if (recorded)
        recorded->stallMs = f.stallMs;
    if (record->isChecked())
        record->trigger();
    w.onLinkClicked();
    QObject::disconnect(c);
    idle(100);
    return f;
}

void benchLinkOn(Heartbeat &beat, int seconds)
{
    std::printf("\nlink on for %d s, window shown, whole program (simulator left out)\n", seconds);
    const auto print = [](const char *what, const LinkOnFigures &f) {
        std::printf("%-34s poll period %5.1f ms  CPU %5.2f%% of a core  worst stall %5.1f ms\n",
                    what, f.periodMs, f.cpuPercent, f.stallMs);
    };
    const LinkOnFigures plain = linkOnRun(beat, false, seconds);
    print("default window", plain);
    if (qEnvironmentVariableIsSet("TRANSFERBENCH_DEFAULT_ONLY"))
        return;
    LinkOnFigures logging;
    const LinkOnFigures shown = linkOnRun(beat, true, seconds, &logging);
    print("workbench shown", shown);
    print("workbench shown, datalog recording", logging);
    const auto verdict = [](bool met) { return met ? "met" : "NOT met"; };
    const double worstStall = qMax(plain.stallMs, qMax(shown.stallMs, logging.stallMs));
    std::printf("goals: default window under 2 %% (%s), workbench and recording under 4 %% (%s), "
                "no stall over 16 ms (%s)\n",
                verdict(plain.cpuPercent < 2.0), verdict(logging.cpuPercent < 4.0),
                verdict(worstStall <= 16.0));
    if (plain.cpuPercent >= 2.0 || logging.cpuPercent >= 4.0 || worstStall > 16.0)
        ++failures;
    std::printf("recording a datalog: poll period %+.1f %%, CPU %+.2f %% of a core (goals: under "
                "5 %%, under 0.5 %%)\n",
                100.0 * (logging.periodMs - shown.periodMs) / shown.periodMs,
                logging.cpuPercent - shown.cpuPercent);
    if (qAbs(logging.periodMs - shown.periodMs) / shown.periodMs >= 0.05
        || logging.cpuPercent - shown.cpuPercent >= 0.5)
        ++failures;
}

void benchIdle(Heartbeat &beat, int seconds)
{
    frmProgPannel w;
    idle(1000);
    beat.stop(); // its own ticks would count as wake-ups
    const QMap<QString, long> before = threadSwitches();
    const double cpu0 = cpuSeconds();
    QEventLoop loop;
    QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
    loop.exec();
    const double cpu = cpuSeconds() - cpu0;
    const QMap<QString, long> after = threadSwitches();
    QString busiest;
    double most = 0;
    for (auto it = after.begin(); it != after.end(); ++it) {
        const double perSecond = double(it.value() - before.value(it.key())) / seconds;
        if (perSecond > most) {
            most = perSecond;
            busiest = it.key();
        }
    }
    std::printf("\nidle window for %d s: CPU %.3f%% of a core; busiest thread %s wakes %.2f times a "
                "second (goals: under 0.1%%, at most once a second)\n",
                seconds, 100.0 * cpu / seconds, qPrintable(busiest), most);
    if (100.0 * cpu / seconds >= 0.1 || most > 1.0)
        ++failures;
}

} // namespace

int main(int argc, char **argv)
{
    // A private settings store and virtual-port folder.
    QTemporaryDir home;
    qputenv("HOME", QFile::encodeName(home.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(QStringLiteral("config"))));
    QDir().mkpath(home.filePath(QStringLiteral("run")));
    QFile::setPermissions(home.filePath(QStringLiteral("run")),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(home.filePath(QStringLiteral("run"))));
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The program's own start: the window paints as it does there.
    enableHighDpiScaling();
    paintWithRasterOnly();
    QApplication app(argc, argv);
    useInterfaceFont();
    QCoreApplication::setOrganizationName(QStringLiteral("vantor"));
    QCoreApplication::setApplicationName(QStringLiteral("ECU Vantor"));
    QCoreApplication::setApplicationVersion(QStringLiteral("2.0.0.1"));
    const bool quick = app.arguments().contains(QStringLiteral("--quick"));

    std::printf("ECU line through the main window; the simulator paces the whole exchange at "
                "9600 baud (%.1f ms on the wire)\n", ExchangeMs);
    Heartbeat beat;
    // --link-on: the link-on figures alone.
    if (app.arguments().contains(QStringLiteral("--link-on"))) {
        benchLinkOn(beat, quick ? 5 : 20);
        return failures ? 1 : 0;
    }
    benchSerial(beat, CEcuLine::DefaultGapMs, CEcuLine::DefaultWriteGapMs);
    benchSerial(beat, 0, 0);
    benchCheckedWrite(beat);
    benchUnpaced(beat);
    benchHid(beat);
    benchLinkOn(beat, quick ? 5 : 20);
    benchQuit();
    benchIdle(beat, quick ? 5 : 20);
    if (failures)
        std::printf("\n%d figure(s) missed their goal\n", failures);
    return failures ? 1 : 0;
}
