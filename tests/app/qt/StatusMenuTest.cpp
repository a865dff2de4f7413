// Every status view opened from the main window's status menu over the simulated unit that the
// program builds for --simulate, its state loaded from a shipped scenario: what the view shows
// is checked against the values the scenario sets, and the window must end enabled and idle.
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <functional>
#include <map>
#include <stdexcept>

#include "app/qt/LinkSmithDlg.h"
#include "comm/CommuProcess.h"
#include "comm/ProfileFile.h"
#include "model/Messages.h"
#include "sim/SimServer.h"
#include "status/qt/ColorListCtrl.h"
#include "status/qt/LampEdit.h"
#include "tests/app/qt/StartupFixture.h"

namespace {

constexpr int kDataLink = 32786, kErrorStatus = 32787, kCycleTime = 32788, kMessageSequence = 32789,
              kErrorHistory = 32790, kNodeStatus = 32791, kNetworkStatus = 33044;
constexpr int kTimeoutMessage = 33069, kCommErrorMessage = 32858, kOtherModelMessage = 33007;
const char kShortTimeout[] = "[DEV]DEV:VR4H;CPU:MPU90;[NET]FRAME:1004;NET:HWSP;TMO:200;";

// Menu command and the object name of the view it opens.
const std::map<int, const char*> kViews = {
    {kDataLink, "dataLinkStatusDlg"},       {kNetworkStatus, "networkStatusDlg"},
    {kErrorStatus, "errorStatusDlg"},       {kNodeStatus, "nodeStatusDlg"},
    {kErrorHistory, "errorHistoryDlg"},     {kMessageSequence, "messageSequenceDlg"},
    {kCycleTime, "cycleTimeDlg"},
};

template <typename T>
T& Child(QWidget& parent, const QString& name) {
    T* child = parent.findChild<T*>(name);
    if (!child) throw std::runtime_error("no child " + name.toStdString());
    return *child;
}

QString Field(QWidget& view, const QString& name) {
    return Child<QLineEdit>(view, name).text();
}

// The texts of a table row, joined with "|".
std::string Row(const CColorListCtrl& table, int row) {
    QStringList cells;
    for (int c = 0; c < table.columnCount(); ++c) cells << table.CellText(row, c);
    return cells.join('|').toStdString();
}

class StatusMenuTest : public StartupFixture {
protected:
    // The main window as the view found it, and how often the view showed.
    struct Seen {
        int shows = 0;
        bool modal = false;
        bool windowBusy = false;
        bool windowTookClick = true;  // a click on another tab of the main window
        bool waitCursor = true;
    };

    // plant-line1.lsm and scenario-faults.txt both name unit 2, so the commands reach the
    // scenario's status words.
    void StartWithScenario(const char* scenario) {
        // Short command timeout: a unit that does not answer fails quickly.
        ASSERT_TRUE(CProfileFile(Path("profile.ini")).WriteString("VLCProject", "PLCConfig", kShortTimeout));
        ASSERT_TRUE(Start({"--simulate", LINKSMITH_EXAMPLES_DIR "/plant-line1.lsm"}));
        ASSERT_NE(startup->Simulator(), nullptr);
        ISimUnit* unit = startup->Simulator()->Unit(0, 0);
        ASSERT_NE(unit, nullptr);
        std::string error;
        ASSERT_TRUE(unit->LoadState(std::string(LINKSMITH_EXAMPLES_DIR "/") + scenario, &error)) << error;
        ASSERT_EQ(startup->Commu().m_unitNumber, 2);
        Window().show();
        prompter.shown.clear();
    }
    CLinkSmithDlg& Window() { return *startup->Window(); }

    // Runs the menu command; when its view shows, inspect runs on it (it may press the view's
    // buttons) and the view is closed with its close button, as the user closes it.
    Seen RunView(int command, const std::function<void(QWidget&)>& inspect = {}) {
        Seen seen;
        const QString name = kViews.at(command);
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            for (QWidget* top : QApplication::topLevelWidgets()) {
                if (!top->isVisible() || top->objectName() != name) continue;
                if (seen.shows++ == 0) {
                    seen.modal = QApplication::activeModalWidget() == top;
                    seen.windowBusy = Window().Busy();
                    QTabBar* tabs = Window().Tabs()->tabBar();
                    const int tab = Window().CurrentTab();
                    const int other = tab == 0 ? 1 : 0;
                    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(other).center());
                    seen.windowTookClick = Window().CurrentTab() != tab;
                    seen.waitCursor = QApplication::overrideCursor() != nullptr;
                    try {
                        if (inspect) inspect(*top);
                    } catch (const std::exception& e) {
                        ADD_FAILURE() << e.what();
                    }
                }
                Child<QPushButton>(*top, "closeButton").click();
            }
        });
        poll.start(5);
        Window().Action(command)->trigger();
        poll.stop();
        return seen;
    }
    void ExpectIdle() {
        EXPECT_TRUE(Window().isEnabled());
        EXPECT_FALSE(Window().Busy());
        EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "the wait cursor is restored";
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    }
    void ExpectNoMessage() {
        for (const auto& e : prompter.shown) ADD_FAILURE() << "message " << e.id << " " << MessageText(e.id);
    }
    SimFaults DropAll() {
        SimFaults f;
        f.dropFraction = 1;
        return f;
    }
};

