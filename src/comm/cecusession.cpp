#include "cecusession.h"

#include "cgestreceive.h"
#include "cgestrt.h"
#include "cgestsend.h"
#include "chidtransport.h"
#include "cserialpump.h"
#include "workerlock.h"
#include "ecucommands.h"
#include "frames.h"

#include <QFileInfo>
#include <QSocketNotifier>
#ifdef Q_OS_UNIX
#include <termios.h>
#include <unistd.h>
#endif
#include <QSettings>
#include <cstdio>

namespace {

const QLatin1String HidRoute("HID");

bool isTransferCommand(const QString &cmd)
{
    return cmd == EcuCommand::FlashRead || cmd == EcuCommand::FlashWrite
           || cmd == EcuCommand::SaveProfileAndSend;
}

} // namespace

CEcuSession::CEcuSession(hid_device *hidDevice, const CWorkerTimings &timings, QObject *parent)
    : QObject(parent), m_serialAnswerMinNs(timings.serialAnswerMinNs), m_hidDevice(hidDevice)
{
    // The one owner of the HID device from here on.
    if (m_hidDevice)
        m_hidTransport = new CHidTransport(m_hidDevice, this);

    // The ECU's serial line: 9600 baud, 8 data bits, no parity, one stop bit,
    // no flow control. The port search names and opens it.
    m_port = new QSerialPort;
    m_port->setBaudRate(QSerialPort::Baud9600);
    m_port->setDataBits(QSerialPort::Data8);
    m_port->setParity(QSerialPort::NoParity);
    m_port->setStopBits(QSerialPort::OneStop);
    m_port->setFlowControl(QSerialPort::NoFlowControl);

    m_flashBuffer.resize(ecuTable(m_devInfo.hardware).readCount - 1);
    m_gestSend = new CGestSend(&m_flashBuffer, this, timings.transferTimeoutMs,
                               timings.transferRetries);
    m_gestReceive = new CGestReceive(&m_flashBuffer, this, timings.transferTimeoutMs,
                                     timings.transferRetries);
    m_gestRT = new CGestRT(this, timings.linkTimeoutMs, timings.linkRetries);
    applyLineSettings();
    m_gestSend->setLine(&m_line);
    m_gestReceive->setLine(&m_line);
    m_gestRT->setLine(&m_line);

    m_rxFrame.resize(FrameSize);

    connect(m_port, &QSerialPort::errorOccurred, this, &CEcuSession::onPortError);
    if (m_hidTransport)
        connect(m_hidTransport, &CHidTransport::sgnGone, this, &CEcuSession::portGone);
    // An idle line says nothing when its port goes away: while connected with
    // the link off, the session looks once a second.
    m_presence.setInterval(1000);
    connect(&m_presence, &QTimer::timeout, this, &CEcuSession::checkPresence);
    connect(this, &CEcuSession::stateChanged, this, &CEcuSession::watchPresence);
    connect(this, &CEcuSession::stateChanged, this, &CEcuSession::wakeForWholeFrames);
    // The four values of one poll answer are published together and in this
    // order, by the real-time worker's thread: they are gathered there (only
    // that thread touches m_pollSample) and the last one hands the whole
    // sample over.
    qRegisterMetaType<CLiveSample>();
    m_clock.start();
    connect(m_gestRT, &CGestRT::sgnRpm, this, [this](int rpm) {
        m_pollSample = CLiveSample();
        m_pollSample.ms = m_clock.elapsed();
        m_pollSample.rpm = rpm;
    }, Qt::DirectConnection);
    connect(m_gestRT, &CGestRT::sgnADC, this, [this](uchar adc) { m_pollSample.adc = adc; },
            Qt::DirectConnection);
    connect(m_gestRT, &CGestRT::sgnIdxCella, this,
            [this](uchar index) { m_pollSample.cellIndex = index; }, Qt::DirectConnection);
    // While the link polls, the samples wait in m_samples and the delivery
    // timer hands them over at the display's pace, those of about three polls
    // in one wake-up of the window's thread; otherwise (the zeros of a link
    // that stops) one queued call hands over what waits. The worker adds
    // first and then asks whether the timer runs; the window's thread stops
    // the timer first and then hands over: no sample is left behind.
    connect(m_gestRT, &CGestRT::sgnValCella, this, [this](uchar value) {
        m_pollSample.cellValue = static_cast<qint8>(value);
        // Values published after the link was switched off are its zeros.
        const Published published{m_pollSample, m_gestRT->linkOn()};
        bool first = false;
        {
            WorkerLock lock(&m_samplesMutex);
            first = m_samples.isEmpty();
            m_samples.append(published);
        }
        if (first && !m_collecting)
            QMetaObject::invokeMethod(this, &CEcuSession::deliverSamples, Qt::QueuedConnection);
    }, Qt::DirectConnection);
    m_delivery.setInterval(SampleDeliveryMs);
    connect(&m_delivery, &QTimer::timeout, this, &CEcuSession::deliverSamples);
    connect(this, &CEcuSession::stateChanged, this, &CEcuSession::collectSamples);

    // While the link polls on the serial route, its requests and answers
    // skip the window's thread (see CSerialPump); the answers go to the
    // workers only: nothing else waits for one while the link polls.
    m_pump = new CSerialPump(&m_line, [this](const QByteArray &frame) {
        m_gestSend->setReply(frame);
        m_gestReceive->setReply(frame);
        m_gestRT->setReply(frame);
    });
    connect(m_pump, &CSerialPump::sgnGone, this, &CEcuSession::portGone, Qt::QueuedConnection);
    m_gestRT->setDirectSend([this](const QByteArray &frame) { return m_pump->send(frame); });
    if (m_hidTransport)
        connect(m_hidTransport, &CHidTransport::sgnAnswer, this, &CEcuSession::onHidAnswer);
}

