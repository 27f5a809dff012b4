#include "chidtransport.h"

#include "eculine.h"
#include "frames.h"

#include <QThread>

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

// The exchanges' diagnostic lines go to standard output unless switched off.
std::atomic<bool> diagnosticsOn{true};

#if defined(__GNUC__)
__attribute__((format(printf, 1, 2)))
#endif
void diagnostic(const char *format, ...)
{
    if (!diagnosticsOn.load(std::memory_order_relaxed))
        return;
    va_list args;
    va_start(args, format);
    std::vprintf(format, args);
    va_end(args);
}

void flushDiagnostics()
{
    if (diagnosticsOn.load(std::memory_order_relaxed))
        std::fflush(stdout);
}

} // namespace

void CHidTransport::setDiagnostics(bool on)
{
    diagnosticsOn.store(on, std::memory_order_relaxed);
}

namespace {
constexpr qint64 LookIntervalNs = 1000LL * 1000000;
} // namespace

CHidTransport::CHidTransport(const Opener &open, const QString &portName, CEcuLine *line,
                             QObject *parent, int readTimeoutMs)
    : CEcuTransport(line, parent), m_open(open), m_portName(portName),
      m_readTimeoutMs(readTimeoutMs)
{
    m_thread = QThread::create([this] { lineThread(); });
    m_thread->setObjectName(QStringLiteral("HID line"));
    m_thread->start();
    WorkerLock lock(&m_mutex);
    while (!m_startTried)
        lock.wait(&m_wake.condition, -1);
}

CHidTransport::~CHidTransport()
{
    closeQueue();
    stopWorkerLoop(m_thread, &m_mutex, &m_wake, &m_stop);
    delete m_thread;
}

QString CHidTransport::portName() const
{
    return m_portName;
}

bool CHidTransport::isOpen() const
{
    return m_device != nullptr; // set before the constructor returned, kept until the end
}

void CHidTransport::setWatching(bool watch)
{
    WorkerLock lock(&m_mutex);
    m_watching = watch;
    m_wake.notify();
}

void CHidTransport::abort()
{
    CEcuTransport::abort();
    WorkerLock lock(&m_mutex);
    m_probeAttempts = 0;
    ++m_generation; // an answer on its way belongs to what was dropped
}

void CHidTransport::probe(int attempts)
{
    WorkerLock lock(&m_mutex);
    m_probeAttempts = attempts;
    m_wake.notify();
}

void CHidTransport::wakeLine()
{
    WorkerLock lock(&m_mutex);
    m_wake.notify();
}

bool CHidTransport::current(quint64 generation)
{
    WorkerLock lock(&m_mutex);
    return generation == m_generation;
}

void CHidTransport::lineThread()
{
    hid_device *device = m_open ? m_open() : nullptr;
    {
        WorkerLock lock(&m_mutex);
        m_device = device;
        m_startTried = true;
        m_wake.condition.wakeAll();
    }
    if (device)
        runWorkerLoop(&m_mutex, &m_wake, m_stop, [this] { return pass(); });
    closeQueue();
    if (device)
        hid_close(device);
    WorkerLock last(&m_mutex); // hands everything over to the joining thread
}

// One job per pass: the identity request first, then the requests in the
// order they came; with nothing to do, a look at the device once a second
// while watching, else sleep until woken.
qint64 CHidTransport::pass()
{
    int attempts = 0;
    quint64 generation = 0;
    bool watching = false;
    {
        WorkerLock lock(&m_mutex);
        attempts = m_probeAttempts;
        m_probeAttempts = 0;
        generation = m_generation;
        watching = m_watching;
    }
    if (attempts > 0) {
        identify(attempts, generation);
        return 0;
    }
    QByteArray frame;
    if (takeRequest(&frame)) {
        exchange(frame);
        return 0;
    }
    if (!watching)
        return -1;
    if (!m_lastLook.isValid() || m_lastLook.nsecsElapsed() >= LookIntervalNs) {
        lookAtDevice();
        m_lastLook.start();
    }
    return LookIntervalNs - m_lastLook.nsecsElapsed();
}

// Reads and drops every input report already waiting.
void CHidTransport::drainInput()
{
    unsigned char scratch[HidReportSize];
    while (hid_read_timeout(m_device, scratch, sizeof scratch, 0) > 0) {
    }
}

void CHidTransport::exchange(const QByteArray &frame)
{
    quint64 generation = 0;
    {
        WorkerLock lock(&m_mutex);
        generation = m_generation;
    }
    unsigned char buf[HidReportSize];
    std::memset(buf, 0, sizeof buf);
    std::memcpy(buf + 1, frame.constData(), static_cast<size_t>(qMin(frame.size(), FrameSize)));
    // The line's quiet gap after the previous answer; a stop cuts it short.
    if (const qint64 gapNs = m_line ? m_line->gapLeftNs() : 0) {
        WorkerLock lock(&m_mutex);
        if (!m_stop)
            lock.wait(&m_wake.condition, gapNs);
    }
    drainInput();
    if (m_line)
        m_line->noteRequestSent();
    const int written = hid_write(m_device, buf, sizeof buf);
    requestDone(written >= 0);
    diagnostic("OnSendSerialData: bytes written=%d\n", written);
    // The read is bounded: no report within the time counts as a failure.
    const int read = hid_read_timeout(m_device, buf, sizeof buf, m_readTimeoutMs);
    if (read <= 0) {
        diagnostic("OnSendSerialData: Unable to read()\n");
        flushDiagnostics();
        // A time-out is a lost answer; a failing call means the device is gone.
        if (written < 0 || read < 0)
            reportGone();
        return;
    }
    diagnostic("OnSendSerialData: bytes read=%d\n", read);
    flushDiagnostics();
    if (current(generation))
        handAnswer(QByteArray(reinterpret_cast<const char *>(buf), FrameSize));
}

void CHidTransport::identify(int attempts, quint64 generation)
{
    // One buffer for request and answer; zeroed once, so later attempts send
    // what the previous read left behind bytes 0 and 1.
    unsigned char buf[HidReportSize];
    std::memset(buf, 0, sizeof buf);
    for (int attempt = 0; attempt < attempts; ++attempt) {
        if (!current(generation))
            return;
        buf[0] = 0x00; // report number
        buf[1] = AnswerProbe;
        drainInput();
        int res = hid_write(m_device, buf, sizeof buf);
        diagnostic("bytes written=%d\n", res);
        // A read that gets no report in time counts as a failed read.
        res = hid_read_timeout(m_device, buf, sizeof buf, m_readTimeoutMs);
        if (res <= 0)
            diagnostic("Unable to read()\n");
        diagnostic("bytes read=%d\n", res);
        for (int i = 0; i < FrameSize; ++i)
            diagnostic("buf[%d]=%02X\r\n", i, buf[i]);
        flushDiagnostics();
        if (res > 0 && buf[0] == AnswerProbe && buf[1] == AnswerProbeOk) {
            if (current(generation))
                emit sgnProbe(QByteArray(reinterpret_cast<const char *>(buf), sizeof buf));
            return;
        }
    }
    if (current(generation))
        emit sgnProbe(QByteArray());
}

// A look at the device: one read that does not wait. A device that is gone
// fails it; a report waiting is dropped (nothing waits for one while the
// line is idle).
void CHidTransport::lookAtDevice()
{
    unsigned char scratch[HidReportSize];
    if (hid_read_timeout(m_device, scratch, sizeof scratch, 0) < 0)
        reportGone();
}
