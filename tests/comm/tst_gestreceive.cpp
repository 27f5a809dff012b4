#include "comm/cgestreceive.h"
#include "comm/eculine.h"
#include "comm/frames.h"
#include "ecusimulator.h"
#include "ptysimserver.h"
#include "support/linewriter.h"
#include "support/workerharness.h"

#include <QtTest>

// A flash read driven against the simulated ECU. The test thread looks at the
// image only after the outcome has arrived, as the main window does.
struct ReadRun
{
    ReadRun(int timeoutMs, int budget)
        : worker(&image, nullptr, timeoutMs, budget)
    {
        line.attach(&worker);
        QObject::connect(&worker, &CGestReceive::sgnPercent, &receiver, [this](int p) { percents << p; });
        QObject::connect(&worker, &CGestReceive::sgnEsito, &receiver, [this](const QString &r) { results << r; });
        // A table whose every byte tells its address apart.
        for (int a = 0; a < 256; ++a)
            sim.setTableByte(a, static_cast<quint8>(255 - a));
    }

    EcuSimulator sim;
    LineHarness line{&sim};
    QObject receiver;
    QList<int> percents;
    QStringList results;
    QByteArray image;
    CGestReceive worker; // last: stopped before everything it uses goes away
};

class TestGestReceive : public QObject
{
    Q_OBJECT
private slots:
    void readsTheWholeTable_data();
    void readsTheWholeTable();
    void startEmptiesTheImageAtOnce();
    void silentEcuFailsAfterBudget();
    void timeoutsAddUpAndKeepWhatWasRead();
    void shortAnswerStoresZero();
    void wrongByte0ThenRightAnswerIsAccepted();
    void answerTheLineCannotVouchFor_data();
    void answerTheLineCannotVouchFor();
};

void TestGestReceive::readsTheWholeTable_data()
{
    QTest::addColumn<int>("hardware");
    QTest::addColumn<int>("count");
    QTest::newRow("small table, hardware 10") << 10 << 50;
    QTest::newRow("small table, hardware 19") << 19 << 50;
    QTest::newRow("large table, hardware 20") << 20 << 90;
}

void TestGestReceive::readsTheWholeTable()
{
    QFETCH(int, hardware);
    QFETCH(int, count);
    ReadRun run(200, 20);
    run.worker.startReceive(0, static_cast<quint8>(hardware));
    QTRY_COMPARE_WITH_TIMEOUT(run.results, QStringList{"OK_RCV"}, 15000);

    const QList<QByteArray> frames = run.line.frames();
    QCOMPARE(frames.size(), count);
    for (int i = 0; i < count; ++i)
        QCOMPARE(frames.at(i), buildReadFrame(i));
    QCOMPARE(run.image.size(), count);
    QCOMPARE(run.image, run.sim.table().left(count));

    QList<int> expected{0};
    for (int i = 0; i < count; ++i)
        expected << i * 100 / count;
    expected << 100;
    QCOMPARE(run.percents, expected);
}

void TestGestReceive::startEmptiesTheImageAtOnce()
{
    ReadRun run(30, 20);
    run.sim.setFault(EcuSimulator::Fault::Silent); // nothing will be appended
    run.image = "left over from before";
    run.worker.startReceive(0, 10);
    QVERIFY(run.image.isEmpty());
    QCOMPARE(run.percents, QList<int>{0});
}

void TestGestReceive::silentEcuFailsAfterBudget()
{
    ReadRun run(30, 20);
    run.sim.setFault(EcuSimulator::Fault::Silent);
    run.worker.startReceive(0, 10);
    QTRY_COMPARE_WITH_TIMEOUT(run.results, QStringList{"KO_RCV"}, 10000);
    QCOMPARE(run.line.frameCount(), 20);
    QCOMPARE(run.line.countOf(buildReadFrame(0)), 20);
    QVERIFY(!run.percents.contains(100));
    QVERIFY(run.image.isEmpty());
}

void TestGestReceive::timeoutsAddUpAndKeepWhatWasRead()
{
    ReadRun run(30, 20);
    run.line.drop = [](const QByteArray &frame, int n) {
        return (frame == buildReadFrame(3) && n < 10) || (frame == buildReadFrame(40) && n < 10);
    };
    run.worker.startReceive(0, 10);
    QTRY_COMPARE_WITH_TIMEOUT(run.results, QStringList{"KO_RCV"}, 10000);
    QCOMPARE(run.line.countOf(buildReadFrame(3)), 11);
    QCOMPARE(run.line.countOf(buildReadFrame(40)), 10);
    QVERIFY(!run.percents.contains(100));
    // The bytes of addresses 0 .. 39 arrived before the failure.
    QCOMPARE(run.image, run.sim.table().left(40));
}

void TestGestReceive::shortAnswerStoresZero()
{
    ReadRun run(200, 20);
    run.line.rewrite = [](const QByteArray &frame, const QByteArray &answer) {
        return frame == buildReadFrame(5) ? answer.left(1) : answer; // just "F4"
    };
    run.worker.startReceive(0, 10);
    QTRY_COMPARE_WITH_TIMEOUT(run.results, QStringList{"OK_RCV"}, 10000);
    QCOMPARE(run.image.size(), 50);
    QCOMPARE(static_cast<quint8>(run.image.at(5)), quint8(0));
    QByteArray expected = run.sim.table().left(50);
    expected[5] = '\0';
    QCOMPARE(run.image, expected);
    QCOMPARE(run.line.frameCount(), 50);
}

