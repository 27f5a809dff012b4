#include "cgestreceive.h"

#include "eculine.h"
#include "frames.h"
#include "transferstates.h"

// The worker reads the flash image out of the ECU one address per exchange:
// a read frame goes out, the ECU answers F4 with the byte in byte 1, and the
// byte is appended to the image behind `data`.
//
// The image belongs to the main window. While a read runs it is written by
// this worker's thread, always under `mutex`; the main window reads it only
// after the outcome (sgnEsito) has arrived, when the worker no longer touches
// it. Every other member the GUI thread can reach is guarded by the same
// mutex; signals are emitted after the lock has been released. The thread
// sleeps until an event or the deadline of its state wakes it.

CGestReceive::CGestReceive(QByteArray *data, QObject *parent, int timeoutMs, int maxRetries)
    : QThread(parent), maxRetries(maxRetries), timeoutMs(timeoutMs), data(data)
{
    clock.start();
    start();
}

CGestReceive::~CGestReceive()
{
    stopWorkerLoop(this, &mutex, &wake, &stopRequested);
}

void CGestReceive::setLine(CEcuLine *l)
{
    WorkerLock lock(&mutex);
    line = l;
}

void CGestReceive::startReceive(quint8 first, quint8 hardware)
{
    {
        WorkerLock lock(&mutex);
        index = first;
        count = ecuTable(hardware).readCount;
        if (data)
            data->clear();
        retriesLeft = maxRetries;
        repeated = false;
        state = TransferState::Send;
        wake.notify();
    }
    emit sgnPercent(0);
}

void CGestReceive::setReply(const QByteArray &frame)
{
    WorkerLock lock(&mutex);
    reply = frame;
    wake.notify();
}

void CGestReceive::abort()
{
    WorkerLock lock(&mutex);
    if (failRunningTransfer(state))
        wake.notify();
}

bool CGestReceive::isBusy() const
{
    WorkerLock lock(&mutex);
    return state != TransferState::Idle;
}

void CGestReceive::run()
{
    runWorkerLoop(&mutex, &wake, stopRequested, [this] { return step(); });
}

qint64 CGestReceive::step()
{
    QByteArray frame;
    int percent = -1;
    QString result;
    qint64 sleepNs = 0;

    {
        WorkerLock lock(&mutex);
        switch (state) {
        case TransferState::Send:
            // The line first keeps its gap after the previous answer, or its
            // silence after a time-out.
            sleepNs = line ? line->nsUntilFree() : 0;
            if (sleepNs > 0)
                break;
            frame = buildReadFrame(index);
            percent = index * 100 / count;
            // Emptied before the frame leaves, so an answer that comes back
            // while the signal is still being delivered is not lost.
            reply.clear();
            clock.restart();
            if (line)
                line->noteRequest();
            state = TransferState::Wait;
            break;
        case TransferState::Advance:
            if (data)
                data->append(static_cast<char>(readAnswerValue(reply)));
            // The answer to the other copy of a repeated request may still
            // come, and a read answer does not say its address: the next
            // address waits for silence.
            if (repeated && line)
                line->requireQuiet();
            repeated = false;
            if (index >= count - 1) {
                state = TransferState::Done;
            } else {
                ++index;
                state = TransferState::Send;
            }
            break;
        default: {
            const TransferPass pass =
                transferPass(state, reply, AnswerRead, clock, timeoutMs, retriesLeft,
                             QStringLiteral("OK_RCV"), QStringLiteral("KO_RCV"));
            if (pass.next == TransferState::Retry) {
                repeated = true;
                if (line)
                    line->noteTimeout();
            }
            state = pass.next;
            result = pass.result;
            sleepNs = pass.sleepNs;
            if (pass.percent >= 0)
                percent = pass.percent;
            break;
        }
        }
    }

    if (!frame.isEmpty())
        emit sgnSndByte(frame);
    if (percent >= 0)
        emit sgnPercent(percent);
    if (!result.isEmpty())
        emit sgnEsito(result);
    return sleepNs;
}
