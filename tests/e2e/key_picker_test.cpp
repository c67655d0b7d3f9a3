// The key picker as a person uses it: opened from a slot's Change button,
// driven by clicks, checked by what it shows and by the key it leaves in the slot.
#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

#include "logic/command_ids.h"
#include "app/key_picker.h"
#include "app/wide_text.h"
#include "app_harness.h"
#include "model/key_table.h"

namespace {

constexpr wchar_t PICKER_CAPTION[] = L" Keyboard";
constexpr int PICK_SLOT = 1;
constexpr int CHILD_COUNT = 111;

// How a button looks when the dialog opens.
enum Kind {
    PUSH,        // visible one-line push button
    MULTI_LINE,  // visible push button whose caption may take two lines
    TWIN,        // flat push button, hidden until its modifier is held
    HIDDEN,      // default push button that is never shown at opening (OK, Cancel)
};

struct PickerButton {
    int id;
    const char* caption;  // code page 949 bytes
    RECT units;           // x, y, width, height in dialog units
    Kind kind;
    int usage;  // what a click picks; 0 for the modifiers, their twins, OK and Cancel
};

// Every control in creation order.
const PickerButton BUTTONS[] = {
    {2, "Cancel", {417, 7, 32, 14}, HIDDEN, 0},
    {1002, "Esc", {15, 7, 20, 17}, PUSH, 0x29},
    {1003, "F1", {47, 7, 17, 17}, PUSH, 0x3A},
    {1004, "F2", {66, 7, 17, 17}, PUSH, 0x3B},
    {1005, "F3", {85, 7, 17, 17}, PUSH, 0x3C},
    {1006, "F4", {104, 7, 17, 17}, PUSH, 0x3D},
    {1007, "F5", {134, 7, 17, 17}, PUSH, 0x3E},
    {1008, "F6", {153, 7, 17, 17}, PUSH, 0x3F},
    {1009, "F7", {172, 7, 17, 17}, PUSH, 0x40},
    {1010, "F8", {191, 7, 17, 17}, PUSH, 0x41},
    {1011, "F9", {222, 7, 17, 17}, PUSH, 0x42},
    {1012, "F10", {241, 7, 17, 17}, PUSH, 0x43},
    {1013, "F11", {260, 7, 17, 17}, PUSH, 0x44},
    {1014, "F12", {279, 7, 17, 17}, PUSH, 0x45},
    {1015, "~\n`", {14, 34, 17, 20}, MULTI_LINE, 0x35},
    {1016, "!\n1", {33, 34, 17, 20}, MULTI_LINE, 0x1E},
    {1017, "@\n2", {52, 34, 17, 20}, MULTI_LINE, 0x1F},
    {1018, "#\n3", {71, 34, 17, 20}, MULTI_LINE, 0x20},
    {1019, "$\n4", {90, 34, 17, 20}, MULTI_LINE, 0x21},
    {1020, "%\n5", {109, 34, 17, 20}, MULTI_LINE, 0x22},
    {1021, "^\n6", {128, 34, 17, 20}, MULTI_LINE, 0x23},
    {1022, "&&\n7", {146, 34, 17, 20}, MULTI_LINE, 0x24},
    {1023, "*\n8", {165, 34, 17, 20}, MULTI_LINE, 0x25},
    {1024, "(\n9", {184, 34, 17, 20}, MULTI_LINE, 0x26},
    {1025, ")\n0", {203, 34, 17, 20}, MULTI_LINE, 0x27},
    {1026, "_\n-", {222, 34, 17, 20}, MULTI_LINE, 0x2D},
    {1027, "+\n=", {241, 34, 17, 20}, MULTI_LINE, 0x2E},
    {1028, "|\n\\", {260, 34, 17, 20}, MULTI_LINE, 0x31},
    {1029, "\xA1\xE7", {279, 34, 17, 20}, MULTI_LINE, 0x2A},
    {1030, "Tab", {14, 55, 26, 20}, MULTI_LINE, 0x2B},
    {1031, "Q", {42, 55, 17, 20}, MULTI_LINE, 0x14},
    {1032, "W", {61, 55, 17, 20}, MULTI_LINE, 0x1A},
    {1033, "E", {80, 55, 17, 20}, MULTI_LINE, 0x08},
    {1034, "R", {99, 55, 17, 20}, MULTI_LINE, 0x15},
    {1035, "T", {118, 55, 17, 20}, MULTI_LINE, 0x17},
    {1036, "Y", {137, 55, 17, 20}, MULTI_LINE, 0x1C},
    {1037, "U", {156, 55, 17, 20}, MULTI_LINE, 0x18},
    {1038, "I", {174, 55, 17, 20}, MULTI_LINE, 0x0C},
    {1039, "O", {193, 55, 17, 20}, MULTI_LINE, 0x12},
    {1040, "P", {212, 55, 17, 20}, MULTI_LINE, 0x13},
    {1041, "{\n[", {230, 55, 17, 20}, MULTI_LINE, 0x2F},
    {1042, "}\n]", {249, 55, 17, 20}, MULTI_LINE, 0x30},
    {1043, "Caps Lock", {7, 77, 44, 20}, MULTI_LINE, 0x39},
    {1044, "A", {52, 77, 17, 20}, MULTI_LINE, 0x04},
    {1045, "S", {70, 77, 17, 20}, MULTI_LINE, 0x16},
    {1046, "D", {89, 77, 17, 20}, MULTI_LINE, 0x07},
    {1047, "F", {108, 77, 17, 20}, MULTI_LINE, 0x09},
    {1048, "G", {127, 77, 17, 20}, MULTI_LINE, 0x0A},
    {1049, "H", {146, 77, 17, 20}, MULTI_LINE, 0x0B},
    {1050, "J", {165, 77, 17, 20}, MULTI_LINE, 0x0D},
    {1051, "K", {184, 77, 17, 20}, MULTI_LINE, 0x0E},
    {1052, "L", {202, 77, 17, 20}, MULTI_LINE, 0x0F},
    {1053, ":\n;", {221, 77, 17, 20}, MULTI_LINE, 0x33},
    {1054, "\"\n'", {240, 77, 17, 20}, MULTI_LINE, 0x34},
    {1055, "Enter", {259, 77, 37, 20}, MULTI_LINE, 0x28},
    {1056, "Shift", {7, 99, 54, 20}, PUSH, 0},
    {1057, "Z", {62, 99, 17, 20}, MULTI_LINE, 0x1D},
    {1058, "X", {81, 99, 17, 20}, MULTI_LINE, 0x1B},
    {1059, "C", {99, 99, 17, 20}, MULTI_LINE, 0x06},
    {1060, "V", {118, 99, 17, 20}, MULTI_LINE, 0x19},
    {1061, "B", {137, 99, 17, 20}, MULTI_LINE, 0x05},
    {1062, "N", {156, 99, 17, 20}, MULTI_LINE, 0x11},
    {1063, "M", {175, 99, 17, 20}, MULTI_LINE, 0x10},
    {1064, "<\n,", {194, 99, 17, 20}, MULTI_LINE, 0x36},
    {1065, ">\n.", {213, 99, 17, 20}, MULTI_LINE, 0x37},
    {1066, "?\n/", {232, 99, 17, 20}, MULTI_LINE, 0x38},
    {1067, "Shift", {251, 99, 45, 20}, PUSH, 0},
    {1068, "Ctrl", {7, 121, 22, 18}, MULTI_LINE, 0},
    {1069, "Alt", {31, 121, 22, 18}, MULTI_LINE, 0},
    {1070, "\xC7\xD1\xC0\xDA", {55, 121, 29, 18}, MULTI_LINE, 0x91},
    {1071, "Space", {85, 121, 132, 18}, MULTI_LINE, 0x2C},
    {1072, "\xC7\xD1/\xBF\xB5", {218, 121, 29, 18}, MULTI_LINE, 0x90},
    {1073, "Alt", {249, 121, 22, 18}, PUSH, 0},
    {1074, "Ctrl", {273, 121, 22, 18}, PUSH, 0},
    {1075, "Ins", {307, 52, 29, 18}, MULTI_LINE, 0x49},
    {1076, "Del", {307, 72, 29, 18}, MULTI_LINE, 0x4C},
    {1077, "Home", {337, 52, 29, 18}, MULTI_LINE, 0x4A},
    {1078, "End", {337, 72, 29, 18}, MULTI_LINE, 0x4D},
    {1079, "PgUp", {368, 52, 29, 18}, MULTI_LINE, 0x4B},
    {1080, "PgDn", {368, 72, 29, 18}, MULTI_LINE, 0x4E},
    {1081, "\xA1\xE8", {337, 102, 29, 17}, MULTI_LINE, 0x52},
    {1082, "\xA1\xE9", {337, 121, 29, 18}, MULTI_LINE, 0x51},
    {1083, "\xA1\xE7", {307, 121, 29, 18}, MULTI_LINE, 0x50},
    {1084, "\xA1\xE6", {368, 121, 29, 18}, MULTI_LINE, 0x4F},
    {1085, "Print\nScreen", {307, 7, 29, 23}, MULTI_LINE, 0x46},
    {1086, "Scroll\nLock", {337, 7, 29, 23}, MULTI_LINE, 0x47},
    {1087, "Pause\nBreak", {368, 7, 29, 23}, MULTI_LINE, 0x48},
    {1088, "Num\nLock", {407, 31, 24, 21}, MULTI_LINE, 0x53},
    {1000, "Shift", {7, 99, 54, 20}, TWIN, 0},
    {1001, "Shift", {251, 99, 45, 20}, TWIN, 0},
    {1089, "Ctrl", {7, 121, 22, 18}, TWIN, 0},
    {1090, "Alt", {31, 121, 22, 18}, TWIN, 0},
    {1092, "Alt", {249, 121, 22, 18}, TWIN, 0},
    {1091, "Ctrl", {273, 121, 22, 18}, TWIN, 0},
    {1093, "/", {433, 31, 17, 21}, MULTI_LINE, 0x54},
    {1094, "*", {452, 31, 17, 21}, MULTI_LINE, 0x55},
    {1095, "-", {471, 31, 17, 21}, MULTI_LINE, 0x56},
    {1097, "7", {412, 54, 19, 20}, MULTI_LINE, 0x5F},
    {1098, "8", {433, 54, 17, 20}, MULTI_LINE, 0x60},
    {1099, "9", {452, 54, 17, 20}, MULTI_LINE, 0x61},
    {1100, "+", {471, 54, 17, 42}, MULTI_LINE, 0x57},
    {1102, "4", {412, 76, 19, 20}, MULTI_LINE, 0x5C},
    {1103, "5", {433, 76, 17, 20}, MULTI_LINE, 0x5D},
    {1104, "6", {452, 76, 17, 20}, MULTI_LINE, 0x5E},
    {1107, "1", {412, 98, 19, 20}, MULTI_LINE, 0x59},
    {1108, "2", {433, 98, 17, 20}, MULTI_LINE, 0x5A},
    {1109, "3", {452, 98, 17, 20}, MULTI_LINE, 0x5B},
    {1110, "Ent", {471, 97, 17, 42}, MULTI_LINE, 0x58},
    {1112, "0", {412, 120, 38, 19}, MULTI_LINE, 0x62},
    {1114, ".", {452, 120, 17, 19}, MULTI_LINE, 0x63},
    {1, "OK", {451, 7, 37, 14}, HIDDEN, 0},
};
static_assert(std::size(BUTTONS) == CHILD_COUNT);

struct Modifier {
    const char* name;
    int button;
    int twin;
    int bit;
    int usage;  // the modifier key picked by itself
};

const Modifier LEFT_CTRL = {"left Ctrl", 1068, 1089, 0x01, 0xE0};
const Modifier LEFT_SHIFT = {"left Shift", 1056, 1000, 0x02, 0xE1};
const Modifier LEFT_ALT = {"left Alt", 1069, 1090, 0x04, 0xE2};
const Modifier RIGHT_CTRL = {"right Ctrl", 1074, 1091, 0x10, 0xE4};
const Modifier RIGHT_SHIFT = {"right Shift", 1067, 1001, 0x20, 0xE5};
const Modifier RIGHT_ALT = {"right Alt", 1073, 1092, 0x40, 0xE6};
const Modifier MODIFIERS[] = {LEFT_CTRL, LEFT_SHIFT, LEFT_ALT, RIGHT_CTRL, RIGHT_SHIFT, RIGHT_ALT};

constexpr int KEY_ESC = 1002;
constexpr int KEY_Q = 1031;
constexpr int KEY_A = 1044;
constexpr int KEY_C = 1059;
constexpr int KEY_Z = 1057;
constexpr int KEY_PAUSE = 1087;
constexpr int KEYPAD_1 = 1107;

// Clicks the Change button of the slot and waits for the picker to show.
HWND OpenPicker(AppUnderTest& app) {
    app.PostCommand(ID_CHANGE_FIRST + PICK_SLOT - 1);
    return WaitForDialog(PICKER_CAPTION);
}

bool Shown(HWND dialog, int id) {
    return IsWindowVisible(GetDlgItem(dialog, id)) != FALSE;
}

// A person clicks only what is on screen.
void Click(HWND dialog, int id) {
    HWND button = GetDlgItem(dialog, id);
    ASSERT_NE(button, nullptr) << id;
    ASSERT_TRUE(IsWindowVisible(button)) << id;
    SendMessageW(button, BM_CLICK, 0, 0);
}

void Hold(HWND dialog, const Modifier& modifier) {
    SCOPED_TRACE(modifier.name);
    Click(dialog, modifier.button);
}

// Clicks a button that ends the dialog; returns once the slot has its code.
void ClickToClose(AppUnderTest& app, HWND dialog, int id) {
    ASSERT_NO_FATAL_FAILURE(Click(dialog, id));
    ASSERT_TRUE(WaitUntilClosed(dialog)) << id;
    app.Sync();
}

int32_t SlotCode() {
    return GetKeyCode(LAYER_NORMAL, PICK_SLOT);
}

// Opens the picker, holds the modifiers, clicks the key and returns what the slot holds.
int32_t Pick(AppUnderTest& app, const std::vector<Modifier>& held, int key) {
    HWND dialog = OpenPicker(app);
    EXPECT_NE(dialog, nullptr);
    if (dialog == nullptr) return -1;
    for (const Modifier& modifier : held) Hold(dialog, modifier);
    ClickToClose(app, dialog, key);
    return SlotCode();
}

// The look of the dialog at opening: every modifier up and OK hidden.
void ExpectNothingHeld(HWND dialog) {
    for (const Modifier& modifier : MODIFIERS) {
        EXPECT_TRUE(Shown(dialog, modifier.button)) << modifier.name;
        EXPECT_FALSE(Shown(dialog, modifier.twin)) << modifier.name;
    }
    EXPECT_FALSE(Shown(dialog, IDOK));
    EXPECT_FALSE(Shown(dialog, IDCANCEL));
}

// Where a control of the template lies in pixels: the dialog maps its
// position and its size from dialog units each on its own.
RECT PixelsOfUnits(HWND dialog, const RECT& units) {
    RECT mapped = units;
    MapDialogRect(dialog, &mapped);
    return {mapped.left, mapped.top, mapped.left + mapped.right, mapped.top + mapped.bottom};
}

// Paints the dialog and its buttons now, as they stand.
void PaintNow(HWND dialog) {
    RedrawWindow(dialog, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

// The colours on screen where a button lies, row by row.
std::vector<COLORREF> LookOf(HWND dialog, int id) {
    RECT rect = ChildRect(GetDlgItem(dialog, id));
    std::vector<COLORREF> look;
    HDC dc = GetDC(dialog);
    for (int y = rect.top; y < rect.bottom; ++y) {
        for (int x = rect.left; x < rect.right; ++x) look.push_back(GetPixel(dc, x, y));
    }
    ReleaseDC(dialog, dc);
    return look;
}

TEST(KeyPicker, OpensModallyAsTheKeyboardOfTheTemplate) {
    AppUnderTest app;
    HWND dialog = OpenPicker(app);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(TextOf(dialog), " Keyboard");
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), app.Window());
    EXPECT_FALSE(IsWindowEnabled(app.Window()));
    LONG style = GetWindowLongW(dialog, GWL_STYLE);
    const LONG frame = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    EXPECT_EQ(style & frame, frame);

    RECT client;
    GetClientRect(dialog, &client);
    RECT size = PixelsOfUnits(dialog, {0, 0, 495, 146});
    EXPECT_EQ(client.right, size.right);
    EXPECT_EQ(client.bottom, size.bottom);

    LOGFONTW font = {};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0)), sizeof font, &font);
    EXPECT_EQ(std::wstring(font.lfFaceName), WideFromCp949("\xB1\xBC\xB8\xB2"));  // "굴림"
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(font.lfHeight, -MulDiv(9, GetDeviceCaps(screen, LOGPIXELSY), 72));
    ReleaseDC(nullptr, screen);

    HWND child = GetWindow(dialog, GW_CHILD);
    for (const PickerButton& expected : BUTTONS) {
        SCOPED_TRACE(expected.id);
        ASSERT_NE(child, nullptr);
        EXPECT_EQ(GetDlgCtrlID(child), expected.id);
        EXPECT_EQ(ClassOf(child), "Button");
        EXPECT_EQ(TextOf(child), expected.caption);
        RECT rect = ChildRect(child);
        RECT units = PixelsOfUnits(dialog, expected.units);
        EXPECT_EQ(rect.left, units.left);
        EXPECT_EQ(rect.top, units.top);
        EXPECT_EQ(rect.right, units.right);
        EXPECT_EQ(rect.bottom, units.bottom);

        LONG buttonStyle = GetWindowLongW(child, GWL_STYLE);
        // The dialog manager moves the default style between push buttons as
        // the focus moves, so only the shown keys have a fixed type.
        if (expected.kind != HIDDEN) {
            EXPECT_EQ(buttonStyle & BS_TYPEMASK, BS_PUSHBUTTON);
        }
        EXPECT_EQ((buttonStyle & BS_MULTILINE) != 0, expected.kind == MULTI_LINE);
        EXPECT_EQ((buttonStyle & BS_FLAT) != 0, expected.kind == TWIN);
        EXPECT_EQ((buttonStyle & WS_TABSTOP) != 0, expected.id == IDOK);
        EXPECT_EQ(IsWindowVisible(child) != FALSE,
                  expected.kind == PUSH || expected.kind == MULTI_LINE);
        child = GetWindow(child, GW_HWNDNEXT);
    }
    EXPECT_EQ(child, nullptr);
}

