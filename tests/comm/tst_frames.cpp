// The 8-byte frames to and from the ECU: checksums, builders, answer
// recognition and decoding, and the serial frame assembly.

#include "comm/frames.h"

#include <QtTest>

namespace {
QByteArray bytes(const char *hex)
{
    return QByteArray::fromHex(hex);
}
} // namespace

class TstFrames : public QObject
{
    Q_OBJECT

private slots:
    void checksum_data();
    void checksum();
    void builders_data();
    void builders();
    void everyBuilderSealsItsFrame();
    void writeFrameKeepsLowBitsOnly();
    void highValuesPassUnchanged();
    void answerRecognition();
    void pollAnswerDecodes();
    void shortAnswersReadAsZero();
    void ecuTableLayouts_data();
    void ecuTableLayouts();
    void assemblyOfBurst();
    void assemblyOneByteAtATime();
    void assemblyGrowsShortFrame();
};

void TstFrames::checksum_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<int>("sum");
    QTest::newRow("empty") << QByteArray() << 0x00;
    QTest::newRow("probe payload") << bytes("FA191919191919") << 0x90;
    QTest::newRow("wraps above 255") << bytes("FD022901010101") << 0x2C;
    QTest::newRow("all FF") << bytes("FFFFFFFFFFFFFF") << 0xF9;
}

void TstFrames::checksum()
{
    QFETCH(QByteArray, input);
    QFETCH(int, sum);
    QCOMPARE(static_cast<quint8>(frameChecksum(input)), static_cast<quint8>(sum));
}

void TstFrames::builders_data()
{
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("probe") << buildInfoFrame() << bytes("FA19191919191990");
    QTest::newRow("poll") << buildPollFrame() << bytes("FBFB191919191973");
    QTest::newRow("read 0") << buildReadFrame(0) << bytes("F4F400191919194C");
    QTest::newRow("read 0x59") << buildReadFrame(0x59) << bytes("F4F45919191919A5");
    QTest::newRow("write 0x10 to 0x05") << buildWriteFrame(0x05, 0x10) << bytes("FD10050101010116");
    QTest::newRow("write wraps") << buildWriteFrame(0x29, 0x02) << bytes("FD0229010101012C");
}

void TstFrames::builders()
{
    QFETCH(QByteArray, frame);
    QFETCH(QByteArray, expected);
    QCOMPARE(frame.toHex(' '), expected.toHex(' '));
}

void TstFrames::everyBuilderSealsItsFrame()
{
    // Over all addresses and a spread of values, every frame is 8 bytes and
    // its last byte is the sum of the other seven.
    for (int address = 0; address < 256; ++address) {
        for (const QByteArray &f : {buildReadFrame(address), buildWriteFrame(address, 255 - address),
                                    buildWriteFrame(address, address)}) {
            QCOMPARE(f.size(), FrameSize);
            QCOMPARE(f.at(7), frameChecksum(f.left(7)));
        }
        QCOMPARE(static_cast<quint8>(buildReadFrame(address).at(2)), static_cast<quint8>(address));
    }
}

void TstFrames::writeFrameKeepsLowBitsOnly()
{
    const QByteArray f = buildWriteFrame(0x129, 0x1FF);
    QCOMPARE(static_cast<quint8>(f.at(1)), quint8(0xFF)); // value first
    QCOMPARE(static_cast<quint8>(f.at(2)), quint8(0x29)); // then address
    QCOMPARE(f, buildWriteFrame(0x29, 0xFF));
    QCOMPARE(buildReadFrame(0x1A5), buildReadFrame(0xA5));
    // Negative values (a signed profile byte) keep their two's complement.
    QCOMPARE(buildWriteFrame(3, -5), buildWriteFrame(3, 0xFB));
}

void TstFrames::highValuesPassUnchanged()
{
    const QByteArray f = buildWriteFrame(0x05, 0x80);
    QCOMPARE(f.size(), FrameSize);
    QCOMPARE(f.toHex(' '), QByteArray("fd 80 05 01 01 01 01 86"));
}

void TstFrames::answerRecognition()
{
    // Only byte 0 decides; the rest of a read answer, the address included,
    // is not looked at.
    QVERIFY(isAnswer(bytes("F4000000000000FF"), AnswerRead));
    QVERIFY(isAnswer(bytes("F47F990102030405"), AnswerRead));
    QVERIFY(!isAnswer(bytes("FD000000000000FF"), AnswerRead));
    QVERIFY(!isAnswer(QByteArray(), AnswerRead));
    QVERIFY(isAnswer(bytes("FD10050101010116"), AnswerWrite));
    QVERIFY(isAnswer(bytes("FE"), AnswerPoll));

    QVERIFY(isProbeFound(bytes("FAC80A0031313000")));
    QVERIFY(isProbeFound(bytes("FAC8")));
    QVERIFY(!isProbeFound(bytes("FAC7000000000000")));
    QVERIFY(!isProbeFound(bytes("00C8000000000000")));
    QVERIFY(!isProbeFound(bytes("FA")));
}

