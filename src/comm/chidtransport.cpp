#include "chidtransport.h"

#include "frames.h"

#include <cstdio>
#include <cstring>

CHidTransport::CHidTransport(hid_device *device, QObject *parent, int readTimeoutMs)
    : QThread(parent), device(device), readTimeoutMs(readTimeoutMs)
{
    start();
}

CHidTransport::~CHidTransport()
{
    stopWorkerLoop(this, &mutex, &wake, &stopRequested);
}

void CHidTransport::send(const QByteArray &frame)
{
    WorkerLock lock(&mutex);
    Job job;
    job.frame = frame;
    job.generation = generation;
    job.sequence = ++exchanges;
    // The request it repeats (or follows) is of no use any more.
    for (int i = jobs.size() - 1; i >= 0; --i) {
        if (!jobs.at(i).probe)
            jobs.removeAt(i);
    }
    jobs.append(job);
    wake.notify();
}

void CHidTransport::probe(int attempts)
{
    WorkerLock lock(&mutex);
    Job job;
    job.probe = true;
    job.attempts = attempts;
    job.generation = generation;
    jobs.append(job);
    wake.notify();
}

void CHidTransport::checkPresence()
{
    WorkerLock lock(&mutex);
    Job job;
    job.presence = true;
    job.generation = generation;
    jobs.append(job);
    wake.notify();
}

void CHidTransport::reportGone(const Job &job)
{
    if (current(job.generation))
        emit sgnGone();
}

void CHidTransport::abort()
{
    WorkerLock lock(&mutex);
    jobs.clear();
    ++generation;
}

bool CHidTransport::current(quint64 jobGeneration)
{
    WorkerLock lock(&mutex);
    return jobGeneration == generation;
}

bool CHidTransport::latest(const Job &job)
{
    WorkerLock lock(&mutex);
    return job.generation == generation && job.sequence == exchanges;
}

void CHidTransport::run()
{
    runWorkerLoop(&mutex, &wake, stopRequested, [this]() -> qint64 {
        Job job;
        {
            WorkerLock lock(&mutex);
            if (jobs.isEmpty())
                return -1; // nothing to do until woken
            job = jobs.takeFirst();
        }
        if (job.probe) {
            identify(job);
        } else if (job.presence) {
            unsigned char scratch[HidReportSize];
            if (device && hid_read_timeout(device, scratch, sizeof scratch, 0) < 0)
                reportGone(job);
        } else {
            exchange(job);
        }
        return 0;
    });
}

// Reads and drops every input report already waiting.
void CHidTransport::drainInput()
{
    unsigned char scratch[HidReportSize];
    while (hid_read_timeout(device, scratch, sizeof scratch, 0) > 0) {
    }
}

void CHidTransport::exchange(const Job &job)
{
    unsigned char buf[HidReportSize];
    std::memset(buf, 0, sizeof buf);
    std::memcpy(buf + 1, job.frame.constData(), static_cast<size_t>(qMin(job.frame.size(), FrameSize)));
    int written = -1;
    int read = -1;
    if (device) {
        drainInput();
        written = hid_write(device, buf, sizeof buf);
    }
    std::printf("OnSendSerialData: bytes written=%d\n", written);
    // The read is bounded: no report within the time counts as a failure.
    if (device)
        read = hid_read_timeout(device, buf, sizeof buf, readTimeoutMs);
    if (read <= 0) {
        std::printf("OnSendSerialData: Unable to read()\n");
        std::fflush(stdout);
        // A time-out is a lost answer; a failing call means the device is gone.
        if (written < 0 || read < 0)
            reportGone(job);
        return;
    }
    std::printf("OnSendSerialData: bytes read=%d\n", read);
    std::fflush(stdout);
    if (latest(job))
        emit sgnAnswer(QByteArray(reinterpret_cast<const char *>(buf), FrameSize));
}

void CHidTransport::identify(const Job &job)
{
    // One buffer for request and answer; zeroed once, so later attempts send
    // what the previous read left behind bytes 0 and 1.
    unsigned char buf[HidReportSize];
    std::memset(buf, 0, sizeof buf);
    for (int attempt = 0; attempt < job.attempts && device; ++attempt) {
        if (!current(job.generation))
            return;
        buf[0] = 0x00; // report number
        buf[1] = AnswerProbe;
        drainInput();
        int res = hid_write(device, buf, sizeof buf);
        std::printf("bytes written=%d\n", res);
        // A read that gets no report in time counts as a failed read.
        res = hid_read_timeout(device, buf, sizeof buf, readTimeoutMs);
        if (res <= 0)
            std::printf("Unable to read()\n");
        std::printf("bytes read=%d\n", res);
        for (int i = 0; i < FrameSize; ++i)
            std::printf("buf[%d]=%02X\r\n", i, buf[i]);
        std::fflush(stdout);
        if (res > 0 && buf[0] == AnswerProbe && buf[1] == AnswerProbeOk) {
            if (current(job.generation))
                emit sgnProbe(QByteArray(reinterpret_cast<const char *>(buf), sizeof buf));
            return;
        }
    }
    if (current(job.generation))
        emit sgnProbe(QByteArray());
}
