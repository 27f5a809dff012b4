#include "comm/cgestrt.h"
#include "comm/requestwriter.h"
#include "comm/frames.h"
#include "ecusimulator.h"
#include "support/workerharness.h"
#include "comm/workerlock.h"

#include <QSignalSpy>
#include <QtTest>

// The real-time link worker against the simulated ECU. Readouts, errors and
// handed-back commands are queued to the test thread, as to the main window;
// the number of frames sent when each "KO" leaves is taken on the worker's
// thread.
struct RtRun
{
    RtRun(int timeoutMs, int budget)
        : worker(nullptr, timeoutMs, budget)
    {
        line.attach(&worker);
        QObject::connect(&worker, &CGestRT::sgnRpm, &receiver, [this](int v) { values << qMakePair(QString("rpm"), v); });
        QObject::connect(&worker, &CGestRT::sgnADC, &receiver, [this](uchar v) { values << qMakePair(QString("adc"), int(v)); });
        QObject::connect(&worker, &CGestRT::sgnIdxCella, &receiver, [this](uchar v) { values << qMakePair(QString("idx"), int(v)); });
        QObject::connect(&worker, &CGestRT::sgnValCella, &receiver, [this](uchar v) { values << qMakePair(QString("val"), int(v)); });
        QObject::connect(&worker, &CGestRT::sgnError, &receiver, [this](const QString &e) { errors << e; });
        QObject::connect(&worker, &CGestRT::sgnExecCmd, &receiver, [this](const QString &c) { execs << c; });
        QObject::connect(&worker, &CGestRT::sgnError, &worker, [this](const QString &) {
            WorkerLock lock(&koMutex);
            framesAtKo << line.frameCount();
        }, Qt::DirectConnection);
    }

    QList<int> framesWhenKo()
    {
        WorkerLock lock(&koMutex);
        return framesAtKo;
    }

    EcuSimulator sim;
    LineHarness line{&sim};
    QObject receiver;
    QList<QPair<QString, int>> values;
    QStringList errors;
    QStringList execs;
    QMutex koMutex;
    QList<int> framesAtKo;
    CGestRT worker; // last: stopped before everything it uses goes away
};

using Values = QList<QPair<QString, int>>;

static Values readout(int rpm, int adc, int idx, int val)
{
    return Values{qMakePair(QString("rpm"), rpm), qMakePair(QString("adc"), adc),
                  qMakePair(QString("idx"), idx), qMakePair(QString("val"), val)};
}

// FE xx 80 21 E8 03 07 xx: 1000 rpm, probe 0x80, cell 7 holding 0x21.
static QByteArray pollAnswer()
{
    QByteArray a = hexFrame("FE 00 80 21 E8 03 07");
    a.append(frameChecksum(a));
    return a;
}

class TestGestRT : public QObject
{
    Q_OBJECT
private slots:
    void publishesPollAnswer();
    void linkOffDuringExchangePublishesZeros_data();
    void linkOffDuringExchangePublishesZeros();
    void queuesKFrame_data();
    void queuesKFrame();
    void queuesBenchFrames();
    void commandsGoOutBetweenTwoPolls();
    void requestWhileIdleIsHandedBackAtOnce();
    void queuedCommandGoesBeforeRequestFromIdle();
    void requestWhilePollingWaitsForTheExchange();
    void requestThenStopIsNeverHandedBack();
    void lostAcknowledgementsKeepTheLinkUp();
    void commandsNotWrittenAreReportedNotLost();
    void lostAcknowledgementBeforeLinkStartedIsNoFailure();
    void silenceFailsAtThirtiethTimeout();
    void wrongByte0CannotHoldTheWait_data();
    void wrongByte0CannotHoldTheWait();
};

