#include <gtest/gtest.h>

#include "status/CycleTimeView.h"
#include "status/ErrorHistoryView.h"
#include "tests/status/FakeRead.h"

namespace {
struct RefreshFixture : ::testing::Test {
    CUnitSettings settings;
    RecordingPrompter prompter;
    FakeRead read;
    CCycleTimeView view{settings, prompter, read.Fn()};
};
}  // namespace

TEST_F(RefreshFixture, OffByDefaultWithOneSecondInterval) {
    ASSERT_TRUE(view.Open());
    EXPECT_FALSE(view.AutoRefresh().IsOn());
    EXPECT_EQ(view.AutoRefresh().IntervalMs(), 1000);
    EXPECT_FALSE(view.AutoRefreshTick());
    EXPECT_EQ(read.calls, 1);
}

TEST_F(RefreshFixture, TicksRepeatTheReadAndShowTheNewRecord) {
    ASSERT_TRUE(view.Open());
    view.AutoRefresh().SetOn(true);
    settings.status.cycleTime.refreshCurrent = 21;
    EXPECT_TRUE(view.AutoRefreshTick());
    EXPECT_EQ(view.Fields()[CCycleTimeView::kRefreshCurrent], "21");
    settings.status.cycleTime.refreshCurrent = 22;
    EXPECT_TRUE(view.AutoRefreshTick());
    EXPECT_EQ(view.Fields()[CCycleTimeView::kRefreshCurrent], "22");
    EXPECT_EQ(read.calls, 3);
    EXPECT_TRUE(view.AutoRefresh().IsOn());
}

TEST_F(RefreshFixture, FirstFailureStopsTheRefreshAndTheViewStaysUsable) {
    ASSERT_TRUE(view.Open());
    view.AutoRefresh().SetOn(true);
    read.results = {true, false};
    EXPECT_TRUE(view.AutoRefreshTick());
    EXPECT_FALSE(view.AutoRefreshTick());
    EXPECT_FALSE(view.AutoRefresh().IsOn());
    EXPECT_FALSE(view.AutoRefreshTick());
    EXPECT_FALSE(view.AutoRefreshTick());
    EXPECT_EQ(read.calls, 3);  // open, one good tick, the failing tick
    EXPECT_TRUE(view.IsUpdateEnabled());
    EXPECT_TRUE(view.Update());  // the user can still read by hand
}

TEST_F(RefreshFixture, TickWhileAReadRunsIsSkipped) {
    ASSERT_TRUE(view.Open());
    view.AutoRefresh().SetOn(true);
    bool nestedTick = true;
    read.during = [&] {
        read.during = nullptr;
        nestedTick = view.AutoRefreshTick();
    };
    EXPECT_TRUE(view.Update());
    EXPECT_FALSE(nestedTick);
    EXPECT_EQ(read.calls, 2);
    EXPECT_TRUE(view.AutoRefresh().IsOn());
}

TEST_F(RefreshFixture, NoTickBeforeASuccessfulOpen) {
    view.AutoRefresh().SetOn(true);
    EXPECT_FALSE(view.AutoRefreshTick());
    read.results = {false};
    EXPECT_FALSE(view.Open());
    EXPECT_FALSE(view.AutoRefreshTick());
    EXPECT_EQ(read.calls, 1);
}

TEST_F(RefreshFixture, IntervalOutsideItsBoundsIsRefused) {
    CAutoRefresh& r = view.AutoRefresh();
    EXPECT_FALSE(r.SetIntervalMs(0));
    EXPECT_FALSE(r.SetIntervalMs(-1000));
    EXPECT_FALSE(r.SetIntervalMs(CAutoRefresh::kMaxIntervalMs + 1));
    EXPECT_EQ(r.IntervalMs(), 1000);
    EXPECT_TRUE(r.SetIntervalMs(CAutoRefresh::kMinIntervalMs));
    EXPECT_EQ(r.IntervalMs(), CAutoRefresh::kMinIntervalMs);
}

TEST(AutoRefresh, TickDuringAHistoryClearIsSkipped) {
    CUnitSettings settings;
    RecordingPrompter prompter;
    FakeRead read;
    FakeRead clear;
    CErrorHistoryView view(settings, prompter, read.Fn(), clear.Fn());
    ASSERT_TRUE(view.Open());
    view.AutoRefresh().SetOn(true);
    bool nestedTick = true;
    clear.during = [&] { nestedTick = view.AutoRefreshTick(); };
    EXPECT_TRUE(view.Clear());
    EXPECT_FALSE(nestedTick);
    EXPECT_EQ(read.calls, 1);
}

TEST(StatusView, ObserverHearsTheButtonsGoOffAndOn) {
    CUnitSettings settings;
    RecordingPrompter prompter;
    FakeRead read;
    CCycleTimeView view(settings, prompter, read.Fn());
    std::vector<bool> seen;
    view.SetStateObserver([&] { seen.push_back(view.IsUpdateEnabled()); });
    ASSERT_TRUE(view.Open());
    ASSERT_TRUE(view.Update());
    ASSERT_GE(seen.size(), 2u);
    EXPECT_FALSE(seen.front());
    EXPECT_TRUE(seen.back());
}
