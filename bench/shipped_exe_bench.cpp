// Times the programs that ship, under Wine, each against what it cannot do
// without: usbkbd-demo.exe and usbkbd.exe (through the stand-in DLLs and the
// emulated module) run Data > Write and Data > Read against the protocol's
// floor of 40 ms a transaction (16 and 17 of them), and their start-up to an
// idle window and peak working set are set against a bare window program's
// and usbkbd.exe's own with no module, the four started in turn in every
// round. Then the module search on a
// device-change notice of usbkbd.exe with many foreign interfaces listed
// before the module, against the module alone.
#include <windows.h>

#include <dbt.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "logic/command_ids.h"
#include "logic/messages.h"
#include "tests/e2e/app_harness.h"
#include "tests/e2e/shipped_program.h"

namespace {

constexpr int ROUNDS = 9;  // of the programs' figures
// Each command's first run in a program also pays for what the window does
// the first time (glyphs drawn, code paged in): the median of three is
// what the command costs.
constexpr int COMMAND_REPEATS = 3;
constexpr int SEARCH_ROUNDS = 5;
constexpr int FOREIGN_INTERFACES = 1000;
constexpr double TRANSACTION_FLOOR_MS = 40;
constexpr DWORD START_TIMEOUT_MS = 30000;
constexpr DWORD NOTICE_TIMEOUT_MS = 120000;
constexpr char BUS[] = "device 10F7:0209\nfirmware 12\n";

// What one program gave over the rounds.
struct Figures {
    explicit Figures(const char* name) : name(name) {}
    const char* name;
    std::vector<double> startUpMs;
    std::vector<double> peakMb;
    std::vector<double> writeMs;
    std::vector<double> readMs;
};

double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double PeakMb(HANDLE process) {
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(process, &counters, sizeof counters)) return 0;
    return static_cast<double>(counters.PeakWorkingSetSize) / (1024.0 * 1024.0);
}

bool EndsWith(const std::string& text, const char* end) {
    std::string tail = end;
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// A program started in a folder of its own with BUS as its bus file, from
// its start to its first wait for input; its peak working set then, when
// it runs no commands.
bool RunStartUp(const wchar_t* exe, bool keepsPeak, Figures* figures) {
    Folder folder(L"usbkbd-bench-start-");
    folder.Write(L"bus.txt", BUS);
    SetEnvironmentVariableW(L"USBKBD_SIM", folder.File(L"bus.txt").c_str());
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    std::wstring commandLine = L"\"" + std::wstring(exe) + L"\"";
    double start = NowMs();
    bool started = CreateProcessW(exe, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                                  folder.Path().c_str(), &startup, &process);
    SetEnvironmentVariableW(L"USBKBD_SIM", nullptr);
    if (!started) return false;
    bool idle = WaitForInputIdle(process.hProcess, START_TIMEOUT_MS) == 0;
    figures->startUpMs.push_back(NowMs() - start);
    if (keepsPeak) figures->peakMb.push_back(PeakMb(process.hProcess));
    PostThreadMessageW(process.dwThreadId, WM_QUIT, 0, 0);
    WaitForSingleObject(process.hProcess, START_TIMEOUT_MS);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return idle;
}

// Write and Read, COMMAND_REPEATS times each, in a program started on BUS;
// false when one did not end as it should.
bool RunCommands(ProgramProcess& program, Figures* figures) {
    if (program.Window() == nullptr) return false;
    bool allWell = true;
    for (int repeat = 0; repeat < COMMAND_REPEATS; ++repeat) {
        double start = NowMs();
        program.Command(IDM_DATA_WRITE);
        figures->writeMs.push_back(NowMs() - start);
        allWell = allWell && EndsWith(program.Console(), Shown(MSG_WRITE_DONE));
        start = NowMs();
        program.Command(IDM_DATA_READ);
        figures->readMs.push_back(NowMs() - start);
        allWell = allWell && EndsWith(program.Console(), Shown(MSG_READ_DONE));
    }
    figures->peakMb.push_back(PeakMb(program.Process()));
    std::string output;
    program.Close(&output);
    return allWell;
}

bool RunDemo(Figures* demo) {
    Folder folder(L"usbkbd-bench-demo-");
    folder.Write(L"bus.txt", BUS);
    ProgramProcess program(USBKBD_DEMO_EXE, folder, {{L"USBKBD_SIM", folder.File(L"bus.txt")}});
    return RunCommands(program, demo);
}

bool RunShipped(Figures* shipped) {
    Folder folder(L"usbkbd-bench-shipped-");
    folder.Write(L"bus.txt", BUS);
    ShippedProgram program(folder);
    return RunCommands(program, shipped);
}

void PrintRatio(double value, double yardstick) {
    if (yardstick > 0) {
        std::printf("  %5.2f x", value / yardstick);
    } else {
        std::printf("         ");
    }
}

void PrintFigures(const Figures& figures, const Figures& bare) {
    double startUp = Median(figures.startUpMs);
    double peak = Median(figures.peakMb);
    std::printf("%-12s %7.1f ms", figures.name, startUp);
    PrintRatio(startUp, &figures == &bare ? 0 : Median(bare.startUpMs));
    std::printf("   %5.1f MB", peak);
    PrintRatio(peak, &figures == &bare ? 0 : Median(bare.peakMb));
    if (!figures.writeMs.empty()) {
        double write = Median(figures.writeMs);
        double read = Median(figures.readMs);
        std::printf("   %7.1f ms", write);
        PrintRatio(write, 16 * TRANSACTION_FLOOR_MS);
        std::printf("   %7.1f ms", read);
        PrintRatio(read, 17 * TRANSACTION_FLOOR_MS);
    }
    std::printf("\n");
}

// The median time the window takes for one device-change notice, which
// searches for both models, with this many foreign interfaces first.
double SearchMs(int foreign, bool* found) {
    Folder folder(foreign == 0 ? L"usbkbd-bench-one-" : L"usbkbd-bench-many-");
    std::string bus;
    for (int n = 0; n < foreign; ++n) {
        char block[32];
        std::snprintf(block, sizeof block, "device 046D:%04X\n", 0xC000 + n);
        bus += block;
    }
    folder.Write(L"bus.txt", bus + BUS);
    ShippedProgram program(folder);
    if (program.Window() == nullptr) return -1;
    std::vector<double> times;
    for (int round = 0; round < SEARCH_ROUNDS; ++round) {
        double start = NowMs();
        DWORD_PTR result = 0;
        SendMessageTimeoutW(program.Window(), WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0, SMTO_NORMAL,
                            NOTICE_TIMEOUT_MS, &result);
        times.push_back(NowMs() - start);
    }
    *found = program.Status() == " Connected USB Keyboard Module - QX209";
    std::string output;
    program.Close(&output);
    return Median(times);
}

}  // namespace

