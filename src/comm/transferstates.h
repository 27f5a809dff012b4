#pragma once

#include "frames.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QString>

// The states both profile transfer workers share. Each exchange runs
// Send -> Wait -> Advance; a time-out goes through Retry back to Send, and a
// transfer ends in Failed or Done, each of which reports once and returns to
// Idle.
namespace TransferState {
constexpr int Idle = 800;
constexpr int Send = 10;
constexpr int Wait = 11;
constexpr int Advance = 12;
constexpr int Retry = 100;
constexpr int Failed = 150;
constexpr int Done = 200;
}

// Ends a running transfer: it goes to Failed, which reports once. Returns
// false when none was running (idle, or already reporting its outcome).
inline bool failRunningTransfer(int &state)
{
    if (state == TransferState::Idle || state == TransferState::Failed
        || state == TransferState::Done)
        return false;
    state = TransferState::Failed;
    return true;
}

// Nanoseconds left until a wait that started with `clock` has lasted strictly
// more than timeoutMs; 0 once it has.
inline qint64 nsUntilTimeout(const QElapsedTimer &clock, int timeoutMs)
{
    return qMax<qint64>(0, timeoutMs * qint64(1000000) + 1 - clock.nsecsElapsed());
}

// What one pass in a shared state (Wait, Retry, Failed, Done) decides.
struct TransferPass
{
    int next;           // the next state
    QString result;     // the outcome to report, or empty
    int percent = -1;   // the progress to report, or -1
    qint64 sleepNs = 0; // how long the worker may sleep before the next pass
};

// One pass in a shared state. Wait takes an answer whose byte 0 is the awaited
// one; without it (no answer, or only one with another byte 0) the wait is
// bounded by the time-out measured from the request all the same, and the
// worker sleeps until that deadline unless an answer wakes it. Retry spends
// one time-out of the transfer's budget.
inline TransferPass transferPass(int state, const QByteArray &reply, quint8 awaitedByte0,
                                 const QElapsedTimer &clock, int timeoutMs, int &retriesLeft,
                                 const QString &okResult, const QString &koResult)
{
    switch (state) {
    case TransferState::Wait: {
        if (isAnswer(reply, awaitedByte0))
            return {TransferState::Advance, QString()};
        const qint64 left = nsUntilTimeout(clock, timeoutMs);
        if (left == 0)
            return {TransferState::Retry, QString()};
        return {TransferState::Wait, QString(), -1, left};
    }
    case TransferState::Retry:
        --retriesLeft;
        return {retriesLeft <= 0 ? TransferState::Failed : TransferState::Send, QString()};
    case TransferState::Failed:
        return {TransferState::Idle, koResult};
    case TransferState::Done:
        return {TransferState::Idle, okResult, 100};
    default:
        return {state, QString(), -1, -1}; // idle: sleep until woken
    }
}
