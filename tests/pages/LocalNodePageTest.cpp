#include <gtest/gtest.h>

#include "model/AreaType.h"
#include "model/Prompter.h"
#include "model/ValueText.h"
#include "pages/LocalNodePage.h"

namespace {

using E = CLocalNodePage;

class LocalNodePageTest : public ::testing::Test {
protected:
    void SetUp() override { page.InitFromRecord(record, kDecimal); }
    // Sets all six texts (decimal) and both lists.
    void Fill(int type1, int start1, int size1, int com1, int type2, int start2, int size2, int com2) {
        page.SelectArea(1, type1);
        page.SelectArea(2, type2);
        const int values[] = {start1, size1, com1, start2, size2, com2};
        for (int i = 0; i < E::kEditCount; ++i)
            ASSERT_TRUE(page.EditText(static_cast<E::Edit>(i), values[i] < 0 ? "" : std::to_string(values[i])));
    }
    // Validates and returns the message id shown (0 when accepted).
    int Check() {
        prompter.shown.clear();
        const bool ok = page.Validate(page.Radix(), prompter);
        EXPECT_EQ(ok, prompter.shown.empty());
        return ok ? 0 : prompter.shown.back().id;
    }
    CUnitSettings record;
    CLocalNodePage page;
    RecordingPrompter prompter;
    static constexpr int kCio = 0, kWr = 1, kDm = 3;
};

TEST_F(LocalNodePageTest, AllEmptyFailsTheFirstRule) {
    Fill(kCio, -1, -1, -1, kDm, -1, -1, -1);
    EXPECT_EQ(Check(), 32830);
    EXPECT_EQ(page.Focus().field, Field::kLocalArea1Start);
    EXPECT_TRUE(page.Focus().selectAll);
}

TEST_F(LocalNodePageTest, EachRuleAloneWithItsMessageAndFocus) {
    struct Case {
        int values[8];
        int id;
        int field;
    };
    const Case cases[] = {
        {{kCio, 6144, 0, 0, kDm, 0, 0, 0}, 32830, Field::kLocalArea1Start},
        {{kCio, 6000, 145, 0, kDm, 0, 0, 0}, 32831, Field::kLocalArea1Size},
        {{kCio, 0, 513, 0, kDm, 0, 0, 0}, 32831, Field::kLocalArea1Size},
        {{kCio, 0, 13, 500, kDm, 0, 0, 0}, 32832, Field::kLocalArea1ComStart},
        {{kCio, 0, 0, 512, kDm, 0, 0, 0}, 32832, Field::kLocalArea1ComStart},
        {{kCio, 0, 0, 0, kWr, 512, 0, 0}, 32833, Field::kLocalArea2Start},
        {{kCio, 0, 0, 0, kDm, 32000, 769, 0}, 32834, Field::kLocalArea2Size},
        {{kCio, 0, 0, 0, kDm, 0, 0, 8192}, 32835, Field::kLocalArea2ComStart},
        {{kCio, 0, 0, 0, kDm, 0, 2, 8191}, 32835, Field::kLocalArea2ComStart},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case for " << c.id << " start " << c.values[1]);
        const int* v = c.values;
        Fill(v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7]);
        EXPECT_EQ(Check(), c.id);
        EXPECT_EQ(page.Focus().field, c.field);
    }
}

TEST_F(LocalNodePageTest, EdgeValuesPass) {
    Fill(kCio, 6000, 144, 368, kDm, 32000, 768, 7424);
    EXPECT_EQ(Check(), 0);
    Fill(kWr, 0, 512, 0, kDm, 0, 8192, 0);  // the full WR area is allowed here
    EXPECT_EQ(Check(), 0);
    const LocalNodeValues& v = page.Values();
    EXPECT_EQ(v.localArea1Type, AreaType::WR);
    EXPECT_EQ(v.localArea1Size, 512);
    EXPECT_EQ(v.localArea2Size, 8192);
}