CEcuSession::~CEcuSession()
{
    // The HID thread ends first (its read is bounded), then the device goes.
    delete m_hidTransport;
    m_hidTransport = nullptr;
    closePort();
    if (m_hidDevice)
        hid_close(m_hidDevice);
    hid_exit();
    delete m_port;
    m_port = nullptr;
    delete m_gestSend; // each worker stops and joins its thread
    delete m_gestReceive;
    delete m_gestRT;
    delete m_pump; // after the worker that sends through it
}

// The quiet gaps of the line after an answer: "Line/GapMs" after a read or
// poll answer, "Line/WriteGapMs" after a write acknowledgement, each 0..50 ms.
// Read, never written: the defaults need no entry in the store.
void CEcuSession::applyLineSettings()
{
    const QSettings settings;
    bool ok = false;
    int gap = settings.value(QStringLiteral("Line/GapMs")).toInt(&ok);
    if (!ok)
        gap = CEcuLine::DefaultGapMs;
    int writeGap = settings.value(QStringLiteral("Line/WriteGapMs")).toInt(&ok);
    if (!ok)
        writeGap = CEcuLine::DefaultWriteGapMs;
    m_line.setGaps(gap, writeGap);
}

bool CEcuSession::mayStartCommand() const
{
    return m_state == State::Disconnected || m_state == State::Idle;
}

bool CEcuSession::mayUseEcu() const
{
    return m_connected && !transferBusy();
}

bool CEcuSession::transferRunning() const
{
    return m_state == State::Reading || m_state == State::Writing || m_state == State::Verifying;
}

bool CEcuSession::transferBusy() const
{
    if (transferRunning())
        return true;
    return (m_state == State::CommandPending || m_state == State::Command)
           && isTransferCommand(m_command);
}

bool CEcuSession::writeBusy() const
{
    if (m_state == State::Writing || m_state == State::Verifying)
        return true;
    return (m_state == State::CommandPending || m_state == State::Command)
           && m_command == EcuCommand::FlashWrite;
}

bool CEcuSession::acceptsReadings() const
{
    return mayUseEcu();
}

void CEcuSession::setState(State state)
{
    if (state == m_state)
        return;
    m_state = state;
    emit stateChanged();
}

