// list, read, write and reset on the simulated bus: what each prints, the
// module it picks, and the exit status of every way it can end.
#include <csignal>

#include "cli_test_support.h"

namespace {

using CliDeviceTest = CliTest;

const std::string PEDAL =
    "0106 0004 0000 0000 0000 0000 0000 0000\r\n"
    "0000 0000 0000 0000 0000 0000 0000 0028\r\n";

const std::vector<std::string> PEDAL_TABLE_QX209 = {
    "slot label        normal layer                          shift layer",
    "1    Pin No.  2   0106 <Ctrl><C>                        0000",
    "2    Pin No.  3   0004 <A>                              0000",
    "3    Pin No.  4   0000                                  0000",
    "4    Pin No.  5   0000                                  0000",
    "5    Pin No.  6   0000                                  0000",
    "6    Pin No.  7   0000                                  0000",
    "7    Pin No.  8   0000                                  0000",
    "8    Pin No.  9   0000                                  0028 <Enter>",
};

void KeepPedal(int position) {
    const uint16_t words[SIM_WORD_COUNT] = {0x0106, 0x0004, 0, 0, 0, 0, 0, 0,
                                            0,      0,      0, 0, 0, 0, 0, 0x0028};
    for (int i = 0; i < SIM_WORD_COUNT; ++i) SimDevices()[position].words[i] = words[i];
}

std::vector<std::string> Joined(std::string first, const std::vector<std::string>& rest) {
    std::vector<std::string> lines = {std::move(first)};
    lines.insert(lines.end(), rest.begin(), rest.end());
    return lines;
}

TEST_F(CliDeviceTest, ListShowsModulesOnlyAndAllHidShowsEveryInterface) {
    int qx209 = AddModule(MODEL_QX209, 0x1A);
    SimAddDevice(SimForeignDevice(0x046D, 0xC077));
    SimDevice noCaps = SimModule(MODEL_QX206);
    noCaps.capsReadable = false;
    int qx206 = SimAddDevice(noCaps);
    SimAddDevice(SimForeignDevice(0x10F7, 0x0207));

    EXPECT_EQ(Run({"list"}), EXIT_DEVICE_FAILURE);
    EXPECT_EQ(Out(), (std::vector<std::string>{"QX209  firmware 1.10  " + DevicePath(qx209),
                                               "QX206  firmware ?  " + DevicePath(qx206)}));
    EXPECT_EQ(Err(), std::vector<std::string>{"usbkbdctl: cannot open " + DevicePath(qx206) +
                                              ": the system tells no report lengths"});

    EXPECT_EQ(Run({"list", "--all-hid"}), EXIT_DONE);
    EXPECT_EQ(Out(), (std::vector<std::string>{
                         "10F7:0209  QX209  reports 9/9  " + DevicePath(0),
                         "046D:C077  other  reports 9/9  " + DevicePath(1),
                         "10F7:0206  QX206  reports ?  " + DevicePath(2),
                         "10F7:0207  other  reports 9/9  " + DevicePath(3),
                     }));
    EXPECT_TRUE(console_.err.empty());
    ASSERT_EQ(SimWrites().size(), 1u);
    EXPECT_EQ(SimWrites()[0].path, DevicePath(qx209));
}

TEST_F(CliDeviceTest, NoModuleFoundIsStatusThree) {
    SimAddDevice(SimForeignDevice(0x046D, 0xC077));
    SimDevice keyboard = SimModule(MODEL_QX209);
    keyboard.changeMode = false;
    SimAddDevice(keyboard);
    for (const std::vector<std::string>& arguments :
         std::vector<std::vector<std::string>>{{"list"}, {"read"}, {"reset", "--all"}}) {
        EXPECT_EQ(Run(arguments), EXIT_NO_MODULE) << arguments[0];
        EXPECT_TRUE(console_.out.empty());
        EXPECT_EQ(Err(), std::vector<std::string>{"usbkbdctl: no module found in change mode"});
    }
    EXPECT_EQ(Run({"list", "--all-hid"}), EXIT_NO_MODULE);
    EXPECT_EQ(Out().size(), 1u);
    EXPECT_EQ(Run({"read", "--device", "/dev/hidraw9"}), EXIT_NO_MODULE);
    EXPECT_EQ(Err(),
              std::vector<std::string>{"usbkbdctl: no module in change mode at /dev/hidraw9"});
    EXPECT_TRUE(SimWrites().empty());
}

TEST_F(CliDeviceTest, ReadShowsVersionAndTableAndSavesTheWindowsFile) {
    int module = AddModule(MODEL_QX209, 0x1A);
    KeepPedal(module);
    EXPECT_EQ(Run({"read", "-o", PathOf("out.kbd")}), EXIT_DONE) << console_.err;
    EXPECT_EQ(Out(), Joined("QX209  firmware 1.10  " + DevicePath(module), PEDAL_TABLE_QX209));
    EXPECT_TRUE(console_.err.empty());
    EXPECT_EQ(ReadFile("out.kbd"), PEDAL);
    ASSERT_EQ(SimWrites().size(), 17u);
}

TEST_F(CliDeviceTest, ReadOfAQx206ShowsItsWireLabels) {
    int module = AddModule(MODEL_QX206, 0x12);
    SimDevices()[module].words[6] = 0x0029;
    EXPECT_EQ(Run({"read"}), EXIT_DONE) << console_.err;
    std::vector<std::string> lines = Out();
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_EQ(lines[0], "QX206  firmware 1.2  " + DevicePath(module));
    EXPECT_EQ(lines[2], "1    > Black      0000                                  0000");
    EXPECT_EQ(lines[4], "3    > Yellow     0000                                  0000");
    EXPECT_EQ(lines[8], "7       Not Use   0029 <Esc>                            0000");
}

TEST_F(CliDeviceTest, ReadFailuresNameTheSlotsAndSaveNothing) {
    int module = AddModule(MODEL_QX209);
    SimDevices()[module].unansweredIndex = 9;
    EXPECT_EQ(Run({"read", "-o", PathOf("out.kbd")}), EXIT_DEVICE_FAILURE);
    EXPECT_TRUE(console_.out.empty());
    EXPECT_EQ(Err(), std::vector<std::string>{"usbkbdctl: " + DevicePath(module) +
                                              ": no reply to the read of slot shift:2"});
    EXPECT_FALSE(std::filesystem::exists(PathOf("out.kbd")));

    SimDevices()[module].version = 0;
    EXPECT_EQ(Run({"read"}), EXIT_DEVICE_FAILURE);
    EXPECT_EQ(Err(), std::vector<std::string>{"usbkbdctl: " + DevicePath(module) +
                                              ": no reply to the firmware version query"});
}

TEST_F(CliDeviceTest, WriteSendsTheFileAndVerifiesIt) {
    int module = AddModule(MODEL_QX209);
    WriteFile("pedal.kbd", PEDAL);
    EXPECT_EQ(Run({"write", PathOf("pedal.kbd")}), EXIT_DONE) << console_.err;
    EXPECT_EQ(Out(),
              std::vector<std::string>{"QX209  " + DevicePath(module) + "  written and verified"});
    EXPECT_TRUE(console_.err.empty());
    ASSERT_EQ(SimWrites().size(), 32u);
    for (int index = 0; index < TABLE_SIZE; ++index) {
        EXPECT_EQ(SimWrites()[index].bytes[3], 0x41);
        EXPECT_EQ(SimWrites()[index].bytes[4], index);
        EXPECT_EQ(SimWrites()[TABLE_SIZE + index].bytes[3], 0x42);
        EXPECT_EQ(SimWrites()[TABLE_SIZE + index].bytes[4], index);
    }
    EXPECT_EQ(SimDevices()[module].words[0], 0x0106);
    EXPECT_EQ(SimDevices()[module].words[15], 0x0028);

    EXPECT_EQ(Run({"write", "--no-verify", PathOf("pedal.kbd")}), EXIT_DONE);
    EXPECT_EQ(Out(),
              std::vector<std::string>{"QX209  " + DevicePath(module) + "  written, not verified"});
    EXPECT_EQ(SimWrites().size(), 48u);
}

TEST_F(CliDeviceTest, VerifyCatchesAModuleThatKeepsAWrongWord) {
    int module = AddModule(MODEL_QX209);
    SimDevices()[module].stuckIndex = 15;
    SimDevices()[module].words[1] = 0x0505;
    SimDevices()[module].words[15] = 0x0029;
    WriteFile("pedal.kbd", PEDAL);
    EXPECT_EQ(Run({"write", PathOf("pedal.kbd")}), EXIT_DEVICE_FAILURE);
    EXPECT_TRUE(console_.out.empty());
    EXPECT_EQ(Err(), std::vector<std::string>{"usbkbdctl: " + DevicePath(module) +
                                              ": verify failed: slot shift:8 holds 0029, not "
                                              "0028"});
    EXPECT_EQ(SimDevices()[module].words[1], 0x0004);
}

TEST_F(CliDeviceTest, VerifyComparesWithTheBytesTheWriteSends) {
    int module = AddModule(MODEL_QX209);
    WriteFile("wide.kbd", "12345 0804\r\n");
    EXPECT_EQ(Run({"write", PathOf("wide.kbd")}), EXIT_DONE) << console_.err;
    EXPECT_EQ(SimDevices()[module].words[0], 0x2345);
    EXPECT_EQ(SimDevices()[module].words[1], 0x0804);
}

TEST_F(CliDeviceTest, WriteFailuresAndALostModuleAreStatusOne) {
    int module = AddModule(MODEL_QX209);
    WriteFile("pedal.kbd", PEDAL);
    SimDevices()[module].unansweredIndex = 2;
    EXPECT_EQ(Run({"write", PathOf("pedal.kbd")}), EXIT_DEVICE_FAILURE);
    EXPECT_EQ(Err(), std::vector<std::string>{"usbkbdctl: " + DevicePath(module) +
                                              ": no reply to the write of slot 3"});
    EXPECT_EQ(SimWrites().size(), 16u);

    // Unplugged after its fourth entry: the rest fail, and it is said to be gone.
    SimDevices()[module].unansweredIndex = -1;
    SimSetAccessHook([&](SimAccess access) {
        if (access == SIM_ACCESS_WRITE && SimWrites().size() == 16 + 4) SimUnplug(module);
    });
    EXPECT_EQ(Run({"write", PathOf("pedal.kbd")}), EXIT_DEVICE_FAILURE);
    EXPECT_EQ(Err(), std::vector<std::string>{
                         "usbkbdctl: " + DevicePath(module) +
                         ": no reply to the write of slots 5, 6, 7, 8, shift:1, shift:2, "
                         "shift:3, shift:4, shift:5, shift:6, shift:7, shift:8; the module is "
                         "gone"});
    EXPECT_EQ(SimWrites().size(), 20u);
}

TEST_F(CliDeviceTest, SeveralModulesNeedDeviceOrAll) {
    AddModule(MODEL_QX209);
    int second = AddModule(MODEL_QX209);
    AddModule(MODEL_QX206);
    EXPECT_EQ(Run({"reset"}), EXIT_USAGE);
    EXPECT_EQ(Err(),
              std::vector<std::string>{
                  "usbkbdctl: 3 modules found; choose one with --device PATH, or use --all"});
    EXPECT_TRUE(SimWrites().empty());

    EXPECT_EQ(Run({"reset", "--device", DevicePath(second)}), EXIT_DONE);
    EXPECT_EQ(Out(),
              std::vector<std::string>{"QX209  " + DevicePath(second) + "  left change mode"});
    ASSERT_EQ(SimWrites().size(), 1u);
    EXPECT_EQ(SimWrites()[0].path, DevicePath(second));
    EXPECT_EQ(SimWrites()[0].bytes[3], 0x4F);
    EXPECT_FALSE(SimDevices()[second].changeMode);
    EXPECT_TRUE(SimDevices()[0].changeMode);
}

TEST_F(CliDeviceTest, AllWritesEveryModuleAndFailsIfOneFails) {
    int first = AddModule(MODEL_QX209);
    int silent = AddModule(MODEL_QX206);
    SimDevices()[silent].silent = true;
    int third = AddModule(MODEL_QX209);
    WriteFile("pedal.kbd", PEDAL);
    EXPECT_EQ(Run({"write", "--all", PathOf("pedal.kbd")}), EXIT_DEVICE_FAILURE);
    EXPECT_EQ(Out(), (std::vector<std::string>{
                         "QX209  " + DevicePath(first) + "  written and verified",
                         "QX209  " + DevicePath(third) + "  written and verified",
                     }));
    EXPECT_EQ(Err(), (std::vector<std::string>{
                         "usbkbdctl: " + DevicePath(silent) +
                             ": no reply to the write of slots 1, 2, 3, 4, 5, 6, 7, 8, shift:1, "
                             "shift:2, shift:3, shift:4, shift:5, shift:6, shift:7, shift:8",
                         "usbkbdctl: 1 of 3 modules failed",
                     }));
    for (int position : {first, third}) {
        EXPECT_EQ(SimDevices()[position].words[0], 0x0106);
        EXPECT_EQ(SimDevices()[position].words[15], 0x0028);
    }
    for (const SimWrite& write : SimWrites()) {
        if (write.path == DevicePath(silent)) {
            EXPECT_EQ(write.bytes[3], 0x41);
        }
    }
}

TEST_F(CliDeviceTest, ReadAllShowsEachModuleAndResetAllResetsEach) {
    int first = AddModule(MODEL_QX209, 0x12);
    int second = AddModule(MODEL_QX209, 0x13);
    KeepPedal(first);
    KeepPedal(second);
    EXPECT_EQ(Run({"read", "--all"}), EXIT_DONE) << console_.err;
    std::vector<std::string> expected =
        Joined("QX209  firmware 1.2  " + DevicePath(first), PEDAL_TABLE_QX209);
    std::vector<std::string> secondLines =
        Joined("QX209  firmware 1.3  " + DevicePath(second), PEDAL_TABLE_QX209);
    expected.insert(expected.end(), secondLines.begin(), secondLines.end());
    EXPECT_EQ(Out(), expected);

    EXPECT_EQ(Run({"reset", "--all"}), EXIT_DONE);
    EXPECT_EQ(Out(),
              (std::vector<std::string>{"QX209  " + DevicePath(first) + "  left change mode",
                                        "QX209  " + DevicePath(second) + "  left change mode"}));
    EXPECT_FALSE(SimDevices()[first].changeMode);
    EXPECT_FALSE(SimDevices()[second].changeMode);
}

TEST_F(CliDeviceTest, ResetWithoutReplyIsStatusOne) {
    int module = AddModule(MODEL_QX206);
    SimDevices()[module].silent = true;
    EXPECT_EQ(Run({"reset"}), EXIT_DEVICE_FAILURE);
    EXPECT_EQ(Err(), std::vector<std::string>{"usbkbdctl: " + DevicePath(module) +
                                              ": no reply to the reset"});
    EXPECT_TRUE(SimDevices()[module].changeMode);
}

TEST_F(CliDeviceTest, PermissionDeniedIsStatusFourAndPointsToTheReadme) {
    SimDevice locked = SimModule(MODEL_QX209);
    locked.opensForReports = false;
    int module = SimAddDevice(locked);
    int open = AddModule(MODEL_QX209);
    WriteFile("pedal.kbd", PEDAL);
    const std::string told =
        "usbkbdctl: cannot open " + DevicePath(module) + ": permission denied; see README, Linux";
    EXPECT_EQ(Run({"write", "--all", PathOf("pedal.kbd")}), EXIT_PERMISSION);
    EXPECT_EQ(Err(), (std::vector<std::string>{told, "usbkbdctl: 1 of 2 modules failed"}));
    EXPECT_EQ(Out(),
              std::vector<std::string>{"QX209  " + DevicePath(open) + "  written and verified"});
    EXPECT_EQ(Run({"list"}), EXIT_PERMISSION);
    EXPECT_EQ(Err(), std::vector<std::string>{told});
}

// A composite module shows its keyboard collection with the module's ids
// too; its reports do not fit the protocol, and it is not taken for a
// second module.
TEST_F(CliDeviceTest, InterfacesWhoseReportsDoNotFitArePassedOver) {
    SimDevice keyboard = SimModule(MODEL_QX209);
    keyboard.outputLength = 2;
    SimAddDevice(keyboard);
    EXPECT_EQ(Run({"list"}), EXIT_NO_MODULE);
    EXPECT_EQ(Err(), std::vector<std::string>{"usbkbdctl: no module found in change mode"});
    int module = AddModule(MODEL_QX209);
    EXPECT_EQ(Run({"read"}), EXIT_DONE);
    EXPECT_TRUE(console_.err.empty());
    ASSERT_FALSE(SimWrites().empty());
    EXPECT_EQ(SimWrites().front().path, DevicePath(module));
}

// Ctrl+C while the fifth entry is on its way: that transaction ends, no
// other starts, and neither does the next module.
TEST_F(CliDeviceTest, CtrlCStopsBetweenTransactions) {
    CatchInterrupts();
    int first = AddModule(MODEL_QX209);
    AddModule(MODEL_QX209);
    WriteFile("pedal.kbd", PEDAL);
    SimSetAccessHook([](SimAccess access) {
        if (access == SIM_ACCESS_WRITE && SimWrites().size() == 4) std::raise(SIGINT);
    });
    EXPECT_EQ(Run({"write", "--all", PathOf("pedal.kbd")}), EXIT_INTERRUPTED);
    EXPECT_EQ(Err(), std::vector<std::string>{"usbkbdctl: interrupted: " + DevicePath(first) +
                                              ": 5 of 16 entries written"});
    EXPECT_TRUE(console_.out.empty());
    ASSERT_EQ(SimWrites().size(), 5u);
    EXPECT_EQ(SimDevices()[first].words[4], 0);
    EXPECT_EQ(SimDevices()[first].words[0], 0x0106);
    SimSetAccessHook(nullptr);
    CatchInterrupts();
}

TEST_F(CliDeviceTest, ProgressCountsTheEntriesOnATerminalOnly) {
    int module = AddModule(MODEL_QX209);
    EXPECT_EQ(Run({"read"}), EXIT_DONE);
    EXPECT_TRUE(console_.err.empty());

    terminal_ = true;
    EXPECT_EQ(Run({"read"}), EXIT_DONE);
    std::string expected;
    std::string prefix = "\r" + DevicePath(module) + ": reading ";
    for (int done = 0; done <= 16; ++done) expected += prefix + std::to_string(done) + "/16";
    size_t width = prefix.size() - 1 + 5;
    expected += "\r" + std::string(width, ' ') + "\r";
    EXPECT_EQ(console_.err, expected);
    EXPECT_EQ(Out().size(), 10u);
}

}  // namespace
