// Start-up and the main window.
#pragma once

#include <windows.h>

constexpr wchar_t MAIN_WINDOW_CLASS[] = L"USBKEYBOARDMODULE CLASS";
constexpr wchar_t MAIN_WINDOW_TITLE[] = L"USB Keyboard Module - Ver 1.2";

// Runs the program with a code page 949 command line (without the program
// name); returns the exit code, or 0 when the window could not be made.
int RunProgram(HINSTANCE instance, const char* commandLine, int showState);

// The same with the command line as the system passes it, in wide characters.
int RunProgramWide(HINSTANCE instance, const wchar_t* commandLine, int showState);