void CEcuSession::changed()
{
    emit stateChanged();
}

void CEcuSession::connectTo(const QString &portName)
{
    m_connected = true;
    m_portName = portName;
    m_linkOn = false;
    m_benchOn = false;
    m_aborted = Aborted::None;
    m_rxCount = 0; // the port has just been opened: start on a frame boundary
    m_line.reset();
    // USB reports are not paced by the serial line's baud rate.
    m_line.setMinAnswerNs(portName == HidRoute ? 0 : m_serialAnswerMinNs);
    m_state = State::Idle;
    changed();
}

void CEcuSession::searchFailed()
{
    m_connected = false;
    if (!m_portName.isNull())
        m_portName = QString();
    // No ECU is in use: a port the search left open (a port found, then the
    // placeholder chosen) is not kept open behind the user's back.
    closePort();
    changed();
}

void CEcuSession::endConnection()
{
    if (transferRunning())
        m_aborted = m_state == State::Reading ? Aborted::Read : Aborted::Write;
    m_gestRT->abort(); // stops polling and drops queued and held-back commands
    m_gestSend->abort();
    m_gestReceive->abort();
    if (m_hidTransport)
        m_hidTransport->abort();

    m_linkOn = false;
    // The ECU is left as it is: no frame switches its test bench off.
    m_benchOn = false;
    m_variantFixed = false; // the variant can be chosen by hand again
    closePort();
    m_connected = false;
    // The next search starts on no route at all: not HID, not a stale port.
    m_portName = QString();
    m_command.clear();
    m_state = State::Disconnected;
    changed();
    emit connectionEnded();
}

bool CEcuSession::linkFailed()
{
    // A report from a connection that has already ended (the worker may have
    // sent it just before it was stopped) ends nothing.
    if (!m_connected)
        return false;
    endConnection();
    return true;
}

void CEcuSession::setDevInfo(const CDevInfo &info)
{
    m_devInfo = info;
    m_variantFixed = info.cylinders == 2 || info.cylinders == 4;
    changed();
}

bool CEcuSession::toggleLink()
{
    // A start or a stop would drop a command waiting for the line.
    if (m_state != State::Idle)
        return false;
    m_linkOn = !m_linkOn;
    if (m_linkOn)
        m_gestRT->startLink();
    else
        m_gestRT->stopLink();
    changed();
    return true;
}

bool CEcuSession::toggleBench()
{
    if (!mayUseEcu())
        return false;
    if (m_benchOn)
        m_gestRT->queueBancoOff(hardware());
    else
        m_gestRT->queueBancoOn(hardware());
    m_benchOn = !m_benchOn;
    changed();
    return true;
}

bool CEcuSession::switchBenchOffForExit()
{
    if (!m_connected || !m_benchOn || !mayUseEcu())
        return false;
    m_lostAcksBeforeBenchOff = m_gestRT->lostAcknowledgements();
    // The switch-off is queued first: the worker hands the command back
    // only once its frames have been sent and answered or timed out.
    toggleBench();
    return requestCommand(EcuCommand::BenchOffForExit);
}

bool CEcuSession::benchOffAcknowledged()
{
    return m_connected && m_lostAcksBeforeBenchOff >= 0
           && m_gestRT->lostAcknowledgements() == m_lostAcksBeforeBenchOff;
}

void CEcuSession::setBenchOn(bool on)
{
    if (on == m_benchOn)
        return;
    m_benchOn = on;
    changed();
}

void CEcuSession::queueK(int k)
{
    if (m_connected)
        m_gestRT->queueKIniezione(static_cast<quint8>(k), hardware());
}

bool CEcuSession::requestCommand(const QString &cmd)
{
    // One command at a time: none replaces another.
    if (!mayStartCommand() || (isTransferCommand(cmd) && !m_connected))
        return false;
    m_command = cmd;
    setState(State::CommandPending);
    m_gestRT->requestCommand(cmd);
    return true;
}

bool CEcuSession::requestWrite(const QByteArray &image)
{
    if (!mayStartCommand() || !m_connected)
        return false;
    m_flashBuffer = image;
    return requestCommand(EcuCommand::FlashWrite);
}

