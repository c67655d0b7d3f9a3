// File > Open, Save and Save As as a person uses them: through the system's
// own file dialogs, checked by the files on disk, the panel and the console.
#include <gtest/gtest.h>

#include <windows.h>

#include <commdlg.h>
#include <commctrl.h>
#include <dlgs.h>
#include <shlobj.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "logic/command_ids.h"
#include "logic/messages.h"
#include "app/wide_text.h"
#include "app/window_state.h"
#include "app_harness.h"
#include "emu/sim_bus.h"
#include "files/file_io.h"
#include "model/key_names.h"
#include "model/key_table.h"
#include "screen_text.h"

namespace {

constexpr COLORREF WHITE = RGB(255, 255, 255);
constexpr COLORREF LEADER = RGB(225, 225, 225);
constexpr DWORD POLL_MS = 10;

// A key assignment table and the file that holds it, as the program writes it.
struct TableFile {
    int32_t normal[SLOT_COUNT];
    int32_t shift[SLOT_COUNT];
    const char* text;
};

const TableFile CTRL_C_TABLE = {{0x0106, 0x0004, 0, 0, 0, 0, 0, 0},
                                {0, 0, 0, 0, 0, 0, 0, 0x0028},
                                "0106 0004 0000 0000 0000 0000 0000 0000\r\n"
                                "0000 0000 0000 0000 0000 0000 0000 0028\r\n"};

const TableFile FULL_TABLE = {{0x0004, 0x0225, 0x00E0, 0x0029, 0x013A, 0x004F, 0x0050, 0x0751},
                              {0x0128, 0x001E, 0, 0x0035, 0x00E5, 0, 0x4004, 0x002C},
                              "0004 0225 00E0 0029 013A 004F 0050 0751\r\n"
                              "0128 001E 0000 0035 00E5 0000 4004 002C\r\n"};

// What the window shows before a load: long texts in the shift layer, so that
// any of them left on screen would show beside the shorter loaded ones.
const TableFile ON_SCREEN_TABLE = {{0x0005, 0x0006, 0x0007, 0x0008, 0x0009, 0x000A, 0x000B, 0x000C},
                                   {0x0746, 0x0746, 0x0746, 0x0746, 0x0746, 0x0746, 0x0746, 0x0746},
                                   nullptr};

// "키보드 설정.kbd" (keyboard settings).
const wchar_t KOREAN_NAME[] = L"\xD0A4\xBCF4\xB4DC \xC124\xC815.kbd";
const char KOREAN_NAME_949[] = "\xC5\xB0\xBA\xB8\xB5\xE5 \xBC\xB3\xC1\xA4.kbd";

std::string Cp949(const std::wstring& wide) {
    std::vector<char> text(wide.size() * 2 + 1);
    Cp949FromWide(wide.c_str(), text.data(), text.size());
    return text.data();
}

std::string DisplayText(int32_t code) {
    char text[DISPLAY_TEXT_SIZE];
    FormatKeyCode(code, text, sizeof text);
    return text;
}

void PutInTable(const TableFile& table) {
    for (int slot = 1; slot <= SLOT_COUNT; ++slot) {
        SetKeyCode(LAYER_NORMAL, slot, table.normal[slot - 1]);
        SetKeyCode(LAYER_SHIFT, slot, table.shift[slot - 1]);
    }
}

void ExpectTable(const TableFile& table) {
    for (int slot = 1; slot <= SLOT_COUNT; ++slot) {
        EXPECT_EQ(GetKeyCode(LAYER_NORMAL, slot), table.normal[slot - 1]) << "normal " << slot;
        EXPECT_EQ(GetKeyCode(LAYER_SHIFT, slot), table.shift[slot - 1]) << "shift " << slot;
    }
}

// ---- Files ----------------------------------------------------------------

// A folder of the test's own under the temporary folder, removed with
// everything in it.
class TestFolder {
public:
    TestFolder() {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        path_ = std::wstring(temp) + L"usbkbd-files-" + std::to_wstring(GetCurrentProcessId()) +
                L"-" + std::to_wstring(GetTickCount());
        CreateDirectoryW(path_.c_str(), nullptr);
    }
    // The file dialogs leave the folder they ended in as the current one,
    // which cannot be removed.
    ~TestFolder() {
        for (const std::wstring& name : Names()) {
            SetFileAttributesW(Path(name).c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileW(Path(name).c_str());
        }
        SetCurrentDirectoryW(Path(L"..").c_str());
        RemoveDirectoryW(path_.c_str());
    }
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    std::wstring Path(const std::wstring& name) const { return path_ + L"\\" + name; }

    // The names in the folder, in the order the file system lists them.
    std::vector<std::wstring> Names() const {
        std::vector<std::wstring> names;
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW((path_ + L"\\*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) return names;
        do {
            std::wstring name = found.cFileName;
            if (name != L"." && name != L"..") names.push_back(name);
        } while (FindNextFileW(search, &found));
        FindClose(search);
        return names;
    }

private:
    std::wstring path_;
};

// Whether the file system can hold the name at all: under Wine a name beyond
// ASCII needs a Unix locale with such characters, and a locale named in LC_ALL
// that is not installed on the machine leaves only ASCII.
bool TakesName(const TestFolder& folder, const std::wstring& name) {
    std::wstring path = folder.Path(name);
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    DeleteFileW(path.c_str());
    return true;
}

#define SKIP_UNLESS_FOLDER_TAKES(folder, name)                                             \
    if (!TakesName(folder, name))                                                          \
    GTEST_SKIP() << "this machine's file system cannot hold non-ASCII names under LC_ALL=" \
                 << (getenv("LC_ALL") ? getenv("LC_ALL") : "") << " (locale not installed)"

void WriteWhole(const std::wstring& path, const std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    ASSERT_EQ(written, bytes.size());
}

// The whole file, or "<missing>" when it cannot be opened.
std::string ReadWhole(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "<missing>";
    std::string bytes;
    char chunk[256];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) bytes.append(chunk, got);
    CloseHandle(file);
    return bytes;
}

// Holds a file open with no sharing, as another program may, so that it can
// be neither read nor replaced.
class LockedFile {
public:
    explicit LockedFile(const std::wstring& path)
        : file_(CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr)) {}
    ~LockedFile() { Release(); }
    LockedFile(const LockedFile&) = delete;
    LockedFile& operator=(const LockedFile&) = delete;
    bool Held() const { return file_ != INVALID_HANDLE_VALUE; }
    void Release() {
        if (Held()) CloseHandle(file_);
        file_ = INVALID_HANDLE_VALUE;
    }

private:
    HANDLE file_;
};

// ---- Dialogs ----------------------------------------------------------------

bool IsVisibleDialog(HWND window) {
    wchar_t className[16] = {};
    GetClassNameW(window, className, 16);
    return lstrcmpW(className, L"#32770") == 0 && IsWindowVisible(window);
}

struct DialogSearch {
    HWND owner;
    HWND found;
};

BOOL CALLBACK FindOwnedDialog(HWND window, LPARAM param) {
    DialogSearch* search = reinterpret_cast<DialogSearch*>(param);
    if (!IsVisibleDialog(window) || GetWindow(window, GW_OWNER) != search->owner) return TRUE;
    search->found = window;
    return FALSE;
}

// The visible dialog box owned by owner, waiting up to timeoutMs; the
// caption is not looked at, since the system words it in its own language.
HWND WaitForDialogOwnedBy(HWND owner, DWORD timeoutMs = 5000) {
    for (DWORD waited = 0; waited <= timeoutMs; waited += POLL_MS) {
        DialogSearch search = {owner, nullptr};
        EnumWindows(FindOwnedDialog, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr) return search.found;
        Sleep(POLL_MS);
    }
    return nullptr;
}

BOOL CALLBACK CancelDialog(HWND window, LPARAM) {
    if (IsVisibleDialog(window)) PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
    return TRUE;
}

// Cancels every dialog box that the window's thread shows.
void CancelDialogsOf(HWND window) {
    EnumThreadWindows(GetWindowThreadProcessId(window, nullptr), CancelDialog, 0);
}

// A command sent from a thread of its own: while it waits in a file dialog,
// the test drives the dialog.
class PendingCommand {
public:
    PendingCommand(HWND window, int id)
        : window_(window), done_(std::async(std::launch::async, [window, id] {
              SendMessageW(window, WM_COMMAND, id, 0);
          })) {}
    ~PendingCommand() {
        for (int round = 0; round < 100 && !Ended(50); ++round) CancelDialogsOf(window_);
    }
    PendingCommand(const PendingCommand&) = delete;
    PendingCommand& operator=(const PendingCommand&) = delete;

