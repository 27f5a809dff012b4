#pragma once

#include "workerlock.h"
#include "workerstates.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QMutex>
#include <QThread>
#include <atomic>
#include <bitset>

class CEcuLine;
class CRequestWriter;

// What the two profile transfer workers share: a thread that moves the flash
// image one table byte per exchange. For each address a request frame goes
// out, then the worker waits for the answer whose byte 0 it awaits; a
// time-out sends the same request again until the transfer's budget of
// time-outs is spent. Each worker says through its hooks which frame it sends,
// what it does with an answer and how it reports; the signals are its own.
//
// An answer does not say which request it belongs to, and an answer may
// come at any time after its request: no rule can tell a late or stray frame
// by its timing alone. So:
// - when the line saw input it cannot account for (a frame while no request
//   waits, a second frame for one request), the answer taken last is
//   withdrawn and its address asked again once, after silence; an address at
//   stake a second time fails the transfer. A stray frame may have shifted
//   every answer since, so every address taken before is asked again at the
//   end;
// - an answer that comes after its request timed out may land in a later
//   exchange: every address taken after a time-out is asked again at the end;
// - after the last answer the worker waits a little (twice the longest
//   answer time seen, at most the line's silence, and past the line's gap),
//   so that a surplus frame trailing it shows;
// - asked again after silence, an address must agree (a read: the same
//   value twice in a row; a write: acknowledged once more), each
//   disagreement costing the budget one time-out.
// A transfer never ends well with an answer the line cannot vouch for.
//
// Everything the GUI thread can reach is read and written under `mutex`;
// hooks marked "lock held" run under it, the emitting hooks after it has been
// released, so a receiver connected directly may call back into the worker.
// The thread sleeps until an event or the deadline of its state wakes it.
class CTransferWorker : public QThread
{
public:
    ~CTransferWorker() override;

    // The line whose gaps and silences the worker keeps (none: requests go
    // out as soon as the previous exchange has ended).
    void setLine(CEcuLine *line);
    // Where its requests are written (none: they leave through the
    // worker's frame signal alone).
    void setWriter(CRequestWriter *writer);
    void setReply(const QByteArray &frame);
    // Ends a running transfer at once, without a report (whoever ends it
    // reports it): nothing more is sent.
    void abort();
    // Addresses whose answer the running (or the last) transfer has taken:
    // for a write, the addresses the ECU has acknowledged, from 0 on.
    int answeredCount() const;

protected:
    CTransferWorker(QByteArray *data, QObject *parent, int timeoutMs, int maxRetries,
                    quint8 awaitedAnswer);

    void run() override;
    // Stops the thread and waits for it. Each worker's destructor calls it
    // first, while the hooks the thread calls still exist.
    void stopThread();
    // Starts a transfer at address `first`, or, when `go` is false, leaves
    // the worker idle (a refused start). Lock held.
    void beginTransfer(quint8 first, bool go);

    // The request frame for `index`. Lock held.
    virtual QByteArray requestFrame() const = 0;
    // How many addresses the running transfer covers. Lock held.
    virtual int transferLength() const = 0;
    // An awaited answer was taken for `index` (by default it is not kept).
    // Lock held.
    virtual void takeAnswer(const QByteArray &answer);
    // The answer taken last is withdrawn: its address is asked again.
    // Lock held.
    virtual void dropAnswer();
    // An answer to the address asked again at the end: whether it agrees
    // with what was taken for `index` before (a disagreeing read answer is
    // kept in its place, to be confirmed in turn). Lock held.
    virtual bool confirmAnswer(const QByteArray &answer) = 0;
    virtual void emitFrame(const QByteArray &frame) = 0;
    virtual void emitPercent(int percent) = 0;
    virtual void emitOutcome(bool ok) = 0;

    mutable QMutex mutex; // guards every member below that the GUI thread touches
    QByteArray *const data;
    quint8 index = 0;

private:
    qint64 step();
    void distrust(bool answerInHand);
    void written(const QByteArray &frame, quint64 request, bool ok);
    void settle();

    const quint8 awaited; // byte 0 of the answer each request waits for
    int state = TransferState::Idle;
    int maxRetries;
    int retriesLeft = 0;
    int timeoutMs;
    QElapsedTimer clock;
    QByteArray reply;
    bool repeated = false; // the current request had to be sent again
    int lastTaken = -1;    // address whose answer was taken last and may be withdrawn
    std::bitset<256> distrusted; // addresses whose answer was at stake once
    bool timedOut = false;       // a request of this transfer timed out
    bool confirming = false;     // the addresses in doubt are asked again
    std::bitset<256> taken;      // addresses whose answer was taken, first time round
    std::bitset<256> unconfirmed; // taken in doubt, not yet confirmed
    qint64 answerAtNs = 0;       // when the answer in hand came (on `clock`)
    qint64 longestNs = 0;        // the longest a request waited for its answer
    qint64 settleUntilNs = 0;    // Settle ends then (on `clock`)
    CEcuLine *line = nullptr;
    CRequestWriter *writer = nullptr;
    quint64 requests = 0; // requests handed to the line, numbered
    WorkerWake wake;
    std::atomic<bool> stopRequested{false};
};
