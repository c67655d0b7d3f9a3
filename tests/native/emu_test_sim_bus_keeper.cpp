// The bus file kept in step with the simulated bus: made when missing,
// read at every access, written back on the module's changes, and an edit
// from outside told as a device change.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <sstream>
#include <string>

#include "device/hid_link.h"
#include "device/module_commands.h"
#include "emu/sim_bus.h"
#include "emu/sim_bus_keeper.h"
#include "model/key_table.h"

namespace fs = std::filesystem;

namespace {

std::string Contents(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

class SimBusKeeperTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "sim_bus_keeper_XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        folder_ = pattern;
        g_hidLink = HidLink{};
        ClearKeyTable();
    }
    void TearDown() override {
        if (started_) StopSimBusKeeper();
        SimReset();
        g_hidLink = HidLink{};
        fs::remove_all(folder_);
    }

    void Start() {
        StartSimBusKeeper(BusFile().string(), [this] {
            std::lock_guard<std::mutex> lock(lock_);
            ++notices_;
            noticed_.notify_all();
        });
        started_ = true;
    }

    // Waits for the watcher's first notice, for at most ten seconds.
    bool WaitForNotice() {
        std::unique_lock<std::mutex> lock(lock_);
        return noticed_.wait_for(lock, std::chrono::seconds(10), [this] { return notices_ > 0; });
    }

    int Notices() {
        std::lock_guard<std::mutex> lock(lock_);
        return notices_;
    }

    fs::path BusFile() const { return folder_ / "bus.txt"; }

    fs::path folder_;
    bool started_ = false;
    std::mutex lock_;
    std::condition_variable noticed_;
    int notices_ = 0;
};

TEST_F(SimBusKeeperTest, AMissingFileIsMadeWithOneQx209AndAHeaderThatPointsToTheReadme) {
    Start();
    std::string text = Contents(BusFile());
    EXPECT_NE(text.find("README.md, \"The bus file\""), std::string::npos) << text;
    EXPECT_NE(text.find("device 10F7:0209"), std::string::npos) << text;
    EXPECT_NE(text.find("firmware 12"), std::string::npos) << text;
    EXPECT_EQ(ConnectModule(MODEL_QX206), 0);
    EXPECT_EQ(ConnectModule(MODEL_QX209), MODEL_QX209);
    EXPECT_EQ(ReadFirmwareVersion(), 0x12);
}

TEST_F(SimBusKeeperTest, TheModulesWordsAreWrittenBackAndOnlyOutsideEditsAreNoticed) {
    {
        std::ofstream file(BusFile(), std::ios::binary);
        file << "# kept\ndevice 10F7:0206\nfirmware 21\n";
    }
    Start();
    ASSERT_EQ(ConnectModule(MODEL_QX206), MODEL_QX206);
    SetKeyCode(LAYER_SHIFT, SLOT_COUNT, 0x0204);
    ASSERT_EQ(WriteKeyTable(), 1);
    std::string text = Contents(BusFile());
    EXPECT_EQ(text.rfind("# kept\ndevice 10F7:0206\nfirmware 21\n", 0), 0u) << text;
    EXPECT_NE(text.find(" 0204\n"), std::string::npos) << text;
    EXPECT_EQ(Notices(), 0);

    {
        std::ofstream file(BusFile(), std::ios::binary | std::ios::app);
        file << "device 046D:C077\n";
    }
    ASSERT_TRUE(WaitForNotice());
    EXPECT_EQ(Notices(), 1);
    EXPECT_EQ(ConnectModule(MODEL_QX206), MODEL_QX206);
    EXPECT_EQ(SimDevices().size(), 2u);
}

// The file is read again only when its stamp changed; an edit in place that
// keeps the size, within the same tick of the file system's clock as the
// module's write-back, leaves the stamp as it was, and is followed all the same.
TEST_F(SimBusKeeperTest, AnEditThatKeepsTheSizeRightAfterAWriteBackIsFollowed) {
    {
        std::ofstream file(BusFile(), std::ios::binary);
        file << "device 10F7:0206\nfirmware 21\n";
    }
    Start();
    ASSERT_EQ(ConnectModule(MODEL_QX206), MODEL_QX206);
    ASSERT_EQ(WriteKeyTable(), 1);
    std::string text = Contents(BusFile());
    text.replace(text.find("firmware 21"), 11, "firmware 33");
    const fs::file_time_type writtenBack = fs::last_write_time(BusFile());
    {
        std::ofstream file(BusFile(), std::ios::binary | std::ios::trunc);
        file << text;
    }
    fs::last_write_time(BusFile(), writtenBack);  // as a write in the same tick leaves it
    EXPECT_EQ(ReadFirmwareVersion(), 0x33);
}

}  // namespace
