#include "web/webhid_transport.h"

#include <emscripten.h>

#include <cstdlib>
#include <cstring>

// clang-format off
// The granted devices, one line each: "path vendor product outlen inlen".
EM_JS(int, page_hid_list, (char* text, int size), {
    return stringToUTF8(Module.hid.listText(), text, size);
});
EM_ASYNC_JS(int, page_hid_open, (const char* path), {
    return await Module.hid.open(UTF8ToString(path));
});
EM_JS(void, page_hid_close, (int handle), { Module.hid.close(handle); });
EM_ASYNC_JS(int, page_hid_write, (int handle, const uint8_t* report, int length), {
    return await Module.hid.write(handle, HEAPU8.slice(report, report + length));
});
EM_ASYNC_JS(int, page_hid_read, (int handle, uint8_t* buffer, int capacity, int timeoutMs), {
    return await Module.hid.read(handle, buffer, capacity, timeoutMs);
});
EM_ASYNC_JS(void, page_pause, (int milliseconds), {
    await new Promise(function(resolve) { setTimeout(resolve, milliseconds); });
});
// clang-format on

namespace {

constexpr int LIST_SIZE = 8192;

struct WebHidDevice : HidDevice {
    int handle = 0;
};

HidFailure g_lastFailure = HidFailure::None;

// The number at *text (after spaces) in base, and *text moved past it; false
// when there is none.
bool ReadNumber(const char** text, int base, int* value) {
    char* end = nullptr;
    long number = std::strtol(*text, &end, base);
    if (end == *text) return false;
    *value = static_cast<int>(number);
    *text = end;
    return true;
}

// One line of the page's list; false when it is not one.
bool ParseDeviceLine(const char* line, HidDeviceInfo* info) {
    const char* space = std::strchr(line, ' ');
    if (space == nullptr || space == line) return false;
    const char* rest = space;
    if (!ReadNumber(&rest, 16, &info->vendorId) || !ReadNumber(&rest, 16, &info->productId) ||
        !ReadNumber(&rest, 10, &info->outputReportLength) ||
        !ReadNumber(&rest, 10, &info->inputReportLength)) {
        return false;
    }
    info->path.assign(line, space);
    info->lengthsRead = true;
    return true;
}

std::vector<HidDeviceInfo> Enumerate() {
    static char text[LIST_SIZE];
    page_hid_list(text, sizeof text);
    std::vector<HidDeviceInfo> devices;
    for (char* line = std::strtok(text, "\n"); line != nullptr; line = std::strtok(nullptr, "\n")) {
        HidDeviceInfo info;
        if (ParseDeviceLine(line, &info)) devices.push_back(info);
    }
    return devices;
}

HidDevice* Open(const std::string& path) {
    int handle = page_hid_open(path.c_str());
    if (handle <= 0) {
        g_lastFailure = handle == 0 ? HidFailure::NotConnected : HidFailure::AccessDenied;
        return nullptr;
    }
    WebHidDevice* device = new WebHidDevice;
    device->handle = handle;
    return device;
}

void Close(HidDevice* device) {
    WebHidDevice* web = static_cast<WebHidDevice*>(device);
    page_hid_close(web->handle);
    delete web;
}

int Write(HidDevice* device, const uint8_t* report, int length, int) {
    int written = page_hid_write(static_cast<WebHidDevice*>(device)->handle, report, length);
    if (written != length) g_lastFailure = HidFailure::NotConnected;
    return written == length ? length : -1;
}

int Read(HidDevice* device, uint8_t* buffer, int capacity, int timeoutMs) {
    int length =
        page_hid_read(static_cast<WebHidDevice*>(device)->handle, buffer, capacity, timeoutMs);
    if (length <= 0) g_lastFailure = length == 0 ? HidFailure::TimedOut : HidFailure::NotConnected;
    return length;
}

HidFailure LastFailure() {
    return g_lastFailure;
}

const HidTransport WEBHID_TRANSPORT = {Enumerate, Open,        Close,     Write,
                                       Read,      LastFailure, page_pause};

}  // namespace

const HidTransport& WebHidTransport() {
    return WEBHID_TRANSPORT;
}

// The demo's transport waits between transactions as the module's does.
void PagePause(int milliseconds) {
    page_pause(milliseconds);
}
