#include "web/web_view.h"

#include <emscripten.h>

#include <cstdio>

#include "web/web_picker.h"
#include "web/web_text.h"

// clang-format off
EM_JS(void, page_console, (const char* text), { Module.page.setConsole(Module.cp949Text(text)); });
EM_JS(void, page_status, (const char* text), { Module.page.setStatus(Module.cp949Text(text)); });
EM_JS(void, page_enable_device, (int enabled), { Module.page.enableDeviceCommands(!!enabled); });
EM_JS(void, page_show_layers, (int shown), { Module.page.showLayerButtons(!!shown); });
EM_JS(void, page_check_layer, (int layer), { Module.page.checkLayer(layer); });
EM_JS(void, page_redraw_panel, (), { Module.page.drawSlots(); });
EM_JS(void, page_redraw_labels, (), { Module.page.drawLabels(); });
EM_JS(void, page_busy, (int busy), { Module.page.setBusy(!!busy); });
EM_JS(void, page_quit, (), { Module.page.quit(); });
EM_ASYNC_JS(int, page_pick_key, (), { return await Module.page.runKeyPicker(); });
// The name chosen, in UTF-8, into name (size bytes); 0 cancelled, 1 chosen.
EM_ASYNC_JS(int, page_file_dialog, (int save, const char* title, char* name, int size), {
    return await Module.page.runFileDialog(save, Module.cp949Text(title), name, size);
});
// clang-format on

namespace {

// Where the page keeps the file that Open read and Save writes.
constexpr char PAGE_FILE[] = "/files/current.kbd";

}  // namespace

void WebView::SetConsoleText(const char* text) {
    page_console(text);
}

void WebView::SetStatusText(const char* text) {
    page_status(text);
}

void WebView::EnableDeviceCommands(bool enabled) {
    page_enable_device(enabled ? 1 : 0);
}

void WebView::ShowLayerButtons(bool shown) {
    page_show_layers(shown ? 1 : 0);
}

void WebView::CheckLayerButton(int layer) {
    page_check_layer(layer);
}

void WebView::RedrawPanel() {
    page_redraw_panel();
}

void WebView::RedrawRowLabels() {
    page_redraw_labels();
}

void WebView::RepaintWindow() {
    page_redraw_labels();
    page_redraw_panel();
}

void WebView::SetBusy(bool busy) {
    page_busy(busy ? 1 : 0);
}

int32_t WebView::RunKeyPicker() {
    OpenPagePicker();
    return page_pick_key();
}

// The page's file has one place; the name the user sees is its title, which
// must have a code page 949 form as the window's file names must.
FileChoice WebView::RunFileDialog(FileDialogKind kind, ChosenFile* file) {
    char name[PATH_SIZE * 3];
    int save = kind == FileDialogKind::Save ? 1 : 0;
    if (page_file_dialog(save, file->title, name, sizeof name) == 0) return FileChoice::Cancelled;
    if (!Cp949FromUtf8(name, file->title, sizeof file->title)) return FileChoice::Unnamable;
    std::snprintf(file->path, sizeof file->path, "%s", PAGE_FILE);
    return FileChoice::Kept;
}

void WebView::Quit() {
    page_quit();
}

WebView& PageView() {
    static WebView view;
    return view;
}
