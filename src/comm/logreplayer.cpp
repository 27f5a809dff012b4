#include "comm/logreplayer.h"

#include <algorithm>

CLogReplayer::CLogReplayer(QObject *parent, int tickMs)
    : QObject(parent)
{
    m_timer.setTimerType(Qt::CoarseTimer);
    m_timer.setInterval(tickMs);
    connect(&m_timer, &QTimer::timeout, this, &CLogReplayer::tick);
}

bool CLogReplayer::load(const QString &path, QString *error)
{
    CDataLog log;
    if (!readDataLog(path, &log, error))
        return false;
    setLog(log, path);
    return true;
}

void CLogReplayer::setLog(const CDataLog &log, const QString &path)
{
    pause();
    m_log = log;
    m_path = path;
    m_position = 0;
    m_index = -1;
    emit loaded();
    emit positionChanged(0);
}

int CLogReplayer::indexAt(qint64 ms) const
{
    const QVector<CLiveSample> &s = m_log.samples;
    const auto after = std::upper_bound(s.cbegin(), s.cend(), ms,
                                        [](qint64 t, const CLiveSample &x) { return t < x.ms; });
    return int(after - s.cbegin()) - 1;
}

void CLogReplayer::play()
{
    if (isPlaying() || isEmpty())
        return;
    if (m_position >= duration())
        seek(0);
    m_playFrom = m_position;
    m_clock.start();
    m_timer.start();
    emit playingChanged(true);
}

void CLogReplayer::pause()
{
    if (!isPlaying())
        return;
    m_timer.stop();
    emit playingChanged(false);
}

void CLogReplayer::seek(qint64 ms)
{
    m_position = qBound(Q_INT64_C(0), ms, duration());
    m_index = indexAt(m_position);
    if (isPlaying()) {
        m_playFrom = m_position;
        m_clock.start();
    }
    if (m_index >= 0)
        emitRow(m_index);
    emit positionChanged(m_position);
}

void CLogReplayer::tick()
{
    m_position = qMin(m_playFrom + m_clock.elapsed(), duration());
    const int index = indexAt(m_position);
    while (m_index < index)
        emitRow(++m_index);
    emit positionChanged(m_position);
    if (m_position >= duration()) {
        m_timer.stop();
        emit playingChanged(false);
        emit finished();
    }
}

void CLogReplayer::emitRow(int index)
{
    emit sampleAt(m_log.samples.at(index), m_log.k.at(index), m_log.bench.at(index));
}
