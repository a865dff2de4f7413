#include <gtest/gtest.h>

#include "comm/DeviceString.h"

TEST(DeviceString, ReadsTheDefaultString) {
    CDeviceString d;
    ASSERT_TRUE(d.Parse("[DEV]DEV:VR4H;CPU:MPU90;[NET]FRAME:1004;NET:HWSP;TMO:5000;"));
    EXPECT_EQ(d.Get("DEV", "DEV"), "VR4H");
    EXPECT_EQ(d.Get("DEV", "CPU"), "MPU90");
    EXPECT_EQ(d.GetNumber("NET", "FRAME", 0), 1004);
    EXPECT_EQ(d.Get("NET", "NET"), "HWSP");
    EXPECT_EQ(d.Get("DEV", "FRAME"), "") << "keys belong to their section";
    EXPECT_FALSE(d.Has("ADDRESS", "DNA"));
    EXPECT_EQ(d.Write(), "[DEV]DEV:VR4H;CPU:MPU90;[NET]FRAME:1004;NET:HWSP;TMO:5000;");
}

TEST(DeviceString, ValuesMayHoldColonsAndBeEmpty) {
    CDeviceString d;
    ASSERT_TRUE(d.Parse("[NET]HOST:fe80::1;PORT:9600;GATE:;"));
    EXPECT_EQ(d.Get("NET", "HOST"), "fe80::1");
    EXPECT_TRUE(d.Has("NET", "GATE"));
    EXPECT_EQ(d.Get("NET", "GATE"), "");
    EXPECT_EQ(d.GetNumber("NET", "GATE", -7), -7);
}

TEST(DeviceString, MalformedTextsAreRefusedAndLeaveNothing) {
    const char* bad[] = {"DEV:VR4H;", "[DEV", "[]DEV:X;", "[DEV]DEV;", "[DEV]DEV:VR4H", "[DEV]:X;", "[D;V]A:1;",
                         "[DEV]A]B:1;"};
    for (const char* text : bad) {
        CDeviceString d;
        EXPECT_FALSE(d.Parse(text)) << text;
        EXPECT_TRUE(d.Sections().empty()) << text;
    }
    CDeviceString empty;
    EXPECT_TRUE(empty.Parse(""));
}

TEST(DeviceString, SetReplacesInPlaceOrAppends) {
    CDeviceString d;
    ASSERT_TRUE(d.Parse("[DEV]DEV:VR4H;[NET]TMO:5000;"));
    d.Set("NET", "TMO", "100");
    d.Set("NET", "GATE", "Gateway");
    d.Set("ADDRESS", "DNA", "2");
    EXPECT_EQ(d.Write(), "[DEV]DEV:VR4H;[NET]TMO:100;GATE:Gateway;[ADDRESS]DNA:2;");
    CDeviceString again;
    ASSERT_TRUE(again.Parse(d.Write()));
    EXPECT_EQ(again.Write(), d.Write());
}

TEST(DeviceString, NumbersOutOfRangeOrNotDecimalFallBack) {
    CDeviceString d;
    ASSERT_TRUE(d.Parse("[A]X:12x;Y:99999999999999999999999;Z:-3;"));
    EXPECT_EQ(d.GetNumber("A", "X", 0), 0);
    EXPECT_EQ(d.GetNumber("A", "Y", 0), 0);
    EXPECT_EQ(d.GetNumber("A", "Z", 0), -3);
}
