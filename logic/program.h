// The program's start: its state before the window and when the window is made.
#pragma once

#include "logic/view.h"

// Not connected, and the current path taken from the command line.
void StartProgram(const char* commandLine);

// The console text that the console box is made with: the help text.
void PrepareConsoleText();

// Once the window and its controls exist: the normal layer selected, the
// module searched for and the command line's file loaded.
void OnWindowCreated(View& view);
