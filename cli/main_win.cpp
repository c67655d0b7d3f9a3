// usbkbdctl.exe: the wide command line, WriteConsoleW to a console and
// UTF-8 to a pipe or file, the system's HID services.
#include <windows.h>

#include "cli/interrupt.h"
#include "cli/system_transport.h"
#include "cli/terminal_text.h"
#include "cli/usbkbdctl.h"

namespace {

constexpr DWORD VARIABLE_SIZE = 32768;

class StandardStreams final : public Console {
public:
    void Out(const std::string& text) override { Write(STD_OUTPUT_HANDLE, text); }
    void Err(const std::string& text) override { Write(STD_ERROR_HANDLE, text); }
    bool ErrIsTerminal() override { return IsConsole(GetStdHandle(STD_ERROR_HANDLE)); }

private:
    static bool IsConsole(HANDLE handle) {
        DWORD mode = 0;
        return GetConsoleMode(handle, &mode) != 0;
    }

    static void Write(DWORD which, const std::string& text) {
        HANDLE handle = GetStdHandle(which);
        DWORD written = 0;
        if (IsConsole(handle)) {
            std::wstring wide = WideFromCp949(text);
            WriteConsoleW(handle, wide.c_str(), static_cast<DWORD>(wide.size()), &written, nullptr);
            return;
        }
        std::string utf8 = Utf8FromCp949(text);
        WriteFile(handle, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
    }
};

void ReadSimVariable(Surroundings* surroundings) {
    static wchar_t value[VARIABLE_SIZE];
    DWORD length = GetEnvironmentVariableW(L"USBKBD_SIM", value, VARIABLE_SIZE);
    if (length == 0 || length >= VARIABLE_SIZE) return;
    Argument name = Cp949FromWide(value);
    surroundings->simFromEnvironment = name.text;
    surroundings->simNameExact = name.exact;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::vector<Argument> arguments;
    for (int i = 1; i < argc; ++i) arguments.push_back(Cp949FromWide(argv[i]));
    Surroundings surroundings;
    ReadSimVariable(&surroundings);
    surroundings.useSystemTransport = UseSystemTransport;
    StandardStreams console;
    CatchInterrupts();
    return RunUsbkbdctl(arguments, console, surroundings);
}
