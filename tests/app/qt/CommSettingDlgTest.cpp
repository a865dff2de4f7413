#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <functional>

#include "app/qt/LinkSmithDlg.h"
#include "comm/CommuProcess.h"
#include "comm/ProfileFile.h"
#include "tests/app/qt/StartupFixture.h"

namespace {

const char kGatewayPlc[] = "[DEV]DEV:VR4K;CPU:MPU_A1;[NET]FRAME:1004;NET:ETHER;TMO:5000;";
const char kDirectPlc[] = "[DEV]DEV:VR4H;CPU:MPU_90;[NET]FRAME:1004;NET:HWSP;TMO:5000;[ADDRESS]DNA:4;DA1:9;";

// Opens "通信設定" from the menu as the user does, and runs the script inside the modal dialog.
class CommSettingDlgTest : public StartupFixture {
protected:
    CLinkSmithDlg* w = nullptr;
    bool scriptRan = false;

    void SetUp() override {
        ASSERT_TRUE(Start({}));
        w = startup->Window();
        w->show();
    }

    void RunDialog(const std::function<void(QDialog&)>& script) {
        scriptRan = false;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (scriptRan || !dialog || dialog->objectName() != "commSettingDialog") return;
            scriptRan = true;
            script(*dialog);
            // A script that left the dialog open must not hang the test.
            if (dialog->isVisible()) {
                ADD_FAILURE() << "the dialog is still open";
                dialog->reject();
            }
        });
        poll.start(5);
        w->RunCommand(32785);
        EXPECT_TRUE(scriptRan);
    }
    static QString Field(QDialog& d, const char* name) { return d.findChild<QLineEdit*>(name)->text(); }
    static void Click(QDialog& d, const char* name) { d.findChild<QAbstractButton*>(name)->click(); }
    static QComboBox* Units(QDialog& d) { return d.findChild<QComboBox*>("unitNumberList"); }
};

TEST_F(CommSettingDlgTest, DirectToGatewayAndBackWithTheEditsAccepted) {
    startup->Record().unitNumber = 7;
    RunDialog([&](QDialog& d) {
        EXPECT_TRUE(d.findChild<QRadioButton*>("directRadio")->isChecked());
        EXPECT_EQ(Field(d, "gatewayField"), "");
        EXPECT_EQ(Units(d)->currentIndex(), 7);
        EXPECT_EQ(Units(d)->count(), 16);

        Click(d, "gatewayRadio");
        EXPECT_FALSE(startup->App().modified) << "choosing the kind changes nothing by itself";
        // Through a gateway both entries are edited: the gateway PLC, then the target behind it.
        editorAnswers = {kGatewayPlc, kDirectPlc};
        Click(d, "changeButton");
        EXPECT_EQ(editorCalls, (std::vector<std::string>{CCommuProcess::kGatewayEntry, CCommuProcess::kDirectEntry}));
        EXPECT_EQ(Field(d, "gatewayField").toStdString(), "VR4K-MPU-A1");
        EXPECT_TRUE(startup->App().modified);

        Units(d)->setCurrentIndex(3);
        QTest::keyClick(&d, Qt::Key_Escape);
        EXPECT_TRUE(d.isVisible()) << "Escape does not close it";
        Click(d, "closeButton");
    });
    CUnitSettings& record = startup->Record();
    EXPECT_EQ(record.unitNumber, 3u);
    EXPECT_EQ(startup->Commu().m_unitNumber, 3);
    EXPECT_EQ(record.targetPlcNumber, 1u);
    EXPECT_EQ(record.relayPlc, kGatewayPlc);
    EXPECT_EQ(record.targetPlc, startup->Commu().DirectDeviceString());
    EXPECT_NE(w->StatusText().indexOf(QString::fromUtf8("ﾕﾆｯﾄ:3 ")), -1) << w->StatusText().toStdString();

    // The next showing starts from the gateway connection; a cancelled direct edit keeps it.
    editorCalls.clear();
    ASSERT_EQ(startup->Commu().m_connectionType, 1);
    RunDialog([&](QDialog& d) {
        EXPECT_TRUE(d.findChild<QRadioButton*>("gatewayRadio")->isChecked());
        EXPECT_EQ(Field(d, "gatewayField").toStdString(), "VR4K-MPU-A1");
        EXPECT_EQ(Units(d)->currentIndex(), 3);
        Click(d, "directRadio");
        editorAnswers = {"", kDirectPlc};
        startup->App().modified = false;
        Click(d, "changeButton");
        EXPECT_EQ(startup->Commu().m_connectionType, 1);
        EXPECT_EQ(Field(d, "gatewayField").toStdString(), "VR4K-MPU-A1");
        EXPECT_FALSE(startup->App().modified);

        Click(d, "changeButton");
        EXPECT_EQ(startup->Commu().m_connectionType, 0);
        EXPECT_EQ(Field(d, "gatewayField"), "");
        EXPECT_EQ(Field(d, "plcField").toStdString(), "VR4H-MPU-90");
        EXPECT_EQ(startup->Commu().GatewayDeviceString(), "");
        EXPECT_TRUE(startup->App().modified);
        Click(d, "closeButton");
    });
    EXPECT_EQ(editorCalls, (std::vector<std::string>{CCommuProcess::kDirectEntry, CCommuProcess::kDirectEntry}));
    EXPECT_EQ(record.targetPlcNumber, 0u);
    EXPECT_EQ(record.relayPlc, "");
    EXPECT_EQ(record.targetPlc, kDirectPlc);
    // The status bar shows the new target's addresses.
    EXPECT_EQ(w->StatusText(), QString::fromUtf8("接続先: ﾈｯﾄ:4 ﾉｰﾄﾞ:9 ﾕﾆｯﾄ:3  10進表示"));
}

