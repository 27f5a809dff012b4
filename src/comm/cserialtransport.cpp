#include "cserialtransport.h"

#include "eculine.h"
#include "frames.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QSerialPort>
#include <QThread>
#include <QTimer>

#ifdef Q_OS_UNIX
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>
#endif

namespace {
constexpr int WatchIntervalMs = 1000;
// The line thread rests after a request only when answers take longer than
// this. It wakes a little after the answer is due, as last measured while
// watching the port; each time the answer is there already, it wakes a
// little sooner the next time, so that it keeps measuring.
// An answer that took longer than RestUpToNs (a late one) says nothing of
// the line's pace: the thread then watches the port again.
constexpr qint64 RestFromNs = 4 * 1000000;
constexpr qint64 RestUpToNs = 40 * 1000000;
constexpr qint64 RestPastDueNs = 300 * 1000;
constexpr qint64 RestSoonerNs = 200 * 1000;
} // namespace

CSerialTransport::CSerialTransport(const QString &portName, CEcuLine *line, QObject *parent)
    : CEcuTransport(line, parent), m_portName(portName)
{
    m_thread = QThread::create([this] { lineThread(); });
    m_thread->setObjectName(QStringLiteral("serial line"));
    m_thread->start();
    WorkerLock lock(&m_threadMutex);
    while (!m_startTried)
        lock.wait(&m_started, -1);
}

CSerialTransport::~CSerialTransport()
{
    // Writers waiting learn at once that their requests will not go out,
    // and a rest is cut short.
    closeQueue();
    {
        WorkerLock lock(&m_threadMutex);
        m_closing = true;
        m_rest.wakeAll();
    }
    onLineThread([this] { m_loop->quit(); });
    m_thread->wait();
    WorkerLock joined(&m_threadMutex); // takes over what the thread did last
    delete m_thread;
}

QString CSerialTransport::portName() const
{
    return m_portName;
}

bool CSerialTransport::isOpen() const
{
    WorkerLock lock(&m_threadMutex);
    return m_open;
}

void CSerialTransport::setWatching(bool watch)
{
    onLineThread([this, watch] {
        if (watch && m_port->isOpen())
            m_watch->start();
        else
            m_watch->stop();
    });
}

// Runs a call on the line thread, once its loop runs (nothing when it has
// ended).
void CSerialTransport::onLineThread(std::function<void()> call)
{
    WorkerLock lock(&m_threadMutex);
    if (m_context)
        QMetaObject::invokeMethod(m_context, std::move(call), Qt::QueuedConnection);
}

void CSerialTransport::wakeLine()
{
    WorkerLock lock(&m_threadMutex);
    if (!m_context || m_wakePending || m_keepingGap)
        return;
    m_wakePending = true;
    QMetaObject::invokeMethod(m_context, [this] { writeRequests(); }, Qt::QueuedConnection);
}

