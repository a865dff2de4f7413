#include <gtest/gtest.h>

#include "status/CellGrid.h"
#include "status/CsvText.h"

namespace {
const Rgb kA{1, 2, 3};
const Rgb kB{4, 5, 6};
}  // namespace

TEST(CellGrid, SixteenModeTakesEachCellsOwnColours) {
    CCellGrid grid;
    grid.Reset(16, 16, CCellGrid::kModeSixteen);
    grid.SetCellColours(17, kA, kB);
    EXPECT_EQ(grid.TextColourAt(1, 1), kA);
    EXPECT_EQ(grid.BackgroundAt(1, 1), kB);
    EXPECT_EQ(grid.BackgroundAt(1, 0), StatusColour::kWindow);
    EXPECT_EQ(grid.TextColourAt(0, 0), StatusColour::kWindowText);
}

TEST(CellGrid, FiveModeShadesColumnZeroFromCellZeroOnly) {
    CCellGrid grid;
    grid.Reset(254, 5, CCellGrid::kModeFive);
    grid.SetCellColours(0, kA, StatusColour::kListBackground);
    grid.SetCellColours(5, kA, kB);  // would be row 1 column 0, which never uses its own cell
    grid.SetCellColours(253 * 5 + 4, kA, kB);
    EXPECT_EQ(grid.BackgroundAt(1, 0), StatusColour::kListBackground);
    EXPECT_EQ(grid.BackgroundAt(253, 0), StatusColour::kListBackground);
    EXPECT_EQ(grid.TextColourAt(1, 0), StatusColour::kWindowText);
    EXPECT_EQ(grid.BackgroundAt(253, 4), kB);
    EXPECT_EQ(grid.TextColourAt(253, 4), kA);
}

TEST(CellGrid, ShadedFirstModeIgnoresCellColoursOutsideColumnZero) {
    CCellGrid grid;
    grid.Reset(64, 5, CCellGrid::kModeShadedFirst);
    grid.SetCellColours(0, kA, StatusColour::kListBackground);
    grid.SetCellColours(1, kA, kB);
    EXPECT_EQ(grid.BackgroundAt(5, 0), StatusColour::kListBackground);
    EXPECT_EQ(grid.BackgroundAt(0, 1), StatusColour::kWindow);
    EXPECT_EQ(grid.TextColourAt(0, 1), StatusColour::kWindowText);
}

TEST(CellGrid, PositionsOutsideTheGridAreHarmless) {
    CCellGrid grid;
    grid.Reset(2, 2, CCellGrid::kModeFive);
    grid.SetText(2, 0, "x");
    grid.SetText(-1, 0, "x");
    grid.SetText(0, 5, "x");
    grid.SetCellColours(CCellGrid::kMaxColourCells, kA, kB);
    grid.SetCellColours(-1, kA, kB);
    EXPECT_EQ(grid.Text(2, 0), "");
    EXPECT_EQ(grid.Text(0, -1), "");
    // A row so far down that r*5+c passes the colour cells reads as window colours.
    EXPECT_EQ(grid.BackgroundAt(500, 3), StatusColour::kWindow);
    EXPECT_EQ(grid.ToCsv(), ",\r\n,\r\n");
}

TEST(CellGrid, ResetClearsTextsAndColours) {
    CCellGrid grid;
    grid.Reset(16, 16, CCellGrid::kModeSixteen);
    grid.SetText(3, 3, "51");
    grid.SetCellColours(51, kA, kB);
    grid.Reset(16, 16, CCellGrid::kModeSixteen);
    EXPECT_EQ(grid.Text(3, 3), "");
    EXPECT_EQ(grid.BackgroundAt(3, 3), StatusColour::kWindow);
}

TEST(CsvText, QuotesOnlyFieldsThatNeedIt) {
    EXPECT_EQ(CsvField("異常なし"), "異常なし");
    EXPECT_EQ(CsvField("a,b"), "\"a,b\"");
    EXPECT_EQ(CsvField("say \"x\""), "\"say \"\"x\"\"\"");
    EXPECT_EQ(CsvField("two\nlines"), "\"two\nlines\"");
    EXPECT_EQ(CsvLine({"1", "", "a,b"}), "1,,\"a,b\"\r\n");
    EXPECT_EQ(CsvLine({}), "\r\n");
}

TEST(CellGrid, CsvHasHeaderLineOnlyWhenAHeaderIsNotBlank) {
    CCellGrid grid;
    grid.Reset(1, 2, CCellGrid::kModeShadedFirst);
    grid.SetText(0, 0, "1");
    grid.SetText(0, 1, "x,y");
    grid.SetHeaders({"", ""});
    EXPECT_EQ(grid.ToCsv(), "1,\"x,y\"\r\n");
    grid.SetHeaders({"No.", "日付"});
    EXPECT_EQ(grid.ToCsv(), "No.,日付\r\n1,\"x,y\"\r\n");
}
