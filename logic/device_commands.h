// Data > Write and Read, USB > Reset: the table to and from the module.
#pragma once

#include "logic/view.h"

void WriteToModule(View& view);
void ReadFromModule(View& view);
void ResetModule(View& view);
