#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QProcess>
#include <QSettings>
#include <QSplashScreen>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <cstring>
#include <iterator>

#include "app/qt/LinkSmithDlg.h"
#include "comm/CommuProcess.h"
#include "comm/ProfileFile.h"
#include "comm/ZephDatagram.h"
#include "model/Messages.h"
#include "sim/SimServer.h"
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

std::string FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
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
    // The first argument that is not a switch is the file; switches and later words are not used.
    const std::vector<std::vector<std::string>> forms = {
        {path}, {path, "more"}, {"-x", path, "more", "words"}, {"/n", path}, {"/p", path, Path("other.lsm"), "x"},
    };
    for (const auto& args : forms) {
        SCOPED_TRACE(::testing::PrintToString(args));
        ASSERT_TRUE(Start(args));
        EXPECT_EQ(ShownIds(), std::vector<int>{});
        EXPECT_EQ(Window().windowTitle(), QString::fromUtf8("line 1.lsm - LinkSmith"));
        EXPECT_EQ(Window().Document(), CLinkSmithDlg::kSettingsFile);
        EXPECT_EQ(startup->App().documentFolder, dir.path().toStdString() + "/");
        EXPECT_EQ(Window().Recent().Paths().front(), path);
        EXPECT_EQ(startup->Record().unitNumber, 2u);
        EXPECT_EQ(startup->Commu().m_unitNumber, 2) << "commands go to the file's unit";
        EXPECT_NE(Window().StatusText().indexOf(QString::fromUtf8("ﾕﾆｯﾄ:2 ")), -1) << Window().StatusText().toStdString();
        EXPECT_EQ(Window().MappingPage().Values().entryCount, 6u);
        EXPECT_FALSE(startup->App().modified);
        EXPECT_EQ(startup->App().launch.launchedFromFile, 0);
        startup.reset();  // the recent-file list is kept for the next start
    }
    ASSERT_TRUE(Start({}));
    EXPECT_EQ(Window().Recent().Paths(), std::vector<std::string>{path});
    EXPECT_EQ(startup->App().documentFolder, dir.path().toStdString() + "/");
}