bool CEcuSession::takeCommand(const QString &cmd)
{
    // A name handed back for a command the session no longer waits for (the
    // connection ended meanwhile) starts nothing.
    if (m_state != State::CommandPending || cmd != m_command)
        return false;
    setState(State::Command);
    return true;
}

bool CEcuSession::startRead()
{
    if (m_state != State::Command || !m_connected || m_command != EcuCommand::FlashRead)
        return false;
    m_aborted = Aborted::None;
    setState(State::Reading);
    m_gestReceive->startReceive(0, hardware());
    return true;
}

bool CEcuSession::startWrite()
{
    if (m_state != State::Command || !m_connected || m_command != EcuCommand::FlashWrite)
        return false;
    m_aborted = Aborted::None;
    m_writtenImage = m_flashBuffer;
    // "Line/VerifyWrites" (read, never written; on when missing): read the
    // written addresses back before the write counts as done.
    m_checkWrites = QSettings().value(QStringLiteral("Line/VerifyWrites"), true).toBool();
    setState(State::Writing);
    m_gestSend->startSend(0);
    return true;
}

void CEcuSession::endCommand(bool resume)
{
    if (m_state != State::Command)
        return; // the connection ended meanwhile: nothing to resume
    m_command.clear();
    setState(m_connected ? State::Idle : State::Disconnected);
    if (resume)
        resumeLink();
}

void CEcuSession::resumeLink()
{
    if (m_connected && m_linkOn)
        m_gestRT->startLink();
}

CTransferOutcome CEcuSession::finish(CTransferOutcome::Kind kind)
{
    CTransferOutcome outcome;
    outcome.kind = kind;
    outcome.image = kind == CTransferOutcome::ReadDone ? m_flashBuffer : m_writtenImage;
    if (kind == CTransferOutcome::WriteDiffers)
        outcome.readBack = m_flashBuffer;
    m_command.clear();
    setState(State::Idle);
    resumeLink();
    return outcome;
}

CTransferOutcome CEcuSession::transferResult(const QString &result)
{
    const bool ok = result.startsWith(QLatin1String("OK"));
    const bool ko = result.startsWith(QLatin1String("KO"));
    if (!ok && !ko)
        return CTransferOutcome();

    if (!transferRunning()) {
        // The report of a transfer that the end of its connection cut short
        // (or that ended just before): it failed, and says so once.
        if (m_aborted == Aborted::None)
            return CTransferOutcome();
        CTransferOutcome outcome;
        outcome.kind = m_aborted == Aborted::Read ? CTransferOutcome::ReadFailed
                                                  : CTransferOutcome::WriteFailed;
        outcome.connectionLost = true;
        m_aborted = Aborted::None;
        return outcome;
    }

    const bool reading = m_state == State::Reading;
    if (ko) {
        // The line failed: the connection ends, as after a link failure.
        endConnection();
        m_aborted = Aborted::None;
        CTransferOutcome outcome;
        outcome.kind = reading ? CTransferOutcome::ReadFailed : CTransferOutcome::WriteFailed;
        return outcome;
    }
    if (reading)
        return finish(CTransferOutcome::ReadDone);
    if (m_state == State::Writing) {
        if (!m_checkWrites)
            return finish(CTransferOutcome::WriteDone);
        // Every byte acknowledged: now read them back. The read reports
        // through here too.
        setState(State::Verifying);
        m_gestReceive->startReceive(0, hardware());
        return CTransferOutcome();
    }
    // The check: every written byte must come back as it was sent.
    const bool same = m_flashBuffer.size() >= m_writtenImage.size()
                      && m_flashBuffer.left(m_writtenImage.size()) == m_writtenImage;
    return finish(same ? CTransferOutcome::WriteDone : CTransferOutcome::WriteDiffers);
}

int CEcuSession::overallPercent(int percent) const
{
    // A checked write fills the bar once over both halves.
    if (!m_checkWrites || (m_state != State::Writing && m_state != State::Verifying))
        return percent;
    const int phase = m_state == State::Verifying ? 1 : 0;
    return (phase * 100 + qBound(0, percent, 100)) / 2;
}

