#include "status/DataLinkStatusView.h"

#include "status/CsvText.h"

CDataLinkStatusView::CDataLinkStatusView(CUnitSettings& settings, IPrompter& prompter,
                                         std::function<bool()> read)
    : CStatusView(settings, prompter), m_read(std::move(read)) {}

void CDataLinkStatusView::Layout() {
    m_grid.Reset(16, 16, CCellGrid::kModeSixteen);
    m_grid.SetHeaders(std::vector<std::string>(16));
    m_grid.SetListBackground(StatusColour::kListBackground);
    ResetColours();
}

void CDataLinkStatusView::ResetColours() {
    for (int n = 0; n < 256; ++n) m_grid.SetCellColours(n, StatusColour::kDimText, StatusColour::kWhite);
}

bool CDataLinkStatusView::Read() { return m_read && m_read(); }

// A failed update leaves the numbers but every node shown as not taking part.
void CDataLinkStatusView::BeforeUpdateRead() { ResetColours(); }

void CDataLinkStatusView::Show() {
    for (int n = 1; n <= 254; ++n) {
        m_grid.SetText(n / 16, n % 16, std::to_string(n));
        if (m_settings.status.participation[n] != 0)
            m_grid.SetCellColours(n, StatusColour::kWhite, StatusColour::kBlue);
    }
}

bool CDataLinkStatusView::ShownParticipating(int node) const {
    if (node < 0 || node > 255) return false;
    return m_grid.BackgroundAt(node / 16, node % 16) == StatusColour::kBlue;
}

std::string CDataLinkStatusView::ToCsv() const {
    std::string out = CsvLine({"node", "participating"});
    for (int n = 1; n <= 254; ++n) {
        if (m_grid.Text(n / 16, n % 16).empty()) continue;
        out += CsvLine({std::to_string(n), ShownParticipating(n) ? "1" : "0"});
    }
    return out;
}
