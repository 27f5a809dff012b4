#include "ecusimulator.h"

#include "comm/frames.h"


#include <cmath>

namespace {

constexpr quint8 RequestProbe = 0xFA;
constexpr quint8 RequestWrite = 0xFD;
constexpr quint8 RequestRead = 0xF4;
constexpr quint8 RequestPoll = 0xFB;

constexpr int TableSize = 256;
constexpr int IdleRpm = 1200;
constexpr double Pi = 3.14159265358979323846;

quint8 byteAt(const QByteArray &bytes, int i)
{
    return static_cast<quint8>(bytes.at(i));
}

// The ECU's own sum over bytes 0..6 (kept apart from the program's frame
// code, so that a fault there cannot hide behind the same fault here).
char sumOfFirstSeven(const QByteArray &frame)
{
    unsigned sum = 0;
    for (int i = 0; i < FrameSize - 1 && i < frame.size(); ++i)
        sum += static_cast<quint8>(frame.at(i));
    return static_cast<char>(sum & 0xFF);
}

// Completes an answer: bytes 0..6 as given, byte 7 the checksum.
QByteArray sealed(QByteArray answer)
{
    answer.resize(FrameSize - 1);
    answer.append(sumOfFirstSeven(answer));
    return answer;
}

bool checksumOk(const QByteArray &request)
{
    return sumOfFirstSeven(request) == request.at(FrameSize - 1);
}

} // namespace

EcuSimulator::EcuSimulator()
    : tableBytes(defaultTable())
{
    engineClock.start();
}

QByteArray EcuSimulator::defaultTable()
{
    QByteArray t(TableSize, '\0');
    // Lean at idle, richest in the mid range, tapering towards the top.
    for (int i = 0; i <= 40; ++i) {
        const int v = static_cast<int>(std::lround(-5.0 + 25.0 * std::sin(Pi * i / 50.0)));
        t[i] = static_cast<char>(static_cast<qint8>(v));
    }
    t[42] = 1; // K, small table
    t[82] = 1; // K, large table
    return t;
}

int EcuSimulator::maxRpmFor(quint8 cylinders)
{
    return cylinders == 4 ? 17000 : 12000;
}

int EcuSimulator::cellIndexFor(int rpm, int maxRpm)
{
    if (maxRpm <= 0)
        return 0;
    return qBound(0, static_cast<int>(std::lround(rpm * 40.0 / maxRpm)), 40);
}

int EcuSimulator::modelRpm(qint64 ms, int maxRpm)
{
    const double t = ms / 1000.0;
    const double slow = 0.5 - 0.5 * std::cos(2 * Pi * t / 40.0);  // the 40 s cycle
    const double blips = 0.5 - 0.5 * std::cos(2 * Pi * t / 9.0);  // shorter blips
    const double level = std::pow(slow, 1.5) * (0.55 + 0.45 * blips);
    const double peak = 0.8 * maxRpm;
    const double roughness = 25.0 * std::sin(2 * Pi * t / 0.7);
    const double rpm = IdleRpm + (peak - IdleRpm) * level + roughness;
    return qBound(0, static_cast<int>(std::lround(rpm)), maxRpm);
}

quint8 EcuSimulator::modelAdc(qint64 ms)
{
    const double t = ms / 1000.0;
    const double adc = 70.0 + 110.0 * (1.0 - std::exp(-t / 90.0)) + 4.0 * std::sin(2 * Pi * t / 13.0);
    return static_cast<quint8>(qBound(0, static_cast<int>(std::lround(adc)), 255));
}

QByteArray EcuSimulator::handle(const QByteArray &request)
{
    return handle(request, nullptr);
}

QByteArray EcuSimulator::handle(const QByteArray &request, int *delayMs)
{
    const std::lock_guard<std::mutex> lock(mutex);
    const bool faulty = answers >= faultFrom;
    const Fault active = faulty ? currentFault : Fault::None;
    if (delayMs)
        *delayMs = faulty && lateLeft != 0 ? answerDelayMs : 0;
    seen.append(request);
    if (seen.size() > MaxRecorded)
        seen.removeFirst();

    if (active == Fault::Silent || (silentAfter >= 0 && answers >= silentAfter))
        return QByteArray();

    QByteArray answer = answerFor(request);
    if (answer.isEmpty())
        return answer;
    if (active == Fault::NoWriteAck && byteAt(request, 0) == RequestWrite)
        return QByteArray();
    if (active == Fault::WrongStore && byteAt(request, 0) == RequestWrite) {
        const quint8 address = byteAt(request, 2);
        tableBytes[address] = static_cast<char>(byteAt(request, 1) ^ 1);
    }

    switch (active) {
    case Fault::WrongByte0:
        answer[0] = '\0';
        answer = sealed(answer);
        break;
    case Fault::DropByte:
        answer.chop(1);
        break;
    case Fault::ExtraByte:
        answer.append('\0');
        break;
    default:
        break;
    }
    if (lateReadAddress >= 0 && byteAt(request, 0) == RequestRead
        && byteAt(request, 2) == lateReadAddress) {
        if (delayMs)
            *delayMs += lateReadMs;
        lateReadAddress = -1;
    }
    ++answers;
    if (faulty && lateLeft > 0)
        --lateLeft;
    return answer;
}

