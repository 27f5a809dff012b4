#include "comm/cgestreceive.h"
#include "comm/frames.h"
#include "ecusimulator.h"
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

QTEST_GUILESS_MAIN(TestGestReceive)
#include "tst_gestreceive.moc"
