// The monitor window as the user meets it: opened beside the editor, over the simulated unit,
// showing the unit's state and logging what changes; pausing while the program uses the PLC.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include "app/qt/LinkSmithDlg.h"
#include "comm/CommuProcess.h"
#include "model/FileIo.h"
#include "monitor/MonitorTargets.h"
#include "monitor/qt/MonitorDlg.h"
#include "sim/SimServer.h"
#include "sim/UnitSimulatorAdapter.h"
#include "status/qt/ColorListCtrl.h"
#include "status/qt/LampEdit.h"
#include "tests/app/qt/StartupFixture.h"

namespace {
const char kState[] =
    "participate 1 2 3 4\nnodestatus 1 10\nnodestatus 2 10\nnodestatus 3 11\nnodestatus 4 6\n"
    "errorstatus 0x8041\ncycle 1 10 50 48 60 3\nhistory 0x0201 0x0001 000107042612\n";

template <typename T>
T* Find(QWidget* w, const char* name) {
    return w->findChild<T*>(name);
}

// Rows of the event table as "kind|node|old|new".
std::vector<std::string> EventRows(QWidget* w) {
    auto* t = Find<QTableWidget>(w, "monitorEvents");
    std::vector<std::string> rows;
    for (int r = 0; r < t->rowCount(); ++r)
        rows.push_back((t->item(r, 2)->text() + "|" + t->item(r, 3)->text() + "|" + t->item(r, 4)->text() + "|" +
                        t->item(r, 5)->text())
                           .toStdString());
    return rows;
}

bool HasRow(QWidget* w, const std::string& row) {
    for (const auto& r : EventRows(w))
        if (r == row) return true;
    return false;
}

class MonitorWindow : public ::testing::Test {
protected:
    void SetUp() override {
        auto unit = std::make_unique<CUnitSimulatorAdapter>();
        std::string error;
        ASSERT_TRUE(unit->Unit().LoadStateText(kState, &error)) << error;
        sim.AddPlc(0, 0, std::move(unit));
        window = std::make_unique<CMonitorDlg>(std::vector<MonitorTarget>{CMonitorTargets::Single("", "", 0, 300)}, &sim);
        window->show();
    }
    void Change(const std::function<void(CUnitSimulator&)>& change) {
        sim.WithUnit(0, 0, [&](ISimUnit& u) { change(static_cast<CUnitSimulatorAdapter&>(u).Unit()); });
    }
    bool WaitRounds(int n) {
        const int target = window->Rounds() + n;
        return QTest::qWaitFor([&] { return window->Rounds() >= target; }, 8000);
    }

    CSimServer sim;
    std::unique_ptr<CMonitorDlg> window;
};
}  // namespace