// Each key button, clicked, leaves its usage ID in the slot: a wrong id or
// caption in the template shows here.
TEST(KeyPicker, EveryKeyButtonPicksItsUsage) {
    AppUnderTest app;
    int keys = 0;
    for (const PickerButton& key : BUTTONS) {
        if (key.usage == 0) continue;
        SCOPED_TRACE(key.id);
        ++keys;
        HWND dialog = OpenPicker(app);
        ASSERT_NE(dialog, nullptr);
        ASSERT_NO_FATAL_FAILURE(ClickToClose(app, dialog, key.id));
        EXPECT_EQ(SlotCode(), key.usage);
        EXPECT_EQ(g_pickedCode, key.usage);
    }
    EXPECT_EQ(keys, 97);
}

TEST(KeyPicker, EachModifierTogglesBetweenItsButtonAndItsTwin) {
    AppUnderTest app;
    for (const Modifier& modifier : MODIFIERS) {
        SCOPED_TRACE(modifier.name);
        HWND dialog = OpenPicker(app);
        ASSERT_NE(dialog, nullptr);
        ASSERT_NO_FATAL_FAILURE(Click(dialog, modifier.button));
        EXPECT_FALSE(Shown(dialog, modifier.button));
        EXPECT_TRUE(Shown(dialog, modifier.twin));
        EXPECT_TRUE(Shown(dialog, IDOK));
        ASSERT_NO_FATAL_FAILURE(Click(dialog, modifier.twin));
        ExpectNothingHeld(dialog);
        ASSERT_NO_FATAL_FAILURE(ClickToClose(app, dialog, KEY_A));
        EXPECT_EQ(SlotCode(), 0x0004) << "released modifier still held";

        EXPECT_EQ(Pick(app, {modifier}, KEY_Q), modifier.bit * 256 + 0x14);
    }
}

