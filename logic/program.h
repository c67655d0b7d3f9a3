// The program's start: its state before the window and when the window is made.
#pragma once

#include "logic/messages.h"
#include "logic/view.h"

// Not connected, the current path taken from the command line, and the
// console's messages in the language the front-end chose.
void StartProgram(const char* commandLine, Language language);

// The console text that the console box is made with: the help text.
void PrepareConsoleText();

// Once the window and its controls exist: the normal layer selected, the
// module searched for and the command line's file loaded.
void OnWindowCreated(View& view);
