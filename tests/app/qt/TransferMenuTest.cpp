// The transfer and verify commands driven from the main window's menu against the simulated unit.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QProgressBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <cstring>
#include <memory>
#include <utility>

#include "app/CommSettings.h"
#include "app/qt/AppSettingsStore.h"
#include "app/qt/LinkSmithDlg.h"
#include "app/qt/QtPrompter.h"
#include "comm/CommuProcess.h"
#include "comm/LinkMiddleware.h"
#include "comm/ZephDatagram.h"
#include "model/Prompter.h"
#include "sim/SimServer.h"
#include "sim/UnitSimulatorAdapter.h"
#include "tests/app/FullTable.h"
#include "tests/common/LoopbackSim.h"

namespace {

constexpr int kToPlc = 32782, kFromPlc = 32783, kVerify = 32784, kNew = 32771;

// The simulator behind a peer that counts the commands it sees and can swallow the n-th
// request of one command, as a unit that stops answering would.
struct CountingPeer : IDatagramPeer {
    CSimServer& sim;
    std::vector<uint16_t> commands;
    uint16_t dropCommand = 0;
    int dropAt = 0;  // 1 = the first request of dropCommand
    explicit CountingPeer(CSimServer& s) : sim(s) {}
    void Deliver(const std::vector<uint8_t>& request, std::vector<Scheduled>* replies) override {
        ZephDatagram d;
        if (DecodeDatagram(request.data(), request.size(), &d) == DatagramCheck::Ok) {
            commands.push_back(d.command);
            if (d.command == dropCommand &&
                std::count(commands.begin(), commands.end(), dropCommand) == dropAt)
                return;
        }
        sim.Deliver(request, replies);
    }
};

class TransferMenuTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    CLinkSmithApp app;
    CUnitSettings record;
    RecordingPrompter recording;
    CQtPrompter qtPrompter;
    std::unique_ptr<CAppSettingsStore> store;
    CSystemClock clock;
    CSimServer sim;
    CUnitSimulator* unit = nullptr;
    CountingPeer peer{sim};
    CLinkMiddleware middleware{clock};
    std::unique_ptr<CCommuProcess> commu;
    std::unique_ptr<CLinkSmithDlg> w;
    std::vector<std::pair<int, int>> barSteps;  // (value, maximum) while shown

    void SetUp() override {
        store = std::make_unique<CAppSettingsStore>(dir.path().toStdString());
        auto adapter = std::make_unique<CUnitSimulatorAdapter>();
        unit = &adapter->Unit();
        unit->SetUnitNumber(2);  // the unit of plant-line1.lsm, which every test opens
        sim.AddPlc(0, 0, std::move(adapter));
        middleware.SetSimulatedPeer(&peer);
        middleware.SetSimulateAll(true);
    }
    void Open(IPrompter& prompter, const std::string& deviceString = std::string()) {
        commu = std::make_unique<CCommuProcess>(record, prompter, middleware);
        commu->SetProfileFile(dir.filePath("profile.ini").toStdString());
        if (!deviceString.empty()) commu->SetDirectDeviceString(deviceString);
        w = std::make_unique<CLinkSmithDlg>(app, record, *commu, prompter, nullptr, *store, true);
        ASSERT_TRUE(w->Start());
        ASSERT_TRUE(w->SettingsFile().Load(LINKSMITH_EXAMPLES_DIR "/plant-line1.lsm", false));
        w->ReloadPagesFromRecord(false);
        w->show();
        auto* bar = w->findChild<QProgressBar*>("chunkProgress");
        ASSERT_NE(bar, nullptr);
        QObject::connect(bar, &QProgressBar::valueChanged, [this, bar](int value) {
            if (!bar->isHidden()) barSteps.emplace_back(value, bar->maximum());
        });
        recording.shown.clear();
    }
    // 128 nodes: the mapping table goes to the unit in two chunks.
    void UseFullTable() {
        SettingsImage& pc = record.pc;
        FillFullTable(pc);
        pc.localArea2Start = 4000;  // clear of the table's area 2
        w->ReloadPagesFromRecord(false);
    }
    std::vector<int> Ids() const {
        std::vector<int> ids;
        for (const auto& e : recording.shown) ids.push_back(e.id);
        return ids;
    }
    void Run(int id) { w->Action(id)->trigger(); }
    // New sets the unit number back to 0; the unit is 2, chosen again as the communication
    // settings choose it.
    void NewDocumentForTheUnit() {
        app.modified = false;  // New asks nothing
        Run(kNew);
        CCommSettings settings(*commu, record, {});
        settings.Open();
        settings.SelectUnitNumber(2);
        settings.Close();
        w->RefreshStatusText();
    }
    void ExpectIdle() {
        EXPECT_TRUE(w->isEnabled());
        EXPECT_FALSE(w->Busy());
        EXPECT_TRUE(w->findChild<QProgressBar*>("chunkProgress")->isHidden());
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    }
};

