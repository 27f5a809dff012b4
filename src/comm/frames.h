#pragma once

#include <QByteArray>
#include <QtGlobal>

// Every request to the ECU and every answer from it is a frame of exactly
// 8 raw bytes: bytes 0..6 carry the payload, byte 7 is the 8-bit wrapping sum
// of bytes 0..6. All functions here are pure and safe from any thread.

constexpr int FrameSize = 8;

// Byte 0 of the ECU's answers.
constexpr quint8 AnswerProbe = 0xFA; // probe answer; byte 1 must be 0xC8
constexpr quint8 AnswerProbeOk = 0xC8;
constexpr quint8 AnswerWrite = 0xFD; // write acknowledged
constexpr quint8 AnswerRead = 0xF4;  // byte 1 = value read
constexpr quint8 AnswerPoll = 0xFE;  // live values

char frameChecksum(const QByteArray &bytes);

QByteArray buildInfoFrame();
QByteArray buildWriteFrame(int address, int value);
QByteArray buildReadFrame(int address);
QByteArray buildPollFrame();

// True when the frame's byte 0 is the awaited answer byte.
bool isAnswer(const QByteArray &frame, quint8 awaitedByte0);

// True when the frame is a positive probe answer (FA C8).
bool isProbeFound(const QByteArray &frame);

// The data byte of a read answer (byte 1); 0 when the answer is shorter.
quint8 readAnswerValue(const QByteArray &frame);

struct PollAnswer
{
    int rpm = 0;          // bytes 4 (low) and 5 (high)
    quint8 adc = 0;       // byte 2: temperature-probe level
    quint8 cellValue = 0; // byte 3: value of the curve cell in use
    quint8 cellIndex = 0; // byte 6: index of the curve cell in use
};

// Decodes a poll answer; missing bytes read as 0.
PollAnswer decodePollAnswer(const QByteArray &frame);

// ECU table addresses: the small table (hardware < 20) and the large one.
struct EcuTable
{
    int writeSize;      // bytes written by a flash write: 41 or 81
    int readCount;      // addresses requested by a flash read: 50 or 90
    int benchArmAddr;   // test-bench switch: first write (value 2), 41 or 81
    int kAddr;          // K Iniezione (and second test-bench write, value 1), 42 or 82
    int benchSwitchAddr;// test-bench switch: 1 on, 0 off; 49 or 89
};

EcuTable ecuTable(quint8 hardware);

// The bytes of a written image that the ECU is known to hold as they were
// sent: the 41 values and, on the large table, the name's bytes up to the
// 79th (the last byte of the image, 80, is not read back as part of the
// name).
constexpr int CheckedImageBytes = 80;

// Serial frame assembly: stores one received byte at position count of frame
// (growing it when shorter) and counts it. Returns true when the frame is
// complete; count is then back at 0 and frame holds the 8 bytes.
bool pushAnswerByte(QByteArray &frame, int &count, char byte);
