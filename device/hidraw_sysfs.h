// The report descriptors of hidraw devices as the kernel shows them in sysfs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The folder with one folder per hidraw device: /sys/class/hidraw, unless a
// test puts one of its own in its place.
void SetHidrawSysfsRoot(const std::string& root);

// The report descriptor of the hidraw device at devicePath (/dev/hidrawN);
// false when the path names no hidraw device or the descriptor cannot be
// read whole.
bool ReadHidrawDescriptor(const std::string& devicePath, std::vector<uint8_t>* descriptor);