TEST_F(LocalNodePageTest, FirstFailingRuleWinsAndEarlierValuesAreStored) {
    Fill(kCio, 100, 600, 0, kDm, 99999, 0, 0);
    EXPECT_EQ(Check(), 32831);
    EXPECT_EQ(page.Values().localArea1Start, 100);
    EXPECT_EQ(page.Values().localArea1Size, 0);  // the failing value is not stored
}

TEST_F(LocalNodePageTest, OverlapOfTheTwoAreasInOnePlcArea) {
    Fill(kDm, 100, 50, 0, kDm, 149, 10, 0);
    EXPECT_EQ(Check(), 33065);
    EXPECT_FALSE(page.Focus().IsSet());
    Fill(kDm, 100, 50, 0, kDm, 150, 10, 0);  // exactly touching
    EXPECT_EQ(Check(), 0);
    Fill(kDm, 100, 0, 0, kDm, 100, 10, 0);
    EXPECT_EQ(Check(), 0);
    Fill(kDm, 100, 50, 0, kDm, 90, 10, 0);  // area 2 ends just below area 1
    EXPECT_EQ(Check(), 0);
    Fill(kDm, 100, 50, 0, kDm, 90, 11, 0);
    EXPECT_EQ(Check(), 33065);
    Fill(kCio, 100, 50, 0, kDm, 100, 50, 0);  // different areas never overlap
    EXPECT_EQ(Check(), 0);
}

TEST_F(LocalNodePageTest, HexadecimalFilterAndParse) {
    page.ConvertRadix(kHexadecimal);
    EXPECT_TRUE(page.EditText(E::kArea2ComStart, "1FFF"));
    EXPECT_FALSE(page.EditText(E::kArea2ComStart, "1FFFF"));
    EXPECT_EQ(page.Text(E::kArea2ComStart), "1FFF");
    EXPECT_TRUE(page.EditText(E::kArea2Size, "1"));
    EXPECT_EQ(Check(), 0);
    EXPECT_EQ(page.Values().localArea2ComStart, 8191);
    EXPECT_FALSE(page.EditText(E::kArea1Start, "12G"));
}

TEST_F(LocalNodePageTest, RadixRoundTripAndShowingTheRecord) {
    record.pc.localArea1Type = AreaType::HR;
    record.pc.localArea2Type = 0xA2;  // EM2
    record.pc.localArea1Start = 255;
    record.pc.localArea2Start = 32767;
    record.pc.localArea1Size = 16;
    record.pc.localArea2Size = 0;
    record.pc.localArea1ComStart = 10;
    record.pc.localArea2ComStart = 4095;
    page.InitFromRecord(record, kHexadecimal);
    EXPECT_EQ(page.AreaSelection(1), 2);
    EXPECT_EQ(page.AreaSelection(2), 6);
    EXPECT_EQ(page.Text(E::kArea1Start), "FF");
    EXPECT_EQ(page.Text(E::kArea2Start), "7FFF");
    EXPECT_EQ(page.Text(E::kArea2ComStart), "FFF");
    page.ConvertRadix(kDecimal);
    EXPECT_EQ(page.Text(E::kArea1Start), "255");
    EXPECT_EQ(page.Text(E::kArea2Start), "32767");
    EXPECT_EQ(page.Text(E::kArea1Size), "16");
    EXPECT_EQ(page.Text(E::kArea1ComStart), "10");
    page.ConvertRadix(kHexadecimal);
    page.ConvertRadix(kDecimal);
    EXPECT_EQ(page.Text(E::kArea2ComStart), "4095");
    EXPECT_EQ(Check(), 0);
    CUnitSettings other;
    page.StoreInto(other);
    EXPECT_EQ(other.pc.localArea2Type, 0xA2);
    EXPECT_EQ(other.pc.localArea2ComStart, 4095);
}

TEST_F(LocalNodePageTest, EditsAndListsSetModified) {
    int changes = 0;
    page.onModified = [&] { ++changes; };
    page.EditText(E::kArea1Size, "5");
    page.EditText(E::kArea1Size, "5x");
    page.SelectArea(2, 4);
    page.SelectArea(2, 17);
    EXPECT_EQ(changes, 2);
}

}  // namespace
