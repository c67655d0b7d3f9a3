// The ids of the main window's commands, from the command list.
#pragma once

#define COMMAND(name, id, handler) name = id,
enum CommandId : int {
#include "logic/command_list.inc"
};
#undef COMMAND

// "Change" of slots 1 to 8: 105..112; "x" of slots 1 to 8: 115..122. The
// browser page's build reads these two lines (cmake/command_ids.cmake).
constexpr int ID_CHANGE_FIRST = 105;
constexpr int ID_CLEAR_FIRST = 115;