TEST_F(TransferMenuTest, NoToEitherQuestionSendsNothingAndYesTransfers) {
    Open(recording);
    recording.answers = {PromptAnswer::No};
    Run(kToPlc);
    recording.answers = {PromptAnswer::No};
    Run(kFromPlc);
    EXPECT_EQ(Ids(), (std::vector<int>{32941, 32909}));
    EXPECT_TRUE(peer.commands.empty());
    ExpectIdle();

    Run(kToPlc);
    EXPECT_EQ(Ids().back(), 33030);
    EXPECT_EQ(peer.commands, (std::vector<uint16_t>{0x0501, 0x2914, 0x2912, 0x0221}));
    EXPECT_EQ(barSteps, (std::vector<std::pair<int, int>>{{0, 1}, {1, 1}}));
    ExpectIdle();
}

TEST_F(TransferMenuTest, RefusedPageStopsTransferAndVerifyBeforeAnyCommand) {
    Open(recording);
    ASSERT_TRUE(w->SystemPage().EditOctet(0, ""));
    Run(kToPlc);
    Run(kVerify);
    EXPECT_EQ(Ids(), (std::vector<int>{32855, 32855}));
    EXPECT_TRUE(peer.commands.empty());
    EXPECT_EQ(w->CurrentTab(), CLinkSmithDlg::kSystemTab);
    ExpectIdle();
}

TEST_F(TransferMenuTest, ChunkedTableShowsTheBarBothWaysAndReadsBackIntoTheEditor) {
    Open(recording);
    UseFullTable();
    Run(kToPlc);
    EXPECT_EQ(Ids(), (std::vector<int>{32941, 33030}));
    EXPECT_EQ(barSteps, (std::vector<std::pair<int, int>>{{0, 2}, {1, 2}, {2, 2}}));
    ExpectIdle();

    NewDocumentForTheUnit();
    ASSERT_EQ(w->MappingPage().Values().entryCount, 0u);
    barSteps.clear();
    recording.shown.clear();
    Run(kFromPlc);
    EXPECT_EQ(Ids(), (std::vector<int>{32909, 33030}));
    EXPECT_EQ(barSteps, (std::vector<std::pair<int, int>>{{0, 2}, {1, 2}, {2, 2}}));
    EXPECT_EQ(w->MappingPage().Values().entryCount, 128u);
    EXPECT_EQ(w->MappingPage().Values().entries[127].nodeNumber, 128);
    EXPECT_FALSE(app.modified) << "a read leaves the document unmodified";
    ExpectIdle();
}

TEST_F(TransferMenuTest, TimedOutChunkStopsTheSequenceAndLeavesTheEditor) {
    Open(recording, "[DEV]DEV:VR4H;CPU:MPU90;[NET]FRAME:1004;NET:HWSP;TMO:200;");
    UseFullTable();
    w->SetModified();
    peer.dropCommand = 0x2912;
    peer.dropAt = 2;
    Run(kToPlc);
    EXPECT_EQ(Ids(), (std::vector<int>{32941, 33069}));
    EXPECT_EQ(peer.commands, (std::vector<uint16_t>{0x0501, 0x2914, 0x2912, 0x2912})) << "no head write after";
    EXPECT_EQ(barSteps, (std::vector<std::pair<int, int>>{{0, 2}, {1, 2}}));
    EXPECT_TRUE(app.modified);
    EXPECT_EQ(w->MappingPage().Values().entryCount, 128u);
    ExpectIdle();

    // Reading: the count read is the first 0x2911, the second chunk is the third.
    peer.dropAt = 0;
    recording.shown.clear();
    Run(kToPlc);  // the unit now holds the full table
    ASSERT_EQ(Ids().back(), 33030);
    NewDocumentForTheUnit();
    recording.shown.clear();
    peer.commands.clear();
    peer.dropCommand = 0x2911;
    peer.dropAt = 3;
    Run(kFromPlc);
    EXPECT_EQ(Ids(), (std::vector<int>{32909, 33069}));
    EXPECT_EQ(w->MappingPage().Values().entryCount, 0u) << "the pages keep what they showed";
    EXPECT_FALSE(app.modified);
    ExpectIdle();
}

