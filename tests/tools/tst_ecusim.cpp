// The ECU simulator: its answers, table, faults and engine model; serving it
// on a pseudo-terminal through a real QSerialPort; and the hidapi fake.

#include "comm/frames.h"
#include "ecusimulator.h"
#include "hidfake.h"
#include "ptysimserver.h"

#include <hidapi/hidapi.h>

#include <QElapsedTimer>
#include <QFileInfo>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>
#include <cwchar>
#include <functional>
#include <thread>

Q_DECLARE_METATYPE(EcuSimulator::Fault)

namespace {

QByteArray bytes(const char *hex)
{
    return QByteArray::fromHex(hex);
}

bool sealedOk(const QByteArray &frame)
{
    return frame.size() == FrameSize && frame.at(7) == frameChecksum(frame.left(7));
}

quint8 u8(const QByteArray &frame, int i)
{
    return static_cast<quint8>(frame.at(i));
}

// A QSerialPort on the simulator's slave side, set up as the program sets
// up its port.
struct SerialClient
{
    QSerialPort port;

    bool open(const QString &path)
    {
        port.setPortName(path);
        port.setBaudRate(QSerialPort::Baud9600);
        port.setDataBits(QSerialPort::Data8);
        port.setParity(QSerialPort::NoParity);
        port.setStopBits(QSerialPort::OneStop);
        port.setFlowControl(QSerialPort::NoFlowControl);
        return port.open(QIODevice::ReadWrite);
    }

    // Writes a request and gathers the answer (up to `expect` bytes),
    // running the event loop so that a server in this thread can answer.
    QByteArray exchange(const QByteArray &request, int expect = FrameSize, int timeoutMs = 1000)
    {
        QSignalSpy ready(&port, &QSerialPort::readyRead);
        port.write(request);
        QByteArray got;
        QElapsedTimer t;
        t.start();
        while (got.size() < expect) {
            const int left = timeoutMs - static_cast<int>(t.elapsed());
            if (port.bytesAvailable() == 0 && (left <= 0 || !ready.wait(left)))
                break;
            got += port.readAll();
        }
        return got;
    }
};

} // namespace

class TstEcuSim : public QObject
{
    Q_OBJECT

private slots:
    void probeAnswersWithIdentity();
    void probeIsRecognisedByItsFirstByte();
    void writeThenReadBack();
    void ignoresMalformedRequests_data();
    void ignoresMalformedRequests();
    void defaultTableIsPlausibleForBothLayouts();
    void benchAndKAddresses_data();
    void benchAndKAddresses();
    void faults_data();
    void faults();
    void silentAfter();
    void engineModelStaysPlausible_data();
    void engineModelStaysPlausible();
    void pollFollowsEngineAndTable();
    void fixedLiveValues();
    void concurrentRequests();

    void ptyRoundTrip();
    void ptyDropsStalePartialRequest();
    void ptyPacedAnswerTakesLineTime();
    void ptyLinkLifecycle();

    void hidWithoutSimulator();
    void hidRoundTrip();
    void hidReadFailsAndSilence();
};

void TstEcuSim::probeAnswersWithIdentity()
{
    EcuSimulator sim;
    QCOMPARE(sim.handle(buildInfoFrame()), bytes("FAC80A00313130") + frameChecksum(bytes("FAC80A00313130")));

    EcuSimulator::Identity id;
    id.hardware = 25;
    id.cylinders = 4;
    id.versionMajor = '2';
    id.versionMinor = '3';
    id.revision = '7';
    sim.setIdentity(id);
    const QByteArray a = sim.handle(buildInfoFrame());
    QVERIFY(sealedOk(a));
    QVERIFY(isProbeFound(a));
    QCOMPARE(a.mid(2, 5), bytes("1904323337"));
    QCOMPARE(sim.identity().hardware, quint8(25));
}

