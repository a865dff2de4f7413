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
