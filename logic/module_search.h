// The search for a module in change mode: at creation and on device changes.
#pragma once

#include "logic/view.h"

void SearchModuleAtCreation(View& view);
void SearchModuleOnDeviceChange(View& view);
