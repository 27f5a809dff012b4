#pragma once

#include <QByteArray>
#include <QList>

class EcuSimulator;

// Control of the hidapi fake that test programs link in place of hidapi.
// With a simulator attached, hid_open finds the ECU's device, hid_write
// hands the report's bytes 1..8 to the simulator and hid_read returns its
// answer in bytes 0..7 of the report.
namespace hidfake {
void attach(EcuSimulator *sim);   // nullptr: no device attached
void setReadFails(int n);        // the next n reads fail (return -1)
QList<QByteArray> writtenReports(); // every report written, 65 bytes each
void reset();                    // detach, clear the record and failures
int openCount();
int closeCount();
int exitCount();
}
