#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QtGlobal>
#include <mutex>

// A faithful stand-in for the ECU: answers 8-byte request frames exactly as
// the ECU does (probe, read, write, poll) from a 256-byte table, and can be
// told to misbehave. Thread-safe: every public member locks.
class EcuSimulator
{
public:
    struct Identity
    {
        quint8 hardware = 10;
        quint8 cylinders = 0;
        char versionMajor = '1';
        char versionMinor = '1';
        char revision = '0';
    };

    // Ways to misbehave; they apply to every answer until changed.
    enum class Fault {
        None,
        Silent,        // never answers
        WrongByte0,    // answers with byte 0 changed (e.g. 0x00)
        DropByte,      // answers with one byte missing (7 bytes)
        ExtraByte,     // answers with one byte too many (9 bytes)
        NoWriteAck,    // answers everything but write frames
        WrongStore     // acknowledges a write as sent but stores value ^ 1
    };

    EcuSimulator();

    // Answer to one request (raw bytes as they would go on the line; empty
    // when the ECU stays silent). Requests that are not 8 bytes, carry an
    // unknown byte 0 or, for write, read and poll, a wrong checksum get no
    // answer. A probe is recognised by byte 0 (0xFA) alone: the HID route
    // sends the bare byte FA in an otherwise zeroed report.
    QByteArray handle(const QByteArray &request);
    // The same; *delayMs receives how long after the request the answer is
    // due (0 unless the late-answer fault is on).
    QByteArray handle(const QByteArray &request, int *delayMs);

    void setIdentity(const Identity &id);
    Identity identity() const;

    void setFault(Fault f);
    Fault fault() const;
    // Falls silent after n more answers (-1: never).
    void setSilentAfter(int n);
    // The late-answer fault: answers are due ms after their request (0: at
    // once); for the next `count` answers only, or for all (count < 0).
    void setAnswerDelayMs(int ms, int count = -1);
    // The fault and the late answers begin only after n more answers (0: at
    // once), so that they can strike during a transfer or the link rather
    // than at the probe.
    void setFaultAfter(int n);
    // A late answer at one address: the next read request for `address` is
    // answered delayMs after it arrived (when the caller asks for the delay),
    // every later one at once. address < 0 turns it off.
    void setLateRead(int address, int delayMs);

    // The 256-byte table; starts with a plausible injection profile, K = 1
    // and the test bench off.
    QByteArray table() const;
    quint8 tableByte(int address) const;
    void setTableByte(int address, quint8 value);
    void setTable(const QByteArray &table);

    // Fixes the live values (engine speed etc.) instead of the running-engine
    // model; pass rpm < 0 to return to the model.
    void setLiveValues(int rpm, quint8 adc, quint8 cellIndex, quint8 cellValue);
    // Fixes the engine speed only: the probe level keeps drifting and the
    // cell follows the speed and the table. rpm < 0 returns to the model.
    void setFixedRpm(int rpm);

    // The initial table: a smooth injection curve at 0..40 (between -5 and
    // 20), K = 1 at 42 and 82, test bench off (41, 49, 81, 89 = 0), no
    // profile name (41..80 = 0), everything else 0. One table serves both
    // layouts, so 41/42 must read as bench byte and K for a small-table read
    // (0..49) while they are the first name bytes of a large-table read
    // (0..89); a zero at 41 makes the name read as empty there.
    static QByteArray defaultTable();

    // The running-engine model, as pure functions of the time since start:
    // idle around 1200 rpm, revving up to 80 % of maxRpm and back over a
    // 40-second cycle with shorter blips; the probe level warms up from
    // about 70 to about 180 over a few minutes with a slight wobble.
    static int modelRpm(qint64 ms, int maxRpm);
    static quint8 modelAdc(qint64 ms);
    // 17000 for 4 cylinders, 12000 otherwise.
    static int maxRpmFor(quint8 cylinders);
    // The curve cell in use at that speed: rpm * 40 / maxRpm, rounded, 0..40.
    static int cellIndexFor(int rpm, int maxRpm);

    // Every request seen, oldest first (the latest MaxRecorded of them).
    static constexpr int MaxRecorded = 10000;
    QList<QByteArray> requests() const;
    void clearRequests();
    int answersGiven() const;

private:
    QByteArray answerFor(const QByteArray &request);
    QByteArray liveAnswer();

    mutable std::mutex mutex; // a C++ mutex: ThreadSanitizer sees it
    Identity id;
    Fault currentFault = Fault::None;
    int silentAfter = -1;
    int answerDelayMs = 0;
    int lateLeft = -1;     // late answers still to give (-1: no limit)
    int faultFrom = 0;     // answers given before the fault and delay apply
    int lateReadAddress = -1; // read answered late once (-1: none)
    int lateReadMs = 0;
    int answers = 0;
    QByteArray tableBytes;
    QList<QByteArray> seen;
    int fixedRpm = -1;
    bool fixedAll = false; // setLiveValues (all fixed) rather than setFixedRpm
    quint8 fixedAdc = 0, fixedCellIndex = 0, fixedCellValue = 0;
    QElapsedTimer engineClock;
};
