#include <benchmark/benchmark.h>

#include "status/NetworkStatusView.h"

// Filling the 254-row network table from a decoded record (target: well under 50 ms).
static void BM_NetworkStatusFill(benchmark::State& state) {
    CUnitSettings settings;
    RecordingPrompter prompter;
    for (int i = 0; i < 254; ++i) {
        settings.status.nodeStatus[i] = NodeStatusEntry{uint32_t(i & 1), uint32_t((i >> 1) & 1),
                                                        uint32_t((i >> 2) & 1), uint32_t((i >> 3) & 1)};
    }
    CNetworkStatusView view(settings, prompter, [] { return true; });
    view.Open();
    for (auto _ : state) {
        view.Show();
        benchmark::DoNotOptimize(view.Grid().Text(253, 4).data());
    }
}
BENCHMARK(BM_NetworkStatusFill)->Unit(benchmark::kMicrosecond);
