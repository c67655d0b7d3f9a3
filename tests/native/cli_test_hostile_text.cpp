// Texts from outside the tool that a terminal would act on (file names, a
// file's lines, words of the command line, device paths) reach standard
// output and standard error, as the terminal gets them, without a control
// byte; --json keeps them whole.
#include "cli/terminal_text.h"
#include "cli_test_support.h"
#include "json_reader.h"

namespace {

using CliHostileTextTest = CliTest;

struct Hostile {
    std::string text;
    const char* shown;
    bool namesAFile;  // the core opens files by code page 949 names without a zero byte
};

const Hostile HOSTILE[] = {
    {"\x1b]0;owned\a\x1b[2J", "\\x1b]0;owned\\a\\x1b[2J", true},
    {"ok\rfake\n", "ok\\rfake\\n", true},
    {"\xC7\xD1\xC0\xDA\t\x7f", "\xC7\xD1\xC0\xDA\\t\\x7f", true},
    {std::string("a\0b", 3), "a\\x00b", false},
    {"\xc3(\xff\x80\x9b", "\\xc3(\\xff\\x80\\x9b", false},
};

// As the terminal gets it: line feeds the only control bytes, and no C1 control.
void ExpectPrintable(const std::string& text, const std::string& what) {
    std::string utf8 = Utf8FromCp949(text);
    for (size_t i = 0; i < utf8.size(); ++i) {
        auto byte = static_cast<unsigned char>(utf8[i]);
        bool c1 = byte == 0xC2 && i + 1 < utf8.size() && (utf8[i + 1] & 0xE0) == 0x80;
        EXPECT_TRUE((byte == '\n' || (byte >= 0x20 && byte != 0x7F)) && !c1) << what << " @" << i;
    }
}

TEST_F(CliHostileTextTest, ReachTheTerminalEscapedThroughShowSetWriteAndList) {
    for (const Hostile& hostile : HOSTILE) {
        const std::string& text = hostile.text;
        auto run = [&](const std::vector<std::string>& arguments, int status) {
            EXPECT_EQ(Run(arguments), status) << arguments[0] << " " << hostile.shown;
            ExpectPrintable(console_.out + console_.err, arguments[0] + " " + hostile.shown);
        };
        SimReset();
        SimDevice module = SimModule(MODEL_QX209);
        module.path = text;
        SimAddDevice(module);
        WriteFile("bad.kbd", text + "\r\n");
        run({"show", PathOf("bad.kbd")}, EXIT_USAGE);
        run({"set", PathOf("a.kbd"), text, "A"}, EXIT_USAGE);
        run({"set", PathOf("a.kbd"), "1", "Ctrl+" + text}, EXIT_USAGE);
        run({text}, EXIT_USAGE);
        run({"list"}, EXIT_DONE);
        EXPECT_NE(console_.out.find(hostile.shown), std::string::npos);
        run({"list", "--json"}, EXIT_DONE);
        Json list;
        EXPECT_TRUE(JsonReader(console_.out).Read(&list) && list.items.size() == 1 &&
                    list[0]["path"].text == text);

        if (!hostile.namesAFile) continue;
        std::string name = PathOf(text + ".kbd");
        run({"set", name, "1", "A"}, EXIT_DONE);
        run({"show", name}, EXIT_DONE);
        run({"write", name}, EXIT_DONE);
        run({"show", "--json", name}, EXIT_DONE);
        Json shown;
        EXPECT_TRUE(JsonReader(console_.out).Read(&shown) && shown["file"].text == name);
    }
}

}  // namespace
