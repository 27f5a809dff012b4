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
    delete writeNotifier;
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
    writeNotifier = new QSocketNotifier(masterFd, QSocketNotifier::Write, this);
    writeNotifier->setEnabled(false);
    connect(writeNotifier, &QSocketNotifier::activated, this, &PtySimServer::onWritable);
    pacer = new QTimer(this);
    pacer->setTimerType(Qt::PreciseTimer);
    pacer->setInterval(1);
    connect(pacer, &QTimer::timeout, this, &PtySimServer::sendPaced);
    return true;
}

QString PtySimServer::slavePath() const
{
    return slave;
}

void PtySimServer::setPaced(bool on)
{
    paced = on;
    if (!paced && pacer) {
        pacer->stop();
        flush(outbox.size());
    }
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
        for (ssize_t i = 0; i < n; ++i) {
            // A partial request that saw no further byte for a while is
            // stale: start over with this byte.
            if (!pending.isEmpty() && lastByte.elapsed() > RequestGapMs)
                pending.clear();
            lastByte.start();
            pending.append(buf[i]);
            if (pending.size() < RequestSize)
                continue;

            const QByteArray request = pending;
            pending.clear();
            const QByteArray answer = sim->handle(request);
            emit frameSeen(request, answer);
            if (answer.isEmpty())
                continue;
            outbox.append(answer);
            if (!paced) {
                flush(outbox.size());
            } else if (!pacer->isActive()) {
                pacingClock.start();
                pacedSent = 0;
                pacer->start();
            }
        }
    }
}

void PtySimServer::onWritable()
{
    writeNotifier->setEnabled(false);
    if (!paced)
        flush(outbox.size());
}

// Writes the answer bytes that are due by now on a 9600-baud line.
void PtySimServer::sendPaced()
{
    const qint64 due = pacingClock.nsecsElapsed() / PacedByteNs - pacedSent;
    if (due > 0)
        flush(static_cast<int>(qMin<qint64>(due, outbox.size())));
    if (outbox.isEmpty())
        pacer->stop();
}

void PtySimServer::flush(int maxBytes)
{
    while (maxBytes > 0 && !outbox.isEmpty()) {
        const ssize_t n = ::write(masterFd, outbox.constData(), static_cast<size_t>(qMin(maxBytes, outbox.size())));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            if (errno == EAGAIN && !paced)
                writeNotifier->setEnabled(true);
            return;
        }
        outbox.remove(0, static_cast<int>(n));
        maxBytes -= static_cast<int>(n);
        pacedSent += n;
    }
}
