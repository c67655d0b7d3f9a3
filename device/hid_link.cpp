#include "device/hid_link.h"

#include "model/key_table.h"

HidLink g_hidLink;

namespace {

// What one listed device means for the search.
enum class SearchStep { GoesOn, Found, Ends };

bool HasModuleIdentity(const HidDeviceInfo& info, int productId) {
    bool allowedPath = g_hidLink.onlyPath.empty() || info.path == g_hidLink.onlyPath;
    return allowedPath && IsModule(info) && info.productId == productId;
}

// A module that tells its identity but whose report lengths or handle cannot
// be had ends the search unfound; one whose reports do not fit is passed over.
SearchStep ExamineDevice(const HidDeviceInfo& info, int productId) {
    if (!HasModuleIdentity(info, productId)) return SearchStep::GoesOn;
    if (!ReadCapabilities(info)) return SearchStep::Ends;
    if (!ReportsMayFit(info)) return SearchStep::GoesOn;
    g_hidLink.lastProductId = productId;
    return OpenDeviceHandle(info.path) ? SearchStep::Found : SearchStep::Ends;
}

// The search of FindHidDevice over devices already listed.
int FindInList(const std::vector<HidDeviceInfo>& devices, int productId) {
    for (const HidDeviceInfo& info : devices) {
        SearchStep step = ExamineDevice(info, productId);
        if (step != SearchStep::GoesOn) return step == SearchStep::Found ? 1 : 0;
    }
    return 0;
}

}  // namespace

int ReportLengthsFit(int outputLength, int inputLength) {
    return outputLength >= MIN_OUTPUT_REPORT_LENGTH && outputLength <= REPORT_BUFFER_SIZE &&
           inputLength >= MIN_INPUT_REPORT_LENGTH && inputLength <= REPORT_BUFFER_SIZE;
}

bool IsModule(const HidDeviceInfo& info) {
    return info.vendorId == MODULE_VENDOR_ID &&
           (info.productId == MODEL_QX206 || info.productId == MODEL_QX209);
}

bool ReportsMayFit(const HidDeviceInfo& info) {
    return !info.lengthsRead || ReportLengthsFit(info.outputReportLength, info.inputReportLength);
}

int ConnectModule(int productId) {
    g_hidLink.onlyPath.clear();
    g_hidLink.linkUp = FindHidDevice(productId);
    return g_hidLink.linkUp == 1 ? productId : 0;
}

int ConnectModuleAt(const HidDeviceInfo& info) {
    g_hidLink.onlyPath = info.path;
    int productId = info.productId & 0xFFFF;
    g_hidLink.linkUp = FindHidDevice(productId);
    return g_hidLink.linkUp == 1 ? productId : 0;
}

int ConnectModuleOf(int firstProductId, int secondProductId) {
    g_hidLink.onlyPath.clear();
    const std::vector<HidDeviceInfo> devices = HidEnumerate();
    for (int productId : {firstProductId, secondProductId}) {
        g_hidLink.linkUp = FindInList(devices, productId);
        if (g_hidLink.linkUp == 1) return productId;
    }
    return 0;
}

int FindHidDevice(int productId) {
    return FindInList(HidEnumerate(), productId);
}

int ReadCapabilities(const HidDeviceInfo& info) {
    g_hidLink.outputReportLength = info.lengthsRead ? info.outputReportLength : 0;
    g_hidLink.inputReportLength = info.lengthsRead ? info.inputReportLength : 0;
    return info.lengthsRead ? 1 : 0;
}

void CloseModule() {
    if (g_hidLink.device != nullptr) HidClose(g_hidLink.device);
    g_hidLink = HidLink{};
}

int OpenDeviceHandle(const std::string& path) {
    if (g_hidLink.device != nullptr) HidClose(g_hidLink.device);
    g_hidLink.device = HidOpen(path);
    return g_hidLink.device != nullptr ? 1 : 0;
}
