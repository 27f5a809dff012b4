#include "cserialpump.h"

#include "eculine.h"
#include "frames.h"

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>
#endif

namespace {
// How long a write may wait for room in the terminal's output buffer (eight
// bytes normally fit at once).
constexpr int WriteWaitMs = 100;
// How long past its due time an answer is waited for by the request's own
// thread, at least, before the pump's thread takes it over.
constexpr qint64 GraceNs = 5000000;
} // namespace

CSerialPump::CSerialPump(CEcuLine *line, AnswerHandler handler, QObject *parent)
    : QThread(parent), m_line(line), m_handler(std::move(handler))
{
    m_frame.resize(FrameSize);
    m_clock.start();
#ifdef Q_OS_UNIX
    int fds[2] = {-1, -1};
    if (::pipe(fds) == 0) {
        for (int fd : fds) {
            ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
            ::fcntl(fd, F_SETFD, FD_CLOEXEC);
        }
        m_wakeFd = fds[0];
        m_wakeWriteFd = fds[1];
    }
#endif
    start();
}

CSerialPump::~CSerialPump()
{
    {
        WorkerLock lock(&m_mutex);
        m_quit = true;
        m_pumping = false;
        wakePoll();
        m_wake.wakeAll();
    }
    wait();
    WorkerLock joined(&m_mutex); // takes over what the thread did last
#ifdef Q_OS_UNIX
    if (m_wakeFd >= 0)
        ::close(m_wakeFd);
    if (m_wakeWriteFd >= 0)
        ::close(m_wakeWriteFd);
#endif
}

void CSerialPump::setAnswerDueNs(qint64 ns)
{
    WorkerLock lock(&m_mutex);
    m_answerDueNs = qMax<qint64>(0, ns);
}

bool CSerialPump::begin(int fd)
{
    WorkerLock lock(&m_mutex);
    if (fd < 0 || m_wakeFd < 0)
        return false;
    m_fd = fd;
    m_count = 0;
    m_watching = true; // until the first request
    m_pumping = true;
    m_wake.wakeAll();
    return true;
}

void CSerialPump::end()
{
    WorkerLock lock(&m_mutex);
    m_pumping = false;
    m_watching = false;
    wakePoll();
    m_wake.wakeAll();
    while (m_polling)
        lock.wait(&m_parked, -1);
    m_fd = -1;
    m_count = 0;
}

// Cuts a poll of the port short. Lock held.
void CSerialPump::wakePoll()
{
#ifdef Q_OS_UNIX
    if (m_polling && m_wakeWriteFd >= 0) {
        const char byte = 1;
        (void)!::write(m_wakeWriteFd, &byte, 1);
    }
#endif
}

bool CSerialPump::send(const QByteArray &frame)
{
    return exchange(frame, true);
}

bool CSerialPump::post(const QByteArray &frame)
{
    return exchange(frame, false);
}

bool CSerialPump::exchange(const QByteArray &frame, bool await)
{
    bool gone = false;
    {
        WorkerLock lock(&m_mutex);
        if (!m_pumping)
            return false;
#ifdef Q_OS_UNIX
        // This exchange reads its own answer: the pump's thread stops
        // watching, so one thread at a time waits on the port.
        m_watching = false;
        wakePoll();
        while (m_polling)
            lock.wait(&m_parked, -1);
        if (!m_pumping)
            return true;
        // A new request starts on a frame boundary: a partial answer and
        // whatever waits in the terminal go.
        ::tcflush(m_fd, TCIFLUSH);
        m_count = 0;
        m_line->noteRequestSent();
        const char *data = frame.constData();
        qint64 left = frame.size();
        while (left > 0 && !gone) {
            const ssize_t n = ::write(m_fd, data, size_t(left));
            if (n > 0) {
                data += n;
                left -= n;
            } else if (n < 0 && errno == EINTR) {
                continue;
            } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
                pollfd out = {m_fd, POLLOUT, 0};
                gone = ::poll(&out, 1, WriteWaitMs) <= 0;
            } else {
                gone = true;
            }
        }
        if (!gone && await) {
            gone = !awaitAnswer(lock);
        } else if (!gone) {
            m_watching = true;
            m_wake.wakeAll();
        }
        if (gone) {
            m_pumping = false;
            m_watching = false;
        }
#endif
    }
    if (gone)
        emit sgnGone();
    return true;
}

