// Shared set-up of the usbkbdctl tests: the tool run in-process on an empty
// simulated bus on the virtual clock, which stands for the system's HID
// devices, its output recorded, and a folder of its own for files.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/interrupt.h"
#include "cli/usbkbdctl.h"
#include "device/hid_link.h"
#include "emu/sim_bus.h"
#include "model/key_table.h"

class RecordingConsole final : public Console {
public:
    void Out(const std::string& text) override { out += text; }
    void Err(const std::string& text) override { err += text; }
    bool ErrIsTerminal() override { return terminal; }

    std::string out;
    std::string err;
    bool terminal = false;
};

// The lines of a text, each without its line break.
inline std::vector<std::string> LinesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

class CliTest : public ::testing::Test {
protected:
    void SetUp() override {
        SimReset();
        g_hidLink = HidLink{};
        ClearKeyTable();
        ForgetInterrupt();
        std::string pattern = (std::filesystem::temp_directory_path() / "cli_test_XXXXXX").string();
        ASSERT_NE(mkdtemp(&pattern[0]), nullptr);
        folder_ = pattern;
    }

    void TearDown() override {
        EXPECT_EQ(SimCount().misuse, 0);
        EXPECT_EQ(SimCount().openHandles, 0);
        std::filesystem::remove_all(folder_);
    }

    // Runs usbkbdctl with these arguments (code page 949, all exact).
    int Run(const std::vector<std::string>& arguments) {
        std::vector<Argument> converted;
        for (const std::string& text : arguments) converted.push_back(Argument{text, true});
        return RunArguments(converted);
    }

    int RunArguments(const std::vector<Argument>& arguments) {
        console_ = RecordingConsole{};
        console_.terminal = terminal_;
        return RunUsbkbdctl(arguments, console_, surroundings_);
    }

    std::vector<std::string> Out() const { return LinesOf(console_.out); }
    std::vector<std::string> Err() const { return LinesOf(console_.err); }

    std::string PathOf(const std::string& name) const { return (folder_ / name).string(); }

    void WriteFile(const std::string& name, const std::string& bytes) const {
        std::ofstream(PathOf(name), std::ios::binary) << bytes;
    }

    std::string ReadFile(const std::string& name) const {
        std::ifstream in(PathOf(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    static int AddModule(int model, int version = 0x21) {
        SimDevice module = SimModule(model);
        module.version = version;
        return SimAddDevice(module);
    }

    static const std::string& DevicePath(int position) { return SimDevices()[position].path; }

    RecordingConsole console_;
    bool terminal_ = false;
    Surroundings surroundings_{"", true, [] {}};
    std::filesystem::path folder_;
};
