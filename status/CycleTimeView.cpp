#include "status/CycleTimeView.h"

#include "status/CsvText.h"
#include "model/Messages.h"

namespace {
const char* const kLabels[CCycleTimeView::kFieldCount] = {
    "ﾄｰｸﾝ保持ﾉｰﾄﾞ番号", "最小許容ﾌﾚｰﾑ間隔", "許容時間", "現在値", "最大値", "最小値",
};
const char* const kUnits[CCycleTimeView::kFieldCount] = {"", "x100μsec", "msec", "msec", "msec", "msec"};
}  // namespace

CCycleTimeView::CCycleTimeView(CUnitSettings& settings, IPrompter& prompter, std::function<bool()> read)
    : CStatusView(settings, prompter), m_read(std::move(read)) {}

const char* CCycleTimeView::FieldLabel(int field) {
    return field >= 0 && field < kFieldCount ? LocalText(kLabels[field]) : "";
}

const char* CCycleTimeView::FieldUnit(int field) {
    return field >= 0 && field < kFieldCount ? kUnits[field] : "";
}

void CCycleTimeView::Show() {
    const CycleTimeRecord& c = m_settings.status.cycleTime;
    m_fields[kTokenNode] = std::to_string(c.tokenNode);
    m_fields[kFrameInterval] = std::to_string(c.frameInterval);
    m_fields[kRefreshAllowed] = std::to_string(c.refreshAllowed);
    m_fields[kRefreshCurrent] = std::to_string(c.refreshCurrent);
    m_fields[kRefreshMaximum] = std::to_string(c.refreshMaximum);
    m_fields[kRefreshMinimum] = std::to_string(c.refreshMinimum);
}

std::string CCycleTimeView::ToCsv() const {
    std::string out;
    for (int i = 0; i < kFieldCount; ++i) out += CsvLine({LocalText(kLabels[i]), m_fields[i], kUnits[i]});
    return out;
}
