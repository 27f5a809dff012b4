#include "cgestsend.h"

#include "eculine.h"
#include "frames.h"
#include "transferstates.h"

// The worker writes the flash image into the ECU one byte per exchange: a
// write frame goes out, the ECU acknowledges it with an FD answer, then the
// next address follows. It writes its own copy of the image, taken when the
// write starts, so nothing the main window does to its image meanwhile can
// reach the ECU. Everything the GUI thread can reach is read and written
// under `mutex`; signals are emitted after the lock has been released, so a
// receiver connected directly may call back into the worker. The thread
// sleeps until an event or the deadline of its state wakes it.

namespace {

// The address is 8 bits wide: an image can hold at most 256 bytes.
constexpr int MaxImageSize = 256;
} // namespace

CGestSend::CGestSend(QByteArray *data, QObject *parent, int timeoutMs, int maxRetries)
    : QThread(parent), maxRetries(maxRetries), timeoutMs(timeoutMs), data(data)
{
    clock.start();
    start();
}

CGestSend::~CGestSend()
{
    stopWorkerLoop(this, &mutex, &wake, &stopRequested);
}

void CGestSend::setLine(CEcuLine *l)
{
    WorkerLock lock(&mutex);
    line = l;
}

void CGestSend::startSend(quint8 first)
{
    bool refused = false;
    {
        WorkerLock lock(&mutex);
        image = data ? *data : QByteArray();
        const int size = image.size();
        // An empty image (or one the 8-bit address cannot cover, or a first
        // address past its end) has nothing sensible to send: the write fails
        // at once and no frame goes out.
        refused = size == 0 || size > MaxImageSize || first >= size;
        index = first;
        retriesLeft = maxRetries;
        repeated = false;
        state = refused ? TransferState::Idle : TransferState::Send;
        wake.notify();
    }
    emit sgnPercent(0);
    if (refused)
        emit sgnEsito(QStringLiteral("KO_SND"));
}

void CGestSend::setReply(const QByteArray &frame)
{
    WorkerLock lock(&mutex);
    reply = frame;
    wake.notify();
}

void CGestSend::abort()
{
    WorkerLock lock(&mutex);
    if (failRunningTransfer(state))
        wake.notify();
}

bool CGestSend::isBusy() const
{
    WorkerLock lock(&mutex);
    return state != TransferState::Idle;
}

void CGestSend::run()
{
    runWorkerLoop(&mutex, &wake, stopRequested, [this] { return step(); });
}

qint64 CGestSend::step()
{
    QByteArray frame;
    int percent = -1;
    QString result;
    qint64 sleepNs = 0;

    {
        WorkerLock lock(&mutex);
        switch (state) {
        case TransferState::Send: {
            // The line first keeps its gap after the previous answer, or its
            // silence after a time-out.
            sleepNs = line ? line->nsUntilFree() : 0;
            if (sleepNs > 0)
                break;
            frame = buildWriteFrame(index, static_cast<quint8>(image.at(index)));
            percent = index * 100 / image.size();
            // Emptied before the frame leaves, so an answer that comes back
            // while the signal is still being delivered is not lost.
            reply.clear();
            clock.restart();
            if (line)
                line->noteRequest();
            state = TransferState::Wait;
            break;
        }
        case TransferState::Advance:
            // The acknowledgement of the other copy of a repeated byte may
            // still come: the next byte waits for silence.
            if (repeated && line)
                line->requireQuiet();
            repeated = false;
            if (index >= image.size() - 1) {
                state = TransferState::Done;
            } else {
                ++index;
                state = TransferState::Send;
            }
            break;
        default: {
            const TransferPass pass =
                transferPass(state, reply, AnswerWrite, clock, timeoutMs, retriesLeft,
                             QStringLiteral("OK_SND"), QStringLiteral("KO_SND"));
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
