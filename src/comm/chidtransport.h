#pragma once

#include "ecutransport.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QMutex>
#include <QString>
#include <atomic>
#include <functional>
#include <hidapi/hidapi.h>

class QThread;

// A HID read waits at most this long for a report; a read that gets none in
// that time counts as a failed read.
constexpr int HidReadTimeoutMs = 250;
constexpr int HidReportSize = 65;

// The HID route: the ECU's USB HID device, on a thread of its own that opens
// it, does every exchange with it and closes it. An exchange is a request
// frame in bytes 1..8 of a zeroed 65-byte report (byte 0 is the report
// number, 0), then one input report back, whose bytes 0..7 are the answer.
// Before each write every input report already queued is read and dropped,
// so a late report is never taken for the answer to a later request. The
// port search's identity request is a job of its own (probe()). A silent
// device never holds up anything but this thread.
class CHidTransport : public CEcuTransport
{
    Q_OBJECT
public:
    using Opener = std::function<hid_device *()>;

    // Opens the device on the line thread with `open` (null: none attached)
    // and returns once that has been tried. The device is known by
    // `portName` on the connection.
    CHidTransport(const Opener &open, const QString &portName, CEcuLine *line,
                  QObject *parent = nullptr, int readTimeoutMs = HidReadTimeoutMs);
    // Closes the device on the line thread and ends the thread.
    ~CHidTransport() override;

    QString portName() const override;
    bool isOpen() const override;
    void setWatching(bool watch) override;
    // Also drops an identity request not yet answered.
    void abort() override;

    // The identity request: up to `attempts` reports with byte 1 = 0xFA,
    // each followed by one read, until an answer starts FA C8. The answer
    // report comes through sgnProbe, or an empty one when no attempt
    // succeeded.
    void probe(int attempts);

    // The exchanges print diagnostic lines to standard output (on by
    // default); a program whose standard output is its own switches them
    // off, for every transport of the process.
    static void setDiagnostics(bool on);

signals:
    void sgnProbe(QByteArray report);

protected:
    void wakeLine() override;

private:
    void lineThread();
    qint64 pass();
    void drainInput();
    void exchange(const QByteArray &frame);
    void identify(int attempts, quint64 generation);
    void lookAtDevice();
    bool current(quint64 generation);

    const Opener m_open;
    const QString m_portName;
    const int m_readTimeoutMs;
    QThread *m_thread = nullptr;
    hid_device *m_device = nullptr; // the line thread's; set before the constructor returns
    QElapsedTimer m_lastLook;       // the line thread's
    QMutex m_mutex; // guards the members below
    WorkerWake m_wake;
    bool m_startTried = false;
    int m_probeAttempts = 0; // an identity request waits (0: none)
    quint64 m_generation = 0;
    bool m_watching = false;
    std::atomic<bool> m_stop{false};
};
