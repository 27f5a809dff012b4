#include "cli/cliconnection.h"

#include "cli/cli.h"
#include "cli/clioutput.h"
#include "cli/ecuprobe.h"
#include "cli/ports.h"
#include "cli/terminal.h"
#include "comm/cgestreceive.h"
#include "comm/cgestrt.h"
#include "comm/cgestsend.h"
#include "portsearch/virtualports.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>

#include <hidapi/hidapi.h>

namespace {

// The HID device is opened only when it is the port asked for: a serial
// connection leaves an attached USB ECU to the window.
CHidSource hidSourceFor(const QString &port)
{
    if (port != QLatin1String(EcuSearch::HidPortName))
        return CHidSource();
    return CHidSource{QLatin1String(EcuSearch::HidPortName), [] {
                          return hid_open(EcuSearch::EcuVendorId, EcuSearch::EcuProductId,
                                          nullptr);
                      }};
}

QString shownPort(const QString &port)
{
    return QDir::toNativeSeparators(portDisplayName(port));
}

} // namespace

QString firmwareText(const CDevInfo &info)
{
    return QStringLiteral("%1.%2-R%3")
        .arg(QChar::fromLatin1(info.versionMajor), QChar::fromLatin1(info.versionMinor),
             QChar::fromLatin1(info.revision));
}

QJsonObject ecuJson(const CDevInfo &info, bool reported)
{
    return QJsonObject{{QStringLiteral("hardware"), info.hardware},
                       {QStringLiteral("cylinders"), info.cylinders},
                       {QStringLiteral("firmware"), firmwareText(info)},
                       {QStringLiteral("reported"), reported}};
}

CCliConnection::CCliConnection(CEcuJob &job, QObject *parent)
    : QObject(parent)
    , m_job(job)
{
    m_session = new CEcuSession(hidSourceFor(job.port), CWorkerTimings(), this);
    m_sequencer = new CEcuSequencer(m_session, this, this, this);
    m_probe = new CEcuProbe(m_session->link(), this);

    // Wired as the window wires them: the workers' outcomes go to the
    // session, the commands handed back to the sequencer, the link's
    // failures end the connection.
    connect(m_session->gestSend(), &CGestSend::sgnEsito, m_session, &CEcuSession::transferResult);
    connect(m_session->gestReceive(), &CGestReceive::sgnEsito, m_session,
            &CEcuSession::transferResult);
    connect(m_session->gestRT(), &CGestRT::sgnExecCmd, m_sequencer, &CEcuSequencer::execCmd);
    connect(m_session->gestRT(), &CGestRT::sgnError, this, &CCliConnection::onLinkError);
    connect(m_session, &CEcuSession::linkError, this, &CCliConnection::onLinkError);
    connect(m_session->gestSend(), &CGestSend::sgnPercent, this,
            [this](int percent) { onPercent(percent, true); });
    connect(m_session->gestReceive(), &CGestReceive::sgnPercent, this,
            [this](int percent) { onPercent(percent, false); });
    connect(m_sequencer, &CEcuSequencer::transferShown, this, &CCliConnection::onTransferShown);
    connect(m_sequencer, &CEcuSequencer::backupKept, this,
            [this](const QString &path) { m_backupPath = path; });
    connect(m_sequencer, &CEcuSequencer::backupFailed, this,
            [this](const QString &path, const QString &error) {
                m_backupError = CCli::tr("impossibile salvare la copia di sicurezza %1: %2")
                                    .arg(QDir::toNativeSeparators(path), error);
            });
    connect(m_session, &CEcuSession::commandNotSent, this, [this] {
        m_job.out.note(CCli::tr("Comando non inviato alla centralina: la linea non lo ha "
                                "trasmesso."));
    });
}

CCliConnection::~CCliConnection()
{
    end();
    // The session goes first: its workers and line threads stop and join.
    delete m_probe;
    m_probe = nullptr;
    delete m_session;
    m_session = nullptr;
}

void CCliConnection::setProfileFile(const QString &path, const ProfileData &profile)
{
    m_filePath = path;
    m_file = profile;
}