TEST(KeyPicker, HeldModifiersCombineWithTheKey) {
    AppUnderTest app;
    const struct {
        std::vector<Modifier> held;
        int key;
        int32_t code;
    } cases[] = {
        {{LEFT_CTRL}, KEY_C, 0x0106},
        {{LEFT_SHIFT, RIGHT_SHIFT}, KEY_A, 0x2204},
        {{RIGHT_ALT, LEFT_CTRL, RIGHT_SHIFT, LEFT_ALT, RIGHT_CTRL, LEFT_SHIFT}, KEY_Q, 0x7714},
        {{LEFT_ALT}, KEY_PAUSE, 0x0448},
        {{RIGHT_CTRL, LEFT_SHIFT}, KEYPAD_1, 0x1259},
        {{LEFT_SHIFT}, KEY_ESC, 0x0229},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(Pick(app, c.held, c.key), c.code);
    }
}

TEST(KeyPicker, OkPicksAModifierKeyByItself) {
    AppUnderTest app;
    for (const Modifier& modifier : MODIFIERS) {
        SCOPED_TRACE(modifier.name);
        EXPECT_EQ(Pick(app, {modifier}, IDOK), modifier.usage);
    }
    EXPECT_EQ(SlotCode(), 0x00E6);  // right Alt alone, without its modifier bit
}

