#pragma once
#include <array>
#include <functional>

#include "status/IndicatorLamp.h"
#include "status/StatusView.h"

// "ｴﾗｰｽﾃｰﾀｽ": the unit's status and error bits as nine lamps.
class CErrorStatusView : public CStatusView {
public:
    static constexpr int kLampCount = 9;
    CErrorStatusView(CUnitSettings& settings, IPrompter& prompter, std::function<bool()> read);

    const std::array<IndicatorLamp, kLampCount>& Lamps() const { return m_lamps; }
    // The status word bit that lamp i shows.
    static int BitOfLamp(int lamp);
    std::string ToCsv() const override;

protected:
    void Layout() override {}
    bool Read() override { return m_read && m_read(); }
    void Show() override;

private:
    std::function<bool()> m_read;
    std::array<IndicatorLamp, kLampCount> m_lamps;
};
