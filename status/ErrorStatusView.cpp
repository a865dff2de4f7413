#include "status/ErrorStatusView.h"

#include "status/CsvText.h"
#include "model/Messages.h"

namespace {
struct LampBit {
    int bit;
    const char* label;
};
// Bits 2-6, 9 and 11 have no lamp.
const LampBit kLampBits[CErrorStatusView::kLampCount] = {
    {0, "FAﾘﾝｸ動作中"},
    {1, "受信ﾒｯｾｰｼﾞ　有り"},
    {7, "P/S　供給中"},
    {8, "FAﾘﾝｸｴﾘｱ割付異常"},
    {10, "ﾄｰｸﾝ監視ﾀｲﾑｱｳﾄ時間設定異常"},
    {12, "IPｱﾄﾞﾚｽ設定異常"},
    {13, "ﾄﾗﾝｼｰﾊﾞ折返しﾃｽﾄ異常"},
    {14, "ﾄﾗﾝｼｰﾊﾞ異常"},
    {15, "EEP-ROM異常"},
};
}  // namespace

CErrorStatusView::CErrorStatusView(CUnitSettings& settings, IPrompter& prompter, std::function<bool()> read)
    : CStatusView(settings, prompter), m_read(std::move(read)) {
    for (int i = 0; i < kLampCount; ++i) m_lamps[i].label = LocalText(kLampBits[i].label);
}

int CErrorStatusView::BitOfLamp(int lamp) {
    return lamp >= 0 && lamp < kLampCount ? kLampBits[lamp].bit : -1;
}

void CErrorStatusView::Show() {
    const uint16_t word = m_settings.status.errorStatusWord;
    for (int i = 0; i < kLampCount; ++i)
        m_lamps[i].state = (word >> kLampBits[i].bit) & 1 ? LampState::On : LampState::Off;
}

std::string CErrorStatusView::ToCsv() const {
    std::string out;
    for (const IndicatorLamp& lamp : m_lamps) out += CsvLine({lamp.label, LampStateToken(lamp.state)});
    return out;
}