void TestGestRT::publishesPollAnswer()
{
    RtRun run(200, 30);
    run.line.rewrite = [](const QByteArray &frame, const QByteArray &answer) {
        return frame == buildPollFrame() ? pollAnswer() : answer;
    };
    run.worker.startLink();
    QTRY_VERIFY_WITH_TIMEOUT(run.values.size() >= 8, 5000);
    QCOMPARE(run.values.mid(0, 4), readout(1000, 0x80, 7, 0x21));
    QCOMPARE(run.values.mid(4, 4), readout(1000, 0x80, 7, 0x21));
    const QList<QByteArray> frames = run.line.frames();
    for (const QByteArray &f : frames)
        QCOMPARE(f, buildPollFrame());

    run.worker.stopLink();
    QTest::qWait(100);
    const int sent = run.line.frameCount();
    QTest::qWait(100);
    QCOMPARE(run.line.frameCount(), sent); // polling has stopped
    QVERIFY(run.errors.isEmpty());
}

void TestGestRT::linkOffDuringExchangePublishesZeros_data()
{
    QTest::addColumn<bool>("byRequest");
    QTest::newRow("stopLink") << false;
    QTest::newRow("requestCommand") << true;
}

void TestGestRT::linkOffDuringExchangePublishesZeros()
{
    QFETCH(bool, byRequest);
    RtRun run(3000, 30);
    run.line.drop = [](const QByteArray &, int) { return true; }; // the test answers
    run.worker.startLink();
    QTRY_COMPARE_WITH_TIMEOUT(run.line.frameCount(), 1, 5000);

    if (byRequest)
        run.worker.requestCommand("FLASH_READ");
    else
        run.worker.stopLink();
    run.worker.setReply(pollAnswer());
    QTRY_COMPARE_WITH_TIMEOUT(run.values.size(), 4, 5000);
    QCOMPARE(run.values, readout(0, 0, 0, 0));
    if (byRequest)
        QTRY_COMPARE(run.execs, QStringList{"FLASH_READ"});
    QTest::qWait(100);
    QCOMPARE(run.line.frameCount(), 1); // idle: no further poll
    QVERIFY(run.errors.isEmpty());
}

void TestGestRT::queuesKFrame_data()
{
    QTest::addColumn<int>("hardware");
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<int>("address");
    QTest::newRow("hardware 10") << 10 << hexFrame("FD 03 2A 01 01 01 01 2E") << 42;
    QTest::newRow("hardware 25") << 25 << hexFrame("FD 03 52 01 01 01 01 56") << 82;
}

void TestGestRT::queuesKFrame()
{
    QFETCH(int, hardware);
    QFETCH(QByteArray, frame);
    QFETCH(int, address);
    RtRun run(200, 30);
    run.worker.queueKIniezione(3, static_cast<quint8>(hardware)); // link off: sent from idle
    QTRY_COMPARE_WITH_TIMEOUT(run.line.frameCount(), 1, 5000);
    QCOMPARE(run.line.frames().first(), frame);
    QCOMPARE(run.sim.tableByte(address), quint8(3));
    QTest::qWait(100);
    QCOMPARE(run.line.frameCount(), 1); // acknowledged, back to idle
}

void TestGestRT::queuesBenchFrames()
{
    RtRun run(200, 30);
    run.worker.queueBancoOn(10);
    QTRY_COMPARE_WITH_TIMEOUT(run.line.frameCount(), 3, 5000);
    QCOMPARE(run.line.frames(), (QList<QByteArray>{hexFrame("FD 02 29 01 01 01 01 2C"),
                                                  hexFrame("FD 01 2A 01 01 01 01 2C"),
                                                  hexFrame("FD 01 31 01 01 01 01 33")}));
    QCOMPARE(run.sim.tableByte(49), quint8(1));

    run.worker.queueBancoOff(10);
    QTRY_COMPARE_WITH_TIMEOUT(run.line.frameCount(), 6, 5000);
    QCOMPARE(run.line.frames().mid(3), (QList<QByteArray>{hexFrame("FD 02 29 01 01 01 01 2C"),
                                                         hexFrame("FD 01 2A 01 01 01 01 2C"),
                                                         hexFrame("FD 00 31 01 01 01 01 32")}));
    QCOMPARE(run.sim.tableByte(49), quint8(0));

    run.worker.queueBancoOn(20); // large table: 81, 82, 89
    QTRY_COMPARE_WITH_TIMEOUT(run.line.frameCount(), 9, 5000);
    QCOMPARE(run.line.frames().mid(6), (QList<QByteArray>{buildWriteFrame(81, 2), buildWriteFrame(82, 1),
                                                         buildWriteFrame(89, 1)}));
}