void TstEcuSim::probeIsRecognisedByItsFirstByte()
{
    // The HID route sends FA in a zeroed report; later attempts leave the
    // previous answer's bytes behind it. Both are probes.
    EcuSimulator sim;
    QVERIFY(isProbeFound(sim.handle(bytes("FA00000000000000"))));
    QVERIFY(isProbeFound(sim.handle(bytes("FAC80A0031313076"))));
    QVERIFY(isProbeFound(sim.handle(bytes("FA"))));
    QCOMPARE(sim.answersGiven(), 3);
}

void TstEcuSim::writeThenReadBack()
{
    EcuSimulator sim;
    for (int address = 0; address < 256; ++address) {
        const int value = (address * 37 + 0x80) & 0xFF;
        const QByteArray ack = sim.handle(buildWriteFrame(address, value));
        QVERIFY(sealedOk(ack));
        QCOMPARE(u8(ack, 0), AnswerWrite);
        const QByteArray read = sim.handle(buildReadFrame(address));
        QVERIFY(sealedOk(read));
        QCOMPARE(u8(read, 0), AnswerRead);
        QCOMPARE(int(readAnswerValue(read)), value);
        QCOMPARE(int(sim.tableByte(address)), value);
    }
    QCOMPARE(sim.table().size(), 256);
    QCOMPARE(sim.requests().size(), 512);
    QCOMPARE(sim.requests().first(), buildWriteFrame(0, 0x80));
    sim.clearRequests();
    QVERIFY(sim.requests().isEmpty());

    // setTable always keeps 256 bytes.
    sim.setTable(QByteArray(10, '\x07'));
    QCOMPARE(sim.table().size(), 256);
    QCOMPARE(int(sim.tableByte(9)), 7);
    QCOMPARE(int(sim.tableByte(10)), 0);
}

void TstEcuSim::ignoresMalformedRequests_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("unknown byte 0") << bytes("0102030405060715");
    QTest::newRow("read, bad checksum") << bytes("F4F400191919194D");
    QTest::newRow("write, bad checksum") << bytes("FD10050101010117");
    QTest::newRow("poll, bad checksum") << bytes("FBFB191919191900");
    QTest::newRow("read, 7 bytes") << buildReadFrame(0).left(7);
    QTest::newRow("poll, 9 bytes") << buildPollFrame() + '\0';
}

void TstEcuSim::ignoresMalformedRequests()
{
    QFETCH(QByteArray, request);
    EcuSimulator sim;
    const QByteArray before = sim.table();
    QVERIFY(sim.handle(request).isEmpty());
    QCOMPARE(sim.table(), before);
    QCOMPARE(sim.answersGiven(), 0);
    QCOMPARE(sim.requests(), QList<QByteArray>{request});
}

void TstEcuSim::defaultTableIsPlausibleForBothLayouts()
{
    const QByteArray t = EcuSimulator::defaultTable();
    QCOMPARE(t.size(), 256);
    QCOMPARE(EcuSimulator().table(), t);
    for (int i = 0; i <= 40; ++i) {
        const int v = static_cast<qint8>(t.at(i));
        QVERIFY2(v >= -5 && v <= 20, qPrintable(QString::number(i)));
        if (i > 0)
            QVERIFY(qAbs(v - static_cast<qint8>(t.at(i - 1))) <= 3); // smooth
    }
    QVERIFY(static_cast<qint8>(t.at(20)) > static_cast<qint8>(t.at(0)));
    // Small table: bench byte, K, bench switch.
    QCOMPARE(int(t.at(41)), 0);
    QCOMPARE(int(t.at(42)), 1);
    QCOMPARE(int(t.at(49)), 0);
    // Large table: the name reads as empty, then bench byte, K, switch.
    QCOMPARE(QString::fromLatin1(t.mid(41, 39).constData()), QString());
    QCOMPARE(int(t.at(81)), 0);
    QCOMPARE(int(t.at(82)), 1);
    QCOMPARE(int(t.at(89)), 0);
}

void TstEcuSim::benchAndKAddresses_data()
{
    QTest::addColumn<int>("hardware");
    QTest::newRow("small table") << 10;
    QTest::newRow("large table") << 25;
}

