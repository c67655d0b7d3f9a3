#include "device/hidraw_sysfs.h"

#include <cstdio>

namespace {

// The kernel keeps descriptors of at most this many bytes.
constexpr size_t MAX_DESCRIPTOR_SIZE = 4096;

std::string g_sysfsRoot = "/sys/class/hidraw";

// "hidrawN" of "/dev/hidrawN"; empty when the path names no hidraw node, so
// that no other path leads into sysfs.
std::string NodeName(const std::string& devicePath) {
    static const std::string PREFIX = "hidraw";
    const size_t slash = devicePath.rfind('/');
    std::string name = slash == std::string::npos ? devicePath : devicePath.substr(slash + 1);
    if (name.size() <= PREFIX.size() || name.compare(0, PREFIX.size(), PREFIX) != 0) return "";
    for (size_t i = PREFIX.size(); i < name.size(); ++i) {
        if (name[i] < '0' || name[i] > '9') return "";
    }
    return name;
}

}  // namespace

void SetHidrawSysfsRoot(const std::string& root) {
    g_sysfsRoot = root;
}

bool ReadHidrawDescriptor(const std::string& devicePath, std::vector<uint8_t>* descriptor) {
    const std::string name = NodeName(devicePath);
    if (name.empty()) return false;
    const std::string file = g_sysfsRoot + "/" + name + "/device/report_descriptor";
    FILE* stream = std::fopen(file.c_str(), "rb");
    if (stream == nullptr) return false;
    // One byte more than a descriptor can have tells a file that is too long.
    uint8_t bytes[MAX_DESCRIPTOR_SIZE + 1];
    const size_t size = std::fread(bytes, 1, sizeof bytes, stream);
    const bool whole = std::ferror(stream) == 0 && size <= MAX_DESCRIPTOR_SIZE;
    std::fclose(stream);
    if (whole) descriptor->assign(bytes, bytes + size);
    return whole;
}
