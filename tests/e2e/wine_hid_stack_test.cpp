// The shipped usbkbd.exe, byte for byte, under Wine's own HID stack in the
// guest (tests/guest/wine_cases.sh): Wine's setupapi.dll and hid.dll over
// winebus over the kernel's hidraw devices, which the presenter makes of
// the bus file that USBKBD_GUEST_BUS names and records in the file that
// USBKBD_GUEST_RECORD names. No stand-in DLL is loaded.
#include <windows.h>

#include <gtest/gtest.h>
#include <setupapi.h>
extern "C" {
#include <hidsdi.h>
}

#include <algorithm>
#include <cstring>
#include <cwctype>
#include <memory>
#include <string>
#include <vector>

#include "device_view.h"
#include "logic/messages.h"
#include "shipped_program.h"

namespace {

constexpr int QX206 = 0x206;
constexpr int QX209 = 0x209;
constexpr DWORD LIST_TIMEOUT_MS = 30000;
constexpr DWORD POLL_MS = 50;

constexpr char KEYS_LINE[] =
    "keys 0106 0004 0746 2345 00E6 0050 0090 0028 0204 2204 7714 0091 0059 0032 0747 FFFF\n";
constexpr uint16_t KEYS[TABLE_SIZE] = {0x0106, 0x0004, 0x0746, 0x2345, 0x00E6, 0x0050,
                                       0x0090, 0x0028, 0x0204, 0x2204, 0x7714, 0x0091,
                                       0x0059, 0x0032, 0x0747, 0xFFFF};

std::wstring Named(const wchar_t* name) {
    wchar_t value[MAX_PATH];
    DWORD length = GetEnvironmentVariableW(name, value, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::wstring(value) : std::wstring();
}

bool WriteWhole(const std::wstring& path, const std::string& text) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool whole = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
                 written == text.size();
    CloseHandle(file);
    return whole;
}

std::string ReadWhole(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "";
    std::string text;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
        text.append(buffer, got);
    CloseHandle(file);
    return text;
}

// The module interfaces of the HID class that Wine lists now.
int ModuleInterfaces() {
    GUID hid;
    HidD_GetHidGuid(&hid);
    HDEVINFO set =
        SetupDiGetClassDevsW(&hid, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    if (set == INVALID_HANDLE_VALUE) return -1;
    int modules = 0;
    SP_DEVICE_INTERFACE_DATA interface = {};
    interface.cbSize = sizeof interface;
    for (DWORD i = 0; SetupDiEnumDeviceInterfaces(set, nullptr, &hid, i, &interface); ++i) {
        union {
            SP_DEVICE_INTERFACE_DETAIL_DATA_W detail;
            wchar_t room[512];
        } data = {};
        data.detail.cbSize = sizeof data.detail;
        if (!SetupDiGetDeviceInterfaceDetailW(set, &interface, &data.detail, sizeof data, nullptr,
                                              nullptr)) {
            continue;
        }
        std::wstring path = data.detail.DevicePath;
        std::transform(path.begin(), path.end(), path.begin(), ::towlower);
        if (path.find(L"vid_10f7&pid_0206") != std::wstring::npos ||
            path.find(L"vid_10f7&pid_0209") != std::wstring::npos) {
            ++modules;
        }
    }
    SetupDiDestroyDeviceInfoList(set);
    return modules;
}

// Writes the presenter's bus file, in one step (the presenter may read it at
// any moment), and waits until Wine lists this many module interfaces.
bool SetBus(const std::string& text, int modules) {
    const std::wstring bus = Named(L"USBKBD_GUEST_BUS");
    if (!WriteWhole(bus + L".new", text) ||
        !MoveFileExW((bus + L".new").c_str(), bus.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        return false;
    }
    for (DWORD waited = 0; waited < LIST_TIMEOUT_MS; waited += POLL_MS) {
        if (ModuleInterfaces() == modules) return true;
        Sleep(POLL_MS);
    }
    return false;
}

// The record's lines of these letters: the presenter writes W for a report
// the module took and Q for one it handed to the kernel.
std::vector<std::string> Record(const char* letters) {
    std::vector<std::string> lines;
    std::string text = ReadWhole(Named(L"USBKBD_GUEST_RECORD"));
    size_t start = 0;
    for (size_t end = text.find('\n'); end != std::string::npos; end = text.find('\n', start)) {
        std::string line = text.substr(start, end - start);
        if (!line.empty() && std::strchr(letters, line[0]) != nullptr) lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

std::vector<std::string> AwaitRecord(size_t count, const char* letters) {
    for (DWORD waited = 0; waited < LIST_TIMEOUT_MS; waited += POLL_MS) {
        if (Record(letters).size() >= count) break;
        Sleep(POLL_MS);
    }
    return Record(letters);
}

std::string Queued(std::string line) {
    line[0] = 'Q';
    return line;
}

std::string Connected(const char* format, int model) {
    char shown[8];
    std::snprintf(shown, sizeof shown, "%x", model);
    return Filled(format, "%x", shown);
}

// usbkbd.exe started once Wine lists the bus's modules, with an empty record.
struct Started {
    Started(const std::string& bus, int modules) {
        listed = SetBus(bus, modules);
        WriteWhole(Named(L"USBKBD_GUEST_RECORD"), "");
        program = std::make_unique<ProgramProcess>(USBKBD_EXE, folder, std::vector<Variable>{});
    }
    ~Started() {
        if (!program->Window()) return;
        std::string output;
        EXPECT_EQ(program->Close(&output), 0u);
    }
    Folder folder{L"usbkbd-wine-"};
    bool listed = false;
    std::unique_ptr<ProgramProcess> program;
};

}  // namespace

TEST(WineHidStack, EachModelIsFoundAtStart) {
    for (int model : {QX206, QX209}) {
        char block[64];
        std::snprintf(block, sizeof block, "device 046D:C077\ndevice 10F7:%04X\n", model);
        Started run(block, 1);
        ASSERT_TRUE(run.listed);
        ASSERT_NE(run.program->Window(), nullptr);
        EXPECT_EQ(run.program->Console(), Connected(Shown(MSG_CONNECTED_AT_START), model));
    }
}

TEST(WineHidStack, WriteReadAndResetAreTheBytesOnTheWire) {
    Started run(std::string("device 10F7:0209\nfirmware 12\n") + KEYS_LINE, 1);
    ASSERT_TRUE(run.listed);
    ASSERT_NE(run.program->Window(), nullptr);

    run.program->Command(IDM_DATA_READ);
    EXPECT_EQ(run.program->Console(),
              Filled(Shown(MSG_FIRMWARE_VERSION), "%d.%d", "1.2") + Shown(MSG_READ_DONE));
    std::vector<std::string> requests = {RequestLine(QX209, 0x40)};
    std::vector<std::string> replies = {Queued(ReplyLine(QX209, 0x12))};
    for (int index = 0; index < TABLE_SIZE; ++index) {
        requests.push_back(RequestLine(QX209, 0x42, index));
        replies.push_back(Queued(ReplyLine(QX209, 0x12, KEYS[index])));
    }
    EXPECT_EQ(AwaitRecord(requests.size(), "W"), requests);
    EXPECT_EQ(AwaitRecord(replies.size(), "Q"), replies);

    WriteWhole(Named(L"USBKBD_GUEST_RECORD"), "");
    run.program->Command(IDM_DATA_WRITE);
    EXPECT_NE(run.program->Console().find(Shown(MSG_WRITE_DONE)), std::string::npos)
        << run.program->Console();
    requests.clear();
    for (int index = 0; index < TABLE_SIZE; ++index) {
        requests.push_back(RequestLine(QX209, 0x41, index, KEYS[index] >> 8, KEYS[index] & 0xFF));
    }
    EXPECT_EQ(AwaitRecord(requests.size(), "W"), requests);

    WriteWhole(Named(L"USBKBD_GUEST_RECORD"), "");
    run.program->Command(IDM_USB_RESET);
    EXPECT_EQ(run.program->Console(), Shown(MSG_RESET_DONE));
    EXPECT_EQ(AwaitRecord(1, "W"), std::vector<std::string>{RequestLine(QX209, 0x4F)});
    EXPECT_EQ(AwaitRecord(1, "Q"), std::vector<std::string>{Queued(ReplyLine(QX209, 0x12))});
}

TEST(WineHidStack, SilentModuleFailsTheRead) {
    Started run("device 10F7:0209\nsilent 1\n", 1);
    ASSERT_TRUE(run.listed);
    ASSERT_NE(run.program->Window(), nullptr);
    run.program->Command(IDM_DATA_READ);
    EXPECT_EQ(run.program->Console(), Shown(MSG_RECEIVE_ERROR));
    EXPECT_EQ(Record("W"), std::vector<std::string>{RequestLine(QX209, 0x40)});
    EXPECT_TRUE(Record("Q").empty());
}

// Wine's stack tells the window with WM_DEVICECHANGE (DBT_DEVNODES_CHANGED,
// the one notice the program acts on). The module arrives on a hidraw node
// of its own: one that an earlier device had in this Wine session is not
// listed again by winebus.
TEST(WineHidStack, ArrivalAndRemovalAreFollowed) {
    Started run("device 046D:C077\n", 0);
    ASSERT_TRUE(run.listed);
    ASSERT_NE(run.program->Window(), nullptr);
    EXPECT_EQ(run.program->Console(), Shown(MSG_HELP));
    ASSERT_TRUE(SetBus("device 046D:C077\ndevice 10F7:0206\n", 1));
    EXPECT_TRUE(run.program->ConsoleBecomes(Connected(Shown(MSG_CONNECTED), QX206)))
        << run.program->Console();
    ASSERT_TRUE(SetBus("device 046D:C077\n", 0));
    EXPECT_TRUE(run.program->ConsoleBecomes(Shown(MSG_REMOVED))) << run.program->Console();
}
