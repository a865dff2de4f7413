#include <gtest/gtest.h>

#include "model/AreaType.h"
#include "model/Messages.h"
#include "model/Prompter.h"
#include "model/ValueText.h"
#include "pages/ExtensionPage.h"
#include "pages/LocalNodePage.h"
#include "pages/MappingTablePage.h"
#include "pages/PageChecks.h"
#include "pages/SystemSettingPage.h"
#include "pages/UnitAreaPanel.h"

namespace {

TEST(RangesDisjoint, TouchingAndOneWordOverlap) {
    EXPECT_TRUE(RangesDisjoint(100, 10, 110, 5));
    EXPECT_FALSE(RangesDisjoint(100, 10, 109, 5));
    EXPECT_TRUE(RangesDisjoint(110, 5, 100, 10));
    EXPECT_FALSE(RangesDisjoint(109, 5, 100, 10));
    EXPECT_TRUE(RangesDisjoint(100, 0, 100, 10));
    EXPECT_TRUE(RangesDisjoint(100, 10, 100, 0));
    EXPECT_FALSE(RangesDisjoint(100, 1, 100, 1));
    EXPECT_FALSE(RangesDisjoint(0, 65535, 65534, 1));
}

class PageChecksTest : public ::testing::Test {
protected:
    void SetUp() override {
        panel.InitFromRecord(record, kDecimal);
        system.InitFromRecord(record, kDecimal);
        local.InitFromRecord(record, kDecimal);
        extension.InitFromRecord(record);
        mapping.InitFromRecord(record, kDecimal);
    }
    CUnitSettings record;
    CUnitSettings scratch;
    CUnitAreaPanel panel;
    CSystemSettingPage system;
    CLocalNodePage local;
    CExtensionPage extension;
    CMappingTablePage mapping{system, extension};
    PageSet pages{panel, system, local, mapping, &extension};
    RecordingPrompter prompter;
};

TEST_F(PageChecksTest, DefaultsPassAndReachTheScratchRecordOnly) {
    panel.SetChecked(CUnitAreaPanel::kTokenWatchdog, true);
    panel.EditText(CUnitAreaPanel::kTokenWatchdog, "77");
    mapping.SetRowField(0, CMappingTablePage::kNodeColumn, 4);
    for (int c = 1; c <= 4; ++c) mapping.SetRowField(0, c, 2);
    extension.SelectSendOrder(1);
    ASSERT_TRUE(CheckAllPages(pages, false, kDecimal, scratch, prompter));
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_EQ(scratch.pc.tokenWatchdog, 77);
    EXPECT_EQ(scratch.pc.unitAreaWord, 0x02);
    EXPECT_EQ(panel.unitAreaWord, 0x02);
    EXPECT_EQ(scratch.pc.entryCount, 1u);
    EXPECT_EQ(scratch.pc.entries[0].nodeNumber, 4);
    EXPECT_EQ(scratch.pc.sendDataOrder, 1);
    EXPECT_EQ(record.pc.tokenWatchdog, 50);  // the shared record is untouched
    EXPECT_EQ(record.pc.entryCount, 0u);
}

TEST_F(PageChecksTest, ExtensionIsStoredOnlyWhenEnabled) {
    extension.SelectSendOrder(1);
    pages.extension = nullptr;
    ASSERT_TRUE(CheckAllPages(pages, false, kDecimal, scratch, prompter));
    EXPECT_EQ(scratch.pc.sendDataOrder, 0);
}

TEST_F(PageChecksTest, PagesRunInOrderAndStopAtTheFirstRefusal) {
    // Every page has a failing rule; only the panel's message is shown.
    panel.SetChecked(CUnitAreaPanel::kNodeName, true);
    system.EditOctet(0, "");
    local.EditText(CLocalNodePage::kArea1Start, "");
    mapping.EditAreaStart(1, "");
    auto run = [&] {
        prompter.shown.clear();
        EXPECT_FALSE(CheckAllPages(pages, false, kDecimal, scratch, prompter));
        EXPECT_EQ(prompter.shown.size(), 1u);
        return prompter.shown.empty() ? 0 : prompter.shown[0].id;
    };
    EXPECT_EQ(run(), 32829);
    panel.SetChecked(CUnitAreaPanel::kNodeName, false);
    EXPECT_EQ(run(), 32855);
    EXPECT_EQ(system.Focus().field, Field::kSubnetMask1);
    system.EditOctet(0, "255");
    EXPECT_EQ(run(), 32830);
    EXPECT_EQ(local.Focus().field, Field::kLocalArea1Start);
    local.EditText(CLocalNodePage::kArea1Start, "0");
    EXPECT_EQ(run(), 32837);
    EXPECT_EQ(mapping.Focus().field, Field::kMapArea1Start);
    // Storing stopped before the mapping table.
    EXPECT_EQ(scratch.pc.localArea1Start, 0);
    mapping.EditAreaStart(1, "0");
    prompter.shown.clear();
    EXPECT_TRUE(CheckAllPages(pages, false, kDecimal, scratch, prompter));
}

TEST_F(PageChecksTest, ForSaveKeepsUncheckedValues) {
    panel.EditText(CUnitAreaPanel::kMinFrameInterval, "9");
    ASSERT_TRUE(CheckAllPages(pages, true, kDecimal, scratch, prompter));
    EXPECT_EQ(scratch.pc.minFrameInterval, 9);
    ASSERT_TRUE(CheckAllPages(pages, false, kDecimal, scratch, prompter));
    EXPECT_EQ(scratch.pc.minFrameInterval, 1);
}

class OverlapTest : public PageChecksTest {
protected:
    // Local area 1: CIO 100..109; mapping area 1 CIO from `start` with rows of the given sizes.
    void SetUpTable(const char* start, std::initializer_list<int> sizes1) {
        mapping.EditAreaStart(1, start);
        local.EditText(CLocalNodePage::kArea1Start, "100");
        local.EditText(CLocalNodePage::kArea1Size, "10");
        ASSERT_TRUE(local.Validate(kDecimal, prompter));
        int i = 0;
        for (int s : sizes1) {
            mapping.SetRowField(i, CMappingTablePage::kNodeColumn, i + 1);
            mapping.SetRowField(i, CMappingTablePage::kArea1OffsetColumn, 0);
            mapping.SetRowField(i, CMappingTablePage::kArea1SizeColumn, s);
            mapping.SetRowField(i, CMappingTablePage::kArea2OffsetColumn, 0);
            mapping.SetRowField(i, CMappingTablePage::kArea2SizeColumn, 0);
            ++i;
        }
        ASSERT_TRUE(mapping.Validate(kDecimal, prompter));
    }
    bool Overlap() {
        prompter.shown.clear();
        return !CheckLocalOtherOverlap(local.Values(), mapping.WorkingCopy(), prompter);
    }
};

TEST_F(OverlapTest, RowStartingAtTheLastLocalChannelOverlaps) {
    SetUpTable("109", {1});
    EXPECT_TRUE(Overlap());
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].id, 33034);
    EXPECT_EQ(prompter.shown[0].inserts, std::vector<std::string>{"1"});
    EXPECT_EQ(FormatMessage(33034, prompter.shown[0].inserts), "自ﾉｰﾄﾞ領域1と他ﾉｰﾄﾞ領域1の1番目のﾚｺｰﾄﾞが重なっています");
}

