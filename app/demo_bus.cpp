#include "app/demo_bus.h"

#include <windows.h>

#include <dbt.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "app/main_window.h"
#include "app/wide_text.h"
#include "device/sim_bus.h"
#include "device/sim_bus_file.h"
#include "files/file_io.h"

namespace {

constexpr wchar_t PATH_VARIABLE[] = L"USBKBD_SIM";
constexpr char DEFAULT_PATH[] = "usbkbd-sim.txt";
constexpr size_t PATH_SIZE = 1024;
// Bus files are read whole up to this size; a bus of a few devices takes a
// few hundred bytes. Of a longer file the bus is built from this much, and
// the module's changes are not written back, which would cut it.
constexpr size_t LONGEST_FILE = 16 * 1024 * 1024;
constexpr auto WATCH_INTERVAL = std::chrono::milliseconds(300);
constexpr int DEFAULT_FIRMWARE = 0x12;

constexpr char FILE_HEADER[] =
    "# The simulated USB bus of usbkbd-demo: one block per device, in enumeration\n"
    "# order. Edit and save this file while the demo runs, and the demo sees a\n"
    "# device come or go. docs/demo.md describes every line.\n";

char g_path[PATH_SIZE];

// User-interface thread only: the text the bus was last built from.
std::string g_loadedText;

// The file's text as the watcher has accounted for it, and whether an edit
// from outside was overtaken by one of the demo's own writes before the
// watcher saw it. The lock also keeps the demo's writes and the watcher's
// reads apart.
std::mutex g_fileLock;
std::string g_noticedText;
bool g_outsideEditPending = false;

std::thread g_watcher;
std::mutex g_stopLock;
std::condition_variable g_stopSignal;
bool g_stopping = false;

// Whether a write-back was refused for a file too long to read whole, so
// that it is said only once.
bool g_saidTooLong = false;

// The file's text, at most LONGEST_FILE bytes of it; empty when it cannot be
// read (a missing file is an empty bus). *whole tells whether that is all of it.
std::string ReadBusFile(bool* whole = nullptr) {
    // Left uninitialised: only the pages the file fills are ever touched.
    std::unique_ptr<char[]> bytes(new char[LONGEST_FILE + 1]);
    size_t length = 0;
    if (!ReadFileStart(g_path, bytes.get(), LONGEST_FILE + 1, &length)) length = 0;
    if (whole != nullptr) *whole = length <= LONGEST_FILE;
    return std::string(bytes.get(), length < LONGEST_FILE ? length : LONGEST_FILE);
}

void SetPathFromEnvironment() {
    wchar_t wide[PATH_SIZE];
    DWORD length = GetEnvironmentVariableW(PATH_VARIABLE, wide, PATH_SIZE);
    bool named = length > 0 && length < PATH_SIZE && Cp949FromWide(wide, g_path, sizeof g_path);
    if (!named) std::snprintf(g_path, sizeof g_path, "%s", DEFAULT_PATH);
}

void CreateMissingFile() {
    if (GetFileAttributesW(WideFromCp949(g_path).c_str()) != INVALID_FILE_ATTRIBUTES) return;
    SimDevice module = SimModule(0x209);
    module.version = DEFAULT_FIRMWARE;
    std::string text = FILE_HEADER + FormatSimDevice(module);
    if (!ReplaceFileContents(g_path, text.data(), text.size())) {
        std::fprintf(stderr, "%s: cannot be created; the bus is empty\n", g_path);
    }
}

// Access hook: the bus as the file describes it now.
void LoadBus() {
    std::string text = ReadBusFile();
    if (text == g_loadedText) return;
    g_loadedText = text;
    SimBusText bus = ParseSimBus(text);
    for (const std::string& problem : bus.problems) {
        std::fprintf(stderr, "%s: %s\n", g_path, problem.c_str());
    }
    SimDevices() = bus.devices;
}

// Change hook: the device's new words or mode into its block of the file.
void SaveDevice(int position) {
    std::lock_guard<std::mutex> lock(g_fileLock);
    bool whole = false;
    std::string text = ReadBusFile(&whole);
    if (!whole) {
        if (!g_saidTooLong) {
            std::fprintf(stderr,
                         "%s: longer than %zu bytes; the module's changes are not written to it\n",
                         g_path, LONGEST_FILE);
        }
        g_saidTooLong = true;
        return;
    }
    if (text != g_noticedText) g_outsideEditPending = true;
    bool wasLoaded = text == g_loadedText;
    if (!UpdateSimBusText(&text, SimDevices()[position])) return;
    if (!ReplaceFileContents(g_path, text.data(), text.size())) {
        std::fprintf(stderr, "%s: cannot be written\n", g_path);
        return;
    }
    g_noticedText = text;
    if (wasLoaded) g_loadedText = text;
}

bool EditedFromOutside() {
    std::lock_guard<std::mutex> lock(g_fileLock);
    std::string text = ReadBusFile();
    bool edited = text != g_noticedText || g_outsideEditPending;
    g_noticedText = text;
    g_outsideEditPending = false;
    return edited;
}

// The main window of this process, found by its class.
HWND OwnMainWindow() {
    HWND window = nullptr;
    while ((window = FindWindowExW(nullptr, window, MAIN_WINDOW_CLASS, nullptr)) != nullptr) {
        DWORD processId = 0;
        GetWindowThreadProcessId(window, &processId);
        if (processId == GetCurrentProcessId()) return window;
    }
    return nullptr;
}

// Tells the window what the system tells it when a device comes or goes.
void WatchFile() {
    std::unique_lock<std::mutex> lock(g_stopLock);
    while (!g_stopSignal.wait_for(lock, WATCH_INTERVAL, [] { return g_stopping; })) {
        HWND window = EditedFromOutside() ? OwnMainWindow() : nullptr;
        if (window != nullptr) PostMessageW(window, WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0);
    }
}

}  // namespace

void StartDemoBus() {
    SetPathFromEnvironment();
    CreateMissingFile();
    g_noticedText = ReadBusFile();
    SimReset();
    SimUseRealClock(true);
    SimSetAccessHook([](SimAccess) { LoadBus(); });
    SimSetChangeHook(SaveDevice);
    g_watcher = std::thread(WatchFile);
}

void StopDemoBus() {
    {
        std::lock_guard<std::mutex> lock(g_stopLock);
        g_stopping = true;
    }
    g_stopSignal.notify_one();
    g_watcher.join();
}
