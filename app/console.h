// The console box and the status bar: set from their texts.
#pragma once

// Sets the console box to the whole console text.
void ShowConsoleText();
// Sets the status bar's only part to the status text.
void ShowStatusText();
