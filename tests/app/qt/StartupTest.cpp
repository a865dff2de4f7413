#include <QApplication>
#include <QSettings>
#include <QSplashScreen>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>

#include "app/qt/LinkSmithDlg.h"
#include "comm/CommuProcess.h"
#include "model/Messages.h"
#include "tests/app/qt/StartupFixture.h"

namespace {

namespace fs = std::filesystem;

constexpr int kLaunchSwitchesMalformed = 32900;
constexpr int kLaunchFileUnreadable = 32901;

const char kRelayConfig[] = "[DEV]DEV:VR4H;CPU:MPU90;[NET]FRAME:1004;NET:HWSP;TMO:3000;";
const char kTargetConfig[] = "[DEV]DEV:VR4K;CPU:MPU_A1;[NET]FRAME:1004;NET:ETHER;TMO:3000;[ADDRESS]DNA:1;DA1:2;";

// A launch file as the suite's tools write it: a gateway PLC, the target PLC behind it and the
// FL-net unit on the target.
std::string LaunchFile(const std::string& relayConfig, const std::string& targetConfig, const char* unit = "3") {
    return std::string("[RelayPLC]\r\nName:=\"GW1\"\r\nModelName:=\"VR4H\"\r\nConfig:=\"") + relayConfig +
           "\"\r\n[TargetCompo]\r\nName:=\"PLC1\"\r\nModelName:=\"VR4K\"\r\nConfig:=\"" + targetConfig +
           "\"\r\nNetworkAddress:=\"5\"\r\nNodeAddress:=\"6\"\r\n[TargetSIOU]\r\nUnitNumber:=\"" + unit + "\"\r\n";
}

class StartupTest : public StartupFixture {
protected:
    CLinkSmithDlg& Window() { return *startup->Window(); }
    std::string NetValue(const std::string& deviceString, const char* key) {
        return startup->Middleware().ReadDeviceValue(deviceString, "NET", key);
    }
};

TEST_F(StartupTest, WithoutArgumentsAnUntitledDocumentStartsInTheSuitesFolder) {
    {
        QSettings suite(dir.filePath("QUORVEX/Toolvane.ini"), QSettings::IniFormat);
        suite.setValue("FileSavePath", "/srv/plant/settings");
    }
    ASSERT_TRUE(Start({}));
    EXPECT_EQ(ShownIds(), std::vector<int>{});
    EXPECT_EQ(Window().windowTitle(), QString::fromUtf8("無題 - LinkSmith"));
    EXPECT_EQ(Window().Document(), CLinkSmithDlg::kNewDocument);
    EXPECT_EQ(startup->App().documentFolder, "/srv/plant/settings") << "used as it is, no separator added";
    EXPECT_EQ(startup->App().launch.launchedFromFile, 0);
    EXPECT_FALSE(startup->App().modified);
    EXPECT_EQ(Window().findChild<QWidget*>("simulatedPane"), nullptr);
    EXPECT_EQ(startup->Splash(), nullptr);
    EXPECT_FALSE(startup->Simulated());
}

TEST_F(StartupTest, SettingsFileNamedOnTheCommandLineIsOpened) {
    const std::string path = Path("line 1.lsm");
    fs::copy_file(LINKSMITH_EXAMPLES_DIR "/plant-line1.lsm", path);
    ASSERT_TRUE(Start({path}));
    EXPECT_EQ(ShownIds(), std::vector<int>{});
    EXPECT_EQ(Window().windowTitle(), QString::fromUtf8("line 1.lsm - LinkSmith"));
    EXPECT_EQ(Window().Document(), CLinkSmithDlg::kSettingsFile);
    EXPECT_EQ(startup->App().documentFolder, dir.path().toStdString() + "/");
    EXPECT_EQ(Window().Recent().Paths(), std::vector<std::string>{path});
    EXPECT_EQ(startup->Record().unitNumber, 2u);
    EXPECT_EQ(startup->Commu().m_unitNumber, 2) << "commands go to the file's unit";
    EXPECT_NE(Window().StatusText().indexOf(QString::fromUtf8("ﾕﾆｯﾄ:2 ")), -1) << Window().StatusText().toStdString();
    EXPECT_EQ(Window().MappingPage().Values().entryCount, 6u);
    EXPECT_FALSE(startup->App().modified);

    startup.reset();  // the recent-file list is kept for the next start
    ASSERT_TRUE(Start({}));
    EXPECT_EQ(Window().Recent().Paths(), std::vector<std::string>{path});
    EXPECT_EQ(startup->App().documentFolder, dir.path().toStdString() + "/");
}

TEST_F(StartupTest, SettingsFileThatCannotBeReadGivesTheMessageThenAnEmptyDocument) {
    const std::string folderNamedLikeAFile = Path("folder.lsm");
    fs::create_directory(folderNamedLikeAFile);
    for (const std::string& path : {Path("gone.lsm"), folderNamedLikeAFile}) {
        SCOPED_TRACE(path);
        prompter.shown.clear();
        ASSERT_TRUE(Start({path})) << "the program still starts";
        ASSERT_EQ(ShownIds(), std::vector<int>{Msg::kFileNotFound});
        EXPECT_EQ(Window().Document(), CLinkSmithDlg::kNewDocument);
        EXPECT_EQ(Window().windowTitle(), QString::fromUtf8("無題 - LinkSmith")) << "the title names no file";
        EXPECT_TRUE(Window().Recent().Paths().empty());
        EXPECT_EQ(Window().MappingPage().Values().entryCount, 0u);
        EXPECT_FALSE(startup->App().modified);
        // Saving it asks for a file: it is a new document.
        dialogs.savePaths.clear();
        Window().SetModified();
        Window().RunCommand(32774);
        EXPECT_EQ(dialogs.saveAsked, 1);
        dialogs.saveAsked = 0;
        startup.reset();
    }
    EXPECT_TRUE(fs::is_directory(folderNamedLikeAFile));
}

TEST_F(StartupTest, EveryLaunchFormReadsTheLaunchFileAndDeletesIt) {
    struct Form {
        std::vector<std::string> args;  // "@" stands for the launch file
        const char* mode;
        const char* fileName;
    };
    const Form forms[] = {
        {{"/n", "/off", "@"}, "/off", "plc.cfg"},
        {{"/n", "/on", "@"}, "/on", "plc.cfg"},
        {{"/n", "/off", "@"}, "/off", "PLC.CFG"},
        {{"/n", "@", "ignored"}, "", "plc.cfg"},
        {{"--simulate", "/n", "/on", "@"}, "/on", "plc.cfg"},
        {{"/n", "/off", "@", "--simulate"}, "/off", "plc.cfg"},
    };
    for (const Form& form : forms) {
        const std::string file = Write(form.fileName, LaunchFile(kRelayConfig, kTargetConfig));
        std::vector<std::string> args = form.args;
        for (std::string& a : args)
            if (a == "@") a = file;
        SCOPED_TRACE(::testing::PrintToString(args));
        prompter.shown.clear();
        ASSERT_TRUE(Start(args));
        EXPECT_EQ(ShownIds(), std::vector<int>{});
        EXPECT_FALSE(fs::exists(file)) << "deleted after a successful read";
        const LaunchParameters& launch = startup->App().launch;
        EXPECT_EQ(launch.firstSwitch, "/n");
        EXPECT_EQ(launch.modeSwitch, form.mode);
        EXPECT_EQ(launch.launchFilePath, file);
        EXPECT_EQ(launch.launchedFromFile, 1);
        EXPECT_EQ(launch.unitNumber, 3);
        EXPECT_EQ(Window().Document(), CLinkSmithDlg::kNewDocument);
        EXPECT_EQ(Window().windowTitle(), QString::fromUtf8("無題 - LinkSmith"));
        // The mode switch changes nothing else: the extension settings stay as they were.
        EXPECT_FALSE(Window().ExtensionOn());
        EXPECT_EQ(Window().Tabs()->count(), 3);
        const bool simulated = std::find(args.begin(), args.end(), "--simulate") != args.end();
        EXPECT_EQ(startup->Simulated(), simulated);
        EXPECT_EQ(Window().findChild<QWidget*>("simulatedPane") != nullptr, simulated);
        startup.reset();
    }
}

TEST_F(StartupTest, LaunchFileValuesLandInTheConnectionTheRecordAndTheStatusBar) {
    const std::string file = Write("plc.cfg", LaunchFile(kRelayConfig, kTargetConfig));
    ASSERT_TRUE(Start({"/n", "/off", file}));
    EXPECT_EQ(ShownIds(), std::vector<int>{});
    const LaunchParameters& launch = startup->App().launch;
    EXPECT_EQ(launch.relayPlcName, "GW1");
    EXPECT_EQ(launch.targetPlcName, "PLC1");
    EXPECT_EQ(launch.relayConfig, kRelayConfig);
    EXPECT_EQ(launch.networkAddress, 5);
    EXPECT_EQ(launch.nodeAddress, 6);

    CCommuProcess& commu = startup->Commu();
    // The target becomes the direct entry, reached through the gateway PLC of the relay.
    EXPECT_EQ(commu.m_connectionType, 1);
    EXPECT_EQ(commu.GatewayDeviceString(), kRelayConfig);
    EXPECT_EQ(NetValue(commu.DirectDeviceString(), "GATE"), "Gateway");
    EXPECT_EQ(NetValue(commu.DirectDeviceString(), "TMO"), "5000");
    EXPECT_EQ(NetValue(commu.GatewayDeviceString(), "TMO"), "3000") << "only the target gets the time-out";
    EXPECT_EQ(startup->Middleware().ReadDeviceValue(commu.DirectDeviceString(), "DEV", "CPU"), "MPU_A1");
    EXPECT_EQ(startup->Record().targetPlc, commu.DirectDeviceString());
    EXPECT_EQ(startup->Record().relayPlc, kRelayConfig);
    EXPECT_EQ(startup->Record().targetPlcNumber, 1u);

    // The unit number is the record's default and the unit the commands address.
    EXPECT_EQ(startup->Record().unitNumber, 3u);
    EXPECT_EQ(commu.m_unitNumber, 3);
    // The addresses shown are the target's own; the launch file's are only kept.
    EXPECT_EQ(Window().StatusText(), QString::fromUtf8("接続先: ﾈｯﾄ:1 ﾉｰﾄﾞ:2 ﾕﾆｯﾄ:3  10進表示"));

    // A new document goes back to unit 0 everywhere; the connection stays.
    Window().RunCommand(32771);
    EXPECT_EQ(startup->Record().unitNumber, 0u);
    EXPECT_EQ(commu.m_unitNumber, 0);
    EXPECT_EQ(startup->App().launch.unitNumber, 0);
    EXPECT_EQ(commu.m_connectionType, 1);
    EXPECT_EQ(Window().StatusText(), QString::fromUtf8("接続先: ﾈｯﾄ:1 ﾉｰﾄﾞ:2 ﾕﾆｯﾄ:0  10進表示"));
}

TEST_F(StartupTest, TargetEqualToTheRelayIsADirectConnectionWithOnlyTheTimeOutEdited) {
    const std::string file = Write("plc.cfg", LaunchFile(kTargetConfig, kTargetConfig, "0"));
    ASSERT_TRUE(Start({"/n", "/on", file}));
    EXPECT_EQ(ShownIds(), std::vector<int>{});
    CCommuProcess& commu = startup->Commu();
    EXPECT_EQ(startup->App().launch.relayConfig, "");
    EXPECT_EQ(commu.m_connectionType, 0);
    EXPECT_EQ(NetValue(commu.DirectDeviceString(), "GATE"), "");
    EXPECT_EQ(NetValue(commu.DirectDeviceString(), "TMO"), "5000");
    EXPECT_EQ(startup->Record().targetPlcNumber, 0u);
    EXPECT_FALSE(fs::exists(file));
}

TEST_F(StartupTest, LaunchFileThatCannotBeReadEndsTheStartAndIsKept) {
    const std::string folder = Path("folder.cfg");
    fs::create_directory(folder);
    for (const std::string& path : {Path("missing.cfg"), folder}) {
        SCOPED_TRACE(path);
        prompter.shown.clear();
        EXPECT_FALSE(Start({"/n", "/off", path}));
        ASSERT_EQ(ShownIds(), std::vector<int>{kLaunchFileUnreadable});
        EXPECT_EQ(prompter.shown[0].icon, PromptIcon::Stop);
        EXPECT_EQ(startup->Window(), nullptr) << "no main window is made";
    }
    EXPECT_TRUE(fs::is_directory(folder));
}

TEST_F(StartupTest, MalformedLaunchSwitchesEndTheStartAndKeepTheFile) {
    const std::string file = Write("plc.cfg", LaunchFile(kRelayConfig, kTargetConfig));
    const std::vector<std::vector<std::string>> bad = {
        {"/N", "/off", file},          // the switch is case-sensitive
        {"/n", "/off", Path("plc.txt")},  // not a launch file
        {"/n", "/OFF", file},          // "/OFF" is not a mode switch, so the launch file would be "/OFF"
    };
    for (const auto& args : bad) {
        SCOPED_TRACE(::testing::PrintToString(args));
        prompter.shown.clear();
        EXPECT_FALSE(Start(args));
        ASSERT_EQ(ShownIds(), std::vector<int>{kLaunchSwitchesMalformed});
        EXPECT_EQ(prompter.shown[0].icon, PromptIcon::Stop);
        EXPECT_EQ(startup->Window(), nullptr);
    }
    // Two arguments are never launch switches: a plain start, the file untouched.
    prompter.shown.clear();
    ASSERT_TRUE(Start({"/n", file}));
    EXPECT_EQ(ShownIds(), std::vector<int>{});
    EXPECT_EQ(startup->App().launch.launchedFromFile, 0);
    EXPECT_EQ(Window().Document(), CLinkSmithDlg::kNewDocument);
    EXPECT_TRUE(fs::exists(file));
}

TEST_F(StartupTest, SimulateShowsTheExtraStatusBarPane) {
    ASSERT_TRUE(Start({"--simulate"}));
    EXPECT_TRUE(startup->Simulated());
    auto* pane = Window().findChild<QWidget*>("simulatedPane");
    ASSERT_NE(pane, nullptr);
    EXPECT_EQ(pane->parentWidget(), Window().statusBar());
    Window().show();
    EXPECT_TRUE(pane->isVisible());
    // The simulated unit answers: the model check of a status view passes.
    EXPECT_TRUE(startup->Commu().OpenPlc());
    EXPECT_TRUE(Window().Workflow().CheckUnitModel());
    startup->Commu().ClosePlc();
    EXPECT_EQ(ShownIds(), std::vector<int>{});
}

TEST_F(StartupTest, SplashClosesByItselfWhileTheWindowIsUp) {
    auto options = Options();
    options.splashMilliseconds = 30;
    startup = std::make_unique<CLinkSmithStartup>(options);
    ASSERT_TRUE(startup->Start({}));
    ASSERT_NE(startup->Splash(), nullptr);
    EXPECT_TRUE(startup->Splash()->isVisible());
    startup->Window()->show();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !startup->Splash()->isVisible(); }, 2000));
    EXPECT_TRUE(startup->Window()->isVisible());
}

