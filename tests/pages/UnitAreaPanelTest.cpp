#include <gtest/gtest.h>

#include <cstring>

#include "model/Prompter.h"
#include "model/ValueText.h"
#include "pages/UnitAreaPanel.h"

namespace {

class UnitAreaPanelTest : public ::testing::Test {
protected:
    void SetUp() override { panel.InitFromRecord(record, kDecimal); }
    void CheckAll() {
        for (auto item : {CUnitAreaPanel::kMinFrameInterval, CUnitAreaPanel::kTokenWatchdog,
                          CUnitAreaPanel::kMinFrameWait, CUnitAreaPanel::kNodeName})
            panel.SetChecked(item, true);
    }
    CUnitSettings record;
    CUnitAreaPanel panel;
    RecordingPrompter prompter;
};

TEST_F(UnitAreaPanelTest, ShowsRecordDefaultsUnchecked) {
    EXPECT_EQ(panel.Text(CUnitAreaPanel::kMinFrameInterval), "1");
    EXPECT_EQ(panel.Text(CUnitAreaPanel::kTokenWatchdog), "50");
    EXPECT_EQ(panel.Text(CUnitAreaPanel::kMinFrameWait), "0");
    EXPECT_EQ(panel.Text(CUnitAreaPanel::kNodeName), "");
    EXPECT_FALSE(panel.Checked(CUnitAreaPanel::kNodeName));
    UnitInfoTexts info = CUnitAreaPanel::UnitInfo(record.pc);
    EXPECT_EQ(info.modelName, "VR4K-LUX22");
    EXPECT_EQ(info.protocolVersion, "1");
    EXPECT_EQ(info.ipAddress, "0.0.0.0");
}

TEST_F(UnitAreaPanelTest, NumericFiltersFollowTheRadix) {
    EXPECT_TRUE(panel.EditText(CUnitAreaPanel::kMinFrameInterval, "50"));
    EXPECT_FALSE(panel.EditText(CUnitAreaPanel::kMinFrameInterval, "100"));  // two decimal digits
    EXPECT_TRUE(panel.EditText(CUnitAreaPanel::kTokenWatchdog, "255"));
    EXPECT_FALSE(panel.EditText(CUnitAreaPanel::kTokenWatchdog, "2550"));
    EXPECT_FALSE(panel.EditText(CUnitAreaPanel::kTokenWatchdog, "2a"));
    EXPECT_EQ(panel.Text(CUnitAreaPanel::kTokenWatchdog), "255");  // refused text left as it was
    EXPECT_TRUE(panel.EditText(CUnitAreaPanel::kMinFrameWait, "15"));
    EXPECT_FALSE(panel.EditText(CUnitAreaPanel::kMinFrameWait, "155"));

    panel.ConvertRadix(kHexadecimal);
    EXPECT_EQ(panel.Text(CUnitAreaPanel::kMinFrameWait), "F");
    EXPECT_EQ(panel.Text(CUnitAreaPanel::kTokenWatchdog), "FF");
    EXPECT_TRUE(panel.EditText(CUnitAreaPanel::kMinFrameWait, "f"));
    EXPECT_FALSE(panel.EditText(CUnitAreaPanel::kMinFrameWait, "FF"));  // one hexadecimal digit only
    EXPECT_FALSE(panel.EditText(CUnitAreaPanel::kTokenWatchdog, "100"));
    EXPECT_TRUE(panel.EditText(CUnitAreaPanel::kMinFrameInterval, "32"));
    EXPECT_FALSE(panel.EditText(CUnitAreaPanel::kMinFrameInterval, "320"));
    panel.SetChecked(CUnitAreaPanel::kMinFrameWait, true);
    ASSERT_TRUE(panel.EditText(CUnitAreaPanel::kMinFrameWait, "F"));
    ASSERT_TRUE(panel.CheckUnitArea(false, prompter));
    EXPECT_EQ(panel.WorkingCopy().minFrameWait, 15);
}

TEST_F(UnitAreaPanelTest, RadixRoundTripKeepsEveryNumberAndTheName) {
    panel.EditText(CUnitAreaPanel::kMinFrameInterval, "42");
    panel.EditText(CUnitAreaPanel::kTokenWatchdog, "");
    panel.EditText(CUnitAreaPanel::kNodeName, "NODE99");
    panel.ConvertRadix(kHexadecimal);
    EXPECT_EQ(panel.Text(CUnitAreaPanel::kMinFrameInterval), "2A");
    EXPECT_EQ(panel.Text(CUnitAreaPanel::kTokenWatchdog), "");
    panel.ConvertRadix(kDecimal);
    EXPECT_EQ(panel.Text(CUnitAreaPanel::kMinFrameInterval), "42");
    EXPECT_EQ(panel.Text(CUnitAreaPanel::kTokenWatchdog), "");
    EXPECT_EQ(panel.Text(CUnitAreaPanel::kNodeName), "NODE99");
}

TEST_F(UnitAreaPanelTest, StoredNameIsNeverCutInsideADoubleByteCharacter) {
    // Nine single bytes then a double-byte character across the 10-byte limit.
    char field[24] = {};
    std::memcpy(field, "ABCDEFGHI\x82\xA0", 11);
    EXPECT_EQ(CUnitAreaPanel::NodeNameForDisplay(field, sizeof field), "ABCDEFGHI");
    // Five double-byte characters exactly fill the 10 bytes.
    std::memset(field, 0, sizeof field);
    std::memcpy(field, "\x82\xA0\x82\xA2\x82\xA4\x82\xA6\x82\xA8\x82\xAA", 12);
    EXPECT_EQ(CUnitAreaPanel::NodeNameForDisplay(field, sizeof field), std::string(field, 10));
    // A 20-byte name without terminator inside the field: only 10 bytes, nothing read past it.
    char full[20];
    std::memset(full, 'Z', sizeof full);
    EXPECT_EQ(CUnitAreaPanel::NodeNameForDisplay(full, sizeof full), "ZZZZZZZZZZ");
    // A lead byte as the last byte of the field has no trail byte: left out.
    char tail[11] = {'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I', '\x82', '\0'};
    EXPECT_EQ(CUnitAreaPanel::NodeNameForDisplay(tail, 10), "ABCDEFGHI");
}

TEST_F(UnitAreaPanelTest, LoadedDoubleByteNameIsCheckedInTheBytesTheUnitStores) {
    // "第1ライン": four double-byte characters and a digit, 9 bytes.
    const std::string line1 = "\x91\xE6" "1" "\x83\x89\x83\x43\x83\x93";
    std::memcpy(record.pc.nodeName, line1.data(), line1.size());
    record.pc.nodeNameEnabled = 1;
    panel.InitFromRecord(record, kDecimal);
    EXPECT_EQ(panel.Text(CUnitAreaPanel::kNodeName), line1);
    for (bool forSave : {false, true}) {
        ASSERT_TRUE(panel.CheckUnitArea(forSave, prompter)) << forSave;
        EXPECT_EQ(std::string(panel.WorkingCopy().nodeName), line1);
    }
    EXPECT_TRUE(prompter.shown.empty());
    // Typing still refuses a double-byte character, and the loaded name is kept.
    EXPECT_FALSE(panel.EditText(CUnitAreaPanel::kNodeName, line1 + "X"));
    EXPECT_FALSE(panel.EditText(CUnitAreaPanel::kNodeName, "AB\x82\xA0"));
    EXPECT_EQ(panel.Text(CUnitAreaPanel::kNodeName), line1);

    // Five double-byte characters fill the 10 bytes; an eleventh byte or half a character is
    // more than the unit keeps.
    EXPECT_TRUE(CUnitAreaPanel::IsNodeNameStorable("\x82\xA0\x82\xA2\x82\xA4\x82\xA6\x82\xA8"));
    EXPECT_FALSE(CUnitAreaPanel::IsNodeNameStorable("\x82\xA0\x82\xA2\x82\xA4\x82\xA6\x82\xA8X"));
    EXPECT_FALSE(CUnitAreaPanel::IsNodeNameStorable("ABCDEFGHI\x82"));
    EXPECT_FALSE(CUnitAreaPanel::IsNodeNameStorable(""));
    EXPECT_TRUE(CUnitAreaPanel::IsNodeNameStorable("ABCDEFGHIJ"));
}

TEST_F(UnitAreaPanelTest, EachRuleFailsAloneWithItsMessageAndFocus) {
    struct Case {
        CUnitAreaPanel::Item item;
        std::string bad;
        int id;
        int field;
    };
    const Case cases[] = {
        {CUnitAreaPanel::kMinFrameInterval, "51", 32826, Field::kMinFrameInterval},
        {CUnitAreaPanel::kTokenWatchdog, "", 32827, Field::kTokenWatchdog},
        {CUnitAreaPanel::kMinFrameWait, "16", 32828, Field::kMinFrameWait},
        {CUnitAreaPanel::kNodeName, "", 32829, Field::kNodeName},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        CUnitAreaPanel p;
        p.InitFromRecord(record, kDecimal);
        for (auto item : {CUnitAreaPanel::kMinFrameInterval, CUnitAreaPanel::kTokenWatchdog,
                          CUnitAreaPanel::kMinFrameWait, CUnitAreaPanel::kNodeName})
            p.SetChecked(item, true);
        p.EditText(CUnitAreaPanel::kNodeName, "N1");
        ASSERT_TRUE(p.EditText(c.item, c.bad));
        RecordingPrompter pr;
        EXPECT_FALSE(p.CheckUnitArea(false, pr));
        ASSERT_EQ(pr.shown.size(), 1u);
        EXPECT_EQ(pr.shown[0].id, c.id);
        EXPECT_EQ(pr.shown[0].buttons, PromptButtons::Ok);
        EXPECT_EQ(p.Focus().field, c.field);
        EXPECT_TRUE(p.Focus().selectAll);
    }
}

TEST_F(UnitAreaPanelTest, FirstFailingRuleWins) {
    CheckAll();
    panel.EditText(CUnitAreaPanel::kTokenWatchdog, "");
    panel.EditText(CUnitAreaPanel::kMinFrameWait, "99");
    EXPECT_FALSE(panel.CheckUnitArea(false, prompter));
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].id, 32827);
}