void CSerialTransport::lineThread()
{
    QSerialPort port;
    port.setPortName(m_portName);
    port.setBaudRate(QSerialPort::Baud9600);
    port.setDataBits(QSerialPort::Data8);
    port.setParity(QSerialPort::NoParity);
    port.setStopBits(QSerialPort::OneStop);
    port.setFlowControl(QSerialPort::NoFlowControl);
    const bool open = port.open(QIODevice::ReadWrite);
    if (open) {
        // RTS and DTR can only be set on an open port; a pseudo-terminal
        // refuses both, which does no harm.
        port.setRequestToSend(true);
        port.setDataTerminalReady(true);
        // Bytes left from an earlier session (the tail of an answer that
        // came after the port was closed) are not an answer to anything
        // asked now.
        port.clear(QSerialPort::Input);
        port.clearError();
    }

    QObject context;
    QEventLoop loop;
    QTimer watch;
    watch.setInterval(WatchIntervalMs);
    m_port = &port;
    m_loop = &loop;
    m_watch = &watch;
    m_rxFrame = QByteArray(FrameSize, '\0');
    m_rxCount = 0;
    connect(&port, &QSerialPort::readyRead, &context, [this] { readAnswers(); });
    connect(&port, &QSerialPort::errorOccurred, &context,
            [this, &context, &port](QSerialPort::SerialPortError error) {
                // The adapter was unplugged, or the far end of a virtual
                // port hung up: reads and writes fail for good. The port is
                // closed once its own signal has returned.
                if (error == QSerialPort::ResourceError || error == QSerialPort::WriteError)
                    QMetaObject::invokeMethod(&context, [this] { portFailed(); },
                                              Qt::QueuedConnection);
                // A read that found nothing: the input the terminal had
                // announced was discarded for a new request meanwhile.
                else if (error == QSerialPort::ReadError)
                    port.clearError();
            });
    connect(&watch, &QTimer::timeout, &context, [this] { lookAtPort(); });
    {
        WorkerLock lock(&m_threadMutex);
        m_open = open;
        m_context = &context;
        m_startTried = true;
        m_started.wakeAll();
    }

    // The terminal tells of input once a whole answer is there, not for
    // every byte (on a 9600-baud line they come a millisecond apart).
    awaitBytes(FrameSize);
    writeRequests(); // what was asked for while the port opened
    loop.exec();

    {
        WorkerLock lock(&m_threadMutex);
        m_context = nullptr;
    }
    closeQueue();
    if (port.isOpen())
        port.close();
    m_port = nullptr;
    m_loop = nullptr;
    m_watch = nullptr;
    WorkerLock last(&m_threadMutex); // hands everything over to the joining thread
}

void CSerialTransport::writeRequests()
{
    {
        WorkerLock lock(&m_threadMutex);
        m_wakePending = false;
    }
    QByteArray frame;
    while (takeRequest(&frame)) {
        bool written = false;
        if (m_port->isOpen()) {
            if (m_line)
                rest(m_line->gapLeftNs());
            discardInput();
            if (m_line)
                m_line->noteRequestSent();
            written = writeFrame(frame);
            m_sinceRequest.start();
        }
        requestDone(written);
        if (written)
            restUntilAnswerDue();
    }
}

// Eight bytes fit the terminal's output buffer: written to the port's
// descriptor they leave now, without the port's write notifier being set up
// and taken down again in the event loop for every request. Anything short
// of the whole frame goes the port's own way.
bool CSerialTransport::writeFrame(const QByteArray &frame)
{
#ifdef Q_OS_UNIX
    if (m_port->bytesToWrite() == 0) {
        const ssize_t n = ::write(static_cast<int>(m_port->handle()), frame.constData(),
                                  size_t(frame.size()));
        if (n == frame.size())
            return true;
        if (n < 0)
            return false;
        return m_port->write(frame.mid(int(n))) == frame.size() - n && m_port->flush();
    }
#endif
    if (m_port->write(frame) != frame.size())
        return false;
    m_port->flush(); // out now, not at the next pass of the loop
    return true;
}

// After a request, while its answer cannot be complete yet (judged by the
// latest answer), the thread rests instead of watching the port. A close
// cuts the rest short.
void CSerialTransport::restUntilAnswerDue()
{
    m_restedPastAnswer = false;
    if (m_answerNs < RestFromNs)
        return;
    rest(m_answerNs + RestPastDueNs - m_sinceRequest.nsecsElapsed());
#ifdef Q_OS_UNIX
    // A whole answer there already: its time is not known, only that it
    // came sooner (read once the loop looks at the port, at once).
    int queued = 0;
    if (::ioctl(static_cast<int>(m_port->handle()), FIONREAD, &queued) == 0)
        m_restedPastAnswer = queued + m_rxCount >= FrameSize;
#endif
}

// Sleeps that long without watching the port; a close cuts it short.
void CSerialTransport::rest(qint64 ns)
{
    if (ns <= 0)
        return;
    WorkerLock lock(&m_threadMutex);
    if (!m_closing)
        lock.wait(&m_rest, ns);
}

