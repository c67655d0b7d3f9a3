// File > Open, Save and Save As: which dialog runs, what the program keeps
// of its choice, and what reaches the disk and the console.
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "logic/file_commands.h"
#include "logic/messages.h"
#include "logic_test_support.h"

namespace {

namespace fs = std::filesystem;

constexpr char CTRL_C_TEXT[] =
    "0106 0000 0000 0000 0000 0000 0000 0000\r\n"
    "0000 0000 0000 0000 0000 0000 0000 0028\r\n";

class FileCommandsTest : public LogicTest {
protected:
    void SetUp() override {
        LogicTest::SetUp();
        std::string pattern = (fs::temp_directory_path() / "logic_file_test_XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        folder_ = pattern;
        SetKeyCode(LAYER_NORMAL, 1, 0x0106);
        SetKeyCode(LAYER_SHIFT, 8, 0x0028);
    }
    void TearDown() override { fs::remove_all(folder_); }

    std::string PathOf(const char* name) const { return (folder_ / name).string(); }

    static std::string ReadAll(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    void Choose(FileChoice choice, const std::string& path, const char* title) {
        view.choice = choice;
        view.chosenPath = path;
        view.chosenTitle = title;
    }

    fs::path folder_;
};

TEST_F(FileCommandsTest, SaveWithAFileTitleWritesTheCurrentPathWithoutADialog) {
    std::snprintf(g_currentPath, sizeof g_currentPath, "%s", PathOf("a.kbd").c_str());
    std::snprintf(g_fileTitle, sizeof g_fileTitle, "a.kbd");
    SaveFile(view);
    EXPECT_EQ(Joined(view.calls), "");
    EXPECT_EQ(ReadAll(PathOf("a.kbd")), CTRL_C_TEXT);
}

TEST_F(FileCommandsTest, SaveWithoutAFileTitleAsksLikeSaveAs) {
    // A path from the command line has no file title: Save still asks.
    std::snprintf(g_currentPath, sizeof g_currentPath, "%s", PathOf("old.kbd").c_str());
    Choose(FileChoice::Kept, PathOf("new.kbd"), "new.kbd");
    SaveFile(view);
    EXPECT_EQ(Joined(view.calls), "saveAs repaint");
    EXPECT_EQ(std::string(view.dialogStart.path), PathOf("old.kbd"));
    EXPECT_EQ(std::string(view.dialogStart.title), "");
    EXPECT_STREQ(g_currentPath, PathOf("new.kbd").c_str());
    EXPECT_STREQ(g_fileTitle, "new.kbd");
    EXPECT_EQ(ReadAll(PathOf("new.kbd")), CTRL_C_TEXT);
    EXPECT_FALSE(fs::exists(PathOf("old.kbd")));

    view.calls.clear();
    SaveFile(view);
    EXPECT_EQ(Joined(view.calls), "") << "the title from Save As is kept";
}

TEST_F(FileCommandsTest, SaveAsCancelledKeepsEverything) {
    std::snprintf(g_currentPath, sizeof g_currentPath, "%s", PathOf("a.kbd").c_str());
    std::snprintf(g_fileTitle, sizeof g_fileTitle, "a.kbd");
    Choose(FileChoice::Cancelled, PathOf("b.kbd"), "b.kbd");
    SaveFileAs(view);
    EXPECT_EQ(Joined(view.calls), "saveAs");
    EXPECT_EQ(std::string(view.dialogStart.title), "a.kbd");
    EXPECT_STREQ(g_currentPath, PathOf("a.kbd").c_str());
    EXPECT_STREQ(g_fileTitle, "a.kbd");
    EXPECT_TRUE(fs::is_empty(folder_));
}

TEST_F(FileCommandsTest, SaveAsOfAnUnnamableFileSavesNothingAndSaysSo) {
    std::snprintf(g_currentPath, sizeof g_currentPath, "%s", PathOf("a.kbd").c_str());
    Choose(FileChoice::Unnamable, PathOf("b.kbd"), "b.kbd");
    SaveFileAs(view);
    EXPECT_EQ(Joined(view.calls), "saveAs repaint console");
    EXPECT_EQ(view.console, Korean(MSG_SAVE_ERROR));
    EXPECT_STREQ(g_currentPath, PathOf("a.kbd").c_str());
    EXPECT_STREQ(g_fileTitle, "");
    EXPECT_TRUE(fs::is_empty(folder_));
}

TEST_F(FileCommandsTest, SaveWhereNoFileCanBePutSaysSo) {
    Choose(FileChoice::Kept, PathOf("missing/b.kbd"), "b.kbd");
    SaveFileAs(view);
    EXPECT_EQ(Joined(view.calls), "saveAs repaint console");
    EXPECT_EQ(view.console, Korean(MSG_SAVE_ERROR));
    EXPECT_STREQ(g_fileTitle, "b.kbd");
}

TEST_F(FileCommandsTest, OpenLoadsTheFileAndShowsItsNormalLayer) {
    std::ofstream(PathOf("c.kbd"), std::ios::binary) << "0004 0005\r\n0000 0029\r\n";
    g_selectedLayer = LAYER_SHIFT;
    Choose(FileChoice::Kept, PathOf("c.kbd"), "c.kbd");
    OpenFile(view);
    EXPECT_EQ(Joined(view.calls), "open repaint check:normal");
    EXPECT_EQ(g_selectedLayer, LAYER_NORMAL);
    EXPECT_STREQ(g_fileTitle, "c.kbd");
    EXPECT_EQ(GetKeyCode(LAYER_NORMAL, 2), 0x0005);
    EXPECT_EQ(GetKeyCode(LAYER_SHIFT, 2), 0x0029);
    EXPECT_STREQ(g_slotTexts[0], "<A>");
    EXPECT_STREQ(g_slotTexts[1], "<B>");
}

TEST_F(FileCommandsTest, OpenCancelledOrUnnamableLoadsNothing) {
    std::ofstream(PathOf("c.kbd"), std::ios::binary) << "0004\r\n";
    std::snprintf(g_currentPath, sizeof g_currentPath, "%s", PathOf("c.kbd").c_str());
    g_selectedLayer = LAYER_SHIFT;
    for (FileChoice choice : {FileChoice::Cancelled, FileChoice::Unnamable}) {
        view.calls.clear();
        Choose(choice, PathOf("d.kbd"), "d.kbd");
        OpenFile(view);
        EXPECT_EQ(Joined(view.calls), "open");
        EXPECT_STREQ(g_currentPath, PathOf("c.kbd").c_str());
        EXPECT_EQ(GetKeyCode(LAYER_NORMAL, 1), 0x0106) << "the current path was loaded";
        EXPECT_EQ(g_selectedLayer, LAYER_SHIFT);
    }
}

// A file dropped on the window opens as the one chosen in the Open dialog.
TEST_F(FileCommandsTest, DropOpensTheFirstKbdFileAsOpenDoes) {
    std::ofstream(PathOf("c.KBD"), std::ios::binary) << "0004 0005\r\n0000 0029\r\n";
    std::ofstream(PathOf("d.kbd"), std::ios::binary) << "0006\r\n";
    g_selectedLayer = LAYER_SHIFT;
    OpenDroppedFile(view, {PathOf("notes.txt"), "", PathOf("c.KBD"), PathOf("d.kbd")});
    EXPECT_EQ(Joined(view.calls), "repaint check:normal");
    EXPECT_EQ(g_selectedLayer, LAYER_NORMAL);
    EXPECT_STREQ(g_currentPath, PathOf("c.KBD").c_str());
    EXPECT_STREQ(g_fileTitle, "c.KBD");
    EXPECT_EQ(GetKeyCode(LAYER_NORMAL, 2), 0x0005);
    EXPECT_EQ(GetKeyCode(LAYER_SHIFT, 2), 0x0029);
    EXPECT_STREQ(g_slotTexts[1], "<B>");
}

TEST_F(FileCommandsTest, DropWithoutAKbdFileChangesNothing) {
    std::string longName = std::string(PATH_SIZE, 'x') + ".kbd";
    std::snprintf(g_currentPath, sizeof g_currentPath, "%s", PathOf("c.kbd").c_str());
    g_selectedLayer = LAYER_SHIFT;
    OpenDroppedFile(view, {PathOf("a.kbd.txt"), PathOf("kbd"), PathOf(".kbdx"), "", longName});
    OpenDroppedFile(view, {});
    EXPECT_EQ(Joined(view.calls), "");
    EXPECT_STREQ(g_currentPath, PathOf("c.kbd").c_str());
    EXPECT_STREQ(g_fileTitle, "");
    EXPECT_EQ(GetKeyCode(LAYER_NORMAL, 1), 0x0106);
    EXPECT_EQ(g_selectedLayer, LAYER_SHIFT);
}

}  // namespace
