#pragma once
#include <array>
#include <functional>
#include <string>

#include "status/StatusView.h"

// "通信ｻｲｸﾙﾀｲﾑ": token-holding node, frame interval and the refresh cycle times, in decimal.
class CCycleTimeView : public CStatusView {
public:
    enum Field { kTokenNode, kFrameInterval, kRefreshAllowed, kRefreshCurrent, kRefreshMaximum, kRefreshMinimum };
    static constexpr int kFieldCount = 6;

    CCycleTimeView(CUnitSettings& settings, IPrompter& prompter, std::function<bool()> read);

    const std::array<std::string, kFieldCount>& Fields() const { return m_fields; }
    static const char* FieldLabel(int field);
    // The unit shown after a field ("x100μsec", "msec" or nothing).
    static const char* FieldUnit(int field);
    std::string ToCsv() const override;

protected:
    void Layout() override {}
    bool Read() override { return m_read && m_read(); }
    void Show() override;

private:
    std::function<bool()> m_read;
    std::array<std::string, kFieldCount> m_fields;
};
