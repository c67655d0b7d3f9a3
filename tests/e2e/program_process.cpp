#include "program_process.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "app/main_window.h"
#include "app/wide_text.h"
#include "app_harness.h"
#include "files/file_io.h"
#include "logic/messages.h"
#include "model/key_names.h"
#include "model/key_table.h"
#include "screen_text.h"

namespace {

constexpr DWORD START_TIMEOUT_MS = 30000;
// A command over a large bus file on a loaded machine takes many seconds.
constexpr DWORD COMMAND_TIMEOUT_MS = 90000;
constexpr int CONTROL_TEXT_SIZE = 2048;

std::string TextOfControl(HWND control) {
    wchar_t wide[CONTROL_TEXT_SIZE] = {};
    DWORD_PTR result = 0;
    SendMessageTimeoutW(control, WM_GETTEXT, CONTROL_TEXT_SIZE, reinterpret_cast<LPARAM>(wide),
                        SMTO_NORMAL, COMMAND_TIMEOUT_MS, &result);
    char text[CONTROL_TEXT_SIZE * 2];
    Cp949FromWide(wide, text, sizeof text);
    return text;
}

// The slot texts' font, made as the program makes it.
HFONT SlotFont() {
    static HFONT font = CreateFontW(12, 0, 0, 0, FW_DONTCARE, FALSE, FALSE, FALSE, HANGUL_CHARSET,
                                    OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                    FIXED_PITCH | FF_MODERN, WideFromCp949(FONT_FACE).c_str());
    return font;
}

}  // namespace

Folder::Folder(const wchar_t* stem) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    path_ = std::wstring(temp) + stem + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(path_.c_str(), nullptr);
}

Folder::~Folder() {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(File(L"*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
                DeleteFileW(File(found.cFileName).c_str());
            }
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(path_.c_str());
}

void Folder::Write(const wchar_t* name, const std::string& text) const {
    if (!ReplaceFileContents(Narrow(File(name)).c_str(), text.data(), text.size())) {
        ADD_FAILURE() << "cannot write " << Narrow(File(name));
    }
}

std::string Folder::Read(const wchar_t* name) const {
    std::string text;
    FILE* file = _wfopen(File(name).c_str(), L"rb");
    if (file == nullptr) return text;
    char chunk[512];
    for (size_t got; (got = std::fread(chunk, 1, sizeof chunk, file)) > 0;) text.append(chunk, got);
    std::fclose(file);
    return text;
}

double NowMs() {
    LARGE_INTEGER count;
    LARGE_INTEGER frequency;
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void ExpectSlotTexts(HWND window, const uint16_t* words) {
    EXPECT_TRUE(WaitForPaint(window));
    for (int row = 0; row < SLOT_COUNT; ++row) {
        char text[DISPLAY_TEXT_SIZE];
        FormatKeyCode(words[row], text, sizeof text);
        EXPECT_EQ(PixelsDifferingFromText(window, 90, 90 + 25 * row, text, SlotFont()), 0)
            << row << " " << text;
    }
}

std::string Narrow(const std::wstring& wide) {
    char text[MAX_PATH * 2];
    Cp949FromWide(wide.c_str(), text, sizeof text);
    return text;
}

ProgramProcess::ProgramProcess(const std::wstring& exe, const Folder& folder,
                               const std::vector<Variable>& variables,
                               const std::wstring& arguments) {
    for (const Variable& variable : variables) {
        SetEnvironmentVariableW(variable.first.c_str(),
                                variable.second.empty() ? nullptr : variable.second.c_str());
    }
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE outputWrite = nullptr;
    CreatePipe(&outputRead_, &outputWrite, &inherit, 1 << 16);
    SetHandleInformation(outputRead_, HANDLE_FLAG_INHERIT, 0);
    ParkPointer();
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = outputWrite;
    startup.hStdError = outputWrite;
    std::wstring commandLine = L"\"" + exe + L"\" " + arguments;
    started_ = CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr,
                              folder.Path().c_str(), &startup, &process_) != 0;
    CloseHandle(outputWrite);
    for (const Variable& variable : variables) {
        SetEnvironmentVariableW(variable.first.c_str(), nullptr);
    }
    AwaitWindow();
}

ProgramProcess::ProgramProcess(HANDLE process) {
    process_.hProcess = process;
    process_.dwProcessId = GetProcessId(process);
    started_ = process != nullptr;
    AwaitWindow();
}

ProgramProcess::~ProgramProcess() {
    SaveDiagnosisIfFailed(window_);
    if (started_ && WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(process_.hProcess, 99);
        WaitForSingleObject(process_.hProcess, INFINITE);
    }
    if (process_.hThread != nullptr) CloseHandle(process_.hThread);
    if (started_) CloseHandle(process_.hProcess);
    if (outputRead_ != nullptr) CloseHandle(outputRead_);
}

std::string ProgramProcess::Console() const {
    return TextOfControl(FindWindowExW(window_, nullptr, L"Edit", nullptr));
}

std::string ProgramProcess::Status() const {
    return TextOfControl(FindWindowExW(window_, nullptr, L"msctls_statusbar32", nullptr));
}

void ProgramProcess::Command(int id) const {
    DWORD_PTR result = 0;
    EXPECT_NE(
        SendMessageTimeoutW(window_, WM_COMMAND, id, 0, SMTO_NORMAL, COMMAND_TIMEOUT_MS, &result),
        0)
        << "the program had not done command " << id << " after " << COMMAND_TIMEOUT_MS << " ms";
}

bool ProgramProcess::ConsoleBecomes(const std::string& text, DWORD timeoutMs) const {
    for (DWORD waited = 0; waited < timeoutMs; waited += 50) {
        if (Console() == text) return true;
        Sleep(50);
    }
    return Console() == text;
}

DWORD ProgramProcess::Close(std::string* output) {
    PostMessageW(window_, WM_CLOSE, 0, 0);
    DWORD code = 12345;
    if (WaitForSingleObject(process_.hProcess, INFINITE) == WAIT_OBJECT_0) {
        GetExitCodeProcess(process_.hProcess, &code);
    }
    char chunk[512];
    DWORD got = 0;
    while (ReadFile(outputRead_, chunk, sizeof chunk, &got, nullptr) && got > 0) {
        output->append(chunk, got);
    }
    return code;
}

void ProgramProcess::AwaitWindow() {
    for (DWORD waited = 0; started_ && window_ == nullptr && waited < START_TIMEOUT_MS;
         waited += 20) {
        Sleep(20);
        window_ = OwnWindow();
    }
}

HWND ProgramProcess::OwnWindow() const {
    HWND window = nullptr;
    while ((window = FindWindowExW(nullptr, window, MAIN_WINDOW_CLASS, nullptr)) != nullptr) {
        DWORD processId = 0;
        GetWindowThreadProcessId(window, &processId);
        if (processId == process_.dwProcessId && IsWindowVisible(window)) return window;
    }
    return nullptr;
}