void TstEcuSim::benchAndKAddresses()
{
    // The program's test-bench command and K change, as the ECU sees them.
    QFETCH(int, hardware);
    const EcuTable layout = ecuTable(static_cast<quint8>(hardware));
    EcuSimulator sim;
    for (const QByteArray &f : {buildWriteFrame(layout.benchArmAddr, 2), buildWriteFrame(layout.kAddr, 1),
                                buildWriteFrame(layout.benchSwitchAddr, 1), buildWriteFrame(layout.kAddr, 3)})
        QCOMPARE(u8(sim.handle(f), 0), AnswerWrite);
    QCOMPARE(int(readAnswerValue(sim.handle(buildReadFrame(layout.benchArmAddr)))), 2);
    QCOMPARE(int(readAnswerValue(sim.handle(buildReadFrame(layout.kAddr)))), 3);
    QCOMPARE(int(readAnswerValue(sim.handle(buildReadFrame(layout.benchSwitchAddr)))), 1);
    // The curve is untouched.
    QCOMPARE(sim.table().left(41), EcuSimulator::defaultTable().left(41));
}

void TstEcuSim::faults_data()
{
    QTest::addColumn<EcuSimulator::Fault>("fault");
    QTest::addColumn<int>("probeSize");   // -1: no answer
    QTest::addColumn<int>("writeSize");
    QTest::addColumn<bool>("writeStored");
    QTest::newRow("none") << EcuSimulator::Fault::None << 8 << 8 << true;
    QTest::newRow("silent") << EcuSimulator::Fault::Silent << -1 << -1 << false;
    QTest::newRow("wrong byte 0") << EcuSimulator::Fault::WrongByte0 << 8 << 8 << true;
    QTest::newRow("drop byte") << EcuSimulator::Fault::DropByte << 7 << 7 << true;
    QTest::newRow("extra byte") << EcuSimulator::Fault::ExtraByte << 9 << 9 << true;
    QTest::newRow("no write ack") << EcuSimulator::Fault::NoWriteAck << 8 << -1 << true;
    QTest::newRow("wrong store") << EcuSimulator::Fault::WrongStore << 8 << 8 << false;
}

void TstEcuSim::faults()
{
    QFETCH(EcuSimulator::Fault, fault);
    QFETCH(int, probeSize);
    QFETCH(int, writeSize);
    QFETCH(bool, writeStored);

    EcuSimulator reference;
    const QByteArray goodProbe = reference.handle(buildInfoFrame());
    const QByteArray goodWrite = reference.handle(buildWriteFrame(7, 0x55));

    EcuSimulator sim;
    sim.setFault(fault);
    QCOMPARE(sim.fault(), fault);
    const QByteArray probe = sim.handle(buildInfoFrame());
    const QByteArray write = sim.handle(buildWriteFrame(7, 0x55));
    QCOMPARE(probe.isEmpty() ? -1 : probe.size(), probeSize);
    QCOMPARE(write.isEmpty() ? -1 : write.size(), writeSize);
    QCOMPARE(sim.tableByte(7) == 0x55, writeStored);
    QCOMPARE(sim.requests().size(), 2);

    switch (fault) {
    case EcuSimulator::Fault::WrongByte0:
        QCOMPARE(u8(probe, 0), quint8(0));
        QVERIFY(!isProbeFound(probe));
        QVERIFY(!isAnswer(write, AnswerWrite));
        QCOMPARE(probe.mid(1, 6), goodProbe.mid(1, 6));
        QVERIFY(sealedOk(probe));
        break;
    case EcuSimulator::Fault::DropByte:
    case EcuSimulator::Fault::ExtraByte:
    case EcuSimulator::Fault::None:
        QCOMPARE(probe.left(7), goodProbe.left(7));
        QCOMPARE(write.left(7), goodWrite.left(7));
        break;
    case EcuSimulator::Fault::NoWriteAck:
        QCOMPARE(probe, goodProbe);
        QCOMPARE(int(readAnswerValue(sim.handle(buildReadFrame(7)))), 0x55);
        break;
    case EcuSimulator::Fault::WrongStore:
        QCOMPARE(write, goodWrite); // acknowledged as sent...
        QCOMPARE(int(sim.tableByte(7)), 0x54); // ...stored with bit 0 flipped
        break;
    case EcuSimulator::Fault::Silent:
        QVERIFY(sim.handle(buildPollFrame()).isEmpty());
        QCOMPARE(sim.answersGiven(), 0);
        break;
    }

    // Clearing the fault brings back normal answers.
    sim.setFault(EcuSimulator::Fault::None);
    QCOMPARE(sim.handle(buildInfoFrame()), goodProbe);
}

