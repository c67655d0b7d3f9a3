// The page's entry points into the core. Commands that talk to a module or
// run a dialog suspend the core until the page's promise settles; the page
// runs one at a time.
#include <emscripten.h>

#include <cstdio>

#include "device/hid_link.h"
#include "logic/commands.h"
#include "logic/console_text.h"
#include "logic/file_commands.h"
#include "logic/module_search.h"
#include "logic/program.h"
#include "web/demo_transport.h"
#include "web/web_view.h"
#include "web/webhid_transport.h"

// clang-format off
// Tells the page that an entry point has ended: the promise of a call that
// suspended settles at its first suspension, not at its end.
EM_JS(void, page_done, (), { Module.page.done(); });
// clang-format on

namespace {

bool g_onDemoBus = false;

// Puts the core on the demo bus or back on WebHID; a module open on the
// other one is closed there first.
void UseBus(bool demo) {
    if (demo == g_onDemoBus) return;
    CloseModule();
    if (demo) {
        UseDemoBus();
    } else {
        UseHidTransport(&WebHidTransport());
    }
    g_onDemoBus = demo;
}

// The page's code for a language: 1 English, anything else Korean.
Language LanguageOf(int code) {
    return code == 1 ? Language::English : Language::Korean;
}

}  // namespace

extern "C" {

// The console in the page's language, as LanguageOf reads it.
EMSCRIPTEN_KEEPALIVE void web_start(int language) {
    UseHidTransport(&WebHidTransport());
    StartProgram("", LanguageOf(language));
    PrepareConsoleText();
    PageView().SetConsoleText(g_consoleText);
    OnWindowCreated(PageView());
    // The window's status bar takes the status text at its first size, just
    // after creation; the page's takes it here.
    PageView().SetStatusText(g_statusText);
    page_done();
}

// The page's language changed: the console shows its text in the new one.
// Called directly, also while a command waits: it never suspends.
EMSCRIPTEN_KEEPALIVE void web_use_language(int language) {
    UseLanguage(LanguageOf(language));
    PageView().SetConsoleText(g_consoleText);
}

EMSCRIPTEN_KEEPALIVE void web_command(int id) {
    OnCommand(PageView(), id);
    page_done();
}

// A device came or went on the bus the page is on, or the page moved to the
// demo bus (demo 1) or back to the modules the browser granted (demo 0).
EMSCRIPTEN_KEEPALIVE void web_device_change(int demo) {
    UseBus(demo != 0);
    SearchModuleOnDeviceChange(PageView());
    page_done();
}

// A file dropped on the page, already in the page's file; title is its name
// in code page 949.
EMSCRIPTEN_KEEPALIVE void web_open_dropped(const char* title) {
    static char path[PATH_SIZE * 2];
    std::snprintf(path, sizeof path, "/files/%s", title);
    OpenDroppedFile(PageView(), {path});
    page_done();
}

EMSCRIPTEN_KEEPALIVE const char* web_slot_text(int row) {
    return g_slotTexts[row];
}

EMSCRIPTEN_KEEPALIVE const char* web_row_label(int k) {
    return RowLabel(g_labelModelId, k);
}
}
