#pragma once

#include "ecutransport.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QMutex>
#include <QString>
#include <QWaitCondition>

class QEventLoop;
class QSerialPort;
class QThread;
class QTimer;

// The serial route: a (USB virtual) serial port at 9600 baud, 8 data bits,
// no parity, one stop bit, no flow control, RTS and DTR asserted. One
// transport per port opened: its line thread creates the port, opens it,
// writes the requests, gathers the answers into 8-byte frames and closes the
// port when the transport goes.
//
// A new request discards a partial answer and whatever input waits, so a
// lost or surplus byte cannot leave the frames misaligned for the requests
// that follow; input that waited counts as input the line cannot account
// for.
//
// Before each request the thread keeps the line's quiet gap after the
// previous answer: it stays with the line for the gap after an answer and
// takes the next request itself when the gap is over (a request posted
// meanwhile does not wake it). It does not watch the port while an answer
// cannot be complete yet:
// when the answers so far took several milliseconds (a 9600-baud wire), it
// rests after a request until the next answer is due, so
// that the bytes arriving one by one do not wake it. An answer that comes
// sooner waits in the terminal meanwhile; nothing is judged by its time.
class CSerialTransport : public CEcuTransport
{
    Q_OBJECT
public:
    // Opens the port on the line thread; returns once the open has been
    // tried (isOpen() tells how it went).
    CSerialTransport(const QString &portName, CEcuLine *line, QObject *parent = nullptr);
    // Closes the port on the line thread and ends the thread; requests not
    // yet written are not written.
    ~CSerialTransport() override;

    QString portName() const override;
    bool isOpen() const override;
    void setWatching(bool watch) override;

protected:
    void wakeLine() override;

private:
    void lineThread();
    void writeRequests();
    void readAnswers();
    void discardInput();
    void lookAtPort();
    void portFailed();
    void restUntilAnswerDue();
    void rest(qint64 ns);
    void keepGap();
    bool writeFrame(const QByteArray &frame);
    void awaitBytes(int count);
    void onLineThread(std::function<void()> call);

    const QString m_portName;
    QThread *m_thread = nullptr;
    mutable QMutex m_threadMutex; // guards the members up to m_context
    QWaitCondition m_started;
    QWaitCondition m_rest;    // cut short when the transport closes
    bool m_closing = false;
    bool m_keepingGap = false; // the thread takes the next request by itself
    bool m_startTried = false;
    bool m_open = false;
    bool m_wakePending = false;
    QObject *m_context = nullptr; // lives on the line thread while its loop runs
    // The line thread's own, valid while its loop runs.
    QSerialPort *m_port = nullptr;
    QEventLoop *m_loop = nullptr;
    QTimer *m_watch = nullptr;
    QByteArray m_rxFrame;
    int m_rxCount = 0;
    QElapsedTimer m_sinceRequest;  // since the latest request was written
    qint64 m_answerNs = 0;         // how long an answer takes, as last seen (0: none yet)
    bool m_restedPastAnswer = false; // the answer was there when a rest ended
    int m_awaitedBytes = 0;          // the terminal's minimum read count
};