// The ECU's own answer to a request; empty for a request it ignores.
// Runs with the mutex held.
QByteArray EcuSimulator::answerFor(const QByteArray &request)
{
    if (request.isEmpty())
        return QByteArray();
    const quint8 kind = byteAt(request, 0);

    if (kind == RequestProbe) {
        QByteArray a;
        a.append(static_cast<char>(AnswerProbe));
        a.append(static_cast<char>(AnswerProbeOk));
        a.append(static_cast<char>(id.hardware));
        a.append(static_cast<char>(id.cylinders));
        a.append(id.versionMajor);
        a.append(id.versionMinor);
        a.append(id.revision);
        return sealed(a);
    }

    if (request.size() != FrameSize || !checksumOk(request))
        return QByteArray();

    switch (kind) {
    case RequestWrite: {
        const quint8 value = byteAt(request, 1);
        const quint8 address = byteAt(request, 2);
        tableBytes[address] = static_cast<char>(value);
        QByteArray a = request;
        a[0] = static_cast<char>(AnswerWrite);
        return sealed(a);
    }
    case RequestRead: {
        const quint8 address = byteAt(request, 2);
        QByteArray a = request;
        a[0] = static_cast<char>(AnswerRead);
        a[1] = tableBytes.at(address);
        return sealed(a);
    }
    case RequestPoll:
        return liveAnswer();
    default:
        return QByteArray();
    }
}

// Poll answer: FE 00 level cell rpmLow rpmHigh index checksum.
// Runs with the mutex held.
QByteArray EcuSimulator::liveAnswer()
{
    const qint64 ms = engineClock.elapsed();
    const int maxRpm = maxRpmFor(id.cylinders);
    int rpm;
    quint8 adc, index, cell;
    if (fixedRpm >= 0 && fixedAll) {
        rpm = fixedRpm;
        adc = fixedAdc;
        index = fixedCellIndex;
        cell = fixedCellValue;
    } else {
        rpm = fixedRpm >= 0 ? fixedRpm : modelRpm(ms, maxRpm);
        adc = modelAdc(ms);
        index = static_cast<quint8>(cellIndexFor(rpm, maxRpm));
        cell = static_cast<quint8>(tableBytes.at(index));
    }
    QByteArray a;
    a.append(static_cast<char>(AnswerPoll));
    a.append('\0');
    a.append(static_cast<char>(adc));
    a.append(static_cast<char>(cell));
    a.append(static_cast<char>(rpm & 0xFF));
    a.append(static_cast<char>((rpm >> 8) & 0xFF));
    a.append(static_cast<char>(index));
    return sealed(a);
}

void EcuSimulator::setIdentity(const Identity &identity)
{
    const std::lock_guard<std::mutex> lock(mutex);
    id = identity;
}

EcuSimulator::Identity EcuSimulator::identity() const
{
    const std::lock_guard<std::mutex> lock(mutex);
    return id;
}

void EcuSimulator::setFault(Fault f)
{
    const std::lock_guard<std::mutex> lock(mutex);
    currentFault = f;
}

EcuSimulator::Fault EcuSimulator::fault() const
{
    const std::lock_guard<std::mutex> lock(mutex);
    return currentFault;
}

void EcuSimulator::setAnswerDelayMs(int ms, int count)
{
    const std::lock_guard<std::mutex> lock(mutex);
    answerDelayMs = qMax(0, ms);
    lateLeft = count < 0 ? -1 : count;
}

void EcuSimulator::setLateRead(int address, int delayMs)
{
    const std::lock_guard<std::mutex> lock(mutex);
    lateReadAddress = address < 0 ? -1 : address & 0xFF;
    lateReadMs = qMax(0, delayMs);
}

void EcuSimulator::setFaultAfter(int n)
{
    const std::lock_guard<std::mutex> lock(mutex);
    faultFrom = answers + qMax(0, n);
}

void EcuSimulator::setSilentAfter(int n)
{
    const std::lock_guard<std::mutex> lock(mutex);
    silentAfter = n < 0 ? -1 : answers + n;
}

QByteArray EcuSimulator::table() const
{
    const std::lock_guard<std::mutex> lock(mutex);
    return tableBytes;
}

quint8 EcuSimulator::tableByte(int address) const
{
    const std::lock_guard<std::mutex> lock(mutex);
    return static_cast<quint8>(tableBytes.at(address & 0xFF));
}

void EcuSimulator::setTableByte(int address, quint8 value)
{
    const std::lock_guard<std::mutex> lock(mutex);
    tableBytes[address & 0xFF] = static_cast<char>(value);
}

void EcuSimulator::setTable(const QByteArray &table)
{
    const std::lock_guard<std::mutex> lock(mutex);
    // Always 256 bytes: a shorter table is filled up with zeros.
    tableBytes = table.left(TableSize);
    if (tableBytes.size() < TableSize)
        tableBytes.append(QByteArray(TableSize - tableBytes.size(), '\0'));
}

void EcuSimulator::setLiveValues(int rpm, quint8 adc, quint8 cellIndex, quint8 cellValue)
{
    const std::lock_guard<std::mutex> lock(mutex);
    fixedRpm = rpm < 0 ? -1 : qMin(rpm, 0xFFFF);
    fixedAll = true;
    fixedAdc = adc;
    fixedCellIndex = cellIndex;
    fixedCellValue = cellValue;
}

void EcuSimulator::setFixedRpm(int rpm)
{
    const std::lock_guard<std::mutex> lock(mutex);
    fixedRpm = rpm < 0 ? -1 : qMin(rpm, 0xFFFF);
    fixedAll = false;
}

QList<QByteArray> EcuSimulator::requests() const
{
    const std::lock_guard<std::mutex> lock(mutex);
    return seen;
}

void EcuSimulator::clearRequests()
{
    const std::lock_guard<std::mutex> lock(mutex);
    seen.clear();
}

int EcuSimulator::answersGiven() const
{
    const std::lock_guard<std::mutex> lock(mutex);
    return answers;
}
