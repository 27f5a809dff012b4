#include "frames.h"

char frameChecksum(const QByteArray &bytes)
{
    quint8 sum = 0;
    for (char c : bytes)
        sum = static_cast<quint8>(sum + static_cast<quint8>(c));
    return static_cast<char>(sum);
}

static QByteArray finish(QByteArray payload)
{
    payload.append(frameChecksum(payload));
    return payload;
}

static char byteOf(int value)
{
    return static_cast<char>(static_cast<quint8>(value & 0xFF));
}

QByteArray buildInfoFrame()
{
    QByteArray f;
    f.append(byteOf(0xFA));
    f.append(6, byteOf(0x19));
    return finish(f);
}

QByteArray buildWriteFrame(int address, int value)
{
    QByteArray f;
    f.append(byteOf(0xFD));
    f.append(byteOf(value));
    f.append(byteOf(address));
    f.append(4, byteOf(0x01));
    return finish(f);
}

QByteArray buildReadFrame(int address)
{
    QByteArray f;
    f.append(byteOf(0xF4));
    f.append(byteOf(0xF4));
    f.append(byteOf(address));
    f.append(4, byteOf(0x19));
    return finish(f);
}

QByteArray buildPollFrame()
{
    QByteArray f;
    f.append(byteOf(0xFB));
    f.append(byteOf(0xFB));
    f.append(5, byteOf(0x19));
    return finish(f);
}

static quint8 at(const QByteArray &frame, int i)
{
    return i < frame.size() ? static_cast<quint8>(frame.at(i)) : 0;
}

bool isAnswer(const QByteArray &frame, quint8 awaitedByte0)
{
    return !frame.isEmpty() && at(frame, 0) == awaitedByte0;
}

bool isProbeFound(const QByteArray &frame)
{
    return frame.size() >= 2 && at(frame, 0) == AnswerProbe && at(frame, 1) == AnswerProbeOk;
}

quint8 readAnswerValue(const QByteArray &frame)
{
    return frame.size() < 2 ? 0 : at(frame, 1);
}

PollAnswer decodePollAnswer(const QByteArray &frame)
{
    PollAnswer a;
    a.adc = at(frame, 2);
    a.cellValue = at(frame, 3);
    a.rpm = at(frame, 5) * 256 + at(frame, 4);
    a.cellIndex = at(frame, 6);
    return a;
}

EcuTable ecuTable(quint8 hardware)
{
    if (hardware < 20)
        return EcuTable{41, 50, 41, 42, 49};
    return EcuTable{81, 90, 81, 82, 89};
}

bool pushAnswerByte(QByteArray &frame, int &count, char byte)
{
    if (frame.size() <= count)
        frame.resize(count + 1);
    frame[count] = byte;
    ++count;
    if (count >= FrameSize) {
        count = 0;
        return true;
    }
    return false;
}
