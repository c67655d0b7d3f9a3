#include "emu/presenter/gadget_device.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>

namespace {

constexpr char GADGETS[] = "/sys/kernel/config/usb_gadget/";
constexpr char FUNCTION[] = "functions/hid.usb0";
constexpr char CONFIG[] = "configs/c.1";
constexpr char STRINGS[] = "strings/0x409";

bool Put(const std::string& path, const std::string& text) {
    std::ofstream file(path, std::ios::binary);
    file << text;
    file.close();
    return !file.fail();
}

std::string Hex4(int value) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%04x", value & 0xFFFF);
    return text;
}

// The device node of the function: its "major:minor" in configfs, then
// the name udev's uevent gives it.
std::string FunctionNode(const std::string& function) {
    std::string number;
    std::ifstream(function + "/dev") >> number;
    std::ifstream uevent("/sys/dev/char/" + number + "/uevent");
    std::string line;
    while (std::getline(uevent, line)) {
        if (line.rfind("DEVNAME=", 0) == 0) return "/dev/" + line.substr(8);
    }
    return "";
}

}  // namespace

GadgetDevice::GadgetDevice(const DeviceIdentity& identity, int udc)
    : root_(GADGETS + ("usbkbd" + std::to_string(udc))), reportBytes_(identity.reportBytes) {
    if (!Build(identity, udc)) TakeDown();
}

GadgetDevice::~GadgetDevice() {
    TakeDown();
}

bool GadgetDevice::Build(const DeviceIdentity& identity, int udc) {
    const std::string function = root_ + "/" + FUNCTION;
    const std::string config = root_ + "/" + CONFIG;
    const std::string strings = root_ + "/" + STRINGS;
    std::string descriptor(identity.descriptor.begin(), identity.descriptor.end());
    bool built =
        mkdir(root_.c_str(), 0755) == 0 && Put(root_ + "/idVendor", Hex4(identity.vendorId)) &&
        Put(root_ + "/idProduct", Hex4(identity.productId)) && Put(root_ + "/bcdUSB", "0x0200") &&
        mkdir(strings.c_str(), 0755) == 0 && Put(strings + "/serialnumber", identity.serial) &&
        Put(strings + "/product", identity.name) && mkdir(function.c_str(), 0755) == 0 &&
        Put(function + "/report_length", std::to_string(reportBytes_)) &&
        Put(function + "/report_desc", descriptor) && mkdir(config.c_str(), 0755) == 0 &&
        symlink(function.c_str(), (config + "/hid.usb0").c_str()) == 0 &&
        Put(root_ + "/UDC", "dummy_udc." + std::to_string(udc));
    if (!built) return false;
    std::string node = FunctionNode(function);
    fd_ = node.empty() ? -1 : open(node.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    return fd_ >= 0;
}

// Unbinding the gadget takes the device off the bus; the folders go in the
// reverse order of their making. Any of them may be missing.
void GadgetDevice::TakeDown() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
    Put(root_ + "/UDC", "\n");
    unlink((root_ + "/" + CONFIG + "/hid.usb0").c_str());
    for (const char* folder : {CONFIG, FUNCTION, STRINGS, ""}) {
        rmdir((root_ + "/" + folder).c_str());
    }
}

// usbhid sends the report without its ID byte 0; the module's side counts it.
bool GadgetDevice::TakeOutput(std::vector<uint8_t>* report) {
    std::vector<uint8_t> data(static_cast<size_t>(reportBytes_));
    ssize_t length = read(fd_, data.data(), data.size());
    if (length <= 0) return false;
    report->assign(1, 0);
    report->insert(report->end(), data.begin(), data.begin() + length);
    return true;
}

bool GadgetDevice::SendInput(const uint8_t* data, int length) {
    return length >= 0 && write(fd_, data, static_cast<size_t>(length)) == length;
}
