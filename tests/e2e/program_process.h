// One of the real programs started as its own process in a folder of the
// test's making, with variables of the test's choosing in its environment,
// its standard output and error going into a pipe; driven from outside by
// window messages, as a person would drive it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// A folder of the test's own under the temporary folder, emptied at the end.
class Folder {
public:
    explicit Folder(const wchar_t* stem = L"usbkbd-demo-");
    ~Folder();
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;

    const std::wstring& Path() const { return path_; }
    std::wstring File(const wchar_t* name) const { return path_ + L"\\" + name; }

    // Replaces the file's contents in one step, as a careful editor saves:
    // through a new file that takes the old one's place once the program,
    // which reads it now and then, does not hold it open.
    void Write(const wchar_t* name, const std::string& text) const;
    // The file's contents; empty when it cannot be read.
    std::string Read(const wchar_t* name) const;

private:
    std::wstring path_;
};

// The text as code page 949 bytes.
std::string Narrow(const std::wstring& wide);

// A variable of the program's environment; an empty value unsets it.
using Variable = std::pair<std::wstring, std::wstring>;

class ProgramProcess {
public:
    ProgramProcess(const std::wstring& exe, const Folder& folder,
                   const std::vector<Variable>& variables, const std::wstring& arguments = L"");
    // One that another started, such as the shell, which handed over its
    // process handle; it is closed here.
    explicit ProgramProcess(HANDLE process);
    ~ProgramProcess();
    ProgramProcess(const ProgramProcess&) = delete;
    ProgramProcess& operator=(const ProgramProcess&) = delete;

    // Its main window once shown; nullptr when none came.
    HWND Window() const { return window_; }
    HANDLE Process() const { return process_.hProcess; }
    std::string Console() const;
    std::string Status() const;

    // Carries out a menu command and returns when the program has done it.
    void Command(int id) const;
    // Waits until the console shows the text; false when it does not within the time.
    bool ConsoleBecomes(const std::string& text, DWORD timeoutMs = FOLLOW_TIMEOUT_MS) const;

    // Closes the window; the exit code, and everything written to standard
    // output and error. Waits for the program to end, however long a loaded
    // machine takes; a program that never ends meets the test's own time-out.
    DWORD Close(std::string* output);

    static constexpr DWORD FOLLOW_TIMEOUT_MS = 15000;

private:
    void AwaitWindow();
    HWND OwnWindow() const;

    PROCESS_INFORMATION process_ = {};
    HANDLE outputRead_ = nullptr;
    bool started_ = false;
    HWND window_ = nullptr;
};

// A steady clock in milliseconds.
double NowMs();

// Each row of the assignment panel of a program's window, this one's or
// another process's, shows the display text of its word.
void ExpectSlotTexts(HWND window, const uint16_t* words);
