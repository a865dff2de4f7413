#include <gtest/gtest.h>

#include "model/ValueText.h"

TEST(ValueText, InputFilter) {
    EXPECT_TRUE(CheckInputText("7FFF", kHexadecimal, 5));
    EXPECT_FALSE(CheckInputText("12345", kHexadecimal, 5));
    EXPECT_TRUE(CheckInputText("12345", kDecimal, 5));
    EXPECT_FALSE(CheckInputText("1 2", kDecimal, 5));
    EXPECT_FALSE(CheckInputText("1 2", kHexadecimal, 5));
}

TEST(ValueText, ParseAndReformat) {
    EXPECT_EQ(ParseDisplayText("", kDecimal), -1);
    EXPECT_EQ(ParseDisplayText("1A", kHexadecimal), 26);
    EXPECT_EQ(ParseDisplayText("1A", kDecimal), 1);
    EXPECT_EQ(ReformatForRadix("255", kHexadecimal), "FF");
    EXPECT_EQ(ReformatForRadix("FF", kDecimal), "255");
    EXPECT_EQ(ReformatForRadix("", kDecimal), "");
}

TEST(ValueText, AreaLimitsAtTheirEdges) {
    EXPECT_TRUE(IsStartAddressValid(0, 6143));
    EXPECT_FALSE(IsStartAddressValid(0, 6144));
    EXPECT_FALSE(IsStartAddressValid(2, 512));
    EXPECT_FALSE(IsStartAddressValid(3, -1));
    EXPECT_TRUE(IsAreaEndValid(3, 32760, 8));
    EXPECT_FALSE(IsAreaEndValid(3, 32760, 9));
    EXPECT_TRUE(IsCommonMemoryRangeValid(500, 12, 1));
    EXPECT_FALSE(IsCommonMemoryRangeValid(500, 13, 1));
    EXPECT_TRUE(IsCommonMemoryRangeValid(8191, 1, 2));
}
