#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <functional>
#include <memory>

#include "comm/Clock.h"
#include "comm/CommuProcess.h"
#include "comm/LinkMiddleware.h"
#include "model/Messages.h"
#include "sim/SimServer.h"
#include "sim/UnitSimulatorAdapter.h"
#include "status/qt/ColorListCtrl.h"
#include "status/qt/CycleTimeDlg.h"
#include "status/qt/ErrorHistoryDlg.h"
#include "status/qt/LampEdit.h"
#include "status/qt/MessageSequenceDlg.h"
#include "status/qt/NodeStatusDlg.h"

// The four dialogs over the simulated unit, reached through the communication object as the
// main window reaches it; what they show is checked against the values the scenario sets.
namespace {

constexpr int kTimeoutMessage = 33069;
const QColor kOff(213, 213, 213), kOn(0, 0, 255), kAlarm(255, 0, 0);

template <typename T>
T* Find(QWidget& w, const char* name) {
    T* child = w.findChild<T*>(name);
    EXPECT_NE(child, nullptr) << name;
    return child;
}

class OverUnit : public ::testing::Test {
protected:
    void Start(const std::string& scenario, bool isFile = true) {
        adapter = new CUnitSimulatorAdapter;
        std::string error;
        if (isFile) {
            ASSERT_TRUE(adapter->Unit().LoadState(scenario, &error)) << error;
        } else {
            ASSERT_TRUE(adapter->Unit().LoadStateText(scenario, &error)) << error;
        }
        server.AddPlc(0, 0, std::unique_ptr<ISimUnit>(adapter));
        mw.SetSimulatedPeer(&server);
        comm.SetProfileFile(::testing::TempDir() + "/statusdlg-profile.ini");
        comm.SetDirectDeviceString("[DEV]DEV:VR4H;CPU:MPU90;[NET]FRAME:1004;LINK:SIM;TMO:200;");
        ASSERT_TRUE(comm.Initialize());
        ASSERT_TRUE(comm.OpenProject());
        ASSERT_TRUE(comm.OpenPlc());
        comm.m_unitNumber = static_cast<uint16_t>(adapter->Unit().UnitNumber());
    }
    void TearDown() override {
        comm.ClosePlc();
        comm.Shutdown();
    }
    // Every reply from now on comes late, so the read waits and pumps.
    void DelayReplies(int ms) {
        SimFaults f;
        f.delayFraction = 1;
        f.delay = std::chrono::milliseconds(ms);
        server.SetFaults(f);
    }
    void StopAnswering() {
        SimFaults f;
        f.dropFraction = 1;
        server.SetFaults(f);
    }
    std::vector<int> Ids() const {
        std::vector<int> ids;
        for (const auto& e : prompter.shown) ids.push_back(e.id);
        return ids;
    }

