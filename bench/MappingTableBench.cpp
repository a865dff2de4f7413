#include <benchmark/benchmark.h>

#include "model/Prompter.h"
#include "model/ValueText.h"
#include "pages/ExtensionPage.h"
#include "pages/MappingTablePage.h"
#include "pages/SystemSettingPage.h"

namespace {

// A full table kept in the unit: 128 complete rows, the worst case of every rule.
struct FullTable {
    CUnitSettings record;
    CSystemSettingPage system;
    CExtensionPage extension;
    CMappingTablePage page{system, extension};
    FullTable() {
        system.SelectList(CSystemSettingPage::kMappingTableMethod, 1);
        page.SelectArea(1, 3);
        page.SelectArea(2, 3);
        page.EditAreaStart(1, "0");
        page.EditAreaStart(2, "1000");
        for (int i = 0; i < kMaxMappingEntries; ++i) {
            page.SetRowField(i, CMappingTablePage::kNodeColumn, i + 1);
            page.SetRowField(i, CMappingTablePage::kArea1OffsetColumn, i * 4);
            page.SetRowField(i, CMappingTablePage::kArea1SizeColumn, 4);
            page.SetRowField(i, CMappingTablePage::kArea2OffsetColumn, i * 60);
            page.SetRowField(i, CMappingTablePage::kArea2SizeColumn, 60);
        }
    }
};

void BM_ValidateFullTable(benchmark::State& state) {
    FullTable t;
    RecordingPrompter prompter;
    for (auto _ : state) {
        bool ok = t.page.Validate(kDecimal, prompter);
        benchmark::DoNotOptimize(ok);
    }
    if (!prompter.shown.empty()) state.SkipWithError("the table was refused");
}
BENCHMARK(BM_ValidateFullTable)->Unit(benchmark::kMicrosecond);

// Scrolling one line and producing every cell text of the ten visible lines.
void BM_RedrawPage(benchmark::State& state) {
    FullTable t;
    for (auto _ : state) {
        t.page.ThumbTo(state.iterations() % 100);
        size_t bytes = 0;
        for (int line = 0; line < CMappingTablePage::kLines; ++line)
            for (int c = 0; c < CMappingTablePage::kColumnCount; ++c) bytes += t.page.CellText(c, line).size();
        benchmark::DoNotOptimize(bytes);
    }
}
BENCHMARK(BM_RedrawPage)->Unit(benchmark::kMicrosecond);

}  // namespace
