#include "device/hid_link.h"

HidLink g_hidLink;

namespace {

// What one examined interface means for the search.
enum SearchStep { SEARCH_GOES_ON, SEARCH_FOUND, SEARCH_ENDS };

void CloseSyncHandle() {
    if (g_hidLink.syncHandle != HID_NO_HANDLE) HidCloseDevice(g_hidLink.syncHandle);
    g_hidLink.syncHandle = HID_NO_HANDLE;
}

int HasModuleIdentity(HidHandle device, int productId) {
    HidAttributes attributes = {};
    if (!HidGetAttributes(device, &attributes)) return 0;
    return attributes.vendorId == MODULE_VENDOR_ID && (attributes.productId & 0xFFFF) == productId;
}

// Opens path as the synchronous handle and keeps it, with a read handle,
// when it is the module. A module that answers its identity but whose
// capabilities or read handle cannot be had ends the search unfound.
SearchStep ExamineDevice(const char* path, int productId) {
    CloseSyncHandle();
    g_hidLink.syncHandle = HidOpenDevice(path, HID_OPEN_SYNC);
    if (g_hidLink.syncHandle == HID_NO_HANDLE) return SEARCH_GOES_ON;
    SearchStep step = SEARCH_GOES_ON;
    if (HasModuleIdentity(g_hidLink.syncHandle, productId)) {
        if (!ReadCapabilities()) {
            step = SEARCH_ENDS;
        } else if (ReportLengthsFit(g_hidLink.outputReportLength, g_hidLink.inputReportLength)) {
            g_hidLink.lastProductId = productId;
            step = OpenReadHandle(path) ? SEARCH_FOUND : SEARCH_ENDS;
        }
    }
    if (step != SEARCH_FOUND) CloseSyncHandle();
    return step;
}

SearchStep ExamineInterface(HidDeviceSet set, int index, int productId) {
    HidInterface detail = nullptr;
    HidInterfaceResult result = HidGetInterface(set, index, &detail);
    if (result == HID_INTERFACE_END) return SEARCH_ENDS;
    if (result == HID_INTERFACE_UNREADABLE) return SEARCH_GOES_ON;
    SearchStep step = ExamineDevice(HidInterfacePath(detail), productId);
    HidFreeInterface(detail);
    return step;
}

}  // namespace

int ReportLengthsFit(int outputLength, int inputLength) {
    return outputLength >= MIN_OUTPUT_REPORT_LENGTH && outputLength <= REPORT_BUFFER_SIZE &&
           inputLength >= MIN_INPUT_REPORT_LENGTH && inputLength <= REPORT_BUFFER_SIZE;
}

int ConnectModule(int productId) {
    g_hidLink.linkUp = FindHidDevice(productId);
    return g_hidLink.linkUp == 1 ? productId : 0;
}

int FindHidDevice(int productId) {
    HidDeviceSet set = HidOpenDeviceSet();
    if (set == nullptr) return 0;
    SearchStep step = SEARCH_GOES_ON;
    for (int index = 0; step == SEARCH_GOES_ON; ++index) {
        step = ExamineInterface(set, index, productId);
    }
    HidCloseDeviceSet(set);
    return step == SEARCH_FOUND ? 1 : 0;
}

int ReadCapabilities() {
    HidReportLengths lengths = {};
    int read = HidGetReportLengths(g_hidLink.syncHandle, &lengths);
    g_hidLink.outputReportLength = read ? lengths.output : 0;
    g_hidLink.inputReportLength = read ? lengths.input : 0;
    return read;
}

int OpenReadHandle(const char* path) {
    if (g_hidLink.readHandle != HID_NO_HANDLE) HidCloseDevice(g_hidLink.readHandle);
    g_hidLink.readHandle = HidOpenDevice(path, HID_OPEN_OVERLAPPED);
    if (g_hidLink.readEvent == HID_NO_EVENT) g_hidLink.readEvent = HidCreateReadEvent();
    return g_hidLink.readHandle != HID_NO_HANDLE && g_hidLink.readEvent != HID_NO_EVENT;
}
