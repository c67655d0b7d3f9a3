// The main window's commands, by the id of the button or menu item.
#pragma once

// Carries out one command to its end; unknown ids are ignored.
void OnCommand(int id);

// Checks "Shift Button OFF" and clears "Shift Button ON".
void SelectNormalLayerButton();