TEST_F(MonitorWindow, ShowsTheUnitAndLogsEachChangeWithFilterAndCsv) {
    ASSERT_TRUE(WaitRounds(1));
    QWidget* w = window.get();
    auto* grid = Find<CColorListCtrl>(w, "monitorDataLink");
    // Node 3 in row 0, column 3: white on blue; node 5 not taking part.
    EXPECT_EQ(grid->CellText(0, 3), "3");
    EXPECT_EQ(grid->CellBackground(0, 3), QColor(0, 0, 255));
    EXPECT_EQ(grid->CellBackground(0, 5), QColor(255, 255, 255));
    auto* nodes = Find<QTableWidget>(w, "monitorNodes");
    ASSERT_EQ(nodes->rowCount(), 4);
    EXPECT_EQ(nodes->item(3, 0)->text(), "4");
    EXPECT_EQ(nodes->item(3, 1)->text(), QString::fromUtf8("停止中"));
    EXPECT_EQ(nodes->item(3, 2)->text(), QString::fromUtf8("異常あり"));
    EXPECT_EQ(Find<CLampEdit>(w, "monitorLamp15")->State(), LampState::On);
    EXPECT_EQ(Find<CLampEdit>(w, "monitorLamp7")->State(), LampState::Off);
    EXPECT_EQ(Find<QLabel>(w, "monitorCycleCurrent")->text(), "48 msec");
    EXPECT_EQ(Find<QLabel>(w, "monitorCycleMax")->text(), "60 msec");
    EXPECT_EQ(Find<QLabel>(w, "monitorCycleMin")->text(), "3 msec");
    EXPECT_NE(Find<QLabel>(w, "monitorLastRead")->text(), "-");
    EXPECT_FALSE(Find<QLabel>(w, "monitorStale")->isVisible());
    EXPECT_TRUE(EventRows(w).empty()) << "the first reading is the state shown, not an event";

    Change([](CUnitSimulator& u) {
        u.SetParticipation(4, false);
        u.SetNodeStatus(4, 4);
        u.SetNodeStatus(2, 2);
        u.SetErrorStatusWord(0x00C1);
        u.AddHistory({0x0234, 0x0056, {0x05, 0x30, 0x21, 0x13, 0x05, 0x10}});
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return HasRow(w, "history|||05/10/21 13:05:30 0234 0056"); }, 8000));
    EXPECT_TRUE(HasRow(w, "datalink|4|in|out"));
    EXPECT_TRUE(HasRow(w, "upper-layer|2|running|stopped"));
    EXPECT_TRUE(HasRow(w, "error-bit|bit 15 EEP-ROM異常|on|off"));
    EXPECT_TRUE(HasRow(w, "error-bit|bit 7 P/S　供給中|off|on"));
    EXPECT_EQ(Find<CLampEdit>(w, "monitorLamp7")->State(), LampState::On);
    EXPECT_EQ(grid->CellBackground(0, 4), QColor(255, 255, 255));
    EXPECT_EQ(nodes->rowCount(), 3);

    // Filters: by kind, then by node as well.
    auto* kind = Find<QComboBox>(w, "monitorKindFilter");
    kind->setCurrentIndex(kind->findData("error-bit"));
    EXPECT_EQ(EventRows(w).size(), 2u);
    kind->setCurrentIndex(0);
    Find<QSpinBox>(w, "monitorNodeFilter")->setValue(4);
    EXPECT_EQ(EventRows(w), (std::vector<std::string>{"datalink|4|in|out"}));

    // The CSV holds what the filter shows.
    const std::string csv = ::testing::TempDir() + "monitor-events.csv";
    window->SetCsvPathChooser([&] { return QString::fromStdString(csv); });
    QTest::mouseClick(Find<QPushButton>(w, "monitorSaveCsv"), Qt::LeftButton);
    std::string saved;
    ASSERT_TRUE(ReadWholeFile(csv, saved));
    ASSERT_EQ(saved.rfind("\xEF\xBB\xBFtime,target,kind,node,bit,label,old,new\r\n", 0), 0u) << saved;
    EXPECT_NE(saved.find(",unit,datalink,4,,,in,out\r\n"), std::string::npos) << saved;
    EXPECT_EQ(std::count(saved.begin(), saved.end(), '\n'), 2) << saved;
    std::remove(csv.c_str());
}

TEST_F(MonitorWindow, FailingReadsShowStaleAndRecoveryClearsIt) {
    ASSERT_TRUE(WaitRounds(1));
    QWidget* w = window.get();
    Find<QDoubleSpinBox>(w, "monitorInterval")->setValue(0.5);
    SimFaults silent;
    silent.dropFraction = 1;
    sim.SetFaults(silent);
    auto* stale = Find<QLabel>(w, "monitorStale");
    ASSERT_TRUE(QTest::qWaitFor([&] { return stale->isVisible(); }, 8000));
    EXPECT_TRUE(stale->text().startsWith(QString::fromUtf8("読出し失敗: "))) << stale->text().toStdString();
    // The last good state stays on screen.
    EXPECT_EQ(Find<QLabel>(w, "monitorCycleCurrent")->text(), "48 msec");
    ASSERT_EQ(EventRows(w).size(), 1u);
    EXPECT_EQ(EventRows(w)[0].rfind("read||ok|failed: ", 0), 0u) << EventRows(w)[0];
    sim.SetFaults(SimFaults());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !stale->isVisible(); }, 8000));
    const std::string last = EventRows(w).back();
    EXPECT_EQ(last.rfind("read||failed: ", 0), 0u) << last;
    EXPECT_EQ(last.substr(last.size() - 3), "|ok") << last;
}

