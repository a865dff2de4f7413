#include <gtest/gtest.h>

#include "model/Prompter.h"
#include "model/ValueText.h"
#include "pages/SystemSettingPage.h"

namespace {

using L = CSystemSettingPage;

class SystemSettingPageTest : public ::testing::Test {
protected:
    void SetUp() override { page.InitFromRecord(record, kDecimal); }
    CUnitSettings record;
    CSystemSettingPage page;
    RecordingPrompter prompter;
};

TEST_F(SystemSettingPageTest, FlagBitsMapToLists) {
    record.pc.systemFlags = 0x1000 | 0x0001 | 0x0002 | 0x0010 | 0x0020 | 0x0080;
    page.InitFromRecord(record, kDecimal);
    EXPECT_EQ(page.ListSelection(L::kMappingTableMethod), 1);
    EXPECT_EQ(page.ListSelection(L::kStartupMethod), 1);
    EXPECT_EQ(page.ListSelection(L::kConfirmMessage), 1);
    EXPECT_EQ(page.ListSelection(L::kBroadcastType), 1);
    EXPECT_EQ(page.ListSelection(L::kIpAddressMethod), 2);
    EXPECT_TRUE(page.IpEditsEnabled());
    record.pc.systemFlags = 0x0040;
    page.InitFromRecord(record, kDecimal);
    EXPECT_EQ(page.ListSelection(L::kIpAddressMethod), 1);
}

TEST_F(SystemSettingPageTest, LeavingTheSystemAreaMethodClearsTheAddressForGood) {
    page.SelectList(L::kIpAddressMethod, 2);
    ASSERT_TRUE(page.IpEditsEnabled());
    for (int i = 4; i < 8; ++i) ASSERT_TRUE(page.EditOctet(i, "10"));
    page.SelectList(L::kIpAddressMethod, 0);
    EXPECT_FALSE(page.IpEditsEnabled());
    EXPECT_FALSE(page.EditOctet(4, "1"));
    page.SelectList(L::kIpAddressMethod, 2);
    for (int i = 4; i < 8; ++i) EXPECT_EQ(page.OctetText(i), "0");
    ASSERT_TRUE(page.Validate(kDecimal, prompter));
    EXPECT_EQ(page.Values().ipAddress[0], 0);
}

TEST_F(SystemSettingPageTest, OctetFilterFollowsTheRadix) {
    EXPECT_TRUE(page.EditOctet(0, "255"));
    EXPECT_FALSE(page.EditOctet(0, "2555"));
    EXPECT_FALSE(page.EditOctet(0, "FF"));
    page.ConvertRadix(kHexadecimal);
    EXPECT_EQ(page.OctetText(0), "FF");
    EXPECT_EQ(page.OctetText(3), "0");
    EXPECT_TRUE(page.EditOctet(1, "fe"));
    EXPECT_FALSE(page.EditOctet(1, "FFF"));  // a third hexadecimal digit
    EXPECT_EQ(page.OctetText(1), "fe");
    page.ConvertRadix(kDecimal);
    EXPECT_EQ(page.OctetText(1), "254");
}

TEST_F(SystemSettingPageTest, RadixRoundTripOfEveryOctetAndTheNodeCount) {
    page.SelectList(L::kIpAddressMethod, 2);
    const char* texts[8] = {"255", "254", "0", "", "192", "168", "250", "17"};
    for (int i = 0; i < 8; ++i) ASSERT_TRUE(page.EditOctet(i, texts[i]));
    page.SetNodeCount(128, kDecimal);
    page.ConvertRadix(kHexadecimal);
    const char* hex[8] = {"FF", "FE", "0", "", "C0", "A8", "FA", "11"};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(page.OctetText(i), hex[i]);
    EXPECT_EQ(page.NodeCountText(), "80");
    page.ConvertRadix(kDecimal);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(page.OctetText(i), texts[i]);
    EXPECT_EQ(page.NodeCountText(), "128");
}

TEST_F(SystemSettingPageTest, RulesInOrderWithFocus) {
    page.SelectList(L::kIpAddressMethod, 2);
    page.EditOctet(1, "256");
    page.EditOctet(6, "");
    EXPECT_FALSE(page.Validate(kDecimal, prompter));
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].id, 32855);
    EXPECT_EQ(page.Focus().field, Field::kSubnetMask1 + 1);
    EXPECT_TRUE(page.Focus().selectAll);
    // The octet before the failure was stored, the failing one not.
    EXPECT_EQ(page.WorkingCopy().subnetMask[1], 255);

    page.EditOctet(1, "255");
    prompter.shown.clear();
    EXPECT_FALSE(page.Validate(kDecimal, prompter));
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].id, 32937);
    EXPECT_EQ(page.Focus().field, Field::kIpAddress1 + 2);

    page.EditOctet(6, "7");
    prompter.shown.clear();
    EXPECT_TRUE(page.Validate(kDecimal, prompter));
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_FALSE(page.Focus().IsSet());
    EXPECT_EQ(page.Values().ipAddress[2], 7);
    EXPECT_EQ(page.Values().ipAddressMethod, 2);
}

TEST_F(SystemSettingPageTest, ValuesReachTheRecordThroughTheSetter) {
    page.SelectList(L::kMappingTableMethod, 1);
    page.SelectList(L::kIpAddressMethod, 2);
    page.SetBaudRate(1);
    page.EditOctet(4, "192");
    ASSERT_TRUE(page.Validate(kDecimal, prompter));
    page.StoreInto(record);
    EXPECT_EQ(record.pc.mappingTableMethod, 1);
    EXPECT_EQ(record.pc.ipAddress[0], 192);
    EXPECT_EQ(record.pc.systemFlags, 0x1000 | 0x0001 | 0x0080 | 0x0200);
}

TEST_F(SystemSettingPageTest, ShowWorkingCopyDropsAnAddressOfAnotherMethod) {
    SystemSettingsValues v = record.GetSystemSettings();
    v.ipAddress[0] = 10;
    v.ipAddressMethod = 3;
    v.faLinkNodeCount = 12;
    page.LoadValues(v);
    page.ShowWorkingCopy(kHexadecimal);
    EXPECT_EQ(page.OctetText(4), "0");
    EXPECT_EQ(page.NodeCountText(), "C");
    EXPECT_EQ(page.OctetText(0), "FF");
}

TEST_F(SystemSettingPageTest, ListChangesAndTextChangesSetModifiedButBaudRateDoesNot) {
    int changes = 0;
    page.onModified = [&] { ++changes; };
    page.SetBaudRate(1);
    EXPECT_EQ(changes, 0);
    page.SelectList(L::kStartupMethod, 1);
    page.EditOctet(2, "1");
    page.SelectList(L::kStartupMethod, 5);  // not in the list: ignored
    EXPECT_EQ(changes, 2);
}

}  // namespace