TEST_F(TransferMenuTest, ProtectedWriteShowsItsBoxOnceOnTheUserInterfaceThread) {
    Open(qtPrompter);
    qtPrompter.SetParent(w.get());
    unit->SetProtected(true);
    QStringList texts;
    bool offThread = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible()) return;
        texts << box->text();
        offThread = offThread || box->thread() != qApp->thread();
        if (QAbstractButton* yes = box->button(QMessageBox::Yes))
            yes->click();
        else
            box->button(QMessageBox::Ok)->click();
    });
    poll.start(5);
    Run(kToPlc);
    poll.stop();
    ASSERT_EQ(texts.size(), 2) << texts.join(" | ").toStdString();
    EXPECT_TRUE(texts[1].startsWith(QString::fromUtf8("送信処理が失敗しました"))) << texts[1].toStdString();
    EXPECT_FALSE(offThread);
    ExpectIdle();
}

TEST_F(TransferMenuTest, WaitRepaintsAndRunsTimersButTakesNoInput) {
    Open(recording);
    SimFaults slow;
    slow.delayFraction = 1;
    slow.delay = std::chrono::milliseconds(120);
    sim.SetFaults(slow);
    struct PaintCounter : QObject {
        CLinkSmithDlg* window;
        int paintsWhileBusy = 0;
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::Paint && window->Busy()) ++paintsWhileBusy;
            return false;
        }
    } counter;
    counter.window = w.get();
    w->installEventFilter(&counter);
    auto* field = w->findChildren<QLineEdit*>().value(0);
    ASSERT_NE(field, nullptr);
    const QString fieldText = field->text();
    QTabBar* tabBar = w->Tabs()->tabBar();
    const int tabBefore = w->CurrentTab();
    ASSERT_NE(tabBefore, CLinkSmithDlg::kMappingTab);
    const uint32_t entries = w->MappingPage().Values().entryCount;
    ASSERT_GT(entries, 0u);
    ASSERT_FALSE(app.modified) << "New would go ahead without a question";
    int ticksWhileBusy = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        // Only while a command is awaited (not once the completion message is out).
        if (!w->Busy() || recording.shown.size() > 1) return;
        ++ticksWhileBusy;
        w->update();
        // A second command, a keystroke, a click on another tab and a command key while the
        // first is awaited; the click and the key arrive as the window system's own input.
        w->RunCommand(kToPlc);
        QApplication::postEvent(field, new QKeyEvent(QEvent::KeyPress, Qt::Key_9, Qt::NoModifier, "9"));
        QTest::mouseClick(tabBar, Qt::LeftButton, {}, tabBar->tabRect(CLinkSmithDlg::kMappingTab).center());
        QTest::keyClick(w.get(), Qt::Key_N, Qt::ControlModifier);
    });
    tick.start(30);
    Run(kToPlc);
    tick.stop();
    QApplication::processEvents();
    EXPECT_GT(ticksWhileBusy, 2);
    EXPECT_GT(counter.paintsWhileBusy, 0);
    EXPECT_EQ(Ids(), (std::vector<int>{32941, 33030})) << "one command only";
    EXPECT_EQ(w->MappingPage().Values().entryCount, entries) << "Ctrl+N made a new document";
    EXPECT_EQ(field->text(), fieldText);
    EXPECT_EQ(w->CurrentTab(), tabBefore);
    ExpectIdle();
    // Input reaches the window again once it is idle.
    QTest::mouseClick(tabBar, Qt::LeftButton, {}, tabBar->tabRect(CLinkSmithDlg::kMappingTab).center());
    EXPECT_EQ(w->CurrentTab(), CLinkSmithDlg::kMappingTab);
}

