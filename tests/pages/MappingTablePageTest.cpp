#include <gtest/gtest.h>

#include "model/AreaType.h"
#include "model/Messages.h"
#include "model/Prompter.h"
#include "model/ValueText.h"
#include "pages/ExtensionPage.h"
#include "pages/MappingTablePage.h"
#include "pages/SystemSettingPage.h"

namespace {

using C = CMappingTablePage;
using W = MappingRow;

class MappingTablePageTest : public ::testing::Test {
protected:
    void SetUp() override {
        system.InitFromRecord(record, kDecimal);
        extension.InitFromRecord(record);
        page.InitFromRecord(record, kDecimal);
    }
    void SetRow(int row, int node, int offset1, int size1, int offset2, int size2) {
        page.SetRowField(row, C::kNodeColumn, node);
        page.SetRowField(row, C::kArea1OffsetColumn, offset1);
        page.SetRowField(row, C::kArea1SizeColumn, size1);
        page.SetRowField(row, C::kArea2OffsetColumn, offset2);
        page.SetRowField(row, C::kArea2SizeColumn, size2);
    }
    // Rows 0..n-1 with nodes first, first+1, ... and small sizes.
    void FillRows(int n, int first = 1) {
        for (int i = 0; i < n; ++i) SetRow(i, first + i, i, 1, i, 1);
    }
    int Check() {
        prompter.shown.clear();
        const bool ok = page.Validate(kDecimal, prompter);
        EXPECT_EQ(ok, prompter.shown.empty());
        return ok ? 0 : prompter.shown.back().id;
    }
    // Puts the current row on table row `row` (0-based) as a click into its node cell would.
    void FocusRow(int row) {
        page.FocusCell(C::kNodeColumn, row);
        page.CellFocused(page.CurrentRow());
    }
    uint16_t Node(int row) { return page.Row(row).words[W::kNodeNumber]; }

