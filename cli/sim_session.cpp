#include "cli/sim_session.h"

#include <vector>

#include "emu/sim_bus.h"
#include "emu/sim_bus_file.h"
#include "emu/sim_bus_keeper.h"
#include "files/file_io.h"
#include "files/printable_text.h"

namespace {

std::string g_path;
std::vector<SimDevice> g_loaded;

bool ReadBusFile(std::string* text, bool* whole) {
    return ReadSimBusFile(g_path, text, whole);
}

bool Changed(const SimDevice& now, const SimDevice& before) {
    if (now.changeMode != before.changeMode) return true;
    for (int i = 0; i < SIM_WORD_COUNT; ++i) {
        if (now.words[i] != before.words[i]) return true;
    }
    return false;
}

}  // namespace

std::string StartSimSession(const std::string& path, Console& console) {
    g_path = path;
    std::string text;
    bool whole = false;
    if (!ReadBusFile(&text, &whole)) {
        return "cannot read the bus file " + path +
               (FileExists(path.c_str()) ? "" : ": no such file");
    }
    SimBusText bus = ParseSimBus(text);
    for (const std::string& problem : bus.problems) {
        console.Err(PrintableText(path + ": " + problem) + "\n");
    }
    SimReset();
    SimUseRealClock(true);
    SimDevices() = bus.devices;
    g_loaded = bus.devices;
    return "";
}

void EndSimSession(Console& console) {
    std::string text;
    bool whole = false;
    bool changed = false;
    if (!ReadBusFile(&text, &whole)) whole = false;
    for (size_t i = 0; i < g_loaded.size() && i < SimDevices().size(); ++i) {
        if (!Changed(SimDevices()[i], g_loaded[i])) continue;
        changed = true;
        UpdateSimBusText(&text, SimDevices()[i]);
    }
    if (!changed) return;
    if (!whole) {
        Tell(console, "the bus file " + g_path +
                          " cannot be read whole; the modules' changes are not written to it");
    } else if (!ReplaceFileContents(g_path.c_str(), text.data(), text.size())) {
        Tell(console, "cannot write the bus file " + g_path);
    }
}
