#include "ecutransport.h"

#include "eculine.h"

#include <QElapsedTimer>

namespace {
// A write is done in microseconds; this bound only keeps a writer from
// waiting for ever should the line thread never get to its request.
constexpr qint64 WriteBoundNs = 2000LL * 1000000;
} // namespace

CEcuTransport::CEcuTransport(CEcuLine *line, QObject *parent)
    : QObject(parent), m_line(line)
{
}

void CEcuTransport::setAnswerHandler(AnswerHandler handler)
{
    WorkerLock lock(&m_mutex);
    m_handler = std::move(handler);
}

void CEcuTransport::post(const QByteArray &frame)
{
    {
        WorkerLock lock(&m_mutex);
        if (m_closed)
            return;
        m_queue.append(Request{frame, ++m_lastId});
    }
    wakeLine();
}

bool CEcuTransport::write(const QByteArray &frame)
{
    quint64 id = 0;
    {
        WorkerLock lock(&m_mutex);
        if (m_closed)
            return false;
        id = ++m_lastId;
        m_queue.append(Request{frame, id});
        m_waiting.insert(id);
    }
    wakeLine();

    WorkerLock lock(&m_mutex);
    QElapsedTimer clock;
    clock.start();
    while (!m_outcomes.contains(id)) {
        const qint64 left = WriteBoundNs - clock.nsecsElapsed();
        if (left <= 0)
            break;
        lock.wait(&m_settled, left);
    }
    m_waiting.remove(id);
    return m_outcomes.take(id); // false when it never came
}

bool CEcuTransport::takeRequest(QByteArray *frame)
{
    WorkerLock lock(&m_mutex);
    if (m_queue.isEmpty())
        return false;
    const Request r = m_queue.takeFirst();
    m_writing = r.id;
    *frame = r.frame;
    return true;
}

void CEcuTransport::requestDone(bool written)
{
    WorkerLock lock(&m_mutex);
    if (m_writing != 0 && m_waiting.contains(m_writing)) {
        m_outcomes.insert(m_writing, written);
        m_settled.wakeAll();
    }
    m_writing = 0;
}

// Lock held.
void CEcuTransport::dropQueued()
{
    for (const Request &r : qAsConst(m_queue)) {
        if (m_waiting.contains(r.id))
            m_outcomes.insert(r.id, false);
    }
    m_queue.clear();
    m_settled.wakeAll();
}

void CEcuTransport::abort()
{
    WorkerLock lock(&m_mutex);
    dropQueued();
}

void CEcuTransport::closeQueue()
{
    WorkerLock lock(&m_mutex);
    m_closed = true;
    dropQueued();
    // A writer whose request is being written learns it was not, should the
    // line thread end before it says.
    for (const quint64 id : qAsConst(m_waiting)) {
        if (!m_outcomes.contains(id))
            m_outcomes.insert(id, false);
    }
    m_settled.wakeAll();
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
