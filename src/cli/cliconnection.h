#pragma once

#include "cli/ecucommands.h"
#include "profile/cecusequencer.h"
#include "comm/cecusession.h"
#include "profile/sequencesides.h"
#include "profile/profilecodec.h"

#include <QJsonObject>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

class CEcuProbe;

// The command line's side of a connection: the session and the window's
// sequencer, wired as the window wires them, with the command line as the
// profile side (the file a write sends; what a read brought) and as the
// user (no questions: the command line has its answers in its options).
// Each subcommand makes one, finds the ECU (probe), connects (the read every
// connection starts with) and then runs its part; the destructor ends the
// connection.
class CCliConnection : public QObject, public CProfileSide, public CSequenceUser
{
    Q_OBJECT
public:
    explicit CCliConnection(CEcuJob &job, QObject *parent = nullptr);
    ~CCliConnection() override;

    CEcuSession *session() const { return m_session; }
    CEcuSequencer *sequencer() const { return m_sequencer; }

    // The file whose profile a write sends (its name goes into the ECU from
    // hardware 20 on).
    void setProfileFile(const QString &path, const ProfileData &profile);

    // Finds the ECU on the job's port and takes its identity into the
    // session; sets the document's "route" and "ecu". Done, or the exit
    // code with its message given (not found: 3; Ctrl+C: 130).
    int probe();
    // probe(), then the connection with its read (progress bar "reading").
    // Done once the profile has been read (readImage()), or the exit code
    // with its message given.
    int connectToEcu();

    // Turns the event loop until `done` holds (true), or until Ctrl+C
    // (false; every later call returns false at once).
    bool runUntil(const std::function<bool()> &done);

    // The connection has ended (a failure of the line, or the port gone).
    bool ended() const { return !m_session->isConnected(); }
    // The real-time link or the port reported a failure.
    bool linkFailed() const { return m_linkFailed; }

    // What the read brought, and when.
    const FlashImage &readImage() const { return m_read; }
    // The backup of the read ("" when it failed, with backupError()).
    QString backupPath() const { return m_backupPath; }
    QString backupError() const { return m_backupError; }

    // The transfers shown so far, the last one last.
    int transfersShown() const { return m_shown; }
    const CTransferOutcome &lastOutcome() const { return m_outcome; }
    // The write's progress as the writer reports it (-1: none yet, the
    // write has not had the line).
    int writePercent() const { return m_writePercent; }
    void resetWritePercent() { m_writePercent = -1; }
    // Addresses of the write that the ECU has acknowledged, from 0 on.
    int acknowledgedAddresses() const;

    // The message for a failure of the line (exit 1) in this part of the
    // work; a failure of the real-time link or a port gone says so.
    enum class Phase { Reading, Writing, Link };
    QString communicationFailure(Phase phase) const;

    // Ends the connection as quitting does (nothing more goes to the ECU).
    void end();

    // CProfileSide
    bool fileShown() const override;
    QByteArray flashImage(quint8 hardware) const override;
    void beginRead() override;
    FlashImage finishRead(const QByteArray &image, const CDevInfo &ecu,
                          const QDateTime &when) override;
    void failRead() override;
    void writeDone(const QByteArray &image, quint8 hardware) override;
    void writeCheckFailed() override;

    // CSequenceUser: the command line asks nothing.
    bool settleUnsavedProfile() override;
    FileOutcome loadProfileFile(const QString &path) override;
    FileOutcome saveProfileFile() override;
    BenchAtExit askBenchAtExit() override;
    bool cutWriteShort() override;

private:
    void onPercent(int percent, bool writer);
    void onLinkError(const QString &error);
    void onTransferShown(const CTransferOutcome &outcome);

    CEcuJob &m_job;
    CEcuSession *m_session = nullptr;
    CEcuSequencer *m_sequencer = nullptr;
    CEcuProbe *m_probe = nullptr;

    QString m_filePath;
    ProfileData m_file;

    FlashImage m_read;
    QString m_backupPath;
    QString m_backupError;

    CTransferOutcome m_outcome;
    int m_shown = 0;
    int m_writePercent = -1;
    bool m_linkFailed = false;
};

// The ECU's identity for the JSON document: hardware, cylinders (0: not
// stated), firmware ("1.1-R0"), and whether the ECU reported it.
QJsonObject ecuJson(const CDevInfo &info, bool reported);
// "1.1-R0"
QString firmwareText(const CDevInfo &info);
