// The stand-in setupapi.dll: the device-setup calls the program makes to
// list the HID interfaces, answered from the emulated bus. Each interface's
// path names the device's pipe (device_pipe_name.h).
#include <windows.h>
#define _SETUPAPI_
#include <setupapi.h>

#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

#include "emu/standin/pipe_emulator.h"

namespace {

// {4D1E55B2-F16F-11CF-88CB-001111000030}, as HidD_GetHidGuid gives it.
constexpr GUID HID_INTERFACE_CLASS = {
    0x4D1E55B2, 0xF16F, 0x11CF, {0x88, 0xCB, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}};
constexpr unsigned SET_MARK = 0x55534244;

// What the program holds as an HDEVINFO: the interfaces of one listing.
struct InterfaceSet {
    unsigned mark = SET_MARK;
    std::vector<std::string> paths;
};

InterfaceSet* SetOf(HDEVINFO info) {
    auto* set = static_cast<InterfaceSet*>(info);
    return set != nullptr && set != INVALID_HANDLE_VALUE && set->mark == SET_MARK ? set : nullptr;
}

BOOL Refuse(DWORD error) {
    SetLastError(error);
    return FALSE;
}

// The listed path that the interface record stands for, or nullptr.
const std::string* PathOf(InterfaceSet* set, const SP_DEVICE_INTERFACE_DATA* data) {
    if (set == nullptr || data == nullptr || data->cbSize != sizeof(SP_DEVICE_INTERFACE_DATA)) {
        return nullptr;
    }
    size_t index = static_cast<size_t>(data->Reserved);
    return index >= 1 && index <= set->paths.size() ? &set->paths[index - 1] : nullptr;
}

}  // namespace

extern "C" {

HDEVINFO WINAPI SetupDiGetClassDevsA(const GUID* classGuid, PCSTR, HWND, DWORD flags) {
    auto* set = new InterfaceSet;
    bool hidInterfaces = classGuid != nullptr && (flags & DIGCF_DEVICEINTERFACE) != 0 &&
                         IsEqualGUID(*classGuid, HID_INTERFACE_CLASS);
    if (hidInterfaces) {
        StartPipeEmulator();
        set->paths = ListDevicePipes();
    }
    return set;
}

BOOL WINAPI SetupDiEnumDeviceInterfaces(HDEVINFO info, PSP_DEVINFO_DATA, const GUID* classGuid,
                                        DWORD index, PSP_DEVICE_INTERFACE_DATA data) {
    InterfaceSet* set = SetOf(info);
    if (set == nullptr) return Refuse(ERROR_INVALID_HANDLE);
    if (data == nullptr || data->cbSize != sizeof(SP_DEVICE_INTERFACE_DATA) ||
        classGuid == nullptr) {
        return Refuse(ERROR_INVALID_USER_BUFFER);
    }
    if (index >= set->paths.size()) return Refuse(ERROR_NO_MORE_ITEMS);
    data->InterfaceClassGuid = *classGuid;
    data->Flags = SPINT_ACTIVE;
    data->Reserved = static_cast<ULONG_PTR>(index) + 1;
    return TRUE;
}

BOOL WINAPI SetupDiGetDeviceInterfaceDetailA(HDEVINFO info, PSP_DEVICE_INTERFACE_DATA data,
                                             PSP_DEVICE_INTERFACE_DETAIL_DATA_A detail,
                                             DWORD detailSize, PDWORD requiredSize,
                                             PSP_DEVINFO_DATA) {
    const std::string* path = PathOf(SetOf(info), data);
    if (path == nullptr) return Refuse(ERROR_INVALID_PARAMETER);
    DWORD needed = static_cast<DWORD>(offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_A, DevicePath) +
                                      path->size() + 1);
    if (requiredSize != nullptr) *requiredSize = needed;
    if (detail == nullptr && detailSize == 0) return Refuse(ERROR_INSUFFICIENT_BUFFER);
    if (detail == nullptr || detail->cbSize != sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A)) {
        return Refuse(ERROR_INVALID_USER_BUFFER);
    }
    if (detailSize < needed) return Refuse(ERROR_INSUFFICIENT_BUFFER);
    std::memcpy(detail->DevicePath, path->c_str(), path->size() + 1);
    return TRUE;
}

BOOL WINAPI SetupDiDestroyDeviceInfoList(HDEVINFO info) {
    InterfaceSet* set = SetOf(info);
    if (set == nullptr) return Refuse(ERROR_INVALID_HANDLE);
    set->mark = 0;
    delete set;
    return TRUE;
}

}  // extern "C"
