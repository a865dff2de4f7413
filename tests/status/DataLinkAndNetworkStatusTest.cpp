#include <gtest/gtest.h>

#include "status/DataLinkStatusView.h"
#include "status/NetworkStatusView.h"
#include "tests/status/FakeRead.h"

namespace {
const Rgb kDim{210, 210, 210};
const Rgb kWhite{255, 255, 255};
const Rgb kBlue{0, 0, 255};
const Rgb kRed{255, 0, 0};

struct DataLinkFixture : ::testing::Test {
    CUnitSettings settings;
    RecordingPrompter prompter;
    FakeRead read;
    CDataLinkStatusView view{settings, prompter, read.Fn()};
};

struct NetworkFixture : ::testing::Test {
    CUnitSettings settings;
    RecordingPrompter prompter;
    FakeRead read;
    CNetworkStatusView view{settings, prompter, read.Fn()};
};
}  // namespace

TEST_F(DataLinkFixture, NodeNumbersZeroAndTwoFiftyFiveStayBlank) {
    settings.status.participation[0] = 1;
    settings.status.participation[255] = 1;
    ASSERT_TRUE(view.Open());
    EXPECT_EQ(view.Grid().Text(0, 0), "");
    EXPECT_EQ(view.Grid().Text(15, 15), "");
    EXPECT_EQ(view.Grid().BackgroundAt(0, 0), kWhite);
    EXPECT_EQ(view.Grid().BackgroundAt(15, 15), kWhite);
}

TEST_F(DataLinkFixture, UpdateShowsTheNewRecordWithButtonsOffDuringTheRead) {
    settings.status.participation[17] = 1;
    ASSERT_TRUE(view.Open());
    bool sawDisabled = false;
    bool sawOldColoursCleared = false;
    read.during = [&] {
        sawDisabled = !view.IsUpdateEnabled() && !view.IsCloseEnabled() && view.IsBusy();
        sawOldColoursCleared = view.Grid().BackgroundAt(1, 1) == kWhite;
        settings.status.participation[17] = 0;
        settings.status.participation[33] = 1;
    };
    EXPECT_TRUE(view.Update());
    EXPECT_TRUE(sawDisabled);
    EXPECT_TRUE(sawOldColoursCleared);
    EXPECT_FALSE(view.ShownParticipating(17));
    EXPECT_TRUE(view.ShownParticipating(33));
    EXPECT_TRUE(view.IsUpdateEnabled());
    EXPECT_FALSE(view.IsBusy());
}

TEST_F(DataLinkFixture, SecondUpdateFromInsideTheReadIsRefused) {
    ASSERT_TRUE(view.Open());
    bool nested = true;
    read.during = [&] {
        read.during = nullptr;
        nested = view.Update();
    };
    EXPECT_TRUE(view.Update());
    EXPECT_FALSE(nested);
    EXPECT_EQ(read.calls, 2);  // open and the one update
}

TEST_F(DataLinkFixture, CsvListsEveryNodeAsShown) {
    settings.status.participation[1] = 1;
    settings.status.participation[254] = 1;
    ASSERT_TRUE(view.Open());
    std::string csv = view.ToCsv();
    EXPECT_EQ(csv.rfind("node,participating\r\n1,1\r\n2,0\r\n", 0), 0u);
    EXPECT_NE(csv.find("\r\n254,1\r\n"), std::string::npos);
    EXPECT_EQ(csv.find("\r\n255,"), std::string::npos);
    EXPECT_EQ(csv.find("\r\n0,"), std::string::npos);
}

TEST_F(NetworkFixture, AllFlagsClearShowTheFourClearTexts) {
    ASSERT_TRUE(view.Open());
    const CCellGrid& g = view.Grid();
    ASSERT_EQ(g.Rows(), 254);
    for (int r : {0, 100, 253}) {
        EXPECT_EQ(g.Text(r, 0), std::to_string(r + 1));
        EXPECT_EQ(g.Text(r, 1), "異常なし");
        EXPECT_EQ(g.Text(r, 2), "未加入");
        EXPECT_EQ(g.Text(r, 3), "異常なし");
        EXPECT_EQ(g.Text(r, 4), "停止中");
        for (int c = 1; c <= 4; ++c) {
            EXPECT_EQ(g.TextColourAt(r, c), kDim);
            EXPECT_EQ(g.BackgroundAt(r, c), kWhite);
        }
        EXPECT_EQ(g.BackgroundAt(r, 0), (Rgb{225, 225, 225}));
    }
    EXPECT_EQ(g.Headers(), (std::vector<std::string>{"ﾉｰﾄﾞNo", "ｴﾘｱ割付異常", "ﾈｯﾄﾜｰｸ加入中", "異常(上位層)",
                                                     "運転状態(上位層)"}));
}

TEST_F(NetworkFixture, EachSetFlagHasItsTextAndColour) {
    settings.status.nodeStatus[0].areaAllocError = 1;     // node 1
    settings.status.nodeStatus[1].participating = 1;      // node 2
    settings.status.nodeStatus[252].upperLayerError = 5;  // node 253, any non-zero
    settings.status.nodeStatus[253].upperLayerRunning = 1;
    ASSERT_TRUE(view.Open());
    const CCellGrid& g = view.Grid();
    EXPECT_EQ(g.Text(0, 1), "異常");
    EXPECT_EQ(g.BackgroundAt(0, 1), kRed);
    EXPECT_EQ(g.TextColourAt(0, 1), kWhite);
    EXPECT_EQ(g.Text(0, 2), "未加入");
    EXPECT_EQ(g.Text(1, 2), "加入");
    EXPECT_EQ(g.BackgroundAt(1, 2), kBlue);
    EXPECT_EQ(g.Text(1, 1), "異常なし");
    EXPECT_EQ(g.Text(252, 3), "異常あり");
    EXPECT_EQ(g.BackgroundAt(252, 3), kRed);
    EXPECT_EQ(g.Text(253, 4), "運転中");
    EXPECT_EQ(g.BackgroundAt(253, 4), kBlue);
    EXPECT_EQ(g.TextColourAt(253, 4), kWhite);
}

TEST_F(NetworkFixture, FailedUpdateLeavesTheTableAsItWas) {
    settings.status.nodeStatus[9].participating = 1;
    ASSERT_TRUE(view.Open());
    read.results = {false};
    read.during = [&] { settings.status.nodeStatus[9].participating = 0; };
    EXPECT_FALSE(view.Update());
    EXPECT_EQ(view.Grid().Text(9, 2), "加入");
    EXPECT_EQ(view.Grid().BackgroundAt(9, 2), kBlue);
    EXPECT_TRUE(view.IsUpdateEnabled());
}

TEST_F(NetworkFixture, CsvHasTheHeaderAndOneLinePerNode) {
    settings.status.nodeStatus[0].participating = 1;
    ASSERT_TRUE(view.Open());
    std::string csv = view.ToCsv();
    EXPECT_EQ(csv.rfind("ﾉｰﾄﾞNo,ｴﾘｱ割付異常,ﾈｯﾄﾜｰｸ加入中,異常(上位層),運転状態(上位層)\r\n"
                        "1,異常なし,加入,異常なし,停止中\r\n",
                        0),
              0u);
    size_t lines = 0;
    for (char c : csv) lines += c == '\n';
    EXPECT_EQ(lines, 255u);
}
