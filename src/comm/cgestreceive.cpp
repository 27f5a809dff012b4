#include "cgestreceive.h"

#include "frames.h"

// The worker reads the flash image out of the ECU one address per exchange:
// a read frame goes out, the ECU answers F4 with the byte in byte 1, and the
// byte is appended to the image behind `data`.
//
// The image belongs to the main window. While a read runs it is written by
// this worker's thread, always under `mutex`; the main window reads it only
// after the outcome (sgnEsito) has arrived, when the worker no longer touches
// it.

CGestReceive::CGestReceive(QByteArray *data, QObject *parent, int timeoutMs, int maxRetries)
    : CTransferWorker(data, parent, timeoutMs, maxRetries, AnswerRead)
{
    start();
}

CGestReceive::~CGestReceive()
{
    stopThread();
}

void CGestReceive::startReceive(quint8 first, quint8 hardware)
{
    {
        WorkerLock lock(&mutex);
        count = ecuTable(hardware).readCount;
        if (data)
            data->clear();
        beginTransfer(first, true);
    }
    emit sgnPercent(0);
}

QByteArray CGestReceive::requestFrame() const
{
    return buildReadFrame(index);
}

int CGestReceive::transferLength() const
{
    return count;
}

void CGestReceive::takeAnswer(const QByteArray &answer)
{
    if (data)
        data->append(static_cast<char>(readAnswerValue(answer)));
}

void CGestReceive::dropAnswer()
{
    if (data)
        data->chop(1);
}

// The byte read again must be the one read before; a different one takes its
// place and is asked for once more.
bool CGestReceive::confirmAnswer(const QByteArray &answer)
{
    const char value = static_cast<char>(readAnswerValue(answer));
    if (!data || index >= data->size())
        return false;
    if (data->at(index) == value)
        return true;
    (*data)[index] = value;
    return false;
}

void CGestReceive::emitFrame(const QByteArray &frame)
{
    emit sgnSndByte(frame);
}

void CGestReceive::emitPercent(int percent)
{
    emit sgnPercent(percent);
}

void CGestReceive::emitOutcome(bool ok)
{
    emit sgnEsito(ok ? QStringLiteral("OK_RCV") : QStringLiteral("KO_RCV"));
}
