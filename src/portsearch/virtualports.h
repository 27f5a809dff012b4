#pragma once

#include <QString>
#include <QStringList>

// Programs that offer a virtual serial port (the ECU simulator, or socat with
// pty,raw,echo=0,link=<folder>/<name>) put a symbolic link to their
// pseudo-terminal into this folder: "ecu-vantor-ports" in the runtime location.
QString virtualPortFolder();

// Absolute paths of the folder's links whose target exists, sorted by name.
QStringList virtualPorts();

// The name a port is shown by: a link of the virtual-port folder by the
// link's own name (the folder's path says nothing to the user and does not
// fit the port label), any other port by its name without the Windows device
// prefix "\\.\".
QString portDisplayName(const QString &portName);
