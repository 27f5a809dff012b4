#include "comm/cgestsend.h"
#include "comm/eculine.h"
#include "comm/frames.h"
#include "ecusimulator.h"
#include "ptysimserver.h"
#include "support/linewriter.h"
#include "support/workerharness.h"

#include <QtTest>

// A flash write driven against the simulated ECU: every frame the worker
// sends is answered at once by the simulator, unless the test withholds it.
struct WriteRun
{
    explicit WriteRun(int timeoutMs, int budget, const QByteArray &bytes = QByteArray())
        : image(bytes), worker(&image, nullptr, timeoutMs, budget)
    {
        line.attach(&worker);
        // Queued to the test thread, except the 0 that startSend emits on it.
        QObject::connect(&worker, &CGestSend::sgnPercent, &receiver, [this](int p) { percents << p; });
        QObject::connect(&worker, &CGestSend::sgnEsito, &receiver, [this](const QString &r) { results << r; });
    }

    EcuSimulator sim;
    LineHarness line{&sim};
    QObject receiver;
    QList<int> percents;
    QStringList results;
    QByteArray image;
    CGestSend worker; // last: stopped before everything it uses goes away
};

static QByteArray profileImage(int size)
{
    QByteArray b;
    for (int i = 0; i < size; ++i)
        b.append(static_cast<char>((i * 37 + 11) & 0xFF));
    return b;
}

class TestGestSend : public QObject
{
    Q_OBJECT
private slots:
    void writesEveryByteWithProgress();
    void silentEcuFailsAfterBudget_data();
    void silentEcuFailsAfterBudget();
    void timeoutsAddUpOverTheTransfer_data();
    void timeoutsAddUpOverTheTransfer();
    void wrongByte0ThenRightAnswerIsAccepted();
    void wrongByte0AloneCannotHoldTheWait();
    void emptyImageFailsAtOnce();
    void secondAcknowledgementResendsTheByte_data();
    void secondAcknowledgementResendsTheByte();
};

void TestGestSend::writesEveryByteWithProgress()
{
    WriteRun run(200, 20, profileImage(41));
    run.worker.startSend(0);
    QCOMPARE(run.percents, QList<int>{0}); // delivered at once on the calling thread
    QTRY_COMPARE_WITH_TIMEOUT(run.results, QStringList{"OK_SND"}, 10000);

    const QList<QByteArray> frames = run.line.frames();
    QCOMPARE(frames.size(), 41);
    for (int i = 0; i < 41; ++i)
        QCOMPARE(frames.at(i), buildWriteFrame(i, static_cast<quint8>(run.image.at(i))));

    QList<int> expected{0};
    for (int i = 0; i < 41; ++i)
        expected << i * 100 / 41;
    expected << 100;
    QCOMPARE(run.percents.size(), 43);
    QCOMPARE(run.percents, expected);
    QCOMPARE(run.percents.mid(0, 5), (QList<int>{0, 0, 2, 4, 7}));
    QCOMPARE(run.percents.at(41), 97);

    QCOMPARE(run.sim.table().left(41), run.image);
}

void TestGestSend::silentEcuFailsAfterBudget_data()
{
    QTest::addColumn<int>("budget");
    QTest::newRow("program's budget") << 20;
    QTest::newRow("budget of one") << 1;
}

void TestGestSend::silentEcuFailsAfterBudget()
{
    QFETCH(int, budget);
    WriteRun run(30, budget, profileImage(41));
    run.sim.setFault(EcuSimulator::Fault::Silent);
    run.worker.startSend(0);
    QTRY_COMPARE_WITH_TIMEOUT(run.results, QStringList{"KO_SND"}, 10000);

    // The first frame, sent once and repeated after each time-out, nothing else.
    const QByteArray first = buildWriteFrame(0, static_cast<quint8>(run.image.at(0)));
    QCOMPARE(run.line.frameCount(), budget);
    QCOMPARE(run.line.countOf(first), budget);
    QVERIFY(!run.percents.contains(100));
    QTest::qWait(100);
    QCOMPARE(run.line.frameCount(), budget); // back to idle

    // A new start refills the budget and the write goes through.
    run.sim.setFault(EcuSimulator::Fault::None);
    run.results.clear();
    run.worker.startSend(0);
    QTRY_COMPARE_WITH_TIMEOUT(run.results, QStringList{"OK_SND"}, 10000);
    QCOMPARE(run.sim.table().left(41), run.image);
}

void TestGestSend::timeoutsAddUpOverTheTransfer_data()
{
    QTest::addColumn<int>("lostOnByte40");
    QTest::addColumn<QString>("result");
    QTest::newRow("10 + 10 time-outs") << 10 << "KO_SND";
    QTest::newRow("10 + 9 time-outs") << 9 << "OK_SND";
}