TEST_F(OverlapTest, RowStartingRightAfterDoesNot) {
    SetUpTable("110", {1});
    EXPECT_FALSE(Overlap());
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(OverlapTest, SizeZeroAndNodeZeroNeverOverlap) {
    SetUpTable("90", {10, 5});  // 90..99 touches, 100..104 overlaps
    EXPECT_TRUE(Overlap());
    EXPECT_EQ(prompter.shown[0].inserts, std::vector<std::string>{"2"});
    mapping.SetRowField(1, CMappingTablePage::kNodeColumn, 0);
    ASSERT_TRUE(mapping.Validate(kDecimal, prompter));
    EXPECT_FALSE(Overlap());
    local.EditText(CLocalNodePage::kArea1Size, "0");
    mapping.SetRowField(1, CMappingTablePage::kNodeColumn, 2);
    ASSERT_TRUE(local.Validate(kDecimal, prompter));
    ASSERT_TRUE(mapping.Validate(kDecimal, prompter));
    EXPECT_FALSE(Overlap());
}

TEST_F(OverlapTest, EachPairingHasItsMessage) {
    // Everything in DM: local 1 at 0..9, local 2 at 1000..1009; mapping area 1 from 0 and area 2 from 1000.
    local.SelectArea(1, 3);
    local.SelectArea(2, 3);
    local.EditText(CLocalNodePage::kArea1Start, "0");
    local.EditText(CLocalNodePage::kArea1Size, "10");
    local.EditText(CLocalNodePage::kArea2Start, "1000");
    local.EditText(CLocalNodePage::kArea2Size, "10");
    ASSERT_TRUE(local.Validate(kDecimal, prompter));
    mapping.SelectArea(1, 3);
    mapping.SelectArea(2, 3);
    struct Case {
        const char* start1;
        const char* start2;
        int id;
    };
    // Only one pair meets in each case.
    const Case cases[] = {{"5", "3000", 33034}, {"3000", "5", 33035}, {"1005", "3000", 33036}, {"3000", "1005", 33037}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        mapping.EditAreaStart(1, c.start1);
        mapping.EditAreaStart(2, c.start2);
        mapping.SetRowField(0, CMappingTablePage::kNodeColumn, 1);
        mapping.SetRowField(0, CMappingTablePage::kArea1OffsetColumn, 0);
        mapping.SetRowField(0, CMappingTablePage::kArea1SizeColumn, 1);
        mapping.SetRowField(0, CMappingTablePage::kArea2OffsetColumn, 0);
        mapping.SetRowField(0, CMappingTablePage::kArea2SizeColumn, 1);
        ASSERT_TRUE(mapping.Validate(kDecimal, prompter));
        EXPECT_TRUE(Overlap());
        ASSERT_EQ(prompter.shown.size(), 1u);
        EXPECT_EQ(prompter.shown[0].id, c.id);
    }
}

TEST_F(OverlapTest, EntryCountBeyondTheTableIsClamped) {
    MappingTableData data = mapping.WorkingCopy();
    data.entryCount = 100000;
    local.EditText(CLocalNodePage::kArea1Size, "10");
    ASSERT_TRUE(local.Validate(kDecimal, prompter));
    EXPECT_TRUE(CheckLocalOtherOverlap(local.Values(), data, prompter));
}

}  // namespace
