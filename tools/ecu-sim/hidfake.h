#pragma once

#include <QByteArray>
#include <QList>

class EcuSimulator;

// Control of the hidapi fake that test programs link in place of hidapi.
// With a simulator attached, hid_open finds the ECU's device (vendor id
// 0x04D8, product id 0x0080), hid_write hands the report's bytes 1..8 to the
// simulator and queues its answer, and hid_read / hid_read_timeout return the
// oldest queued answer in bytes 0..N-1 of the report, the rest of the buffer
// zeroed, with the result 65 (or the buffer length when it is shorter).
// A read with no answer queued (a silent simulator) does not wait: hid_read
// returns -1 (a real one would block for ever), hid_read_timeout returns 0
// after at most 5 ms, and a non-blocking handle returns 0.
// Safe to call from any thread.
namespace hidfake {
void attach(EcuSimulator *sim);   // nullptr: no device attached
// The next n reads fail (return -1); each failing read loses the answer it
// would have returned, as a report that never arrived.
void setReadFails(int n);
QList<QByteArray> writtenReports(); // every report written, as written (65 bytes each)
void reset();                    // detach, clear the record, failures and counters
int openCount();                 // hid_open / hid_open_path calls, found or not
int closeCount();                // handles closed by hid_close
int exitCount();                 // hid_exit calls
}