TEST_F(MonitorWindow, IntervalIsBoundedAndFollowed) {
    auto* interval = Find<QDoubleSpinBox>(window.get(), "monitorInterval");
    EXPECT_DOUBLE_EQ(interval->minimum(), 0.5);
    EXPECT_DOUBLE_EQ(interval->maximum(), 60.0);
    interval->setValue(60);
    ASSERT_TRUE(WaitRounds(1));
    const int rounds = window->Rounds();
    QTest::qWait(1200);
    EXPECT_EQ(window->Rounds(), rounds) << "a 60 s interval read again within a second";
    // A shorter interval applies at once, not after the minute.
    interval->setValue(0.5);
    EXPECT_TRUE(WaitRounds(2));
}

namespace {
class MonitorInMainWindow : public StartupFixture {
protected:
    // Runs the script inside "通信設定", opened from the menu as the user does.
    void CommSettings(const std::function<void(QDialog&)>& script) {
        bool ran = false;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (ran || !dialog || dialog->objectName() != "commSettingDialog") return;
            ran = true;
            script(*dialog);
            if (dialog->isVisible()) dialog->reject();
        });
        poll.start(5);
        startup->Window()->RunCommand(32785);
        EXPECT_TRUE(ran);
    }
};
}  // namespace

TEST_F(MonitorInMainWindow, OpenedByTheOptionAndTheMenuAndPausedWhileAStatusViewUsesThePlc) {
    ASSERT_TRUE(Start({"--scenario", std::string(LINKSMITH_EXAMPLES_DIR) + "/scenario-faults.txt", "--monitor",
                       std::string(LINKSMITH_EXAMPLES_DIR) + "/plant-line1.lsm"}));
    CLinkSmithDlg* main = startup->Window();
    CMonitorDlg* monitor = main->Monitor();
    ASSERT_NE(monitor, nullptr);
    EXPECT_EQ(monitor->objectName(), "monitorWindow");
    EXPECT_TRUE(monitor->isVisible());
    EXPECT_FALSE(monitor->isModal());
    ASSERT_TRUE(QTest::qWaitFor([&] { return monitor->Rounds() >= 1; }, 8000));
    // The sample's unit 2, the scenario's: node 5 out of the data link, EEP-ROM on.
    EXPECT_EQ(Find<CLampEdit>(monitor, "monitorLamp15")->State(), LampState::On);
    EXPECT_FALSE(main->Busy()) << "the editor stays usable";

    // Closed and opened again from the status menu: the same window, reading again.
    monitor->close();
    QAction* item = nullptr;
    for (QAction* menu : main->menuBar()->actions())
        for (QAction* a : menu->menu() ? menu->menu()->actions() : QList<QAction*>())
            if (a->text() == QString::fromUtf8("ﾗｲﾌﾞﾓﾆﾀ(&L)")) item = a;
    ASSERT_NE(item, nullptr);
    item->trigger();
    EXPECT_EQ(main->Monitor(), monitor);
    EXPECT_TRUE(monitor->isVisible());

    // While the data link status view is open the monitor sends nothing.
    Find<QDoubleSpinBox>(monitor, "monitorInterval")->setValue(0.5);
    bool pausedShown = false;
    unsigned before = 0, after = 0;
    QTimer poll;
    poll.setInterval(20);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget* view = QApplication::activeModalWidget();
        if (!view || view->objectName() != "dataLinkStatusDlg") return;
        poll.stop();
        pausedShown = Find<QLabel>(monitor, "monitorPaused")->isVisible();
        before = startup->Simulator()->Count().requests;
        QTimer::singleShot(1300, view, [&, view] {
            after = startup->Simulator()->Count().requests;
            view->close();
        });
    });
    poll.start();
    main->RunCommand(32786);  // ﾃﾞｰﾀﾘﾝｸｽﾃｰﾀｽ(&D)
    EXPECT_TRUE(pausedShown);
    EXPECT_GT(before, 0u);
    EXPECT_EQ(after, before) << "the monitor read the PLC the status view was using";
    EXPECT_FALSE(Find<QLabel>(monitor, "monitorPaused")->isVisible());
    const int rounds = monitor->Rounds();
    EXPECT_TRUE(QTest::qWaitFor([&] { return monitor->Rounds() > rounds + 1; }, 5000)) << "reads again afterwards";
}

