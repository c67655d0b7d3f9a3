#include "emu/standin/device_pipe_name.h"

#include <windows.h>

#include <cstdio>

namespace {

constexpr char PIPE_FOLDER[] = "\\\\.\\pipe\\";
constexpr char EMULATOR_PREFIX[] = "usbkbd-emu-";
constexpr char SYSTEM_PATH_PREFIX[] = "\\\\?\\";

int Flag(bool value) {
    return value ? 1 : 0;
}

// The hex number after key ("vid_") in name, or -1.
int HexAfter(const std::string& name, const char* key) {
    size_t at = name.find(key);
    unsigned value = 0;
    if (at == std::string::npos || std::sscanf(name.c_str() + at + 4, "%4x", &value) != 1) {
        return -1;
    }
    return static_cast<int>(value);
}

}  // namespace

std::string DevicePipeName(const SimDevice& device) {
    std::string path = device.path;
    if (path.compare(0, sizeof SYSTEM_PATH_PREFIX - 1, SYSTEM_PATH_PREFIX) == 0) {
        path.erase(0, sizeof SYSTEM_PATH_PREFIX - 1);
    }
    char facts[64];
    std::snprintf(facts, sizeof facts, "#o%d-i%d-n%d-c%d-a%d", device.outputLength,
                  device.inputLength, Flag(device.identityReadable), Flag(device.capsReadable),
                  Flag(device.opensForReports));
    return std::string(PIPE_FOLDER) + EMULATOR_PREFIX + std::to_string(GetCurrentProcessId()) +
           "\\" + path + facts;
}

bool ReadDevicePipeName(const std::string& name, DevicePipeFacts* facts) {
    size_t hash = name.rfind('#');
    if (name.find(EMULATOR_PREFIX) == std::string::npos || hash == std::string::npos) return false;
    int identity = 0;
    int caps = 0;
    int opens = 0;
    if (std::sscanf(name.c_str() + hash, "#o%d-i%d-n%d-c%d-a%d", &facts->outputLength,
                    &facts->inputLength, &identity, &caps, &opens) != 5) {
        return false;
    }
    facts->vendorId = HexAfter(name, "vid_");
    facts->productId = HexAfter(name, "pid_");
    facts->identityReadable = identity == 1;
    facts->capsReadable = caps == 1;
    facts->opensForReports = opens == 1;
    return facts->vendorId >= 0 && facts->productId >= 0;
}
