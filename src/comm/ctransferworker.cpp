#include "ctransferworker.h"

#include "eculine.h"
#include "frames.h"

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

void CTransferWorker::setReply(const QByteArray &frame)
{
    WorkerLock lock(&mutex);
    reply = frame;
    // An idle worker waits for nothing: every answer of the live link would
    // wake its thread for no purpose.
    if (state != TransferState::Idle)
        wake.notifyAndUnlock(lock);
}

void CTransferWorker::abort()
{
    WorkerLock lock(&mutex);
    if (state == TransferState::Idle || state == TransferState::Failed
        || state == TransferState::Done)
        return; // nothing running, or its outcome is already on its way
    state = TransferState::Failed;
    wake.notify();
}

void CTransferWorker::beginTransfer(quint8 first, bool go)
{
    index = first;
    retriesLeft = maxRetries;
    repeated = false;
    lastTaken = -1;
    distrusted.reset();
    state = go ? TransferState::Send : TransferState::Idle;
    // What the line saw before this transfer puts none of its answers at stake.
    if (go && line)
        line->clearSuspect();
    wake.notify();
}

// The line saw input it cannot account for. At stake are the answer taken
// last and, when the input came while the current request was waiting, the
// answer in hand: the earliest of them is asked again, after silence. When
// one of them was at stake once already, the transfer fails; the answer
// taken last is withdrawn all the same, so the image keeps only answers the
// line vouched for. Lock held.
void CTransferWorker::distrust(bool answerInHand)
{
    reply.clear();
    if (line)
        line->requireQuiet();
    if (lastTaken < 0 && !answerInHand)
        return; // nothing taken is at stake: just let the line fall silent
    bool again = false;
    for (const int address : {lastTaken, answerInHand ? int(index) : -1}) {
        if (address < 0)
            continue;
        again = again || distrusted.test(address);
        distrusted.set(address);
    }
    if (lastTaken >= 0) {
        dropAnswer();
        index = static_cast<quint8>(lastTaken);
    }
    lastTaken = -1; // what came before was vouched for
    repeated = false;
    state = again ? TransferState::Failed : TransferState::Send;
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
            // The line first keeps its gap after the previous answer, or its
            // silence after a time-out; silence that does not come within
            // its cap costs a time-out of the budget, as a lost answer does.
            const CEcuLine::Clearance c = line ? line->clearance() : CEcuLine::Clearance();
            if (c.overdue) {
                state = TransferState::Retry;
                break;
            }
            if ((sleepNs = c.waitNs) > 0)
                break;
            frame = requestFrame();
            percent = index * 100 / transferLength();
            // Emptied before the frame leaves, so an answer that comes back
            // while the signal is still being delivered is not lost.
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
            takeAnswer(reply);
            lastTaken = index;
            // The answer to the other copy of a repeated request may still
            // come, and an answer does not say its address: the next request
            // waits for silence.
            if (repeated && line)
                line->requireQuiet();
            repeated = false;
            if (index >= transferLength() - 1) {
                state = TransferState::Done;
            } else {
                ++index;
                state = TransferState::Send;
            }
            break;
        case TransferState::Retry:
            // The next attempt waits for silence first, so a late answer is
            // not taken for it. The budget is shared by the whole transfer.
            if (line)
                line->noteTimeout();
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

    if (!frame.isEmpty())
        emitFrame(frame);
    if (percent >= 0)
        emitPercent(percent);
    if (outcome != None)
        emitOutcome(outcome == Ok);
    return sleepNs;
}
