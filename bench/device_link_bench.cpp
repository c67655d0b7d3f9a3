// The device link against the simulated bus: a full table write and read on
// the real clock, each set against its floor of sixteen 40 ms pauses, and
// the cost of passing over one foreign interface during a search.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>

#include "device/hid_link.h"
#include "device/module_commands.h"
#include "device/report_exchange.h"
#include "emu/sim_bus.h"
#include "model/key_table.h"

namespace {

constexpr double FLOOR_MS = 16.0 * TRANSACTION_PAUSE_MS;
constexpr int FOREIGN_INTERFACES = 1000;

// A module that answers at once, connected, with the real clock running.
void ConnectPromptModule() {
    SimReset();
    g_hidLink = HidLink{};
    SimDevice module = SimModule(MODEL_QX209);
    module.replyDelayMs = 0;
    SimAddDevice(module);
    if (ConnectModule(MODEL_QX209) != MODEL_QX209) std::abort();
    SimUseRealClock(true);
}

// Runs the table operation per iteration and reports its mean time over the floor.
template <typename Operation>
void MeasureAgainstFloor(benchmark::State& state, Operation operation) {
    ConnectPromptModule();
    double totalMs = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        operation();
        std::chrono::duration<double, std::milli> elapsed =
            std::chrono::steady_clock::now() - start;
        totalMs += elapsed.count();
    }
    state.counters["ratio_to_floor"] = totalMs / state.iterations() / FLOOR_MS;
}

void BM_WriteKeyTable(benchmark::State& state) {
    for (int index = 0; index < TABLE_SIZE; ++index) {
        SetKeyCode(LayerOfIndex(index), SlotOfIndex(index), 0x0104 + index);
    }
    MeasureAgainstFloor(state, [] {
        if (WriteKeyTable() != 1) std::abort();
    });
}
BENCHMARK(BM_WriteKeyTable)->UseRealTime()->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_ReadKeyTable(benchmark::State& state) {
    MeasureAgainstFloor(state, [] {
        if (ReadKeyTable() != 0) std::abort();
    });
}
BENCHMARK(BM_ReadKeyTable)->UseRealTime()->Unit(benchmark::kMillisecond)->Iterations(5);

// A search that opens, examines and closes every one of the foreign
// interfaces and finds no module; no pause lies in a search.
void BM_SearchPastForeignInterfaces(benchmark::State& state) {
    SimReset();
    g_hidLink = HidLink{};
    for (int i = 0; i < FOREIGN_INTERFACES; ++i) {
        SimAddDevice(SimForeignDevice(0x046D, 0xC000 + i % 0x1000));
    }
    for (auto _ : state) {
        if (FindHidDevice(MODEL_QX206) != 0) std::abort();
    }
    state.counters["per_interface"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * FOREIGN_INTERFACES,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_SearchPastForeignInterfaces)->UseRealTime()->Unit(benchmark::kMicrosecond);

}  // namespace
