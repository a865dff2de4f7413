#include <gtest/gtest.h>

#include <cstring>

#include "model/Messages.h"
#include "status/ErrorHistoryView.h"
#include "tests/status/FakeRead.h"

namespace {
struct HistoryFixture : ::testing::Test {
    CUnitSettings settings;
    RecordingPrompter prompter;
    FakeRead read;
    FakeRead clear;
    CErrorHistoryView view{settings, prompter, read.Fn(), clear.Fn()};

    void Record(int i, uint16_t code, uint16_t detail, std::initializer_list<uint8_t> time) {
        HistoryRecord& r = settings.status.historyRecords[i];
        r.errorCode = code;
        r.detail = detail;
        std::memcpy(r.time, time.begin(), 6);
    }
    void Stored(uint16_t max, uint16_t stored) {
        settings.status.historyMaxRecords = max;
        settings.status.historyStored = stored;
    }
};
}  // namespace

TEST_F(HistoryFixture, CountsShowSixtyFourBeforeTheFirstReadAndFirstColumnShaded) {
    bool countsDuringRead = false;
    read.during = [&] { countsDuringRead = view.MaxRecordsText() == "64" && view.StoredText() == "64"; };
    Stored(20, 0);
    ASSERT_TRUE(view.Open());
    EXPECT_TRUE(countsDuringRead);
    EXPECT_EQ(view.MaxRecordsText(), "20");
    EXPECT_EQ(view.StoredText(), "0");
    EXPECT_EQ(view.Grid().BackgroundAt(10, 0), (Rgb{225, 225, 225}));
    EXPECT_EQ(view.Grid().BackgroundAt(10, 1), StatusColour::kWindow);
}

TEST_F(HistoryFixture, StoredCountAboveTheTableFillsSixtyFourRowsAndShowsTheCount) {
    for (int i = 0; i < kMaxHistoryRecords; ++i) Record(i, static_cast<uint16_t>(i), 0, {0, 0, 0, 0, 0, 0});
    Stored(64, 999);
    ASSERT_TRUE(view.Open());
    EXPECT_EQ(view.Grid().Text(63, 3), "003f");
    EXPECT_EQ(view.StoredText(), "999");
}

TEST_F(HistoryFixture, SuccessfulClearEmptiesEveryRowAndShowsZeroCounts) {
    for (int i = 0; i < 10; ++i) Record(i, 0xEE, 0xFF, {1, 2, 3, 4, 5, 6});
    Stored(64, 10);
    ASSERT_TRUE(view.Open());
    bool buttonsOff = false;
    clear.during = [&] { buttonsOff = !view.IsUpdateEnabled() && !view.IsClearEnabled() && !view.IsCloseEnabled(); };
    EXPECT_TRUE(view.Clear());
    EXPECT_EQ(clear.calls, 1);
    EXPECT_TRUE(buttonsOff);
    EXPECT_TRUE(view.IsClearEnabled());
    for (int r = 0; r < 64; ++r) {
        EXPECT_EQ(view.Grid().Text(r, 0), std::to_string(r + 1));
        for (int c = 1; c < 5; ++c) EXPECT_EQ(view.Grid().Text(r, c), "");
    }
    EXPECT_EQ(view.MaxRecordsText(), "0");
    EXPECT_EQ(view.StoredText(), "0");
}

TEST_F(HistoryFixture, UpdateDisablesAllThreeButtonsAndFailedUpdateKeepsTheRows) {
    Record(0, 0x12, 0x34, {0, 0, 0, 0, 0, 0});
    Stored(20, 1);
    ASSERT_TRUE(view.Open());
    bool off = false;
    read.during = [&] {
        off = !view.IsUpdateEnabled() && !view.IsClearEnabled() && !view.IsCloseEnabled();
        Stored(20, 0);
    };
    read.results = {false};
    EXPECT_FALSE(view.Update());
    EXPECT_TRUE(off);
    EXPECT_EQ(view.Grid().Text(0, 3), "0012");
    EXPECT_EQ(view.StoredText(), "1");
}

TEST_F(HistoryFixture, CsvStartsWithTheCountsThenTheTable) {
    Record(0, 0x00F1, 0x0002, {0x05, 0x30, 0x21, 0x13, 0x05, 0x10});
    Stored(64, 1);
    ASSERT_TRUE(view.Open());
    EXPECT_EQ(view.ToCsv().rfind("最大格納件数,64\r\n格納件数,1\r\nNo.,日付,時間,異常ｺｰﾄﾞ,ﾃﾞｰﾀ\r\n"
                                 "1,05/10/21,13:05:30,00f1,0002\r\n2,,,,\r\n",
                                 0),
              0u);
}