TEST_F(StartupTest, OlderVersionFileNamedOnTheCommandLineIsReadAsOneAndNotOverwritten) {
    const std::string path = Path("LINE1.CSV");
    fs::copy_file(LINKSMITH_EXAMPLES_DIR "/plant-line1-old.csv", path);
    const std::string before = FileBytes(path);
    ASSERT_TRUE(Start({path}));
    EXPECT_EQ(ShownIds(), std::vector<int>{});
    EXPECT_EQ(Window().Document(), CLinkSmithDlg::kOldVersionFile);
    // Keys only the older layout has: the unit number and the second area's offsets.
    EXPECT_EQ(startup->Record().unitNumber, 2u);
    EXPECT_EQ(Window().MappingPage().Values().entries[1].area2Offset, 100);
    // Saving asks for a new file name; the older file stays as it was.
    dialogs.savePaths = {Path("line1.lsm")};
    Window().SetModified();
    Window().RunCommand(32774);
    EXPECT_EQ(dialogs.saveAsked, 1);
    EXPECT_EQ(Window().Document(), CLinkSmithDlg::kSettingsFile);
    EXPECT_EQ(FileBytes(path), before);
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
    // Two arguments are never launch switches: the file is not read as a launch file (it is the
    // first argument that is no switch, so it is opened as a document) and is kept.
    prompter.shown.clear();
    ASSERT_TRUE(Start({"/n", file}));
    EXPECT_EQ(startup->App().launch.launchedFromFile, 0);
    EXPECT_EQ(startup->App().launch.unitNumber, 0);
    EXPECT_EQ(startup->App().documentFileName, "plc.cfg");
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

// The entries a launch file named are kept when the program ends through its event loop (here
// after its window picture), and the next start without a launch file connects the same way.
TEST_F(StartupTest, LaunchFileEntriesOutliveTheProgramAndServeTheNextStart) {
    const std::string file = Write("plc.cfg", LaunchFile(kRelayConfig, kTargetConfig));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_CONFIG_HOME", dir.path());
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("LINKSMITH_SCREENSHOT", dir.filePath("window.png"));
    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(LINKSMITH_PROGRAM, {"/n", "/off", QString::fromStdString(file)});
    ASSERT_TRUE(program.waitForFinished(60000));
    EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();
    EXPECT_FALSE(fs::exists(file));

    const std::string profilePath = Path("LinkSmith/LinkSmith.ini");
    const CProfileFile profile(profilePath);
    auto value = [&](const char* key) { return profile.ReadString("VLCProject", key, 2049); };
    const std::string direct = value("PLCConfig");
    for (const char* edited : {"GATE:Gateway;", "TMO:5000;", "DNA:1;"})
        EXPECT_NE(direct.find(edited), std::string::npos) << direct;
    EXPECT_EQ(value("GPLCConfig"), kRelayConfig);
    EXPECT_EQ(value("ConnectionType"), "1");

    auto options = Options();
    options.profileFile = profilePath;
    startup = std::make_unique<CLinkSmithStartup>(options);
    ASSERT_TRUE(startup->Start({}));
    EXPECT_EQ(ShownIds(), std::vector<int>{});
    EXPECT_EQ(startup->Commu().m_connectionType, 1);
    EXPECT_EQ(startup->Commu().DirectDeviceString(), direct);
    EXPECT_EQ(startup->Commu().GatewayDeviceString(), kRelayConfig);
    EXPECT_EQ(Window().StatusText(), QString::fromUtf8("接続先: ﾈｯﾄ:1 ﾉｰﾄﾞ:2 ﾕﾆｯﾄ:0  10進表示"));
}

// The sample file with its "Unit Number" line replaced (or left out when line is empty).
std::string SampleWithUnitLine(const std::string& line) {
    std::string text = FileBytes(LINKSMITH_EXAMPLES_DIR "/plant-line1.lsm");
    const size_t at = text.find(",Unit Number,2\r\n");
    EXPECT_NE(at, std::string::npos);
    return text.replace(at, std::strlen(",Unit Number,2\r\n"), line.empty() ? "" : line + "\r\n");
}

// After every launch, load, new and read the status bar names the unit that the commands then
// address (a read from the unit is tried each time, answered or not).
TEST_F(StartupTest, CommandsAddressTheUnitTheStatusBarShows) {
    const std::string unit5 = Write("unit5.lsm", SampleWithUnitLine(",Unit Number,5"));
    const std::string noUnit = Write("nounit.lsm", SampleWithUnitLine(""));
    const std::string launch = Write("plc.cfg", LaunchFile(kRelayConfig, kTargetConfig, "3"));
    ASSERT_TRUE(Start({"--simulate", "/n", "/off", launch}));
    Window().show();
    std::vector<unsigned> units;
    startup->Middleware().SetFrameLog([&units](bool outgoing, const std::vector<uint8_t>& bytes) {
        ZephDatagram d;
        if (outgoing && DecodeDatagram(bytes.data(), bytes.size(), &d) == DatagramCheck::Ok &&
            d.destination.unit < 0x10)  // 0x10 is the PLC's CPU
            units.push_back(d.destination.unit);
    });
    auto expectUnit = [&](unsigned unit, const char* step) {
        SCOPED_TRACE(step);
        EXPECT_EQ(startup->Record().unitNumber, unit);
        const QString shown = QString::fromUtf8("ﾕﾆｯﾄ:%1 ").arg(unit);
        EXPECT_NE(Window().StatusText().indexOf(shown), -1) << Window().StatusText().toStdString();
        units.clear();
        Window().RunCommand(32783);  // transfer from the PLC
        ASSERT_FALSE(units.empty());
        for (unsigned sent : units) EXPECT_EQ(sent, unit);
        EXPECT_NE(Window().StatusText().indexOf(shown), -1) << "a read keeps the unit";
        ASSERT_FALSE(startup->App().modified) << "the next step asks nothing";
    };
    auto open = [&](const std::string& path) {
        dialogs.openPaths = {path};
        Window().RunCommand(32773);
    };
    expectUnit(3, "launch");
    open(unit5);
    expectUnit(5, "file naming unit 5");
    open(noUnit);
    expectUnit(3, "file naming no unit: the launch's");
    Window().RunCommand(32771);
    expectUnit(0, "new");
    open(unit5);
    expectUnit(5, "file naming unit 5 again");
    open(noUnit);
    expectUnit(0, "file naming no unit after new");
}

TEST_F(StartupTest, NewShowsTheUnitInformationOfNewSettings) {
    std::string text = FileBytes(LINKSMITH_EXAMPLES_DIR "/plant-line1.lsm");
    text.replace(0, std::strlen("Type,VR4K-LUX22,\r\nVersion,1,"), "Type,VR4K-LUX01,\r\nVersion,2,");
    ASSERT_TRUE(Start({Write("lux01.lsm", text)}));
    auto info = [&](const char* name) { return Window().findChild<QLineEdit*>(name)->text().toStdString(); };
    EXPECT_EQ(info("modelNameEdit"), "VR4K-LUX01");
    EXPECT_EQ(info("protocolVersionEdit"), "2");
    Window().RunCommand(32771);
    EXPECT_EQ(info("modelNameEdit"), "VR4K-LUX22");
    EXPECT_EQ(info("protocolVersionEdit"), "1");
    EXPECT_EQ(info("vendorNameEdit"), "");
    EXPECT_EQ(info("softwareVersionEdit"), "");
    EXPECT_EQ(info("unitIpAddressEdit"), "0.0.0.0");
}

// ---- --scenario and the status view picture ----

const char kScenario[] = LINKSMITH_EXAMPLES_DIR "/scenario-faults.txt";

class ScenarioStartupTest : public StartupTest {
protected:
    // The sample settings file: unit 2, as the scenario.
    std::string SettingsFile() {
        const std::string path = Path("line1.lsm");
        if (!fs::exists(path)) fs::copy_file(LINKSMITH_EXAMPLES_DIR "/plant-line1.lsm", path);
        return path;
    }
    // The status records as the window's communication object reads them from the unit.
    void ReadStatus() {
        CCommuProcess& commu = startup->Commu();
        ASSERT_TRUE(commu.OpenPlc());
        EXPECT_TRUE(commu.ReadDataLinkStatus());
        EXPECT_TRUE(commu.ReadNetworkStatus());
        EXPECT_TRUE(commu.ReadErrorStatusWord());
        EXPECT_TRUE(commu.ReadCycleTime());
        commu.ClosePlc();
    }
};

TEST_F(ScenarioStartupTest, ScenarioGivesTheSimulatedUnitItsStatusInEveryForm) {
    const std::string before = FileBytes(kScenario);
    const std::string file = SettingsFile();
    const std::vector<std::vector<std::string>> forms = {
        {"--scenario", kScenario, file},
        {file, std::string("--scenario=") + kScenario},
        {"--simulate", "--scenario", kScenario, file},
    };
    for (const auto& args : forms) {
        SCOPED_TRACE(::testing::PrintToString(args));
        prompter.shown.clear();
        ASSERT_TRUE(Start(args));
        EXPECT_EQ(ShownIds(), std::vector<int>{});
        EXPECT_TRUE(startup->Simulated()) << "--scenario implies the simulated unit";
        EXPECT_NE(Window().findChild<QWidget*>("simulatedPane"), nullptr);
        EXPECT_EQ(Window().Document(), CLinkSmithDlg::kSettingsFile) << "the file is still opened";
        ReadStatus();
        EXPECT_EQ(ShownIds(), std::vector<int>{});
        const StatusArea& status = startup->Record().status;
        // participate 1 2 3 4
        EXPECT_NE(status.participation[4], 0u);
        EXPECT_EQ(status.participation[5], 0u);
        // nodestatus 3 11: area allocation error, joined, upper layer running
        EXPECT_NE(status.nodeStatus[2].areaAllocError, 0u);
        EXPECT_NE(status.nodeStatus[2].participating, 0u);
        EXPECT_EQ(status.nodeStatus[2].upperLayerError, 0u);
        EXPECT_NE(status.nodeStatus[2].upperLayerRunning, 0u);
        // nodestatus 5 4: dropped out with an upper layer error
        EXPECT_EQ(status.nodeStatus[4].participating, 0u);
        EXPECT_NE(status.nodeStatus[4].upperLayerError, 0u);
        EXPECT_EQ(status.errorStatusWord, 0x8041);
        // cycle 1 10 50 48 60 3
        EXPECT_EQ(status.cycleTime.tokenNode, 1);
        EXPECT_EQ(status.cycleTime.refreshCurrent, 48);
        EXPECT_EQ(status.cycleTime.refreshMaximum, 60);
        EXPECT_EQ(status.cycleTime.refreshMinimum, 3);
        startup.reset();
    }
    EXPECT_EQ(FileBytes(kScenario), before) << "the scenario is not written back";

    // Without a scenario the simulated unit has none of it.
    ASSERT_TRUE(Start({"--simulate", file}));
    ReadStatus();
    EXPECT_EQ(startup->Record().status.errorStatusWord, 0);
    EXPECT_EQ(startup->Record().status.nodeStatus[2].areaAllocError, 0u);
}

TEST_F(ScenarioStartupTest, ScenarioIsNoLaunchArgument) {
    const std::string file = Write("plc.cfg", LaunchFile(kRelayConfig, kTargetConfig, "2"));
    ASSERT_TRUE(Start({"--scenario", kScenario, "/n", "/off", file}));
    EXPECT_EQ(startup->App().launch.launchedFromFile, 1);
    EXPECT_EQ(startup->App().launch.modeSwitch, "/off");
    EXPECT_FALSE(fs::exists(file));
    EXPECT_EQ(startup->Commu().m_unitNumber, 2);
}

TEST_F(ScenarioStartupTest, ScenarioThatCannotBeLoadedEndsTheStartBeforeAnythingElse) {
    const std::string missing = Path("missing.txt");
    const std::string unknownKey = Write("bad.txt", "unit 2\nfrobnicate 1\n");
    const std::string folder = dir.path().toStdString();
    struct Case {
        std::vector<std::string> args;  // the launch switches follow
        std::string said;               // on stderr
    };
    const Case cases[] = {
        {{"--scenario", missing}, missing},
        {{"--scenario", unknownKey}, "frobnicate"},
        {{"--scenario", folder}, "cannot open"},
        {{"--scenario="}, "--scenario needs a file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        const std::string launch = Write("plc.cfg", LaunchFile(kRelayConfig, kTargetConfig, "2"));
        std::vector<std::string> args = c.args;
        for (const char* a : {"/n", "/off"}) args.push_back(a);
        args.push_back(launch);
        prompter.shown.clear();
        ::testing::internal::CaptureStderr();
        EXPECT_FALSE(Start(args));
        const std::string said = ::testing::internal::GetCapturedStderr();
        EXPECT_NE(said.find("linksmith: "), std::string::npos) << said;
        EXPECT_NE(said.find(c.said), std::string::npos) << said;
        EXPECT_EQ(startup->Window(), nullptr);
        EXPECT_EQ(ShownIds(), std::vector<int>{});
        EXPECT_TRUE(fs::exists(launch)) << "the launch file is kept for the next try";
    }
    // The option as the last argument, without its file.
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(Start({SettingsFile(), "--scenario"}));
    EXPECT_NE(::testing::internal::GetCapturedStderr().find("--scenario needs a file"), std::string::npos);
    EXPECT_EQ(startup->Window(), nullptr);
}

TEST_F(ScenarioStartupTest, StatusViewPictureShowsTheScenarioAndLeavesTheWindowIdle) {
    EXPECT_EQ(StatusViewCommand("network"), 33044);
    EXPECT_EQ(StatusViewCommand("datalink"), 32786);
    EXPECT_EQ(StatusViewCommand("cycletime"), 32788);
    for (const char* name : {"", "Network", "network ", "status"}) EXPECT_EQ(StatusViewCommand(name), 0) << name;

    // A short command timeout for the unit that stops answering below.
    ASSERT_TRUE(CProfileFile(Path("profile.ini"))
                    .WriteString("VLCProject", "PLCConfig", "[DEV]DEV:VR4H;CPU:MPU90;[NET]FRAME:1004;NET:HWSP;TMO:200;"));
    ASSERT_TRUE(Start({"--scenario", kScenario, SettingsFile()}));
    Window().show();
    const QString file = dir.filePath("view.png");
    ASSERT_TRUE(SaveStatusViewPicture(Window(), 33044, file));
    EXPECT_EQ(ShownIds(), std::vector<int>{});
    QImage picture(file);
    ASSERT_FALSE(picture.isNull());
    EXPECT_GT(picture.width(), 300);
    // Node 3's area allocation error and node 4's upper layer error: cells in red.
    int red = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) red += picture.pixelColor(x, y) == QColor(255, 0, 0);
    EXPECT_GT(red, 100);
    EXPECT_TRUE(Window().isEnabled());
    EXPECT_FALSE(Window().Busy());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    // A unit that does not answer: no view, no picture.
    SimFaults drop;
    drop.dropFraction = 1;
    startup->Simulator()->SetFaults(drop);
    EXPECT_FALSE(SaveStatusViewPicture(Window(), 33044, dir.filePath("none.png")));
    EXPECT_FALSE(fs::exists(Path("none.png")));
    EXPECT_FALSE(Window().Busy());
}

TEST_F(ScenarioStartupTest, StatusViewPictureDismissesTheMessageOfAUnitThatDoesNotAnswer) {
    ASSERT_TRUE(CProfileFile(Path("profile.ini"))
                    .WriteString("VLCProject", "PLCConfig", "[DEV]DEV:VR4H;CPU:MPU90;[NET]FRAME:1004;NET:HWSP;TMO:200;"));
    auto options = Options();
    options.prompter = nullptr;  // real message boxes, as the unattended program shows them
    startup = std::make_unique<CLinkSmithStartup>(options);
    ASSERT_TRUE(startup->Start({"--scenario", kScenario, SettingsFile()}));
    Window().show();
    SimFaults drop;
    drop.dropFraction = 1;
    startup->Simulator()->SetFaults(drop);
    EXPECT_FALSE(SaveStatusViewPicture(Window(), 32786, dir.filePath("none.png")));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_TRUE(Window().isEnabled());
}

}  // namespace
