#pragma once

#include <QByteArray>
#include <QList>
#include <QMutex>
#include <QObject>
#include <functional>

class EcuSimulator;

// Stands in for the main window and the serial line in worker tests: records
// every frame a worker sends and hands back the simulator's answer, unless a
// rule says otherwise. onFrame() runs on the worker's thread (the frame
// signal is connected directly); the rules are set before a transfer starts
// and are only called from there.
class LineHarness
{
public:
    explicit LineHarness(EcuSimulator *sim);

    // Returns true to withhold the answer to this frame (the ECU "lost" it).
    // n is how many times this very frame had been sent before (0 the first time).
    std::function<bool(const QByteArray &frame, int n)> drop;
    // Replaces the simulator's answer (which may be empty) by another.
    std::function<QByteArray(const QByteArray &frame, const QByteArray &answer)> rewrite;

    // Records the frame and returns the answer to hand back (empty: none).
    QByteArray onFrame(const QByteArray &frame);

    QList<QByteArray> frames() const;
    int frameCount() const;
    int countOf(const QByteArray &frame) const;

    // Connects the worker's sgnSndByte directly: every frame is recorded and
    // its answer, if any, is passed to the worker's setReply at once.
    template <class Worker>
    void attach(Worker *worker)
    {
        QObject::connect(worker, &Worker::sgnSndByte, worker,
                         [this, worker](const QByteArray &frame) {
                             const QByteArray answer = onFrame(frame);
                             if (!answer.isEmpty())
                                 worker->setReply(answer);
                         },
                         Qt::DirectConnection);
    }

private:
    EcuSimulator *sim;
    mutable QMutex mutex;
    QList<QByteArray> sent;
};

// A frame from its bytes, e.g. hexFrame("FD 03 2A 01 01 01 01 2E").
QByteArray hexFrame(const char *hex);

// Byte 0 of the requests: a write, a read, a poll.
constexpr quint8 WriteRequest = 0xFD;
constexpr quint8 ReadRequest = 0xF4;
constexpr quint8 PollRequest = 0xFB;

// The requests the simulator has seen from index `from` on whose byte 0 is
// `kind`, oldest first.
QList<QByteArray> requestsOf(const EcuSimulator &sim, quint8 kind, int from = 0);
