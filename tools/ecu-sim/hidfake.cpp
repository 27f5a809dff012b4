// A fake of the hidapi functions, backed by an EcuSimulator. Test programs
// link it in place of libhidapi; the code under test includes
// <hidapi/hidapi.h> unchanged, so every signature here is hidapi 0.13's.

#include "hidfake.h"

#include "ecusimulator.h"

#include <hidapi/hidapi.h>

#include <QElapsedTimer>
#include <QPair>
#include <QSet>
#include <chrono>
#include <condition_variable>
#include <mutex>

#include <cstdlib>
#include <cstring>
#include <cwchar>

namespace {

constexpr unsigned short EcuVendorId = 0x04D8;
constexpr unsigned short EcuProductId = 0x0080;
constexpr size_t ReportSize = 65;
constexpr int FrameBytes = 8;
const char DevicePath[] = "/dev/hidraw-ecusim";

wchar_t manufacturerText[] = L"Vantor";
wchar_t productText[] = L"ECU Vantor (simulated)";
wchar_t serialText[] = L"SIM0001";

struct State
{
    State() { clock.start(); }
    std::mutex mutex;                  // C++ primitives: ThreadSanitizer sees them
    std::condition_variable arrived;   // a report was queued
    QElapsedTimer clock;
    EcuSimulator *sim = nullptr;
    int reportMs = 0;         // how long a report takes to arrive
    int readFails = 0;
    bool gone = false;        // unplugged: every call on a handle fails
    QList<QByteArray> written;
    int opens = 0;
    int closes = 0;
    int exits = 0;
    QSet<hid_device *> handles;
    const wchar_t *lastError = L"Success";
};

State &state()
{
    static State s;
    return s;
}

bool matches(unsigned short vendorId, unsigned short productId)
{
    return (vendorId == 0 || vendorId == EcuVendorId) && (productId == 0 || productId == EcuProductId);
}

hid_device_info deviceInfo()
{
    hid_device_info info{};
    info.path = const_cast<char *>(DevicePath);
    info.vendor_id = EcuVendorId;
    info.product_id = EcuProductId;
    info.serial_number = serialText;
    info.release_number = 0x0100;
    info.manufacturer_string = manufacturerText;
    info.product_string = productText;
    info.interface_number = 0;
    info.next = nullptr;
    info.bus_type = HID_API_BUS_USB;
    return info;
}

int copyString(hid_device *dev, const wchar_t *text, wchar_t *string, size_t maxlen)
{
    std::unique_lock<std::mutex> lock(state().mutex);
    if (!state().handles.contains(dev) || !string || maxlen == 0)
        return -1;
    std::wcsncpy(string, text, maxlen);
    string[maxlen - 1] = L'\0';
    return 0;
}

} // namespace

struct hid_device_
{
    // Input reports on their way: when each can be read, and its bytes.
    QList<QPair<qint64, QByteArray>> answers;
    bool nonBlocking = false;
    hid_device_info info = deviceInfo();
};

namespace {

hid_device *openDevice()
{
    std::unique_lock<std::mutex> lock(state().mutex);
    ++state().opens;
    if (!state().sim) {
        state().lastError = L"hidfake: no device attached";
        return nullptr;
    }
    hid_device *dev = new hid_device_;
    state().handles.insert(dev);
    return dev;
}

// Reads the oldest report, waiting up to ms for it to arrive (ms < 0: as
// long as one is on its way; with none on its way a real read would block for
// ever, so this one fails at once). Returns 0 when nothing arrived in time.
int readReport(hid_device *dev, unsigned char *data, size_t length, int ms)
{
    std::unique_lock<std::mutex> lock(state().mutex);
    State &s = state();
    if (!s.handles.contains(dev) || !data) {
        s.lastError = L"hidfake: invalid device";
        return -1;
    }
    if (s.gone) {
        s.lastError = L"hidfake: device gone";
        return -1;
    }
    // A read that does not wait (draining what is queued) never counts as a
    // failing read.
    if (s.readFails > 0 && ms != 0 && !dev->nonBlocking) {
        --s.readFails;
        if (!dev->answers.isEmpty())
            dev->answers.removeFirst();
        s.lastError = L"hidfake: read failed";
        return -1;
    }
    if (dev->nonBlocking)
        ms = 0;
    const qint64 deadline = s.clock.nsecsElapsed() + qMax(0, ms) * qint64(1000000);
    for (;;) {
        const qint64 now = s.clock.nsecsElapsed();
        if (!dev->answers.isEmpty() && dev->answers.first().first <= now)
            break;
        if (ms < 0 && dev->answers.isEmpty())
            return -1;
        if (ms >= 0 && now >= deadline)
            return 0;
        qint64 until = ms < 0 ? dev->answers.first().first : deadline;
        if (!dev->answers.isEmpty())
            until = qMin(until, dev->answers.first().first);
        s.arrived.wait_for(lock, std::chrono::nanoseconds(until - now));
        if (!s.handles.contains(dev) || s.gone)
            return -1; // closed, or unplugged, meanwhile
    }
    const QByteArray answer = dev->answers.takeFirst().second;
    std::memset(data, 0, length);
    std::memcpy(data, answer.constData(), qMin(length, static_cast<size_t>(answer.size())));
    return static_cast<int>(qMin(length, ReportSize));
}

} // namespace

