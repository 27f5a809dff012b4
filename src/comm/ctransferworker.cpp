#include "ctransferworker.h"

#include "eculine.h"
#include "frames.h"
#include "requestwriter.h"

CTransferWorker::CTransferWorker(QByteArray *data, QObject *parent, int timeoutMs,
                                 int maxRetries, quint8 awaitedAnswer)
    : QThread(parent),
      data(data),
      awaited(awaitedAnswer),
      maxRetries(maxRetries),
      timeoutMs(timeoutMs)
{
    clock.start();
}

CTransferWorker::~CTransferWorker()
{
    stopThread();
}

void CTransferWorker::stopThread()
{
    stopWorkerLoop(this, &mutex, &wake, &stopRequested);
}

void CTransferWorker::setLine(CEcuLine *l)
{
    WorkerLock lock(&mutex);
    line = l;
}

void CTransferWorker::setWriter(CRequestWriter *w)
{
    WorkerLock lock(&mutex);
    writer = w;
}

void CTransferWorker::setReply(const QByteArray &frame)
{
    WorkerLock lock(&mutex);
    reply = frame;
    // An idle worker waits for nothing: every answer of the live link would
    // wake its thread for no purpose.
    if (state != TransferState::Idle)
        wake.notifyAndUnlock(lock);
}

int CTransferWorker::answeredCount() const
{
    QMutexLocker lock(&mutex);
    return int(taken.count());
}

void CTransferWorker::abort()
{
    WorkerLock lock(&mutex);
    state = TransferState::Idle;
    reply.clear();
    wake.notify();
}

void CTransferWorker::beginTransfer(quint8 first, bool go)
{
    index = first;
    retriesLeft = maxRetries;
    repeated = false;
    lastTaken = -1;
    distrusted.reset();
    timedOut = false;
    confirming = false;
    taken.reset();
    unconfirmed.reset();
    longestNs = 0;
    state = go ? TransferState::Send : TransferState::Idle;
    // What the line saw before this transfer puts none of its answers at stake.
    if (go && line)
        line->clearSuspect();
    wake.notify();
}

// The line saw input it cannot account for. At stake are the answer taken
// last and, when the input came while the current request was waiting, the
// answer in hand: the earliest of them is asked again, after silence. When
// one of them was at stake once already, the transfer fails. The answer
// taken last is withdrawn all the same, so the image keeps only answers the
// line can vouch for, and every answer taken before it is asked again at
// the end (a stray frame may have shifted them). Lock held.
void CTransferWorker::distrust(bool answerInHand)
{
    reply.clear();
    if (line)
        line->requireQuiet();
    if (lastTaken < 0 && !answerInHand) {
        // Nothing in hand is at stake: let the line fall silent. Outside the
        // pass that asks again, what was taken may have been shifted.
        if (!confirming)
            unconfirmed |= taken;
        return;
    }
    bool again = false;
    for (const int address : {lastTaken, answerInHand ? int(index) : -1}) {
        if (address < 0)
            continue;
        again = again || distrusted.test(size_t(address));
        distrusted.set(size_t(address));
    }
    if (confirming) {
        // Answers asked again are compared, not appended: what is at stake
        // is asked again in turn.
        if (lastTaken >= 0)
            unconfirmed.set(size_t(lastTaken));
        lastTaken = -1;
        repeated = false;
        state = again ? TransferState::Failed : TransferState::Confirm;
        return;
    }
    if (lastTaken >= 0) {
        dropAnswer();
        taken.reset(size_t(lastTaken));
        index = static_cast<quint8>(lastTaken);
    }
    unconfirmed |= taken;
    lastTaken = -1;
    repeated = false;
    state = again ? TransferState::Failed : TransferState::Send;
}

// After the last answer: how long to wait for a surplus frame. Twice the
// longest answer time, at most the line's silence, and past the gap after
// the answer, which the line thread sleeps through before it reads on. Lock
// held.
void CTransferWorker::settle()
{
    const qint64 msNs = 1000000;
    const qint64 settleNs = qMin<qint64>(CEcuLine::DefaultQuietMs * msNs, 2 * longestNs + msNs);
    const qint64 gapEndNs = clock.nsecsElapsed() + (line ? line->gapLeftNs() : 0) + msNs;
    settleUntilNs = qMax(answerAtNs + settleNs, gapEndNs);
    state = TransferState::Settle;
}

// Told by the line, on its thread, of a request written: its time-out runs
// from now (the line may have kept its gap first).
void CTransferWorker::written(const QByteArray &frame, quint64 request, bool ok)
{
    if (!ok)
        return;
    {
        WorkerLock lock(&mutex);
        if (request == requests && state == TransferState::Wait)
            clock.restart();
    }
    emitFrame(frame);
}

void CTransferWorker::takeAnswer(const QByteArray &)
{
}

void CTransferWorker::dropAnswer()
{
}

