#include "emu/sim_bus_keeper.h"

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>

#include "emu/sim_bus.h"
#include "emu/sim_bus_file.h"
#include "files/file_io.h"
#include "files/printable_text.h"

namespace {

// Reads of a bus file that grows while it is read, before the last one
// takes the most that is ever read.
constexpr int READ_ATTEMPTS = 3;
// Longer than the tick of any file system's clock (FAT's two seconds): a
// file last written within it of its stamp may have changed since unseen.
constexpr int64_t STAMP_TICK_NS = 2000000000;
constexpr auto WATCH_INTERVAL = std::chrono::milliseconds(300);
constexpr int DEFAULT_FIRMWARE = 0x12;

constexpr char FILE_HEADER[] =
    "# The simulated USB bus of usbkbd-demo: one block per device, in enumeration\n"
    "# order. Edit and save this file while the demo runs, and the demo sees a\n"
    "# device come or go. README.md, \"The bus file\", describes every line.\n";

std::string g_path;
std::function<void()> g_onOutsideEdit;

// Bus thread only: the text the bus was last built from.
std::string g_loadedText;

// The file's text as the watcher has accounted for it, and whether an edit
// from outside was overtaken by one of the bus's own writes before the
// watcher saw it. The lock also keeps those writes and the watcher's reads
// apart.
std::mutex g_fileLock;
std::string g_noticedText;
bool g_outsideEditPending = false;

// Never destroyed: a program that ends without stopping the keeper (a
// stand-in DLL ends with its process) must not destroy a running thread.
std::thread* g_watcher = nullptr;
std::mutex g_stopLock;
std::condition_variable g_stopSignal;
bool g_stopping = false;

// Whether a write-back was refused for a file too long to read whole, so
// that it is said only once.
bool g_saidTooLong = false;

// The file as it was last read, with the stamp it had just before and the
// time that stamp was taken: read again unless the stamp is the same and
// tells of a write well before it was taken. Taken by the bus thread and the
// watcher.
struct ReadText {
    bool valid = false;
    FileStamp stamp;
    int64_t stampedAtNs = 0;
    std::string text;
    bool whole = true;
};
std::mutex g_readLock;
ReadText g_read;

// The file's text now, at most SIM_BUS_FILE_LIMIT bytes of it; empty when it
// cannot be read (a missing file is an empty bus). *whole tells whether that
// is all of it.
std::string ReadBusFile(bool* whole = nullptr) {
    std::lock_guard<std::mutex> lock(g_readLock);
    const int64_t lookedAtNs = FileClockNs();
    FileStamp now;
    bool present = ReadFileStamp(g_path.c_str(), &now);
    bool unchanged = g_read.valid && now == g_read.stamp &&
                     g_read.stamp.modifiedNs < g_read.stampedAtNs - STAMP_TICK_NS;
    if (present && !unchanged) {
        g_read.valid = ReadSimBusFile(g_path, &g_read.text, &g_read.whole, &g_read.stamp);
        g_read.stampedAtNs = lookedAtNs;
    }
    if (!present || !g_read.valid) g_read = ReadText{};
    if (whole != nullptr) *whole = g_read.whole;
    return g_read.text;
}

// Says something about the file on standard error, its name made printable.
void Say(const std::string& message) {
    std::fprintf(stderr, "%s\n", PrintableText(g_path + ": " + message).c_str());
}

void CreateMissingFile() {
    if (FileExists(g_path.c_str())) return;
    SimDevice module = SimModule(0x209);
    module.version = DEFAULT_FIRMWARE;
    module.replyDelayMs = 0;
    std::string text = FILE_HEADER + FormatSimDevice(module);
    if (!ReplaceFileContentsUnflushed(g_path.c_str(), text.data(), text.size())) {
        Say("cannot be created; the bus is empty");
    }
}

// Access hook: the bus as the file describes it now.
void LoadBus() {
    std::string text = ReadBusFile();
    if (text == g_loadedText) return;
    g_loadedText = text;
    SimBusText bus = ParseSimBus(text);
    for (const std::string& problem : bus.problems) {
        Say(problem);
    }
    SimDevices() = bus.devices;
}

void SayTooLongOnce() {
    if (!g_saidTooLong) {
        Say("longer than " + std::to_string(SIM_BUS_FILE_LIMIT) +
            " bytes; the module's changes are not written to it");
    }
    g_saidTooLong = true;
}

// Change hook: the device's new words or mode into its block of the file.
void SaveDevice(int position) {
    std::lock_guard<std::mutex> lock(g_fileLock);
    bool whole = false;
    std::string text = ReadBusFile(&whole);
    if (!whole) {
        SayTooLongOnce();
        return;
    }
    if (text != g_noticedText) g_outsideEditPending = true;
    bool wasLoaded = text == g_loadedText;
    if (!UpdateSimBusText(&text, SimDevices()[position])) return;
    if (!ReplaceFileContentsUnflushed(g_path.c_str(), text.data(), text.size())) {
        Say("cannot be written");
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

void WatchFile() {
    std::unique_lock<std::mutex> lock(g_stopLock);
    while (!g_stopSignal.wait_for(lock, WATCH_INTERVAL, [] { return g_stopping; })) {
        if (EditedFromOutside()) g_onOutsideEdit();
    }
}

}  // namespace

void StartSimBusKeeper(const std::string& path, std::function<void()> onOutsideEdit) {
    g_path = path;
    g_onOutsideEdit = std::move(onOutsideEdit);
    g_loadedText.clear();
    g_saidTooLong = false;
    g_read = ReadText{};
    g_stopping = false;
    CreateMissingFile();
    g_noticedText = ReadBusFile();
    g_outsideEditPending = false;
    SimReset();
    SimUseRealClock(true);
    SimSetAccessHook([](SimAccess) { LoadBus(); });
    SimSetChangeHook(SaveDevice);
    g_watcher = new std::thread(WatchFile);
}

void StopSimBusKeeper() {
    {
        std::lock_guard<std::mutex> lock(g_stopLock);
        g_stopping = true;
    }
    g_stopSignal.notify_one();
    g_watcher->join();
    delete g_watcher;
    g_watcher = nullptr;
}

bool ReadSimBusFile(const std::string& path, std::string* text, bool* whole, FileStamp* stamp) {
    FileStamp own;
    if (stamp == nullptr) stamp = &own;
    for (int attempt = 1;; ++attempt) {
        if (!ReadFileStamp(path.c_str(), stamp)) return false;
        // One byte more than the stamp tells shows a file that grew since;
        // it is read again, at last with room for all that is ever read.
        size_t room = (stamp->size < SIM_BUS_FILE_LIMIT ? stamp->size : SIM_BUS_FILE_LIMIT) + 1;
        if (attempt == READ_ATTEMPTS) room = SIM_BUS_FILE_LIMIT + 1;
        text->resize(room);
        size_t length = 0;
        if (!ReadFileStart(path.c_str(), &(*text)[0], room, &length)) return false;
        if (length < room || room == SIM_BUS_FILE_LIMIT + 1) {
            *whole = length <= SIM_BUS_FILE_LIMIT;
            text->resize(*whole ? length : SIM_BUS_FILE_LIMIT);
            return true;
        }
    }
}
