#include <gtest/gtest.h>

#include <cstdio>

#include "app/CommSettings.h"
#include "comm/CommuProcess.h"
#include "comm/LinkMiddleware.h"

namespace {

class CommSettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        profile = ::testing::TempDir() + "/commsettings-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".ini";
        std::remove(profile.c_str());
        comm.SetProfileFile(profile);
        mw.SetEntryEditor([this](const std::string& name, std::string* ds, std::string* comment) {
            edited.push_back(name);
            if (nextDeviceString.empty()) return false;
            *ds = nextDeviceString;
            *comment = "edited";
            return true;
        });
        ASSERT_TRUE(comm.Initialize() && comm.OpenProject());
    }

    CSystemClock clock;
    CLinkMiddleware mw{clock};
    CUnitSettings record;
    RecordingPrompter prompter;
    CCommuProcess comm{record, prompter, mw};
    std::string profile;
    std::vector<std::string> edited;
    std::string nextDeviceString;
    int modifiedCalls = 0;
    CCommSettings dialog{comm, record, [this] { ++modifiedCalls; }};
};

TEST_F(CommSettingsTest, UnitNumberIsTakenOnlyOnClose) {
    record.unitNumber = 7;
    dialog.Open();
    EXPECT_EQ(dialog.unitNumber, 7);
    EXPECT_FALSE(dialog.gatewaySelected);
    EXPECT_EQ(dialog.gatewayText, "");
    dialog.SelectUnitNumber(3);
    EXPECT_EQ(modifiedCalls, 1);
    EXPECT_EQ(record.unitNumber, 7u) << "closing with the close box keeps the record";
    dialog.Close();
    EXPECT_EQ(record.unitNumber, 3u);
    EXPECT_EQ(comm.m_unitNumber, 3);
    EXPECT_EQ(record.targetPlc, comm.DirectDeviceString());
    EXPECT_EQ(record.targetPlcNumber, 0u);
}

TEST_F(CommSettingsTest, GatewayEditShowsItsDescriptionWithDashes) {
    dialog.Open();
    dialog.gatewaySelected = true;
    nextDeviceString = "[DEV]DEV:VR4K;CPU:MPU_A1;[NET]FRAME:1004;TMO:5000;";
    dialog.ChangeConnection();
    ASSERT_EQ(comm.m_connectionType, 1);
    EXPECT_NE(dialog.gatewayText, "");
    EXPECT_EQ(dialog.gatewayText.find('_'), std::string::npos);
    EXPECT_NE(dialog.gatewayText.find("MPU-A1"), std::string::npos) << dialog.gatewayText;
    EXPECT_EQ(modifiedCalls, 1);
    dialog.Close();
    EXPECT_EQ(record.targetPlcNumber, 1u);
    EXPECT_EQ(record.relayPlc, comm.GatewayDeviceString());
}

TEST_F(CommSettingsTest, CancelledEditRefreshesNothing) {
    dialog.Open();
    const std::string before = dialog.plcText;
    dialog.gatewaySelected = true;
    nextDeviceString.clear();  // the editor is cancelled
    dialog.ChangeConnection();
    EXPECT_EQ(comm.m_connectionType, 0);
    EXPECT_EQ(dialog.gatewayText, "");
    EXPECT_EQ(dialog.plcText, before);
    EXPECT_EQ(modifiedCalls, 0);
}

}  // namespace