    // Whether the command has been carried out to its end within timeoutMs.
    bool Ended(DWORD timeoutMs = 5000) {
        return done_.wait_for(std::chrono::milliseconds(timeoutMs)) == std::future_status::ready;
    }

private:
    HWND window_;
    std::future<void> done_;
};

// A command that must be carried out at once, with no dialog to answer.
bool EndsWithoutDialog(HWND window, int id) {
    PendingCommand command(window, id);
    return command.Ended(3000);
}

HWND ButtonOf(HWND dialog, int id) {
    for (HWND child = FindWindowExW(dialog, nullptr, L"Button", nullptr); child != nullptr;
         child = FindWindowExW(dialog, child, L"Button", nullptr)) {
        if (GetDlgCtrlID(child) == id) return child;
    }
    return nullptr;
}

std::wstring WideTextOf(HWND window) {
    wchar_t text[MAX_PATH] = {};
    GetWindowTextW(window, text, MAX_PATH);
    return text;
}

// The path the dialog proposes: the folder it shows and its file name box.
std::wstring ProposedPath(HWND dialog) {
    wchar_t folder[MAX_PATH] = {};
    SendMessageW(dialog, CDM_GETFOLDERPATH, MAX_PATH, reinterpret_cast<LPARAM>(folder));
    return std::wstring(folder) + L"\\" + WideTextOf(GetDlgItem(dialog, cmb13));
}

// Types the name into the file name box and presses the OK button.
void Choose(HWND dialog, const std::wstring& name) {
    SetDlgItemTextW(dialog, cmb13, name.c_str());
    PostMessageW(ButtonOf(dialog, IDOK), BM_CLICK, 0, 0);
}

void PressCancel(HWND dialog) {
    PostMessageW(ButtonOf(dialog, IDCANCEL), BM_CLICK, 0, 0);
}

// Runs a file command through its dialog: the name is typed and OK pressed.
// True when the dialog took the name and the command then ended by itself.
bool RunWithDialog(HWND window, int id, const std::wstring& name) {
    PendingCommand command(window, id);
    HWND dialog = WaitForDialogOwnedBy(window);
    if (dialog == nullptr) return false;
    Choose(dialog, name);
    return command.Ended(3000);
}

// ---- The window ------------------------------------------------------------

std::string ConsoleText(const AppUnderTest& app) {
    return TextOf(FindWindowExW(app.Window(), nullptr, L"Edit", nullptr));
}

bool IsChecked(const AppUnderTest& app, int id) {
    return SendMessageW(app.Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void ClickShiftButtonOn(AppUnderTest& app) {
    SendMessageW(app.Control(ID_SHIFT_LAYER), BM_CLICK, 0, 0);
    app.Sync();
}

// Pixels of a slot row, from left to the end of its leader line, that are
// neither background nor leader line: what an old text would leave.
int StrayPixels(HWND window, int row, int left) {
    HDC dc = GetDC(window);
    int top = 90 + 25 * row;
    int stray = 0;
    for (int y = top; y < top + 12; ++y) {
        COLORREF expected = y == 95 + 25 * row ? LEADER : WHITE;
        for (int x = left; x < 280; ++x) stray += GetPixel(dc, x, y) != expected;
    }
    ReleaseDC(window, dc);
    return stray;
}

// The panel shows this layer: each slot's text drawn in its row, and nothing
// else beside it.
void ExpectPanelShows(HWND window, const int32_t layer[SLOT_COUNT]) {
    for (int row = 0; row < SLOT_COUNT; ++row) {
        SCOPED_TRACE(row);
        std::string text = DisplayText(layer[row]);
        EXPECT_STREQ(g_slotTexts[row], text.c_str());
        int width = 0;
        if (!text.empty()) {
            EXPECT_EQ(SlotTextDiffers(window, row, text.c_str()), 0);
            width = TextWidth(window, text.c_str(), g_font12);
        }
        EXPECT_EQ(StrayPixels(window, row, 90 + width), 0);
    }
}

// Moves the dialog clear of the main window and lets the window repaint what
// it uncovers, so that only the program itself can invalidate the window later.
void MoveClearOf(HWND dialog, HWND window) {
    RECT rect;
    GetWindowRect(window, &rect);
    SetWindowPos(dialog, nullptr, rect.right + 20, rect.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    WaitForPaint(window);
}

std::string Quoted(const std::wstring& path) {
    return "\"" + Cp949(path) + "\"";
}

// ---- Open ------------------------------------------------------------------

TEST(FileOpen, WhileShiftLayerShowsTheLoadedNormalLayerWithShiftButtonOff) {
    TestFolder folder;
    WriteWhole(folder.Path(L"full.kbd"), FULL_TABLE.text);
    AppUnderTest app;
    PutInTable(ON_SCREEN_TABLE);
    ClickShiftButtonOn(app);
    ExpectPanelShows(app.Window(), ON_SCREEN_TABLE.shift);

    PendingCommand command(app.Window(), IDM_FILE_OPEN);
    HWND dialog = WaitForDialogOwnedBy(app.Window());
    ASSERT_NE(dialog, nullptr);
    MoveClearOf(dialog, app.Window());
    Choose(dialog, folder.Path(L"full.kbd"));
    ASSERT_TRUE(command.Ended());

    EXPECT_TRUE(IsChecked(app, ID_NORMAL_LAYER));
    EXPECT_FALSE(IsChecked(app, ID_SHIFT_LAYER));
    EXPECT_EQ(g_selectedLayer, LAYER_NORMAL);
    ExpectTable(FULL_TABLE);
    EXPECT_STREQ(g_currentPath, Cp949(folder.Path(L"full.kbd")).c_str());
    EXPECT_STREQ(g_fileTitle, "full.kbd");
    EXPECT_EQ(ConsoleText(app), Shown(MSG_HELP));
    ASSERT_TRUE(WaitForPaint(app.Window()));
    ExpectPanelShows(app.Window(), FULL_TABLE.normal);
    SaveScreenshot(app.Window(), "file-open-loaded");
}

TEST(FileOpen, DialogListsKbdFilesFirstThenAllFilesAndHidesReadOnly) {
    TestFolder folder;
    WriteWhole(folder.Path(L"one.kbd"), CTRL_C_TABLE.text);
    WriteWhole(folder.Path(L"two.txt"), "text");
    AppUnderTest app(Quoted(folder.Path(L"one.kbd")));
    PendingCommand command(app.Window(), IDM_FILE_OPEN);
    HWND dialog = WaitForDialogOwnedBy(app.Window());
    ASSERT_NE(dialog, nullptr);

    HWND types = GetDlgItem(dialog, cmb1);
    ASSERT_EQ(SendMessageW(types, CB_GETCOUNT, 0, 0), 2);
    wchar_t type[64] = {};
    SendMessageW(types, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(type));
    EXPECT_STREQ(type, L"Keyboard Data (*.kbd)");
    SendMessageW(types, CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(type));
    EXPECT_STREQ(type, L"All Files (*.*)");
    EXPECT_EQ(SendMessageW(types, CB_GETCURSEL, 0, 0), 0);
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog, chx1)));

    HWND list = FindWindowExW(FindWindowExW(dialog, nullptr, L"SHELLDLL_DefView", nullptr), nullptr,
                              WC_LISTVIEWW, nullptr);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 1);
    SendMessageW(types, CB_SETCURSEL, 1, 0);
    for (WORD notice : {CBN_SELENDOK, CBN_SELCHANGE}) {
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(cmb1, notice), reinterpret_cast<LPARAM>(types));
    }
    for (DWORD waited = 0; waited < 3000 && SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) != 2;
         waited += POLL_MS) {
        Sleep(POLL_MS);
    }
    EXPECT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 2);
    PressCancel(dialog);
    EXPECT_TRUE(command.Ended());
}