// Optional arguments: the number of foreign interfaces for the search, and
// of rounds (0: the search alone).
int main(int argc, char** argv) {
    int foreign = argc > 1 ? std::atoi(argv[1]) : FOREIGN_INTERFACES;
    int rounds = argc > 2 ? std::atoi(argv[2]) : ROUNDS;
    Figures bare("bare window");
    Figures alone("usbkbd.exe");
    Figures demo("demo");
    Figures shipped("stand-ins");
    bool allWell = true;
    for (int round = 0; round < rounds; ++round) {
        const bool steps[] = {
            RunDemo(&demo),
            RunShipped(&shipped),  // sets the stand-ins' overrides first
            RunStartUp(USBKBD_BARE_EXE, true, &bare),
            RunStartUp(USBKBD_EXE, true, &alone),
            RunStartUp(USBKBD_DEMO_EXE, false, &demo),
            RunStartUp(USBKBD_STANDIN_EXE, false, &shipped),
        };
        for (bool well : steps) allWell = allWell && well;
    }
    if (rounds > 0) {
        std::printf(
            "medians of %d rounds   start-up to idle     peak working set"
            "       Write / 16 x 40 ms     Read / 17 x 40 ms\n",
            rounds);
        for (const Figures* figures : {&bare, &alone, &demo, &shipped}) {
            PrintFigures(*figures, bare);
        }
    }

    bool found = false;
    double moduleOnly = SearchMs(0, &found);
    allWell = allWell && found;
    double behindForeign = SearchMs(foreign, &found);
    allWell = allWell && found;
    std::printf("Search, the module alone:                  %9.1f ms\n", moduleOnly);
    std::printf("Search, %d foreign interfaces before it: %9.1f ms   %.2f ms an interface\n",
                foreign, behindForeign, (behindForeign - moduleOnly) / foreign);
    if (!allWell) std::printf("a command, a start or a search did not end as it should\n");
    return allWell ? 0 : 1;
}