TEST_F(UnitAreaPanelTest, EdgeValuesPass) {
    CheckAll();
    panel.EditText(CUnitAreaPanel::kMinFrameInterval, "50");
    panel.EditText(CUnitAreaPanel::kTokenWatchdog, "255");
    panel.EditText(CUnitAreaPanel::kMinFrameWait, "15");
    panel.EditText(CUnitAreaPanel::kNodeName, "ABCDEFGHIJ");
    ASSERT_TRUE(panel.CheckUnitArea(false, prompter));
    EXPECT_TRUE(prompter.shown.empty());
    const UnitAreaValues& v = panel.WorkingCopy();
    EXPECT_EQ(v.minFrameInterval, 50);
    EXPECT_EQ(v.tokenWatchdog, 255);
    EXPECT_EQ(v.minFrameWait, 15);
    EXPECT_EQ(std::string(v.nodeName), "ABCDEFGHIJ");
    EXPECT_EQ(v.nodeNameEnabled, 1u);
    EXPECT_EQ(record.SetUnitArea(v), 0xFF);
}

TEST_F(UnitAreaPanelTest, UncheckedItemsSendDefaultsButSaveWhatWasTyped) {
    panel.EditText(CUnitAreaPanel::kMinFrameInterval, "");
    panel.EditText(CUnitAreaPanel::kTokenWatchdog, "99");
    panel.EditText(CUnitAreaPanel::kMinFrameWait, "7");
    panel.EditText(CUnitAreaPanel::kNodeName, "KEEP");
    ASSERT_TRUE(panel.CheckUnitArea(false, prompter));
    UnitAreaValues v = panel.WorkingCopy();
    EXPECT_EQ(v.minFrameInterval, 1);
    EXPECT_EQ(v.tokenWatchdog, 50);
    EXPECT_EQ(v.minFrameWait, 0);
    EXPECT_EQ(std::string(v.nodeName, sizeof v.nodeName), std::string(20, '\0'));
    EXPECT_EQ(v.minFrameIntervalEnabled + v.tokenWatchdogEnabled + v.minFrameWaitEnabled + v.nodeNameEnabled, 0u);

    ASSERT_TRUE(panel.CheckUnitArea(true, prompter));
    v = panel.WorkingCopy();
    EXPECT_EQ(v.minFrameInterval, 1);  // empty saves the default, not a wrapped -1
    EXPECT_EQ(v.tokenWatchdog, 99);
    EXPECT_EQ(v.minFrameWait, 7);
    EXPECT_EQ(std::string(v.nodeName), "KEEP");
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(UnitAreaPanelTest, ChangesSetTheModifiedFlag) {
    int changes = 0;
    panel.onModified = [&] { ++changes; };
    panel.EditText(CUnitAreaPanel::kTokenWatchdog, "12");
    panel.EditText(CUnitAreaPanel::kTokenWatchdog, "12a");  // refused: no change
    panel.SetChecked(CUnitAreaPanel::kNodeName, true);
    EXPECT_EQ(changes, 2);
}

}  // namespace
