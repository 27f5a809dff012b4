#pragma once

#include "comm/cdevinfo.h"

// Reads the ECU's answer to a HID probe. report is the buffer hid_read_timeout
// filled (at least 7 bytes long) and readResult what that call returned. The
// ECU was found when a report came (readResult > 0) starting FA C8; info then
// holds its identity from bytes 2..6 (hardware, cylinders, version major,
// minor, revision). Otherwise info is left as it was.
bool parseHidProbeAnswer(const unsigned char *report, int readResult, CDevInfo &info);