// The monitor watches the unit the commands address. A device string changed in the
// communication settings while it is open moves it to that PLC at once; a unit number changed
// while it is closed is the one it reads when opened again.
TEST_F(MonitorInMainWindow, FollowsTheConnectionChangedInTheCommunicationSettings) {
    ASSERT_TRUE(Start({"--scenario", std::string(LINKSMITH_EXAMPLES_DIR) + "/scenario-faults.txt", "--monitor",
                       std::string(LINKSMITH_EXAMPLES_DIR) + "/plant-line1.lsm"}));
    CLinkSmithDlg* main = startup->Window();
    CMonitorDlg* monitor = main->Monitor();
    ASSERT_NE(monitor, nullptr);
    // A second PLC at network 4, node 9, its unit number 3 with error status bit 7 alone on.
    auto other = std::make_unique<CUnitSimulatorAdapter>();
    other->Unit().SetUnitNumber(3);
    other->Unit().SetErrorStatusWord(0x0080);
    startup->Simulator()->AddPlc(4, 9, std::move(other));
    Find<QDoubleSpinBox>(monitor, "monitorInterval")->setValue(0.5);
    ASSERT_TRUE(QTest::qWaitFor([&] { return monitor->Rounds() >= 1; }, 8000));
    EXPECT_EQ(Find<CLampEdit>(monitor, "monitorLamp15")->State(), LampState::On);
    EXPECT_EQ(Find<CLampEdit>(monitor, "monitorLamp7")->State(), LampState::Off);

    const char otherPlc[] = "[DEV]DEV:VR4H;CPU:MPU_90;[NET]FRAME:1004;NET:HWSP;TMO:5000;[ADDRESS]DNA:4;DA1:9;";
    CommSettings([&](QDialog& d) {
        editorAnswers = {otherPlc};
        d.findChild<QAbstractButton*>("changeButton")->click();
        d.findChild<QAbstractButton*>("closeButton")->click();
    });
    ASSERT_EQ(startup->Commu().DirectDeviceString(), otherPlc);
    EXPECT_EQ(main->Monitor(), monitor);
    ASSERT_EQ(monitor->Log().TargetCount(), 1u);
    EXPECT_EQ(monitor->Log().Target(0).device, otherPlc);
    // That PLC's unit is not unit 2: the reads fail there and the old unit's state is gone.
    auto* stale = Find<QLabel>(monitor, "monitorStale");
    ASSERT_TRUE(QTest::qWaitFor([&] { return stale->isVisible(); }, 8000));
    EXPECT_EQ(Find<CLampEdit>(monitor, "monitorLamp15")->State(), LampState::Off);
    EXPECT_EQ(Find<QLabel>(monitor, "monitorLastRead")->text(), "-");

    monitor->close();
    CommSettings([&](QDialog& d) {
        d.findChild<QComboBox*>("unitNumberList")->setCurrentIndex(3);
        d.findChild<QAbstractButton*>("closeButton")->click();
    });
    main->OpenMonitor();
    EXPECT_EQ(main->Monitor(), monitor);
    EXPECT_TRUE(monitor->isVisible());
    EXPECT_EQ(monitor->Log().Target(0).unit, 3u);
    ASSERT_TRUE(QTest::qWaitFor([&] { return monitor->Log().LastGood(0).has_value(); }, 8000));
    EXPECT_FALSE(stale->isVisible());
    EXPECT_EQ(Find<CLampEdit>(monitor, "monitorLamp7")->State(), LampState::On);
    EXPECT_EQ(Find<CLampEdit>(monitor, "monitorLamp15")->State(), LampState::Off);
    monitor->close();
}
