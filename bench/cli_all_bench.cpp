// usbkbdctl write --all with verify on a bench of twenty simulated modules,
// on the real clock, against its floor: twenty modules of sixteen writes and
// sixteen verify reads, each transaction at least its 40 ms pause.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

#include "cli/interrupt.h"
#include "cli/usbkbdctl.h"
#include "device/report_exchange.h"
#include "emu/sim_bus.h"
#include "model/key_table.h"

namespace {

constexpr int MODULE_COUNT = 20;
constexpr double FLOOR_MS = MODULE_COUNT * (16.0 + 16.0) * TRANSACTION_PAUSE_MS;

class SilentConsole final : public Console {
public:
    void Out(const std::string&) override {}
    void Err(const std::string& text) override { std::fputs(text.c_str(), stderr); }
    bool ErrIsTerminal() override { return false; }
};

std::string WriteTableFile() {
    char path[] = "/tmp/cli_all_bench_XXXXXX";
    int fd = mkstemp(path);
    if (fd < 0) std::abort();
    const char text[] =
        "0106 0004 7714 00E6 0090 0028 002C 0029\r\n"
        "0204 0205 0206 0207 0208 0209 020A 020B\r\n";
    if (write(fd, text, sizeof text - 1) != static_cast<ssize_t>(sizeof text - 1)) std::abort();
    close(fd);
    return path;
}

void BM_WriteAllTwentyModulesWithVerify(benchmark::State& state) {
    std::string file = WriteTableFile();
    SilentConsole console;
    Surroundings surroundings{"", true, [] {}};
    double totalMs = 0;
    for (auto _ : state) {
        SimReset();
        for (int i = 0; i < MODULE_COUNT; ++i) SimAddDevice(SimModule(i % 2 ? 0x206 : 0x209));
        SimUseRealClock(true);
        ForgetInterrupt();
        auto start = std::chrono::steady_clock::now();
        int status =
            RunUsbkbdctl({{"write", true}, {"--all", true}, {file, true}}, console, surroundings);
        std::chrono::duration<double, std::milli> elapsed =
            std::chrono::steady_clock::now() - start;
        if (status != EXIT_DONE) std::abort();
        totalMs += elapsed.count();
    }
    std::remove(file.c_str());
    double meanMs = totalMs / state.iterations();
    state.counters["floor_ms"] = FLOOR_MS;
    state.counters["ratio_to_floor"] = meanMs / FLOOR_MS;
}
BENCHMARK(BM_WriteAllTwentyModulesWithVerify)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

}  // namespace