TEST(FileOpen, CancelledDialogsChangeNothing) {
    TestFolder folder;
    WriteWhole(folder.Path(L"full.kbd"), FULL_TABLE.text);
    AppUnderTest app(Quoted(folder.Path(L"full.kbd")));
    PutInTable(ON_SCREEN_TABLE);
    ClickShiftButtonOn(app);

    for (int id : {IDM_FILE_OPEN, IDM_FILE_SAVE_AS, IDM_FILE_SAVE}) {
        SCOPED_TRACE(id);
        PendingCommand command(app.Window(), id);
        HWND dialog = WaitForDialogOwnedBy(app.Window());
        ASSERT_NE(dialog, nullptr);
        SetDlgItemTextW(dialog, cmb13, folder.Path(L"typed.kbd").c_str());
        PressCancel(dialog);
        ASSERT_TRUE(command.Ended());
        EXPECT_TRUE(IsChecked(app, ID_SHIFT_LAYER));
        EXPECT_FALSE(IsChecked(app, ID_NORMAL_LAYER));
        EXPECT_EQ(g_selectedLayer, LAYER_SHIFT);
        ExpectTable(ON_SCREEN_TABLE);
        EXPECT_STREQ(g_currentPath, Cp949(folder.Path(L"full.kbd")).c_str());
        EXPECT_STREQ(g_fileTitle, "");
        EXPECT_EQ(ReadWhole(folder.Path(L"full.kbd")), FULL_TABLE.text);
        EXPECT_EQ(folder.Names(), std::vector<std::wstring>{L"full.kbd"});
        EXPECT_EQ(ConsoleText(app), Shown(MSG_HELP));
        ASSERT_TRUE(WaitForPaint(app.Window()));
        ExpectPanelShows(app.Window(), ON_SCREEN_TABLE.shift);
    }
}

