#include "cgestreceive.h"

#include "frames.h"

#include "transferstates.h"
#include "workerlock.h"

// The worker reads the flash image out of the ECU one address per exchange:
// a read frame goes out, the ECU answers F4 with the byte in byte 1, and the
// byte is appended to the image behind `data`.
//
// The image belongs to the main window. While a read runs it is written by
// this worker's thread, always under `mutex`; the main window reads it only
// after the outcome (sgnEsito) has arrived, when the worker no longer touches
// it. Every other member the GUI thread can reach is guarded by the same
// mutex; signals are emitted after the lock has been released.


CGestReceive::CGestReceive(QByteArray *data, QObject *parent, int timeoutMs, int maxRetries)
    : QThread(parent), maxRetries(maxRetries), timeoutMs(timeoutMs), data(data)
{
    clock.start();
    start();
}

CGestReceive::~CGestReceive()
{
    stopRequested = true;
    wait();
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
        state = TransferState::Send;
    }
    emit sgnPercent(0);
}

void CGestReceive::setReply(const QByteArray &frame)
{
    WorkerLock lock(&mutex);
    reply = frame;
}

void CGestReceive::run()
{
    while (!stopRequested) {
        step();
        msleep(10);
    }
}

void CGestReceive::step()
{
    QByteArray frame;
    int percent = -1;
    QString result;

    {
        WorkerLock lock(&mutex);
        switch (state) {
        case TransferState::Send:
            frame = buildReadFrame(index);
            percent = index * 100 / count;
            // Emptied before the frame leaves, so an answer that comes back
            // while the signal is still being delivered is not lost.
            reply.clear();
            clock.restart();
            state = TransferState::Wait;
            break;
        case TransferState::Advance:
            if (data)
                data->append(static_cast<char>(readAnswerValue(reply)));
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
            state = pass.next;
            result = pass.result;
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
}