TEST(KeyPicker, OkDoesNothingUnlessExactlyOneModifierIsHeld) {
    AppUnderTest app;
    HWND dialog = OpenPicker(app);
    ASSERT_NE(dialog, nullptr);
    SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(IsWindowVisible(dialog));
    ExpectNothingHeld(dialog);

    Hold(dialog, LEFT_CTRL);
    EXPECT_TRUE(Shown(dialog, IDOK));
    Hold(dialog, LEFT_ALT);
    EXPECT_FALSE(Shown(dialog, IDOK));
    SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(IsWindowVisible(dialog));
    EXPECT_FALSE(Shown(dialog, IDOK));
    EXPECT_TRUE(Shown(dialog, LEFT_CTRL.twin));
    EXPECT_TRUE(Shown(dialog, LEFT_ALT.twin));

    ASSERT_NO_FATAL_FAILURE(Click(dialog, LEFT_CTRL.twin));
    EXPECT_TRUE(Shown(dialog, IDOK));
    ASSERT_NO_FATAL_FAILURE(ClickToClose(app, dialog, IDOK));
    EXPECT_EQ(SlotCode(), 0x00E2);
}

TEST(KeyPicker, EscAndTheCloseBoxPickNothingAndTheNextRunStartsClean) {
    AppUnderTest app;
    ASSERT_EQ(Pick(app, {}, KEY_Z), 0x001D);
    const struct {
        const char* way;
        UINT message;
        WPARAM wParam;
    } ways[] = {
        {"Esc key", WM_KEYDOWN, VK_ESCAPE},
        {"close box", WM_SYSCOMMAND, SC_CLOSE},
        {"close", WM_CLOSE, 0},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.way);
        HWND dialog = OpenPicker(app);
        ASSERT_NE(dialog, nullptr);
        ExpectNothingHeld(dialog);
        Hold(dialog, LEFT_SHIFT);
        Hold(dialog, RIGHT_CTRL);
        PostMessageW(dialog, way.message, way.wParam, 0);
        ASSERT_TRUE(WaitUntilClosed(dialog));
        app.Sync();
        EXPECT_EQ(g_pickedCode, 0);
        EXPECT_EQ(SlotCode(), 0x001D);
    }
    HWND dialog = OpenPicker(app);
    ASSERT_NE(dialog, nullptr);
    ExpectNothingHeld(dialog);
    ASSERT_NO_FATAL_FAILURE(ClickToClose(app, dialog, KEY_A));
    EXPECT_EQ(SlotCode(), 0x0004);
}

