#include "status/NodeStatusView.h"

#include "status/CsvText.h"
#include "model/Messages.h"

namespace {
const char* const kLampLabels[CNodeStatusView::kLampCount] = {
    "参加", "離脱", "ｺﾓﾝﾒﾓﾘ設定範囲異常", "ﾄｰｸﾝ監視ﾀｲﾑｱｳﾄ時間ｴﾗｰ", "ﾉｰﾄﾞ番号多重", "ﾌﾚｰﾑ状態待ち",
    "ｱﾄﾞﾚｽ多重検知", "ｺﾓﾝﾒﾓﾘ設定完了", "ｺﾓﾝﾒﾓﾘ・ﾃﾞｰﾀ有効", "上位層動作信号ｴﾗｰ",
    "RUN", "STOP", "NORMAL", "WARNING", "ALARM",
};
const char* const kNumberLabels[CNodeStatusView::kNumberCount] = {
    "ERR_CODE", "ﾘﾌﾚｯｼｭｻｲｸﾙ許容時間", "ﾄｰｸﾝ監視ﾀｲﾑｱｳﾄ時間", "最小許容ﾌﾚｰﾑ間隔",
    "領域1(ﾋﾞｯﾄﾃﾞｰﾀ) 先頭ｱﾄﾞﾚｽ", "領域1(ﾋﾞｯﾄﾃﾞｰﾀ) ｻｲｽﾞ", "領域2(ﾜｰﾄﾞﾃﾞｰﾀ) 先頭ｱﾄﾞﾚｽ", "領域2(ﾜｰﾄﾞﾃﾞｰﾀ) ｻｲｽﾞ",
};
}  // namespace

CNodeStatusView::CNodeStatusView(CUnitSettings& settings, IPrompter& prompter,
                                 std::function<bool(int node)> read)
    : CStatusView(settings, prompter), m_read(std::move(read)) {
    for (int i = 0; i < kLampCount; ++i) m_lamps[i].label = LocalText(kLampLabels[i]);
}

const char* CNodeStatusView::NumberLabel(int number) {
    return number >= 0 && number < kNumberCount ? LocalText(kNumberLabels[number]) : "";
}

bool CNodeStatusView::SelectNode(int node) {
    if (node < kFirstNode || node > kLastNode) return false;
    m_selectedNode = node;
    return true;
}

void CNodeStatusView::Layout() {
    m_selectedNode = kFirstNode;
    AllLampsOff();
}

void CNodeStatusView::AllLampsOff() {
    for (IndicatorLamp& lamp : m_lamps) lamp.state = LampState::Off;
}

bool CNodeStatusView::Read() {
    // The node asked about stays in the record until the next request.
    m_settings.status.nodeInfoNode = static_cast<uint32_t>(m_selectedNode);
    return m_read && m_read(m_selectedNode);
}

void CNodeStatusView::Show() {
    const NodeInfoRecord& info = m_settings.status.nodeInfo;
    AllLampsOff();
    if (info.completion == 1) {
        Set((info.state1 & 0x01) ? kJoined : kLeft, (info.state1 & 0x01) ? LampState::On : LampState::Alarm);
    } else {
        const uint8_t local = info.localState;
        Set((local & 0x80) ? kJoined : kLeft, (local & 0x80) ? LampState::On : LampState::Alarm);
        if (local & 0x40) Set(kDuplicateNode, LampState::Alarm);
        if (local & 0x20) Set(kFrameWait, LampState::On);
        if (local & 0x10) Set(kCommonMemoryRangeError, LampState::Alarm);
        if (local & 0x08) Set(kTokenTimeoutError, LampState::Alarm);
    }
    if (info.state1 & 0x80) Set(kDuplicateAddress, LampState::Alarm);
    if (info.state1 & 0x40) Set(kCommonMemorySet, LampState::On);
    if (info.state1 & 0x20) Set(kCommonMemoryValid, LampState::On);
    if (info.state1 & 0x10) Set(kUpperLayerSignalError, LampState::Alarm);

    Set((info.state2 & 0x80) ? kRun : kStop, LampState::On);
    switch (info.state2 & 0x60) {
        case 0x00: Set(kNormal, LampState::On); break;
        case 0x20: Set(kWarning, LampState::On); break;
        default: Set(kAlarm, LampState::On); break;
    }

    m_numbers[kErrorCode] = std::to_string(info.errorCode);
    m_numbers[kRefreshAllowed] = std::to_string(info.refreshAllowed);
    m_numbers[kTokenWatchdog] = std::to_string(info.tokenWatchdog);
    m_numbers[kFrameInterval] = std::to_string(info.frameInterval);
    m_numbers[kArea1Start] = std::to_string(info.area1Start);
    m_numbers[kArea1Size] = std::to_string(info.area1Size);
    m_numbers[kArea2Start] = std::to_string(info.area2Start);
    m_numbers[kArea2Size] = std::to_string(info.area2Size);
}

std::string CNodeStatusView::ToCsv() const {
    std::string out = CsvLine({LocalText("ﾉｰﾄﾞ番号"), std::to_string(m_selectedNode)});
    for (const IndicatorLamp& lamp : m_lamps) out += CsvLine({lamp.label, LampStateToken(lamp.state)});
    for (int i = 0; i < kNumberCount; ++i) out += CsvLine({LocalText(kNumberLabels[i]), m_numbers[i]});
    return out;
}
