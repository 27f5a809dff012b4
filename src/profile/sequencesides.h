#pragma once

#include "comm/cdevinfo.h"
#include "profile/profilecodec.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

// The outcome of a profile file operation.
enum class FileOutcome { Done, Cancelled, OpenFailure };

// What the sequences of a connection need of the profile being worked on:
// the window's document, or the command line's profile file.
class CProfileSide
{
public:
    virtual ~CProfileSide() = default;

    // A profile file is shown: from hardware 11 on a write needs one, and
    // from hardware 20 on its name goes into the ECU.
    virtual bool fileShown() const = 0;
    // The image a write sends: the values and, from hardware 20 on, the
    // name of the file shown.
    virtual QByteArray flashImage(quint8 hardware) const = 0;

    // A read begins; it has brought this image from this ECU at this time
    // (returned parsed); it has failed (what it replaced comes back).
    virtual void beginRead() = 0;
    virtual FlashImage finishRead(const QByteArray &image, const CDevInfo &ecu,
                                  const QDateTime &when) = 0;
    virtual void failRead() = 0;

    // The ECU holds this image now; or the check after the write found
    // other values.
    virtual void writeDone(const QByteArray &image, quint8 hardware) = 0;
    virtual void writeCheckFailed() = 0;
};

// The questions a front end asks its user, and its profile files: the
// window's message boxes and file dialogs, or the command line's arguments.
class CSequenceUser
{
public:
    virtual ~CSequenceUser() = default;

    // The profile shown is about to be replaced (a read, a load, the end of
    // the program): true to go on, once it is saved or given up.
    virtual bool settleUnsavedProfile() = 0;
    // Loads `path`, or a file the user picks when it is empty.
    virtual FileOutcome loadProfileFile(const QString &path) = 0;
    // Saves the profile to a file the user picks.
    virtual FileOutcome saveProfileFile() = 0;

    // Quitting with the test bench on: switch it off first, leave it as it
    // is, or stay.
    enum class BenchAtExit { SwitchOff, Leave, Cancel };
    virtual BenchAtExit askBenchAtExit() = 0;
    // Quitting during a write, which would leave the ECU half written:
    // true to quit all the same.
    virtual bool cutWriteShort() = 0;
};