void TestGestSend::timeoutsAddUpOverTheTransfer()
{
    QFETCH(int, lostOnByte40);
    QFETCH(QString, result);
    WriteRun run(30, 20, profileImage(41));
    const QByteArray byte3 = buildWriteFrame(3, static_cast<quint8>(run.image.at(3)));
    const QByteArray byte40 = buildWriteFrame(40, static_cast<quint8>(run.image.at(40)));
    run.line.drop = [=](const QByteArray &frame, int n) {
        return (frame == byte3 && n < 10) || (frame == byte40 && n < lostOnByte40);
    };
    run.worker.startSend(0);
    QTRY_COMPARE_WITH_TIMEOUT(run.results, QStringList{result}, 10000);

    if (result == "KO_SND") {
        // A time-out resends the same address; the 20th time-out, on byte
        // 40, ends the transfer: byte 40 went out 10 times.
        QCOMPARE(run.line.countOf(byte3), 11);
        QCOMPARE(run.line.countOf(byte40), 10);
        QCOMPARE(run.line.frameCount(), 40 + 10 + 10);
        QVERIFY(!run.percents.contains(100));
    } else {
        // Every byte written after the first time-out is written once more
        // at the end and acknowledged: 3 to 40, in order.
        QCOMPARE(run.line.countOf(byte3), 12);
        QCOMPARE(run.line.countOf(byte40), 11);
        const QList<QByteArray> frames = run.line.frames();
        QCOMPARE(frames.size(), 41 + 19 + 38);
        for (int a = 3; a <= 40; ++a)
            QCOMPARE(frames.at(41 + 19 + a - 3),
                     buildWriteFrame(a, static_cast<quint8>(run.image.at(a))));
        QCOMPARE(run.percents.last(), 100);
        QCOMPARE(run.sim.table().left(41), run.image);
    }
}

void TestGestSend::wrongByte0ThenRightAnswerIsAccepted()
{
    // A long time-out: the test itself delivers the answers to byte 5.
    WriteRun run(2000, 20, profileImage(41));
    const QByteArray byte5 = buildWriteFrame(5, static_cast<quint8>(run.image.at(5)));
    run.line.drop = [=](const QByteArray &frame, int) { return frame == byte5; };
    run.worker.startSend(0);
    QTRY_COMPARE_WITH_TIMEOUT(run.line.countOf(byte5), 1, 5000);

    QByteArray ack = run.sim.handle(byte5);
    QByteArray wrong = ack;
    wrong[0] = static_cast<char>(AnswerRead);
    run.worker.setReply(wrong);
    QTest::qWait(100);
    QCOMPARE(run.line.frameCount(), 6); // still waiting on byte 5
    run.worker.setReply(ack);
    QTRY_COMPARE_WITH_TIMEOUT(run.results, QStringList{"OK_SND"}, 10000);
    QCOMPARE(run.line.frameCount(), 41); // nothing was sent twice
}

void TestGestSend::wrongByte0AloneCannotHoldTheWait()
{
    WriteRun run(30, 5, profileImage(41));
    run.sim.setFault(EcuSimulator::Fault::WrongByte0);
    run.worker.startSend(0);
    QTRY_COMPARE_WITH_TIMEOUT(run.results, QStringList{"KO_SND"}, 5000);
    QCOMPARE(run.line.frameCount(), 5);
}

void TestGestSend::emptyImageFailsAtOnce()
{
    WriteRun run(30, 20);
    run.worker.startSend(0);
    // Both on the calling thread, before startSend returns.
    QCOMPARE(run.percents, QList<int>{0});
    QCOMPARE(run.results, QStringList{"KO_SND"});
    QTest::qWait(100);
    QCOMPARE(run.line.frameCount(), 0);
    QCOMPARE(run.results, QStringList{"KO_SND"});
}

void TestGestSend::secondAcknowledgementResendsTheByte_data()
{
    QTest::addColumn<int>("strays");
    QTest::addColumn<QString>("result");
    QTest::newRow("once") << 1 << "OK_SND";
    QTest::newRow("twice") << 2 << "KO_SND";
}

// A write over a real pseudo-terminal where byte 5 gets a second
// acknowledgement in the same burst: the line cannot vouch for the one
// taken, so the byte is written again once; a second time ends the write.
void TestGestSend::secondAcknowledgementResendsTheByte()
{
    QFETCH(int, strays);
    QFETCH(QString, result);
    EcuSimulator sim;
    PtySimServer server(&sim);
    QVERIFY(server.open());
    QByteArray image = profileImage(41);
    const QByteArray byte5 = buildWriteFrame(5, static_cast<quint8>(image.at(5)));
    int straysSent = 0;
    connect(&server, &PtySimServer::frameSeen, &server,
            [&](const QByteArray &request, const QByteArray &answer) {
                if (request == byte5 && straysSent < strays) {
                    ++straysSent;
                    server.sendUnasked(answer);
                }
            });
    CEcuLine line;
    // The worker outlives the line: requests still queued when the line
    // closes tell their worker that they were not written.
    CGestSend worker(&image, nullptr, 100, 20);
    WorkerLine transport(server.slavePath(), &line);
    QVERIFY(transport.transport.isOpen());
    transport.attach(&worker);
    QSignalSpy outcome(&worker, &CGestSend::sgnEsito);
    worker.startSend(0);
    QVERIFY(outcome.wait(10000));
    QCOMPARE(outcome.first().first().toString(), result);
    QCOMPARE(sim.requests().count(byte5), 2);
    if (result == QLatin1String("OK_SND"))
        QCOMPARE(sim.table().left(41), image);
}

QTEST_GUILESS_MAIN(TestGestSend)
#include "tst_gestsend.moc"
