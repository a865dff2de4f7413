// Filling the network status view's grid list (254 rows) from a decoded record, widget and all.
// Target: under 50 ms.
#include <benchmark/benchmark.h>

#include <QApplication>

#include "status/NetworkStatusView.h"
#include "status/qt/ColorListCtrl.h"

namespace {
void Decoded(CUnitSettings& settings, int shift) {
    for (int i = 0; i < 254; ++i) {
        const int s = i + shift;
        settings.status.nodeStatus[i] = NodeStatusEntry{uint32_t(s & 1), uint32_t((s >> 1) & 1),
                                                        uint32_t((s >> 2) & 1), uint32_t((s >> 3) & 1)};
    }
}

// A view opened for the first time: the list builds every cell.
void BM_NetworkStatusWidgetFirstFill(benchmark::State& state) {
    CUnitSettings settings;
    RecordingPrompter prompter;
    Decoded(settings, 0);
    CNetworkStatusView view(settings, prompter, [] { return true; });
    view.Open();
    for (auto _ : state) {
        CColorListCtrl list;
        list.SetFirstColumnWidth(60);
        view.Show();
        list.SetCells(view.Grid());
        benchmark::DoNotOptimize(list.item(253, 4));
    }
}
BENCHMARK(BM_NetworkStatusWidgetFirstFill)->Unit(benchmark::kMillisecond);

// An update in which every node's status changed: every cell's text and colours are renewed.
void BM_NetworkStatusWidgetRefill(benchmark::State& state) {
    CUnitSettings settings;
    RecordingPrompter prompter;
    CNetworkStatusView view(settings, prompter, [] { return true; });
    view.Open();
    CColorListCtrl list;
    list.SetFirstColumnWidth(60);
    list.resize(620, 480);
    list.show();
    int shift = 0;
    for (auto _ : state) {
        Decoded(settings, ++shift);
        view.Show();
        list.SetCells(view.Grid());
        QApplication::processEvents();  // and the repaint it causes
    }
}
BENCHMARK(BM_NetworkStatusWidgetRefill)->Unit(benchmark::kMillisecond);
}  // namespace
