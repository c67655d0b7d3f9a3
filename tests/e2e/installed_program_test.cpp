// The installed usbkbd.exe opened on a ".kbd" file the ways Explorer opens
// one: by the open command that the installation registered for the file
// type, with the file in place of "%1", and by ShellExecute. The file is the
// one USBKBD_TABLE names (a Windows path); the window's panel must show its
// table. Run by tests/msi/check.sh in the Wine prefixes it installs into.
#include <gtest/gtest.h>
#include <windows.h>

#include <shellapi.h>

#include <string>

#include "files/kbd_file.h"
#include "model/key_table.h"
#include "program_process.h"

namespace {

constexpr DWORD REGISTRY_TEXT_SIZE = 1024;

std::wstring TableFile() {
    wchar_t path[MAX_PATH];
    DWORD length = GetEnvironmentVariableW(L"USBKBD_TABLE", path, MAX_PATH);
    return length == 0 || length >= MAX_PATH ? std::wstring() : std::wstring(path);
}

// A default value under Software\Classes as Windows merges the two: the
// user's before the machine's. (Wine's HKEY_CLASSES_ROOT leaves out the user's.)
std::wstring ClassesValue(const std::wstring& key) {
    std::wstring path = L"Software\\Classes\\" + key;
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        wchar_t value[REGISTRY_TEXT_SIZE];
        DWORD size = sizeof value;
        if (RegGetValueW(root, path.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, value, &size) ==
            ERROR_SUCCESS) {
            return value;
        }
    }
    return L"";
}

// The program's window shows the file's normal layer, as after File > Open.
void ExpectShowsTable(ProgramProcess& program, const std::wstring& file) {
    ASSERT_NE(program.Window(), nullptr) << "no window came";
    ASSERT_TRUE(LoadKeyFile(Narrow(file).c_str())) << Narrow(file);
    uint16_t words[SLOT_COUNT];
    for (int slot = 1; slot <= SLOT_COUNT; ++slot) {
        words[slot - 1] = static_cast<uint16_t>(GetKeyCode(LAYER_NORMAL, slot));
    }
    ExpectSlotTexts(program.Window(), words);
    std::string output;
    EXPECT_EQ(program.Close(&output), 0u);
}

TEST(InstalledProgram, TheRegisteredOpenCommandShowsTheTable) {
    std::wstring file = TableFile();
    ASSERT_FALSE(file.empty()) << "USBKBD_TABLE names no file";
    std::wstring command = ClassesValue(ClassesValue(L".kbd") + L"\\shell\\open\\command");
    size_t at = command.find(L"%1");
    ASSERT_NE(at, std::wstring::npos) << "no open command with %1: " << Narrow(command);
    command.replace(at, 2, file);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started = {};
    ASSERT_TRUE(CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &startup, &started))
        << Narrow(command);
    CloseHandle(started.hThread);
    ProgramProcess program(started.hProcess);
    ExpectShowsTable(program, file);
}

TEST(InstalledProgram, ShellExecuteOpenShowsTheTable) {
    std::wstring file = TableFile();
    ASSERT_FALSE(file.empty()) << "USBKBD_TABLE names no file";
    SHELLEXECUTEINFOW open = {};
    open.cbSize = sizeof open;
    open.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    open.lpVerb = L"open";
    open.lpFile = file.c_str();
    open.nShow = SW_SHOWNORMAL;
    ASSERT_TRUE(ShellExecuteExW(&open)) << "error " << GetLastError();
    ASSERT_NE(open.hProcess, nullptr) << "no process started";
    ProgramProcess program(open.hProcess);
    ExpectShowsTable(program, file);
}

}  // namespace
