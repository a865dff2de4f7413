#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "model/Messages.h"
#include "model/VerifyResult.h"

namespace {
SettingsImage Base() {
    SettingsImage im{};
    im.nodeNameEnabled = im.tokenWatchdogEnabled = im.minFrameIntervalEnabled = im.minFrameWaitEnabled = 1;
    CopyText(im.nodeName, sizeof im.nodeName, "N1");
    im.localArea1Type = 0xB0;
    im.localArea2Type = 0x82;
    im.mapArea1Type = 0xB0;
    im.mapArea2Type = 0x82;
    im.entryCount = 3;
    for (int i = 0; i < 3; ++i) im.entries[i] = {static_cast<uint16_t>(i + 1), 1, 2, 3, 4, 5};
    return im;
}
// The PLC side as a verify read stores it: the reverse order as 16.
SettingsImage AsRead(SettingsImage im) {
    for (auto& e : im.entries) e.receiveDataOrder = e.receiveDataOrder == 1 ? 16 : e.receiveDataOrder;
    return im;
}
}  // namespace

TEST(VerifyResult, EqualImagesGiveNoRowsWithTheOrderAllowance) {
    CVerifyResult r;
    r.Build(Base(), AsRead(Base()));
    EXPECT_EQ(r.Count(), 0u);
    r.Build(Base(), Base());
    EXPECT_EQ(r.Count(), 3u) << "a PLC-side 1 is not the reverse order as read";
}

TEST(VerifyResult, EveryFieldChangedAloneGivesExactlyItsRow) {
    struct Case {
        int id;
        std::function<void(SettingsImage&)> change;
    };
    const std::vector<Case> cases = {
        {32863, [](SettingsImage& i) { i.minFrameInterval = 9; }},
        {32864, [](SettingsImage& i) { i.tokenWatchdog = 9; }},
        {32865, [](SettingsImage& i) { i.minFrameWait = 9; }},
        {33043, [](SettingsImage& i) { CopyText(i.nodeName, sizeof i.nodeName, "N2"); }},
        {32866, [](SettingsImage& i) { i.mappingTableMethod = 1; }},
        {32867, [](SettingsImage& i) { i.startupMethod = 1; }},
        {32868, [](SettingsImage& i) { i.confirmMessage = 1; }},
        {32869, [](SettingsImage& i) { i.broadcastType = 1; }},
        {32870, [](SettingsImage& i) { i.ipAddressMethod = 3; }},
        {32871, [](SettingsImage& i) { i.subnetMask[0] = 255; }},
        {32873, [](SettingsImage& i) { i.faLinkNodeCount = 2; }},
        {33066, [](SettingsImage& i) { i.etherBaudRate = 1; }},
        {33038, [](SettingsImage& i) { i.localArea1Type = 0xB1; }},
        {32874, [](SettingsImage& i) { i.localArea1Start = 1; }},
        {32875, [](SettingsImage& i) { i.localArea1Size = 1; }},
        {32876, [](SettingsImage& i) { i.localArea1ComStart = 1; }},
        {33039, [](SettingsImage& i) { i.localArea2Type = 0xB2; }},
        {32877, [](SettingsImage& i) { i.localArea2Start = 1; }},
        {32878, [](SettingsImage& i) { i.localArea2Size = 1; }},
        {32879, [](SettingsImage& i) { i.localArea2ComStart = 1; }},
        {32880, [](SettingsImage& i) { i.sendDataOrder = 1; }},
        {33040, [](SettingsImage& i) { i.mapArea1Type = 0xA0; }},
        {32881, [](SettingsImage& i) { i.mapArea1Start = 1; }},
        {33041, [](SettingsImage& i) { i.mapArea2Type = 0xA1; }},
        {32882, [](SettingsImage& i) { i.mapArea2Start = 1; }},
        {32883, [](SettingsImage& i) { i.entries[1].nodeNumber = 9; }},
        {32884, [](SettingsImage& i) { i.entries[1].area1Offset = 9; }},
        {32886, [](SettingsImage& i) { i.entries[1].area1Size = 9; }},
        {32887, [](SettingsImage& i) { i.entries[1].area2Offset = 9; }},
        {32889, [](SettingsImage& i) { i.entries[1].area2Size = 9; }},
        {32890, [](SettingsImage& i) { i.entries[1].receiveDataOrder = 0; }},
    };
    for (const auto& c : cases) {
        SettingsImage pc = Base();
        c.change(pc);
        CVerifyResult r;
        r.Build(pc, AsRead(Base()));
        ASSERT_EQ(r.Count(), 1u) << c.id;
        EXPECT_EQ(r.Rows()[0].itemId, c.id);
    }
}

TEST(VerifyResult, TextsConditionsAndEntryCount) {
    SettingsImage pc = Base();
    pc.entries[1].area2Size = 7;
    pc.tokenWatchdogEnabled = 0;
    pc.tokenWatchdog = 99;  // not enabled: not compared
    pc.ipAddress[3] = 5;    // neither side uses method 2: not compared
    CVerifyResult r;
    r.Build(pc, AsRead(Base()));
    ASSERT_EQ(r.Count(), 1u);
    const VerifyRow& row = r.Rows()[0];
    EXPECT_EQ(row.item, FormatMessage(32889, {"2"}));
    EXPECT_EQ(row.plcText, "4");
    EXPECT_EQ(row.pcText, "7");

    pc = Base();
    pc.ipAddressMethod = 2;
    pc.ipAddress[0] = 10;
    SettingsImage plc = AsRead(Base());
    plc.ipAddressMethod = 2;
    r.Build(pc, plc);
    ASSERT_EQ(r.Count(), 1u);
    EXPECT_EQ(r.Rows()[0].itemId, 32872);
    EXPECT_EQ(r.Rows()[0].pcText, "10.0.0.0");

    // PLC-side count 5, PC-side 3: five records compared.
    plc = AsRead(Base());
    plc.entryCount = 5;
    plc.entries[4] = {6, 0, 1, 0, 0, 0};
    r.Build(Base(), plc);
    ASSERT_EQ(r.Count(), 2u);
    EXPECT_EQ(r.Rows()[0].itemId, 32883);
    EXPECT_EQ(r.Rows()[1].itemId, 32886);
    EXPECT_EQ(r.Rows()[0].plcText, "6");
    // A count past the table is bounded.
    plc.entryCount = 100000;
    r.Build(Base(), plc);
    EXPECT_EQ(r.Count(), 2u);
}