    CUnitSettings record;
    CSystemSettingPage system;
    CExtensionPage extension;
    C page{system, extension};
    RecordingPrompter prompter;
};

TEST_F(MappingTablePageTest, EmptyTableIsAcceptedAndPublishesZero) {
    system.SetNodeCount(5, kDecimal);
    EXPECT_EQ(Check(), 0);
    EXPECT_EQ(page.WorkingCopy().entryCount, 0u);
    EXPECT_EQ(system.NodeCountText(), "0");
    EXPECT_EQ(extension.Count(), 0u);
}

TEST_F(MappingTablePageTest, AreaStartRules) {
    ASSERT_TRUE(page.EditAreaStart(1, "6144"));
    EXPECT_EQ(Check(), 32837);
    EXPECT_EQ(page.Focus().field, Field::kMapArea1Start);
    EXPECT_TRUE(page.Focus().selectAll);
    page.EditAreaStart(1, "6143");
    EXPECT_EQ(Check(), 0);
    page.EditAreaStart(1, "");
    EXPECT_EQ(Check(), 32837);
    page.EditAreaStart(1, "0");
    page.SelectArea(2, 1);  // WR
    page.EditAreaStart(2, "512");
    EXPECT_EQ(Check(), 32838);
    EXPECT_EQ(page.Focus().field, Field::kMapArea2Start);
    EXPECT_FALSE(page.EditAreaStart(2, "123456"));
    EXPECT_EQ(page.AreaStartText(2), "512");
}

TEST_F(MappingTablePageTest, GapIsReportedBeforeAnyRowRule) {
    SetRow(0, 300, 0, 1, 0, 1);  // would fail the node rule
    SetRow(2, 3, 0, 1, 0, 1);
    EXPECT_EQ(Check(), 32928);
    EXPECT_FALSE(page.Focus().IsSet());
}

TEST_F(MappingTablePageTest, NinetySixRecordLimitOnlyForATableInThePlc) {
    FillRows(97);
    EXPECT_EQ(Check(), 32913);
    system.SelectList(CSystemSettingPage::kMappingTableMethod, 1);
    EXPECT_EQ(Check(), 0);
    EXPECT_EQ(page.WorkingCopy().entryCount, 97u);
    system.SelectList(CSystemSettingPage::kMappingTableMethod, 0);
    page.SetRowField(96, C::kNodeColumn, -1);
    page.SetRowField(96, C::kArea1OffsetColumn, -1);
    page.SetRowField(96, C::kArea1SizeColumn, -1);
    page.SetRowField(96, C::kArea2OffsetColumn, -1);
    page.SetRowField(96, C::kArea2SizeColumn, -1);
    EXPECT_EQ(Check(), 0);
}

TEST_F(MappingTablePageTest, RowRulesEachAloneWithFocus) {
    struct Case {
        int node, offset1, size1, offset2, size2;
        int id;
        int field;  // 0: no focus
    };
    const Case cases[] = {
        {255, 0, 1, 0, 1, 32922, Field::kMapNodeNumber},
        {50, 0, 513, 0, 1, 32840, Field::kMapArea1Size},
        {50, 0, 1, 0, 8193, 32842, Field::kMapArea2Size},
        {50, 512, 0, 0, 1, 32839, Field::kMapArea1Offset},
        {50, 0, 1, 8192, 0, 32841, Field::kMapArea2Offset},
        {50, 500, 13, 0, 1, 33010, Field::kMapArea1Size},
        {50, 0, 1, 8000, 193, 33011, Field::kMapArea2Size},
        {50, 0, 1, -1, 1, 32927, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        FillRows(3);
        SetRow(1, c.node, c.offset1, c.size1, c.offset2, c.size2);
        EXPECT_EQ(Check(), c.id);
        EXPECT_EQ(page.Focus().field, c.field);
        if (c.field) {
            EXPECT_EQ(page.Focus().row, 1);
        }
    }
}

TEST_F(MappingTablePageTest, NodeZeroPassesAndIsNeverADuplicate) {
    FillRows(3);
    SetRow(0, 0, 0, 1, 0, 1);
    SetRow(2, 0, 2, 1, 2, 1);
    EXPECT_EQ(Check(), 0);
    SetRow(2, 2, 2, 1, 2, 1);  // the same node as row 2 (index 1)
    EXPECT_EQ(Check(), 32929);
    EXPECT_EQ(page.Focus().field, Field::kMapNodeNumber);
    EXPECT_EQ(page.Focus().row, 2);
}

TEST_F(MappingTablePageTest, SizeLimitsFollowTheAreaType) {
    page.SelectArea(1, 1);  // WR from 0
    SetRow(0, 1, 0, 512, 0, 1);
    EXPECT_EQ(Check(), 32840);
    SetRow(0, 1, 0, 511, 0, 1);
    EXPECT_EQ(Check(), 0);
    // The start channel chain carries the end check: DM from 32760, 8 + 1 words.
    page.SelectArea(2, 3);
    page.EditAreaStart(2, "32760");
    SetRow(0, 1, 0, 1, 0, 8);
    SetRow(1, 2, 1, 1, 8, 1);
    EXPECT_EQ(Check(), 32842);
    EXPECT_EQ(page.Focus().row, 1);
    SetRow(1, 2, 1, 1, 8, 0);
    EXPECT_EQ(Check(), 0);
}

TEST_F(MappingTablePageTest, OffsetSumBeforeRunningSum) {
    SetRow(0, 1, 0, 300, 0, 1);
    SetRow(1, 2, 300, 300, 1, 1);
    EXPECT_EQ(Check(), 33010);
    EXPECT_EQ(page.Focus().row, 1);
    SetRow(1, 2, 0, 300, 1, 1);
    EXPECT_EQ(Check(), 32840);  // running sum 600 at the second row
    EXPECT_EQ(page.Focus().field, Field::kMapArea1Size);
    EXPECT_EQ(page.Focus().row, 1);
}

TEST_F(MappingTablePageTest, OverlapOfTheTwoCommonAreasInOnePlcArea) {
    page.SelectArea(1, 3);
    page.SelectArea(2, 3);
    page.EditAreaStart(1, "100");
    page.EditAreaStart(2, "150");
    SetRow(0, 1, 0, 60, 0, 10);
    EXPECT_EQ(Check(), 33003);
    EXPECT_EQ(prompter.shown.back().inserts, (std::vector<std::string>{"1", "1"}));
    EXPECT_EQ(FormatMessage(33003, prompter.shown.back().inserts),
              "他ﾉｰﾄﾞ設定領域1の1番目のﾚｺｰﾄﾞと領域2の1番目のﾚｺｰﾄﾞが重なっています");
    SetRow(0, 1, 0, 50, 0, 10);  // 100-149 against 150-159: touching only
    EXPECT_EQ(Check(), 0);
    page.SelectArea(2, 4);
    SetRow(0, 1, 0, 60, 0, 10);
    EXPECT_EQ(Check(), 0);
}

TEST_F(MappingTablePageTest, StartChannelChainsForBothAreas) {
    page.EditAreaStart(1, "100");
    page.EditAreaStart(2, "2000");
    page.AreaStartFocusLost(1);
    page.AreaStartFocusLost(2);
    SetRow(0, 1, 0, 10, 0, 100);
    SetRow(1, 2, 10, 20, 100, 200);
    SetRow(2, 3, 30, -1, 300, 5);  // no area-1 size: the area-1 chain ends after this row
    SetRow(3, 4, 30, 1, 305, 1);
    page.Redisplay();
    EXPECT_EQ(page.CellText(C::kArea1StartColumn, 0), "00100");
    EXPECT_EQ(page.CellText(C::kArea1StartColumn, 1), "00110");
    EXPECT_EQ(page.CellText(C::kArea1StartColumn, 2), "00130");
    EXPECT_EQ(page.CellText(C::kArea1StartColumn, 3), "");
    EXPECT_EQ(page.CellText(C::kArea2StartColumn, 3), "02305");
    EXPECT_EQ(page.CellText(C::kArea2StartColumn, 4), "02306");
    page.ConvertRadix(kHexadecimal);
    EXPECT_EQ(page.CellText(C::kArea1StartColumn, 1), "006E");
    EXPECT_EQ(page.CellText(C::kArea1SizeColumn, 1), "14");
    // An empty area start leaves row 1 without a start channel and so every row.
    page.EditAreaStart(1, "");
    page.AreaStartFocusLost(1);
    EXPECT_EQ(page.CellText(C::kArea1StartColumn, 0), "");
    EXPECT_EQ(page.CellText(C::kArea1StartColumn, 1), "");
}

TEST_F(MappingTablePageTest, CellEditsThroughTheViewAndTheirFilters) {
    page.ThumbTo(50);  // rows 59..68
    ASSERT_EQ(page.TopRow(), 59);
    EXPECT_TRUE(page.EditCell(C::kNodeColumn, 2, "12"));
    EXPECT_FALSE(page.EditCell(C::kNodeColumn, 2, "1234"));
    EXPECT_TRUE(page.EditCell(C::kArea2SizeColumn, 2, "8192"));
    EXPECT_FALSE(page.EditCell(C::kArea2SizeColumn, 2, "819x"));
    EXPECT_EQ(page.Row(60).words[W::kNodeNumber], 12);
    EXPECT_TRUE(page.Row(60).entered[W::kArea2Size]);
    EXPECT_FALSE(page.EditCell(C::kArea1StartColumn, 2, "1"));  // derived column is read-only
    EXPECT_FALSE(page.EditCell(C::kNodeColumn, 10, "1"));       // no eleventh line
    page.EditCell(C::kNodeColumn, 2, "");
    EXPECT_FALSE(page.Row(60).entered[W::kNodeNumber]);

    page.ConvertRadix(kHexadecimal);
    EXPECT_TRUE(page.EditCell(C::kNodeColumn, 0, "FE"));
    EXPECT_FALSE(page.EditCell(C::kNodeColumn, 0, "FEE"));
    EXPECT_TRUE(page.EditCell(C::kArea1OffsetColumn, 0, "1FFF"));
    EXPECT_FALSE(page.EditCell(C::kArea1OffsetColumn, 0, "1FFFF"));
    EXPECT_EQ(page.Row(58).words[W::kNodeNumber], 254);
    EXPECT_EQ(page.Row(58).words[W::kArea1Offset], 0x1FFF);
}

TEST_F(MappingTablePageTest, RadixRoundTripOfTheAreaStartsAndCells) {
    page.EditAreaStart(1, "6143");
    page.EditAreaStart(2, "");
    SetRow(0, 254, 511, 1, 8191, 1);
    page.ConvertRadix(kHexadecimal);
    EXPECT_EQ(page.AreaStartText(1), "17FF");
    EXPECT_EQ(page.AreaStartText(2), "");
    EXPECT_EQ(page.CellText(C::kNodeColumn, 0), "FE");
    EXPECT_EQ(page.CellText(C::kArea1OffsetColumn, 0), "1FF");
    EXPECT_EQ(page.CellText(C::kArea2OffsetColumn, 0), "1FFF");
    page.ConvertRadix(kDecimal);
    EXPECT_EQ(page.AreaStartText(1), "6143");
    EXPECT_EQ(page.AreaStartText(2), "");
    EXPECT_EQ(page.CellText(C::kNodeColumn, 0), "254");
    EXPECT_EQ(page.CellText(C::kArea2OffsetColumn, 0), "8191");
}

TEST_F(MappingTablePageTest, OversizedValueIsRefusedNotWrapped) {
    // 65636 would wrap to 100 in a word and pass; it must fail.
    page.SetRowField(0, C::kNodeColumn, 1);
    page.SetRowField(0, C::kArea1OffsetColumn, 0);
    page.SetRowField(0, C::kArea1SizeColumn, 1);
    page.SetRowField(0, C::kArea2OffsetColumn, 65636);
    page.SetRowField(0, C::kArea2SizeColumn, 1);
    EXPECT_EQ(Check(), 32841);
    page.EditAreaStart(1, "99999");
    EXPECT_EQ(Check(), 32837);
}

// Line and page moves: KeyboardTest, on the window's table and its scroll bar.
TEST_F(MappingTablePageTest, ThumbAndFocusStayWithinTheTable) {
    page.ThumbTo(91);
    EXPECT_EQ(page.TopRow(), 119);
    page.LineDown();
    EXPECT_EQ(page.TopRow(), 119);
    page.ThumbTo(1);
    EXPECT_EQ(page.TopRow(), 1);
    page.LineUp();
    EXPECT_EQ(page.TopRow(), 1);
    page.ThumbTo(90);
    EXPECT_EQ(page.TopRow(), 107);
    page.ThumbTo(500);
    EXPECT_EQ(page.TopRow(), 119);
    page.FocusCell(C::kArea2SizeColumn, 127);
    EXPECT_EQ(page.TopRow(), 119);
    EXPECT_EQ(page.CurrentRow(), 9);
    EXPECT_EQ(page.Focus().row, 127);
    page.FocusCell(C::kNodeColumn, 118);
    EXPECT_EQ(page.TopRow(), 119);
    EXPECT_EQ(page.CurrentRow(), 0);
}

TEST_F(MappingTablePageTest, DeleteFirstOfFiveMovesTheRestUp) {
    FillRows(5, 10);
    ASSERT_EQ(Check(), 0);
    extension.SelectReceiveOrder(1, 1);  // node 11 reverse
    FocusRow(0);
    ASSERT_TRUE(page.DeleteLine());
    EXPECT_EQ(Node(0), 11);
    EXPECT_EQ(Node(3), 14);
    EXPECT_TRUE(page.Row(4).IsEmpty());
    EXPECT_EQ(page.Row(1).words[W::kArea1StartChannel], 1);  // chain follows
    EXPECT_EQ(extension.Entry(0).nodeNumber, 11);
    EXPECT_EQ(extension.Entry(0).receiveDataOrder, 1);
    EXPECT_EQ(extension.Entry(4).nodeNumber, 0);
}

TEST_F(MappingTablePageTest, DeleteAtTheEdgesOfAFullTable) {
    system.SelectList(CSystemSettingPage::kMappingTableMethod, 1);
    FillRows(128);
    for (int i = 0; i < 128; ++i) SetRow(i, i + 1, 0, 0, 0, 0);
    FocusRow(127);
    ASSERT_TRUE(page.DeleteLine());
    EXPECT_TRUE(page.Row(127).IsEmpty());
    EXPECT_EQ(Node(126), 127);
    FocusRow(126);
    ASSERT_TRUE(page.DeleteLine());
    EXPECT_TRUE(page.Row(126).IsEmpty());
    EXPECT_EQ(Node(125), 126);
    FocusRow(0);
    ASSERT_TRUE(page.DeleteLine());
    EXPECT_EQ(Node(0), 2);
    EXPECT_EQ(Node(124), 126);
    EXPECT_TRUE(page.Row(125).IsEmpty());
    // An empty row or no current row: nothing happens.
    FocusRow(127);
    EXPECT_FALSE(page.DeleteLine());
    page.OtherFieldFocused();
    EXPECT_FALSE(page.DeleteLine());
}

TEST_F(MappingTablePageTest, DeleteKeepsARowWithoutNodeNumber) {
    FillRows(4);
    page.SetRowField(2, C::kNodeColumn, -1);  // row 3 half entered
    FocusRow(0);
    ASSERT_TRUE(page.DeleteLine());
    EXPECT_EQ(Node(0), 2);
    EXPECT_FALSE(page.Row(1).entered[W::kNodeNumber]);
    EXPECT_EQ(page.Row(1).words[W::kArea1Offset], 2);
    EXPECT_EQ(Node(2), 4);
}

TEST_F(MappingTablePageTest, CopyLineInsertsTheNextNodeBelow) {
    FillRows(3, 5);
    SetRow(1, 7, 20, 4, 30, 6);
    SetRow(2, 30, 2, 1, 2, 1);
    ASSERT_EQ(Check(), 0);
    extension.SelectReceiveOrder(1, 1);
    FocusRow(1);
    ASSERT_TRUE(page.CopyLine());
    EXPECT_EQ(Node(1), 7);
    EXPECT_EQ(Node(2), 8);
    EXPECT_EQ(page.Row(2).words[W::kArea1Offset], 20);
    EXPECT_EQ(page.Row(2).words[W::kArea2Size], 6);
    EXPECT_EQ(Node(3), 30);  // the old third row moved down
    EXPECT_EQ(page.Row(3).words[W::kArea1StartChannel], 1 + 4 + 4);
    EXPECT_EQ(extension.Entry(2).nodeNumber, 8);
    EXPECT_EQ(extension.Entry(2).receiveDataOrder, 1);
    EXPECT_EQ(extension.Entry(3).nodeNumber, 30);
    EXPECT_EQ(page.TopRow(), 3);  // the view follows the copy
    EXPECT_EQ(page.CurrentRow(), 0);
}

TEST_F(MappingTablePageTest, CopyLineIsRefusedWhenItWouldPushRowsOut) {
    FillRows(128);
    FocusRow(5);
    EXPECT_FALSE(page.CopyLine());
    FocusRow(126);
    EXPECT_FALSE(page.CopyLine());
    for (int i = 0; i < 128; ++i) EXPECT_EQ(Node(i), i + 1);
    // Row 128 holding only an offset is data too.
    page.ClearAll();
    FillRows(3);
    page.SetRowField(127, C::kArea1OffsetColumn, 5);
    FocusRow(0);
    EXPECT_FALSE(page.CopyLine());
    page.SetRowField(127, C::kArea1OffsetColumn, -1);
    FocusRow(0);
    EXPECT_TRUE(page.CopyLine());
    // Row 127 copied into an empty row 128; row 128 itself never copies.
    page.ClearAll();
    SetRow(126, 9, 0, 1, 0, 1);
    FocusRow(126);
    EXPECT_TRUE(page.CopyLine());
    EXPECT_EQ(Node(127), 10);
    FocusRow(127);
    EXPECT_FALSE(page.CopyLine());
    // A row without node number does not copy.
    page.ClearAll();
    SetRow(0, -1, 0, 1, 0, 1);
    FocusRow(0);
    EXPECT_FALSE(page.CopyLine());
}

TEST_F(MappingTablePageTest, ClearAllKeepsAreasAndEmptiesEverything) {
    page.EditAreaStart(1, "40");
    page.SelectArea(2, 5);
    FillRows(20);
    ASSERT_EQ(Check(), 0);
    page.LineDown();
    int changes = 0;
    page.onModified = [&] { ++changes; };
    prompter.answers = {PromptAnswer::No};
    EXPECT_FALSE(page.AskClearAll(prompter));
    EXPECT_EQ(Node(0), 1);
    EXPECT_TRUE(page.AskClearAll(prompter));
    EXPECT_EQ(prompter.shown.back().id, 32938);
    EXPECT_EQ(prompter.shown.back().buttons, PromptButtons::YesNo);
    for (int i = 0; i < 128; ++i) EXPECT_TRUE(page.Row(i).IsEmpty());
    EXPECT_EQ(page.AreaStartText(1), "40");
    EXPECT_EQ(page.AreaSelection(2), 5);
    EXPECT_EQ(page.CellText(C::kArea1StartColumn, 0), "00040");
    EXPECT_EQ(page.CellText(C::kArea1StartColumn, 1), "");
    EXPECT_EQ(page.TopRow(), 1);
    EXPECT_EQ(extension.Count(), 0u);
    EXPECT_EQ(extension.Entry(0).nodeNumber, 0);
    EXPECT_EQ(changes, 1);
}

TEST_F(MappingTablePageTest, HighlightAndInformationLine) {
    SetRow(0, 3, 0, 100, 0, 100);
    SetRow(1, 4, 100, 7000, 100, 677);
    SetRow(2, 5, 0, 500, 0, 7178);
    page.CellFocusLost(C::kArea2SizeColumn, 1);
    EXPECT_FALSE(page.LineHighlighted(0));
    EXPECT_FALSE(page.LineHighlighted(1));
    EXPECT_TRUE(page.LineHighlighted(2));
    EXPECT_EQ(page.InformationText(), "割付ﾉｰﾄﾞ<5>に対する同時性は保証されない状態にあります。");
    SetRow(1, 4, 100, 7000, 100, 678);
    page.CellFocusLost(C::kArea2SizeColumn, 1);
    EXPECT_TRUE(page.LineHighlighted(1));
    EXPECT_EQ(page.InformationText(), "割付ﾉｰﾄﾞ<4>に対する同時性は保証されない状態にあります。");
    page.ClearAll();
    EXPECT_EQ(page.InformationText(), "");
}

TEST_F(MappingTablePageTest, LoadShowStoreRoundTrip) {
    record.pc.mapArea1Type = AreaType::HR;
    record.pc.mapArea2Type = 0xAC;
    record.pc.mapArea1Start = 10;
    record.pc.mapArea2Start = 0x1000;
    record.pc.entryCount = 2;
    record.pc.entries[0] = {21, 1, 5, 0, 6, 0};
    record.pc.entries[1] = {22, 0, 7, 5, 8, 6};
    record.pc.entries[2] = {99, 0, 1, 1, 1, 1};  // beyond the count: not loaded
    page.ClearAll();
    page.LoadValues(record.GetMappingTable());
    page.ShowWorkingCopy(kHexadecimal);
    EXPECT_EQ(page.AreaSelection(1), 2);
    EXPECT_EQ(page.AreaSelection(2), 16);
    EXPECT_EQ(page.AreaStartText(2), "1000");
    EXPECT_EQ(page.CellText(C::kNodeColumn, 1), "16");
    EXPECT_EQ(page.CellText(C::kArea1StartColumn, 1), "000F");
    EXPECT_EQ(page.CellText(C::kNodeColumn, 2), "");
    ASSERT_TRUE(page.Validate(kHexadecimal, prompter));
    EXPECT_EQ(system.NodeCountText(), "2");
    CUnitSettings other;
    page.StoreInto(other);
    EXPECT_EQ(other.pc.entryCount, 2u);
    EXPECT_EQ(other.pc.entries[1].area2Offset, 6);
    EXPECT_EQ(other.pc.entries[2].nodeNumber, 0);
    EXPECT_EQ(other.pc.mapArea2Type, 0xAC);
}

}  // namespace
