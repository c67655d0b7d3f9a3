#include "logic/program.h"

#include "logic/command_line.h"
#include "logic/console_text.h"
#include "logic/file_commands.h"
#include "logic/module_search.h"
#include "logic/panel_text.h"

void StartProgram(const char* commandLine, Language language) {
    g_connected = 0;
    UseLanguage(language);
    KeepCommandLinePath(commandLine, g_currentPath, sizeof g_currentPath);
}

void PrepareConsoleText() {
    ReplaceConsoleText(MSG_HELP);
}

void OnWindowCreated(View& view) {
    SelectNormalLayer(view);
    SearchModuleAtCreation(view);
    if (g_currentPath[0] != '\0') LoadCurrentFile();
}