    CSystemClock clock;
    CSimServer server;
    CUnitSimulatorAdapter* adapter = nullptr;
    CLinkMiddleware mw{clock};
    CUnitSettings settings;
    RecordingPrompter prompter;
    std::function<void()> onPump;
    CCommuProcess comm{settings, prompter, mw, [this] {
                           if (onPump) onPump();
                           QApplication::processEvents(QEventLoop::AllEvents, 20);
                           return true;
                       }};
};

void ExpectLamp(QWidget& dlg, int index, const char* label, const QColor& background) {
    auto* lamp = Find<CLampEdit>(dlg, QString("lamp%1").arg(index).toUtf8().constData());
    if (!lamp) return;
    EXPECT_EQ(lamp->text(), QString::fromUtf8(label)) << index;
    EXPECT_EQ(lamp->palette().color(QPalette::Base), background) << label;
    EXPECT_EQ(lamp->palette().color(QPalette::Text), background == kOff ? QColor(120, 120, 120) : QColor(255, 255, 255))
        << label;
}

QString Text(QWidget& dlg, const char* name) {
    auto* field = Find<QLineEdit>(dlg, name);
    return field ? field->text() : QString();
}

// ---- node status ----

TEST_F(OverUnit, NodeStatusShowsTheChosenNodeOnlyAfterUpdate) {
    Start(LINKSMITH_EXAMPLES_DIR "/scenario-faults.txt");
    CNodeStatusDlg dlg(settings, prompter, [this](int node) { return comm.ReadNodeInformation(node); });
    ASSERT_TRUE(dlg.OpenView());
    auto* node = Find<QComboBox>(dlg, "nodeNumber");
    ASSERT_EQ(node->count(), 254);
    EXPECT_EQ(node->itemText(0), "1");
    EXPECT_EQ(node->itemText(253), "254");
    EXPECT_EQ(node->currentIndex(), 0);

    // Node 3 (scenario: another node, state1 3, state2 1, error code 0x21, watchdog 50,
    // frame interval 10, refresh 50, area 1 at 0 size 16).
    const unsigned before = server.Count().requests;
    node->setCurrentIndex(2);
    EXPECT_EQ(server.Count().requests, before) << "choosing a node reads nothing";
    Find<QPushButton>(dlg, "updateButton")->click();
    EXPECT_EQ(server.Count().requests, before + 1);
    ExpectLamp(dlg, 0, "参加", kOn);
    ExpectLamp(dlg, 1, "離脱", kOff);
    for (int i = 2; i <= 9; ++i) EXPECT_EQ(Find<CLampEdit>(dlg, QString("lamp%1").arg(i).toUtf8())->State(), LampState::Off) << i;
    ExpectLamp(dlg, 10, "RUN", kOff);
    ExpectLamp(dlg, 11, "STOP", kOn);
    ExpectLamp(dlg, 12, "NORMAL", kOn);
    ExpectLamp(dlg, 14, "ALARM", kOff);
    const char* numbers3[] = {"33", "50", "50", "10", "0", "16", "0", "0"};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(Text(dlg, QString("number%1").arg(i).toUtf8()), numbers3[i]) << i;

    // Node 4: state1 0x71, state2 0xC0, error code 0x12, area 1 at 32.
    node->setCurrentIndex(3);
    Find<QPushButton>(dlg, "updateButton")->click();
    ExpectLamp(dlg, 0, "参加", kOn);
    ExpectLamp(dlg, 7, "ｺﾓﾝﾒﾓﾘ設定完了", kOn);
    ExpectLamp(dlg, 8, "ｺﾓﾝﾒﾓﾘ・ﾃﾞｰﾀ有効", kOn);
    ExpectLamp(dlg, 9, "上位層動作信号ｴﾗｰ", kAlarm);
    ExpectLamp(dlg, 10, "RUN", kOn);
    ExpectLamp(dlg, 11, "STOP", kOff);
    ExpectLamp(dlg, 12, "NORMAL", kOff);
    ExpectLamp(dlg, 14, "ALARM", kOn);
    EXPECT_EQ(Text(dlg, "number0"), "18");
    EXPECT_EQ(Text(dlg, "number4"), "32");

    // Node 5 has dropped out.
    node->setCurrentIndex(4);
    Find<QPushButton>(dlg, "updateButton")->click();
    ExpectLamp(dlg, 0, "参加", kOff);
    ExpectLamp(dlg, 1, "離脱", kAlarm);
    EXPECT_EQ(Text(dlg, "number0"), "49");
    EXPECT_EQ(settings.status.nodeInfoNode, 5u);

    Find<QPushButton>(dlg, "copyCsvButton")->click();
    EXPECT_TRUE(dlg.CopiedText().contains(QString::fromUtf8("離脱,alarm\r\n")));
    EXPECT_TRUE(dlg.CopiedText().contains(QString::fromUtf8("ERR_CODE,49\r\n")));
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(OverUnit, NodeStatusOfTheLocalNodeShowsItsOwnFaults) {
    Start("unit 0\n"
          "nodeinfo 1 0 0xE0 0x20 0 100 4 30 0x48 200 8 300 12\n",
          false);
    CNodeStatusDlg dlg(settings, prompter, [this](int node) { return comm.ReadNodeInformation(node); });
    ASSERT_TRUE(dlg.OpenView());
    ExpectLamp(dlg, 0, "参加", kOff);
    ExpectLamp(dlg, 1, "離脱", kAlarm);
    ExpectLamp(dlg, 2, "ｺﾓﾝﾒﾓﾘ設定範囲異常", kOff);
    ExpectLamp(dlg, 3, "ﾄｰｸﾝ監視ﾀｲﾑｱｳﾄ時間ｴﾗｰ", kAlarm);
    ExpectLamp(dlg, 4, "ﾉｰﾄﾞ番号多重", kAlarm);
    ExpectLamp(dlg, 5, "ﾌﾚｰﾑ状態待ち", kOff);
    ExpectLamp(dlg, 6, "ｱﾄﾞﾚｽ多重検知", kAlarm);
    ExpectLamp(dlg, 13, "WARNING", kOn);
    const char* numbers[] = {"0", "30", "100", "4", "200", "8", "300", "12"};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(Text(dlg, QString("number%1").arg(i).toUtf8()), numbers[i]) << i;

    // A failed update leaves every lamp off and the numbers as they were.
    StopAnswering();
    Find<QPushButton>(dlg, "updateButton")->click();
    EXPECT_EQ(Ids(), std::vector<int>{kTimeoutMessage});
    for (int i = 0; i < CNodeStatusView::kLampCount; ++i)
        EXPECT_EQ(Find<CLampEdit>(dlg, QString("lamp%1").arg(i).toUtf8())->State(), LampState::Off) << i;
    EXPECT_EQ(Text(dlg, "number6"), "300");
}

// ---- error history ----

TEST_F(OverUnit, ErrorHistoryShowsTheFullHistoryAndAProtectedUnitKeepsItOnClear) {
    Start(LINKSMITH_EXAMPLES_DIR "/scenario-faults.txt");
    CErrorHistoryDlg dlg(settings, prompter, [this] { return comm.ReadErrorHistory(); },
                         [this] { return comm.ClearErrorHistory(); });
    ASSERT_TRUE(dlg.OpenView());
    auto* table = Find<CColorListCtrl>(dlg, "historyTable");
    ASSERT_EQ(table->rowCount(), 64);
    ASSERT_EQ(table->columnCount(), 5);
    EXPECT_EQ(table->horizontalHeaderItem(2)->text(), QString::fromUtf8("時間"));
    EXPECT_EQ(Text(dlg, "maxRecords"), "64");
    EXPECT_EQ(Text(dlg, "storedRecords"), "64");
    // First record: 0x0201, detail 1, 2026-12-07 04:00:01; last: 0x0204, detail 64, 04:01:04.
    EXPECT_EQ(table->CellText(0, 0), "1");
    EXPECT_EQ(table->CellText(0, 1), "26/12/07");
    EXPECT_EQ(table->CellText(0, 2), "04:00:01");
    EXPECT_EQ(table->CellText(0, 3), "0201");
    EXPECT_EQ(table->CellText(0, 4), "0001");
    EXPECT_EQ(table->CellText(63, 0), "64");
    EXPECT_EQ(table->CellText(63, 2), "04:01:04");
    EXPECT_EQ(table->CellText(63, 3), "0204");
    EXPECT_EQ(table->CellText(63, 4), "0040");
    EXPECT_EQ(table->CellBackground(10, 0), QColor(225, 225, 225));
    EXPECT_EQ(table->CellBackground(10, 3), QColor(255, 255, 255));

    // Answering No sends nothing.
    unsigned before = server.Count().requests;
    prompter.answers = {PromptAnswer::No};
    Find<QPushButton>(dlg, "clearButton")->click();
    EXPECT_EQ(server.Count().requests, before);
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].id, Msg::kClearHistoryQuestion);
    EXPECT_EQ(prompter.shown[0].buttons, PromptButtons::YesNo);
    EXPECT_EQ(prompter.shown[0].icon, PromptIcon::Warning);