// A new request starts on a frame boundary: a partial answer goes, and so
// does input that waits, which no request accounts for.
void CSerialTransport::discardInput()
{
    qint64 waiting = m_port->bytesAvailable();
    bool known = false;
#ifdef Q_OS_UNIX
    int queued = 0;
    if (::ioctl(static_cast<int>(m_port->handle()), FIONREAD, &queued) == 0) {
        waiting += queued;
        known = true;
    }
#endif
    if (waiting > 0 && m_line)
        m_line->noteActivity();
    if (waiting > 0 || !known) {
        m_port->clear(QSerialPort::Input);
        m_port->readAll();
    }
    m_rxCount = 0;
    awaitBytes(FrameSize);
}

void CSerialTransport::readAnswers()
{
    const QByteArray bytes = m_port->readAll();
    if (bytes.isEmpty())
        return;
    if (m_line)
        m_line->noteActivity();
    bool afterFrame = false;
    for (const char byte : bytes) {
        // Bytes that follow a whole answer in the same burst come after it
        // and are judged as such.
        if (afterFrame && m_line)
            m_line->noteActivity();
        afterFrame = false;
        if (pushAnswerByte(m_rxFrame, m_rxCount, byte)) {
            // How long an answer takes: measured when the thread watched for
            // it; after a rest it was there already, so the next rest ends a
            // little sooner.
            if (m_restedPastAnswer)
                m_answerNs = qMax(RestFromNs, m_answerNs - RestSoonerNs);
            else
                m_answerNs = m_sinceRequest.isValid() ? m_sinceRequest.nsecsElapsed() : 0;
            if (m_answerNs > RestUpToNs)
                m_answerNs = 0;
            m_restedPastAnswer = false;
            handAnswer(QByteArray(m_rxFrame.constData(), FrameSize));
            afterFrame = true;
        }
    }
    // A partial answer kept here is completed by fewer bytes.
    awaitBytes(FrameSize - m_rxCount);
    if (afterFrame)
        keepGap();
}

// The terminal tells of input once this many bytes are there (it wakes the
// thread for every byte otherwise). A partial answer that waits in the
// terminal goes with the next request, which looks at its input itself.
void CSerialTransport::awaitBytes(int count)
{
#ifdef Q_OS_UNIX
    if (count == m_awaitedBytes || !m_port->isOpen())
        return;
    termios tio;
    const int fd = static_cast<int>(m_port->handle());
    if (::tcgetattr(fd, &tio) == 0) {
        tio.c_cc[VMIN] = static_cast<cc_t>(count);
        tio.c_cc[VTIME] = 0;
        if (::tcsetattr(fd, TCSANOW, &tio) == 0)
            m_awaitedBytes = count;
    }
#else
    Q_UNUSED(count)
#endif
}

// After an answer the next request comes once the line's gap is over: the
// thread waits for that here and then writes what has come meanwhile, so
// that the request does not wake it (a close cuts the wait short).
void CSerialTransport::keepGap()
{
    const qint64 gapNs = m_line ? m_line->gapLeftNs() : 0;
    if (gapNs <= 0)
        return;
    {
        WorkerLock lock(&m_threadMutex);
        m_keepingGap = true;
        if (!m_closing)
            lock.wait(&m_rest, gapNs);
        m_keepingGap = false;
    }
    writeRequests();
}

// Once a second while the line is idle: a virtual port is a link whose
// target goes with its program; a serial adapter's device node goes when it
// is unplugged.
void CSerialTransport::lookAtPort()
{
    QString path = m_portName;
#ifdef Q_OS_UNIX
    if (!path.startsWith(QLatin1Char('/')))
        path.prepend(QLatin1String("/dev/"));
#endif
    if (!m_port->isOpen() || (path.startsWith(QLatin1Char('/')) && !QFileInfo::exists(path)))
        portFailed();
}

// The port is of no use any more: it is closed at once (a hung-up terminal
// would otherwise keep the loop busy), and the transport reports it.
void CSerialTransport::portFailed()
{
    m_watch->stop();
    if (m_port->isOpen())
        m_port->close();
    {
        WorkerLock lock(&m_threadMutex);
        m_open = false;
    }
    reportGone();
}