void TstEcuSim::silentAfter()
{
    EcuSimulator sim;
    sim.handle(buildInfoFrame()); // answers before the call do not count
    sim.setSilentAfter(2);
    QVERIFY(!sim.handle(buildReadFrame(1)).isEmpty());
    QVERIFY(!sim.handle(buildPollFrame()).isEmpty());
    QVERIFY(sim.handle(buildInfoFrame()).isEmpty());
    QVERIFY(sim.handle(buildWriteFrame(3, 9)).isEmpty());
    QCOMPARE(int(sim.tableByte(3)), int(EcuSimulator::defaultTable().at(3))); // a silent ECU stores nothing
    QCOMPARE(sim.answersGiven(), 3);
    sim.setSilentAfter(-1);
    QVERIFY(isProbeFound(sim.handle(buildInfoFrame())));
    sim.setSilentAfter(0);
    QVERIFY(sim.handle(buildInfoFrame()).isEmpty());
}

void TstEcuSim::engineModelStaysPlausible_data()
{
    QTest::addColumn<int>("cylinders");
    QTest::addColumn<int>("maxRpm");
    QTest::newRow("2 cylinders") << 2 << 12000;
    QTest::newRow("4 cylinders") << 4 << 17000;
    QTest::newRow("not reported") << 0 << 12000;
}

void TstEcuSim::engineModelStaysPlausible()
{
    QFETCH(int, cylinders);
    QFETCH(int, maxRpm);
    QCOMPARE(EcuSimulator::maxRpmFor(static_cast<quint8>(cylinders)), maxRpm);

    const int start = EcuSimulator::modelRpm(0, maxRpm);
    QVERIFY(qAbs(start - 1200) <= 50); // idles at start
    int low = start, high = start, previous = start;
    int previousAdc = EcuSimulator::modelAdc(0);
    for (qint64 ms = 100; ms <= 300000; ms += 100) {
        const int rpm = EcuSimulator::modelRpm(ms, maxRpm);
        low = qMin(low, rpm);
        high = qMax(high, rpm);
        QVERIFY2(qAbs(rpm - previous) < maxRpm / 20, qPrintable(QString::number(ms))); // no jumps
        previous = rpm;
        const int adc = EcuSimulator::modelAdc(ms);
        QVERIFY(qAbs(adc - previousAdc) <= 3);
        QVERIFY(adc >= 50 && adc <= 200);
        previousAdc = adc;
    }
    QVERIFY(low >= 1000);
    QVERIFY(high <= maxRpm);
    QVERIFY(high > maxRpm / 2); // it does rev up
    QVERIFY(EcuSimulator::modelAdc(300000) > EcuSimulator::modelAdc(0) + 50); // warms up

    QCOMPARE(EcuSimulator::cellIndexFor(0, maxRpm), 0);
    QCOMPARE(EcuSimulator::cellIndexFor(maxRpm / 2, maxRpm), 20);
    QCOMPARE(EcuSimulator::cellIndexFor(maxRpm, maxRpm), 40);
    QCOMPARE(EcuSimulator::cellIndexFor(maxRpm * 2, maxRpm), 40);
}