namespace hidfake {

void attach(EcuSimulator *sim)
{
    std::unique_lock<std::mutex> lock(state().mutex);
    state().sim = sim;
    state().gone = false;
}

void unplug()
{
    std::unique_lock<std::mutex> lock(state().mutex);
    state().gone = true;
    state().arrived.notify_all();
}

void setReportMs(int ms)
{
    std::unique_lock<std::mutex> lock(state().mutex);
    state().reportMs = qMax(0, ms);
}

void setReadFails(int n)
{
    std::unique_lock<std::mutex> lock(state().mutex);
    state().readFails = qMax(0, n);
}

QList<QByteArray> writtenReports()
{
    std::unique_lock<std::mutex> lock(state().mutex);
    return state().written;
}

void reset()
{
    std::unique_lock<std::mutex> lock(state().mutex);
    State &s = state();
    s.sim = nullptr;
    s.readFails = 0;
    s.gone = false;
    s.reportMs = 0;
    s.written.clear();
    s.opens = s.closes = s.exits = 0;
    for (hid_device *dev : qAsConst(s.handles))
        dev->answers.clear();
    s.lastError = L"Success";
}

int openCount()
{
    std::unique_lock<std::mutex> lock(state().mutex);
    return state().opens;
}

int closeCount()
{
    std::unique_lock<std::mutex> lock(state().mutex);
    return state().closes;
}

int exitCount()
{
    std::unique_lock<std::mutex> lock(state().mutex);
    return state().exits;
}

} // namespace hidfake

