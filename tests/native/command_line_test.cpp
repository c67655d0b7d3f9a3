#include "logic/command_line.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr size_t PATH_SIZE = 260;

std::string Kept(const std::string& commandLine) {
    char path[PATH_SIZE + 8];
    std::fill(path, path + sizeof path, '#');
    KeepCommandLinePath(commandLine.c_str(), path, PATH_SIZE);
    for (size_t i = PATH_SIZE; i < sizeof path; ++i) EXPECT_EQ(path[i], '#') << "past the buffer";
    return path;
}

TEST(CommandLine, KeepsPathsThatContainDotKbd) {
    EXPECT_EQ(Kept(""), "");
    EXPECT_EQ(Kept("C:\\data\\panel.kbd"), "C:\\data\\panel.kbd");
    EXPECT_EQ(Kept("\"C:\\data\\panel.kbd\""), "C:\\data\\panel.kbd");
    EXPECT_EQ(Kept("C:\\data\\old.kbd.bak"), "C:\\data\\old.kbd.bak");
}

TEST(CommandLine, DropsOtherPaths) {
    EXPECT_EQ(Kept("C:\\data\\panel.txt"), "");
    EXPECT_EQ(Kept("C:\\data\\PANEL.KBD"), "");
    EXPECT_EQ(Kept("\""), "");
}

TEST(CommandLine, TrailingQuoteAloneDropsTheFirstCharacterToo) {
    EXPECT_EQ(Kept("C:\\a.kbd\""), ":\\a.kbd");
}

TEST(CommandLine, PathTooLongForTheBufferIsNotKept) {
    std::string longest = "C:\\" + std::string(PATH_SIZE - 8, 'a') + ".kbd";
    ASSERT_EQ(longest.size(), PATH_SIZE - 1);
    EXPECT_EQ(Kept(longest), longest);
    EXPECT_EQ(Kept("\"" + longest + "\""), longest);
    EXPECT_EQ(Kept("C:\\" + std::string(PATH_SIZE, 'a') + ".kbd"), "");
}

}  // namespace
