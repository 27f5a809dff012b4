// logbench: the datalog's costs on a one-hour log of 180,000 rows (50 answers
// a second):
//
// - recording: the recorder fed one second of answers at a time, each second
//   written out by its timer as in the program; the time per answer, and
//   the share of one core at 50 answers a second;
// - opening the log for replay (read and parse);
// - 200 seeks to random positions: through the replayer alone, and through
//   the panel's slider (the seek plus the strip chart refilled with the 30 s
//   before the position); the worst and the mean of each;
// - one paint of the strip chart holding 30 s of answers.
//
// Not a test: run it by hand (`logbench`); it runs offscreen by itself.

#include "comm/datalog.h"
#include "comm/datalogrecorder.h"
#include "comm/logreplayer.h"
#include "gauge/datalogpanel.h"
#include "gauge/stripchart.h"
#include "profile/profilefolder.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPixmap>
#include <QRandomGenerator>
#include <QSlider>
#include <QTemporaryDir>

#include <cstdio>

namespace {

constexpr int kRows = 180000;
constexpr int kPerSecond = 50;

// An engine that idles, revs and settles, and a probe that warms up.
CLiveSample answer(int i)
{
    CLiveSample s;
    s.ms = qint64(i) * (1000 / kPerSecond);
    const int phase = i % 3000;
    s.rpm = 1200 + (phase < 1500 ? phase * 6 : (3000 - phase) * 6);
    s.cellIndex = s.rpm * 40 / 12000;
    s.cellValue = (i / 7) % 256 - 128;
    s.adc = qMin(255, 60 + i / 1000);
    return s;
}

double ms(qint64 ns)
{
    return double(ns) / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::fprintf(stderr, "logbench: no temporary folder\n");
        return 1;
    }
    setProfileFolderOverride(dir.path());

    // Recording: every second's answers, then the timer's write (0 ms here,
    // so that it runs at the next pass of the event loop).
    QString path;
    {
        CDataLogRecorder recorder(nullptr, 0);
        if (!recorder.start(dir.path(), CDevInfo(), 2, false)) {
            std::fprintf(stderr, "logbench: cannot start a recording\n");
            return 1;
        }
        QElapsedTimer clock;
        qint64 recordNs = 0;
        for (int i = 0; i < kRows; i += kPerSecond) {
            clock.start();
            for (int j = i; j < i + kPerSecond; ++j)
                recorder.addSample(answer(j));
            QCoreApplication::processEvents();
            recordNs += clock.nsecsElapsed();
        }
        recorder.stop();
        path = recorder.filePath();
        const double perAnswerUs = double(recordNs) / kRows / 1000.0;
        std::printf("recording: %d answers in %.1f ms: %.2f us an answer (writes included), "
                    "%.4f %% of a core at %d answers a second\n",
                    kRows, ms(recordNs), perAnswerUs, perAnswerUs * kPerSecond / 1e4, kPerSecond);
    }

    CLogReplayer replayer;
    QElapsedTimer clock;
    clock.start();
    QString error;
    if (!replayer.load(path, &error)) {
        std::fprintf(stderr, "logbench: %s\n", qPrintable(error));
        return 1;
    }
    const qint64 openNs = clock.nsecsElapsed();
    std::printf("open: %d rows, %.1f MB, %lld s of log, in %.1f ms\n", replayer.samples().size(),
                double(QFileInfo(path).size()) / 1e6, replayer.duration() / 1000, ms(openNs));

    int received = 0;
    QObject::connect(&replayer, &CLogReplayer::sampleAt, &replayer,
                     [&received](const CLiveSample &, int, bool) { ++received; });
    QRandomGenerator random(19);
    qint64 worst = 0, total = 0;
    for (int i = 0; i < 200; ++i) {
        const qint64 to = qint64(random.bounded(int(replayer.duration() + 1)));
        clock.start();
        replayer.seek(to);
        const qint64 ns = clock.nsecsElapsed();
        worst = qMax(worst, ns);
        total += ns;
    }
    std::printf("seek (replayer): 200 random positions, worst %.3f ms, mean %.3f ms (%d rows "
                "emitted)\n",
                ms(worst), ms(total / 200), received);

    CDataLogDock dock;
    dock.resize(700, 320);
    dock.show();
    if (!dock.openLog(path))
        return 1;
    QSlider *slider = dock.findChild<QSlider *>();
    worst = total = 0;
    for (int i = 0; i < 200; ++i) {
        const int to = random.bounded(slider->maximum() + 1);
        clock.start();
        slider->setValue(to);
        const qint64 ns = clock.nsecsElapsed();
        worst = qMax(worst, ns);
        total += ns;
    }
    std::printf("scrub (panel slider, chart refilled): 200 random positions, worst %.3f ms, "
                "mean %.3f ms\n",
                ms(worst), ms(total / 200));

    // The chart's own timer redraws it (after the last scrub); then one
    // redraw of 30 s of answers.
    const int before = dock.chart()->repaints();
    clock.start();
    while (dock.chart()->repaints() == before && clock.elapsed() < 1000)
        QCoreApplication::processEvents();
    // A paint of the whole chart (offscreen, a replot only schedules one).
    clock.start();
    const QPixmap drawn = dock.chart()->grab();
    std::printf("strip chart: %d answers shown, one paint of %dx%d in %.2f ms\n",
                dock.chart()->visibleCount(), drawn.width(), drawn.height(),
                ms(clock.nsecsElapsed()));
    return 0;
}
