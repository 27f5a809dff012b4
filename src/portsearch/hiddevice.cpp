#include "hiddevice.h"

#include <cstdio>
#include <cwchar>

namespace {

constexpr int HidStringCapacity = 255; // wide characters, terminator included

// Prints one of the device's strings; a string the device does not give is
// printed empty.
void printHidString(const char *format, int result, const wchar_t *text)
{
    std::printf(format, result == 0 ? text : L"");
}

} // namespace

hid_device *openHidDevice(quint16 vendorId, quint16 productId)
{
    hid_device *device = hid_open(vendorId, productId, nullptr);
    if (!device)
        return nullptr;

    wchar_t text[HidStringCapacity];

    text[0] = L'\0';
    printHidString("Manufacturer String: %ls\n",
                   hid_get_manufacturer_string(device, text, HidStringCapacity), text);
    text[0] = L'\0';
    printHidString("Product String: %ls\n",
                   hid_get_product_string(device, text, HidStringCapacity), text);
    text[0] = L'\0';
    printHidString("Serial Number String: %ls\n",
                   hid_get_serial_number_string(device, text, HidStringCapacity), text);
    std::fflush(stdout);
    return device;
}
