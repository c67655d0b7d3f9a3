// The search for a module in change mode: at creation and on device changes.
#pragma once

void SearchModuleAtCreation();
void SearchModuleOnDeviceChange();