TEST_F(StartupTest, JunkInALaunchFileNeverStopsTheStart) {
    std::string junk;
    for (int i = 0; i < 4000; ++i) junk.push_back(static_cast<char>((i * 7919) & 0xFF));  // NULs and quotes too
    struct Case {
        std::string bytes;
        std::vector<int> ids;
    };
    const Case cases[] = {
        {"", {}},    // no key at all: a plain start with the usual entries
        {junk, {}},
        {"[TargetCompo]\r\nConfig:=\"" + junk + "\"\r\n", {}},
        // Values far beyond any buffer: the entry is refused by the middleware once, then the
        // default entry is used.
        {"[TargetCompo]\r\nConfig:=\"" + std::string(200000, 'A') + "\"\r\nName:=\"" + std::string(100000, 'B') +
             "\"\r\n",
         {32849}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes.size());
        const std::string file = Write("junk.cfg", c.bytes);
        prompter.shown.clear();
        ASSERT_TRUE(Start({"/n", "/off", file}));
        EXPECT_EQ(ShownIds(), c.ids);
        EXPECT_FALSE(fs::exists(file)) << "it was read";
        EXPECT_EQ(startup->Record().unitNumber, 0u);
        EXPECT_EQ(startup->Commu().m_unitNumber, 0);
        EXPECT_EQ(NetValue(startup->Commu().DirectDeviceString(), "TMO"), "5000");
        EXPECT_EQ(Window().Document(), CLinkSmithDlg::kNewDocument);
        startup.reset();
    }
}

TEST_F(StartupTest, LaunchFileNamingAUnitNumberOutsideTheRangeIsRefusedAndKept) {
    for (const char* unit : {"16", "-1", "99"}) {
        SCOPED_TRACE(unit);
        const std::string file = Write("plc.cfg", LaunchFile(kRelayConfig, kTargetConfig, unit));
        prompter.shown.clear();
        EXPECT_FALSE(Start({"/n", "/off", file}));
        ASSERT_EQ(ShownIds(), std::vector<int>{kLaunchFileUnreadable});
        EXPECT_EQ(prompter.shown[0].icon, PromptIcon::Stop);
        EXPECT_TRUE(fs::exists(file));
        EXPECT_EQ(startup->Window(), nullptr);
    }
    const std::string file = Write("plc.cfg", LaunchFile(kRelayConfig, kTargetConfig, "15"));
    ASSERT_TRUE(Start({"/n", "/off", file}));
    EXPECT_EQ(startup->Commu().m_unitNumber, 15);
}

}  // namespace
