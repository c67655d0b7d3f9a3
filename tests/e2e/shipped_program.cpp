#include "shipped_program.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

// Wine loads a setupapi.dll beside the exe in place of its own only when
// told to: for usbkbd.exe, through the prefix's registry, since Wine takes
// WINEDLLOVERRIDES from the Unix environment and not from the one a Windows
// process hands its child. Native first and then Wine's own, so that a
// usbkbd.exe with no stand-in beside it still finds the system's.
constexpr wchar_t OVERRIDES_KEY[] = L"Software\\Wine\\AppDefaults\\usbkbd.exe\\DllOverrides";
constexpr wchar_t NATIVE_FIRST[] = L"native,builtin";
constexpr int MODULE_VENDOR = 0x10F7;
constexpr unsigned RECORD_TIMEOUT_MS = 20000;
constexpr unsigned RECORD_POLL_MS = 20;

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end = text.find('\n'); end != std::string::npos; end = text.find('\n', start)) {
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

const std::wstring& OverrideSystemDlls() {
    static const std::wstring exe = [] {
        DWORD bytes = static_cast<DWORD>(sizeof NATIVE_FIRST);
        for (const wchar_t* dll : {L"hid", L"setupapi"}) {
            RegSetKeyValueW(HKEY_CURRENT_USER, OVERRIDES_KEY, dll, REG_SZ, NATIVE_FIRST, bytes);
        }
        return std::wstring(USBKBD_STANDIN_EXE);
    }();
    return exe;
}

}  // namespace

ShippedProgram::ShippedProgram(const Folder& folder, const std::wstring& arguments)
    : ProgramProcess(OverrideSystemDlls(), folder,
                     {{L"USBKBD_SIM", folder.File(L"bus.txt")},
                      {L"USBKBD_EMU_RECORD", folder.File(L"wire.txt")}},
                     arguments) {}

void ShippedProgram::PostCommand(int id) const {
    PostMessageW(Window(), WM_COMMAND, id, 0);
}

std::vector<std::string> WireLines(const Folder& folder, const char* letters) {
    std::vector<std::string> chosen;
    for (const std::string& line : Lines(folder.Read(L"wire.txt"))) {
        if (!line.empty() && std::strchr(letters, line[0]) != nullptr) chosen.push_back(line);
    }
    return chosen;
}

std::vector<std::string> AwaitWireLines(const Folder& folder, size_t count, const char* letters) {
    for (unsigned waited = 0; waited < RECORD_TIMEOUT_MS; waited += RECORD_POLL_MS) {
        std::vector<std::string> lines = WireLines(folder, letters);
        if (lines.size() >= count) return lines;
        Sleep(RECORD_POLL_MS);
    }
    return WireLines(folder, letters);
}

std::string WireLine(char direction, int productId, const std::vector<int>& bytes) {
    char head[32];
    std::snprintf(head, sizeof head, "%c %04X:%04X", direction, MODULE_VENDOR, productId);
    std::string line = head;
    for (int byte : bytes) {
        char text[4];
        std::snprintf(text, sizeof text, " %02X", byte & 0xFF);
        line += text;
    }
    return line;
}

std::string RequestLine(int productId, int command, int arg1, int arg2, int arg3) {
    return WireLine('W', productId, {0, 0x55, 0xAA, command, arg1, arg2, arg3, 0, 0});
}

std::string ReplyLine(int productId, int version, int word) {
    return WireLine('R', productId, {0, 0x01, version, word >> 8, word & 0xFF, 0, 0xFF, 0, 0});
}
