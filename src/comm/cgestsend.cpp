#include "cgestsend.h"

#include "frames.h"

#include "workerlock.h"

// The worker writes the flash image into the ECU one byte per exchange: a
// write frame goes out, the ECU acknowledges it with an FD answer, then the
// next address follows. Everything the GUI thread can reach (state, index,
// retriesLeft, reply and the image behind data) is read and written under
// `mutex`; signals are emitted after the lock has been released, so a
// receiver connected directly may call back into the worker.

namespace {
constexpr int StateIdle = 800;
constexpr int StateSend = 10;
constexpr int StateWait = 11;
constexpr int StateAdvance = 12;
constexpr int StateRetry = 100;
constexpr int StateFailed = 150;
constexpr int StateDone = 200;

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
        state = refused ? StateIdle : StateSend;
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
        case StateSend: {
            const int size = data ? data->size() : 0;
            if (index >= size) { // the image shrank under a running transfer
                state = StateFailed;
                break;
            }
            frame = buildWriteFrame(index, static_cast<quint8>(data->at(index)));
            percent = index * 100 / size;
            // Emptied before the frame leaves, so an answer that comes back
            // while the signal is still being delivered is not lost.
            reply.clear();
            clock.restart();
            state = StateWait;
            break;
        }
        case StateWait:
            if (isAnswer(reply, AnswerWrite))
                state = StateAdvance;
            else if (clock.elapsed() > timeoutMs)
                // No answer, or only one with the wrong byte 0: the wait is
                // bounded by the time-out all the same.
                state = StateRetry;
            break;
        case StateAdvance:
            if (!data || index >= data->size() - 1) {
                state = StateDone;
            } else {
                ++index;
                state = StateSend;
            }
            break;
        case StateRetry:
            --retriesLeft;
            state = retriesLeft <= 0 ? StateFailed : StateSend;
            break;
        case StateFailed:
            result = QStringLiteral("KO_SND");
            state = StateIdle;
            break;
        case StateDone:
            percent = 100;
            result = QStringLiteral("OK_SND");
            state = StateIdle;
            break;
        default:
            break;
        }
    }

    if (!frame.isEmpty())
        emit sgnSndByte(frame);
    if (percent >= 0)
        emit sgnPercent(percent);
    if (!result.isEmpty())
        emit sgnEsito(result);
}
