// The link to the keyboard module: finding it among the HID devices and
// holding the device through which reports are exchanged with it.
#pragma once

#include "device/hid_transport.h"

constexpr int MODULE_VENDOR_ID = 0x10F7;

// Report buffers hold the largest full-speed HID report with its report ID.
constexpr int REPORT_BUFFER_SIZE = 65;
// Report ID and request bytes 1 to 8; report ID and reply bytes 1 to 6.
constexpr int MIN_OUTPUT_REPORT_LENGTH = 9;
constexpr int MIN_INPUT_REPORT_LENGTH = 7;

// The one connection to the module; all zero at program start.
struct HidLink {
    int linkUp;         // 1 while the open module has not failed a write or a reply
    int lastProductId;  // product id of the last module found; never cleared
    HidDevice* device;  // the module last found; stays open until the next one is
    int outputReportLength;
    int inputReportLength;
    // When not empty, the one path at which a search finds the module: a link
    // made for one module of several never comes back up on another.
    std::string onlyPath;
};

extern HidLink g_hidLink;

// 1 when reports of these lengths carry a whole request and reply and fit
// the report buffers.
int ReportLengthsFit(int outputLength, int inputLength);

// Whether a listed device has a module's ids: the vendor's and a model's.
bool IsModule(const HidDeviceInfo& info);

// Whether a device's reports may carry the module's requests and replies:
// they fit, or the device tells no lengths. An interface with a module's ids
// whose reports cannot, such as the keyboard collection beside it on one
// device, is not the module.
bool ReportsMayFit(const HidDeviceInfo& info);

// Searches for the module with this product id and opens it; returns the
// product id when it was found, else 0. Leaves the link-up flag set to match.
int ConnectModule(int productId);

// The search of the main window: the module with the first product id and,
// only when none is found, the one with the second, over a single listing of
// the devices. The same choice as ConnectModule(first) and then, if that
// gave 0, ConnectModule(second); returns the product id connected, or 0.
int ConnectModuleOf(int firstProductId, int secondProductId);
// Connects the module that info lists, among any others of its model; it
// stays the only one the link may reopen until the next ConnectModule.
// Returns its product id when it was opened, else 0.
int ConnectModuleAt(const HidDeviceInfo& info);

// Searches the present HID devices for the module with this product id and
// opens it; 1 = found and opened. Does not touch the link-up flag.
int FindHidDevice(int productId);

// Takes the report lengths of the device found; 1 = it told them.
int ReadCapabilities(const HidDeviceInfo& info);

// Opens path as the link's device, closing the one open before; 1 = opened.
int OpenDeviceHandle(const std::string& path);

// Closes the link's device, if one is open, and leaves the link as at
// program start.
void CloseModule();
