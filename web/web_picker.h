// The key picker on the page: the shared picker logic over the page's keys.
#pragma once

// Resets the picker's modifiers before the page shows it.
void OpenPagePicker();