TEST_F(TransferMenuTest, VerifyListsOneRowOfEachKindInTheDialog) {
    Open(recording);
    // Closes the result dialog when it shows, keeping what it listed.
    QStringList listed;
    QString countText;
    int dialogs = 0;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (!top->isVisible() || top->objectName() != "verifyResultDialog") continue;
            ++dialogs;
            auto* list = top->findChild<QTableWidget*>("verifyList");
            for (int r = 0; list && r < list->rowCount(); ++r) {
                QStringList cells;
                for (int c = 0; c < 4; ++c) cells << (list->item(r, c) ? list->item(r, c)->text() : QString());
                listed << cells.join("|");
            }
            countText = top->findChild<QLineEdit*>("mismatchCount")->text();
            top->close();
        }
    });
    poll.start(5);
    Run(kToPlc);
    recording.shown.clear();
    Run(kVerify);
    EXPECT_EQ(Ids(), (std::vector<int>{32891}));
    EXPECT_EQ(dialogs, 0);

    SettingsImage& pc = record.pc;
    pc.tokenWatchdog = 77;
    pc.tokenWatchdogEnabled = 1;
    std::memcpy(pc.nodeName, "LINE9", 6);
    pc.nodeNameEnabled = 1;
    pc.broadcastType = 1;
    pc.subnetMask[2] = 0;
    pc.localArea2Type = 0xB0;  // CIO instead of DM
    pc.entries[1].receiveDataOrder = 1;
    pc.entries[2].area1Size = 8;
    w->ReloadPagesFromRecord(false);
    recording.shown.clear();
    Run(kVerify);
    poll.stop();
    EXPECT_EQ(Ids(), (std::vector<int>{32892}));
    std::vector<int> items;
    for (const VerifyRow& row : commu->m_verifyResult.Rows()) items.push_back(row.itemId);
    EXPECT_EQ(items, (std::vector<int>{32864, 33043, 32869, 32871, 33039, 32890, 32886}));
    ASSERT_EQ(dialogs, 1);
    EXPECT_EQ(countText, "7");
    ASSERT_EQ(listed.size(), 15);
    const auto& rows = commu->m_verifyResult.Rows();
    for (size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].itemId == 33043) continue;  // the node name is shown decoded from the record's bytes
        EXPECT_EQ(listed[static_cast<int>(i)].toStdString(),
                  std::to_string(i + 1) + "|" + rows[i].item + "|" + rows[i].plcText + "|" + rows[i].pcText);
    }
    EXPECT_EQ(listed[7], " |||");
    EXPECT_EQ(rows[4].pcText, "CIO");
    EXPECT_EQ(rows[5].pcText, "逆方向");
    ExpectIdle();
}

}  // namespace

// The same commands through the real transport: the unit behind a loopback UDP server.
TEST_F(TransferMenuTest, TransfersVerifyAndAStatusViewOverLoopbackUdp) {
    LoopbackSim server(peer);
    std::string error;
    ASSERT_TRUE(server.Start(&error)) << error;
    middleware.SetSimulateAll(false);
    Open(recording, "[DEV]DEV:VR4H;CPU:MPU90;[NET]FRAME:1004;" + server.Endpoint() + "TMO:2000;");
    UseFullTable();
    const MappingTableValues written = w->MappingPage().Values();
    Run(kToPlc);
    EXPECT_EQ(Ids(), (std::vector<int>{32941, 33030}));
    EXPECT_EQ(barSteps, (std::vector<std::pair<int, int>>{{0, 2}, {1, 2}, {2, 2}}));
    ExpectIdle();

    NewDocumentForTheUnit();
    recording.shown.clear();
    Run(kFromPlc);
    EXPECT_EQ(Ids(), (std::vector<int>{32909, 33030}));
    EXPECT_EQ(w->MappingPage().Values().entryCount, 128u);
    EXPECT_EQ(std::memcmp(w->MappingPage().Values().entries, written.entries, sizeof written.entries), 0);
    recording.shown.clear();
    Run(kVerify);
    EXPECT_EQ(Ids(), (std::vector<int>{32891}));
    ExpectIdle();

    // The cycle time view reads through the same connection, then is closed by its button.
    recording.shown.clear();
    const size_t sent = peer.commands.size();
    int shown = 0;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (!top->isVisible() || top->objectName() != "cycleTimeDlg") continue;
            ++shown;
            if (auto* close = top->findChild<QAbstractButton*>("closeButton")) close->click();
        }
    });
    poll.start(5);
    Run(32788);
    poll.stop();
    EXPECT_EQ(shown, 1);
    EXPECT_TRUE(recording.shown.empty());
    EXPECT_GE(peer.commands.size(), sent + 2) << "model check and the view's read";
    ExpectIdle();
}