bool CCliConnection::runUntil(const std::function<bool()> &done)
{
    QEventLoop loop;
    while (!done()) {
        if (m_job.interrupt.isInterrupted())
            return false;
        // Every change comes as an event (a queued signal, a timer, the
        // Ctrl+C notifier), so the loop sleeps until one is there.
        loop.processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

int CCliConnection::probe()
{
    CCliOutput &out = m_job.out;
    const bool hid = m_job.port == QLatin1String(EcuSearch::HidPortName);
    out.set(QStringLiteral("route"), hid ? QStringLiteral("hid") : QStringLiteral("serial"));
    m_probe->start(m_job.port);
    if (!runUntil([this] { return !m_probe->isRunning(); })) {
        m_probe->abort();
        return out.fail(CliExit::Interrupted,
                        CCli::tr("interrotto durante la ricerca della centralina: nulla è stato "
                                 "inviato alla centralina oltre alla richiesta d'identità"));
    }
    const QString port = QDir::toNativeSeparators(m_job.port);
    switch (m_probe->result()) {
    case CEcuProbe::Result::Found:
        break;
    case CEcuProbe::Result::NotOpened:
        return out.fail(CliExit::EcuNotFound,
                        CCli::tr("centralina non trovata: la porta %1 non si può aprire "
                                 "(non esiste, è in uso o mancano i permessi)")
                            .arg(port));
    case CEcuProbe::Result::NoHidDevice:
        return out.fail(CliExit::EcuNotFound,
                        CCli::tr("centralina non trovata: nessuna centralina su USB, o non si può "
                                 "aprire (permessi: vedere la regola udev nel README)"));
    case CEcuProbe::Result::WrongAnswer:
        return out.fail(CliExit::EcuNotFound,
                        CCli::tr("centralina non trovata: su %1 risponde un dispositivo che non è "
                                 "la centralina")
                            .arg(port));
    case CEcuProbe::Result::NoAnswer:
    case CEcuProbe::Result::Running:
        return out.fail(CliExit::EcuNotFound,
                        CCli::tr("centralina non trovata: nessuna risposta su %1").arg(port));
    }
    m_session->setDevInfo(m_probe->devInfo());
    out.set(QStringLiteral("ecu"), ecuJson(m_probe->devInfo(), m_probe->identityReported()));
    return CliExit::Done;
}

int CCliConnection::connectToEcu()
{
    const int found = probe();
    if (found != CliExit::Done)
        return found;
    CCliOutput &out = m_job.out;
    out.line(CCli::tr("%1 su %2")
                 .arg(ecuIdentityText(m_session->devInfo()), shownPort(m_job.port)));

    m_job.progress.start(CCli::tr("Lettura"));
    const int before = m_shown;
    m_sequencer->connectTo(m_job.port);
    const bool finished = runUntil([this, before] { return m_shown > before || ended(); });
    m_job.progress.clear();
    if (!finished) {
        end();
        return out.fail(CliExit::Interrupted,
                        CCli::tr("interrotto durante la lettura: nulla è stato scritto"));
    }
    if (m_shown == before || m_outcome.kind != CTransferOutcome::ReadDone)
        return out.fail(CliExit::CommunicationFailure, communicationFailure(Phase::Reading));
    return CliExit::Done;
}

int CCliConnection::acknowledgedAddresses() const
{
    return m_session->gestSend()->answeredCount();
}

QString CCliConnection::communicationFailure(Phase phase) const
{
    if (m_linkFailed)
        return CCli::tr("errore di comunicazione con la centralina: non risponde più");
    switch (phase) {
    case Phase::Reading:
        return CCli::tr("errore di comunicazione con la centralina durante la lettura");
    case Phase::Writing:
        return CCli::tr("errore di comunicazione con la centralina durante la scrittura");
    case Phase::Link:
        break;
    }
    return CCli::tr("errore di comunicazione con la centralina");
}

void CCliConnection::end()
{
    if (!m_session)
        return;
    // Quitting as the window quits: the command line leaves the test bench
    // as it is, and cuts a write short only after Ctrl+C (its answer).
    m_sequencer->quit();
    m_session->endConnection();
}

void CCliConnection::onPercent(int percent, bool writer)
{
    // Only a write runs the writer. Its reports may still come in once the
    // connection has ended: they count all the same.
    if (writer)
        m_writePercent = percent;
    if (m_session->transferBusy())
        m_job.progress.setPercent(m_session->overallPercent(percent));
}

void CCliConnection::onLinkError(const QString &error)
{
    if (!error.startsWith(QLatin1String("KO")))
        return;
    // A report from a connection that has already ended ends nothing.
    if (m_session->linkFailed())
        m_linkFailed = true;
}

void CCliConnection::onTransferShown(const CTransferOutcome &outcome)
{
    m_outcome = outcome;
    ++m_shown;
}

// ---- the profile side

bool CCliConnection::fileShown() const
{
    // A write always sends a file named on the command line.
    return !m_filePath.isEmpty();
}

QByteArray CCliConnection::flashImage(quint8 hardware) const
{
    return buildFlashImageBytes(m_file.values, hardware, QDir::fromNativeSeparators(m_filePath));
}

void CCliConnection::beginRead()
{
}

FlashImage CCliConnection::finishRead(const QByteArray &image, const CDevInfo &ecu,
                                      const QDateTime &)
{
    m_read = parseFlashImage(image, ecu.hardware);
    // The sequencer keeps the backup right after this.
    m_backupPath.clear();
    m_backupError.clear();
    return m_read;
}

void CCliConnection::failRead()
{
}

void CCliConnection::writeDone(const QByteArray &, quint8)
{
}

void CCliConnection::writeCheckFailed()
{
}

// ---- the user

bool CCliConnection::settleUnsavedProfile()
{
    // Nothing edited is replaced: a read goes into the file named for it.
    return true;
}

FileOutcome CCliConnection::loadProfileFile(const QString &)
{
    return FileOutcome::Cancelled;
}

FileOutcome CCliConnection::saveProfileFile()
{
    // Never asked: a write always has its file.
    return FileOutcome::Cancelled;
}

CSequenceUser::BenchAtExit CCliConnection::askBenchAtExit()
{
    return BenchAtExit::Leave;
}

bool CCliConnection::cutWriteShort()
{
    return true;
}
