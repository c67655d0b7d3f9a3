// The main window's command dispatch and the program's start.
#include <stdlib.h>

#include <filesystem>
#include <fstream>

#include "logic/command_ids.h"
#include "logic/commands.h"
#include "logic/messages.h"
#include "logic/program.h"
#include "logic_test_support.h"

namespace {

using CommandsTest = LogicTest;

TEST_F(CommandsTest, ChangePutsThePickedKeyIntoTheSlotOfTheSelectedLayer) {
    view.pickedCode = 0x0106;
    g_selectedLayer = LAYER_SHIFT;
    OnCommand(view, ID_CHANGE_FIRST + 2);
    EXPECT_EQ(Joined(view.calls), "picker panel");
    EXPECT_EQ(GetKeyCode(LAYER_SHIFT, 3), 0x0106);
    EXPECT_EQ(GetKeyCode(LAYER_NORMAL, 3), 0);
    ASSERT_EQ(view.panels.size(), 1u);
    EXPECT_EQ(view.panels[0], "||<Ctrl><C>||||||");

    view.calls.clear();
    view.pickedCode = 0;
    OnCommand(view, ID_CHANGE_FIRST + 2);
    EXPECT_EQ(Joined(view.calls), "picker") << "nothing picked, nothing drawn";
    EXPECT_EQ(GetKeyCode(LAYER_SHIFT, 3), 0x0106);
}

TEST_F(CommandsTest, EverySlotHasItsChangeAndClearButton) {
    for (int slot = 1; slot <= SLOT_COUNT; ++slot) {
        view.pickedCode = 0x0003 + slot;
        OnCommand(view, ID_CHANGE_FIRST + slot - 1);
        EXPECT_EQ(GetKeyCode(LAYER_NORMAL, slot), 0x0003 + slot) << slot;
    }
    for (int slot = 1; slot <= SLOT_COUNT; ++slot) {
        OnCommand(view, ID_CLEAR_FIRST + slot - 1);
        EXPECT_EQ(GetKeyCode(LAYER_NORMAL, slot), 0) << slot;
        if (slot < SLOT_COUNT) {
            EXPECT_NE(GetKeyCode(LAYER_NORMAL, slot + 1), 0) << slot;
        }
    }
    EXPECT_EQ(view.panels.size(), 2u * SLOT_COUNT);
    EXPECT_EQ(view.panels.back(), "||||||||");
}

TEST_F(CommandsTest, LayerButtonsSelectTheLayerTheSlotTextsShow) {
    SetKeyCode(LAYER_NORMAL, 1, 0x0004);
    SetKeyCode(LAYER_SHIFT, 1, 0x0005);
    OnCommand(view, ID_SHIFT_LAYER);
    EXPECT_EQ(g_selectedLayer, LAYER_SHIFT);
    OnCommand(view, ID_NORMAL_LAYER);
    EXPECT_EQ(g_selectedLayer, LAYER_NORMAL);
    EXPECT_EQ(Joined(view.calls), "panel panel");
    ASSERT_EQ(view.panels.size(), 2u);
    EXPECT_EQ(view.panels[0], "<B>||||||||");
    EXPECT_EQ(view.panels[1], "<A>||||||||");
}

TEST_F(CommandsTest, NewEmptiesTableTitleAndConsoleAndShowsTheNormalLayer) {
    SetKeyCode(LAYER_SHIFT, 4, 0x0004);
    g_selectedLayer = LAYER_SHIFT;
    std::snprintf(g_currentPath, sizeof g_currentPath, "C:\\a.kbd");
    std::snprintf(g_fileTitle, sizeof g_fileTitle, "a.kbd");
    ReplaceConsoleText(MSG_HELP);
    OnCommand(view, IDM_FILE_NEW);
    EXPECT_EQ(Joined(view.calls), "panel check:normal console");
    EXPECT_EQ(GetKeyCode(LAYER_SHIFT, 4), 0);
    EXPECT_EQ(g_selectedLayer, LAYER_NORMAL);
    EXPECT_STREQ(g_fileTitle, "");
    EXPECT_STREQ(g_currentPath, "C:\\a.kbd") << "the path stays for the next dialog";
    EXPECT_EQ(view.console, "");
}

TEST_F(CommandsTest, MenuCommandsReachTheirFlows) {
    const struct {
        int id;
        const char* calls;
    } cases[] = {
        {IDM_FILE_EXIT, "quit"},
        {IDM_FILE_OPEN, "open"},
        {IDM_FILE_SAVE_AS, "saveAs"},
        {IDM_FILE_SAVE, "saveAs"},
        {IDM_DATA_WRITE, "busy console console idle"},
        {IDM_DATA_READ, "busy console idle"},
        {IDM_USB_RESET, "busy console idle"},
        {ID_CHANGE_FIRST + SLOT_COUNT, ""},
        {ID_CLEAR_FIRST - 1, ""},
        {0, ""},
    };
    for (const auto& c : cases) {
        view.calls.clear();
        OnCommand(view, c.id);
        EXPECT_EQ(Joined(view.calls), c.calls) << c.id;
    }
}

TEST_F(CommandsTest, StartKeepsTheCommandLinePathAndLoadsItWithTheWindow) {
    std::string path = (std::filesystem::temp_directory_path() / "logic_start_test.kbd").string();
    std::ofstream(path, std::ios::binary) << "0029\r\n0004\r\n";
    g_connected = 1;
    g_selectedLayer = LAYER_SHIFT;
    StartProgram(("\"" + path + "\"").c_str(), Language::Korean);
    EXPECT_EQ(g_connected, 0);
    EXPECT_EQ(std::string(g_currentPath), path);

    PrepareConsoleText();
    EXPECT_STREQ(g_consoleText, Korean(MSG_HELP));
    AddModule(MODEL_QX209);
    OnWindowCreated(view);
    EXPECT_EQ(Joined(view.calls), "check:normal enable console showLayers");
    EXPECT_EQ(g_selectedLayer, LAYER_NORMAL);
    EXPECT_EQ(GetKeyCode(LAYER_SHIFT, 1), 0x0004);
    EXPECT_STREQ(g_slotTexts[0], "<Esc>");
    EXPECT_STREQ(g_fileTitle, "") << "a path from the command line has no title";
    std::filesystem::remove(path);
}

TEST_F(CommandsTest, StartWithoutAKbdPathLoadsNothingAndSpeaksTheLanguageChosen) {
    SetKeyCode(LAYER_NORMAL, 1, 0x0004);
    StartProgram("C:\\notes.txt", Language::English);
    EXPECT_STREQ(g_currentPath, "");
    PrepareConsoleText();
    EXPECT_STREQ(g_consoleText, MessageText(MSG_HELP, Language::English));
    OnWindowCreated(view);
    EXPECT_EQ(Joined(view.calls), "check:normal");
    EXPECT_EQ(GetKeyCode(LAYER_NORMAL, 1), 0x0004);
}

}  // namespace