TEST(KeyPicker, HeldModifiersLookPressed) {
    AppUnderTest app;
    HWND dialog = OpenPicker(app);
    ASSERT_NE(dialog, nullptr);
    PaintNow(dialog);
    SaveScreenshot(dialog, "key_picker");
    std::vector<COLORREF> shiftUp = LookOf(dialog, LEFT_SHIFT.button);
    std::vector<COLORREF> altUp = LookOf(dialog, RIGHT_ALT.button);
    std::vector<COLORREF> ctrlUp = LookOf(dialog, LEFT_CTRL.button);

    Hold(dialog, LEFT_SHIFT);
    Hold(dialog, RIGHT_ALT);
    PaintNow(dialog);
    SaveScreenshot(dialog, "key_picker_two_held");
    EXPECT_NE(LookOf(dialog, LEFT_SHIFT.twin), shiftUp);
    EXPECT_NE(LookOf(dialog, RIGHT_ALT.twin), altUp);
    EXPECT_EQ(LookOf(dialog, LEFT_CTRL.button), ctrlUp);

    ASSERT_NO_FATAL_FAILURE(Click(dialog, LEFT_SHIFT.twin));
    PaintNow(dialog);
    EXPECT_EQ(LookOf(dialog, LEFT_SHIFT.button), shiftUp);
}

}  // namespace
