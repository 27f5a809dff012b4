#pragma once

// How the ECU is looked for on a port, by the port search and by the command
// line alike.
namespace EcuSearch {

// The ECU on USB: its vendor and product ids.
constexpr unsigned short EcuVendorId = 0x04D8;
constexpr unsigned short EcuProductId = 0x0080;
// The port name that stands for the ECU on USB (the HID route).
constexpr char HidPortName[] = "HID";
// How long the ECU has to answer the probe.
constexpr int ReplyTimeoutMs = 500;
// After a port is opened its input is cleared and the line is given this
// long to fall quiet, so the tail of an answer still on its way from an
// earlier session cannot come before the probe's answer.
constexpr int SettleMs = 30;
// How many times the HID device is asked before it counts as silent.
constexpr int HidAttempts = 5;

} // namespace EcuSearch
