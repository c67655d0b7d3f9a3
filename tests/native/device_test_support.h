// Shared set-up of the device link tests: a program fresh from start and an
// empty simulated bus on the virtual clock for every test.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "device/hid_link.h"
#include "emu/sim_bus.h"
#include "model/key_table.h"

class DeviceTest : public ::testing::Test {
protected:
    void SetUp() override {
        SimReset();
        g_hidLink = HidLink{};
        ClearKeyTable();
    }

    void TearDown() override { CheckBus(); }

    // Whatever a test did, the link never used a closed or unknown handle
    // and kept at most the one handle of its module open.
    static void CheckBus() {
        SimCounters counters = SimCount();
        EXPECT_EQ(counters.misuse, 0);
        EXPECT_LE(counters.openHandles, 1);
        if (counters.openHandles == 1) {
            EXPECT_TRUE(SimHandle(g_hidLink.device).open);
        }
    }

    // For tests that walk a table of cases, each on a fresh bus.
    void StartOver() {
        CheckBus();
        SetUp();
    }

    static int AddModule(int model) { return SimAddDevice(SimModule(model)); }

    // A QX206 on the bus, connected as the main window would.
    static int ConnectQx206() {
        int position = AddModule(MODEL_QX206);
        EXPECT_EQ(ConnectModule(MODEL_QX206), MODEL_QX206);
        return position;
    }

    static const std::string& PathOf(int position) { return SimDevices()[position].path; }
};

// "00 55 AA ..." for readable comparisons of reports.
inline std::string Hex(const std::vector<uint8_t>& bytes) {
    std::string text;
    for (uint8_t byte : bytes) {
        char field[4];
        snprintf(field, sizeof field, text.empty() ? "%02X" : " %02X", byte);
        text += field;
    }
    return text;
}
