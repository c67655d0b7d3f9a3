// --sim FILE and USBKBD_SIM: the bus of a bus file on the real clock, and
// the modules' words and modes saved back into the file after the verb, so
// that the next run sees them.
#include "cli/terminal_text.h"
#include "cli_test_support.h"

namespace {

using CliSimTest = CliTest;

const std::string BUS =
    "# two modules\n"
    "device 10F7:0209\n"
    "firmware 1A\n"
    "device 046D:C077   # a mouse\n"
    "device 10F7:0206\n"
    "mode keyboard\n";

TEST_F(CliSimTest, WriteThenReadAcrossTwoRunsThroughTheBusFile) {
    WriteFile("bus.txt", BUS);
    WriteFile("pedal.kbd", "0106 0004\r\n0 0 0 0 0 0 0 0028\r\n");
    EXPECT_EQ(Run({"--sim", PathOf("bus.txt"), "write", PathOf("pedal.kbd")}), EXIT_DONE)
        << console_.err;
    EXPECT_EQ(Out(), std::vector<std::string>{
                         "QX209  \\\\?\\hid#vid_10f7&pid_0209#demo0  written and verified"});
    EXPECT_EQ(ReadFile("bus.txt"),
              "# two modules\n"
              "device 10F7:0209\n"
              "firmware 1A\n"
              "mode change\n"
              "keys 0106 0004 0000 0000 0000 0000 0000 0000 0000 0000 0000 0000 0000 0000 0000 "
              "0028\n"
              "device 046D:C077   # a mouse\n"
              "device 10F7:0206\n"
              "mode keyboard\n");

    SimReset();  // nothing of the first run stays but the file
    surroundings_.simFromEnvironment = PathOf("bus.txt");
    EXPECT_EQ(Run({"read", "-o", PathOf("back.kbd")}), EXIT_DONE) << console_.err;
    EXPECT_EQ(Out().at(0), "QX209  firmware 1.10  \\\\?\\hid#vid_10f7&pid_0209#demo0");
    EXPECT_EQ(Out().at(2), "1    Pin No.  2   0106 <Ctrl><C>                        0000");
    EXPECT_EQ(ReadFile("back.kbd"),
              "0106 0004 0000 0000 0000 0000 0000 0000\r\n"
              "0000 0000 0000 0000 0000 0000 0000 0028\r\n");

    EXPECT_EQ(Run({"reset"}), EXIT_DONE);
    EXPECT_NE(ReadFile("bus.txt").find("firmware 1A\nmode keyboard\nkeys 0106 0004 "),
              std::string::npos);
    EXPECT_EQ(Run({"list"}), EXIT_NO_MODULE);
}

TEST_F(CliSimTest, BusFileProblemsAreToldAndAMissingFileIsAUsageFault) {
    WriteFile("bus.txt", "device 10F7:0209\nfirmware 123\ndevice 10F7:0206\n");
    EXPECT_EQ(Run({"list", "--sim", PathOf("bus.txt")}), EXIT_DONE);
    EXPECT_EQ(Out(),
              std::vector<std::string>{"QX206  firmware 2.1  \\\\?\\hid#vid_10f7&pid_0206#demo0"});
    EXPECT_EQ(Err(), std::vector<std::string>{PathOf("bus.txt") +
                                              ": line 2: expected \"firmware <hex byte>\"; the "
                                              "device of line 1 is left out"});
    EXPECT_EQ(ReadFile("bus.txt"), "device 10F7:0209\nfirmware 123\ndevice 10F7:0206\n");

    EXPECT_EQ(Run({"list", "--sim", PathOf("none.txt")}), EXIT_USAGE);
    EXPECT_EQ(Err(), std::vector<std::string>{"usbkbdctl: cannot read the bus file " +
                                              PathOf("none.txt") + ": no such file"});
    EXPECT_FALSE(std::filesystem::exists(PathOf("none.txt")));
}

TEST(CliTerminalText, ConvertsAtTheEdgeAndMarksWhatDoesNotConvert) {
    EXPECT_EQ(Utf8FromCp949("<\xC7\xD1/\xBF\xB5> \xA1\xE6"),
              "<\xED\x95\x9C/\xEC\x98\x81> \xE2\x86\x92");
    EXPECT_EQ(Utf8FromCp949("a\xFF"
                            "b"),
              "a?b");
    Argument korean = Cp949FromUtf8("\xED\x95\x9C\xEC\x9E\x90.kbd");
    EXPECT_TRUE(korean.exact);
    EXPECT_EQ(korean.text, "\xC7\xD1\xC0\xDA.kbd");
    Argument accented = Cp949FromUtf8("caf\xC3\xA9.kbd");
    EXPECT_FALSE(accented.exact);
    EXPECT_EQ(accented.text, "caf?.kbd");
    Argument broken = Cp949FromUtf8(
        "a\xFF"
        "b");
    EXPECT_FALSE(broken.exact);
    EXPECT_EQ(broken.text, "a?b");
}

}  // namespace