void TstFrames::pollAnswerDecodes()
{
    const PollAnswer a = decodePollAnswer(bytes("FE007F3310270599"));
    QCOMPARE(a.adc, quint8(0x7F));
    QCOMPARE(a.cellValue, quint8(0x33));
    QCOMPARE(a.rpm, 10000);
    QCOMPARE(a.cellIndex, quint8(5));

    // Engine speed is unsigned: a high half of 0x80 or more stays positive.
    QCOMPARE(decodePollAnswer(bytes("FE00000034FF0000")).rpm, 0xFF34);
}

void TstFrames::shortAnswersReadAsZero()
{
    QCOMPARE(readAnswerValue(QByteArray()), quint8(0));
    QCOMPARE(readAnswerValue(bytes("F4")), quint8(0));
    QCOMPARE(readAnswerValue(bytes("F4FB")), quint8(0xFB));

    const PollAnswer a = decodePollAnswer(bytes("FE00AA"));
    QCOMPARE(a.adc, quint8(0xAA));
    QCOMPARE(a.cellValue, quint8(0));
    QCOMPARE(a.rpm, 0);
    QCOMPARE(a.cellIndex, quint8(0));
}

void TstFrames::ecuTableLayouts_data()
{
    QTest::addColumn<int>("hardware");
    QTest::addColumn<int>("writeSize");
    QTest::addColumn<int>("readCount");
    QTest::addColumn<int>("benchArm");
    QTest::addColumn<int>("k");
    QTest::addColumn<int>("benchSwitch");
    QTest::newRow("10") << 10 << 41 << 50 << 41 << 42 << 49;
    QTest::newRow("19") << 19 << 41 << 50 << 41 << 42 << 49;
    QTest::newRow("20") << 20 << 81 << 90 << 81 << 82 << 89;
    QTest::newRow("25") << 25 << 81 << 90 << 81 << 82 << 89;
    QTest::newRow("255") << 255 << 81 << 90 << 81 << 82 << 89;
}

void TstFrames::ecuTableLayouts()
{
    QFETCH(int, hardware);
    const EcuTable t = ecuTable(static_cast<quint8>(hardware));
    QTEST(t.writeSize, "writeSize");
    QTEST(t.readCount, "readCount");
    QTEST(t.benchArmAddr, "benchArm");
    QTEST(t.kAddr, "k");
    QTEST(t.benchSwitchAddr, "benchSwitch");
}

void TstFrames::assemblyOfBurst()
{
    QByteArray frame(FrameSize, '\0');
    int count = 0;
    const QByteArray burst = bytes("F4110519191919A6" "FE01FF02");
    QList<QByteArray> complete;
    for (char c : burst) {
        if (pushAnswerByte(frame, count, c))
            complete.append(frame);
    }
    QCOMPARE(complete.size(), 1);
    QCOMPARE(complete.first(), burst.left(8));
    QCOMPARE(count, 4);
    QCOMPARE(frame.left(4), burst.mid(8, 4));

    // Four more bytes complete the waiting frame.
    for (char c : bytes("03040506")) {
        if (pushAnswerByte(frame, count, c))
            complete.append(frame);
    }
    QCOMPARE(complete.size(), 2);
    QCOMPARE(complete.last(), bytes("FE01FF0203040506"));
    QCOMPARE(count, 0);
}

void TstFrames::assemblyOneByteAtATime()
{
    QByteArray frame(FrameSize, '\0');
    int count = 0;
    const QByteArray answer = bytes("FAC80A0031313000");
    for (int i = 0; i < answer.size(); ++i) {
        const bool done = pushAnswerByte(frame, count, answer.at(i));
        QCOMPARE(done, i == answer.size() - 1);
    }
    QCOMPARE(frame, answer);
    QCOMPARE(count, 0);
}

void TstFrames::assemblyGrowsShortFrame()
{
    QByteArray frame; // not sized yet
    int count = 0;
    for (int i = 0; i < 7; ++i)
        QVERIFY(!pushAnswerByte(frame, count, static_cast<char>(0x80 + i)));
    QVERIFY(pushAnswerByte(frame, count, '\x0D'));
    QCOMPARE(frame, bytes("808182838485860D"));
}

QTEST_GUILESS_MAIN(TstFrames)
#include "tst_frames.moc"
