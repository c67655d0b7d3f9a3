// The HID services of Windows behind the device link's transport. A device
// is one handle opened for overlapped I/O, so that both the write and the
// read of a report can be given up after their time limit.
#include <windows.h>
#include <setupapi.h>

extern "C" {
#include <hidsdi.h>
}

#include <cstdlib>
#include <memory>

#include "device/win_hid_transport.h"
#include "device/win_pause.h"

namespace {

struct WinDevice final : HidDevice {
    WinDevice(HANDLE handle, HANDLE event) : handle(handle), event(event) {}
    HANDLE handle;
    HANDLE event;  // manual reset; signals the end of the I/O under way
};

HidFailure g_lastFailure = HidFailure::None;

void Fail(HidFailure failure) {
    g_lastFailure = failure;
}

// The cause behind the system's last error.
HidFailure FailureOfLastError() {
    switch (GetLastError()) {
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
            return HidFailure::AccessDenied;
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_DEVICE_NOT_CONNECTED:
        case ERROR_BAD_COMMAND:
        case ERROR_GEN_FAILURE:
            return HidFailure::NotConnected;
        case ERROR_INVALID_USER_BUFFER:
        case ERROR_INVALID_PARAMETER:
            return HidFailure::BadLength;
        default:
            return HidFailure::Other;
    }
}

struct DetailDeleter {
    void operator()(void* detail) const { std::free(detail); }
};
using Detail = std::unique_ptr<SP_DEVICE_INTERFACE_DETAIL_DATA_A, DetailDeleter>;

// The detail record, on the heap at the size the system asks for.
Detail FetchDetail(HDEVINFO info, SP_DEVICE_INTERFACE_DATA* data) {
    DWORD size = 0;
    SetupDiGetDeviceInterfaceDetailA(info, data, nullptr, 0, &size, nullptr);
    if (size < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A)) return nullptr;
    Detail detail(static_cast<PSP_DEVICE_INTERFACE_DETAIL_DATA_A>(std::malloc(size)));
    if (!detail) return nullptr;
    detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
    if (!SetupDiGetDeviceInterfaceDetailA(info, data, detail.get(), size, nullptr, nullptr)) {
        return nullptr;
    }
    return detail;
}

HANDLE OpenPath(const char* path, DWORD flags) {
    return CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                       nullptr, OPEN_EXISTING, flags, nullptr);
}

void ReadReportLengths(HANDLE handle, HidDeviceInfo* info) {
    PHIDP_PREPARSED_DATA preparsed = nullptr;
    if (!HidD_GetPreparsedData(handle, &preparsed)) return;
    HIDP_CAPS caps = {};
    info->lengthsRead = HidP_GetCaps(preparsed, &caps) == HIDP_STATUS_SUCCESS;
    HidD_FreePreparsedData(preparsed);
    info->outputReportLength = info->lengthsRead ? caps.OutputReportByteLength : 0;
    info->inputReportLength = info->lengthsRead ? caps.InputReportByteLength : 0;
}

// Opens the device at path to read its identity and report lengths; false
// when it cannot be opened or tells no identity.
bool Describe(const char* path, HidDeviceInfo* info) {
    HANDLE handle = OpenPath(path, 0);
    if (handle == INVALID_HANDLE_VALUE) return false;
    HIDD_ATTRIBUTES attributes = {};
    attributes.Size = sizeof(HIDD_ATTRIBUTES);
    bool known = HidD_GetAttributes(handle, &attributes);
    if (known) {
        info->path = path;
        info->vendorId = attributes.VendorID;
        info->productId = attributes.ProductID;
        ReadReportLengths(handle, info);
    }
    CloseHandle(handle);
    return known;
}

void ListInterfaces(HDEVINFO set, const GUID& hidGuid, std::vector<HidDeviceInfo>* devices) {
    SP_DEVICE_INTERFACE_DATA data = {};
    data.cbSize = sizeof(SP_DEVICE_INTERFACE_DATA);
    for (DWORD index = 0; SetupDiEnumDeviceInterfaces(set, nullptr, &hidGuid, index, &data);
         ++index) {
        Detail detail = FetchDetail(set, &data);
        HidDeviceInfo info;
        if (detail && Describe(detail->DevicePath, &info)) devices->push_back(info);
    }
}

