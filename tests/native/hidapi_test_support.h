// Shared set-up of the hidapi transport tests: the transport in use over a
// stand-in hidapi with no interfaces, and the device link fresh from start.
#pragma once

#include <gtest/gtest.h>

#include "device/hid_link.h"
#include "device/hidapi_transport.h"
#include "fake_hidapi.h"
#include "model/key_table.h"

class HidapiTest : public ::testing::Test {
protected:
    void SetUp() override {
        FakeHidReset();
        UseHidTransport(&HidapiTransport());
        g_hidLink = HidLink{};
        ClearKeyTable();
    }

    // Whatever a test did, no closed or unknown handle was used, every
    // enumeration was given back, and at most the link's device is open.
    void TearDown() override {
        FakeCounts counts = FakeHidCount();
        EXPECT_EQ(counts.misuse, 0);
        EXPECT_EQ(counts.unfreedLists, 0);
        EXPECT_LE(counts.openHandles, g_hidLink.device != nullptr ? 1 : 0);
        if (g_hidLink.device != nullptr) HidClose(g_hidLink.device);
        g_hidLink = HidLink{};
    }
};

// A device opened through the transport, closed at the end of its scope.
class OpenDevice {
public:
    explicit OpenDevice(const std::string& path) : device_(HidOpen(path)) {}
    ~OpenDevice() {
        if (device_ != nullptr) HidClose(device_);
    }
    OpenDevice(const OpenDevice&) = delete;
    OpenDevice& operator=(const OpenDevice&) = delete;
    HidDevice* get() const { return device_; }

private:
    HidDevice* device_;
};
