#include "logic/program.h"

#include "logic/command_line.h"
#include "logic/console_text.h"
#include "logic/file_commands.h"
#include "logic/messages.h"
#include "logic/module_search.h"
#include "logic/panel_text.h"

void StartProgram(const char* commandLine) {
    g_connected = 0;
    KeepCommandLinePath(commandLine, g_currentPath, sizeof g_currentPath);
}

void PrepareConsoleText() {
    ReplaceConsoleText("%s", MSG_HELP);
}

void OnWindowCreated(View& view) {
    SelectNormalLayer(view);
    SearchModuleAtCreation(view);
    if (g_currentPath[0] != '\0') LoadCurrentFile();
}
