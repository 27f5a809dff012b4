#include "eculine.h"

#include "frames.h"

#include <QMutexLocker>

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
    QMutexLocker lock(&mutex);
    gap = boundedGap(gapMs);
    writeGap = boundedGap(writeGapMs);
}

int CEcuLine::gapMs() const
{
    QMutexLocker lock(&mutex);
    return gap;
}

int CEcuLine::writeGapMs() const
{
    QMutexLocker lock(&mutex);
    return writeGap;
}

void CEcuLine::noteAnswer(const QByteArray &frame)
{
    QMutexLocker lock(&mutex);
    const qint64 t = now();
    lastInputNs = t;
    const int ms = isAnswer(frame, AnswerWrite) ? writeGap : gap;
    freeAtNs = qMax(freeAtNs, t + ms * NsPerMs);
}

void CEcuLine::noteActivity()
{
    QMutexLocker lock(&mutex);
    lastInputNs = now();
}

void CEcuLine::noteTimeout()
{
    QMutexLocker lock(&mutex);
    lastInputNs = qMax(lastInputNs, now());
    quietNeeded = true;
}

void CEcuLine::requireQuiet()
{
    noteTimeout();
}

void CEcuLine::noteRequest()
{
    QMutexLocker lock(&mutex);
    quietNeeded = false;
}

qint64 CEcuLine::nsUntilFree() const
{
    QMutexLocker lock(&mutex);
    const qint64 t = now();
    qint64 wait = freeAtNs - t;
    if (quietNeeded)
        wait = qMax(wait, lastInputNs + quiet * NsPerMs - t);
    return qMax<qint64>(0, wait);
}

void CEcuLine::reset()
{
    QMutexLocker lock(&mutex);
    freeAtNs = 0;
    lastInputNs = 0;
    quietNeeded = false;
}
