#include "emu/standin/wire_record.h"

#include <windows.h>

#include <cstdio>
#include <mutex>
#include <string>

namespace {

constexpr DWORD RECORD_PATH_SIZE = 1024;

// The record's path as the environment has it, so that any name will do;
// empty when none is asked for.
const std::wstring& RecordPath() {
    static const std::wstring path = [] {
        wchar_t text[RECORD_PATH_SIZE];
        DWORD length = GetEnvironmentVariableW(L"USBKBD_EMU_RECORD", text, RECORD_PATH_SIZE);
        return length > 0 && length < RECORD_PATH_SIZE ? std::wstring(text) : std::wstring();
    }();
    return path;
}

char Letter(WireDirection direction) {
    switch (direction) {
        case WireDirection::ToDevice:
            return 'W';
        case WireDirection::ToReader:
            return 'Q';
        default:
            return 'R';
    }
}

// Appends the line of letter for the device, then rest and a line feed, in
// one write at the file's end: the openings' threads record side by side.
void Record(char letter, int vendorId, int productId, const std::string& rest) {
    static std::mutex lock;
    char head[32];
    std::snprintf(head, sizeof head, "%c %04X:%04X", letter, vendorId & 0xFFFF, productId & 0xFFFF);
    std::string line = head + rest + "\n";
    std::lock_guard<std::mutex> hold(lock);
    HANDLE file =
        CreateFileW(RecordPath().c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(file);
}

}  // namespace

void RecordReport(WireDirection direction, int vendorId, int productId, const uint8_t* bytes,
                  int length) {
    if (RecordPath().empty()) return;
    std::string rest;
    for (int i = 0; i < length; ++i) {
        char byte[4];
        std::snprintf(byte, sizeof byte, " %02X", bytes[i]);
        rest += byte;
    }
    Record(Letter(direction), vendorId, productId, rest);
}

void RecordOpening(int vendorId, int productId, const char* ending) {
    if (RecordPath().empty()) return;
    Record(ending == nullptr ? 'O' : 'C', vendorId, productId,
           ending == nullptr ? std::string() : std::string(" ") + ending);
}
