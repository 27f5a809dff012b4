#include "profile/cecusequencer.h"

#include "comm/ecucommands.h"
#include "profile/profilebackup.h"

#include <QDir>

CEcuSequencer::CEcuSequencer(CEcuSession *session, CProfileSide *profile, CSequenceUser *user,
                             QObject *parent)
    : QObject(parent), m_session(session), m_profile(profile), m_user(user)
{
    connect(m_session, &CEcuSession::transferEnded, this, &CEcuSequencer::transferEnded);
    connect(m_session, &CEcuSession::exitReady, this, &CEcuSequencer::quitReady);
}

void CEcuSequencer::connectTo(const QString &portName)
{
    m_session->connectTo(portName);
    read();
}

bool CEcuSequencer::read()
{
    if (!m_session->mayUseEcu() || !m_session->requestCommand(EcuCommand::FlashRead))
        return false;
    emit transferRequested();
    return true;
}

bool CEcuSequencer::write()
{
    if (!m_session->mayUseEcu())
        return false;
    // From hardware 11 on, a write goes through a file: without one shown,
    // the profile is saved first, and the write follows as a command of its
    // own.
    if (m_session->hardware() >= 11 && !m_profile->fileShown())
        return m_session->requestCommand(EcuCommand::SaveProfileAndSend);
    if (!m_session->requestWrite(m_profile->flashImage(m_session->hardware())))
        return false;
    emit transferRequested();
    return true;
}

bool CEcuSequencer::load(const QString &path)
{
    if (!m_session->requestCommand(EcuCommand::LoadProfile))
        return false;
    m_loadPath = path;
    return true;
}

bool CEcuSequencer::save()
{
    return m_session->requestCommand(EcuCommand::SaveProfile);
}

void CEcuSequencer::execCmd(const QString &cmd)
{
    // The session takes what is its own (the switch-off at exit) and what
    // it no longer waits for.
    if (!m_session->takeCommand(cmd))
        return;
    if (cmd == EcuCommand::FlashWrite) {
        m_session->startWrite();
        return;
    }
    if (cmd == EcuCommand::FlashRead) {
        // The question waits for the user; the connection may end meanwhile,
        // so the session is asked again afterwards.
        if (!m_user->settleUnsavedProfile() || !m_session->startRead()) {
            m_session->endCommand();
            return;
        }
        m_profile->beginRead();
        return;
    }
    if (cmd == EcuCommand::LoadProfile) {
        // Whatever the outcome (a failure has told the user why), polling
        // goes on as the user set it.
        const QString path = m_loadPath;
        m_loadPath.clear();
        if (m_user->settleUnsavedProfile())
            m_user->loadProfileFile(path);
        m_session->endCommand();
        return;
    }
    if (cmd == EcuCommand::SaveProfile || cmd == EcuCommand::SaveProfileAndSend) {
        const bool saved = m_user->saveProfileFile() == FileOutcome::Done;
        if (saved && cmd == EcuCommand::SaveProfileAndSend) {
            // The link stays paused until the write has the line.
            m_session->endCommand(false);
            write();
            return;
        }
        m_session->endCommand();
        return;
    }
    m_session->endCommand();
}

void CEcuSequencer::transferEnded(const CTransferOutcome &outcome)
{
    FlashImage read;
    switch (outcome.kind) {
    case CTransferOutcome::ReadDone: {
        const QDateTime now = QDateTime::currentDateTime();
        read = m_profile->finishRead(outcome.image, m_session->devInfo(), now);
        // The next press of the test-bench button sends the opposite of what
        // the ECU holds.
        m_session->setBenchOn(read.benchOn);
        keepBackup(read, now);
        break;
    }
    case CTransferOutcome::WriteDone:
        // The ECU holds the image written: that is the saved profile now.
        m_profile->writeDone(outcome.image, m_session->hardware());
        break;
    case CTransferOutcome::WriteDiffers:
        m_profile->writeCheckFailed();
        break;
    case CTransferOutcome::ReadFailed:
        m_profile->failRead();
        break;
    case CTransferOutcome::WriteFailed:
    case CTransferOutcome::None:
        break;
    }
    emit transferShown(outcome, read);
}

// Every profile read is kept as a file of its own in the backup folder,
// without asking; one that cannot be written changes nothing else.
void CEcuSequencer::keepBackup(const FlashImage &read, const QDateTime &when)
{
    const QString folder = backupFolder();
    const QString name = backupFileName(when, m_session->devInfo());
    QString reason;
    const QString path = writeBackup(folder, name, read.values, read.k, &reason);
    if (path.isEmpty())
        emit backupFailed(QDir(folder).filePath(name), reason);
    else
        emit backupKept(path);
}

CEcuSequencer::Quit CEcuSequencer::quit()
{
    // The questions have been answered and the test bench switched off.
    if (m_session->state() == CEcuSession::State::Ended)
        return Quit::Now;
    // Waiting for the ECU to take the test bench's switch-off.
    if (m_session->state() == CEcuSession::State::SwitchingOff)
        return Quit::Later;
    bool switchOff = false;
    if (m_session->benchOn() && m_session->mayUseEcu()) {
        switch (m_user->askBenchAtExit()) {
        case CSequenceUser::BenchAtExit::Cancel:
            return Quit::Stay;
        case CSequenceUser::BenchAtExit::SwitchOff:
            // The connection may have ended while the question was open:
            // nothing is left to switch off then.
            switchOff = m_session->benchOn();
            break;
        case CSequenceUser::BenchAtExit::Leave:
            break;
        }
    }
    // A write cut short leaves the ECU's flash half written: ask first.
    if (m_session->writeBusy() && !m_user->cutWriteShort())
        return Quit::Stay;
    // An edited profile is not dropped without a word, also when a write is
    // cut short. A read under way has been through this question already.
    const bool reading = m_session->transferBusy() && !m_session->writeBusy();
    if (!reading && !m_user->settleUnsavedProfile())
        return Quit::Stay;
    // The program ends once the ECU has taken the switch-off, or the
    // connection has ended (quitReady).
    if (switchOff && m_session->switchBenchOffForExit())
        return Quit::Later;
    return Quit::Now;
}
