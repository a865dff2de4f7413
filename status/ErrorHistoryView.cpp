#include "status/ErrorHistoryView.h"

#include <cstdio>

#include "model/Messages.h"
#include "status/CsvText.h"

namespace {
std::string Format(const char* format, unsigned a, unsigned b, unsigned c) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, format, a, b, c);
    return buffer;
}
std::string Hex4(unsigned value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%.4x", value);
    return buffer;
}
}  // namespace

CErrorHistoryView::CErrorHistoryView(CUnitSettings& settings, IPrompter& prompter, std::function<bool()> read,
                                     std::function<bool()> clear)
    : CStatusView(settings, prompter), m_read(std::move(read)), m_clear(std::move(clear)) {}

void CErrorHistoryView::Layout() {
    m_grid.Reset(kRows, 5, CCellGrid::kModeShadedFirst);
    m_grid.SetHeaders({"No.", LocalText("日付"), LocalText("時間"), LocalText("異常ｺｰﾄﾞ"), LocalText("ﾃﾞｰﾀ")});
    m_grid.SetListBackground(StatusColour::kListBackground);
    m_grid.SetCellColours(0, StatusColour::kWindowText, StatusColour::kListBackground);
    for (int r = 0; r < kRows; ++r) m_grid.SetText(r, 0, std::to_string(r + 1));
    m_maxRecords = "64";
    m_stored = "64";
}

void CErrorHistoryView::Show() {
    const StatusArea& s = m_settings.status;
    // The stored count comes from the unit; the table has room for 64 records only.
    const int shown = s.historyStored < kRows ? s.historyStored : kRows;
    for (int i = 0; i < shown; ++i) {
        const HistoryRecord& rec = s.historyRecords[i];
        // time bytes: minute, second, day, hour, year, month (BCD, so %X shows the digits)
        m_grid.SetText(i, 1, Format("%.2X/%.2X/%.2X", rec.time[4], rec.time[5], rec.time[2]));
        m_grid.SetText(i, 2, Format("%.2X:%.2X:%.2X", rec.time[3], rec.time[0], rec.time[1]));
        m_grid.SetText(i, 3, Hex4(rec.errorCode));
        m_grid.SetText(i, 4, Hex4(rec.detail));
    }
    m_maxRecords = std::to_string(s.historyMaxRecords);
    m_stored = std::to_string(s.historyStored);
}

bool CErrorHistoryView::Clear() {
    if (IsBusy() || IsAsking()) return false;
    if (m_prompter.Show(Msg::kClearHistoryQuestion, {}, PromptButtons::YesNo, PromptIcon::Warning) ==
        PromptAnswer::No)
        return false;
    // The clear is an exchange like any read: no second one may start while it waits.
    bool ok = RunExclusive([this] { return m_clear && m_clear(); });
    if (!ok) return false;
    for (int r = 0; r < kRows; ++r)
        for (int c = 1; c < 5; ++c) m_grid.SetText(r, c, std::string());
    m_maxRecords = "0";
    m_stored = "0";
    Notify();
    return true;
}

std::string CErrorHistoryView::ToCsv() const {
    return CsvLine({LocalText("最大格納件数"), m_maxRecords}) + CsvLine({LocalText("格納件数"), m_stored}) + m_grid.ToCsv();
}