// ---- every view shows the scenario ----

TEST_F(StatusMenuTest, EveryStatusCommandOpensItsViewOnceModallyAndEndsIdle) {
    StartWithScenario("scenario-faults.txt");
    for (const auto& [command, name] : kViews) {
        SCOPED_TRACE(name);
        prompter.shown.clear();
        const unsigned before = startup->Simulator()->Count().requests;
        const Seen seen = RunView(command);
        EXPECT_EQ(seen.shows, 1);
        EXPECT_TRUE(seen.modal);
        EXPECT_TRUE(seen.windowBusy) << "the main window stays busy behind the view";
        EXPECT_FALSE(seen.windowTookClick) << "the main window takes no input behind the view";
        EXPECT_FALSE(seen.waitCursor) << "the view has the normal cursor";
        EXPECT_GE(startup->Simulator()->Count().requests, before + 2) << "model check and the view's read";
        ExpectNoMessage();
        ExpectIdle();
    }
}

TEST_F(StatusMenuTest, DataLinkAndNetworkViewsShowTheScenariosNodes) {
    StartWithScenario("scenario-faults.txt");
    // participate 1 2 3 4: white on blue; node 5 dropped out: light grey on white.
    RunView(kDataLink, [](QWidget& view) {
        auto& grid = Child<CColorListCtrl>(view, "dataLinkGrid");
        for (int node = 1; node <= 4; ++node) {
            EXPECT_EQ(grid.CellText(0, node), QString::number(node));
            EXPECT_EQ(grid.CellBackground(0, node), QColor(0, 0, 255)) << node;
            EXPECT_EQ(grid.CellTextColour(0, node), QColor(255, 255, 255)) << node;
        }
        EXPECT_EQ(grid.CellText(0, 5), "5");
        EXPECT_EQ(grid.CellBackground(0, 5), QColor(255, 255, 255));
        EXPECT_EQ(grid.CellTextColour(0, 5), QColor(210, 210, 210));
    });
    // nodestatus 3 11 (area error, joined, running), 4 6 (joined, upper layer error), 5 4.
    RunView(kNetworkStatus, [](QWidget& view) {
        auto& table = Child<CColorListCtrl>(view, "networkTable");
        ASSERT_EQ(table.rowCount(), 254);
        EXPECT_EQ(Row(table, 2), "3|異常|加入|異常なし|運転中");
        EXPECT_EQ(Row(table, 3), "4|異常なし|加入|異常あり|停止中");
        EXPECT_EQ(Row(table, 4), "5|異常なし|未加入|異常あり|停止中");
        EXPECT_EQ(Row(table, 5), "6|異常なし|未加入|異常なし|停止中");
        EXPECT_EQ(table.CellBackground(2, 1), QColor(255, 0, 0));
        EXPECT_EQ(table.CellBackground(3, 3), QColor(255, 0, 0));
    });
    ExpectNoMessage();
    ExpectIdle();
}

TEST_F(StatusMenuTest, ErrorStatusAndNodeStatusViewsShowTheScenariosWords) {
    StartWithScenario("scenario-faults.txt");
    // errorstatus 0x8041: FA Link running and EEP-ROM error; bit 6 is not shown.
    RunView(kErrorStatus, [](QWidget& view) {
        for (int i = 0; i < 9; ++i) {
            const auto state = Child<CLampEdit>(view, QString("lamp%1").arg(i)).State();
            EXPECT_EQ(state, i == 0 || i == 8 ? LampState::On : LampState::Off) << i;
        }
        EXPECT_EQ(Child<CLampEdit>(view, "lamp0").text(), QString::fromUtf8("FAﾘﾝｸ動作中"));
        EXPECT_EQ(Child<CLampEdit>(view, "lamp8").text(), QString::fromUtf8("EEP-ROM異常"));
    });
    // nodeinfo 3: another node, error code 0x21, watchdog 50, frame interval 10, refresh 50,
    // area 1 at 0 of 16 words; chosen in the view and read with its update button.
    const unsigned before = startup->Simulator()->Count().requests;
    unsigned afterOpen = 0;
    RunView(kNodeStatus, [&](QWidget& view) {
        afterOpen = startup->Simulator()->Count().requests;
        Child<QComboBox>(view, "nodeNumber").setCurrentIndex(2);
        Child<QPushButton>(view, "updateButton").click();
        const char* numbers[] = {"33", "50", "50", "10", "0", "16", "0", "0"};
        for (int i = 0; i < 8; ++i) EXPECT_EQ(Field(view, QString("number%1").arg(i)), numbers[i]) << i;
        EXPECT_EQ(Child<CLampEdit>(view, "lamp0").State(), LampState::On) << "参加";
        EXPECT_EQ(Child<CLampEdit>(view, "lamp11").State(), LampState::On) << "STOP";
    });
    EXPECT_EQ(afterOpen, before + 2) << "model check and node 1";
    EXPECT_EQ(startup->Simulator()->Count().requests, afterOpen + 1) << "the update reads node 3";
    ExpectNoMessage();
    ExpectIdle();
}

