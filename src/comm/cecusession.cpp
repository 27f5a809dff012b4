#include "cecusession.h"

#include "cgestreceive.h"
#include "cgestrt.h"
#include "cgestsend.h"
#include "creadingsrelay.h"
#include "ecucommands.h"
#include "frames.h"

#include <QSettings>

namespace {

bool isTransferCommand(const QString &cmd)
{
    return cmd == EcuCommand::FlashRead || cmd == EcuCommand::FlashWrite
           || cmd == EcuCommand::SaveProfileAndSend;
}

// What the ECU is known to hold of a written image: the values and, on the
// large table, the name's bytes up to the 79th.
QByteArray heldPart(const QByteArray &image)
{
    return image.left(CheckedImageBytes);
}

} // namespace

CEcuSession::CEcuSession(const CHidSource &hid, const CWorkerTimings &timings, QObject *parent)
    : QObject(parent)
{
    qRegisterMetaType<CTransferOutcome>();
    m_link = new CEcuLink(hid, this);

    m_flashBuffer.resize(ecuTable(m_devInfo.hardware).readCount - 1);
    m_gestSend = new CGestSend(&m_flashBuffer, this, timings.transferTimeoutMs,
                               timings.transferRetries);
    m_gestReceive = new CGestReceive(&m_flashBuffer, this, timings.transferTimeoutMs,
                                     timings.transferRetries);
    m_gestRT = new CGestRT(this, timings.linkTimeoutMs, timings.linkRetries);

    // The quiet gaps of the line after an answer: "Line/GapMs" after a read
    // or poll answer, "Line/WriteGapMs" after a write acknowledgement, each
    // 0..50 ms. Read, never written: the defaults need no entry in the store.
    const QSettings settings;
    bool ok = false;
    int gap = settings.value(QStringLiteral("Line/GapMs")).toInt(&ok);
    if (!ok)
        gap = CEcuLine::DefaultGapMs;
    int writeGap = settings.value(QStringLiteral("Line/WriteGapMs")).toInt(&ok);
    if (!ok)
        writeGap = CEcuLine::DefaultWriteGapMs;
    m_link->rules()->setGaps(gap, writeGap);

    // The workers write through the link and keep its rules; every answer
    // reaches them on the line thread, in the order the writer, the reader,
    // the real-time worker: each decides from its own state whether it waits
    // for it.
    m_gestSend->setLine(m_link->rules());
    m_gestReceive->setLine(m_link->rules());
    m_gestRT->setLine(m_link->rules());
    m_gestSend->setWriter(m_link);
    m_gestReceive->setWriter(m_link);
    m_gestRT->setWriter(m_link);
    m_link->setAnswerHandler([this](const QByteArray &frame) {
        m_gestSend->setReply(frame);
        m_gestReceive->setReply(frame);
        m_gestRT->setReply(frame);
    });
    connect(m_link, &CEcuLink::portGone, this, &CEcuSession::onPortGone);
    m_gestRT->setNotSentHandler([this](const QByteArray &) {
        QMetaObject::invokeMethod(this, &CEcuSession::onCommandNotSent, Qt::QueuedConnection);
    });

    m_relay = new CReadingsRelay(m_gestRT, this);
    connect(m_relay, &CReadingsRelay::readingsPublished, this, &CEcuSession::readingsPublished);
    connect(m_relay, &CReadingsRelay::liveSample, this, &CEcuSession::liveSample);
}

CEcuSession::~CEcuSession()
{
    // No answer reaches the workers any more, and their writes return at
    // once; each worker stops and joins its thread; then every device
    // closes on its own thread.
    m_link->setAnswerHandler(nullptr);
    m_link->endConnection();
    delete m_gestSend;
    delete m_gestReceive;
    delete m_gestRT;
    delete m_link;
    m_link = nullptr;
}

// The connection is the transport the link uses for it.
bool CEcuSession::isConnected() const
{
    return !m_link->portName().isEmpty();
}

QString CEcuSession::portName() const
{
    return m_link->portName();
}

bool CEcuSession::variantFixed() const
{
    return m_variantFixed;
}

bool CEcuSession::mayStartCommand() const
{
    return m_state == State::Disconnected || m_state == State::Idle;
}

bool CEcuSession::mayUseEcu() const
{
    return isConnected() && !transferBusy() && m_state != State::SwitchingOff;
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
    m_state = state;
    follow();
    emit stateChanged();
}

