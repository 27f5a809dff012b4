#pragma once

#include <QElapsedTimer>
#include <QtGlobal>

// The state numbers of the three workers' tables, defined once. Each worker
// does one action per pass of its state; the numbers they share (idle, a
// time-out, a failure) mean the same in every table.
namespace WorkerState {
constexpr int TimedOut = 100;
constexpr int Failed = 150;
constexpr int Idle = 800;
} // namespace WorkerState

// The profile transfer workers: each exchange runs Send -> Wait -> Advance; a
// time-out goes through Retry back to Send. After the last address, Settle
// gives a surplus frame time to show, and Confirm asks again for each
// address the line could not vouch for (Send -> Wait -> Advance once more).
// A transfer ends in Failed or Done, each of which reports once and returns
// to Idle.
namespace TransferState {
constexpr int Send = 10;
constexpr int Wait = 11;
constexpr int Advance = 12;
constexpr int Confirm = 13;
constexpr int Settle = 14;
constexpr int Retry = WorkerState::TimedOut;
constexpr int Failed = WorkerState::Failed;
constexpr int Done = 200;
constexpr int Idle = WorkerState::Idle;
} // namespace TransferState

// The real-time link worker: polling runs Poll -> WaitPoll -> Publish, a
// queued command Command -> WaitAck -> AfterAnswer; a lost answer goes to
// Timeout, and the last one the budget allows to Failed, which reports "KO".
namespace LinkState {
constexpr int Poll = 10;
constexpr int WaitPoll = 11;
constexpr int Publish = 12;
constexpr int Command = 20;
constexpr int WaitAck = 21;
constexpr int AfterAnswer = 22;
constexpr int Timeout = WorkerState::TimedOut;
constexpr int Failed = WorkerState::Failed;
constexpr int Idle = WorkerState::Idle;
} // namespace LinkState

// Nanoseconds left until a wait that started with `clock` has lasted strictly
// more than timeoutMs; 0 once it has.
inline qint64 nsUntilTimeout(const QElapsedTimer &clock, int timeoutMs)
{
    return qMax<qint64>(0, timeoutMs * qint64(1000000) + 1 - clock.nsecsElapsed());
}