void TstEcuSim::pollFollowsEngineAndTable()
{
    EcuSimulator sim;
    QByteArray table = EcuSimulator::defaultTable();
    for (int i = 0; i <= 40; ++i)
        table[i] = static_cast<char>(100 + i); // cell value tells the index
    sim.setTable(table);

    QList<int> speeds;
    for (int n = 0; n < 4; ++n) {
        const QByteArray a = sim.handle(buildPollFrame());
        QVERIFY(sealedOk(a));
        QCOMPARE(u8(a, 0), AnswerPoll);
        const PollAnswer p = decodePollAnswer(a);
        QVERIFY(p.rpm >= 1000 && p.rpm <= 12000);
        QCOMPARE(int(p.cellIndex), EcuSimulator::cellIndexFor(p.rpm, 12000));
        QCOMPARE(int(p.cellValue), 100 + p.cellIndex);
        speeds << p.rpm;
        QTest::qWait(120);
    }
    // A running engine: the speed does not stand still.
    QVERIFY(std::adjacent_find(speeds.begin(), speeds.end(), std::not_equal_to<int>()) != speeds.end());
}

void TstEcuSim::fixedLiveValues()
{
    EcuSimulator sim;
    sim.setFixedRpm(6000);
    PollAnswer p = decodePollAnswer(sim.handle(buildPollFrame()));
    QCOMPARE(p.rpm, 6000);
    QCOMPARE(int(p.cellIndex), 20);
    QCOMPARE(p.cellValue, sim.tableByte(20));

    sim.setLiveValues(10000, 0x7F, 5, 0x33);
    QCOMPARE(sim.handle(buildPollFrame()).left(7), bytes("FE007F33102705"));

    sim.setLiveValues(-1, 0, 0, 0);
    p = decodePollAnswer(sim.handle(buildPollFrame()));
    QVERIFY(p.rpm != 10000 && p.rpm >= 1000 && p.rpm < 4000);
}

void TstEcuSim::concurrentRequests()
{
    EcuSimulator sim;
    auto worker = [&sim](int base) {
        for (int i = 0; i < 2000; ++i) {
            sim.handle(buildWriteFrame(base + (i % 8), i & 0xFF));
            sim.handle(buildPollFrame());
        }
    };
    std::thread a(worker, 100), b(worker, 200);
    for (int i = 0; i < 500; ++i) {
        sim.setFault(i % 2 ? EcuSimulator::Fault::None : EcuSimulator::Fault::ExtraByte);
        sim.table();
    }
    a.join();
    b.join();
    QCOMPARE(sim.answersGiven(), 8000);
    QCOMPARE(sim.requests().size(), 8000);
}

void TstEcuSim::ptyRoundTrip()
{
    EcuSimulator sim;
    PtySimServer server(&sim);
    QVERIFY(server.open());
    QVERIFY(server.slavePath().startsWith(QLatin1String("/dev/")));
    QSignalSpy seen(&server, &PtySimServer::frameSeen);

    // Raw mode before any client touches it: no echo, no line editing, no
    // signals, no CR/NL translation, no XON/XOFF, no output processing.
    const int fd = ::open(QFile::encodeName(server.slavePath()).constData(), O_RDWR | O_NOCTTY);
    QVERIFY(fd >= 0);
    termios tio;
    QCOMPARE(::tcgetattr(fd, &tio), 0);
    ::close(fd);
    QCOMPARE(tio.c_lflag & (ECHO | ICANON | ISIG | IEXTEN), tcflag_t(0));
    QCOMPARE(tio.c_iflag & (ICRNL | INLCR | IGNCR | IXON | ISTRIP), tcflag_t(0));
    QCOMPARE(tio.c_oflag & OPOST, tcflag_t(0));

    SerialClient client;
    QVERIFY2(client.open(server.slavePath()), qPrintable(client.port.errorString()));

    QCOMPARE(client.exchange(buildInfoFrame()), sim.handle(buildInfoFrame()));

    // Bytes a cooked terminal would eat or change: CR, NL, XON, XOFF, ^C,
    // DEL and the upper half.
    const QList<QPair<int, int>> writes = {{0x0D, 0x0A}, {0x11, 0x13}, {0x03, 0x7F}, {0x80, 0xFF}, {0xFE, 0x0D}};
    for (const auto &w : writes) {
        const QByteArray ack = client.exchange(buildWriteFrame(w.first, w.second));
        QCOMPARE(ack.size(), FrameSize);
        QCOMPARE(u8(ack, 0), AnswerWrite);
        QCOMPARE(int(sim.tableByte(w.first)), w.second);
        const QByteArray read = client.exchange(buildReadFrame(w.first));
        QVERIFY(sealedOk(read));
        QCOMPARE(int(readAnswerValue(read)), w.second);
    }

    QTRY_COMPARE_WITH_TIMEOUT(seen.size(), 1 + 2 * writes.size(), 1000);
    QCOMPARE(seen.first().at(0).toByteArray(), buildInfoFrame());
    QVERIFY(isProbeFound(seen.first().at(1).toByteArray()));

    // A silent ECU: the request is seen, nothing comes back.
    sim.setFault(EcuSimulator::Fault::Silent);
    QVERIFY(client.exchange(buildPollFrame(), FrameSize, 150).isEmpty());
    QTRY_COMPARE_WITH_TIMEOUT(seen.size(), 2 + 2 * writes.size(), 1000);
    QVERIFY(seen.last().at(1).toByteArray().isEmpty());
}

