#include "web/web_picker.h"

#include <emscripten.h>

#include <cstdio>
#include <string>

#include "logic/key_layout.h"
#include "logic/key_picker_logic.h"
#include "web/web_text.h"

// clang-format off
EM_JS(void, page_show_key, (int id, int shown), { Module.page.showKey(id, !!shown); });
EM_JS(void, page_end_pick, (int code), { Module.page.endPick(code); });
// clang-format on

namespace {

class PagePickerView : public KeyPickerView {
public:
    void ShowKey(int id, bool shown) override { page_show_key(id, shown ? 1 : 0); }

    // The page's caption is the layout's own, converted as the window's
    // buttons convert theirs.
    void CaptionOf(int id, char* caption, size_t size) override {
        const LayoutKey* key = FindLayoutKey(id);
        if (key == nullptr || !Cp949FromUtf8(key->caption, caption, size)) caption[0] = '\0';
    }

    void EndPick(int32_t code) override { page_end_pick(code); }
};

PagePickerView g_pickerView;

}  // namespace

void OpenPagePicker() {
    OpenKeyPicker(g_pickerView);
}

// A click on a key of the page's picker, by its layout id.
extern "C" EMSCRIPTEN_KEEPALIVE void web_picker_click(int id) {
    ClickPickerControl(g_pickerView, id);
}

// The picker's keys for the page to draw, one line each in UTF-8:
// id, x, y, width, height, kind (0 push, 1 two lines, 2 twin, 3 Cancel,
// 4 OK), modifier bit and fixed usage, tab-separated, then the caption with
// its line feed as "\n".
extern "C" EMSCRIPTEN_KEEPALIVE const char* web_picker_layout() {
    static std::string text;
    if (!text.empty()) return text.c_str();
    for (const LayoutKey& key : KEY_LAYOUT) {
        char line[128];
        std::snprintf(line, sizeof line, "%d\t%d\t%d\t%d\t%d\t%d\t%d\t%d\t", key.id, key.x, key.y,
                      key.width, key.height, static_cast<int>(key.kind), key.modifierBit,
                      key.fixedUsage);
        text += line;
        for (const char* c = key.caption; *c != '\0'; ++c)
            text += *c == '\n' ? std::string("\\n") : std::string(1, *c);
        text += '\n';
    }
    return text.c_str();
}