    // The scenario's unit is write-protected: the clear fails with its one message, nothing changes.
    prompter.shown.clear();
    Find<QPushButton>(dlg, "clearButton")->click();
    EXPECT_EQ(server.Count().requests, before + 1);
    ASSERT_EQ(prompter.shown.size(), 2u);
    EXPECT_EQ(prompter.shown[0].id, Msg::kClearHistoryQuestion);
    EXPECT_EQ(adapter->Unit().HistoryCount(), 64u);
    EXPECT_EQ(Text(dlg, "storedRecords"), "64");
    EXPECT_EQ(table->CellText(0, 3), "0201");
    EXPECT_TRUE(Find<QPushButton>(dlg, "clearButton")->isEnabled());
    EXPECT_TRUE(Find<QPushButton>(dlg, "updateButton")->isEnabled());
}

TEST_F(OverUnit, ErrorHistoryClearEmptiesTheRowsAndShorterHistoryKeepsTheOldRows) {
    Start("unit 1\n"
          "history 0x00F1 0x1234 053021130510\n"
          "history 0x0002 0x0000 000107042612\n"
          "history 0x0003 0x0000 000207042612\n",
          false);
    CErrorHistoryDlg dlg(settings, prompter, [this] { return comm.ReadErrorHistory(); },
                         [this] { return comm.ClearErrorHistory(); });
    ASSERT_TRUE(dlg.OpenView());
    auto* table = Find<CColorListCtrl>(dlg, "historyTable");
    EXPECT_EQ(table->CellText(0, 1), "05/10/21");
    EXPECT_EQ(table->CellText(0, 2), "13:05:30");
    EXPECT_EQ(table->CellText(0, 3), "00f1");
    EXPECT_EQ(table->CellText(0, 4), "1234");
    EXPECT_EQ(Text(dlg, "storedRecords"), "3");
    EXPECT_EQ(table->CellText(3, 1), "");

    // The unit now holds one record only: rows 2 and 3 keep what they showed.
    std::string error;
    ASSERT_TRUE(adapter->Unit().LoadStateText("unit 1\nhistory 0x0009 0x0000 000107042612\n", &error)) << error;
    Find<QPushButton>(dlg, "updateButton")->click();
    EXPECT_EQ(Text(dlg, "storedRecords"), "1");
    EXPECT_EQ(table->CellText(0, 3), "0009");
    EXPECT_EQ(table->CellText(1, 3), "0002");
    EXPECT_EQ(table->CellText(2, 3), "0003");

    Find<QPushButton>(dlg, "clearButton")->click();
    EXPECT_EQ(Ids(), std::vector<int>{Msg::kClearHistoryQuestion});
    EXPECT_EQ(adapter->Unit().HistoryCount(), 0u);
    EXPECT_EQ(Text(dlg, "maxRecords"), "0");
    EXPECT_EQ(Text(dlg, "storedRecords"), "0");
    for (int r = 0; r < 64; ++r)
        for (int c = 1; c < 5; ++c) EXPECT_EQ(table->CellText(r, c), "") << r << "," << c;
    EXPECT_EQ(table->CellText(2, 0), "3") << "the row numbers stay";
}