void TstEcuSim::ptyDropsStalePartialRequest()
{
    EcuSimulator sim;
    PtySimServer server(&sim);
    QVERIFY(server.open());
    SerialClient client;
    QVERIFY(client.open(server.slavePath()));

    // Three stray bytes, then a pause: the next request is still understood.
    client.port.write(bytes("FB1919"));
    client.port.waitForBytesWritten(100);
    QTest::qWait(PtySimServer::RequestGapMs + 50);
    QVERIFY(isProbeFound(client.exchange(buildInfoFrame())));
    QCOMPARE(sim.requests(), QList<QByteArray>{buildInfoFrame()});

    // Back to back, two requests in one write get two answers.
    const QByteArray both = client.exchange(buildReadFrame(42) + buildReadFrame(0), 16);
    QCOMPARE(both.size(), 16);
    QCOMPARE(int(readAnswerValue(both.left(8))), 1);
    QCOMPARE(readAnswerValue(both.mid(8)), sim.tableByte(0));
}

// The paced line: answers take line time, leave in the order of their start
// times and never overlap.
void TstEcuSim::ptyPacedAnswerTakesLineTime()
{
    EcuSimulator sim;
    PtySimServer server(&sim);
    QVERIFY(server.open());
    server.setPaced(true);
    SerialClient client;
    QVERIFY(client.open(server.slavePath()));

    QElapsedTimer t;
    t.start();
    const QByteArray answer = client.exchange(buildInfoFrame());
    const qint64 elapsed = t.elapsed();
    QVERIFY(isProbeFound(answer));
    QVERIFY2(elapsed >= 8, qPrintable(QString::number(elapsed)));
    QVERIFY2(elapsed < 500, qPrintable(QString::number(elapsed)));

    // Two answers in a row take twice the line time, still in order.
    t.restart();
    const QByteArray two = client.exchange(buildReadFrame(42) + buildPollFrame(), 16);
    QVERIFY(t.elapsed() >= 16);
    QCOMPARE(two.size(), 16);
    QCOMPARE(u8(two, 0), AnswerRead);
    QCOMPARE(u8(two, 8), AnswerPoll);

    // Three reads in one go, the first answered 10 ms late: the answer to
    // the second is not held back behind it, and the third, which would
    // overlap it on the line, follows right behind it.
    sim.setLateRead(5, 10);
    const QByteArray answers =
        client.exchange(buildReadFrame(5) + buildReadFrame(6) + buildReadFrame(7), 24);
    QCOMPARE(answers.size(), 24);
    for (int i = 0; i < 3; ++i)
        QVERIFY(sealedOk(answers.mid(8 * i, 8)));
    QCOMPARE(readAnswerValue(answers.mid(0, 8)), sim.tableByte(6));
    QCOMPARE(readAnswerValue(answers.mid(8, 8)), sim.tableByte(5));
    QCOMPARE(readAnswerValue(answers.mid(16, 8)), sim.tableByte(7));

    // Only the first read of that address is late.
    int delayMs = -1;
    QVERIFY(!sim.handle(buildReadFrame(5), &delayMs).isEmpty());
    QCOMPARE(delayMs, 0);
    sim.setLateRead(9, 40);
    sim.handle(buildWriteFrame(9, 1), &delayMs);
    QCOMPARE(delayMs, 0); // a write is not a read
    sim.handle(buildReadFrame(9), &delayMs);
    QCOMPARE(delayMs, 40);
}