void TestGestReceive::wrongByte0ThenRightAnswerIsAccepted()
{
    ReadRun run(2000, 20);
    run.line.drop = [](const QByteArray &frame, int) { return frame == buildReadFrame(7); };
    run.worker.startReceive(0, 10);
    QTRY_COMPARE_WITH_TIMEOUT(run.line.countOf(buildReadFrame(7)), 1, 5000);

    const QByteArray answer = run.sim.handle(buildReadFrame(7));
    QByteArray wrong = answer;
    wrong[0] = static_cast<char>(AnswerPoll);
    wrong[1] = 0x55;
    run.worker.setReply(wrong);
    QTest::qWait(100);
    QCOMPARE(run.line.frameCount(), 8); // still waiting on address 7
    run.worker.setReply(answer);
    QTRY_COMPARE_WITH_TIMEOUT(run.results, QStringList{"OK_RCV"}, 10000);
    QCOMPARE(run.line.frameCount(), 50);
    QCOMPARE(run.image, run.sim.table().left(50)); // the wrong answer's byte was not stored
}

void TestGestReceive::answerTheLineCannotVouchFor_data()
{
    QTest::addColumn<bool>("paced");
    QTest::addColumn<int>("lateMs");  // the first read of address 20 is answered that late
    QTest::addColumn<int>("strays");  // reads of the address below that bring a stray frame
    QTest::addColumn<QString>("result");
    QTest::addColumn<int>("strayAt");      // the address (24 unless given)
    QTest::addColumn<int>("strayAfterMs"); // how long after the request (0: with its answer)
    // Past the 100 ms time-out and the silence after the repeated request,
    // the late frame lands in a later exchange, the real answer right behind
    // it; every address taken after the time-out is asked again at the end.
    QTest::newRow("late answer in a later exchange") << true << 296 << 0 << "OK_RCV" << 24 << 0;
    // On a paced line the stray arrives before the answer and is taken for
    // it; the answer is then a second frame for one request.
    QTest::newRow("a stray frame before the answer") << true << 0 << 1 << "OK_RCV" << 24 << 0;
    // The stray follows the answer in the same burst.
    QTest::newRow("two frames for one request") << false << 0 << 1 << "OK_RCV" << 24 << 0;
    QTest::newRow("two frames for one request, twice") << false << 0 << 2 << "KO_RCV" << 24 << 0;
    // The stray comes in the quiet gap after the last answer, which the line
    // thread sleeps through: the read waits for it all the same.
    QTest::newRow("a stray frame just after the last answer")
        << false << 0 << 1 << "OK_RCV" << 49 << 1;
}

// A read of the small table from the simulator over a real pseudo-terminal,
// through a transport that tells the line what it writes and receives. A
// frame no request can account for makes the answer taken last suspect: its
// address is asked again after silence, and a second time ends the read. A
// read never ends "OK_RCV" with a byte the line cannot vouch for.
void TestGestReceive::answerTheLineCannotVouchFor()
{
    QFETCH(bool, paced);
    QFETCH(int, lateMs);
    QFETCH(int, strays);
    QFETCH(QString, result);
    QFETCH(int, strayAt);
    QFETCH(int, strayAfterMs);
    EcuSimulator sim;
    for (int a = 0; a < 256; ++a)
        sim.setTableByte(a, static_cast<quint8>(255 - a)); // every byte tells its address apart
    PtySimServer server(&sim);
    QVERIFY(server.open());
    server.setPaced(paced);
    if (lateMs > 0)
        sim.setLateRead(20, lateMs);
    QByteArray stray = buildReadFrame(strayAt);
    stray[1] = static_cast<char>(sim.tableByte(200));
    int straysSent = 0;
    connect(&server, &PtySimServer::frameSeen, &server, [&](const QByteArray &request) {
        if (request == buildReadFrame(strayAt) && straysSent < strays) {
            ++straysSent;
            if (strayAfterMs == 0)
                server.sendUnasked(stray);
            else
                QTimer::singleShot(strayAfterMs, Qt::PreciseTimer, &server,
                                   [&] { server.sendUnasked(stray); });
        }
    });

    CEcuLine line;
    QByteArray image;
    // The worker outlives the line: requests still queued when the line
    // closes tell their worker that they were not written.
    CGestReceive worker(&image, nullptr, 100, 20);
    WorkerLine transport(server.slavePath(), &line);
    QVERIFY(transport.transport.isOpen());
    transport.attach(&worker);
    // A real event loop for the server and the transport: the line's timing
    // is what the rows are about.
    QSignalSpy outcome(&worker, &CGestReceive::sgnEsito);
    worker.startReceive(0, 10);
    QVERIFY(outcome.wait(15000));
    QCOMPARE(outcome.first().first().toString(), result);
    const QList<QByteArray> requests = sim.requests();

    if (result == QLatin1String("OK_RCV")) {
        QCOMPARE(image, sim.table().left(50));
    } else {
        // Only bytes the line vouched for: none for the stray's address.
        QVERIFY2(image.size() <= 24, qPrintable(QString::number(image.size())));
        QCOMPARE(image, sim.table().left(image.size()));
    }
    if (lateMs > 0) {
        // The time-out repeated it, and every address taken from then on was
        // asked again at the end.
        QVERIFY(requests.count(buildReadFrame(20)) >= 3);
        for (int a = 21; a < 50; ++a)
            QVERIFY2(requests.count(buildReadFrame(a)) >= 2, qPrintable(QString::number(a)));
    } else {
        QVERIFY(requests.count(buildReadFrame(strayAt)) >= 2);
    }
}

QTEST_GUILESS_MAIN(TestGestReceive)
#include "tst_gestreceive.moc"
