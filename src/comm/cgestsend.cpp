#include "cgestsend.h"

#include "frames.h"

// The worker writes the flash image into the ECU one byte per exchange: a
// write frame goes out, the ECU acknowledges it with an FD answer, then the
// next address follows. It writes its own copy of the image, taken when the
// write starts, so nothing the main window does to its image meanwhile can
// reach the ECU.

namespace {
// The address is 8 bits wide: an image can hold at most 256 bytes.
constexpr int MaxImageSize = 256;
} // namespace

CGestSend::CGestSend(QByteArray *data, QObject *parent, int timeoutMs, int maxRetries)
    : CTransferWorker(data, parent, timeoutMs, maxRetries, AnswerWrite)
{
    start();
}

CGestSend::~CGestSend()
{
    stopThread();
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
        beginTransfer(first, !refused);
    }
    emit sgnPercent(0);
    if (refused)
        emit sgnEsito(QStringLiteral("KO_SND"));
}

QByteArray CGestSend::requestFrame() const
{
    return buildWriteFrame(index, static_cast<quint8>(image.at(index)));
}

int CGestSend::transferLength() const
{
    return image.size();
}

// A write sent again after silence and acknowledged has reached the ECU: no
// earlier request can be answered by then.
bool CGestSend::confirmAnswer(const QByteArray &)
{
    return true;
}

void CGestSend::emitFrame(const QByteArray &frame)
{
    emit sgnSndByte(frame);
}

void CGestSend::emitPercent(int percent)
{
    emit sgnPercent(percent);
}

void CGestSend::emitOutcome(bool ok)
{
    emit sgnEsito(ok ? QStringLiteral("OK_SND") : QStringLiteral("KO_SND"));
}
