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

void CEcuLine::noteAnswer(const QByteArray &frame)
{
    WorkerLock lock(&mutex);
    const qint64 t = now();
    lastInputNs = t;
    const int ms = isAnswer(frame, AnswerWrite) ? writeGap : gap;
    freeAtNs = qMax(freeAtNs, t + ms * NsPerMs);
}

void CEcuLine::noteActivity()
{
    WorkerLock lock(&mutex);
    lastInputNs = now();
}

void CEcuLine::noteTimeout()
{
    WorkerLock lock(&mutex);
    const qint64 t = now();
    lastInputNs = qMax(lastInputNs, t);
    quietNeeded = true;
    quietSinceNs = t;
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

CEcuLine::Clearance CEcuLine::clearance() const
{
    WorkerLock lock(&mutex);
    const qint64 t = now();
    Clearance c;
    c.waitNs = qMax<qint64>(0, freeAtNs - t);
    const qint64 silenceNs = lastInputNs + quiet * NsPerMs - t;
    if (quietNeeded && silenceNs > 0) {
        // Past the cap (strictly) the attempt is over; until then the worker
        // asks again when silence may have come, or when the cap runs out.
        const qint64 capNs = quietSinceNs + quietCap * NsPerMs + 1 - t;
        if (capNs <= 0)
            c.overdue = true;
        else
            c.waitNs = qMax(c.waitNs, qMin(silenceNs, capNs));
    }
    return c;
}

void CEcuLine::reset()
{
    WorkerLock lock(&mutex);
    freeAtNs = 0;
    lastInputNs = 0;
    quietNeeded = false;
}
