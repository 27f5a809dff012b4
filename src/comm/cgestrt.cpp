#include "cgestrt.h"

#include "eculine.h"
#include "frames.h"
#include "requestwriter.h"

// The real-time link worker owns the ECU line between transfers: it polls the
// ECU while the link is on, sends queued command frames between two polls
// (or on their own while the link is off), and hands a requested main-window
// command back only from the idle state, when no exchange of its own is in
// flight and no command frame waits. Everything the GUI thread can reach
// (state, retriesLeft, linkActive, reply, commandQueue, pendingCmd) is read
// and written under `mutex`; signals are emitted after the lock has been
// released. The thread sleeps until an event (an answer, a start, a stop, a
// request, a queued command) or the deadline of its state wakes it; idle, it
// sleeps for good.

CGestRT::CGestRT(QObject *parent, int timeoutMs, int maxRetries)
    : QThread(parent),
      maxRetries(maxRetries),
      // Full from the start: a command sent before the link was ever switched
      // on must not fail at its first lost acknowledgement.
      retriesLeft(maxRetries),
      timeoutMs(timeoutMs)
{
    clock.start();
    start();
}

CGestRT::~CGestRT()
{
    stopWorkerLoop(this, &mutex, &wake, &stopRequested);
}

void CGestRT::setLine(CEcuLine *l)
{
    WorkerLock lock(&mutex);
    line = l;
}

void CGestRT::setWriter(CRequestWriter *w)
{
    WorkerLock lock(&mutex);
    writer = w;
}

void CGestRT::startLink()
{
    WorkerLock lock(&mutex);
    retriesLeft = maxRetries;
    linkActive = true;
    pendingCmd = QString();
    wake.notify();
}

void CGestRT::stopLink()
{
    WorkerLock lock(&mutex);
    linkActive = false;
    pendingCmd = QString();
    wake.notify();
}

bool CGestRT::linkOn()
{
    WorkerLock lock(&mutex);
    return linkActive;
}

void CGestRT::requestCommand(const QString &cmd)
{
    WorkerLock lock(&mutex);
    pendingCmd = cmd;
    linkActive = false;
    wake.notify();
}

void CGestRT::abort()
{
    WorkerLock lock(&mutex);
    linkActive = false;
    pendingCmd = QString();
    commandQueue.clear();
    reply.clear();
    retriesLeft = maxRetries;
    state = LinkState::Idle;
    wake.notify();
}

void CGestRT::queueKIniezione(quint8 k, quint8 hardware)
{
    const EcuTable t = ecuTable(hardware);
    WorkerLock lock(&mutex);
    commandQueue.append(buildWriteFrame(t.kAddr, k));
    wake.notify();
}

void CGestRT::setNotSentHandler(std::function<void(const QByteArray &)> handler)
{
    WorkerLock lock(&mutex);
    notSent = std::move(handler);
}

int CGestRT::lostAcknowledgements()
{
    WorkerLock lock(&mutex);
    return lostAcks;
}

int CGestRT::unsentCommands()
{
    WorkerLock lock(&mutex);
    return unsent;
}

void CGestRT::queueBancoOn(quint8 hardware)
{
    queueBanco(hardware, true);
}

void CGestRT::queueBancoOff(quint8 hardware)
{
    queueBanco(hardware, false);
}

// The test-bench switch takes three writes: arm (2), 1 at K's address, then
// 1 (on) or 0 (off).
void CGestRT::queueBanco(quint8 hardware, bool on)
{
    const EcuTable t = ecuTable(hardware);
    WorkerLock lock(&mutex);
    commandQueue.append(buildWriteFrame(t.benchArmAddr, 2));
    commandQueue.append(buildWriteFrame(t.kAddr, 1));
    commandQueue.append(buildWriteFrame(t.benchSwitchAddr, on ? 1 : 0));
    wake.notify();
}

// The answers of the live link come 50 times a second: the worker is woken
// once the lock is released, so it does not wake only to wait for it.
void CGestRT::setReply(const QByteArray &frame)
{
    WorkerLock lock(&mutex);
    reply = frame;
    wake.notifyAndUnlock(lock);
}

// Told by the line, on its thread, whether a request was written. A command
// that could not be written was not sent: it is reported, not counted as a
// lost acknowledgement, and the worker goes on as after an answer (an
// unwritten poll just times out).
void CGestRT::written(const QByteArray &frame, quint64 request, bool command, bool ok)
{
    if (ok) {
        // Its time-out runs from now (the line may have kept its gap first).
        {
            WorkerLock lock(&mutex);
            if (request == requests
                && (state == LinkState::WaitPoll || state == LinkState::WaitAck))
                clock.restart();
        }
        emit sgnSndByte(frame);
        return;
    }
    if (!command)
        return;
    std::function<void(const QByteArray &)> handler;
    {
        WorkerLock lock(&mutex);
        ++unsent;
        if (request == requests && state == LinkState::WaitAck) {
            state = commandQueue.isEmpty() ? (linkActive ? LinkState::Poll : LinkState::Idle)
                                           : LinkState::Command;
            wake.notify();
        }
        handler = notSent;
    }
    if (handler)
        handler(frame);
}

void CGestRT::run()
{
    runWorkerLoop(&mutex, &wake, stopRequested, [this] { return step(); });
}

// After a poll answer or an acknowledgement: the budget is full again, queued
// commands go first, then polling, else idle. Called with the lock held.
static int nextAfterAnswer(int &retriesLeft, int maxRetries, bool queueEmpty, bool linkActive)
{
    retriesLeft = maxRetries;
    if (!queueEmpty)
        return LinkState::Command;
    return linkActive ? LinkState::Poll : LinkState::Idle;
}