void CTransferWorker::run()
{
    runWorkerLoop(&mutex, &wake, stopRequested, [this] { return step(); });
}

qint64 CTransferWorker::step()
{
    QByteArray frame;
    CRequestWriter *to = nullptr;
    quint64 request = 0;
    int percent = -1;
    enum { None, Ok, Ko } outcome = None;
    qint64 sleepNs = 0;

    {
        WorkerLock lock(&mutex);
        switch (state) {
        case TransferState::Send: {
            if (line && line->takeSuspect()) {
                distrust(false);
                break;
            }
            // After a time-out the line first falls silent; silence that does
            // not come within its cap costs a time-out of the budget, as a
            // lost answer does. (The quiet gap after an answer is kept by
            // the line, which writes the request once it is over.)
            const CEcuLine::Clearance c = line ? line->clearance() : CEcuLine::Clearance();
            if (c.overdue) {
                state = TransferState::Retry;
                break;
            }
            if ((sleepNs = c.waitNs) > 0)
                break;
            frame = requestFrame();
            to = writer;
            request = ++requests;
            // Asked again at the end, an address moves the bar no more.
            if (!confirming)
                percent = index * 100 / transferLength();
            // Emptied before the frame leaves, so an answer that comes back
            // while it is being written is not lost.
            reply.clear();
            clock.restart();
            if (line)
                line->noteRequest();
            state = TransferState::Wait;
            break;
        }
        case TransferState::Wait:
            // An answer with another byte 0 is not taken, and the wait stays
            // bounded by the time-out measured from the request all the same.
            if (isAnswer(reply, awaited)) {
                answerAtNs = clock.nsecsElapsed();
                longestNs = qMax(longestNs, answerAtNs);
                if (line && line->takeSuspect())
                    distrust(true);
                else
                    state = TransferState::Advance;
            } else if ((sleepNs = nsUntilTimeout(clock, timeoutMs)) == 0) {
                repeated = true;
                state = TransferState::Retry;
            }
            break;
        case TransferState::Advance:
            lastTaken = index;
            // The answer to the other copy of a repeated request may still
            // come, and an answer does not say its address: the next request
            // waits for silence.
            if (repeated && line)
                line->requireQuiet();
            repeated = false;
            if (confirming) {
                if (confirmAnswer(reply)) {
                    unconfirmed.reset(index);
                } else if (--retriesLeft <= 0) {
                    state = TransferState::Failed;
                    break;
                }
                if (unconfirmed.any())
                    state = TransferState::Confirm;
                else
                    settle();
                break;
            }
            takeAnswer(reply);
            taken.set(index);
            // After a time-out, a late answer may have landed here.
            if (timedOut)
                unconfirmed.set(index);
            if (index < transferLength() - 1) {
                ++index;
                state = TransferState::Send;
            } else {
                settle();
            }
            break;
        case TransferState::Settle:
            // A frame trailing the last answer means the answers were shifted
            // by a surplus one: it shows within about one more answer time.
            if (line && line->takeSuspect()) {
                distrust(false);
                break;
            }
            if ((sleepNs = settleUntilNs - clock.nsecsElapsed()) > 0)
                break;
            sleepNs = 0;
            state = unconfirmed.any() ? TransferState::Confirm : TransferState::Done;
            break;
        case TransferState::Confirm:
            // The addresses taken after a time-out are asked again, the
            // first of them once the line has fallen silent.
            if (!confirming && line)
                line->requireQuiet();
            confirming = true;
            for (int a = 0; a < int(unconfirmed.size()); ++a) {
                if (unconfirmed.test(size_t(a))) {
                    index = static_cast<quint8>(a);
                    break;
                }
            }
            state = TransferState::Send;
            break;
        case TransferState::Retry:
            // The next attempt waits for silence first, so a late answer is
            // not taken for it. The budget is shared by the whole transfer.
            if (line)
                line->noteTimeout();
            timedOut = true;
            --retriesLeft;
            state = retriesLeft <= 0 ? TransferState::Failed : TransferState::Send;
            break;
        case TransferState::Failed:
            outcome = Ko;
            state = TransferState::Idle;
            break;
        case TransferState::Done:
            if (line && line->takeSuspect()) {
                distrust(false);
                break;
            }
            percent = 100;
            outcome = Ok;
            state = TransferState::Idle;
            break;
        default:
            sleepNs = -1; // idle: sleep until woken
            break;
        }
    }

    // A request is reported as sent once the line has written it (an
    // unwritten one just times out); without a line, the frame signal is
    // the way out.
    if (!frame.isEmpty()) {
        if (to)
            to->postRequest(frame, [this, frame, request](bool ok) { written(frame, request, ok); });
        else
            emitFrame(frame);
    }
    if (percent >= 0)
        emitPercent(percent);
    if (outcome != None)
        emitOutcome(outcome == Ok);
    return sleepNs;
}
