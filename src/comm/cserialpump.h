#pragma once

#include "workerlock.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QMutex>
#include <QThread>
#include <QWaitCondition>
#include <functional>

class CEcuLine;

// The live link's exchanges on the serial port, off the window's thread.
// While the link polls, a request and its answer come about 50 times a
// second; handled by the window's event loop each costs it several wake-ups,
// and a terminal that an event loop watches wakes it for every byte. While
// it pumps, the pump owns the port's input. The real-time worker writes its
// requests through send(), which then waits on the worker's own thread,
// which would only wait for the answer anyway: asleep until the answer can
// have arrived whole (request and answer on the wire), then it reads it,
// assembles it and hands it to the handler. An answer that is late is left
// to the pump's thread, which watches the port until the next request, so
// input that no request accounts for still counts for the line's silences.
//
// begin() and end() are called on the thread that owns the port, which must
// not read the port in between; send() from any thread.
class CSerialPump : public QThread
{
    Q_OBJECT
public:
    using AnswerHandler = std::function<void(const QByteArray &frame)>;

    // Every complete answer goes to the handler (on the pump's thread, with
    // the line already told), and to nothing else.
    CSerialPump(CEcuLine *line, AnswerHandler handler, QObject *parent = nullptr);
    ~CSerialPump() override;

    // How long after a request is written its answer can be complete (0: at
    // once, an unpaced line).
    void setAnswerDueNs(qint64 ns);
    // The pump reads fd from now on, from a frame boundary (false: it
    // cannot, and the port stays the window's).
    bool begin(int fd);
    // Returns once the pump no longer touches the port; a partial answer is
    // dropped.
    void end();
    // Writes a request now, dropping whatever input waits, and waits for its
    // answer (at most until it is due and a little longer, and never past
    // end()): false when the pump is not running (the frame then goes the
    // window's way).
    bool send(const QByteArray &frame);
    // The same without waiting: the pump's thread takes the answer.
    bool post(const QByteArray &frame);

signals:
    // The port failed under the pump (a read or write error, a hang-up): it
    // has stopped pumping.
    void sgnGone();

protected:
    void run() override;

private:
    bool exchange(const QByteArray &frame, bool await);
    bool readInput();
    bool awaitAnswer(WorkerLock &lock);
    enum class PortWait {
        Nothing, // the time ran out, or a request or end() cut the wait short
        Input,   // input waits
        Gone,    // the port hung up or failed
        Ended    // the pump is to stop
    };
    PortWait pollPort(WorkerLock &lock, int timeoutMs);
    void wakePoll();

    CEcuLine *m_line;
    AnswerHandler m_handler;
    QMutex m_mutex; // guards every member below
    QWaitCondition m_wake;
    QWaitCondition m_parked;
    QElapsedTimer m_clock;
    int m_fd = -1;
    int m_wakeFd = -1;      // cuts a poll of the port short (read end)
    int m_wakeWriteFd = -1;
    bool m_pumping = false;
    bool m_polling = false;  // a thread waits on the port, outside the lock
    bool m_watching = false; // the pump's thread watches the port
    bool m_quit = false;
    qint64 m_answerDueNs = 0;
    QByteArray m_frame;
    int m_count = 0;
    int m_answers = 0;       // complete answers handed on
};
