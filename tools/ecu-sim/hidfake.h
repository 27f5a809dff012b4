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
// As with hidapi, a read waits for its report: hid_read_timeout up to its
// time-out (then 0), a non-blocking handle not at all (0). An answer is
// readable only once it has arrived: after the report time (setReportMs) and
// the simulator's own answer delay, so a late report stays queued for a later
// read. hid_read with no report on its way returns -1 at once (a real one
// would block for ever). Safe to call from any thread.
namespace hidfake {
void attach(EcuSimulator *sim);   // nullptr: no device attached
// The next n waiting reads fail (return -1); each failing read loses the
// answer it would have returned, as a report that never arrived. Reads that
// do not wait (time-out 0, non-blocking) are not counted.
void setReadFails(int n);
void setReportMs(int ms);
// The device goes away: every read and write on an open handle fails (-1),
// also a read that does not wait, as hidapi's do for a device that is gone;
// attach() or reset() plugs it in again.
void unplug();        // how long each answer report takes to arrive
QList<QByteArray> writtenReports(); // every report written, as written (65 bytes each)
void reset();                    // detach, clear the record, failures and counters
int openCount();                 // hid_open / hid_open_path calls, found or not
int closeCount();                // handles closed by hid_close
int exitCount();                 // hid_exit calls
}
