// The HID services of Windows behind the device link's platform layer.
#include <windows.h>
#include <setupapi.h>

extern "C" {
#include <hidsdi.h>
}

#include <cstdlib>

#include "device/hid_platform.h"

namespace {

// The HID interface class of the search under way.
GUID g_hidGuid;

// The one overlap record of every reply read; its event is the read event.
OVERLAPPED g_readOverlap;

HANDLE AsHandle(intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

HidHandle FromHandle(HANDLE handle) {
    if (handle == INVALID_HANDLE_VALUE) return HID_NO_HANDLE;
    return reinterpret_cast<HidHandle>(handle);
}

HDEVINFO AsInfoSet(HidDeviceSet set) {
    return static_cast<HDEVINFO>(set);
}

// The detail record, on the heap at the size the system asks for.
PSP_DEVICE_INTERFACE_DETAIL_DATA_A FetchDetail(HDEVINFO info, SP_DEVICE_INTERFACE_DATA* data) {
    DWORD size = 0;
    SetupDiGetDeviceInterfaceDetailA(info, data, nullptr, 0, &size, nullptr);
    if (size < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A)) return nullptr;
    auto detail = static_cast<PSP_DEVICE_INTERFACE_DETAIL_DATA_A>(std::malloc(size));
    if (detail == nullptr) return nullptr;
    detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
    if (!SetupDiGetDeviceInterfaceDetailA(info, data, detail, size, nullptr, nullptr)) {
        std::free(detail);
        return nullptr;
    }
    return detail;
}

}  // namespace

HidDeviceSet HidOpenDeviceSet() {
    HidD_GetHidGuid(&g_hidGuid);
    HDEVINFO info =
        SetupDiGetClassDevsA(&g_hidGuid, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    return info == INVALID_HANDLE_VALUE ? nullptr : info;
}

HidInterfaceResult HidGetInterface(HidDeviceSet set, int index, HidInterface* detail) {
    SP_DEVICE_INTERFACE_DATA data = {};
    data.cbSize = sizeof(SP_DEVICE_INTERFACE_DATA);
    if (!SetupDiEnumDeviceInterfaces(AsInfoSet(set), nullptr, &g_hidGuid, index, &data)) {
        return HID_INTERFACE_END;
    }
    *detail = FetchDetail(AsInfoSet(set), &data);
    return *detail == nullptr ? HID_INTERFACE_UNREADABLE : HID_INTERFACE_READY;
}

const char* HidInterfacePath(HidInterface detail) {
    return static_cast<PSP_DEVICE_INTERFACE_DETAIL_DATA_A>(detail)->DevicePath;
}

void HidFreeInterface(HidInterface detail) {
    std::free(detail);
}

void HidCloseDeviceSet(HidDeviceSet set) {
    SetupDiDestroyDeviceInfoList(AsInfoSet(set));
}

HidHandle HidOpenDevice(const char* path, HidOpenMode mode) {
    DWORD flags = mode == HID_OPEN_OVERLAPPED ? FILE_FLAG_OVERLAPPED : 0;
    return FromHandle(CreateFileA(path, GENERIC_READ | GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, flags,
                                  nullptr));
}

void HidCloseDevice(HidHandle device) {
    CloseHandle(AsHandle(device));
}

int HidGetAttributes(HidHandle device, HidAttributes* attributes) {
    HIDD_ATTRIBUTES record = {};
    record.Size = sizeof(HIDD_ATTRIBUTES);
    if (!HidD_GetAttributes(AsHandle(device), &record)) return 0;
    attributes->vendorId = record.VendorID;
    attributes->productId = record.ProductID;
    return 1;
}

int HidGetReportLengths(HidHandle device, HidReportLengths* lengths) {
    PHIDP_PREPARSED_DATA preparsed = nullptr;
    if (!HidD_GetPreparsedData(AsHandle(device), &preparsed)) return 0;
    HIDP_CAPS caps = {};
    NTSTATUS status = HidP_GetCaps(preparsed, &caps);
    HidD_FreePreparsedData(preparsed);
    if (status != HIDP_STATUS_SUCCESS) return 0;
    lengths->output = caps.OutputReportByteLength;
    lengths->input = caps.InputReportByteLength;
    return 1;
}

int HidWriteReport(HidHandle device, const uint8_t* report, int length) {
    DWORD written = 0;
    return WriteFile(AsHandle(device), report, static_cast<DWORD>(length), &written, nullptr) ? 1
                                                                                              : 0;
}

HidEvent HidCreateReadEvent() {
    HANDLE event = CreateEventA(nullptr, TRUE, TRUE, nullptr);
    if (event == nullptr) return HID_NO_EVENT;
    g_readOverlap = OVERLAPPED{};
    g_readOverlap.hEvent = event;
    return reinterpret_cast<HidEvent>(event);
}

HidReadStart HidStartRead(HidHandle device, uint8_t* buffer, int length) {
    if (ReadFile(AsHandle(device), buffer, static_cast<DWORD>(length), nullptr, &g_readOverlap)) {
        return HID_READ_DONE;
    }
    return GetLastError() == ERROR_IO_PENDING ? HID_READ_PENDING : HID_READ_FAILED;
}

int HidWaitRead(HidEvent event, int timeoutMs) {
    return WaitForSingleObject(AsHandle(event), static_cast<DWORD>(timeoutMs)) == WAIT_OBJECT_0;
}

void HidCancelRead(HidHandle device) {
    CancelIo(AsHandle(device));
    // The cancelled read may still complete; its buffer is free only once it has.
    DWORD transferred = 0;
    GetOverlappedResult(AsHandle(device), &g_readOverlap, &transferred, TRUE);
}

void HidResetEvent(HidEvent event) {
    ResetEvent(AsHandle(event));
}

void HidPause(int milliseconds) {
    Sleep(static_cast<DWORD>(milliseconds));
}
