// The timing rules of the ECU line, alone and with the workers that keep them.

#include "comm/cgestreceive.h"
#include "comm/cgestrt.h"
#include "comm/cgestsend.h"
#include "comm/eculine.h"
#include "ecusimulator.h"
#include "support/workerharness.h"

#include <QtTest>
#include <memory>

class TestEcuLine : public QObject
{
    Q_OBJECT
private slots:
    void suspectInput_data();
    void suspectInput();
    void noisyLineEndsEveryWorker_data();
    void noisyLineEndsEveryWorker();
};

void TestEcuLine::suspectInput_data()
{
    // Steps: "request" (a worker sends), "sent" (the transport writes it),
    // "bytes" (bytes arrive), "frame" (a whole frame arrives), "timeout",
    // "quiet" (silence wanted after a repeated request's answer), "reset".
    QTest::addColumn<QString>("steps");
    QTest::addColumn<bool>("suspect");
    // An answer may come at any time after its request, at once included.
    QTest::newRow("an answer to its request") << "request sent bytes frame" << false;
    QTest::newRow("an answer without bytes reported (HID)") << "request sent frame" << false;
    QTest::newRow("bytes before the request was written") << "request bytes" << true;
    QTest::newRow("bytes after the answer") << "request sent frame bytes" << true;
    QTest::newRow("two frames for one request") << "request sent frame frame" << true;
    QTest::newRow("late bytes after a time-out") << "request sent timeout bytes frame" << false;
    QTest::newRow("late bytes after a repeated request's answer")
        << "request sent frame quiet bytes frame" << false;
    QTest::newRow("the next request ends the silence")
        << "request sent timeout request bytes" << true;
    QTest::newRow("a new connection") << "request sent frame frame reset" << false;
}

void TestEcuLine::suspectInput()
{
    QFETCH(QString, steps);
    QFETCH(bool, suspect);
    CEcuLine line;
    const QByteArray answer = hexFrame("F4 07 00 00 00 00 00 FB");
    for (const QString &step : steps.split(QLatin1Char(' '))) {
        if (step == QLatin1String("request"))
            line.noteRequest();
        else if (step == QLatin1String("sent"))
            line.noteRequestSent();
        else if (step == QLatin1String("bytes"))
            line.noteActivity();
        else if (step == QLatin1String("frame"))
            line.noteAnswer(answer);
        else if (step == QLatin1String("timeout"))
            line.noteTimeout();
        else if (step == QLatin1String("quiet"))
            line.requireQuiet();
        else if (step == QLatin1String("reset"))
            line.reset();
        else
            QFAIL(qPrintable(step));
    }
    QCOMPARE(line.takeSuspect(), suspect);
    QVERIFY(!line.takeSuspect()); // taken once
}

void TestEcuLine::noisyLineEndsEveryWorker_data()
{
    QTest::addColumn<QString>("worker");
    QTest::addColumn<QString>("outcome");
    QTest::newRow("write") << "write" << "KO_SND";
    QTest::newRow("read") << "read" << "KO_RCV";
    QTest::newRow("real-time link") << "link" << "KO";
}

// A line that never falls silent (bytes every few milliseconds) against a
// silent ECU: after the first time-out each attempt waits for silence at
// most the cap, and that counts as a time-out, so every worker ends within
// its budget of (time-out + cap) instead of waiting for ever.
void TestEcuLine::noisyLineEndsEveryWorker()
{
    QFETCH(QString, worker);
    QFETCH(QString, outcome);
    constexpr int TimeoutMs = 30;
    constexpr int Budget = 3;
    EcuSimulator sim;
    sim.setFault(EcuSimulator::Fault::Silent);
    LineHarness harness(&sim);
    CEcuLine line;
    QTimer noise;
    noise.setInterval(5);
    QObject::connect(&noise, &QTimer::timeout, [&line] { line.noteActivity(); });
    QByteArray image(41, '\x05');
    QStringList results;
    QObject receiver;
    std::unique_ptr<QThread> thread; // last: stopped before what it uses goes away
    auto setUp = [&](auto *w, auto outcomeSignal) {
        thread.reset(w);
        harness.attach(w);
        w->setLine(&line);
        QObject::connect(w, outcomeSignal, &receiver, [&results](const QString &r) { results << r; });
        return w;
    };

    QElapsedTimer elapsed;
    elapsed.start();
    if (worker == QLatin1String("write"))
        setUp(new CGestSend(&image, nullptr, TimeoutMs, Budget), &CGestSend::sgnEsito)->startSend(0);
    else if (worker == QLatin1String("read"))
        setUp(new CGestReceive(&image, nullptr, TimeoutMs, Budget), &CGestReceive::sgnEsito)
            ->startReceive(0, 10);
    else
        setUp(new CGestRT(nullptr, TimeoutMs, Budget), &CGestRT::sgnError)->startLink();
    // The first request goes out on a quiet line; the noise starts then (on
    // a loaded machine a noisy line could hold back even the first one).
    QTRY_COMPARE(harness.frameCount(), 1);
    noise.start();
    const int bound = Budget * (TimeoutMs + CEcuLine::DefaultQuietCapMs);
    QTRY_VERIFY_WITH_TIMEOUT(!results.isEmpty(), bound + 1000);
    QCOMPARE(results.first(), outcome);
    QVERIFY2(elapsed.elapsed() >= (Budget - 1) * CEcuLine::DefaultQuietCapMs,
             qPrintable(QString::number(elapsed.elapsed())));
    // Silence never came after the first request: nothing else went out.
    QCOMPARE(harness.frameCount(), 1);
}

QTEST_GUILESS_MAIN(TestEcuLine)
#include "tst_eculine.moc"