// ---- message sequence ----

TEST_F(OverUnit, MessageSequenceShowsEveryCounterOfTheScenario) {
    Start(LINKSMITH_EXAMPLES_DIR "/scenario-healthy.txt");
    CMessageSequenceDlg dlg(settings, prompter,
                            [this](const auto&, const auto&) { return comm.ReadMessageSequence(); });
    ASSERT_TRUE(dlg.OpenView());
    // sequence 1 1200; send 0 1200; send 1 1180; receive 1 1 1180 4; receive 2 1 1175 2
    EXPECT_EQ(Text(dlg, "versionField"), "H00000001");
    EXPECT_EQ(Text(dlg, "sendOneToNField"), "H000004B0");
    auto* send = Find<CColorListCtrl>(dlg, "sendTable");
    auto* receive = Find<CColorListCtrl>(dlg, "receiveTable");
    ASSERT_EQ(send->rowCount(), 254);
    ASSERT_EQ(receive->rowCount(), 254);
    ASSERT_EQ(receive->columnCount(), 4);
    EXPECT_EQ(send->CellText(0, 0), "1");
    EXPECT_EQ(send->CellText(0, 1), "H000004B0");
    EXPECT_EQ(send->CellText(1, 1), "H0000049C");
    EXPECT_EQ(send->CellText(253, 0), "254");
    EXPECT_EQ(send->CellText(253, 1), "H00000000");
    EXPECT_EQ(receive->CellText(1, 1), "H00000001");
    EXPECT_EQ(receive->CellText(1, 2), "H0000049C");
    EXPECT_EQ(receive->CellText(1, 3), "H00000004");
    EXPECT_EQ(receive->CellText(2, 2), "H00000497");
    EXPECT_EQ(receive->CellText(2, 3), "H00000002");
    EXPECT_EQ(receive->CellBackground(7, 0), QColor(225, 225, 225));

    std::string error;
    ASSERT_TRUE(adapter->Unit().LoadStateText("sequence 2 0x1234\nreceive 253 7 8 0xFFFFFFFF\n", &error)) << error;
    Find<QPushButton>(dlg, "updateButton")->click();
    EXPECT_EQ(Text(dlg, "sendOneToNField"), "H00001234");
    EXPECT_EQ(receive->CellText(253, 3), "H" + QString("F").repeated(8));
    EXPECT_EQ(send->CellText(0, 1), "H00000000");
    Find<QPushButton>(dlg, "copyCsvButton")->click();
    EXPECT_TRUE(dlg.CopiedText().contains("254,H00000000,H00000007,H00000008,HFFFFFFFF\r\n"));
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(OverUnit, MessageSequenceShowsTheWaitCursorOnlyWhileItReads) {
    Start(LINKSMITH_EXAMPLES_DIR "/scenario-healthy.txt");
    CMessageSequenceDlg dlg(settings, prompter,
                            [this](const auto&, const auto&) { return comm.ReadMessageSequence(); });
    ASSERT_TRUE(dlg.OpenView());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    DelayReplies(20);
    bool waitCursor = false;
    onPump = [&] {
        const QCursor* cursor = QApplication::overrideCursor();
        waitCursor = waitCursor || (cursor && cursor->shape() == Qt::WaitCursor);
    };
    Find<QPushButton>(dlg, "updateButton")->click();
    EXPECT_TRUE(waitCursor);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// ---- cycle time ----

TEST_F(OverUnit, CycleTimeShowsTheScenarioInDecimal) {
    Start(LINKSMITH_EXAMPLES_DIR "/scenario-faults.txt");
    CCycleTimeDlg dlg(settings, prompter, [this] { return comm.ReadCycleTime(); });
    ASSERT_TRUE(dlg.OpenView());
    // cycle 1 10 50 48 60 3
    const char* fields[] = {"1", "10", "50", "48", "60", "3"};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(Text(dlg, QString("field%1").arg(i).toUtf8()), fields[i]) << i;
    std::string error;
    ASSERT_TRUE(adapter->Unit().LoadStateText("unit 2\ncycle 254 255 65535 12 30 8\n", &error)) << error;
    Find<QPushButton>(dlg, "updateButton")->click();
    const char* after[] = {"254", "255", "65535", "12", "30", "8"};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(Text(dlg, QString("field%1").arg(i).toUtf8()), after[i]) << i;
    Find<QPushButton>(dlg, "copyCsvButton")->click();
    EXPECT_TRUE(dlg.CopiedText().contains(QString::fromUtf8("最大値,30,msec\r\n")));
}

// ---- what all four share ----

enum class Kind { Node, History, Sequence, Cycle };

class EveryNewView : public OverUnit, public ::testing::WithParamInterface<Kind> {
protected:
    std::unique_ptr<CStatusDialog> Make() {
        switch (GetParam()) {
        case Kind::Node:
            return std::make_unique<CNodeStatusDlg>(settings, prompter,
                                                    [this](int node) { return comm.ReadNodeInformation(node); });
        case Kind::History:
            return std::make_unique<CErrorHistoryDlg>(settings, prompter, [this] { return comm.ReadErrorHistory(); },
                                                      [this] { return comm.ClearErrorHistory(); });
        case Kind::Sequence:
            return std::make_unique<CMessageSequenceDlg>(
                settings, prompter, [this](const auto&, const auto&) { return comm.ReadMessageSequence(); });
        case Kind::Cycle:
            return std::make_unique<CCycleTimeDlg>(settings, prompter, [this] { return comm.ReadCycleTime(); });
        }
        return nullptr;
    }
    std::vector<QPushButton*> Buttons(QWidget& dlg) {
        std::vector<QPushButton*> buttons{Find<QPushButton>(dlg, "updateButton"), Find<QPushButton>(dlg, "closeButton")};
        if (GetParam() == Kind::History) buttons.push_back(Find<QPushButton>(dlg, "clearButton"));
        return buttons;
    }
};

TEST_P(EveryNewView, AutoRefreshRepeatsAndStopsAtTheFirstFailureWithOneMessage) {
    Start(LINKSMITH_EXAMPLES_DIR "/scenario-faults.txt");
    auto dlg = Make();
    ASSERT_TRUE(dlg->OpenView());
    dlg->show();
    auto* autoRefresh = Find<QCheckBox>(*dlg, "autoRefresh");
    EXPECT_EQ(dlg->View().AutoRefresh().IntervalMs(), 1000);
    dlg->View().AutoRefresh().SetIntervalMs(CAutoRefresh::kMinIntervalMs);
    autoRefresh->setChecked(true);
    const unsigned before = server.Count().requests;
    QElapsedTimer wait;
    wait.start();
    while (server.Count().requests == before && wait.elapsed() < 3000)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_GT(server.Count().requests, before) << "the refresh reads";
    EXPECT_TRUE(prompter.shown.empty());

    StopAnswering();
    wait.restart();
    while (autoRefresh->isChecked() && wait.elapsed() < 5000) QApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_FALSE(autoRefresh->isChecked());
    EXPECT_EQ(Ids(), std::vector<int>{kTimeoutMessage});
    EXPECT_TRUE(dlg->isVisible());
    for (QPushButton* b : Buttons(*dlg)) EXPECT_TRUE(b->isEnabled()) << b->objectName().toStdString();
    const unsigned afterFailure = server.Count().requests;
    wait.restart();
    while (wait.elapsed() < 600) QApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_EQ(server.Count().requests, afterFailure) << "no read after the failure";
    EXPECT_EQ(prompter.shown.size(), 1u);
}

TEST_P(EveryNewView, ButtonsAreDisabledWhileAReadWaits) {
    Start(LINKSMITH_EXAMPLES_DIR "/scenario-faults.txt");
    auto dlg = Make();
    ASSERT_TRUE(dlg->OpenView());
    dlg->show();
    DelayReplies(40);
    int pumped = 0;
    bool anyEnabled = false;
    onPump = [&] {
        ++pumped;
        for (QPushButton* b : Buttons(*dlg)) anyEnabled = anyEnabled || b->isEnabled();
    };
    Find<QPushButton>(*dlg, "updateButton")->click();
    onPump = nullptr;
    EXPECT_GT(pumped, 0);
    EXPECT_FALSE(anyEnabled);
    for (QPushButton* b : Buttons(*dlg)) EXPECT_TRUE(b->isEnabled()) << b->objectName().toStdString();
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_P(EveryNewView, ClosingWhileAReadWaitsClosesOnceItHasReturned) {
    Start(LINKSMITH_EXAMPLES_DIR "/scenario-faults.txt");
    auto dlg = Make();
    ASSERT_TRUE(dlg->OpenView());
    dlg->show();
    DelayReplies(40);
    bool visibleAfterClose = false;
    onPump = [&] {
        if (!dlg->View().IsBusy()) return;
        dlg->close();  // the close box
        visibleAfterClose = visibleAfterClose || dlg->isVisible();
        onPump = nullptr;
    };
    Find<QPushButton>(*dlg, "updateButton")->click();
    EXPECT_TRUE(visibleAfterClose) << "the view stays while its read waits";
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_FALSE(dlg->View().IsBusy());
    EXPECT_TRUE(prompter.shown.empty());
    // A refresh tick after the close finds the refresh off.
    EXPECT_FALSE(dlg->View().AutoRefreshTick());
}

TEST_P(EveryNewView, FirstReadFailureClosesAtOnceWithOneMessage) {
    Start(LINKSMITH_EXAMPLES_DIR "/scenario-healthy.txt");
    StopAnswering();
    auto dlg = Make();
    EXPECT_EQ(dlg->exec(), QDialog::Rejected);
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(Ids(), std::vector<int>{kTimeoutMessage});
}

std::string KindName(const ::testing::TestParamInfo<Kind>& info) {
    static const char* const names[] = {"NodeStatus", "ErrorHistory", "MessageSequence", "CycleTime"};
    return names[static_cast<int>(info.param)];
}

INSTANTIATE_TEST_SUITE_P(StatusDialogs, EveryNewView,
                         ::testing::Values(Kind::Node, Kind::History, Kind::Sequence, Kind::Cycle), KindName);

}  // namespace
