#include "cgestrt.h"

#include "frames.h"

#include "workerlock.h"

// The real-time link worker owns the ECU line between transfers: it polls the
// ECU while the link is on, sends queued command frames between two polls
// (or on their own while the link is off), and hands a requested main-window
// command back only from the idle state, when no exchange of its own is in
// flight. Everything the GUI thread can reach (state, retriesLeft,
// linkActive, reply, commandQueue, pendingCmd) is read and written under
// `mutex`; signals are emitted after the lock has been released.

namespace {
constexpr int StateIdle = 800;
constexpr int StatePoll = 10;
constexpr int StateWaitPoll = 11;
constexpr int StatePublish = 12;
constexpr int StateCommand = 20;
constexpr int StateWaitAck = 21;
constexpr int StateAfterAnswer = 22;
constexpr int StateTimeout = 100;
constexpr int StateFailed = 150;
} // namespace

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
    stopRequested = true;
    wait();
}

void CGestRT::startLink()
{
    WorkerLock lock(&mutex);
    retriesLeft = maxRetries;
    linkActive = true;
    pendingCmd = QString();
}

void CGestRT::stopLink()
{
    WorkerLock lock(&mutex);
    linkActive = false;
    pendingCmd = QString();
}

void CGestRT::requestCommand(const QString &cmd)
{
    WorkerLock lock(&mutex);
    pendingCmd = cmd;
    linkActive = false;
}

void CGestRT::queueKIniezione(quint8 k, quint8 hardware)
{
    const EcuTable t = ecuTable(hardware);
    WorkerLock lock(&mutex);
    commandQueue.append(buildWriteFrame(t.kAddr, k));
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
}

void CGestRT::setReply(const QByteArray &frame)
{
    WorkerLock lock(&mutex);
    reply = frame;
}

void CGestRT::run()
{
    while (!stopRequested) {
        step();
        msleep(10);
    }
}

// After a poll answer or an acknowledgement: the budget is full again, queued
// commands go first, then polling, else idle. Called with the lock held.
static int nextAfterAnswer(int &retriesLeft, int maxRetries, bool queueEmpty, bool linkActive)
{
    retriesLeft = maxRetries;
    if (!queueEmpty)
        return StateCommand;
    return linkActive ? StatePoll : StateIdle;
}

void CGestRT::step()
{
    QByteArray frame;
    QString execCmd;
    bool failed = false;

    WorkerLock lock(&mutex);
    switch (state) {
    case StateIdle:
        if (!pendingCmd.isEmpty()) {
            execCmd = pendingCmd;
            pendingCmd = QString();
        }
        if (linkActive)
            state = StatePoll;
        else if (!commandQueue.isEmpty())
            state = StateCommand;
        break;
    case StatePoll:
        frame = buildPollFrame();
        // Emptied before the frame leaves, so an answer that comes back while
        // the signal is still being delivered is not lost.
        reply.clear();
        clock.restart();
        state = StateWaitPoll;
        break;
    case StateWaitPoll:
        if (isAnswer(reply, AnswerPoll))
            state = StatePublish;
        else if (clock.elapsed() > timeoutMs)
            // No answer, or only one with the wrong byte 0: the wait is
            // bounded by the time-out all the same.
            state = StateTimeout;
        break;
    case StatePublish: {
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
    case StateCommand:
        if (commandQueue.isEmpty()) { // nothing left after all
            state = nextAfterAnswer(retriesLeft, maxRetries, true, linkActive);
            break;
        }
        frame = commandQueue.takeFirst();
        reply.clear();
        clock.restart();
        state = StateWaitAck;
        break;
    case StateWaitAck:
        if (isAnswer(reply, AnswerWrite))
            state = StateAfterAnswer;
        else if (clock.elapsed() > timeoutMs)
            state = StateTimeout;
        break;
    case StateAfterAnswer:
        state = nextAfterAnswer(retriesLeft, maxRetries, commandQueue.isEmpty(), linkActive);
        break;
    case StateTimeout:
        // While the link is on, a lost answer (poll or command) is followed by
        // a poll; a command whose acknowledgement was lost is not sent again.
        // With the link off (switched off, disconnected, or paused for a
        // command) nothing more is polled: the idle state sends what is
        // queued, so a poll lost to a disconnection cannot grow into a
        // failure report long after the user ended the connection.
        --retriesLeft;
        if (retriesLeft <= 0)
            state = StateFailed;
        else
            state = linkActive ? StatePoll : StateIdle;
        break;
    case StateFailed:
        failed = true;
        state = StateIdle;
        break;
    default:
        break;
    }
    lock.unlock();

    if (!execCmd.isEmpty())
        emit sgnExecCmd(execCmd);
    if (!frame.isEmpty())
        emit sgnSndByte(frame);
    if (failed)
        emit sgnError(QStringLiteral("KO"));
}