// Whether a request may be handed to the line now. After a time-out the line
// first falls silent (sleepNs: how long to wait); silence that does not come
// within its cap counts as a time-out. (The quiet gap after an answer is
// kept by the line, which writes the request once it is over.) Lock held.
bool CGestRT::lineClear(qint64 &sleepNs)
{
    const CEcuLine::Clearance c = line ? line->clearance() : CEcuLine::Clearance();
    if (c.overdue)
        state = LinkState::Timeout;
    sleepNs = c.overdue ? 0 : c.waitNs;
    return !c.overdue && sleepNs == 0;
}

qint64 CGestRT::step()
{
    QByteArray frame;
    QString execCmd;
    CRequestWriter *to = nullptr;
    bool command = false;
    quint64 request = 0;
    bool failed = false;
    qint64 sleepNs = 0;

    WorkerLock lock(&mutex);
    switch (state) {
    case LinkState::Idle:
        // The line has one owner at a time: queued command frames go out
        // first, and a requested command is handed back only once none is
        // left (the next pass after the last acknowledgement is idle again).
        if (!pendingCmd.isEmpty() && commandQueue.isEmpty()) {
            execCmd = pendingCmd;
            pendingCmd = QString();
        }
        if (linkActive)
            state = LinkState::Poll;
        else if (!commandQueue.isEmpty())
            state = LinkState::Command;
        else if (execCmd.isEmpty())
            sleepNs = -1; // nothing to do until woken
        break;
    case LinkState::Poll:
        if (!lineClear(sleepNs))
            break;
        if (line)
            line->noteRequest();
        frame = buildPollFrame();
        to = writer;
        request = ++requests;
        // Emptied before the frame leaves, so an answer that comes back while
        // the signal is still being delivered is not lost.
        reply.clear();
        clock.restart();
        state = LinkState::WaitPoll;
        break;
    case LinkState::WaitPoll:
        if (isAnswer(reply, AnswerPoll))
            state = LinkState::Publish;
        else if ((sleepNs = nsUntilTimeout(clock, timeoutMs)) == 0)
            // No answer, or only one with the wrong byte 0: the wait is
            // bounded by the time-out all the same.
            state = LinkState::Timeout;
        break;
    case LinkState::Publish: {
        const PollAnswer a = decodePollAnswer(reply);
        // Each value is taken at its own moment: once the link has been
        // switched off (or a command requested) the readouts get zeros.
        const int rpm = linkActive ? a.rpm : 0;
        lock.unlock();
        emit sgnRpm(rpm);
        lock.relock();
        const uchar adc = linkActive ? a.adc : 0;
        lock.unlock();
        emit sgnADC(adc);
        lock.relock();
        const uchar cellIndex = linkActive ? a.cellIndex : 0;
        lock.unlock();
        emit sgnIdxCella(cellIndex);
        lock.relock();
        const uchar cellValue = linkActive ? a.cellValue : 0;
        lock.unlock();
        emit sgnValCella(cellValue);
        lock.relock();
        state = nextAfterAnswer(retriesLeft, maxRetries, commandQueue.isEmpty(), linkActive);
        break;
    }
    case LinkState::Command:
        if (commandQueue.isEmpty()) { // nothing left after all
            state = nextAfterAnswer(retriesLeft, maxRetries, true, linkActive);
            break;
        }
        if (!lineClear(sleepNs))
            break;
        if (line)
            line->noteRequest();
        frame = commandQueue.takeFirst();
        to = writer;
        command = true;
        request = ++requests;
        reply.clear();
        clock.restart();
        state = LinkState::WaitAck;
        break;
    case LinkState::WaitAck:
        if (isAnswer(reply, AnswerWrite)) {
            state = LinkState::AfterAnswer;
        } else if ((sleepNs = nsUntilTimeout(clock, timeoutMs)) == 0) {
            ++lostAcks;
            state = LinkState::Timeout;
        }
        break;
    case LinkState::AfterAnswer:
        state = nextAfterAnswer(retriesLeft, maxRetries, commandQueue.isEmpty(), linkActive);
        break;
    case LinkState::Timeout:
        // A lost answer (poll or command) is always followed by a poll, also
        // with the link off: an ECU that answers polls but never acknowledges
        // a command keeps the link up. A command whose acknowledgement was
        // lost is not sent again. A disconnection aborts the worker instead,
        // so no poll follows a connection that has ended. The next request
        // waits for silence, so a late answer is not taken for it. Silence
        // that did not come within its cap lands here too (a command not
        // sent for it stays queued).
        if (line)
            line->noteTimeout();
        --retriesLeft;
        state = retriesLeft <= 0 ? LinkState::Failed : LinkState::Poll;
        break;
    case LinkState::Failed:
        failed = true;
        state = LinkState::Idle;
        break;
    default:
        break;
    }
    lock.unlock();

    if (!execCmd.isEmpty())
        emit sgnExecCmd(execCmd);
    // A request is reported as sent once the line has written it; without
    // a line, the frame signal is the way out.
    if (!frame.isEmpty()) {
        if (to)
            to->postRequest(frame, [this, frame, request, command](bool ok) {
                written(frame, request, command, ok);
            });
        else
            emit sgnSndByte(frame);
    }
    if (failed)
        emit sgnError(QStringLiteral("KO"));
    return sleepNs;
}