// What follows the state: the readings' pace, and the look at an idle port.
void CEcuSession::follow()
{
    m_relay->follow(polling(), isConnected());
    m_link->setWatching(m_state == State::Idle && !m_linkOn);
}

void CEcuSession::connectTo(const QString &portName)
{
    if (m_state == State::SwitchingOff || m_state == State::Ended)
        return;
    m_link->connectTo(portName);
    m_linkOn = false;
    m_benchOn = false;
    m_command.clear();
    setState(State::Idle);
}

void CEcuSession::searchFailed()
{
    // No ECU is in use: a port the search left open (a port found, then the
    // placeholder chosen) is not kept open behind the user's back.
    m_link->closePort();
    setState(m_state);
}

// Everything of the connection stops: the workers drop what they hold, the
// line drops what it has not written and closes the serial port.
void CEcuSession::teardown(State next)
{
    m_gestRT->abort(); // stops polling and drops queued and held-back commands
    m_gestSend->abort();
    m_gestReceive->abort();
    m_link->endConnection();
    m_linkOn = false;
    // The ECU is left as it is: no frame switches its test bench off.
    m_benchOn = false;
    m_command.clear();
    m_variantFixed = false; // the variant can be chosen by hand again
    setState(next);
}

void CEcuSession::endConnection()
{
    if (m_state == State::Ended)
        return;
    const bool exiting = m_state == State::SwitchingOff;
    const bool transfer = transferRunning();
    const bool reading = m_state == State::Reading;
    teardown(exiting ? State::Ended : State::Disconnected);
    emit connectionEnded();
    if (transfer) {
        // The transfer cut short fails, and says so once, after the end of
        // its connection has been taken in.
        CTransferOutcome outcome;
        outcome.kind = reading ? CTransferOutcome::ReadFailed : CTransferOutcome::WriteFailed;
        outcome.connectionLost = true;
        QMetaObject::invokeMethod(this, [this, outcome] { emit transferEnded(outcome); },
                                  Qt::QueuedConnection);
    }
    if (exiting)
        emit exitReady(false);
}

bool CEcuSession::linkFailed()
{
    // A report from a connection that has already ended (the worker may have
    // sent it just before it was stopped) ends nothing.
    if (!isConnected())
        return false;
    endConnection();
    return true;
}

void CEcuSession::setDevInfo(const CDevInfo &info)
{
    m_devInfo = info;
    m_variantFixed = info.cylinders == 2 || info.cylinders == 4;
    setState(m_state);
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
    setState(m_state);
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
    setState(m_state);
    return true;
}

bool CEcuSession::switchBenchOffForExit()
{
    if (!m_benchOn || !mayUseEcu() || !mayStartCommand())
        return false;
    m_exitLostAcks = m_gestRT->lostAcknowledgements();
    m_exitUnsent = 0;
    // The switch-off is queued first: the worker hands the command back
    // only once its frames have been written and answered or timed out.
    toggleBench();
    m_command = EcuCommand::BenchOffForExit;
    setState(State::SwitchingOff);
    m_gestRT->requestCommand(m_command);
    return true;
}

void CEcuSession::finishExit(bool acknowledged)
{
    teardown(State::Ended);
    emit exitReady(acknowledged);
}

void CEcuSession::setBenchOn(bool on)
{
    if (on == m_benchOn)
        return;
    m_benchOn = on;
    setState(m_state);
}

void CEcuSession::queueK(int k)
{
    if (isConnected() && m_state != State::SwitchingOff)
        m_gestRT->queueKIniezione(static_cast<quint8>(k), hardware());
}

void CEcuSession::onCommandNotSent()
{
    if (m_state == State::SwitchingOff)
        ++m_exitUnsent;
    if (isConnected())
        emit commandNotSent();
}

bool CEcuSession::requestCommand(const QString &cmd)
{
    // One command at a time: none replaces another.
    if (!mayStartCommand() || (isTransferCommand(cmd) && !isConnected()))
        return false;
    m_command = cmd;
    setState(State::CommandPending);
    m_gestRT->requestCommand(cmd);
    return true;
}

bool CEcuSession::requestWrite(const QByteArray &image)
{
    if (!mayStartCommand() || !isConnected())
        return false;
    m_flashBuffer = image;
    return requestCommand(EcuCommand::FlashWrite);
}

