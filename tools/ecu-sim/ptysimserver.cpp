#include "ptysimserver.h"

#include "ecusimulator.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace {
constexpr int RequestSize = 8;
}

PtySimServer::PtySimServer(EcuSimulator *simulator, QObject *parent)
    : QObject(parent), sim(simulator)
{
}

PtySimServer::~PtySimServer()
{
    unlink();
    delete notifier;
    if (slaveFd >= 0)
        ::close(slaveFd);
    if (masterFd >= 0)
        ::close(masterFd);
}

bool PtySimServer::open()
{
    if (masterFd >= 0)
        return true;

    const int fd = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return false;
    char name[128];
    if (::grantpt(fd) != 0 || ::unlockpt(fd) != 0 || ::ptsname_r(fd, name, sizeof name) != 0) {
        ::close(fd);
        return false;
    }
    const int sfd = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (sfd < 0) {
        ::close(fd);
        return false;
    }
    // Raw mode: no echo, no line editing, no translation of CR/NL, no
    // XON/XOFF; every byte value passes unchanged.
    termios tio;
    if (::tcgetattr(sfd, &tio) == 0) {
        ::cfmakeraw(&tio);
        ::cfsetispeed(&tio, B9600);
        ::cfsetospeed(&tio, B9600);
        tio.c_cflag |= CLOCAL | CREAD;
        ::tcsetattr(sfd, TCSANOW, &tio);
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);

    masterFd = fd;
    slaveFd = sfd;
    slave = QString::fromLocal8Bit(name);

    notifier = new QSocketNotifier(masterFd, QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &PtySimServer::onReadable);
    pacer = new QTimer(this);
    pacer->setTimerType(Qt::PreciseTimer);
    pacer->setInterval(1);
    connect(pacer, &QTimer::timeout, this, &PtySimServer::pump);
    clock.start();
    return true;
}

QString PtySimServer::slavePath() const
{
    return slave;
}

void PtySimServer::setPaced(bool on)
{
    paced = on;
}

void PtySimServer::setLatencyMs(int ms)
{
    latencyMs = qMax(0, ms);
}

bool PtySimServer::linkInto(const QString &dir, const QString &name)
{
    if (slave.isEmpty() || name.isEmpty() || name.contains(QLatin1Char('/')))
        return false;
    unlink();
    if (!QDir().mkpath(dir))
        return false;
    const QString path = QDir(dir).absoluteFilePath(name);
    const QFileInfo existing(path);
    if (existing.isSymLink()) {
        if (!QFile::remove(path))
            return false;
    } else if (existing.exists()) {
        return false;
    }
    if (::symlink(QFile::encodeName(slave).constData(), QFile::encodeName(path).constData()) != 0)
        return false;
    link = path;
    return true;
}

QString PtySimServer::linkPath() const
{
    return link;
}

void PtySimServer::unlink()
{
    if (link.isEmpty())
        return;
    // Only our own link: another server may have taken the name since.
    const QFileInfo info(link);
    if (info.isSymLink() && info.symLinkTarget() == slave)
        QFile::remove(link);
    link.clear();
}

void PtySimServer::onReadable()
{
    char buf[256];
    for (;;) {
        const ssize_t n = ::read(masterFd, buf, sizeof buf);
        if (n <= 0) {
            if (n < 0 && errno == EINTR)
                continue;
            break; // EAGAIN: all read
        }
        const qint64 now = clock.nsecsElapsed();
        for (ssize_t i = 0; i < n; ++i) {
            // A partial request that saw no further byte for a while is
            // stale: start over with this byte.
            if (!pending.isEmpty() && lastByte.elapsed() > RequestGapMs)
                pending.clear();
            lastByte.start();
            if (pending.isEmpty())
                requestStartNs = now;
            pending.append(buf[i]);
            if (pending.size() < RequestSize)
                continue;

            const QByteArray request = pending;
            pending.clear();
            int delayMs = 0;
            const QByteArray answer = sim->handle(request, &delayMs);
            // On a paced line the answer starts once the request's bytes
            // would have arrived; the ECU's latency and a late answer's
            // delay come on top.
            if (!answer.isEmpty())
                schedule((paced ? requestStartNs + RequestSize * PacedByteNs : now)
                             + (latencyMs + delayMs) * qint64(1000000),
                         answer, paced ? PacedByteNs : 0);
            emit frameSeen(request, answer);
        }
    }
    pump();
}

void PtySimServer::sendUnasked(const QByteArray &bytes)
{
    if (masterFd < 0 || bytes.isEmpty())
        return;
    schedule(clock.nsecsElapsed(), bytes, 0);
    pump();
}

// Puts bytes into the outbox at the earliest time from dueNs on where they
// do not overlap on the line with bytes already scheduled. The outbox stays
// in the order of start times, so a late answer does not hold back the
// answers to later requests: they go out before it, or after it when they
// would overlap it.
void PtySimServer::schedule(qint64 dueNs, const QByteArray &bytes, qint64 byteNs)
{
    Outgoing out{dueNs, bytes, byteNs};
    const qint64 length = bytes.size() * byteNs;
    int at = 0;
    for (; at < outbox.size(); ++at) {
        const Outgoing &o = outbox.at(at);
        if (out.startNs + length <= o.startNs && out.startNs < o.startNs)
            break; // fits before o
        out.startNs = qMax(out.startNs, o.endNs());
    }
    outbox.insert(at, out);
}

// Writes every answer byte that is due by now; keeps the pacer running while
// anything is left.
void PtySimServer::pump()
{
    const qint64 now = clock.nsecsElapsed();
    while (!outbox.isEmpty()) {
        Outgoing &out = outbox.first();
        if (now < out.startNs)
            break;
        // On a paced line byte k (from 1) has left at start + k byte times.
        const int due = out.byteNs > 0 ? static_cast<int>(qMin<qint64>(
                                             out.bytes.size(), (now - out.startNs) / out.byteNs))
                                       : out.bytes.size();
        if (due > out.sent)
            out.sent += write(out.bytes.constData() + out.sent, due - out.sent);
        if (out.sent < due)
            break; // the pseudo-terminal is full: try again on the next tick
        if (out.sent < out.bytes.size())
            break;
        outbox.removeFirst();
    }
    if (outbox.isEmpty())
        pacer->stop();
    else if (!pacer->isActive())
        pacer->start();
}

// Writes what the pseudo-terminal takes now; returns how many bytes that was.
int PtySimServer::write(const char *bytes, int count)
{
    int written = 0;
    while (written < count) {
        const ssize_t n = ::write(masterFd, bytes + written, static_cast<size_t>(count - written));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            break; // EAGAIN: full for now
        }
        written += static_cast<int>(n);
    }
    return written;
}
