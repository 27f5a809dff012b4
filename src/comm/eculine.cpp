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

CEcuLine::CEcuLine(int gapMs, int writeGapMs, int quietMs)
    : gap(boundedGap(gapMs)), writeGap(boundedGap(writeGapMs)), quiet(qMax(0, quietMs))
{
    clock.start();
}

void CEcuLine::setGaps(int gapMs, int writeGapMs)
{
    WorkerLock lock(&mutex);
    gap = boundedGap(gapMs);
    writeGap = boundedGap(writeGapMs);
}

int CEcuLine::gapMs() const
{
    WorkerLock lock(&mutex);
    return gap;
}

int CEcuLine::writeGapMs() const
{
    WorkerLock lock(&mutex);
    return writeGap;
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
    lastInputNs = qMax(lastInputNs, now());
    quietNeeded = true;
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

qint64 CEcuLine::nsUntilFree() const
{
    WorkerLock lock(&mutex);
    const qint64 t = now();
    qint64 wait = freeAtNs - t;
    if (quietNeeded)
        wait = qMax(wait, lastInputNs + quiet * NsPerMs - t);
    return qMax<qint64>(0, wait);
}

void CEcuLine::reset()
{
    WorkerLock lock(&mutex);
    freeAtNs = 0;
    lastInputNs = 0;
    quietNeeded = false;
}
