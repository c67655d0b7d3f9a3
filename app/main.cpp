#include <windows.h>

#include "app/main_window.h"
#include "app/wide_text.h"

namespace {

// Longest command line Windows passes to a program, in wide characters.
constexpr size_t COMMAND_LINE_SIZE = 32768;

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int showState) {
    static char narrow[COMMAND_LINE_SIZE * 2];
    Cp949FromWide(commandLine, narrow, sizeof narrow);
    return RunProgram(instance, narrow, showState);
}
