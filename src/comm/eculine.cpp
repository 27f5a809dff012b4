#include "eculine.h"

#include "frames.h"
#include "workerlock.h"

namespace {
int boundedGap(int ms)
{
    return qBound(0, ms, CEcuLine::MaxGapMs);
}
constexpr qint64 NsPerMs = 1000000;
} // namespace

CEcuLine::CEcuLine(int gapMs, int writeGapMs, int quietMs, int quietCapMs)
    : gap(boundedGap(gapMs)),
      writeGap(boundedGap(writeGapMs)),
      quiet(qMax(0, quietMs)),
      quietCap(qMax(0, quietCapMs))
{
    clock.start();
}

void CEcuLine::setGaps(int gapMs, int writeGapMs)
{
    WorkerLock lock(&mutex);
    gap = boundedGap(gapMs);
    writeGap = boundedGap(writeGapMs);
}

void CEcuLine::noteRequestSent()
{
    WorkerLock lock(&mutex);
    awaiting = true;
}

// Input that no request can account for makes the answer taken last
// suspect: nothing is waiting for an answer (this is a second frame, or the
// next request has not been written yet). While the line waits for silence,
// input is expected. Lock held.
void CEcuLine::judgeInput(qint64 t)
{
    lastInputNs = t;
    if (!quietNeeded && !awaiting)
        suspect = true;
}

void CEcuLine::noteActivity()
{
    WorkerLock lock(&mutex);
    judgeInput(now());
}

void CEcuLine::noteAnswer(const QByteArray &frame)
{
    WorkerLock lock(&mutex);
    const qint64 t = now();
    judgeInput(t);
    awaiting = false;
    const int ms = isAnswer(frame, AnswerWrite) ? writeGap : gap;
    freeAtNs = qMax(freeAtNs, t + ms * NsPerMs);
}

void CEcuLine::noteTimeout()
{
    WorkerLock lock(&mutex);
    const qint64 t = now();
    lastInputNs = qMax(lastInputNs, t);
    quietNeeded = true;
    quietSinceNs = t;
    awaiting = false; // whatever still comes for that request is expected
}

void CEcuLine::requireQuiet()
{
    noteTimeout();
}

void CEcuLine::noteRequest()
{
    WorkerLock lock(&mutex);
    quietNeeded = false;
}

qint64 CEcuLine::gapLeftNs() const
{
    WorkerLock lock(&mutex);
    return qMax<qint64>(0, freeAtNs - now());
}

CEcuLine::Clearance CEcuLine::clearance() const
{
    WorkerLock lock(&mutex);
    const qint64 t = now();
    Clearance c;
    const qint64 silenceNs = lastInputNs + quiet * NsPerMs - t;
    if (quietNeeded && silenceNs > 0) {
        // Past the cap (strictly) the attempt is over; until then the worker
        // asks again when silence may have come, or when the cap runs out.
        const qint64 capNs = quietSinceNs + quietCap * NsPerMs + 1 - t;
        if (capNs <= 0)
            c.overdue = true;
        else
            c.waitNs = qMin(silenceNs, capNs);
    }
    return c;
}

bool CEcuLine::takeSuspect()
{
    WorkerLock lock(&mutex);
    const bool was = suspect;
    suspect = false;
    return was;
}

void CEcuLine::clearSuspect()
{
    WorkerLock lock(&mutex);
    suspect = false;
}

void CEcuLine::reset()
{
    WorkerLock lock(&mutex);
    freeAtNs = 0;
    lastInputNs = 0;
    quietNeeded = false;
    awaiting = false;
    suspect = false;
}
