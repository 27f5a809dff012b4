#include "ecutransport.h"

#include "eculine.h"

CEcuTransport::CEcuTransport(CEcuLine *line, QObject *parent)
    : QObject(parent), m_line(line)
{
}

void CEcuTransport::setAnswerHandler(AnswerHandler handler)
{
    WorkerLock lock(&m_mutex);
    m_handler = std::move(handler);
}

void CEcuTransport::post(const QByteArray &frame, Written written)
{
    {
        WorkerLock lock(&m_mutex);
        if (!m_closed) {
            m_queue.append(Request{frame, std::move(written)});
            written = nullptr;
        }
    }
    if (written) { // closed: it will never go out
        written(false);
        return;
    }
    wakeLine();
}

bool CEcuTransport::takeRequest(QByteArray *frame)
{
    WorkerLock lock(&m_mutex);
    if (m_queue.isEmpty())
        return false;
    Request r = m_queue.takeFirst();
    m_writing = std::move(r.written);
    *frame = r.frame;
    return true;
}

// The poster is told outside the lock: it may take locks of its own.
void CEcuTransport::requestDone(bool written)
{
    Written tell;
    {
        WorkerLock lock(&m_mutex);
        tell = std::move(m_writing);
        m_writing = nullptr;
    }
    if (tell)
        tell(written);
}

void CEcuTransport::abort()
{
    dropQueued(false);
}

void CEcuTransport::closeQueue()
{
    dropQueued(true);
}

// The posters are told outside the lock, as in requestDone.
void CEcuTransport::dropQueued(bool close)
{
    QList<Request> dropped;
    {
        WorkerLock lock(&m_mutex);
        if (close)
            m_closed = true;
        dropped.swap(m_queue);
    }
    for (const Request &r : qAsConst(dropped)) {
        if (r.written)
            r.written(false);
    }
}

void CEcuTransport::handAnswer(const QByteArray &frame)
{
    if (m_line)
        m_line->noteAnswer(frame);
    AnswerHandler handler;
    {
        WorkerLock lock(&m_mutex);
        handler = m_handler;
    }
    if (handler)
        handler(frame);
}

void CEcuTransport::rearm()
{
    WorkerLock lock(&m_mutex);
    m_goneReported = false;
}

void CEcuTransport::reportGone()
{
    {
        WorkerLock lock(&m_mutex);
        if (m_goneReported)
            return;
        m_goneReported = true;
    }
    emit gone();
}
