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
#endif

namespace {
constexpr int WatchIntervalMs = 1000;
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
    // Writers waiting learn at once that their requests will not go out.
    closeQueue();
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
    if (!m_context || m_wakePending)
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
            discardInput();
            if (m_line)
                m_line->noteRequestSent();
            written = m_port->write(frame) == frame.size();
            if (written)
                m_port->flush(); // out now, not at the next pass of the loop
        }
        requestDone(written);
    }
}

// A new request starts on a frame boundary: a partial answer goes, and so
// does input that waits, which no request accounts for.
void CSerialTransport::discardInput()
{
    qint64 waiting = m_port->bytesAvailable();
#ifdef Q_OS_UNIX
    int queued = 0;
    if (::ioctl(static_cast<int>(m_port->handle()), FIONREAD, &queued) == 0)
        waiting += queued;
#endif
    if (waiting > 0 && m_line)
        m_line->noteActivity();
    m_port->clear(QSerialPort::Input);
    m_port->readAll();
    m_rxCount = 0;
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
            handAnswer(QByteArray(m_rxFrame.constData(), FrameSize));
            afterFrame = true;
        }
    }
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
