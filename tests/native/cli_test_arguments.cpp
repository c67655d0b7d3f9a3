// usbkbdctl's command line: help, version and key names, and every kind of
// usage fault, which ends with status 2 and one line naming it before
// anything is done.
#include <algorithm>

#include "cli/help.h"
#include "cli/key_parse.h"
#include "cli_test_support.h"

namespace {

using CliArgumentsTest = CliTest;

TEST_F(CliArgumentsTest, HelpOfTheToolAndOfEachVerb) {
    EXPECT_EQ(Run({"--help"}), EXIT_DONE);
    EXPECT_EQ(console_.out, HelpText(Verb::None));
    EXPECT_EQ(Out().at(0),
              "usbkbdctl: sets up QX206 and QX209 USB keyboard modules from the command line.");
    EXPECT_TRUE(console_.err.empty());

    const char* verbs[] = {"list", "read", "write", "reset", "show", "set", "clear"};
    const Verb kinds[] = {Verb::List, Verb::Read, Verb::Write, Verb::Reset,
                          Verb::Show, Verb::Set,  Verb::Clear};
    for (size_t i = 0; i < 7; ++i) {
        EXPECT_EQ(Run({verbs[i], "--help"}), EXIT_DONE) << verbs[i];
        EXPECT_EQ(console_.out, HelpText(kinds[i])) << verbs[i];
        EXPECT_EQ(Out().at(0).find(std::string("usage: usbkbdctl ") + verbs[i]), 0u) << verbs[i];
        EXPECT_EQ(Run({"-h", verbs[i]}), EXIT_DONE) << verbs[i];
        EXPECT_EQ(console_.out, HelpText(kinds[i])) << verbs[i];
    }
    EXPECT_TRUE(SimWrites().empty());
}

TEST_F(CliArgumentsTest, SetHelpListsEveryKeyNameOnce) {
    std::string help = HelpText(Verb::Set);
    EXPECT_NE(help.find("  A B C D E F G H I J K L M N O P Q R S T U V W X Y Z 1 2 3 4"),
              std::string::npos);
    EXPECT_NE(help.find(" \"Back Space\" "), std::string::npos);
    EXPECT_NE(help.find(" \xC7\xD1/\xBF\xB5 \xC7\xD1\xC0\xDA \"Left Ctrl\"\n"), std::string::npos);
    EXPECT_EQ(help.find("Enter"), help.rfind("Enter"));
    for (const std::string& line : LinesOf(help)) EXPECT_LE(line.size(), 78u) << line;
}

TEST_F(CliArgumentsTest, VersionStandsForTheWholeRun) {
    const std::vector<std::string> commandLines[] = {
        {"--version"}, {"list", "--version"}, {"write", "--version", "--json"}, {"--version", "x"}};
    AddModule(MODEL_QX209);
    for (const std::vector<std::string>& arguments : commandLines) {
        EXPECT_EQ(Run(arguments), EXIT_DONE) << arguments[0];
        EXPECT_EQ(console_.out, "usbkbdctl " USBKBD_PROJECT_VERSION "\n") << arguments[0];
        EXPECT_TRUE(console_.err.empty()) << arguments[0];
    }
    EXPECT_EQ(Run({"--help", "--version"}), EXIT_DONE);
    EXPECT_EQ(console_.out, HelpText(Verb::None));
    EXPECT_EQ(SimCount().enumerations, 0);
}

TEST_F(CliArgumentsTest, KeyNamesAreListedOneALineAndEachIsTakenBySet) {
    EXPECT_EQ(Run({"--key-names"}), EXIT_DONE);
    std::vector<std::string> names = Out();
    EXPECT_EQ(names, OfferedKeyNames());
    EXPECT_NE(std::find(names.begin(), names.end(), "Back Space"), names.end());
    for (const std::string& name : names) {
        EXPECT_EQ(Run({"set", PathOf("all.kbd"), "shift:8", name}), EXIT_DONE) << name;
        EXPECT_TRUE(console_.err.empty()) << name;
    }
}

TEST_F(CliArgumentsTest, UsageFaultsEndWithStatusTwoAndOneLine) {
    struct Case {
        std::vector<std::string> arguments;
        const char* told;
    };
    const Case cases[] = {
        {{}, "no verb given; see usbkbdctl --help"},
        {{"wirte", "a.kbd"},
         "unknown verb \"wirte\"; the verbs are list, read, write, reset, show, set, clear"},
        {{"list", "--colour"}, "unknown option \"--colour\""},
        {{"read", "-o"}, "option -o needs a value"},
        {{"write"}, "write takes FILE.kbd; see usbkbdctl write --help"},
        {{"write", "a.kbd", "b.kbd"}, "write takes FILE.kbd; see usbkbdctl write --help"},
        {{"list", "extra"}, "list takes no operands; see usbkbdctl list --help"},
        {{"set", "a.kbd", "1"}, "set takes FILE.kbd SLOT KEY; see usbkbdctl set --help"},
        {{"write", "a.kbd", "--json"}, "option --json does not go with write"},
        {{"show", "a.kbd", "--all"}, "option --all does not go with show"},
        {{"reset", "--no-verify"}, "option --no-verify does not go with reset"},
        {{"read", "--all-hid"}, "option --all-hid does not go with read"},
        {{"set", "a.kbd", "1", "A", "--sim", "bus.txt"}, "option --sim does not go with set"},
        {{"read", "--all", "--device", "x"}, "--all and --device exclude each other"},
        {{"read", "--all", "-o", "a.kbd"}, "-o saves one module's table: not with --all"},
    };
    AddModule(MODEL_QX209);
    for (const Case& c : cases) {
        EXPECT_EQ(Run(c.arguments), EXIT_USAGE) << c.told;
        EXPECT_TRUE(console_.out.empty()) << c.told;
        EXPECT_EQ(Err(), std::vector<std::string>{std::string("usbkbdctl: ") + c.told});
    }
    EXPECT_TRUE(SimWrites().empty());
    EXPECT_EQ(SimCount().enumerations, 0);
}

TEST_F(CliArgumentsTest, OptionsStandAnywhereAndDoubleDashEndsThem) {
    WriteFile("-odd.kbd", "0004\r\n");
    EXPECT_EQ(Run({"--json", "show", "--", PathOf("-odd.kbd")}), EXIT_DONE) << console_.err;
    EXPECT_EQ(console_.out.find("{\"file\":"), 0u);
    EXPECT_EQ(Run({"show", "--", "--json"}), EXIT_USAGE);
    EXPECT_EQ(Err(), std::vector<std::string>{"usbkbdctl: cannot read --json: no such file"});
}

}  // namespace