void TstEcuSim::ptyLinkLifecycle()
{
    QTemporaryDir tmp;
    QVERIFY(tmp.isValid());
    const QString dir = tmp.path() + QStringLiteral("/ports/deeper");
    QString link;
    {
        EcuSimulator sim;
        PtySimServer server(&sim);
        QVERIFY(!server.linkInto(dir, QStringLiteral("ecu"))); // not open yet
        QVERIFY(server.open());
        QVERIFY(server.linkInto(dir, QStringLiteral("ecu")));
        link = server.linkPath();
        QCOMPARE(link, dir + QStringLiteral("/ecu"));
        QFileInfo info(link);
        QVERIFY(info.isSymLink());
        QCOMPARE(info.symLinkTarget(), server.slavePath());

        // The link is a usable port.
        SerialClient client;
        QVERIFY(client.open(link));
        QVERIFY(isProbeFound(client.exchange(buildInfoFrame())));

        // A second server takes over the name of a link; a plain file is
        // never replaced.
        PtySimServer other(&sim);
        QVERIFY(other.open());
        QVERIFY(other.linkInto(dir, QStringLiteral("ecu")));
        QCOMPARE(QFileInfo(link).symLinkTarget(), other.slavePath());
        QFile plain(dir + QStringLiteral("/file"));
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.close();
        QVERIFY(!server.linkInto(dir, QStringLiteral("file")));
        QVERIFY(QFileInfo(plain.fileName()).isFile());
        QVERIFY(server.linkInto(dir, QStringLiteral("ecu2")));
    } // both servers go: each removes only its own link
    QVERIFY(!QFileInfo(link).isSymLink());
    QVERIFY(!QFileInfo(dir + QStringLiteral("/ecu2")).isSymLink());
    QVERIFY(QFileInfo(dir + QStringLiteral("/file")).isFile());
}

void TstEcuSim::hidWithoutSimulator()
{
    hidfake::reset();
    QCOMPARE(hid_init(), 0);
    QVERIFY(hid_open(0x04D8, 0x0080, nullptr) == nullptr);
    QVERIFY(hid_enumerate(0x04D8, 0x0080) == nullptr);
    QCOMPARE(hidfake::openCount(), 1);
    hid_close(nullptr);
    QCOMPARE(hidfake::closeCount(), 0);
    QCOMPARE(hid_exit(), 0);
    QCOMPARE(hidfake::exitCount(), 1);
}

