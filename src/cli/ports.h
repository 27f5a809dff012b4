#pragma once

#include "portsearch/probe.h"

#include <QString>
#include <QStringList>

class CCliOutput;

// The ports the command line can reach the ECU on, and the rule that picks
// one when the user names none.

// The HID ECU (vendor 0x04D8, product 0x0080) is attached.
bool hidEcuPresent();

struct CPortCandidates
{
    bool hid = false;         // the HID ECU is attached
    QStringList serial;       // the system's serial ports, as the port search lists them
    QStringList virtualPorts; // the virtual-port folder's links (absolute paths)

    // In the order they are offered: "HID", the serial ports, the links.
    QStringList all() const;
};

// Asks the system: the HID ECU, the serial ports the port search lists and
// the virtual-port folder's links.
CPortCandidates listPortCandidates();

struct CPortChoice
{
    enum Outcome { Chosen, Several, None };
    Outcome outcome = None;
    QString port;           // Chosen: "HID" or a serial port's name or path
    QStringList candidates; // Several: every candidate
};

// Without a port asked for: the HID ECU when it is attached, else the only
// candidate; several candidates and none are outcomes of their own.
CPortChoice choosePort(const CPortCandidates &candidates);

// --port as typed, made a port name: "HID" (in any case), a serial port's
// name (ttyUSB0, COM3) or path, or the name of a link in the virtual-port
// folder (ecu-sim), which gives the link's path. Empty when it is none.
QString resolvePortArgument(const QString &typed);

// The rule for the ECU subcommands, reporting as they must: the port asked
// for, or the one choosePort() gives. Several candidates: they are listed,
// and *exitCode is 2; none: *exitCode is 3. Returns the port, or an empty
// text when there is none to use.
QString pickPort(const QString &requested, CCliOutput &out, int *exitCode);

// The ports subcommand.
int runPorts(CCliOutput &out);
