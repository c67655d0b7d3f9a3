// Load and save of a keyboard data file on real files, plus the text
// conversions alone for comparison.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "files/kbd_file.h"
#include "files/kbd_text.h"
#include "model/key_table.h"

namespace {

namespace fs = std::filesystem;

void FillTable() {
    for (int index = 0; index < TABLE_SIZE; ++index) {
        SetKeyCode(LayerOfIndex(index), SlotOfIndex(index), 0x0101 * index + 0x0004);
    }
}

// A fresh folder for one benchmark, removed again by the caller.
fs::path MakeFolder() {
    std::string pattern = (fs::temp_directory_path() / "kbd_file_bench_XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    return pattern;
}

void BM_SaveKeyFile(benchmark::State& state) {
    fs::path folder = MakeFolder();
    std::string path = (folder / "keys.kbd").string();
    FillTable();
    for (auto _ : state) {
        if (!SaveKeyFile(path.c_str())) state.SkipWithError("save failed");
    }
    fs::remove_all(folder);
}
BENCHMARK(BM_SaveKeyFile);

void BM_LoadKeyFile(benchmark::State& state) {
    fs::path folder = MakeFolder();
    std::string path = (folder / "keys.kbd").string();
    FillTable();
    if (!SaveKeyFile(path.c_str())) state.SkipWithError("save failed");
    for (auto _ : state) {
        if (!LoadKeyFile(path.c_str())) state.SkipWithError("load failed");
    }
    fs::remove_all(folder);
}
BENCHMARK(BM_LoadKeyFile);

void BM_FormatKeyText(benchmark::State& state) {
    FillTable();
    char text[KEY_TEXT_SIZE];
    for (auto _ : state) {
        benchmark::DoNotOptimize(FormatKeyText(text, sizeof text));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_FormatKeyText);

// A full-size input: 512 bytes with blank runs for the rewriting passes.
void BM_ParseKeyText(benchmark::State& state) {
    std::string text = "0104  0005   0006 0007 0008 0009 000A 000B\r\n";
    text += "0001 0002 0003 0004 0005 0006 0007 0008\r\n";
    text.resize(KEY_TEXT_READ_LIMIT, ' ');
    for (auto _ : state) {
        ParseKeyText(text.data(), text.size());
        benchmark::DoNotOptimize(GetKeyCode(LAYER_SHIFT, 8));
    }
}
BENCHMARK(BM_ParseKeyText);

}  // namespace
