#include <windows.h>

#include <mutex>

#include "emu/standin/wire_record.h"

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

}  // namespace

bool WireRecordAsked() {
    return !RecordPath().empty();
}

// The openings' threads record side by side.
void AppendWireRecord(const std::string& line) {
    static std::mutex lock;
    std::lock_guard<std::mutex> hold(lock);
    HANDLE file =
        CreateFileW(RecordPath().c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(file);
}
