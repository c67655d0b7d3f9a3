#include "app/file_drop.h"

#include <string>
#include <vector>

#include "app/wide_text.h"
#include "app/window_view.h"
#include "logic/file_commands.h"

namespace {

// The dropped files' paths in code page 949; empty for a path that the code
// page or the program's path buffer cannot hold.
std::vector<std::string> DroppedPaths(HDROP drop) {
    std::vector<std::string> paths;
    UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        UINT length = DragQueryFileW(drop, i, nullptr, 0);
        std::wstring wide(length + 1, L'\0');
        DragQueryFileW(drop, i, &wide[0], length + 1);
        char path[PATH_SIZE];
        paths.push_back(Cp949FromWide(wide.c_str(), path, sizeof path) ? path : "");
    }
    return paths;
}

}  // namespace

void OpenDroppedFiles(HDROP drop) {
    std::vector<std::string> paths = DroppedPaths(drop);
    DragFinish(drop);
    OpenDroppedFile(MainWindowView(), paths);
}