// Waits up to timeoutMs for the overlapped I/O of device to end; the count
// of bytes it moved, or -1. I/O still under way then is cancelled, and
// waited for, since it owns its buffer until it has ended.
int FinishIo(WinDevice* device, OVERLAPPED* overlap, int timeoutMs) {
    bool inTime =
        WaitForSingleObject(device->event, static_cast<DWORD>(timeoutMs)) == WAIT_OBJECT_0;
    if (!inTime) CancelIo(device->handle);
    DWORD moved = 0;
    if (GetOverlappedResult(device->handle, overlap, &moved, TRUE)) return static_cast<int>(moved);
    Fail(inTime ? FailureOfLastError() : HidFailure::TimedOut);
    return -1;
}

// Starts I/O through start and waits for its end as FinishIo does.
template <typename Start>
int RunIo(WinDevice* device, int timeoutMs, Start start) {
    OVERLAPPED overlap = {};
    overlap.hEvent = device->event;
    if (!start(&overlap) && GetLastError() != ERROR_IO_PENDING) {
        Fail(FailureOfLastError());
        return -1;
    }
    return FinishIo(device, &overlap, timeoutMs);
}

std::vector<HidDeviceInfo> Enumerate() {
    std::vector<HidDeviceInfo> devices;
    GUID hidGuid;
    HidD_GetHidGuid(&hidGuid);
    HDEVINFO set =
        SetupDiGetClassDevsA(&hidGuid, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    if (set == INVALID_HANDLE_VALUE) {
        Fail(FailureOfLastError());
        return devices;
    }
    ListInterfaces(set, hidGuid, &devices);
    SetupDiDestroyDeviceInfoList(set);
    return devices;
}

HidDevice* Open(const std::string& path) {
    HANDLE handle = OpenPath(path.c_str(), FILE_FLAG_OVERLAPPED);
    if (handle == INVALID_HANDLE_VALUE) {
        Fail(FailureOfLastError());
        return nullptr;
    }
    HANDLE event = CreateEventA(nullptr, TRUE, TRUE, nullptr);
    if (event == nullptr) {
        Fail(FailureOfLastError());
        CloseHandle(handle);
        return nullptr;
    }
    return new WinDevice(handle, event);
}

void Close(HidDevice* device) {
    auto* own = static_cast<WinDevice*>(device);
    CloseHandle(own->handle);
    CloseHandle(own->event);
    delete own;
}

int Write(HidDevice* device, const uint8_t* report, int length, int timeoutMs) {
    auto* own = static_cast<WinDevice*>(device);
    int written = RunIo(own, timeoutMs, [&](OVERLAPPED* overlap) {
        return WriteFile(own->handle, report, static_cast<DWORD>(length), nullptr, overlap);
    });
    if (written < 0) return -1;
    if (written == length) return length;
    Fail(HidFailure::BadLength);
    return -1;
}

int Read(HidDevice* device, uint8_t* buffer, int capacity, int timeoutMs) {
    auto* own = static_cast<WinDevice*>(device);
    int read = RunIo(own, timeoutMs, [&](OVERLAPPED* overlap) {
        return ReadFile(own->handle, buffer, static_cast<DWORD>(capacity), nullptr, overlap);
    });
    if (read < 0 && g_lastFailure == HidFailure::TimedOut) return 0;
    return read;
}

HidFailure LastFailure() {
    return g_lastFailure;
}

void Pause(int milliseconds) {
    PauseExactly(milliseconds);
}

const HidTransport WIN_HID_TRANSPORT = {Enumerate, Open, Close, Write, Read, LastFailure, Pause};

}  // namespace

const HidTransport& WinHidTransport() {
    return WIN_HID_TRANSPORT;
}
