#include <gtest/gtest.h>

#include "model/Prompter.h"
#include "model/ValueText.h"
#include "pages/ExtensionPage.h"
#include "pages/MappingTablePage.h"
#include "pages/SystemSettingPage.h"

namespace {

class ExtensionPageTest : public ::testing::Test {
protected:
    void SetUp() override {
        system.InitFromRecord(record, kDecimal);
        extension.InitFromRecord(record);
        mapping.InitFromRecord(record, kDecimal);
    }
    void Publish(std::initializer_list<int> nodes) {
        int i = 0;
        for (int n : nodes) {
            mapping.SetRowField(i, CMappingTablePage::kNodeColumn, n);
            for (int c = 1; c <= 4; ++c) mapping.SetRowField(i, c, 0);
            ++i;
        }
        ASSERT_TRUE(mapping.Validate(kDecimal, prompter));
    }
    CUnitSettings record;
    CSystemSettingPage system;
    CExtensionPage extension;
    CMappingTablePage mapping{system, extension};
    RecordingPrompter prompter;
};

TEST_F(ExtensionPageTest, PublishedNodesShowWithForwardOrder) {
    Publish({5, 6, 10});
    extension.ShowWorkingCopy(record, kHexadecimal, 1);
    EXPECT_EQ(extension.NodeText(0), "5");
    EXPECT_EQ(extension.NodeText(2), "A");
    EXPECT_TRUE(extension.LineHasNode(2));
    EXPECT_EQ(extension.LineOrder(1), 0);
    EXPECT_FALSE(extension.LineHasNode(3));
}

TEST_F(ExtensionPageTest, ChosenOrderReachesOnlyItsEntry) {
    Publish({5, 6, 7});
    int changes = 0;
    extension.onModified = [&] { ++changes; };
    extension.SelectReceiveOrder(1, 1);
    extension.SelectReceiveOrder(5, 1);  // a line without a node: ignored
    extension.SelectSendOrder(1);
    EXPECT_EQ(changes, 2);
    mapping.StoreInto(record);
    extension.StoreInto(record);
    EXPECT_EQ(record.pc.entries[0].receiveDataOrder, 0);
    EXPECT_EQ(record.pc.entries[1].receiveDataOrder, 1);
    EXPECT_EQ(record.pc.entries[2].receiveDataOrder, 0);
    EXPECT_EQ(record.pc.entries[5].receiveDataOrder, 0);
    EXPECT_EQ(record.pc.sendDataOrder, 1);
    EXPECT_TRUE(record.pc.systemFlags & 0x0100);
}

TEST_F(ExtensionPageTest, LoadingFromTheRecordTakesNodesAndOrders) {
    record.pc.entryCount = 2;
    record.pc.entries[0] = {3, 1, 0, 0, 0, 0};
    record.pc.entries[1] = {0, 1, 0, 0, 0, 0};
    record.pc.entries[2] = {9, 1, 0, 0, 0, 0};
    record.pc.sendDataOrder = 1;
    extension.LoadFromRecord(record);
    extension.ShowWorkingCopy(record, kDecimal, 1);
    EXPECT_EQ(extension.SendOrder(), 1);
    EXPECT_EQ(extension.NodeText(0), "3");
    EXPECT_EQ(extension.LineOrder(0), 1);
    EXPECT_FALSE(extension.LineHasNode(1));
    EXPECT_FALSE(extension.LineHasNode(2));  // beyond the count
}

}  // namespace
