#include <gtest/gtest.h>

#include "status/CycleTimeView.h"
#include "status/MessageSequenceView.h"
#include "tests/status/FakeRead.h"

namespace {
struct SequenceFixture : ::testing::Test {
    CUnitSettings settings;
    RecordingPrompter prompter;
    std::vector<std::pair<CMessageSequenceView::Parameters, CMessageSequenceView::Parameters>> calls;
    std::vector<bool> results;
    std::function<void()> during;
    CMessageSequenceView view{settings, prompter,
                              [this](const CMessageSequenceView::Parameters& a,
                                     const CMessageSequenceView::Parameters& b) {
                                  calls.push_back({a, b});
                                  if (during) during();
                                  if (results.empty()) return true;
                                  bool r = results.front();
                                  results.erase(results.begin());
                                  return r;
                              }};
};
}  // namespace

TEST_F(SequenceFixture, NumbersShowAsHAndEightUpperCaseHexDigits) {
    settings.status.sequenceVersion = 0x1234;
    settings.status.sequenceSend1toN = 0xDEADBEEF;
    settings.status.sendSequence[0] = 0;
    settings.status.sendSequence[253] = 0xABCDEF01;
    settings.status.receiveSequence[253] = {1, 0x10, 0xFFFFFFFF};
    ASSERT_TRUE(view.Open());
    EXPECT_EQ(view.VersionText(), "H00001234");
    EXPECT_EQ(view.SendOneToNText(), "HDEADBEEF");
    EXPECT_EQ(view.SendGrid().Text(0, 1), "H00000000");
    EXPECT_EQ(view.SendGrid().Text(253, 0), "254");
    EXPECT_EQ(view.SendGrid().Text(253, 1), "HABCDEF01");
    EXPECT_EQ(view.ReceiveGrid().Text(253, 1), "H00000001");
    EXPECT_EQ(view.ReceiveGrid().Text(253, 2), "H00000010");
    EXPECT_EQ(view.ReceiveGrid().Text(253, 3), "HFFFFFFFF");
    EXPECT_EQ(view.ReceiveGrid().Headers(), (std::vector<std::string>{"ﾉｰﾄﾞ番号", "ﾊﾞｰｼﾞｮﾝ番号", "1:N", "1:1"}));
}

TEST_F(SequenceFixture, EveryReadHandsTheTwoParameterArrays) {
    ASSERT_TRUE(view.Open());
    ASSERT_TRUE(view.Update());
    ASSERT_EQ(calls.size(), 2u);
    for (const auto& [a, b] : calls) {
        EXPECT_EQ(a, (CMessageSequenceView::Parameters{1, 2, 3, 4}));
        EXPECT_EQ(b, (CMessageSequenceView::Parameters{0x11, 0x12, 0x13, 0x14}));
    }
}

TEST_F(SequenceFixture, UpdateIsBusyDuringTheReadAndAFailureKeepsTheNumbers) {
    settings.status.sendSequence[5] = 7;
    ASSERT_TRUE(view.Open());
    bool busy = false;
    during = [&] {
        busy = view.IsBusy() && !view.IsUpdateEnabled();
        settings.status.sendSequence[5] = 8;
    };
    results = {false};
    EXPECT_FALSE(view.Update());
    EXPECT_TRUE(busy);
    EXPECT_FALSE(view.IsBusy());
    EXPECT_EQ(view.SendGrid().Text(5, 1), "H00000007");
}

TEST_F(SequenceFixture, CsvJoinsSendAndReceiveByNode) {
    settings.status.sequenceVersion = 2;
    settings.status.sendSequence[0] = 0x10;
    settings.status.receiveSequence[0] = {3, 4, 5};
    ASSERT_TRUE(view.Open());
    std::string csv = view.ToCsv();
    EXPECT_EQ(csv.rfind("通番ﾊﾞｰｼﾞｮﾝ番号,H00000002\r\n通番(1：N送信),H00000000\r\n"
                        "ﾉｰﾄﾞ番号,通番(1：1送信),ﾊﾞｰｼﾞｮﾝ番号,1:N,1:1\r\n"
                        "1,H00000010,H00000003,H00000004,H00000005\r\n",
                        0),
              0u);
    size_t lines = 0;
    for (char c : csv) lines += c == '\n';
    EXPECT_EQ(lines, 3u + 254u);
}

TEST(CycleTimeView, ShowsTheRecordInDecimal) {
    CUnitSettings settings;
    RecordingPrompter prompter;
    FakeRead read;
    CCycleTimeView view(settings, prompter, read.Fn());
    settings.status.cycleTime = CycleTimeRecord{254, 15, 1000, 12, 30, 8};
    ASSERT_TRUE(view.Open());
    EXPECT_EQ(view.Fields(), (std::array<std::string, 6>{"254", "15", "1000", "12", "30", "8"}));
    EXPECT_EQ(view.ToCsv(),
              "ﾄｰｸﾝ保持ﾉｰﾄﾞ番号,254,\r\n最小許容ﾌﾚｰﾑ間隔,15,x100μsec\r\n許容時間,1000,msec\r\n"
              "現在値,12,msec\r\n最大値,30,msec\r\n最小値,8,msec\r\n");
    settings.status.cycleTime.refreshCurrent = 13;
    read.results = {false};
    EXPECT_FALSE(view.Update());
    EXPECT_EQ(view.Fields()[CCycleTimeView::kRefreshCurrent], "12");
    EXPECT_TRUE(view.Update());
    EXPECT_EQ(view.Fields()[CCycleTimeView::kRefreshCurrent], "13");
}
