#include "cgestsend.h"

#include "frames.h"

#include "transferstates.h"
#include "workerlock.h"

// The worker writes the flash image into the ECU one byte per exchange: a
// write frame goes out, the ECU acknowledges it with an FD answer, then the
// next address follows. Everything the GUI thread can reach (state, index,
// retriesLeft, reply and the image behind data) is read and written under
// `mutex`; signals are emitted after the lock has been released, so a
// receiver connected directly may call back into the worker.

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
    stopRequested = true;
    wait();
}

void CGestSend::startSend(quint8 first)
{
    bool refused = false;
    {
        WorkerLock lock(&mutex);
        const int size = data ? data->size() : 0;
        // An empty image (or one the 8-bit address cannot cover, or a first
        // address past its end) has nothing sensible to send: the write fails
        // at once and no frame goes out.
        refused = size == 0 || size > MaxImageSize || first >= size;
        index = first;
        retriesLeft = maxRetries;
        state = refused ? TransferState::Idle : TransferState::Send;
    }
    emit sgnPercent(0);
    if (refused)
        emit sgnEsito(QStringLiteral("KO_SND"));
}

void CGestSend::setReply(const QByteArray &frame)
{
    WorkerLock lock(&mutex);
    reply = frame;
}

void CGestSend::run()
{
    while (!stopRequested) {
        step();
        msleep(10);
    }
}

void CGestSend::step()
{
    QByteArray frame;
    int percent = -1;
    QString result;

    {
        WorkerLock lock(&mutex);
        switch (state) {
        case TransferState::Send: {
            const int size = data ? data->size() : 0;
            if (index >= size) { // the image shrank under a running transfer
                state = TransferState::Failed;
                break;
            }
            frame = buildWriteFrame(index, static_cast<quint8>(data->at(index)));
            percent = index * 100 / size;
            // Emptied before the frame leaves, so an answer that comes back
            // while the signal is still being delivered is not lost.
            reply.clear();
            clock.restart();
            state = TransferState::Wait;
            break;
        }
        case TransferState::Advance:
            if (!data || index >= data->size() - 1) {
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
