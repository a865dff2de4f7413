#include "status/NetworkStatusView.h"
#include "model/Messages.h"

namespace {
struct Condition {
    const char* setText;
    Rgb setBackground;
    const char* clearText;
};
// Columns 1-4 in order: area allocation error, participating, upper layer error and running.
const Condition kConditions[4] = {
    {"異常", StatusColour::kRed, "異常なし"},
    {"加入", StatusColour::kBlue, "未加入"},
    {"異常あり", StatusColour::kRed, "異常なし"},
    {"運転中", StatusColour::kBlue, "停止中"},
};
}  // namespace

CNetworkStatusView::CNetworkStatusView(CUnitSettings& settings, IPrompter& prompter,
                                       std::function<bool()> read)
    : CStatusView(settings, prompter), m_read(std::move(read)) {}

void CNetworkStatusView::Layout() {
    m_grid.Reset(kRows, 5, CCellGrid::kModeFive);
    m_grid.SetHeaders({LocalText("ﾉｰﾄﾞNo"), LocalText("ｴﾘｱ割付異常"), LocalText("ﾈｯﾄﾜｰｸ加入中"), LocalText("異常(上位層)"), LocalText("運転状態(上位層)")});
    m_grid.SetListBackground(StatusColour::kListBackground);
    m_grid.SetCellColours(0, StatusColour::kWindowText, StatusColour::kListBackground);
    for (int r = 0; r < kRows; ++r) m_grid.SetText(r, 0, std::to_string(r + 1));
}

bool CNetworkStatusView::Read() { return m_read && m_read(); }

void CNetworkStatusView::Show() {
    for (int r = 0; r < kRows; ++r) {
        const NodeStatusEntry& e = m_settings.status.nodeStatus[r];
        const uint32_t flags[4] = {e.areaAllocError, e.participating, e.upperLayerError, e.upperLayerRunning};
        for (int i = 0; i < 4; ++i) {
            const int column = i + 1;
            const Condition& c = kConditions[i];
            if (flags[i] != 0) {
                m_grid.SetText(r, column, LocalText(c.setText));
                m_grid.SetCellColours(r * 5 + column, StatusColour::kWhite, c.setBackground);
            } else {
                m_grid.SetText(r, column, LocalText(c.clearText));
                m_grid.SetCellColours(r * 5 + column, StatusColour::kDimText, StatusColour::kWhite);
            }
        }
    }
}