TEST(FileOpen, DialogRefusesANameThatDoesNotExist) {
    TestFolder folder;
    AppUnderTest app;
    PutInTable(ON_SCREEN_TABLE);
    ClickShiftButtonOn(app);
    PendingCommand command(app.Window(), IDM_FILE_OPEN);
    HWND dialog = WaitForDialogOwnedBy(app.Window());
    ASSERT_NE(dialog, nullptr);
    Choose(dialog, folder.Path(L"missing.kbd"));

    HWND refusal = WaitForDialogOwnedBy(dialog);
    ASSERT_NE(refusal, nullptr);
    PostMessageW(refusal, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitUntilClosed(refusal));
    PressCancel(dialog);
    ASSERT_TRUE(command.Ended());
    EXPECT_TRUE(IsChecked(app, ID_SHIFT_LAYER));
    EXPECT_EQ(g_selectedLayer, LAYER_SHIFT);
    ExpectTable(ON_SCREEN_TABLE);
    EXPECT_STREQ(g_currentPath, "");
}

// A file that another program holds open cannot be read: the table stays,
// and the panel shows its normal layer under "Shift Button OFF".
TEST(FileOpen, UnreadableFileKeepsTheTableAndShowsItsNormalLayer) {
    TestFolder folder;
    WriteWhole(folder.Path(L"held.kbd"), FULL_TABLE.text);
    AppUnderTest app;
    PutInTable(ON_SCREEN_TABLE);
    ClickShiftButtonOn(app);
    LockedFile held(folder.Path(L"held.kbd"));
    ASSERT_TRUE(held.Held());

    ASSERT_TRUE(RunWithDialog(app.Window(), IDM_FILE_OPEN, folder.Path(L"held.kbd")));
    EXPECT_TRUE(IsChecked(app, ID_NORMAL_LAYER));
    EXPECT_FALSE(IsChecked(app, ID_SHIFT_LAYER));
    ExpectTable(ON_SCREEN_TABLE);
    EXPECT_EQ(ConsoleText(app), Shown(MSG_HELP));
    ASSERT_TRUE(WaitForPaint(app.Window()));
    ExpectPanelShows(app.Window(), ON_SCREEN_TABLE.normal);
}

