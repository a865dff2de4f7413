#include <gtest/gtest.h>

#include "status/ErrorStatusView.h"
#include "status/NodeStatusView.h"
#include "tests/status/FakeRead.h"

namespace {
using L = CNodeStatusView;

struct NodeFixture : ::testing::Test {
    CUnitSettings settings;
    RecordingPrompter prompter;
    std::vector<int> asked;
    std::vector<bool> results;
    std::function<void()> during;
    CNodeStatusView view{settings, prompter, [this](int node) {
                             asked.push_back(node);
                             if (during) during();
                             if (results.empty()) return true;
                             bool r = results.front();
                             results.erase(results.begin());
                             return r;
                         }};

    LampState State(int lamp) const { return view.Lamps()[lamp].state; }
    std::vector<int> Lit() const {
        std::vector<int> lit;
        for (int i = 0; i < L::kLampCount; ++i)
            if (State(i) != LampState::Off) lit.push_back(i);
        return lit;
    }
};

struct ErrorFixture : ::testing::Test {
    CUnitSettings settings;
    RecordingPrompter prompter;
    FakeRead read;
    CErrorStatusView view{settings, prompter, read.Fn()};
};
}  // namespace

TEST_F(NodeFixture, LocalNodeFrameWaitIsOnRangeErrorIsAlarmAndFaLinkBitsFromByteOne) {
    NodeInfoRecord& info = settings.status.nodeInfo;
    info = NodeInfoRecord{};
    info.localState = 0xB0;  // joined, frame wait, common memory range error
    info.state1 = 0x90;      // address duplicate, upper layer signal error
    ASSERT_TRUE(view.Open());
    EXPECT_EQ(State(L::kJoined), LampState::On);
    EXPECT_EQ(State(L::kFrameWait), LampState::On);
    EXPECT_EQ(State(L::kCommonMemoryRangeError), LampState::Alarm);
    EXPECT_EQ(State(L::kDuplicateAddress), LampState::Alarm);
    EXPECT_EQ(State(L::kUpperLayerSignalError), LampState::Alarm);
    EXPECT_EQ(State(L::kLeft), LampState::Off);
}

TEST_F(NodeFixture, UpperLayerStatusPicksOneOfNormalWarningAlarm) {
    const std::pair<uint8_t, int> cases[] = {{0x00, L::kNormal}, {0x20, L::kWarning}, {0x40, L::kAlarm},
                                             {0x60, L::kAlarm}, {0x9F, L::kNormal}};
    ASSERT_TRUE(view.Open());
    for (auto [byte2, lamp] : cases) {
        settings.status.nodeInfo.state2 = byte2;
        ASSERT_TRUE(view.Update());
        int lit = 0;
        for (int i : {L::kNormal, L::kWarning, L::kAlarm}) lit += State(i) != LampState::Off;
        EXPECT_EQ(lit, 1) << int(byte2);
        EXPECT_EQ(State(lamp), LampState::On) << int(byte2);
        EXPECT_EQ(State((byte2 & 0x80) ? L::kRun : L::kStop), LampState::On);
    }
}

TEST_F(NodeFixture, NodeNumbersOutsideTheListAreRefused) {
    EXPECT_FALSE(view.SelectNode(0));
    EXPECT_FALSE(view.SelectNode(255));
    EXPECT_FALSE(view.SelectNode(-3));
    EXPECT_TRUE(view.SelectNode(254));
    EXPECT_EQ(view.SelectedNode(), 254);
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(ErrorFixture, BitsWithoutALampLightNothing) {
    settings.status.errorStatusWord = 0x0A7C;  // bits 2-6, 9 and 11
    ASSERT_TRUE(view.Open());
    for (const IndicatorLamp& lamp : view.Lamps()) EXPECT_EQ(lamp.state, LampState::Off) << lamp.label;
}

TEST_F(ErrorFixture, EveryLampIsSetOnEachShowingAndFailedUpdateLeavesThem) {
    settings.status.errorStatusWord = 0xFFFF;
    ASSERT_TRUE(view.Open());
    for (const IndicatorLamp& lamp : view.Lamps()) EXPECT_EQ(lamp.state, LampState::On);
    settings.status.errorStatusWord = 0x0002;
    ASSERT_TRUE(view.Update());
    for (int i = 0; i < CErrorStatusView::kLampCount; ++i)
        EXPECT_EQ(view.Lamps()[i].state, CErrorStatusView::BitOfLamp(i) == 1 ? LampState::On : LampState::Off);
    settings.status.errorStatusWord = 0xFFFF;
    read.results = {false};
    EXPECT_FALSE(view.Update());
    EXPECT_EQ(view.Lamps()[1].state, LampState::On);
    EXPECT_EQ(view.Lamps()[0].state, LampState::Off);
}
