// The live link's exchanges off the window's thread, on a pseudo-terminal set
// up as the session sets up the port while the link polls (whole frames).

#include "comm/cserialpump.h"
#include "comm/eculine.h"
#include "comm/frames.h"

#include <QtTest>
#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {

const QByteArray Answer = QByteArray::fromHex("fe10e1094d0a0000"); // a poll answer

struct PtyPair
{
    int master = -1;
    int slave = -1;
    PtyPair()
    {
        if (::openpty(&master, &slave, nullptr, nullptr, nullptr) != 0)
            qFatal("no pseudo-terminal");
        termios tio;
        ::tcgetattr(slave, &tio);
        ::cfmakeraw(&tio);
        tio.c_cc[VMIN] = FrameSize;
        tio.c_cc[VTIME] = 0;
        ::tcsetattr(slave, TCSANOW, &tio);
        ::fcntl(slave, F_SETFL, ::fcntl(slave, F_GETFL) | O_NONBLOCK);
    }
    ~PtyPair()
    {
        ::close(slave);
        ::close(master);
    }
    void answer(const QByteArray &bytes) const
    {
        QVERIFY(::write(master, bytes.constData(), size_t(bytes.size())) == bytes.size());
    }
};

} // namespace

class TestSerialPump : public QObject
{
    Q_OBJECT
private slots:
    void exchange_data();
    void exchange();
};

// The request's own thread waits for its answer until a little after it is
// due; a later answer is taken whole by the pump's thread; end() cuts the
// wait short and leaves the port's input to its owner.
void TestSerialPump::exchange_data()
{
    QTest::addColumn<int>("firstMs");  // when the first part of the answer comes (-1: never)
    QTest::addColumn<int>("split");    // its size
    QTest::addColumn<int>("restMs");   // when the rest comes
    QTest::addColumn<int>("endMs");    // when the pump ends (-1: it does not)
    QTest::addColumn<bool>("bySender"); // the answer is in when send() returns
    QTest::addColumn<int>("frames");   // answers handed on in the end
    QTest::addColumn<bool>("posted");  // sent without waiting for the answer
    QTest::newRow("whole before it is due") << 0 << 8 << 0 << -1 << true << 1 << false;
    QTest::newRow("in two parts within the wait") << 1 << 5 << 4 << -1 << true << 1 << false;
    QTest::newRow("its rest after the sender gave up") << 1 << 5 << 40 << -1 << false << 1 << false;
    QTest::newRow("never") << -1 << 0 << 0 << -1 << false << 0 << false;
    QTest::newRow("the pump ends while it is awaited") << 20 << 8 << 20 << 3 << false << 0 << false;
    QTest::newRow("posted: the pump's thread takes it") << 5 << 3 << 10 << -1 << false << 1 << true;
}

void TestSerialPump::exchange()
{
    QFETCH(int, firstMs);
    QFETCH(int, split);
    QFETCH(int, restMs);
    QFETCH(int, endMs);
    QFETCH(bool, bySender);
    QFETCH(int, frames);
    QFETCH(bool, posted);

    PtyPair pty;
    CEcuLine line;
    std::atomic<int> handed{0};
    CSerialPump pump(&line, [&handed](const QByteArray &frame) {
        if (frame == Answer)
            ++handed;
    });
    pump.setAnswerDueNs(2000000); // due 2 ms after the request, given up 5 ms later
    QVERIFY(pump.begin(pty.slave));

    bool accepted = false;
    int inWhenReturned = -1;
    std::thread sender([&] {
        accepted = posted ? pump.post(buildPollFrame()) : pump.send(buildPollFrame());
        inWhenReturned = handed;
    });
    // The time line starts when the request has arrived whole.
    QByteArray request;
    while (request.size() < FrameSize) {
        pollfd in = {pty.master, POLLIN, 0};
        QVERIFY(::poll(&in, 1, 1000) == 1);
        char bytes[16];
        const ssize_t n = ::read(pty.master, bytes, sizeof bytes);
        QVERIFY(n > 0);
        request.append(bytes, int(n));
    }
    const auto start = std::chrono::steady_clock::now();
    const auto at = [&](int ms) {
        std::this_thread::sleep_until(start + std::chrono::milliseconds(ms));
    };
    if (endMs >= 0) {
        at(endMs);
        pump.end();
        QVERIFY(!pump.send(buildPollFrame())); // the frame goes the window's way
    }
    if (firstMs >= 0) {
        at(firstMs);
        pty.answer(Answer.left(split));
        at(restMs);
        pty.answer(Answer.mid(split));
    }
    sender.join();
    QVERIFY(accepted);
    QCOMPARE(request, buildPollFrame());
    QTRY_COMPARE(handed.load(), frames);
    QCOMPARE(inWhenReturned == 1, bySender);
    QTest::qWait(20);
    QCOMPARE(handed.load(), frames);
    if (endMs >= 0) { // the answer waits for the port's owner
        char answer[16] = {};
        QCOMPARE(::read(pty.slave, answer, sizeof answer), ssize_t(FrameSize));
    }
}

QTEST_GUILESS_MAIN(TestSerialPump)
#include "tst_serialpump.moc"