void TestGestRT::commandsGoOutBetweenTwoPolls()
{
    RtRun run(200, 30);
    run.worker.startLink();
    QTRY_VERIFY_WITH_TIMEOUT(run.line.frameCount() >= 3, 5000);
    const QByteArray k2 = buildWriteFrame(42, 2);
    const QByteArray k3 = buildWriteFrame(42, 3);
    run.worker.queueKIniezione(2, 10);
    run.worker.queueKIniezione(3, 10);
    QTRY_VERIFY_WITH_TIMEOUT(run.line.frames().indexOf(k3) > 0
                                 && run.line.frames().indexOf(k3) + 1 < run.line.frameCount(),
                             5000);
    run.worker.stopLink();

    const QList<QByteArray> frames = run.line.frames();
    const int i = frames.indexOf(k2);
    QVERIFY(i > 0);
    QCOMPARE(frames.at(i - 1), buildPollFrame());
    QCOMPARE(frames.at(i + 1), k3);
    QCOMPARE(frames.at(i + 2), buildPollFrame());
    QCOMPARE(frames.count(k2), 1);
    QCOMPARE(frames.count(k3), 1);
    QCOMPARE(run.sim.tableByte(42), quint8(3));
}

void TestGestRT::requestWhileIdleIsHandedBackAtOnce()
{
    RtRun run(200, 30);
    QElapsedTimer timer;
    std::atomic<qint64> handedAfter{-1};
    QObject::connect(&run.worker, &CGestRT::sgnExecCmd, &run.worker,
                     [&](const QString &) { handedAfter = timer.elapsed(); }, Qt::DirectConnection);
    QTest::qWait(30);
    timer.start();
    run.worker.requestCommand("FLASH_READ");
    QTRY_COMPARE_WITH_TIMEOUT(run.execs, QStringList{"FLASH_READ"}, 1000);
    QVERIFY(handedAfter >= 0);
    QVERIFY2(handedAfter < 100, qPrintable(QString::number(handedAfter)));
    QTest::qWait(50);
    QCOMPARE(run.execs.size(), 1); // handed back once
    QCOMPARE(run.line.frameCount(), 0);
}

// A command queued and one requested while the worker is idle: the line has
// one owner at a time, so the queued frame is sent and acknowledged before
// the requested command is handed back.
void TestGestRT::queuedCommandGoesBeforeRequestFromIdle()
{
    RtRun run(200, 30);
    QSemaphore inFirst, release;
    QMutex mutex;
    QList<int> framesAtExec; // frames sent when each command was handed back
    QObject::connect(&run.worker, &CGestRT::sgnExecCmd, &run.worker, [&](const QString &cmd) {
        {
            WorkerLock lock(&mutex);
            framesAtExec << run.line.frameCount();
        }
        if (cmd == QLatin1String("SAVE_PROFILE")) { // hold the worker while the test queues
            inFirst.release();
            release.acquire();
        }
    }, Qt::DirectConnection);
    run.worker.requestCommand("SAVE_PROFILE");
    QVERIFY(inFirst.tryAcquire(1, 5000));
    run.worker.queueKIniezione(3, 10);
    run.worker.requestCommand("FLASH_READ");
    release.release();
    QTRY_COMPARE_WITH_TIMEOUT(run.execs, (QStringList{"SAVE_PROFILE", "FLASH_READ"}), 5000);
    WorkerLock lock(&mutex);
    QCOMPARE(framesAtExec, (QList<int>{0, 1}));
    QCOMPARE(run.line.frames(), QList<QByteArray>{buildWriteFrame(42, 3)});
    QCOMPARE(run.sim.tableByte(42), quint8(3));
}

