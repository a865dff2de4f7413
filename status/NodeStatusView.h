#pragma once
#include <array>
#include <functional>
#include <string>

#include "status/IndicatorLamp.h"
#include "status/StatusView.h"

// "ﾉｰﾄﾞｽﾃｰﾀｽ": what the unit reports about one node (the local one or another), as fifteen
// lamps and eight numbers.
class CNodeStatusView : public CStatusView {
public:
    static constexpr int kLampCount = 15;
    static constexpr int kNumberCount = 8;
    static constexpr int kFirstNode = 1;
    static constexpr int kLastNode = 254;

    enum Lamp {
        kJoined, kLeft, kCommonMemoryRangeError, kTokenTimeoutError, kDuplicateNode, kFrameWait,
        kDuplicateAddress, kCommonMemorySet, kCommonMemoryValid, kUpperLayerSignalError,
        kRun, kStop, kNormal, kWarning, kAlarm
    };
    enum Number {
        kErrorCode, kRefreshAllowed, kTokenWatchdog, kFrameInterval,
        kArea1Start, kArea1Size, kArea2Start, kArea2Size
    };

    // read(node) asks the unit about the node; false after it has shown its own message.
    CNodeStatusView(CUnitSettings& settings, IPrompter& prompter, std::function<bool(int node)> read);

    // The node number list "ﾉｰﾄﾞ番号" holds 1-254; anything else is refused. Selecting reads nothing.
    bool SelectNode(int node);
    int SelectedNode() const { return m_selectedNode; }

    const std::array<IndicatorLamp, kLampCount>& Lamps() const { return m_lamps; }
    const std::array<std::string, kNumberCount>& Numbers() const { return m_numbers; }
    static const char* NumberLabel(int number);

    std::string ToCsv() const override;

protected:
    void Layout() override;
    bool Read() override;
    void Show() override;
    void BeforeUpdateRead() override { AllLampsOff(); }

private:
    void AllLampsOff();
    void Set(Lamp lamp, LampState state) { m_lamps[lamp].state = state; }

    std::function<bool(int)> m_read;
    int m_selectedNode = kFirstNode;
    std::array<IndicatorLamp, kLampCount> m_lamps;
    std::array<std::string, kNumberCount> m_numbers;
};
