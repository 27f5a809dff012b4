#pragma once

#include <QString>
#include <QStringList>

// A name counts as a serial port when it contains "COM", starts with "tty",
// or is an absolute path. The placeholder entry of the port list never does.
bool isSerialPortName(const QString &name);

// The ports to offer: every port the system reports, by its port name, in
// the order reported; then the virtual-port folder's links, sorted by name.
QStringList serialPortNames();
