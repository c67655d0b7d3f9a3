// hid_init runs once, before the first enumeration or opening; hid_exit is
// left to atexit, since the device link holds its module open to the end of
// the program and the transport has no call of its own for the end.
//
// hid_write blocks until the system has taken the report, so a write's time
// limit is the system's own.
#include "device/hidapi_transport.h"

#include <hidapi.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "device/report_descriptor.h"

#if HID_API_VERSION < HID_API_MAKE_VERSION(0, 14, 0)
#include "device/hidraw_sysfs.h"
#endif

namespace {

struct HidapiDevice final : HidDevice {
    HidapiDevice(hid_device* handle, const ReportLengths& lengths)
        : handle(handle), lengths(lengths) {}
    hid_device* handle;
    ReportLengths lengths;
};

HidFailure g_lastFailure = HidFailure::None;
bool g_initialised = false;

void Fail(HidFailure failure) {
    g_lastFailure = failure;
}

void ExitHidapi() {
    hid_exit();
}

bool Initialise() {
    if (g_initialised) return true;
    if (hid_init() != 0) {
        Fail(HidFailure::Other);
        return false;
    }
    g_initialised = true;
    std::atexit(ExitHidapi);
    return true;
}

HidFailure FailureOfOpenError(int error) {
    switch (error) {
        case EACCES:
        case EPERM:
            return HidFailure::AccessDenied;
        case ENOENT:
        case ENODEV:
        case ENXIO:
            return HidFailure::NotConnected;
        default:
            return HidFailure::Other;
    }
}

bool ParseDescriptor(const std::vector<uint8_t>& descriptor, ReportLengths* lengths) {
    return ParseReportDescriptor(descriptor.data(), descriptor.size(), lengths);
}

#if HID_API_VERSION >= HID_API_MAKE_VERSION(0, 14, 0)

bool LengthsOfOpen(hid_device* handle, const char*, ReportLengths* lengths) {
    std::vector<uint8_t> descriptor(HID_API_MAX_REPORT_DESCRIPTOR_SIZE);
    int size = hid_get_report_descriptor(handle, descriptor.data(), descriptor.size());
    if (size < 0) return false;
    descriptor.resize(static_cast<size_t>(size));
    return ParseDescriptor(descriptor, lengths);
}

bool LengthsOfPath(const char* path, ReportLengths* lengths) {
    hid_device* handle = hid_open_path(path);
    if (handle == nullptr) return false;
    bool known = LengthsOfOpen(handle, path, lengths);
    hid_close(handle);
    return known;
}

#else

bool LengthsOfPath(const char* path, ReportLengths* lengths) {
    std::vector<uint8_t> descriptor;
    return ReadHidrawDescriptor(path, &descriptor) && ParseDescriptor(descriptor, lengths);
}

bool LengthsOfOpen(hid_device*, const char* path, ReportLengths* lengths) {
    return LengthsOfPath(path, lengths);
}

#endif

HidDeviceInfo Describe(const hid_device_info& interface) {
    HidDeviceInfo info;
    info.path = interface.path;
    info.vendorId = interface.vendor_id;
    info.productId = interface.product_id;
    ReportLengths lengths;
    info.lengthsRead = LengthsOfPath(interface.path, &lengths);
    info.outputReportLength = info.lengthsRead ? lengths.outputLength : 0;
    info.inputReportLength = info.lengthsRead ? lengths.inputLength : 0;
    return info;
}

// Every HID interface: a device with several has one path for each.
std::vector<HidDeviceInfo> Enumerate() {
    std::vector<HidDeviceInfo> devices;
    if (!Initialise()) return devices;
    hid_device_info* list = hid_enumerate(0, 0);
    for (const hid_device_info* interface = list; interface != nullptr;
         interface = interface->next) {
        if (interface->path != nullptr) devices.push_back(Describe(*interface));
    }
    hid_free_enumeration(list);
    return devices;
}

// A device whose descriptor cannot be read is refused: without it, where
// its input reports start is not known.
HidDevice* Open(const std::string& path) {
    if (!Initialise()) return nullptr;
    errno = 0;
    hid_device* handle = hid_open_path(path.c_str());
    if (handle == nullptr) {
        Fail(FailureOfOpenError(errno));
        return nullptr;
    }
    ReportLengths lengths;
    if (!LengthsOfOpen(handle, path.c_str(), &lengths)) {
        hid_close(handle);
        Fail(HidFailure::Other);
        return nullptr;
    }
    return new HidapiDevice(handle, lengths);
}

void Close(HidDevice* device) {
    auto* own = static_cast<HidapiDevice*>(device);
    hid_close(own->handle);
    delete own;
}

// hid_write takes the report ID as byte 0 for numbered and unnumbered
// reports alike, as Windows does.
int Write(HidDevice* device, const uint8_t* report, int length, int) {
    auto* own = static_cast<HidapiDevice*>(device);
    if (length < 1 || length != own->lengths.outputLength) {
        Fail(HidFailure::BadLength);
        return -1;
    }
    int written = hid_write(own->handle, report, static_cast<size_t>(length));
    if (written == length) return length;
    Fail(written < 0 ? HidFailure::NotConnected : HidFailure::BadLength);
    return -1;
}

// A numbered report comes with its ID in byte 0; an unnumbered one without,
// and is read in after the 0 that stands in front of it.
int Read(HidDevice* device, uint8_t* buffer, int capacity, int timeoutMs) {
    auto* own = static_cast<HidapiDevice*>(device);
    const int idBytes = own->lengths.numbered ? 0 : 1;
    if (capacity < own->lengths.inputLength || capacity <= idBytes) {
        Fail(HidFailure::BadLength);
        return -1;
    }
    int read = hid_read_timeout(own->handle, buffer + idBytes,
                                static_cast<size_t>(capacity - idBytes), timeoutMs);
    if (read < 0) Fail(HidFailure::NotConnected);
    if (read == 0) Fail(HidFailure::TimedOut);
    if (read <= 0) return read;
    if (idBytes == 1) buffer[0] = 0;
    return read + idBytes;
}

HidFailure LastFailure() {
    return g_lastFailure;
}

void Pause(int milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

const HidTransport HIDAPI_TRANSPORT = {Enumerate, Open, Close, Write, Read, LastFailure, Pause};

}  // namespace

const HidTransport& HidapiTransport() {
    return HIDAPI_TRANSPORT;
}