bool CEcuSession::takeCommand(const QString &cmd)
{
    if (m_state == State::SwitchingOff && cmd == m_command) {
        // The switch-off has gone out: the program may end.
        finishExit(m_exitUnsent == 0
                   && m_gestRT->lostAcknowledgements() == m_exitLostAcks);
        return false;
    }
    // A name handed back for a command the session no longer waits for (the
    // connection ended meanwhile) starts nothing.
    if (m_state != State::CommandPending || cmd != m_command)
        return false;
    setState(State::Command);
    return true;
}

bool CEcuSession::startRead()
{
    if (m_state != State::Command || m_command != EcuCommand::FlashRead)
        return false;
    setState(State::Reading);
    m_gestReceive->startReceive(0, hardware());
    return true;
}

bool CEcuSession::startWrite()
{
    if (m_state != State::Command || m_command != EcuCommand::FlashWrite)
        return false;
    m_writtenImage = m_flashBuffer;
    // "Line/VerifyWrites" (read, never written; on when missing): read the
    // written addresses back before the write counts as done.
    m_checkWrites = m_writeCheck == WriteCheck::AsSettings
        ? QSettings().value(QStringLiteral("Line/VerifyWrites"), true).toBool()
        : m_writeCheck == WriteCheck::Always;
    setState(State::Writing);
    m_gestSend->startSend(0);
    return true;
}

void CEcuSession::endCommand(bool resume)
{
    if (m_state != State::Command)
        return; // the connection ended meanwhile: nothing to resume
    m_command.clear();
    // A file command may run with no ECU at all.
    setState(isConnected() ? State::Idle : State::Disconnected);
    if (resume)
        resumeLink();
}

void CEcuSession::resumeLink()
{
    if (polling())
        m_gestRT->startLink();
}

void CEcuSession::finish(CTransferOutcome::Kind kind)
{
    CTransferOutcome outcome;
    outcome.kind = kind;
    outcome.image = kind == CTransferOutcome::ReadDone ? m_flashBuffer : m_writtenImage;
    outcome.checked = kind != CTransferOutcome::ReadDone && m_checkWrites;
    if (kind == CTransferOutcome::WriteDiffers)
        outcome.readBack = m_flashBuffer;
    m_command.clear();
    setState(State::Idle);
    resumeLink();
    emit transferEnded(outcome);
}

void CEcuSession::transferResult(const QString &result)
{
    const bool ok = result.startsWith(QLatin1String("OK"));
    const bool ko = result.startsWith(QLatin1String("KO"));
    // A report of a transfer that the end of its connection cut short (or
    // that ended just before) was told then.
    if ((!ok && !ko) || !transferRunning())
        return;

    const bool reading = m_state == State::Reading;
    if (ko) {
        // The line failed: the connection ends, as after a link failure.
        teardown(State::Disconnected);
        emit connectionEnded();
        CTransferOutcome outcome;
        outcome.kind = reading ? CTransferOutcome::ReadFailed : CTransferOutcome::WriteFailed;
        emit transferEnded(outcome);
        return;
    }
    if (reading) {
        finish(CTransferOutcome::ReadDone);
        return;
    }
    if (m_state == State::Writing) {
        if (!m_checkWrites) {
            finish(CTransferOutcome::WriteDone);
            return;
        }
        // Every byte acknowledged: now read them back. The read reports
        // through here too.
        setState(State::Verifying);
        m_gestReceive->startReceive(0, hardware());
        return;
    }
    // The check: every byte the ECU holds of the image must come back as it
    // was sent.
    const QByteArray sent = heldPart(m_writtenImage);
    const bool same = m_flashBuffer.left(sent.size()) == sent;
    finish(same ? CTransferOutcome::WriteDone : CTransferOutcome::WriteDiffers);
}

int CEcuSession::overallPercent(int percent) const
{
    // A checked write fills the bar once over both halves.
    if (!m_checkWrites || (m_state != State::Writing && m_state != State::Verifying))
        return percent;
    const int phase = m_state == State::Verifying ? 1 : 0;
    return (phase * 100 + qBound(0, percent, 100)) / 2;
}

void CEcuSession::sendFrame(const QByteArray &frame)
{
    m_link->post(frame);
}

// The port or the device is gone: the connection ends like after a link
// failure. A running transfer reports its own failure.
void CEcuSession::onPortGone()
{
    if (!isConnected())
        return;
    if (transferRunning() || m_state == State::SwitchingOff)
        endConnection();
    else
        emit linkError(QStringLiteral("KO"));
}
