#pragma once

#include "comm/cecusession.h"
#include "profile/sequencesides.h"

#include <QObject>
#include <QString>

// The sequences a user runs with the ECU, in one place for every front end
// (the window, the command line):
// - a connection the port search found is taken into use and read at once;
// - a read asks first when it would replace an edited profile;
// - from hardware 11 on a write goes through a file (without one shown, the
//   profile is saved first), and from hardware 20 on the file's name goes
//   into the ECU with the values (the profile side's flash image);
// - after a write the written bytes are read back (the session's check);
// - a read ends in the profile, the test-bench state and a backup of what
//   was read; a failed read puts back what it replaced;
// - quitting asks about the test bench, a write under way and an edited
//   profile, and switches the test bench off first when the user says so.
//
// The commands that need the line or a file dialog are requested from the
// session and run when the real-time worker hands them back (execCmd). The
// front end keeps its questions (CSequenceUser) and shows what comes of the
// sequences (the signals below); the profile side takes the profile's part.
class CEcuSequencer : public QObject
{
    Q_OBJECT
public:
    CEcuSequencer(CEcuSession *session, CProfileSide *profile, CSequenceUser *user,
                  QObject *parent = nullptr);

    // The port search found the ECU on this port: the connection starts
    // with a read.
    void connectTo(const QString &portName);

    // The user's commands; false when they cannot start now.
    bool read();
    bool write();
    // A profile file: `path` (a recent file), or one the user picks.
    bool load(const QString &path = QString());
    bool save();

    // A command handed back by the real-time worker once the line is free.
    void execCmd(const QString &cmd);

    // Quitting. Now: the program may end. Later: the test bench's switch-off
    // goes out first, and quitReady follows. Stay: the user chose to stay.
    enum class Quit { Now, Later, Stay };
    Quit quit();

signals:
    // A read or a write is requested (the profile name read last no longer
    // stands for what the ECU will hold).
    void transferRequested();
    // A transfer has ended and the profile side has taken it in; `read` is
    // the image parsed after a read, empty otherwise.
    void transferShown(const CTransferOutcome &outcome, const FlashImage &read);
    // The backup of a read could not be written (`path`: where it was to go).
    void backupFailed(const QString &path, const QString &error);
    // The backup of a read was written to `path`.
    void backupKept(const QString &path);
    // Quitting: the switch-off has gone out; `acknowledged`: the ECU took
    // every frame of it.
    void quitReady(bool acknowledged);

private:
    void transferEnded(const CTransferOutcome &outcome);
    void keepBackup(const FlashImage &read, const QDateTime &when);

    CEcuSession *const m_session;
    CProfileSide *const m_profile;
    CSequenceUser *const m_user;
    QString m_loadPath; // the argument of the load command asked for
};