// The request has gone out: its answer is on the wire for a while yet, so
// the caller sleeps till then instead of waking for each of its bytes, then
// reads it. An answer not whole a little after it was due is left to the
// pump's thread. Lock held; false when the port has failed.
bool CSerialPump::awaitAnswer(WorkerLock &lock)
{
#ifdef Q_OS_UNIX
    const qint64 dueAt = m_clock.nsecsElapsed() + m_answerDueNs;
    for (qint64 wait = m_answerDueNs; m_pumping && wait > 0;
         wait = dueAt - m_clock.nsecsElapsed())
        lock.wait(&m_wake, wait); // end() cuts it short
    const qint64 giveUpAt = qMax(dueAt, m_clock.nsecsElapsed()) + qMax(m_answerDueNs / 2, GraceNs);
    const int answered = m_answers;
    while (m_pumping) {
        // The terminal reports input once a whole frame's worth waits: a
        // part of one is left there, for the pump's thread to take whole.
        const qint64 left = qMax<qint64>(0, giveUpAt - m_clock.nsecsElapsed());
        const PortWait w = pollPort(lock, int((left + 999999) / 1000000));
        if (w == PortWait::Ended)
            return true;
        if (w == PortWait::Gone || (w == PortWait::Input && !readInput()))
            return false;
        if (m_answers != answered)
            return true;
        if (left == 0)
            break;
    }
    // No answer yet: the pump's thread watches for it, and for whatever else
    // comes, until the next request.
    if (m_pumping) {
        m_watching = true;
        m_wake.wakeAll();
    }
    return true;
#else
    Q_UNUSED(lock)
    return true;
#endif
}

// Waits on the port (and on end() or a new request) for at most timeoutMs
// (< 0: for ever), with the lock released meanwhile.
CSerialPump::PortWait CSerialPump::pollPort(WorkerLock &lock, int timeoutMs)
{
#ifdef Q_OS_UNIX
    pollfd fds[2] = {{m_fd, POLLIN, 0}, {m_wakeFd, POLLIN, 0}};
    m_polling = true;
    lock.unlock();
    const int ready = ::poll(fds, 2, timeoutMs);
    lock.relock();
    m_polling = false;
    m_parked.wakeAll();
    if (fds[1].revents & POLLIN) {
        char drain[16];
        while (::read(m_wakeFd, drain, sizeof drain) > 0) {
        }
    }
    if (!m_pumping)
        return PortWait::Ended;
    if (ready <= 0)
        return PortWait::Nothing;
    if (fds[0].revents & POLLIN)
        return PortWait::Input;
    return fds[0].revents & (POLLHUP | POLLERR | POLLNVAL) ? PortWait::Gone : PortWait::Nothing;
#else
    Q_UNUSED(lock)
    Q_UNUSED(timeoutMs)
    return PortWait::Ended;
#endif
}

// Reads whatever the port holds: complete answers go to the handler. Lock
// held; false when the port has failed.
bool CSerialPump::readInput()
{
#ifdef Q_OS_UNIX
    char buffer[64];
    for (;;) {
        const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
        if (n > 0) {
            m_line->noteActivity();
            for (ssize_t i = 0; i < n; ++i) {
                if (pushAnswerByte(m_frame, m_count, buffer[i])) {
                    const QByteArray frame(m_frame.constData(), FrameSize);
                    m_line->noteAnswer(frame);
                    ++m_answers;
                    m_handler(frame);
                }
            }
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        // Nothing more waits; 0 or another error is a hang-up.
        return n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
    }
#else
    return false;
#endif
}

// The pump's thread watches the port from the start, and after a request
// whose answer was late, until the next request: late answers and input no
// request accounts for are taken as they come.
void CSerialPump::run()
{
    WorkerLock lock(&m_mutex);
    while (!m_quit) {
        if (!m_pumping || !m_watching) {
            lock.wait(&m_wake, -1);
            continue;
        }
        const PortWait w = pollPort(lock, -1);
        const bool gone =
            w == PortWait::Gone || (w == PortWait::Input && m_watching && !readInput());
        if (gone) {
            m_pumping = false;
            m_watching = false;
            lock.unlock();
            emit sgnGone();
            lock.relock();
        }
    }
}
