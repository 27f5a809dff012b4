#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QMutex>
#include <QtGlobal>

// The timing rules of the one ECU line, shared by every worker that sends on
// it. The ECU answers every request with one 8-byte frame, and a read answer
// does not echo its address, so the line keeps two rules:
//
// - a quiet gap after each answer before the next request: a short one after
//   a read or poll answer, a longer one after a write acknowledgement, when
//   the ECU may still be programming its flash;
// - after a time-out, silence before the next request: input keeps being
//   discarded until nothing has arrived for a while, so an answer that comes
//   late is never taken for the answer to the request after it. The same
//   holds after an answer to a request that had to be repeated: the answer
//   to the repeat may still be on its way. The wait for silence is capped:
//   a line that keeps sending bytes makes the attempt count as a time-out,
//   and the next attempt waits for silence again, so a worker's budget of
//   time-outs bounds its waits.
//
// Safe to use from any thread.
class CEcuLine
{
public:
    static constexpr int DefaultGapMs = 2;
    static constexpr int DefaultWriteGapMs = 20;
    static constexpr int MaxGapMs = 50;
    static constexpr int DefaultQuietMs = 60;
    static constexpr int DefaultQuietCapMs = 250;

    explicit CEcuLine(int gapMs = DefaultGapMs, int writeGapMs = DefaultWriteGapMs,
                      int quietMs = DefaultQuietMs, int quietCapMs = DefaultQuietCapMs);

    // Gaps are limited to 0..MaxGapMs.
    void setGaps(int gapMs, int writeGapMs);

    // A complete answer frame has arrived (the transport calls it before it
    // hands the frame on): the gap that follows depends on its kind.
    void noteAnswer(const QByteArray &frame);
    // Some bytes have arrived: the line is not quiet.
    void noteActivity();
    // The answer to a request did not come in time, or silence did not come
    // within the cap: the next request waits for silence, for at most the
    // cap from now.
    void noteTimeout();
    // An answer was taken for a request that had been repeated: the answer
    // to the other copy may still come, so the next request waits for
    // silence too.
    void requireQuiet();
    // A request goes out now.
    void noteRequest();
    // Whether a request may go out now. When it must wait, waitNs says how
    // long at most before asking again; overdue says that silence was wanted
    // and has not come within the cap: the attempt counts as a time-out.
    struct Clearance
    {
        qint64 waitNs = 0;
        bool overdue = false;
    };
    Clearance clearance() const;
    // Forgets every pending gap and silence (a new connection).
    void reset();

private:
    qint64 now() const { return clock.nsecsElapsed(); }

    mutable QMutex mutex;
    QElapsedTimer clock;
    int gap;
    int writeGap;
    int quiet;
    int quietCap;
    qint64 freeAtNs = 0;      // end of the gap after the latest answer
    qint64 lastInputNs = 0;   // latest bytes seen (or the time-out)
    bool quietNeeded = false; // silence wanted before the next request
    qint64 quietSinceNs = 0;  // when it was wanted
};
