#pragma once

#include "comm/chidtransport.h"

#include <hidapi/hidapi.h>
#include <QtGlobal>

// Opens the first HID device with the given ids (no serial number), prints its
// manufacturer, product and serial-number strings, and returns the handle, or
// null when no such device is attached.
hid_device *openHidDevice(quint16 vendorId, quint16 productId);

