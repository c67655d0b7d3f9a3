// The main window's commands, by the id of the button or menu item.
#pragma once

#include "logic/view.h"

// Carries out one command to its end; unknown ids are ignored.
void OnCommand(View& view, int id);
