#include <benchmark/benchmark.h>

#include <filesystem>

#include "model/Prompter.h"
#include "model/SettingsFile.h"

namespace {

// A record with all 128 mapping entries in use, the largest file there is.
void FillRecord(CUnitSettings& record) {
    record.pc.entryCount = kMaxMappingEntries;
    for (int i = 0; i < kMaxMappingEntries; ++i)
        record.pc.entries[i] = {static_cast<uint16_t>(i + 1), static_cast<uint16_t>(i % 2), 4,
                                static_cast<uint16_t>(i * 4), 64, static_cast<uint16_t>(i * 64)};
    CopyText(record.pc.nodeName, sizeof record.pc.nodeName, "NODE-128");
    record.comment = "bench\r\nfull table";
}

std::string TempPath() {
    return (std::filesystem::temp_directory_path() / "linksmith-bench.lsm").string();
}

void BM_LoadFull128NodeFile(benchmark::State& state) {
    CUnitSettings record;
    RecordingPrompter prompter;
    CSettingsFile file(record, prompter);
    FillRecord(record);
    const std::string path = TempPath();
    file.WriteFile(path);
    for (auto _ : state) {
        bool ok = file.ReadFile(path, false);
        benchmark::DoNotOptimize(ok);
    }
    if (record.pc.entryCount != kMaxMappingEntries || !prompter.shown.empty()) state.SkipWithError("bad read");
}

void BM_SaveFull128NodeFile(benchmark::State& state) {
    CUnitSettings record;
    RecordingPrompter prompter;
    CSettingsFile file(record, prompter);
    FillRecord(record);
    const std::string path = TempPath();
    for (auto _ : state) {
        bool ok = file.WriteFile(path);
        benchmark::DoNotOptimize(ok);
    }
    if (!prompter.shown.empty()) state.SkipWithError("bad write");
}

void BM_ParseFull128NodeText(benchmark::State& state) {
    CUnitSettings record;
    RecordingPrompter prompter;
    CSettingsFile file(record, prompter);
    FillRecord(record);
    const std::string text = file.Serialize();
    for (auto _ : state) benchmark::DoNotOptimize(file.Apply(text, false));
}

void BM_SerializeFull128NodeRecord(benchmark::State& state) {
    CUnitSettings record;
    RecordingPrompter prompter;
    CSettingsFile file(record, prompter);
    FillRecord(record);
    for (auto _ : state) benchmark::DoNotOptimize(file.Serialize());
}

}  // namespace

BENCHMARK(BM_LoadFull128NodeFile)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SaveFull128NodeFile)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ParseFull128NodeText)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SerializeFull128NodeRecord)->Unit(benchmark::kMicrosecond);