void TstEcuSim::hidRoundTrip()
{
    hidfake::reset();
    EcuSimulator sim;
    EcuSimulator::Identity id;
    id.hardware = 21;
    id.cylinders = 2;
    sim.setIdentity(id);
    hidfake::attach(&sim);

    QVERIFY(hid_open(0x1234, 0x0080, nullptr) == nullptr); // another device
    hid_device *dev = hid_open(0x04D8, 0x0080, nullptr);
    QVERIFY(dev);
    QCOMPARE(hidfake::openCount(), 2);

    wchar_t text[8];
    QCOMPARE(hid_get_product_string(dev, text, 8), 0);
    QCOMPARE(std::wcslen(text), size_t(7)); // cut to the buffer, terminated
    QCOMPARE(hid_get_serial_number_string(dev, text, 8), 0);
    QVERIFY(std::wcscmp(text, L"SIM0001") == 0);

    // The port search's probe: report number 0, FA, zeros.
    unsigned char buf[65] = {};
    buf[1] = 0xFA;
    QCOMPARE(hid_write(dev, buf, sizeof buf), 65);
    std::memset(buf + 20, 0xEE, 10);
    QCOMPARE(hid_read_timeout(dev, buf, sizeof buf, 250), 65);
    QCOMPARE(QByteArray(reinterpret_cast<char *>(buf), 8), sim.handle(buildInfoFrame()));
    QCOMPARE(buf[2], quint8(21));
    QCOMPARE(QByteArray(reinterpret_cast<char *>(buf) + 8, 57), QByteArray(57, '\0'));

    // A second attempt keeps the previous answer behind the FA: still a probe.
    buf[0] = 0;
    buf[1] = 0xFA;
    QCOMPARE(hid_write(dev, buf, sizeof buf), 65);
    QCOMPARE(hid_read(dev, buf, sizeof buf), 65);
    QVERIFY(isProbeFound(QByteArray(reinterpret_cast<char *>(buf), 8)));

    // A frame written as the transport does: bytes 1..8.
    const QByteArray frame = buildWriteFrame(82, 3);
    unsigned char report[65] = {};
    std::memcpy(report + 1, frame.constData(), 8);
    QCOMPARE(hid_write(dev, report, sizeof report), 65);
    QCOMPARE(hid_read_timeout(dev, report, sizeof report, 250), 65);
    QCOMPARE(report[0], AnswerWrite);
    QCOMPARE(int(sim.tableByte(82)), 3);

    const QList<QByteArray> written = hidfake::writtenReports();
    QCOMPARE(written.size(), 3);
    for (const QByteArray &r : written)
        QCOMPARE(r.size(), 65);
    QCOMPARE(written.last().mid(1, 8), frame);
    QCOMPARE(sim.requests().first(), bytes("FA00000000000000"));

    hid_close(dev);
    QCOMPARE(hidfake::closeCount(), 1);
    hidfake::reset();
}

void TstEcuSim::hidReadFailsAndSilence()
{
    hidfake::reset();
    EcuSimulator sim;
    hidfake::attach(&sim);
    hid_device *dev = hid_open(0x04D8, 0x0080, nullptr);
    QVERIFY(dev);
    unsigned char buf[65] = {};
    const QByteArray poll = buildPollFrame();
    std::memcpy(buf + 1, poll.constData(), 8);

    hidfake::setReadFails(1);
    QCOMPARE(hid_write(dev, buf, sizeof buf), 65);
    QCOMPARE(hid_read_timeout(dev, buf, sizeof buf, 250), -1);
    // The failed read lost that answer; the next exchange is in step.
    std::memcpy(buf + 1, poll.constData(), 8);
    QCOMPARE(hid_write(dev, buf, sizeof buf), 65);
    QCOMPARE(hid_read_timeout(dev, buf, sizeof buf, 250), 65);
    QCOMPARE(buf[0], AnswerPoll);
    QCOMPARE(hid_read_timeout(dev, buf, sizeof buf, 250), 0); // nothing more queued

    // A late ECU: the bounded read waits its whole time-out, as hidapi's
    // does, and the late report stays queued for the next read.
    sim.setAnswerDelayMs(150, 1);
    std::memcpy(buf + 1, poll.constData(), 8);
    QCOMPARE(hid_write(dev, buf, sizeof buf), 65);
    QElapsedTimer t;
    t.start();
    QCOMPARE(hid_read_timeout(dev, buf, sizeof buf, 100), 0);
    QVERIFY(t.elapsed() >= 100);
    QCOMPARE(hid_read_timeout(dev, buf, sizeof buf, 0), 0); // not arrived yet
    QCOMPARE(hid_read_timeout(dev, buf, sizeof buf, 200), 65);
    QVERIFY(t.elapsed() >= 150);
    QCOMPARE(buf[0], AnswerPoll);

    // A silent ECU: a plain read fails instead of hanging.
    sim.setFault(EcuSimulator::Fault::Silent);
    std::memcpy(buf + 1, poll.constData(), 8);
    QCOMPARE(hid_write(dev, buf, sizeof buf), 65);
    QCOMPARE(hid_read(dev, buf, sizeof buf), -1);

    // The device unplugged: writes fail.
    hidfake::attach(nullptr);
    QCOMPARE(hid_write(dev, buf, sizeof buf), -1);
    hid_close(dev);
    QCOMPARE(hidfake::closeCount(), 1);
    hidfake::reset();
}

QTEST_GUILESS_MAIN(TstEcuSim)
#include "tst_ecusim.moc"
