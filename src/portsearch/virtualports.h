#pragma once

#include <QString>
#include <QStringList>

// Programs that offer a virtual serial port (the ECU simulator, or socat with
// pty,raw,echo=0,link=<folder>/<name>) put a symbolic link to their
// pseudo-terminal into this folder: "ecu-vantor-ports" in the runtime location.
QString virtualPortFolder();

// Absolute paths of the folder's links whose target exists, sorted by name.
QStringList virtualPorts();