void CEcuSession::sendFrame(const QByteArray &frame, const QObject *sender)
{
    // Nothing a worker sends after its connection has ended reaches the line.
    if (!m_connected && sender
        && (sender == m_gestSend || sender == m_gestReceive || sender == m_gestRT))
        return;

    if (m_portName == HidRoute) {
        // The exchange runs on the HID thread; the answer comes back through
        // onHidAnswer.
        if (m_hidTransport) {
            m_line.noteRequestSent();
            m_hidTransport->send(frame);
        } else {
            std::printf("OnSendSerialData: bytes written=%d\n", -1);
            std::printf("OnSendSerialData: Unable to read()\n");
            std::fflush(stdout);
        }
        return;
    }

    if (!m_port->isOpen())
        return;
    // While the link polls, the pump owns the port's input (a frame sent
    // just before it took over comes this way).
    if (m_pumping && m_pump->post(frame))
        return;
    // A new request discards a partial answer and whatever is waiting, so a
    // lost or surplus byte cannot leave the assembly misaligned for the
    // requests that follow.
    if (m_port->bytesAvailable() > 0)
        m_port->readAll();
    // While the port wakes only for whole frames, a partial answer waits in
    // the system's buffer: it goes too.
    if (m_wholeFrames)
        m_port->clear(QSerialPort::Input);
    m_rxCount = 0;
    m_line.noteRequestSent();
#ifdef Q_OS_UNIX
    // Eight bytes fit the terminal's output buffer: written straight to the
    // port they leave now, and the port's write notifier does not wake the
    // window once more for every request. Anything short of the whole frame
    // goes the port's own way.
    if (m_port->bytesToWrite() == 0) {
        const int fd = static_cast<int>(m_port->handle());
        const ssize_t written = fd >= 0 ? ::write(fd, frame.constData(), size_t(frame.size())) : -1;
        if (written == frame.size())
            return;
        if (written > 0) {
            m_port->write(frame.mid(int(written)));
            m_port->flush();
            return;
        }
    }
#endif
    m_port->write(frame);
    m_port->flush(); // out now, not at the next pass of the event loop
}

// While the link polls, the serial port wakes the window once a whole answer
// has arrived instead of for every byte (on a 9600-baud line the bytes come
// one a millisecond): the terminal's minimum read count is a frame. During
// transfers and the port search every byte counts at once again, so that
// input the line cannot vouch for is seen when it arrives.
void CEcuSession::wakeForWholeFrames()
{
    const bool whole = m_connected && m_linkOn && m_state == State::Idle
                       && m_portName != HidRoute && m_port->isOpen();
    if (whole == m_wholeFrames)
        return;
    if (!whole)
        stopPump();
    m_wholeFrames = whole;
#ifdef Q_OS_UNIX
    termios tio;
    const int fd = static_cast<int>(m_port->handle());
    if (fd >= 0 && ::tcgetattr(fd, &tio) == 0) {
        tio.c_cc[VMIN] = whole ? FrameSize : 0;
        tio.c_cc[VTIME] = 0;
        (void)::tcsetattr(fd, TCSANOW, &tio);
    }
#endif
    if (whole)
        startPump();
}

// The pump gives the port back before it closes.
void CEcuSession::closePort()
{
    stopPump();
    if (m_port->isOpen())
        m_port->close();
}

// The pump takes the port's input over: the port's own read notifier is
// switched off, so the window's thread neither watches nor reads the port
// until the pump gives it back.
void CEcuSession::startPump()
{
#ifdef Q_OS_UNIX
    if (m_pumping)
        return;
    m_readNotifier = nullptr;
    const auto notifiers = m_port->findChildren<QSocketNotifier *>();
    for (QSocketNotifier *n : notifiers)
        if (n->type() == QSocketNotifier::Read && n->isEnabled())
            m_readNotifier = n;
    if (!m_readNotifier)
        return; // the port stays the window's
    // Whatever the port has read already is taken first.
    if (m_port->bytesAvailable() > 0)
        readSerial();
    // A request and its answer are on the wire before the answer is whole.
    m_pump->setAnswerDueNs(2 * m_serialAnswerMinNs);
    if (!m_pump->begin(static_cast<int>(m_port->handle())))
        return;
    m_readNotifier->setEnabled(false);
    m_pumping = true;
#endif
}

