#pragma once

#include "livesample.h"

#include <QElapsedTimer>
#include <QMutex>
#include <QObject>
#include <QTimer>
#include <QVector>
#include <atomic>

class CGestRT;

// The real-time worker's readings on their way to the window's thread. The
// four values of one poll answer are published together, in order, by the
// worker's thread: they are gathered there and the last one hands the whole
// reading over. While the link polls, readings wait and are handed over at
// the display's pace, those of each DeliveryMs together, in order (about
// three polls in one wake-up of the window's thread); otherwise (the zeros
// of a link that stops or pauses) at once.
class CReadingsRelay : public QObject
{
    Q_OBJECT
public:
    static constexpr int DeliveryMs = 66;

    explicit CReadingsRelay(CGestRT *worker, QObject *parent = nullptr);

    // Whether the link polls (readings at the display's pace), and whether
    // the connection is in use (only then do poll answers become live
    // samples). Called on the window's thread.
    void follow(bool polling, bool connected);

signals:
    // Every reading, the zeros of a stopped or paused link included.
    void readingsPublished(int rpm, uchar adc);
    // A poll answer of a polling link (never the zeros of a pause).
    void liveSample(const CLiveSample &sample);

private:
    void deliver();

    struct Reading
    {
        CLiveSample sample;
        bool live; // an answer of a polling link, not the zeros of a pause
    };
    CGestRT *const m_worker;
    QMutex m_mutex; // guards m_waiting
    QVector<Reading> m_waiting;
    std::atomic<bool> m_paced{false}; // the timer hands them over
    bool m_connected = false;
    QTimer m_timer;
    QElapsedTimer m_clock;   // the time line of the live samples
    CLiveSample m_gathering; // the worker's thread only
};
