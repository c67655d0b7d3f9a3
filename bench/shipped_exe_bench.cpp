// Times the shipped usbkbd.exe through the stand-in DLLs and the emulated
// module: Data > Write and Data > Read against the protocol's floor of 40 ms
// a transaction (16 and 17 of them), and the module search on a
// device-change notice with 50 foreign interfaces listed before the module.
#include <windows.h>

#include <dbt.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "logic/command_ids.h"
#include "logic/messages.h"
#include "tests/e2e/shipped_program.h"

namespace {

constexpr int ROUNDS = 5;
constexpr int FOREIGN_INTERFACES = 50;
constexpr double TRANSACTION_FLOOR_MS = 40;
constexpr DWORD NOTICE_TIMEOUT_MS = 60000;

double NowMs() {
    LARGE_INTEGER count;
    LARGE_INTEGER frequency;
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

template <typename Action>
double MedianMs(Action action) {
    std::vector<double> times;
    for (int round = 0; round < ROUNDS; ++round) {
        double start = NowMs();
        action();
        times.push_back(NowMs() - start);
    }
    std::sort(times.begin(), times.end());
    return times[ROUNDS / 2];
}

bool EndsWith(const std::string& text, const char* end) {
    std::string tail = end;
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// The median time of a command, and whether every round ended as it should.
double CommandMs(const ShippedProgram& program, int command, const char* outcome, bool* allWell) {
    return MedianMs([&] {
        program.Command(command);
        *allWell = *allWell && EndsWith(program.Console(), outcome);
    });
}

void PrintAgainstFloor(const char* name, double ms, int transactions) {
    double floor = transactions * TRANSACTION_FLOOR_MS;
    std::printf("%-6s %7.1f ms   floor %d x 40 ms = %4.0f ms   ratio %.3f\n", name, ms,
                transactions, floor, ms / floor);
}

bool BenchWriteAndRead() {
    Folder folder(L"usbkbd-bench-io-");
    folder.Write(L"bus.txt", "device 10F7:0209\nfirmware 12\n");
    ShippedProgram program(folder);
    if (program.Window() == nullptr) return false;
    bool allWell = true;
    double write = CommandMs(program, IDM_DATA_WRITE, MSG_WRITE_DONE, &allWell);
    double read = CommandMs(program, IDM_DATA_READ, MSG_READ_DONE, &allWell);
    PrintAgainstFloor("Write", write, 16);
    PrintAgainstFloor("Read", read, 17);
    std::string output;
    program.Close(&output);
    return allWell;
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
    folder.Write(L"bus.txt", bus + "device 10F7:0209\n");
    ShippedProgram program(folder);
    if (program.Window() == nullptr) return -1;
    double ms = MedianMs([&] {
        DWORD_PTR result = 0;
        SendMessageTimeoutW(program.Window(), WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0, SMTO_NORMAL,
                            NOTICE_TIMEOUT_MS, &result);
    });
    *found = program.Status() == " Connected USB Keyboard Module - QX209";
    std::string output;
    program.Close(&output);
    return ms;
}

}  // namespace

int main() {
    bool allWell = BenchWriteAndRead();
    bool found = false;
    double alone = SearchMs(0, &found);
    allWell = allWell && found;
    double behindForeign = SearchMs(FOREIGN_INTERFACES, &found);
    allWell = allWell && found;
    std::printf("Search, the module alone:                  %7.1f ms\n", alone);
    std::printf("Search, %d foreign interfaces before it:   %7.1f ms   %.2f ms an interface\n",
                FOREIGN_INTERFACES, behindForeign, (behindForeign - alone) / FOREIGN_INTERFACES);
    if (!allWell) std::printf("a command or a search did not end as it should\n");
    return allWell ? 0 : 1;
}
