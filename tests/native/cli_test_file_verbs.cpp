// show, set and clear: ".kbd" files with no module, checked before they are
// read, and saved with the window's writer.
#include "cli_test_support.h"

namespace {

using CliFileTest = CliTest;

const std::string PEDAL =
    "0106 0004 0000 0000 0000 0000 0000 0000\r\n"
    "0000 0000 0000 0000 0000 0000 0000 0028\r\n";

TEST_F(CliFileTest, ShowPrintsBothLayersWithPinLabelsAndDisplayTexts) {
    WriteFile("pedal.kbd",
              "0106 0004 7714 00E6 0090 0804 12345 0\r\n"
              "0 0 0 0 0 0 0 0028\r\n");
    EXPECT_EQ(Run({"show", PathOf("pedal.kbd")}), EXIT_DONE) << console_.err;
    EXPECT_EQ(Out(), (std::vector<std::string>{
                         PathOf("pedal.kbd"),
                         "slot label        normal layer                          shift layer",
                         "1    Pin No.  2   0106 <Ctrl><C>                        0000",
                         "2    Pin No.  3   0004 <A>                              0000",
                         "3    Pin No.  4   7714 <Ctrl><Shift><Alt><Q>            0000",
                         "4    Pin No.  5   00E6 <Right Alt>                      0000",
                         "5    Pin No.  6   0090 <\xC7\xD1/\xBF\xB5>                          0000",
                         "6    Pin No.  7   0804 <A>                              0000",
                         "7    Pin No.  8   12345 <Ctrl><Shift><F12>               0000",
                         "8    Pin No.  9   0000                                  0028 <Enter>",
                     }));
    EXPECT_TRUE(console_.err.empty());
    EXPECT_EQ(SimCount().enumerations, 0);
}

TEST_F(CliFileTest, SetAndClearChangeOneSlotAndSaveAsTheWindowDoes) {
    WriteFile("pedal.kbd", PEDAL);
    EXPECT_EQ(Run({"set", PathOf("pedal.kbd"), "shift:3", "Ctrl+C"}), EXIT_DONE) << console_.err;
    EXPECT_EQ(Out(),
              std::vector<std::string>{PathOf("pedal.kbd") + ": slot shift:3 = 0106  <Ctrl><C>"});
    EXPECT_EQ(ReadFile("pedal.kbd"),
              "0106 0004 0000 0000 0000 0000 0000 0000\r\n"
              "0000 0000 0106 0000 0000 0000 0000 0028\r\n");

    EXPECT_EQ(Run({"clear", PathOf("pedal.kbd"), "1"}), EXIT_DONE) << console_.err;
    EXPECT_EQ(Out(), std::vector<std::string>{PathOf("pedal.kbd") + ": slot 1 = 0000  (empty)"});
    EXPECT_EQ(ReadFile("pedal.kbd"),
              "0000 0004 0000 0000 0000 0000 0000 0000\r\n"
              "0000 0000 0106 0000 0000 0000 0000 0028\r\n");

    // A file of the reader's looser forms is saved back in the writer's.
    WriteFile("loose.kbd", "e0 0x4\n");
    EXPECT_EQ(Run({"set", PathOf("loose.kbd"), "8", "shift+\xC7\xD1\xC0\xDA"}), EXIT_DONE);
    EXPECT_EQ(ReadFile("loose.kbd"),
              "00E0 0004 0000 0000 0000 0000 0000 0291\r\n"
              "0000 0000 0000 0000 0000 0000 0000 0000\r\n");
}

TEST_F(CliFileTest, SetMakesAMissingFileAndClearDoesNot) {
    EXPECT_EQ(Run({"set", PathOf("new.kbd"), "2", "enter"}), EXIT_DONE) << console_.err;
    EXPECT_EQ(ReadFile("new.kbd"),
              "0000 0028 0000 0000 0000 0000 0000 0000\r\n"
              "0000 0000 0000 0000 0000 0000 0000 0000\r\n");
    EXPECT_EQ(Run({"clear", PathOf("none.kbd"), "2"}), EXIT_USAGE);
    EXPECT_EQ(Err(), std::vector<std::string>{"usbkbdctl: cannot read " + PathOf("none.kbd") +
                                              ": no such file"});
    EXPECT_FALSE(std::filesystem::exists(PathOf("none.kbd")));
}

TEST_F(CliFileTest, UnknownKeysAndSlotsLeaveTheFileAsItWas) {
    WriteFile("pedal.kbd", PEDAL);
    struct Case {
        const char* slot;
        const char* key;
        const char* told;
    };
    const Case cases[] = {
        {"1", "Entr", "unknown key \"Entr\"; nearest: \"Enter\", \"End\", \"E\""},
        {"shift:9", "A", "no slot \"shift:9\"; slots are 1 to 8 and shift:1 to shift:8"},
        {"2", "Ctlr+A",
         "unknown modifier \"Ctlr\" in \"Ctlr+A\"; nearest: \"Ctrl\", \"Alt\", "
         "\"RCtrl\""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Run({"set", PathOf("pedal.kbd"), c.slot, c.key}), EXIT_USAGE) << c.told;
        EXPECT_EQ(Err(), std::vector<std::string>{std::string("usbkbdctl: ") + c.told});
        EXPECT_TRUE(console_.out.empty());
        EXPECT_EQ(ReadFile("pedal.kbd"), PEDAL);
    }
}

// Files the reader would read otherwise than they look, or not at all.
TEST_F(CliFileTest, BadFilesAreRefusedByEveryVerbThatReadsThem) {
    struct Case {
        std::string bytes;
        const char* fault;
    };
    const Case cases[] = {
        {"", "is empty"},
        {std::string(513, '0'), "is longer than a .kbd file can be"},
        {std::string("0004\0 0005\r\n", 12), "holds a zero byte"},
        {"0004  0005\r\n", "line 1: values are not separated by single blanks"},
        {" 0004\r\n", "line 1: values are not separated by single blanks"},
        {"0004\t0005\r\n", "line 1: \"0004\\t0005\" is not a hexadecimal key code word"},
        {"0004 0005\r\n0 1 2 3 4 5 6 7 8\r\n", "line 2: more than eight values"},
        {"0004 00G5\r\n", "line 1: \"00G5\" is not a hexadecimal key code word"},
        {"0004 -5\r\n", "line 1: \"-5\" is not a hexadecimal key code word"},
        {"0004 123456789\r\n", "line 1: \"123456789\" is not a hexadecimal key code word"},
        {"0004\r\n0005\r\n0006\r\n", "has more than two lines"},
        {"<Ctrl><C>\r\n", "line 1: \"<Ctrl><C>\" is not a hexadecimal key code word"},
    };
    AddModule(MODEL_QX209);
    for (const Case& c : cases) {
        WriteFile("bad.kbd", c.bytes);
        const std::string told =
            "usbkbdctl: " + PathOf("bad.kbd") + ": " + c.fault + "; not a .kbd file";
        for (const char* verb : {"show", "write", "set", "clear"}) {
            std::vector<std::string> arguments = {verb, PathOf("bad.kbd")};
            if (std::string(verb) == "set" || std::string(verb) == "clear") {
                arguments.push_back("1");
            }
            if (std::string(verb) == "set") arguments.push_back("A");
            EXPECT_EQ(Run(arguments), EXIT_USAGE) << verb << " " << c.fault;
            EXPECT_EQ(Err(), std::vector<std::string>{told}) << verb;
            EXPECT_TRUE(console_.out.empty()) << verb;
        }
        EXPECT_EQ(ReadFile("bad.kbd"), c.bytes);
    }
    EXPECT_TRUE(SimWrites().empty());
}

TEST_F(CliFileTest, FilesThatCannotBeReadOrWrittenAndNamesOutsideTheCodePage) {
    std::filesystem::create_directory(PathOf("folder.kbd"));
    EXPECT_EQ(Run({"show", PathOf("folder.kbd")}), EXIT_USAGE);
    EXPECT_EQ(Err(), std::vector<std::string>{"usbkbdctl: cannot read " + PathOf("folder.kbd")});

    EXPECT_EQ(Run({"set", PathOf("nofolder/x.kbd"), "1", "A"}), EXIT_USAGE);
    EXPECT_EQ(Err(),
              std::vector<std::string>{"usbkbdctl: cannot write " + PathOf("nofolder/x.kbd")});

    EXPECT_EQ(RunArguments({{"show", true}, {"caf?.kbd", false}}), EXIT_USAGE);
    EXPECT_EQ(Err(), std::vector<std::string>{"usbkbdctl: the file name \"caf?.kbd\" has "
                                              "characters that code page 949 lacks"});
    WriteFile("caf?.kbd", PEDAL);
    EXPECT_EQ(RunArguments({{"set", true}, {PathOf("caf?.kbd"), false}, {"1", true}, {"A", true}}),
              EXIT_USAGE);
    EXPECT_EQ(ReadFile("caf?.kbd"), PEDAL);
}

}  // namespace