void TestGestRT::requestWhilePollingWaitsForTheExchange()
{
    RtRun run(200, 30);
    QMutex mutex;
    QList<QByteArray> framesAtExec;
    QObject::connect(&run.worker, &CGestRT::sgnExecCmd, &run.worker, [&](const QString &) {
        WorkerLock lock(&mutex);
        framesAtExec = run.line.frames();
    }, Qt::DirectConnection);
    run.worker.startLink();
    QTRY_VERIFY_WITH_TIMEOUT(run.line.frameCount() >= 2, 5000);
    run.worker.queueKIniezione(4, 10);
    run.worker.requestCommand("FLASH_WRITE");
    QTRY_COMPARE_WITH_TIMEOUT(run.execs, QStringList{"FLASH_WRITE"}, 5000);
    // The queued command went out before the request was handed back (a
    // poll may have come between the two calls); the line is quiet after.
    WorkerLock lock(&mutex);
    QVERIFY(framesAtExec.contains(buildWriteFrame(42, 4)));
    QCOMPARE(run.line.frames(), framesAtExec);
    lock.unlock();
    const int sent = run.line.frameCount();
    QTest::qWait(100);
    QCOMPARE(run.line.frameCount(), sent);
}

void TestGestRT::requestThenStopIsNeverHandedBack()
{
    RtRun run(3000, 30);
    run.line.drop = [](const QByteArray &, int) { return true; };
    run.worker.startLink();
    QTRY_COMPARE_WITH_TIMEOUT(run.line.frameCount(), 1, 5000);
    run.worker.requestCommand("FLASH_WRITE");
    run.worker.stopLink();
    run.worker.setReply(pollAnswer());
    QTRY_COMPARE_WITH_TIMEOUT(run.values.size(), 4, 5000); // the exchange has ended
    QTest::qWait(100);
    QVERIFY(run.execs.isEmpty());
    QCOMPARE(run.line.frameCount(), 1);
}

void TestGestRT::lostAcknowledgementsKeepTheLinkUp()
{
    // A budget of 2: each lost acknowledgement costs one time-out, and the
    // poll answered after it fills the budget again.
    RtRun run(30, 2);
    run.sim.setFault(EcuSimulator::Fault::NoWriteAck);
    run.worker.startLink();
    QTRY_VERIFY_WITH_TIMEOUT(run.line.frameCount() >= 2, 5000);
    run.worker.queueBancoOn(10);
    const QByteArray last = buildWriteFrame(49, 1);
    QTRY_VERIFY_WITH_TIMEOUT(run.line.frames().indexOf(last) > 0
                                 && run.line.frames().indexOf(last) + 3 < run.line.frameCount(),
                             5000);
    run.worker.stopLink();

    const QList<QByteArray> frames = run.line.frames();
    const QList<QByteArray> commands{buildWriteFrame(41, 2), buildWriteFrame(42, 1), last};
    for (const QByteArray &c : commands) {
        QCOMPARE(frames.count(c), 1); // not sent again
        QCOMPARE(frames.at(frames.indexOf(c) + 1), buildPollFrame());
    }
    QVERIFY(run.errors.isEmpty());
}

// A command frame the line could not write was not sent: it is reported
// (once each), never counted as a lost acknowledgement, and the link goes
// on; only written frames are reported as sent.
void TestGestRT::commandsNotWrittenAreReportedNotLost()
{
    struct Writer : CRequestWriter
    {
        EcuSimulator sim;
        CGestRT *worker = nullptr;
        void postRequest(const QByteArray &frame, Written written) override
        {
            const bool command = static_cast<quint8>(frame.at(0)) == WriteRequest;
            written(!command); // the line takes polls only
            if (!command)
                worker->setReply(sim.handle(frame));
        }
    } writer;
    QMutex mutex;
    QList<QByteArray> notSent, sent;
    int errors = 0;
    CGestRT worker(nullptr, 50, 30); // last: stopped before what it uses goes away
    writer.worker = &worker;
    worker.setNotSentHandler([&](const QByteArray &frame) {
        WorkerLock lock(&mutex);
        notSent << frame;
    });
    QObject::connect(&worker, &CGestRT::sgnSndByte, &worker, [&](const QByteArray &frame) {
        WorkerLock lock(&mutex);
        sent << frame;
    }, Qt::DirectConnection);
    QObject::connect(&worker, &CGestRT::sgnError, &worker, [&] { ++errors; },
                     Qt::DirectConnection);
    worker.setWriter(&writer);
    worker.startLink();
    worker.queueBancoOn(10);
    QTRY_COMPARE_WITH_TIMEOUT(worker.unsentCommands(), 3, 5000);
    QTRY_VERIFY([&] { WorkerLock lock(&mutex); return sent.size() >= 5; }()); // polling goes on
    worker.stopLink();
    WorkerLock lock(&mutex);
    QCOMPARE(notSent, (QList<QByteArray>{buildWriteFrame(41, 2), buildWriteFrame(42, 1),
                                         buildWriteFrame(49, 1)}));
    QCOMPARE(worker.lostAcknowledgements(), 0);
    for (const QByteArray &frame : qAsConst(sent))
        QCOMPARE(frame, buildPollFrame());
    QCOMPARE(errors, 0);
}

