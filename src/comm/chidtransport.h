#pragma once

#include "workerlock.h"

#include <QByteArray>
#include <QList>
#include <QMutex>
#include <QThread>
#include <atomic>
#include <hidapi/hidapi.h>

// A HID read waits at most this long for a report; a read that gets none in
// that time counts as a failed read.
constexpr int HidReadTimeoutMs = 250;
constexpr int HidReportSize = 65;

// Every exchange with the ECU's HID device, on a thread of its own, so that a
// silent device never holds up the window. Jobs run one at a time in the
// order given: an exchange (a request frame in a 65-byte report, then one
// input report back) or the port search's identity request. Before each
// write every input report already queued is read and dropped, so a late
// report is never taken for the answer to a later request. The device handle
// belongs to whoever made the transport; nothing else may use it while the
// transport lives.
class CHidTransport : public QThread
{
    Q_OBJECT
public:
    explicit CHidTransport(hid_device *device, QObject *parent = nullptr,
                           int readTimeoutMs = HidReadTimeoutMs);
    ~CHidTransport() override;

    // Queues one exchange: the frame goes out in bytes 1..8 of a zeroed
    // report (byte 0 is the report number, 0); the answer, bytes 0..7 of the
    // report read back, comes through sgnAnswer. Only the latest request
    // counts: it replaces an exchange still waiting to start, and an answer
    // read for an older one is dropped.
    void send(const QByteArray &frame);
    // Queues the identity request: up to `attempts` reports with byte 1 =
    // 0xFA, each followed by one read, until an answer starts FA C8. The
    // answer report comes through sgnProbe, or an empty one when no attempt
    // succeeded.
    void probe(int attempts);
    // Queues a look at the device: one read that does not wait. A device
    // that is gone reports sgnGone; a report waiting is dropped (nothing
    // waits for one while the line is idle).
    void checkPresence();
    // Drops every job not yet started; a job already running ends without
    // reporting.
    void abort();

signals:
    void sgnAnswer(QByteArray frame);
    void sgnProbe(QByteArray report);
    // A hidapi call failed (-1, not a time-out): the device is gone.
    void sgnGone();

protected:
    void run() override;

private:
    struct Job
    {
        bool probe = false;
        bool presence = false;
        QByteArray frame;
        int attempts = 0;
        quint64 generation = 0;
        quint64 sequence = 0;
    };

    void drainInput();
    void exchange(const Job &job);
    void identify(const Job &job);
    void reportGone(const Job &job);
    bool current(quint64 generation);
    bool latest(const Job &job);

    hid_device *device;
    int readTimeoutMs;
    QMutex mutex; // guards jobs and generation
    QList<Job> jobs;
    quint64 generation = 0;
    quint64 exchanges = 0; // sequence of the latest exchange asked for
    WorkerWake wake;
    std::atomic<bool> stopRequested{false};
};
