// Benchmarks of the core's hot paths on the Linux host: value scaling, the value text and the
// settings engine. With Google Benchmark by default; "--count PATH N" runs one path exactly N
// times, for counting its instructions under callgrind.
#include <cstdio>
#include <cstring>
#include <string>

#include <benchmark/benchmark.h>

#include "counters/counter_run.h"
#include "render/value_scale.h"
#include "render/value_text.h"
#include "settings/settings_schema.h"
#include "settings/settings_text.h"

namespace {

struct Fixture {
    CounterRun run = {};
    SettingsRecords records = {};
    CounterRun runs[2] = {};
    PixelPoint points[HistorySize];
    wchar_t line[ValueLineChars];
    Fixture() {
        for (int i = 0; i < HistorySize; i++)
            run.History[i] = (i * 37) % 120;
        run.RingIndex = 200;
        LoadSettingsRecords(nullptr, &records, runs);
    }
};

Fixture& TheFixture() {
    static Fixture f;
    return f;
}

void ScaleOnce() {
    Fixture& f = TheFixture();
    PixelRect rect = {1, 1, 141, 42};
    benchmark::DoNotOptimize(
        ScaleHistory(f.points, &rect, f.run.History, HistorySize, f.run.RingIndex, 100, 0));
}

void FormatOnce() {
    Fixture& f = TheFixture();
    benchmark::DoNotOptimize(FormatValueText(&f.records.Slot[0], true, 1234567, f.line));
}

// A whole save into a text from nothing, then a whole load of it: what a settings save and
// the next start do with the file's text.
void SaveLoadOnce() {
    Fixture& f = TheFixture();
    bool failed = false;
    SettingsText* text = SaveSettingsRecords(&f.records, nullptr, &failed);
    LoadSettingsRecords(text, &f.records, f.runs);
    FreeSettingsText(text);
}

void BM_ScaleHistory(benchmark::State& state) {
    for (auto _ : state)
        ScaleOnce();
}
void BM_FormatValueText(benchmark::State& state) {
    for (auto _ : state)
        FormatOnce();
}
void BM_SettingsSaveLoad(benchmark::State& state) {
    for (auto _ : state)
        SaveLoadOnce();
}
BENCHMARK(BM_ScaleHistory);
BENCHMARK(BM_FormatValueText);
BENCHMARK(BM_SettingsSaveLoad);

} // namespace

int main(int argc, char** argv) {
    if (argc == 4 && !std::strcmp(argv[1], "--count")) {
        void (*path)() = !std::strcmp(argv[2], "scale")    ? ScaleOnce
                         : !std::strcmp(argv[2], "format") ? FormatOnce
                         : !std::strcmp(argv[2], "settings") ? SaveLoadOnce
                                                             : nullptr;
        if (!path)
            return 2;
        TheFixture();
        long n = std::atol(argv[3]);
        for (long i = 0; i < n; i++)
            path();
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
