// The stand-in hid.dll: the HID class calls the program makes on an open
// device, answered from what the name of the device's pipe tells
// (device_pipe_name.h), which the system gives for the handle.
#include <windows.h>

extern "C" {
#include <hidsdi.h>
}

#include <string>

#include "emu/standin/device_pipe_name.h"

// The report lengths of one device, as HidD_GetPreparsedData hands them out.
struct _HIDP_PREPARSED_DATA {
    unsigned mark;
    USHORT outputLength;
    USHORT inputLength;
};

namespace {

// {4D1E55B2-F16F-11CF-88CB-001111000030}
constexpr GUID HID_INTERFACE_CLASS = {
    0x4D1E55B2, 0xF16F, 0x11CF, {0x88, 0xCB, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}};
constexpr unsigned PREPARSED_MARK = 0x48494450;
constexpr USHORT DEVICE_VERSION = 0x0100;
constexpr USHORT VENDOR_USAGE_PAGE = 0xFF00;
constexpr DWORD NAME_ROOM = 1024;

// The facts of the device behind handle; false when it is not a device pipe.
bool FactsOf(HANDLE handle, DevicePipeFacts* facts) {
    union {
        FILE_NAME_INFO info;
        unsigned char room[sizeof(FILE_NAME_INFO) + NAME_ROOM * sizeof(WCHAR)];
    } name = {};
    if (!GetFileInformationByHandleEx(handle, FileNameInfo, &name, sizeof name)) return false;
    DWORD characters = name.info.FileNameLength / sizeof(WCHAR);
    char narrow[NAME_ROOM * 2];
    int length = WideCharToMultiByte(CP_ACP, 0, name.info.FileName, static_cast<int>(characters),
                                     narrow, sizeof narrow, nullptr, nullptr);
    return length > 0 &&
           ReadDevicePipeName(std::string(narrow, static_cast<size_t>(length)), facts);
}

BOOLEAN Refuse(DWORD error) {
    SetLastError(error);
    return FALSE;
}

}  // namespace

extern "C" {

void NTAPI HidD_GetHidGuid(LPGUID hidGuid) {
    if (hidGuid != nullptr) *hidGuid = HID_INTERFACE_CLASS;
}

BOOLEAN NTAPI HidD_GetAttributes(HANDLE device, PHIDD_ATTRIBUTES attributes) {
    DevicePipeFacts facts;
    if (attributes == nullptr || !FactsOf(device, &facts)) return Refuse(ERROR_INVALID_HANDLE);
    if (!facts.identityReadable) return Refuse(ERROR_NOT_SUPPORTED);
    attributes->Size = sizeof(HIDD_ATTRIBUTES);
    attributes->VendorID = static_cast<USHORT>(facts.vendorId);
    attributes->ProductID = static_cast<USHORT>(facts.productId);
    attributes->VersionNumber = DEVICE_VERSION;
    return TRUE;
}

BOOLEAN NTAPI HidD_GetPreparsedData(HANDLE device, PHIDP_PREPARSED_DATA* preparsed) {
    DevicePipeFacts facts;
    if (preparsed == nullptr || !FactsOf(device, &facts)) return Refuse(ERROR_INVALID_HANDLE);
    if (!facts.capsReadable) return Refuse(ERROR_NOT_SUPPORTED);
    *preparsed = new _HIDP_PREPARSED_DATA{PREPARSED_MARK, static_cast<USHORT>(facts.outputLength),
                                          static_cast<USHORT>(facts.inputLength)};
    return TRUE;
}

BOOLEAN NTAPI HidD_FreePreparsedData(PHIDP_PREPARSED_DATA preparsed) {
    if (preparsed == nullptr || preparsed->mark != PREPARSED_MARK) {
        return Refuse(ERROR_INVALID_PARAMETER);
    }
    preparsed->mark = 0;
    delete preparsed;
    return TRUE;
}

NTSTATUS NTAPI HidP_GetCaps(PHIDP_PREPARSED_DATA preparsed, PHIDP_CAPS caps) {
    if (preparsed == nullptr || preparsed->mark != PREPARSED_MARK || caps == nullptr) {
        return HIDP_STATUS_INVALID_PREPARSED_DATA;
    }
    *caps = HIDP_CAPS{};
    caps->UsagePage = VENDOR_USAGE_PAGE;
    caps->Usage = 1;
    caps->OutputReportByteLength = preparsed->outputLength;
    caps->InputReportByteLength = preparsed->inputLength;
    return HIDP_STATUS_SUCCESS;
}

}  // extern "C"
