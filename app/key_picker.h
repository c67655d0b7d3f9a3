// The key picker: an on-screen keyboard that picks one key code word.
#pragma once

#include <cstdint>

// The key code word the last run picked; 0 when nothing was picked.
extern int32_t g_pickedCode;

// Runs the key picker modally, owned by the main window.
void RunKeyPicker();
