#include <gtest/gtest.h>

#include "app/ViewState.h"

TEST(ViewStatus, ReadsFourDigitsAndNeverPastTheEnd) {
    ViewState s = ParseViewStatus("0 1 1 1");
    EXPECT_EQ(s.toolbarVisible, 0);
    EXPECT_EQ(s.statusBarVisible, 1);
    EXPECT_EQ(s.extensionOn, 1);
    EXPECT_EQ(s.displayMode, 1);
    EXPECT_EQ(FormatViewStatus(s), "0 1 1 1");

    ViewState shortValue = ParseViewStatus("1 1");
    EXPECT_EQ(shortValue.toolbarVisible, 1);
    EXPECT_EQ(shortValue.statusBarVisible, 1);
    EXPECT_EQ(shortValue.extensionOn, 0);
    EXPECT_EQ(shortValue.displayMode, 0);
    EXPECT_EQ(ParseViewStatus("").toolbarVisible, 0);

    // A digit that is not 0 or 1 is the field's default, never a mode or flag of its own.
    ViewState bad = ParseViewStatus("9 x 7 7");
    EXPECT_EQ(FormatViewStatus(bad), "1 1 0 0");
    EXPECT_EQ(FormatViewStatus(ParseViewStatus("0 0 1 2")), "0 0 1 0");
}

TEST(RecentFiles, MostRecentFirstThreeAtMostCaseInsensitive) {
    CRecentFiles r;
    r.Add("");
    EXPECT_TRUE(r.Paths().empty());
    r.Add("/a/one.lsm");
    r.Add("/a/two.lsm");
    r.Add("/a/three.lsm");
    r.Add("/a/four.lsm");
    EXPECT_EQ(r.Paths(), (std::vector<std::string>{"/a/four.lsm", "/a/three.lsm", "/a/two.lsm"}));
    r.Add("/A/TWO.lsm");
    EXPECT_EQ(r.Paths(), (std::vector<std::string>{"/A/TWO.lsm", "/a/four.lsm", "/a/three.lsm"}));
    r.Add("/a/four.lsm");
    EXPECT_EQ(r.Paths(), (std::vector<std::string>{"/a/four.lsm", "/A/TWO.lsm", "/a/three.lsm"}));
}

TEST(DefaultDirectory, SuitePathThenRecentFolderThenDocuments) {
    CRecentFiles none;
    EXPECT_EQ(ChooseDefaultDirectory(none, "/home/u/Documents", ""), "/home/u/Documents/");
    CRecentFiles recent;
    recent.Append("C:\\plant\\line1.lsm");
    EXPECT_EQ(ChooseDefaultDirectory(recent, "/home/u/Documents", ""), "C:\\plant\\");
    EXPECT_EQ(ChooseDefaultDirectory(recent, "/home/u/Documents", "D:\\suite"), "D:\\suite");
}
