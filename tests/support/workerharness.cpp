#include "workerharness.h"

#include "ecusimulator.h"

#include "comm/workerlock.h"

LineHarness::LineHarness(EcuSimulator *sim)
    : sim(sim)
{
}

QByteArray LineHarness::onFrame(const QByteArray &frame)
{
    int before;
    {
        WorkerLock lock(&mutex);
        before = sent.count(frame);
        sent.append(frame);
    }
    QByteArray answer = sim ? sim->handle(frame) : QByteArray();
    if (drop && drop(frame, before))
        return QByteArray();
    if (rewrite)
        answer = rewrite(frame, answer);
    return answer;
}

QList<QByteArray> LineHarness::frames() const
{
    // A list of its own, not a shared copy of `sent`: the worker thread goes
    // on appending to that one.
    WorkerLock lock(&mutex);
    QList<QByteArray> copy;
    copy.reserve(sent.size());
    for (const QByteArray &f : sent)
        copy.append(f);
    return copy;
}

int LineHarness::frameCount() const
{
    WorkerLock lock(&mutex);
    return sent.size();
}

int LineHarness::countOf(const QByteArray &frame) const
{
    WorkerLock lock(&mutex);
    return sent.count(frame);
}

QByteArray hexFrame(const char *hex)
{
    return QByteArray::fromHex(QByteArray(hex).replace(' ', ""));
}

QList<QByteArray> requestsOf(const EcuSimulator &sim, quint8 kind, int from)
{
    QList<QByteArray> out;
    const QList<QByteArray> all = sim.requests();
    for (int i = from; i < all.size(); ++i) {
        if (!all.at(i).isEmpty() && static_cast<quint8>(all.at(i).at(0)) == kind)
            out.append(all.at(i));
    }
    return out;
}
