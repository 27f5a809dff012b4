#pragma once

#include <hidapi/hidapi.h>
#include <QtGlobal>

// Opens the first HID device with the given ids (no serial number), prints its
// manufacturer, product and serial-number strings, and returns the handle, or
// null when no such device is attached.
hid_device *openHidDevice(quint16 vendorId, quint16 productId);

// A HID read waits at most this long for a report; a read that gets none in
// that time counts as a failed read.
constexpr int HidReadTimeoutMs = 250;
