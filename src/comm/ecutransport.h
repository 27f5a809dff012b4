#pragma once

#include "workerlock.h"

#include <QByteArray>
#include <QList>
#include <QMutex>
#include <QObject>
#include <QString>
#include <functional>

class CEcuLine;

// The way to the ECU's device, the serial port or the HID device. Each
// transport owns its device on a thread of its own, the line thread: that
// thread opens the device, writes every request, reads every answer and
// closes the device; nothing else touches it.
//
// Requests come from any thread and are written in the order they came, one
// at a time; whoever posts one may be told whether it was written (on the
// line thread, or on the thread that drops it). Nobody waits for a write.
// Every complete answer frame goes to the answer handler, on the line
// thread, after the line's timing rules have been told.
class CEcuTransport : public QObject
{
    Q_OBJECT
public:
    using AnswerHandler = std::function<void(const QByteArray &frame)>;

    // Set before the first request; called on the line thread.
    void setAnswerHandler(AnswerHandler handler);

    // The name the connection shows for the device.
    virtual QString portName() const = 0;
    // Whether the line thread holds the device open.
    virtual bool isOpen() const = 0;
    // Whether the line thread looks, once a second, whether the device is
    // still there (an idle line says nothing when its device goes away).
    virtual void setWatching(bool watch) = 0;
    // Drops every request not yet written (their writers learn that they
    // were not) and whatever is still to come for the one being written.
    virtual void abort();

    // A new connection: the device's loss is reported again.
    void rearm();

    // Hands a request to the line thread; returns at once. `written`, when
    // given, is told whether it was written: false when the device is not
    // open or failed, the request was dropped, the transport is closing.
    using Written = std::function<void(bool written)>;
    void post(const QByteArray &frame, Written written = nullptr);

signals:
    // The device went away or failed; emitted once, on the line thread.
    void gone();

protected:
    explicit CEcuTransport(CEcuLine *line, QObject *parent = nullptr);

    // The line thread's side. The next request to write (false: none left).
    bool takeRequest(QByteArray *frame);
    // What came of the request taken last.
    void requestDone(bool written);
    // Every request waiting, and every later one, is not written: the line
    // thread is ending.
    void closeQueue();
    // A complete answer: the line's rules are told, then the handler.
    void handAnswer(const QByteArray &frame);
    // The device is gone: reported once.
    void reportGone();
    // Wakes the line thread to look at its requests.
    virtual void wakeLine() = 0;

    CEcuLine *const m_line;

private:
    struct Request
    {
        QByteArray frame;
        Written written;
    };
    // Drops every request waiting and tells its poster; with close, every
    // later one too.
    void dropQueued(bool close);

    QMutex m_mutex; // guards every member below
    QList<Request> m_queue;
    Written m_writing; // to tell of the request the line thread took last
    bool m_closed = false;
    bool m_goneReported = false;
    AnswerHandler m_handler;
};