void TestGestRT::lostAcknowledgementBeforeLinkStartedIsNoFailure()
{
    // With the link off too, every lost acknowledgement is followed by a
    // poll; its answer refills the budget, so an ECU that never acknowledges
    // keeps the link up however many commands it loses.
    RtRun run(20, 30);
    run.sim.setFault(EcuSimulator::Fault::NoWriteAck);
    for (int i = 0; i < 31; ++i)
        run.worker.queueKIniezione(static_cast<quint8>(1 + i % 4), 10);
    QTRY_COMPARE_WITH_TIMEOUT(run.line.frameCount(), 62, 10000);
    QTest::qWait(100); // idle again: nothing more goes out
    const QList<QByteArray> frames = run.line.frames();
    QCOMPARE(frames.size(), 62);
    for (int i = 0; i < 62; i += 2)
        QCOMPARE(frames.at(i + 1), buildPollFrame());
    QVERIFY(run.errors.isEmpty());
    QCOMPARE(run.values.size(), 31 * 4);
    for (const auto &v : run.values)
        QCOMPARE(v.second, 0); // polled with the link off: zeros
}

void TestGestRT::silenceFailsAtThirtiethTimeout()
{
    RtRun run(30, 30);
    run.sim.setFault(EcuSimulator::Fault::Silent);
    run.worker.startLink();
    QTRY_VERIFY_WITH_TIMEOUT(!run.errors.isEmpty(), 10000);
    QCOMPARE(run.framesWhenKo().first(), 30);

    // linkActive is still set: polling goes on and, with the budget spent,
    // the very next time-out reports "KO" again.
    QTRY_VERIFY_WITH_TIMEOUT(run.framesWhenKo().size() >= 2, 5000);
    QCOMPARE(run.framesWhenKo().at(1), 31);

    run.worker.stopLink();
    QTest::qWait(150); // the poll in flight may still time out
    const int sent = run.line.frameCount();
    QTest::qWait(150);
    QCOMPARE(run.line.frameCount(), sent);
    for (const QByteArray &f : run.line.frames())
        QCOMPARE(f, buildPollFrame());

    // Switching the link on again refills the budget.
    run.sim.setFault(EcuSimulator::Fault::None);
    const int kos = run.framesWhenKo().size();
    run.worker.startLink();
    QTRY_VERIFY_WITH_TIMEOUT(run.values.size() >= 8, 5000);
    QCOMPARE(run.framesWhenKo().size(), kos);
    run.worker.stopLink();
}

void TestGestRT::wrongByte0CannotHoldTheWait_data()
{
    QTest::addColumn<bool>("command");
    QTest::newRow("poll") << false;
    QTest::newRow("command acknowledgement") << true;
}

void TestGestRT::wrongByte0CannotHoldTheWait()
{
    QFETCH(bool, command);
    RtRun run(30, 3);
    run.sim.setFault(EcuSimulator::Fault::WrongByte0);
    if (command) {
        // Link off: each command waits out its time-out, then the next goes.
        for (quint8 k = 1; k <= 3; ++k)
            run.worker.queueKIniezione(k, 10);
    } else
        run.worker.startLink();
    QTRY_VERIFY_WITH_TIMEOUT(!run.errors.isEmpty(), 5000);
    QCOMPARE(run.framesWhenKo().first(), 3);
    QVERIFY(run.values.isEmpty()); // no wrong answer was published
    run.worker.stopLink();
}

QTEST_GUILESS_MAIN(TestGestRT)
#include "tst_gestrt.moc"
