#pragma once

#include "comm/datalog.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

// Plays a datalog back at its own pace (1x): a coarse timer (tickMs, about
// 30 a second) moves the position on by the time that has passed and emits
// every row it went past, in order, so that whatever draws the rows sees
// them as they came live. A seek jumps: it emits only the row at the new
// position. The row at a position is the last one at or before it; finding
// it is a binary search, so scrubbing stays cheap on a log of any length.
class CLogReplayer : public QObject
{
    Q_OBJECT
public:
    explicit CLogReplayer(QObject *parent = nullptr, int tickMs = 33);

    // Reads a datalog (readDataLog) and puts it in place of the one loaded,
    // at position 0, paused. On a fault the log loaded stays as it was and
    // *error says what is wrong, naming the line.
    bool load(const QString &path, QString *error);
    // The same with a log already in memory (path: what path() tells).
    void setLog(const CDataLog &log, const QString &path = QString());

    QString path() const { return m_path; }
    bool isEmpty() const { return m_log.samples.isEmpty(); }
    qint64 duration() const { return m_log.duration(); }
    qint64 position() const { return m_position; }
    bool isPlaying() const { return m_timer.isActive(); }
    // The whole log (ms: time since its start).
    const QVector<CLiveSample> &samples() const { return m_log.samples; }
    const CDataLog &log() const { return m_log; }
    // The row shown at ms: the last one at or before it; -1 when none is.
    int indexAt(qint64 ms) const;

public slots:
    // Plays from the position; from the start when it is at the end.
    void play();
    void pause();
    // Moves to ms (kept within 0..duration) and emits the row there; playing
    // goes on from there.
    void seek(qint64 ms);

signals:
    // A log was put in place.
    void loaded();
    void sampleAt(const CLiveSample &sample, int k, bool bench);
    void positionChanged(qint64 ms);
    void playingChanged(bool playing);
    // Playing reached the end of the log (and stopped).
    void finished();

private:
    void tick();
    void emitRow(int index);

    CDataLog m_log;
    QString m_path;
    qint64 m_position = 0;
    int m_index = -1;        // the last row emitted
    qint64 m_playFrom = 0;   // the position when m_clock started
    QElapsedTimer m_clock;
    QTimer m_timer;
};