void CEcuSession::stopPump()
{
    if (!m_pumping)
        return;
    m_pump->end();
    m_pumping = false;
    m_rxCount = 0; // the pump's partial answer went with it
    if (m_readNotifier)
        m_readNotifier->setEnabled(true);
}

// The readings of a polling link are handed over at the display's pace.
void CEcuSession::collectSamples()
{
    const bool collect = polling();
    if (collect == m_collecting)
        return;
    m_collecting = collect;
    if (collect) {
        m_delivery.start();
    } else {
        m_delivery.stop();
        deliverSamples();
    }
}

void CEcuSession::deliverSamples()
{
    QVector<Published> samples;
    {
        WorkerLock lock(&m_samplesMutex);
        samples.swap(m_samples);
    }
    for (const Published &p : qAsConst(samples)) {
        emit readingsPublished(p.sample.rpm, static_cast<uchar>(p.sample.adc));
        if (p.live && m_connected)
            emit liveSample(p.sample);
    }
}

void CEcuSession::readSerial()
{
    // While the link polls, the pump owns the port's input.
    if (m_pumping)
        return;
    if (m_port->bytesAvailable() > 0)
        m_line.noteActivity();
    while (m_port->bytesAvailable() > 0) {
        char byte = 0;
        if (!m_port->getChar(&byte))
            break;
        if (pushAnswerByte(m_rxFrame, m_rxCount, byte)) {
            const QByteArray frame(m_rxFrame.constData(), FrameSize);
            m_line.noteAnswer(frame);
            handAnswer(frame);
        }
    }
}

void CEcuSession::onHidAnswer(const QByteArray &frame)
{
    m_line.noteAnswer(frame);
    m_rxFrame = frame;
    m_rxFrame.resize(FrameSize);
    handAnswer(m_rxFrame);
}

// Every complete answer goes to every consumer, in the order the port
// search, the writer, the reader, the real-time worker; each decides from its
// own state whether it waits for it.
void CEcuSession::handAnswer(const QByteArray &frame)
{
    emit answerReceived(frame);
    m_gestSend->setReply(frame);
    m_gestReceive->setReply(frame);
    m_gestRT->setReply(frame);
}

void CEcuSession::onPortError(QSerialPort::SerialPortError error)
{
    // The port went away under a connection: the adapter was unplugged, or
    // the far end of a virtual port hung up (then reads fail).
    if ((error != QSerialPort::ResourceError && error != QSerialPort::ReadError) || !m_connected
        || m_portName == HidRoute)
        return;
    portGone();
}

// The port or the device is gone: the connection ends like after a link
// failure. A running transfer reports its own failure.
void CEcuSession::portGone()
{
    if (!m_connected)
        return;
    if (transferRunning())
        endConnection();
    else
        emit linkError(QStringLiteral("KO"));
}

void CEcuSession::watchPresence()
{
    const bool idle = m_connected && !m_linkOn && m_state == State::Idle;
    if (idle && !m_presence.isActive())
        m_presence.start();
    else if (!idle)
        m_presence.stop();
}

void CEcuSession::checkPresence()
{
    if (m_portName == HidRoute) {
        if (m_hidTransport)
            m_hidTransport->checkPresence();
        return;
    }
    // A virtual port is a link whose target goes with its program; a serial
    // adapter's device node goes when it is unplugged.
    QString path = m_portName;
#ifdef Q_OS_UNIX
    if (!path.startsWith(QLatin1Char('/')))
        path.prepend(QLatin1String("/dev/"));
#endif
    if ((path.startsWith(QLatin1Char('/')) && !QFileInfo::exists(path)) || !m_port->isOpen())
        portGone();
}
