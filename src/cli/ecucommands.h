#pragma once

#include "profile/profilecodec.h"

#include <QString>

struct CCliOptions;
class CCliOutput;
class CProgressBar;
class CInterruptWatcher;

// The subcommands that talk to the ECU: probe, read, write and monitor.
//
// The frame (cli.cpp) has done everything that needs no ECU before it calls
// one of these: the command line is parsed and checked (a bad --seconds is a
// usage error), the file to write is read whole (a file that cannot be read
// or is shorter than a profile exits 5 and nothing is sent), the files to
// write (read -o, monitor --csv) are known to be writable, and the port is
// chosen (--port, else the HID ECU, else the only candidate; several
// candidates exit 2, none exits 3). The core application exists; these
// functions run the event loop they need (QEventLoop) and return the exit
// code (CliExit). The frame then ends the output (out.finish).
//
// What they have at hand:
// - out: lines for the reader (out.line), remarks on standard error
//   (out.note), the JSON document's fields (out.set), failures with their
//   exit code (return out.fail(CliExit::..., message)).
// - progress: the bar on standard error when it is a terminal
//   (progress.start(label), setPercent); out erases it before it prints.
// - interrupt: Ctrl+C; isInterrupted() and the signal interrupted(), seen
//   from the event loop. An interrupted command stops at a safe point, says
//   what was done and returns CliExit::Interrupted.
struct CEcuJob
{
    const CCliOptions &options;
    QString port; // "HID" or a serial port's name or path
    CCliOutput &out;
    CProgressBar &progress;
    CInterruptWatcher &interrupt;
};

// probe: the ECU's identity (hardware, cylinders, firmware version).
int runProbe(CEcuJob &job);

// read -o FILE (options.output): the profile into FILE, and the backup the
// window makes after every read.
int runRead(CEcuJob &job);

// write FILE (options.files[0], already read into profile) with the
// window's rules, then the check unless options.noCheck.
int runWrite(CEcuJob &job, const ProfileData &profile);

// monitor: the live link for options.seconds (0: until Ctrl+C), one line per
// reading (at most 10 a second on a terminal, every one into a file or a
// pipe), every reading into options.csv when set (monitorcommand.cpp).
int runMonitor(CEcuJob &job);