// A reader that holds the file open only for a moment, as the demo reads its
// bus file, makes a save wait for it rather than fail.
TEST(FileSave, SaveWaitsForAReaderToLetGoOfTheFile) {
    TestFolder folder;
    std::wstring path = folder.Path(L"read.kbd");
    WriteWhole(path, CTRL_C_TABLE.text);
    HANDLE reader = CreateFileW(path.c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    bool saved = false;
    std::thread save([&] {
        saved =
            ReplaceFileContents(Cp949(path).c_str(), FULL_TABLE.text, std::strlen(FULL_TABLE.text));
    });
    // The new file beside the old one shows that the save has begun.
    for (DWORD waited = 0; folder.Names().size() < 2 && waited < 5000; waited += POLL_MS) {
        Sleep(POLL_MS);
    }
    EXPECT_EQ(folder.Names().size(), 2u);
    CloseHandle(reader);
    save.join();
    EXPECT_TRUE(saved);
    EXPECT_EQ(ReadWhole(path), FULL_TABLE.text);
    EXPECT_EQ(folder.Names(), std::vector<std::wstring>{L"read.kbd"});
}

// A name with a letter that code page 949 lacks cannot be kept by the
// program: the look-alike file that the code page gives must not be loaded.
TEST(FileOpen, NameOutsideCodePage949NeverLoadsALookAlike) {
    TestFolder folder;
    SKIP_UNLESS_FOLDER_TAKES(folder, L"caf\x00E9.kbd");
    WriteWhole(folder.Path(L"cafe.kbd"), CTRL_C_TABLE.text);
    WriteWhole(folder.Path(L"caf\x00E9.kbd"), CTRL_C_TABLE.text);
    AppUnderTest app;
    PutInTable(FULL_TABLE);

    ASSERT_TRUE(RunWithDialog(app.Window(), IDM_FILE_OPEN, folder.Path(L"caf\x00E9.kbd")));
    ExpectTable(FULL_TABLE);
    EXPECT_STREQ(g_currentPath, "");
    EXPECT_STREQ(g_fileTitle, "");
    EXPECT_EQ(ConsoleText(app), Shown(MSG_HELP));
}

// The command line comes the same way: a name the code page cannot hold is
// not kept at all, so neither it nor its look-alike is loaded.
TEST(FileCommandLine, NameOutsideCodePage949NeverLoadsALookAlike) {
    TestFolder folder;
    SKIP_UNLESS_FOLDER_TAKES(folder, L"caf\x00E9.kbd");
    WriteWhole(folder.Path(L"cafe.kbd"), CTRL_C_TABLE.text);
    WriteWhole(folder.Path(L"caf\x00E9.kbd"), CTRL_C_TABLE.text);
    AppUnderTest app(L"\"" + folder.Path(L"caf\x00E9.kbd") + L"\"");
    EXPECT_STREQ(g_currentPath, "");
    const TableFile empty = {};
    ExpectTable(empty);
    ExpectPanelShows(app.Window(), empty.normal);
    EXPECT_EQ(ConsoleText(app), Shown(MSG_HELP));
}

// ---- Drag and drop ---------------------------------------------------------

// Drops the files on the window as Explorer does: a DROPFILES block of wide
// names in global memory, with WM_DROPFILES, whose receiver frees it. Sent
// rather than posted, so that it has been handled when this returns.
void DropFiles(const AppUnderTest& app, const std::vector<std::wstring>& paths) {
    std::wstring names;
    for (const std::wstring& path : paths) names += path + L'\0';
    names += L'\0';
    size_t bytes = sizeof(DROPFILES) + names.size() * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GHND, bytes);
    ASSERT_NE(memory, nullptr);
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->pt = POINT{200, 150};
    drop->fNC = FALSE;
    drop->fWide = TRUE;
    std::memcpy(drop + 1, names.data(), names.size() * sizeof(wchar_t));
    GlobalUnlock(memory);
    SendMessageW(app.Window(), WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
}

TEST(FileDrop, WindowTakesDroppedFiles) {
    AppUnderTest app;
    EXPECT_TRUE(GetWindowLongW(app.Window(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
}

TEST(FileDrop, FirstKbdFileOpensAsFileOpenOpensIt) {
    TestFolder folder;
    WriteWhole(folder.Path(L"notes.txt"), CTRL_C_TABLE.text);
    WriteWhole(folder.Path(L"full.KBD"), FULL_TABLE.text);
    WriteWhole(folder.Path(L"ctrl.kbd"), CTRL_C_TABLE.text);
    AppUnderTest app;
    PutInTable(ON_SCREEN_TABLE);
    ClickShiftButtonOn(app);
    ExpectPanelShows(app.Window(), ON_SCREEN_TABLE.shift);

    DropFiles(app, {folder.Path(L"notes.txt"), folder.Path(L"full.KBD"), folder.Path(L"ctrl.kbd")});
    EXPECT_TRUE(IsChecked(app, ID_NORMAL_LAYER));
    EXPECT_FALSE(IsChecked(app, ID_SHIFT_LAYER));
    ExpectTable(FULL_TABLE);
    EXPECT_STREQ(g_currentPath, Cp949(folder.Path(L"full.KBD")).c_str());
    EXPECT_STREQ(g_fileTitle, "full.KBD");
    EXPECT_EQ(ConsoleText(app), Shown(MSG_HELP));
    ASSERT_TRUE(WaitForPaint(app.Window()));
    ExpectPanelShows(app.Window(), FULL_TABLE.normal);
}

TEST(FileDrop, OtherFilesAndUnnamableNamesChangeNothing) {
    TestFolder folder;
    WriteWhole(folder.Path(L"notes.txt"), CTRL_C_TABLE.text);
    AppUnderTest app;
    PutInTable(FULL_TABLE);
    ClickShiftButtonOn(app);
    DropFiles(app, {folder.Path(L"notes.txt"), folder.Path(L"caf\x00E9.kbd")});
    EXPECT_TRUE(IsChecked(app, ID_SHIFT_LAYER));
    ExpectTable(FULL_TABLE);
    EXPECT_STREQ(g_currentPath, "");
    EXPECT_STREQ(g_fileTitle, "");
    EXPECT_EQ(ConsoleText(app), Shown(MSG_HELP));
    ASSERT_TRUE(WaitForPaint(app.Window()));
    ExpectPanelShows(app.Window(), FULL_TABLE.shift);
}

TEST(FileDrop, KoreanNameIsOpenedAndSavedBackUnderItsName) {
    TestFolder folder;
    SKIP_UNLESS_FOLDER_TAKES(folder, KOREAN_NAME);
    std::wstring path = folder.Path(KOREAN_NAME);
    WriteWhole(path, CTRL_C_TABLE.text);
    AppUnderTest app;
    DropFiles(app, {path});
    ExpectTable(CTRL_C_TABLE);
    EXPECT_STREQ(g_fileTitle, KOREAN_NAME_949);

    PutInTable(FULL_TABLE);
    ASSERT_TRUE(EndsWithoutDialog(app.Window(), IDM_FILE_SAVE));
    EXPECT_EQ(ReadWhole(path), FULL_TABLE.text);
    EXPECT_EQ(folder.Names(), std::vector<std::wstring>{KOREAN_NAME});
}

// ---- Save and Save As ------------------------------------------------------

TEST(FileSave, WithEmptyTitleAsksProposingTheCurrentPathThenWritesAtOnce) {
    TestFolder folder;
    std::wstring path = folder.Path(L"panel.kbd");
    AppUnderTest app(Quoted(path));
    PutInTable(CTRL_C_TABLE);
    {
        PendingCommand command(app.Window(), IDM_FILE_SAVE);
        HWND dialog = WaitForDialogOwnedBy(app.Window());
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(ProposedPath(dialog), path);
        PostMessageW(ButtonOf(dialog, IDOK), BM_CLICK, 0, 0);
        ASSERT_TRUE(command.Ended());
    }
    EXPECT_EQ(ReadWhole(path), CTRL_C_TABLE.text);
    EXPECT_STREQ(g_fileTitle, "panel.kbd");
    EXPECT_EQ(ConsoleText(app), Shown(MSG_HELP));

    PutInTable(FULL_TABLE);
    EXPECT_TRUE(EndsWithoutDialog(app.Window(), IDM_FILE_SAVE));
    EXPECT_EQ(ReadWhole(path), FULL_TABLE.text);
    EXPECT_EQ(folder.Names(), std::vector<std::wstring>{L"panel.kbd"});
    EXPECT_EQ(ConsoleText(app), Shown(MSG_HELP));
}

TEST(FileSave, SaveAsReplacesAnExistingFileWithoutAQuestion) {
    TestFolder folder;
    std::wstring path = folder.Path(L"old.kbd");
    WriteWhole(path, std::string(FULL_TABLE.text) + "a longer old file than the new one\r\n");
    AppUnderTest app;
    PutInTable(CTRL_C_TABLE);

    // A question would hold the command until someone answered it.
    EXPECT_TRUE(RunWithDialog(app.Window(), IDM_FILE_SAVE_AS, path));
    EXPECT_EQ(ReadWhole(path), CTRL_C_TABLE.text);
    EXPECT_EQ(folder.Names(), std::vector<std::wstring>{L"old.kbd"});
    EXPECT_STREQ(g_currentPath, Cp949(path).c_str());
    EXPECT_STREQ(g_fileTitle, "old.kbd");
}

TEST(FileSave, NameWithoutExtensionGetsKbd) {
    TestFolder folder;
    AppUnderTest app;
    PutInTable(FULL_TABLE);
    ASSERT_TRUE(RunWithDialog(app.Window(), IDM_FILE_SAVE_AS, folder.Path(L"panel")));
    EXPECT_EQ(folder.Names(), std::vector<std::wstring>{L"panel.kbd"});
    EXPECT_EQ(ReadWhole(folder.Path(L"panel.kbd")), FULL_TABLE.text);
    EXPECT_STREQ(g_fileTitle, "panel.kbd");
}

TEST(FileSave, AfterNewSaveAsksAgainProposingTheLastPath) {
    TestFolder folder;
    std::wstring path = folder.Path(L"last.kbd");
    AppUnderTest app;
    PutInTable(FULL_TABLE);
    ASSERT_TRUE(RunWithDialog(app.Window(), IDM_FILE_SAVE_AS, path));
    ASSERT_STREQ(g_fileTitle, "last.kbd");

    app.Command(IDM_FILE_NEW);
    EXPECT_STREQ(g_fileTitle, "");
    PendingCommand command(app.Window(), IDM_FILE_SAVE);
    HWND dialog = WaitForDialogOwnedBy(app.Window());
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(ProposedPath(dialog), path);
    PressCancel(dialog);
    ASSERT_TRUE(command.Ended());
    EXPECT_EQ(ReadWhole(path), FULL_TABLE.text);
    EXPECT_STREQ(g_currentPath, Cp949(path).c_str());
}

// A read-only file is its owner's word that it must not change: neither
// Save nor Save As onto it replaces it.
TEST(FileSave, ReadOnlyFileIsRefusedAndKeepsItsBytesAndItsAttribute) {
    TestFolder folder;
    std::wstring path = folder.Path(L"kept.kbd");
    WriteWhole(path, CTRL_C_TABLE.text);
    ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));
    DWORD attributes = GetFileAttributesW(path.c_str());
    AppUnderTest app;
    ASSERT_TRUE(RunWithDialog(app.Window(), IDM_FILE_OPEN, path));
    PutInTable(FULL_TABLE);

    EXPECT_TRUE(EndsWithoutDialog(app.Window(), IDM_FILE_SAVE));
    EXPECT_EQ(ConsoleText(app), Shown(MSG_SAVE_ERROR));
    EXPECT_EQ(ReadWhole(path), CTRL_C_TABLE.text);
    EXPECT_EQ(GetFileAttributesW(path.c_str()), attributes);

    RunWithDialog(app.Window(), IDM_FILE_SAVE_AS, path);
    EXPECT_EQ(ReadWhole(path), CTRL_C_TABLE.text);
    EXPECT_EQ(GetFileAttributesW(path.c_str()), attributes);
    EXPECT_EQ(folder.Names(), std::vector<std::wstring>{L"kept.kbd"});
}

TEST(FileSave, ReplacedFileKeepsItsOwnAttributes) {
    TestFolder folder;
    std::wstring path = folder.Path(L"hidden.kbd");
    WriteWhole(path, CTRL_C_TABLE.text);
    ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
    AppUnderTest app;
    PutInTable(FULL_TABLE);
    ASSERT_TRUE(RunWithDialog(app.Window(), IDM_FILE_SAVE_AS, path));
    EXPECT_EQ(ReadWhole(path), FULL_TABLE.text);
    EXPECT_EQ(GetFileAttributesW(path.c_str()),
              static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
}

TEST(FileSave, FailedSaveSaysSoAndKeepsTheOldFile) {
    TestFolder folder;
    std::wstring path = folder.Path(L"held.kbd");
    WriteWhole(path, CTRL_C_TABLE.text);
    AppUnderTest app;
    PutInTable(FULL_TABLE);
    LockedFile held(path);
    ASSERT_TRUE(held.Held());

    ASSERT_TRUE(RunWithDialog(app.Window(), IDM_FILE_SAVE_AS, path));
    EXPECT_EQ(ConsoleText(app), Shown(MSG_SAVE_ERROR));
    held.Release();
    EXPECT_EQ(ReadWhole(path), CTRL_C_TABLE.text);
    EXPECT_EQ(folder.Names(), std::vector<std::wstring>{L"held.kbd"});

    // Once the file is free, Save writes it at once and adds no message.
    EXPECT_TRUE(EndsWithoutDialog(app.Window(), IDM_FILE_SAVE));
    EXPECT_EQ(ReadWhole(path), FULL_TABLE.text);
    EXPECT_EQ(ConsoleText(app), Shown(MSG_SAVE_ERROR));
}

// A name with a letter that code page 949 lacks cannot be kept by the
// program: it must never be saved to the look-alike file that the code page gives.
TEST(FileSave, NameOutsideCodePage949IsRefusedAndNeverReachesALookAlike) {
    TestFolder folder;
    WriteWhole(folder.Path(L"cafe.kbd"), CTRL_C_TABLE.text);
    AppUnderTest app;
    PutInTable(FULL_TABLE);

    ASSERT_TRUE(RunWithDialog(app.Window(), IDM_FILE_SAVE_AS, folder.Path(L"caf\x00E9.kbd")));
    EXPECT_EQ(ConsoleText(app), Shown(MSG_SAVE_ERROR));
    EXPECT_EQ(ReadWhole(folder.Path(L"cafe.kbd")), CTRL_C_TABLE.text);
    EXPECT_EQ(folder.Names(), std::vector<std::wstring>{L"cafe.kbd"});
    EXPECT_STREQ(g_currentPath, "");
    EXPECT_STREQ(g_fileTitle, "");
}

// ---- Names and the command line --------------------------------------------

TEST(FileNames, KoreanNameRoundTripsThroughTheDialogs) {
    TestFolder folder;
    SKIP_UNLESS_FOLDER_TAKES(folder, KOREAN_NAME);
    std::wstring path = folder.Path(KOREAN_NAME);
    AppUnderTest app;
    PutInTable(FULL_TABLE);
    ASSERT_TRUE(RunWithDialog(app.Window(), IDM_FILE_SAVE_AS, path));
    EXPECT_EQ(folder.Names(), std::vector<std::wstring>{KOREAN_NAME});
    EXPECT_EQ(ReadWhole(path), FULL_TABLE.text);
    EXPECT_STREQ(g_fileTitle, KOREAN_NAME_949);
    EXPECT_EQ(g_currentPath, Cp949(folder.Path(L"")) + KOREAN_NAME_949);

    app.Command(IDM_FILE_NEW);
    ASSERT_TRUE(RunWithDialog(app.Window(), IDM_FILE_OPEN, path));
    ExpectTable(FULL_TABLE);
    ASSERT_TRUE(WaitForPaint(app.Window()));
    ExpectPanelShows(app.Window(), FULL_TABLE.normal);
}

TEST(FileNames, KoreanNameOnTheCommandLineIsLoaded) {
    TestFolder folder;
    SKIP_UNLESS_FOLDER_TAKES(folder, KOREAN_NAME);
    std::wstring path = folder.Path(KOREAN_NAME);
    WriteWhole(path, FULL_TABLE.text);
    AppUnderTest app(Quoted(path));
    EXPECT_EQ(g_currentPath, Cp949(folder.Path(L"")) + KOREAN_NAME_949);
    ExpectTable(FULL_TABLE);
    ExpectPanelShows(app.Window(), FULL_TABLE.normal);
}

TEST(FileCommandLine, NamedFileIsLoadedAfterTheModuleSearchAndShownAtFirstPaint) {
    TestFolder folder;
    WriteWhole(folder.Path(L"start.kbd"), FULL_TABLE.text);
    SimReset();
    SimAddDevice(SimModule(MODEL_QX209));
    std::atomic<int> searches{0};
    std::atomic<bool> loadedBeforeSearch{false};
    SimSetAccessHook([&](SimAccess access) {
        if (access != SIM_ACCESS_ENUMERATE) return;
        ++searches;
        if (GetKeyCode(LAYER_NORMAL, 1) != 0) loadedBeforeSearch = true;
    });

    AppUnderTest app(Quoted(folder.Path(L"start.kbd")));
    EXPECT_GT(searches.load(), 0);
    EXPECT_FALSE(loadedBeforeSearch.load());
    ExpectTable(FULL_TABLE);
    EXPECT_TRUE(IsChecked(app, ID_NORMAL_LAYER));
    ExpectPanelShows(app.Window(), FULL_TABLE.normal);
    char connected[128];
    std::snprintf(connected, sizeof connected, Shown(MSG_CONNECTED_AT_START), MODEL_QX209);
    EXPECT_EQ(ConsoleText(app), connected);
    EXPECT_STREQ(g_fileTitle, "");
    SaveScreenshot(app.Window(), "file-command-line");
    app.Close();
    SimReset();
}

TEST(FileCommandLine, PathNamingNoFileLeavesTheTableEmptyWithoutMessage) {
    TestFolder folder;
    std::wstring path = folder.Path(L"missing.kbd");
    AppUnderTest app(Quoted(path));
    EXPECT_STREQ(g_currentPath, Cp949(path).c_str());
    const TableFile empty = {};
    ExpectTable(empty);
    ExpectPanelShows(app.Window(), empty.normal);
    EXPECT_EQ(ConsoleText(app), Shown(MSG_HELP));
    EXPECT_TRUE(folder.Names().empty());
}

}  // namespace