extern "C" {

int HID_API_EXPORT HID_API_CALL hid_init(void)
{
    return 0;
}

int HID_API_EXPORT HID_API_CALL hid_exit(void)
{
    std::unique_lock<std::mutex> lock(state().mutex);
    ++state().exits;
    return 0;
}

struct hid_device_info HID_API_EXPORT *HID_API_CALL hid_enumerate(unsigned short vendor_id, unsigned short product_id)
{
    {
        std::unique_lock<std::mutex> lock(state().mutex);
        if (!state().sim || !matches(vendor_id, product_id))
            return nullptr;
    }
    auto *info = static_cast<hid_device_info *>(std::calloc(1, sizeof(hid_device_info)));
    if (!info)
        return nullptr;
    *info = deviceInfo();
    info->path = strdup(DevicePath);
    info->serial_number = wcsdup(serialText);
    info->manufacturer_string = wcsdup(manufacturerText);
    info->product_string = wcsdup(productText);
    return info;
}

void HID_API_EXPORT HID_API_CALL hid_free_enumeration(struct hid_device_info *devs)
{
    while (devs) {
        hid_device_info *next = devs->next;
        std::free(devs->path);
        std::free(devs->serial_number);
        std::free(devs->manufacturer_string);
        std::free(devs->product_string);
        std::free(devs);
        devs = next;
    }
}

HID_API_EXPORT hid_device *HID_API_CALL hid_open(unsigned short vendor_id, unsigned short product_id,
                                                 const wchar_t *serial_number)
{
    if (vendor_id != EcuVendorId || product_id != EcuProductId
        || (serial_number && std::wcscmp(serial_number, serialText) != 0)) {
        std::unique_lock<std::mutex> lock(state().mutex);
        ++state().opens;
        state().lastError = L"hidfake: no such device";
        return nullptr;
    }
    return openDevice();
}

HID_API_EXPORT hid_device *HID_API_CALL hid_open_path(const char *path)
{
    if (!path || std::strcmp(path, DevicePath) != 0) {
        std::unique_lock<std::mutex> lock(state().mutex);
        ++state().opens;
        state().lastError = L"hidfake: no such device";
        return nullptr;
    }
    return openDevice();
}

int HID_API_EXPORT HID_API_CALL hid_write(hid_device *dev, const unsigned char *data, size_t length)
{
    std::unique_lock<std::mutex> lock(state().mutex);
    State &s = state();
    if (!s.handles.contains(dev) || !data || length == 0) {
        s.lastError = L"hidfake: invalid write";
        return -1;
    }
    s.written.append(QByteArray(reinterpret_cast<const char *>(data), static_cast<int>(length)));
    if (!s.sim || s.gone) {
        s.lastError = L"hidfake: device gone";
        return -1;
    }
    // Byte 0 is the report number; the frame follows.
    QByteArray request(reinterpret_cast<const char *>(data) + 1,
                       static_cast<int>(qMin(length - 1, static_cast<size_t>(FrameBytes))));
    request.append(QByteArray(FrameBytes - request.size(), '\0'));
    int delayMs = 0;
    const QByteArray answer = s.sim->handle(request, &delayMs);
    if (!answer.isEmpty()) {
        const qint64 due = s.clock.nsecsElapsed() + (s.reportMs + delayMs) * qint64(1000000);
        // Reports arrive in order: a late one holds back those behind it.
        const qint64 after = dev->answers.isEmpty() ? 0 : dev->answers.last().first;
        dev->answers.append(qMakePair(qMax(due, after), answer));
        s.arrived.notify_all();
    }
    return static_cast<int>(length);
}

int HID_API_EXPORT HID_API_CALL hid_read_timeout(hid_device *dev, unsigned char *data, size_t length,
                                                 int milliseconds)
{
    return readReport(dev, data, length, milliseconds);
}

int HID_API_EXPORT HID_API_CALL hid_read(hid_device *dev, unsigned char *data, size_t length)
{
    return hid_read_timeout(dev, data, length, -1);
}

int HID_API_EXPORT HID_API_CALL hid_set_nonblocking(hid_device *dev, int nonblock)
{
    std::unique_lock<std::mutex> lock(state().mutex);
    if (!state().handles.contains(dev))
        return -1;
    dev->nonBlocking = nonblock != 0;
    return 0;
}

int HID_API_EXPORT HID_API_CALL hid_send_feature_report(hid_device *, const unsigned char *, size_t)
{
    return -1;
}

int HID_API_EXPORT HID_API_CALL hid_get_feature_report(hid_device *, unsigned char *, size_t)
{
    return -1;
}

int HID_API_EXPORT HID_API_CALL hid_get_input_report(hid_device *, unsigned char *, size_t)
{
    return -1;
}

void HID_API_EXPORT HID_API_CALL hid_close(hid_device *dev)
{
    std::unique_lock<std::mutex> lock(state().mutex);
    if (!state().handles.remove(dev))
        return;
    ++state().closes;
    state().arrived.notify_all();
    delete dev;
}

int HID_API_EXPORT_CALL hid_get_manufacturer_string(hid_device *dev, wchar_t *string, size_t maxlen)
{
    return copyString(dev, manufacturerText, string, maxlen);
}

int HID_API_EXPORT_CALL hid_get_product_string(hid_device *dev, wchar_t *string, size_t maxlen)
{
    return copyString(dev, productText, string, maxlen);
}

int HID_API_EXPORT_CALL hid_get_serial_number_string(hid_device *dev, wchar_t *string, size_t maxlen)
{
    return copyString(dev, serialText, string, maxlen);
}

struct hid_device_info HID_API_EXPORT *HID_API_CALL hid_get_device_info(hid_device *dev)
{
    std::unique_lock<std::mutex> lock(state().mutex);
    return state().handles.contains(dev) ? &dev->info : nullptr;
}

int HID_API_EXPORT_CALL hid_get_indexed_string(hid_device *, int, wchar_t *, size_t)
{
    return -1;
}

HID_API_EXPORT const wchar_t *HID_API_CALL hid_error(hid_device *)
{
    std::unique_lock<std::mutex> lock(state().mutex);
    return state().lastError;
}

HID_API_EXPORT const struct hid_api_version *HID_API_CALL hid_version(void)
{
    static const hid_api_version version{HID_API_VERSION_MAJOR, HID_API_VERSION_MINOR, HID_API_VERSION_PATCH};
    return &version;
}

HID_API_EXPORT const char *HID_API_CALL hid_version_str(void)
{
    return HID_API_VERSION_STR;
}

} // extern "C"
