#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QMutex>
#include <QtGlobal>

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
        NoWriteAck     // answers everything but write frames
    };

    EcuSimulator();

    // Answer to one request (raw bytes as they would go on the line; empty
    // when the ECU stays silent). Requests that are not 8 bytes or carry an
    // unknown byte 0 get no answer.
    QByteArray handle(const QByteArray &request);

    void setIdentity(const Identity &id);
    Identity identity() const;

    void setFault(Fault f);
    Fault fault() const;
    // Falls silent after n more answers (-1: never).
    void setSilentAfter(int n);

    // The 256-byte table; starts with a plausible injection profile, K = 1
    // and the test bench off.
    QByteArray table() const;
    quint8 tableByte(int address) const;
    void setTableByte(int address, quint8 value);
    void setTable(const QByteArray &table);

    // Fixes the live values (engine speed etc.) instead of the running-engine
    // model; pass rpm < 0 to return to the model.
    void setLiveValues(int rpm, quint8 adc, quint8 cellIndex, quint8 cellValue);

    // Every request seen, oldest first.
    QList<QByteArray> requests() const;
    void clearRequests();
    int answersGiven() const;

private:
    QByteArray answerFor(const QByteArray &request);
    QByteArray liveAnswer();

    mutable QMutex mutex;
    Identity id;
    Fault currentFault = Fault::None;
    int silentAfter = -1;
    int answers = 0;
    QByteArray tableBytes;
    QList<QByteArray> seen;
    int fixedRpm = -1;
    quint8 fixedAdc = 0, fixedCellIndex = 0, fixedCellValue = 0;
    QElapsedTimer engineClock;
};
