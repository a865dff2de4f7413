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

TEST_F(NodeFixture, OtherNodeJoinedWithCommonMemoryLampsAndRunNormal) {
    NodeInfoRecord& info = settings.status.nodeInfo;
    info = NodeInfoRecord{};
    info.completion = 1;
    info.state1 = 0x61;
    info.state2 = 0x80;
    info.localState = 0xFF;  // the local node's flags mean nothing for another node
    ASSERT_TRUE(view.Open());
    EXPECT_EQ(Lit(), (std::vector<int>{L::kJoined, L::kCommonMemorySet, L::kCommonMemoryValid, L::kRun, L::kNormal}));
    for (int lamp : Lit()) EXPECT_EQ(State(lamp), LampState::On);
}

TEST_F(NodeFixture, LocalNodeLeftWithDuplicateNodeAndTokenTimeout) {
    NodeInfoRecord& info = settings.status.nodeInfo;
    info = NodeInfoRecord{};
    info.completion = 0;
    info.localState = 0x48;
    ASSERT_TRUE(view.Open());
    EXPECT_EQ(State(L::kLeft), LampState::Alarm);
    EXPECT_EQ(State(L::kJoined), LampState::Off);
    EXPECT_EQ(State(L::kDuplicateNode), LampState::Alarm);
    EXPECT_EQ(State(L::kTokenTimeoutError), LampState::Alarm);
    EXPECT_EQ(State(L::kFrameWait), LampState::Off);
    EXPECT_EQ(State(L::kCommonMemoryRangeError), LampState::Off);
    EXPECT_EQ(State(L::kStop), LampState::On);
    EXPECT_EQ(State(L::kNormal), LampState::On);
}

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

TEST_F(NodeFixture, NumbersInDecimal) {
    NodeInfoRecord& info = settings.status.nodeInfo;
    info = NodeInfoRecord{};
    info.errorCode = 0xF1;
    info.refreshAllowed = 65535;
    info.tokenWatchdog = 50;
    info.frameInterval = 1;
    info.area1Start = 0;
    info.area1Size = 512;
    info.area2Start = 8000;
    info.area2Size = 192;
    ASSERT_TRUE(view.Open());
    EXPECT_EQ(view.Numbers(), (std::array<std::string, 8>{"241", "65535", "50", "1", "0", "512", "8000", "192"}));
}

TEST_F(NodeFixture, ReadAsksAboutTheSelectedNodeAndKeepsItInTheRecord) {
    ASSERT_TRUE(view.Open());
    EXPECT_EQ(asked, (std::vector<int>{1}));
    EXPECT_TRUE(view.SelectNode(200));
    EXPECT_EQ(asked.size(), 1u);  // selecting alone sends nothing
    ASSERT_TRUE(view.Update());
    EXPECT_EQ(asked, (std::vector<int>{1, 200}));
    EXPECT_EQ(settings.status.nodeInfoNode, 200u);
}

TEST_F(NodeFixture, NodeNumbersOutsideTheListAreRefused) {
    EXPECT_FALSE(view.SelectNode(0));
    EXPECT_FALSE(view.SelectNode(255));
    EXPECT_FALSE(view.SelectNode(-3));
    EXPECT_TRUE(view.SelectNode(254));
    EXPECT_EQ(view.SelectedNode(), 254);
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(NodeFixture, FailedUpdateTurnsEveryLampOffAndKeepsTheNumbers) {
    settings.status.nodeInfo = NodeInfoRecord{};
    settings.status.nodeInfo.localState = 0x80;
    settings.status.nodeInfo.errorCode = 7;
    ASSERT_TRUE(view.Open());
    ASSERT_FALSE(Lit().empty());
    bool lampsOffDuringRead = false;
    during = [&] { lampsOffDuringRead = Lit().empty() && !view.IsUpdateEnabled() && !view.IsCloseEnabled(); };
    results = {false};
    EXPECT_FALSE(view.Update());
    EXPECT_TRUE(lampsOffDuringRead);
    EXPECT_TRUE(Lit().empty());
    EXPECT_EQ(view.Numbers()[L::kErrorCode], "7");
    EXPECT_TRUE(view.IsUpdateEnabled());
}

TEST_F(NodeFixture, CsvHasNodeLampsAndNumbers) {
    settings.status.nodeInfo = NodeInfoRecord{};
    settings.status.nodeInfo.localState = 0x00;
    ASSERT_TRUE(view.Open());
    std::string csv = view.ToCsv();
    EXPECT_EQ(csv.rfind("ﾉｰﾄﾞ番号,1\r\n参加,off\r\n離脱,alarm\r\n", 0), 0u);
    EXPECT_NE(csv.find("\r\nSTOP,on\r\n"), std::string::npos);
    EXPECT_NE(csv.find("\r\nERR_CODE,0\r\n"), std::string::npos);
}

TEST_F(ErrorFixture, Word8181LightsFourLamps) {
    settings.status.errorStatusWord = 0x8181;
    ASSERT_TRUE(view.Open());
    std::vector<std::string> on;
    for (const IndicatorLamp& lamp : view.Lamps())
        if (lamp.state == LampState::On) on.push_back(lamp.label);
    EXPECT_EQ(on, (std::vector<std::string>{"FAﾘﾝｸ動作中", "P/S　供給中", "FAﾘﾝｸｴﾘｱ割付異常", "EEP-ROM異常"}));
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

TEST(IndicatorLamp, ColoursOfTheThreeStates) {
    EXPECT_EQ(LampBackground(LampState::Off), (Rgb{213, 213, 213}));
    EXPECT_EQ(LampTextColour(LampState::Off), (Rgb{120, 120, 120}));
    EXPECT_EQ(LampBackground(LampState::On), (Rgb{0, 0, 255}));
    EXPECT_EQ(LampTextColour(LampState::On), (Rgb{255, 255, 255}));
    EXPECT_EQ(LampBackground(LampState::Alarm), (Rgb{255, 0, 0}));
    EXPECT_EQ(LampTextColour(LampState::Alarm), (Rgb{255, 255, 255}));
}