TEST_F(CommSettingDlgTest, EntriesEnteredAreInTheProfileAfterTheWindowClosesAndShownAtTheNextStart) {
    RunDialog([&](QDialog& d) {
        Click(d, "gatewayRadio");
        editorAnswers = {kGatewayPlc, kDirectPlc};
        Click(d, "changeButton");
        Click(d, "closeButton");
    });
    const std::string direct = startup->Commu().DirectDeviceString();
    ASSERT_NE(direct.find("DNA:4;"), std::string::npos) << direct;
    // "終了", not saving the document the dialog marked as changed.
    prompter.answers = {PromptAnswer::No};
    w->RunCommand(1);
    EXPECT_FALSE(w->isVisible());
    startup.reset();

    const CProfileFile profile(Path("profile.ini"));
    auto value = [&](const char* key) { return profile.ReadString("VLCProject", key, 2049); };
    EXPECT_EQ(value("PLCConfig"), direct);
    EXPECT_EQ(value("PLCComment"), "scripted");
    EXPECT_EQ(value("GPLCConfig"), kGatewayPlc);
    EXPECT_EQ(value("GPLCComment"), "scripted");
    EXPECT_EQ(value("ConnectionType"), "1");

    editorCalls.clear();
    prompter.shown.clear();
    ASSERT_TRUE(Start({}));
    w = startup->Window();
    w->show();
    EXPECT_EQ(w->StatusText(), QString::fromUtf8("接続先: ﾈｯﾄ:4 ﾉｰﾄﾞ:9 ﾕﾆｯﾄ:0  10進表示"));
    RunDialog([&](QDialog& d) {
        EXPECT_TRUE(d.findChild<QRadioButton*>("gatewayRadio")->isChecked());
        EXPECT_EQ(Field(d, "gatewayField").toStdString(), "VR4K-MPU-A1");
        EXPECT_EQ(Field(d, "plcField").toStdString(), "VR4H-MPU-90");
        Click(d, "closeButton");
    });
    EXPECT_EQ(editorCalls, std::vector<std::string>{}) << "nothing was entered again";
    EXPECT_EQ(ShownIds(), std::vector<int>{});
}

TEST_F(CommSettingDlgTest, CancelledEditAndTheCloseBoxKeepTheRecord) {
    std::string plcBefore;
    RunDialog([&](QDialog& d) {
        plcBefore = Field(d, "plcField").toStdString();
        Click(d, "gatewayRadio");
        editorAnswers.clear();  // the entry editor is cancelled
        Click(d, "changeButton");
        EXPECT_EQ(editorCalls, std::vector<std::string>{CCommuProcess::kGatewayEntry});
        EXPECT_EQ(startup->Commu().m_connectionType, 0);
        EXPECT_EQ(Field(d, "gatewayField"), "");
        EXPECT_EQ(Field(d, "plcField").toStdString(), plcBefore);
        EXPECT_FALSE(startup->App().modified);

        Units(d)->setCurrentIndex(5);
        EXPECT_TRUE(startup->App().modified);
        d.close();  // the close box
    });
    EXPECT_FALSE(plcBefore.empty());
    EXPECT_EQ(startup->Record().unitNumber, 0u);
    EXPECT_EQ(startup->Commu().m_unitNumber, 0);
    EXPECT_EQ(startup->Record().targetPlcNumber, 0u);
    EXPECT_TRUE(startup->App().modified);
    EXPECT_NE(w->StatusText().indexOf(QString::fromUtf8("ﾕﾆｯﾄ:0 ")), -1);
    EXPECT_EQ(ShownIds(), std::vector<int>{});
}

}  // namespace