TEST_F(StatusMenuTest, HistorySequenceAndCycleTimeViewsShowTheScenariosRecords) {
    StartWithScenario("scenario-faults.txt");
    // 64 records; the first 0x0201 0x0001 at 26/12/07 04:00:01, the last 0x0204 0x0040 at 04:01:04.
    RunView(kErrorHistory, [](QWidget& view) {
        auto& table = Child<CColorListCtrl>(view, "historyTable");
        ASSERT_EQ(table.rowCount(), 64);
        EXPECT_EQ(Row(table, 0), "1|26/12/07|04:00:01|0201|0001");
        EXPECT_EQ(Row(table, 63), "64|26/12/07|04:01:04|0204|0040");
        EXPECT_EQ(Field(view, "maxRecords"), "64");
        EXPECT_EQ(Field(view, "storedRecords"), "64");
    });
    // sequence 1 9000, send 0 9000, receive 4 1 8700 120 (9000 = 0x2328, 8700 = 0x21FC).
    RunView(kMessageSequence, [](QWidget& view) {
        EXPECT_EQ(Field(view, "versionField"), "H00000001");
        EXPECT_EQ(Field(view, "sendOneToNField"), "H00002328");
        auto& send = Child<CColorListCtrl>(view, "sendTable");
        EXPECT_EQ(send.CellText(0, 1), "H00002328");
        EXPECT_EQ(send.CellText(1, 1), "H00000000");
        auto& receive = Child<CColorListCtrl>(view, "receiveTable");
        EXPECT_EQ(receive.CellText(4, 0), "5");
        EXPECT_EQ(receive.CellText(4, 1), "H00000001");
        EXPECT_EQ(receive.CellText(4, 2), "H000021FC");
        EXPECT_EQ(receive.CellText(4, 3), "H00000078");
    });
    // cycle 1 10 50 48 60 3.
    RunView(kCycleTime, [](QWidget& view) {
        const char* fields[] = {"1", "10", "50", "48", "60", "3"};
        for (int i = 0; i < 6; ++i) EXPECT_EQ(Field(view, QString("field%1").arg(i)), fields[i]) << i;
    });
    ExpectNoMessage();
    ExpectIdle();
}

// ---- a unit that does not answer ----

TEST_F(StatusMenuTest, UnitThatDoesNotAnswerGivesOneMessageAndNoView) {
    StartWithScenario("scenario-faults.txt");
    startup->Simulator()->SetFaults(DropAll());
    for (const auto& [command, name] : kViews) {
        SCOPED_TRACE(name);
        prompter.shown.clear();
        const Seen seen = RunView(command);
        EXPECT_EQ(seen.shows, 0);
        EXPECT_EQ(ShownIds(), std::vector<int>{kTimeoutMessage}) << "the model check times out, nothing after it";
        ExpectIdle();
    }
}

TEST_F(StatusMenuTest, UnitThatStopsAnsweringAfterTheModelCheckClosesTheViewWithOneMessage) {
    StartWithScenario("scenario-faults.txt");
    for (const auto& [command, name] : kViews) {
        SCOPED_TRACE(name);
        prompter.shown.clear();
        SimFaults lostRead;  // the view's first read, right after the model check
        lostRead.at[2] = SimFaults::Kind::Drop;
        startup->Simulator()->SetFaults(lostRead);
        const unsigned before = startup->Simulator()->Count().requests;
        const Seen seen = RunView(command);
        EXPECT_EQ(seen.shows, 0) << "a failed first read closes the view before it shows";
        // The participation and network reads report a timeout by its code.
        if (command == kDataLink || command == kNetworkStatus) {
            ASSERT_EQ(ShownIds(), std::vector<int>{kCommErrorMessage});
            EXPECT_EQ(prompter.shown[0].inserts, std::vector<std::string>{"0x8a1b"});
        } else {
            EXPECT_EQ(ShownIds(), std::vector<int>{kTimeoutMessage});
        }
        EXPECT_EQ(startup->Simulator()->Count().requests, before + 2) << "nothing is sent after the lost read";
        ExpectIdle();
    }
    // The unit answers again: the next command opens its view.
    startup->Simulator()->SetFaults(SimFaults());
    prompter.shown.clear();
    EXPECT_EQ(RunView(kCycleTime).shows, 1);
    ExpectNoMessage();
    ExpectIdle();
}

TEST_F(StatusMenuTest, UnitOfAnotherModelGivesOneMessageAndNoView) {
    StartWithScenario("scenario-faults.txt");
    std::string error;
    ASSERT_TRUE(startup->Simulator()->Unit(0, 0)->LoadState(Write("other.txt", "unit 2\nmodel VR4H-CPU\n"), &error))
        << error;
    for (int command : {kDataLink, kNodeStatus}) {
        prompter.shown.clear();
        EXPECT_EQ(RunView(command).shows, 0);
        EXPECT_EQ(ShownIds(), std::vector<int>{kOtherModelMessage});
        ExpectIdle();
    }
}

}  // namespace
