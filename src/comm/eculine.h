#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QMutex>
#include <QtGlobal>

// The timing rules of the one ECU line, shared by every worker that sends on
// it. The ECU answers every request with one 8-byte frame, and a read answer
// does not echo its address, so the line keeps these rules:
//
// - a quiet gap after each answer before the next request: a short one after
//   a read or poll answer, a longer one after a write acknowledgement, when
//   the ECU may still be programming its flash. The transport keeps it just
//   before it writes, so that a worker hands its next request over at once;
// - after a time-out, silence before the next request: input keeps being
//   discarded until nothing has arrived for a while, so an answer that comes
//   late is never taken for the answer to the request after it. The same
//   holds after an answer to a request that had to be repeated: the answer
//   to the repeat may still be on its way. The wait for silence is capped:
//   a line that keeps sending bytes makes the attempt count as a time-out,
//   and the next attempt waits for silence again, so a worker's budget of
//   time-outs bounds its waits;
// - bytes the line cannot account for make the answer taken last suspect:
//   bytes while no request is waiting (after an answer, before the next
//   request was written) and a second frame for one request. Bytes while
//   the line waits for silence are expected and not suspect. An answer may
//   come at any time after its request (a USB virtual port answers within a
//   millisecond), so no rule assumes the line's pace. Only timestamps are
//   kept: on a clean line the rules cost no time.
//
// The transport calls noteRequestSent, noteActivity and noteAnswer on its
// line thread; the workers call the rest on theirs. Safe to use
// from any thread.
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

    // The transport's side.
    // A request frame is written to the port (or handed to the HID transport) now.
    void noteRequestSent();
    // Some bytes have arrived (before they are assembled into frames).
    void noteActivity();
    // A complete answer frame has arrived (before it is handed on): the gap
    // that follows depends on its kind.
    void noteAnswer(const QByteArray &frame);
    // Forgets every pending gap, silence and suspicion (a new connection).
    void reset();

    // The workers' side.
    // A request goes out now (called before the frame is emitted).
    void noteRequest();
    // The answer to a request did not come in time, or silence did not come
    // within the cap: the next request waits for silence, for at most the
    // cap from now.
    void noteTimeout();
    // The next request waits for silence too: after an answer to a request
    // that had been repeated (the other copy's answer may still come), or
    // before an address is asked again because its answer was suspect.
    void requireQuiet();
    // Whether a request may be handed to the line now, as far as silence is
    // concerned. When it must wait, waitNs says how long at most before
    // asking again; overdue says that silence was wanted and has not come
    // within the cap: the attempt counts as a time-out.
    struct Clearance
    {
        qint64 waitNs = 0;
        bool overdue = false;
    };
    Clearance clearance() const;
    // The transport's side: how long the quiet gap after the latest answer
    // still lasts; the transport writes the next request once it is over.
    qint64 gapLeftNs() const;
    // Whether something made the answer taken last suspect since the last
    // call; clears it.
    bool takeSuspect();
    // Forgets a suspicion (a transfer begins: nothing it took is at stake).
    void clearSuspect();

private:
    qint64 now() const { return clock.nsecsElapsed(); }
    void judgeInput(qint64 t);

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
    bool awaiting = false;    // a request was written and has had no answer yet
    bool suspect = false;
};
