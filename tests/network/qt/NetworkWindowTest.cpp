#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QTableWidget>
#include <QTest>

#include "app/qt/LinkSmithDlg.h"
#include "monitor/qt/MonitorDlg.h"
#include "network/NetworkPlan.h"
#include "sim/SimServer.h"
#include "sim/UnitSimulatorAdapter.h"
#include "network/CommonMemoryMap.h"
#include "network/qt/CommonMemoryMapWidget.h"
#include "network/qt/NetworkDlg.h"
#include "tests/app/qt/StartupFixture.h"
#include "tests/network/NetworkTestFiles.h"

namespace {

constexpr int kNetworkMenu = 33102;
constexpr int kSaveChangesQuestion = 32899;
constexpr int kNetworkFileUnusable = 40160;
constexpr int kSyncQuestion = 40161;
constexpr int kWriteQuestion = 32941;
constexpr int kSave = 32774;

class NetworkWindowTest : public StartupFixture {
protected:
    NetworkFolder net;

    CNetworkDlg* Network() { return startup->Window()->Network(); }
    template <class T>
    T* Find(const char* name) {
        T* widget = Network()->findChild<T*>(name);
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QTableWidget* Nodes() { return Find<QTableWidget>("nodeList"); }
    QString Cell(int row, int column) {
        const QTableWidgetItem* item = Nodes()->item(row, column);
        return item ? item->text() : QString();
    }
    int RowOf(int node) {
        for (int row = 0; row < Nodes()->rowCount(); ++row)
            if (Cell(row, CNetworkDlg::kNumberColumn) == QString::number(node)) return row;
        return -1;
    }
    // The colour the window painted inside a block, away from its border and label.
    QColor PaintedAt(const MapRect& r) {
        CCommonMemoryMapWidget* map = Find<CCommonMemoryMapWidget>("memoryMap");
        const QImage image = map->grab().toImage();
        return image.pixelColor(static_cast<int>(r.x) + 4, static_cast<int>(r.y) + 4);
    }
    const MapBlock* Block(int area, int node) {
        for (const auto& b : Network()->MapWidget()->Map().Blocks())
            if (b.area == area && b.node == node) return &b;
        return nullptr;
    }
    // Every node's unit simulated on network 1 at its node number, each seeing itself alone take
    // part in the data link; the window's runs reach them there.
    void SimulateUnits(CSimServer& sim, int missing = 0) {
        for (const auto& n : Network()->Plan()->nodes) {
            if (n.Number() == missing) continue;
            auto adapter = std::make_unique<CUnitSimulatorAdapter>();
            adapter->Unit().SetUnitNumber(static_cast<int>(n.unit));
            adapter->Unit().SetParticipation(n.Number(), true);
            sim.AddPlc(1, static_cast<uint8_t>(n.Number()), std::move(adapter));
        }
        Network()->operationOptions.simulatedPeer = &sim;
        Network()->operationOptions.timeoutMs = 300;
    }
    void DoubleClickRow(int row) {
        QAbstractItemView* view = Nodes();
        const QRect cell = view->visualRect(Nodes()->model()->index(row, CNetworkDlg::kFileColumn));
        // As a mouse does it: the first click's press and release, then the second press.
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, cell.center());
    }
};

TEST_F(NetworkWindowTest, NetworkOptionOpensTheWindowWithEveryNodeAndTheirSendingAreas) {
    ASSERT_TRUE(Start({"--network", net.net}));
    ASSERT_NE(Network(), nullptr);
    EXPECT_TRUE(Network()->isVisible());
    EXPECT_EQ(Network()->windowTitle(), QString::fromUtf8("ﾈｯﾄﾜｰｸ - line1"));
    ASSERT_EQ(Nodes()->rowCount(), 7);
    // The network file's order, each with its settings file's node name and sending parts.
    const int numbers[] = {1, 2, 3, 4, 5, 8, 10};
    for (int row = 0; row < 7; ++row) {
        EXPECT_EQ(Cell(row, CNetworkDlg::kNumberColumn), QString::number(numbers[row]));
        EXPECT_EQ(Cell(row, CNetworkDlg::kCheckColumn), "OK") << numbers[row];
    }
    EXPECT_EQ(Cell(0, CNetworkDlg::kNameColumn), "PRESS1");
    EXPECT_EQ(Cell(0, CNetworkDlg::kFileColumn), "press.lsm");
    EXPECT_EQ(Cell(0, CNetworkDlg::kArea1Column), QString::fromUtf8("0～15 (16)"));
    EXPECT_EQ(Cell(0, CNetworkDlg::kArea2Column), QString::fromUtf8("0～99 (100)"));
    EXPECT_EQ(Cell(RowOf(8), CNetworkDlg::kArea1Column), "-");
    EXPECT_EQ(Cell(RowOf(10), CNetworkDlg::kArea2Column), "-");
    EXPECT_EQ(Find<QListWidget>("findingList")->count(), 0);

    // The picture: a block per node and area it sends in, none red.
    const auto& blocks = Network()->MapWidget()->Map().Blocks();
    EXPECT_EQ(blocks.size(), 11u);
    ASSERT_NE(Block(1, 10), nullptr);
    EXPECT_EQ(PaintedAt(Block(1, 10)->rect), QColor(CCommonMemoryMap::kBlockFill));
    EXPECT_EQ(Block(2, 10), nullptr);
    EXPECT_EQ(Block(1, 8), nullptr);
}

TEST_F(NetworkWindowTest, MenuItemAsksForTheNetworkFileAndAnUnusableOneIsSaid) {
    ASSERT_TRUE(Start({}));
    EXPECT_EQ(Network(), nullptr);
    std::vector<std::string> chosen = {"", net.net};
    int asked = 0;
    startup->Window()->NetworkWindow()->chooseNetworkFile = [&] { return chosen[static_cast<size_t>(asked++)]; };
    startup->Window()->Action(kNetworkMenu)->trigger();
    EXPECT_EQ(asked, 1);  // cancelled
    EXPECT_FALSE(Network()->Loaded());
    startup->Window()->Action(kNetworkMenu)->trigger();
    EXPECT_EQ(asked, 2);
    EXPECT_TRUE(Network()->Loaded());
    EXPECT_EQ(Nodes()->rowCount(), 7);
    // Loaded: the menu item shows the window again without asking.
    startup->Window()->Action(kNetworkMenu)->trigger();
    EXPECT_EQ(asked, 2);

    // A node number out of range: the message names the line, the list empties.
    net.WriteNet("name = \"x\"\n[[node]]\nnumber = 300\nfile = \"press.lsm\"\n");
    Find<QPushButton>("checkButton")->click();
    ASSERT_EQ(ShownIds(), std::vector<int>{kNetworkFileUnusable});
    EXPECT_NE(prompter.shown[0].inserts[0].find("line1.toml:3"), std::string::npos) << prompter.shown[0].inserts[0];
    EXPECT_EQ(Nodes()->rowCount(), 0);
    EXPECT_FALSE(Find<QPushButton>("syncButton")->isEnabled());
    EXPECT_FALSE(Find<QPushButton>("verifyAllButton")->isEnabled());
}

TEST_F(NetworkWindowTest, NetworkOptionWithoutAFileEndsTheProgram) {
    EXPECT_FALSE(Start({"--network"}));
}

// The program itself: with --network its picture is the network window's, not the main window's.
TEST_F(NetworkWindowTest, ProgramStartedWithNetworkShowsTheNetworkWindow) {
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_CONFIG_HOME", dir.path());
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("LINKSMITH_SCREENSHOT", dir.filePath("network.png"));
    program.setProcessEnvironment(environment);
    program.start(LINKSMITH_PROGRAM, {"--network", QString::fromStdString(net.net)});
    ASSERT_TRUE(program.waitForFinished(30000));
    EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();
    const QImage picture(dir.filePath("network.png"));
    ASSERT_FALSE(picture.isNull());
    ASSERT_TRUE(Start({"--network", net.net}));
    EXPECT_EQ(picture.size(), Network()->size());
    EXPECT_NE(picture.size(), startup->Window()->size());
}

// Node 3's area-1 part moved onto node 2's: both blocks red, the zone shaded, node 3's stale
// mappings marked in every other table, the check column says which nodes are at fault.
TEST_F(NetworkWindowTest, OverlapIsPaintedRedAndStaleMappingsMarked) {
    net.Change("welder.lsm", [](SettingsImage& pc) { pc.localArea1ComStart = 20; });
    ASSERT_TRUE(Start({"--network", net.net}));
    ASSERT_NE(Block(1, 2), nullptr);
    ASSERT_NE(Block(1, 3), nullptr);
    EXPECT_EQ(PaintedAt(Block(1, 2)->rect), QColor(CCommonMemoryMap::kOverlapFill));
    EXPECT_EQ(PaintedAt(Block(1, 3)->rect), QColor(CCommonMemoryMap::kOverlapFill));
    EXPECT_EQ(PaintedAt(Block(1, 1)->rect), QColor(CCommonMemoryMap::kBlockFill));
    EXPECT_EQ(PaintedAt(Block(2, 3)->rect), QColor(CCommonMemoryMap::kBlockFill));
    // The two overlapping blocks lie in lanes of their own, so both stay visible.
    EXPECT_NE(Block(1, 2)->rect.y, Block(1, 3)->rect.y);

    const auto& marks = Network()->MapWidget()->Map().Marks();
    ASSERT_FALSE(marks.empty());
    for (const auto& m : marks) {
        EXPECT_EQ(m.ofNode, 3);
        EXPECT_EQ(m.first, 32);
        EXPECT_EQ(PaintedAt(m.rect), QColor(CCommonMemoryMap::kMarkFill));
    }
    EXPECT_TRUE(Cell(RowOf(2), CNetworkDlg::kCheckColumn).startsWith(QString::fromUtf8("ｴﾗｰ")));
    EXPECT_TRUE(Cell(RowOf(3), CNetworkDlg::kCheckColumn).startsWith(QString::fromUtf8("ｴﾗｰ")));
    EXPECT_TRUE(Cell(RowOf(1), CNetworkDlg::kCheckColumn).startsWith(QString::fromUtf8("ｴﾗｰ")));  // its table
    EXPECT_GT(Find<QListWidget>("findingList")->count(), 1);

    // A click on a block selects its node in the list.
    CCommonMemoryMapWidget* map = Find<CCommonMemoryMapWidget>("memoryMap");
    const MapRect r = Block(2, 4)->rect;
    QTest::mouseClick(map, Qt::LeftButton, {}, QPoint(static_cast<int>(r.x + r.w / 2), static_cast<int>(r.y + 3)));
    EXPECT_EQ(Nodes()->currentRow(), RowOf(4));
}

// Stale tables (node 1 maps node 2 with an old area-1 size, node 3 lost node 10): the sync
// button asks once, No writes nothing, Yes rewrites the tables and the check comes back clean.
TEST_F(NetworkWindowTest, SyncFromTheButtonThenCheckIsClean) {
    net.Change("press.lsm", [](SettingsImage& pc) { pc.entries[0].area1Size = 8; });
    net.Change("welder.lsm", [](SettingsImage& pc) {
        pc.entries[4] = MappingEntry{};
        pc.entryCount = pc.faLinkNodeCount = 4;
    });
    ASSERT_TRUE(Start({"--network", net.net}));
    ASSERT_FALSE(Network()->Findings().empty());
    EXPECT_EQ(Network()->MapWidget()->Map().Marks().size(), 1u);
    const auto before = net.Snapshot();

    prompter.answers = {PromptAnswer::No};
    Find<QPushButton>("syncButton")->click();
    ASSERT_EQ(ShownIds(), std::vector<int>{kSyncQuestion});
    EXPECT_EQ(prompter.shown[0].inserts, std::vector<std::string>{"2"});
    EXPECT_EQ(net.Snapshot(), before);

    prompter.answers = {PromptAnswer::Yes};
    Find<QPushButton>("syncButton")->click();
    EXPECT_EQ(ShownIds(), (std::vector<int>{kSyncQuestion, kSyncQuestion}));
    EXPECT_NE(net.Bytes("press.lsm"), before.at("press.lsm"));
    EXPECT_NE(net.Bytes("welder.lsm"), before.at("welder.lsm"));
    EXPECT_EQ(net.Bytes("line1.lsm"), before.at("line1.lsm"));

    Find<QPushButton>("checkButton")->click();
    EXPECT_TRUE(Network()->Findings().empty());
    EXPECT_EQ(Find<QListWidget>("findingList")->count(), 0);
    EXPECT_TRUE(Network()->MapWidget()->Map().Marks().empty());
    for (int row = 0; row < Nodes()->rowCount(); ++row) EXPECT_EQ(Cell(row, CNetworkDlg::kCheckColumn), "OK");
}

// press.lsm is open in the editor while a sync rewrites it. Unchanged, the editor shows the file
// as rewritten, so a save keeps the new table. Changed, its save prompt comes first: Cancel stops
// the sync, No drops the changes and the sync goes on.
TEST_F(NetworkWindowTest, SyncShowsTheRewrittenFileInTheEditorAfterItsSavePrompt) {
    auto stale = [this] { net.Change("press.lsm", [](SettingsImage& pc) { pc.entries[0].area1Size = 8; }); };
    stale();
    ASSERT_TRUE(Start({"--network", net.net}));
    CLinkSmithDlg& window = *startup->Window();
    DoubleClickRow(RowOf(1));
    ASSERT_EQ(window.SettingsFile().currentFileName, "press.lsm");
    const std::string old = net.Bytes("press.lsm");

    prompter.answers = {PromptAnswer::Yes};
    Find<QPushButton>("syncButton")->click();
    ASSERT_EQ(ShownIds(), std::vector<int>{kSyncQuestion});
    const std::string synced = net.Bytes("press.lsm");
    ASSERT_NE(synced, old);
    window.Action(kSave)->trigger();
    EXPECT_EQ(net.Bytes("press.lsm"), synced);

    stale();
    window.OpenSettingsFile(net.Path("press.lsm"));
    window.SetModified();
    prompter.shown.clear();
    prompter.answers = {PromptAnswer::Cancel};
    Find<QPushButton>("syncButton")->click();
    ASSERT_EQ(ShownIds(), std::vector<int>{kSaveChangesQuestion});
    EXPECT_EQ(net.Bytes("press.lsm"), old);

    prompter.answers = {PromptAnswer::No, PromptAnswer::Yes};
    Find<QPushButton>("syncButton")->click();
    EXPECT_EQ(ShownIds(), (std::vector<int>{kSaveChangesQuestion, kSaveChangesQuestion, kSyncQuestion}));
    EXPECT_EQ(net.Bytes("press.lsm"), synced);
    window.Action(kSave)->trigger();
    EXPECT_EQ(net.Bytes("press.lsm"), synced);
}

TEST_F(NetworkWindowTest, DoubleClickOpensTheNodesFileInTheEditorAfterTheSavePrompt) {
    ASSERT_TRUE(Start({"--network", net.net}));
    CLinkSmithDlg& window = *startup->Window();
    // Unchanged document: no question.
    DoubleClickRow(RowOf(3));
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_EQ(window.SettingsFile().currentFileName, "welder.lsm");
    EXPECT_EQ(window.Document(), CLinkSmithDlg::kSettingsFile);
    EXPECT_TRUE(window.windowTitle().startsWith("welder.lsm"));

    // Changed: the save prompt; Cancel keeps the document, No opens the node's file.
    window.SetModified();
    prompter.answers = {PromptAnswer::Cancel};
    DoubleClickRow(RowOf(1));
    ASSERT_EQ(ShownIds(), std::vector<int>{kSaveChangesQuestion});
    EXPECT_EQ(prompter.shown[0].inserts[0], net.Path("welder.lsm"));
    EXPECT_EQ(window.SettingsFile().currentFileName, "welder.lsm");

    prompter.answers = {PromptAnswer::No};
    DoubleClickRow(RowOf(1));
    EXPECT_EQ(ShownIds(), (std::vector<int>{kSaveChangesQuestion, kSaveChangesQuestion}));
    EXPECT_EQ(window.SettingsFile().currentFileName, "press.lsm");
    EXPECT_TRUE(window.windowTitle().startsWith("press.lsm"));
    EXPECT_EQ(window.Recent().Paths().front(), net.Path("press.lsm"));
}

// Every node's unit simulated on network 1 at its node number, but node 5's PLC is missing: the
// other nodes are written, read and verified side by side, node 5 fails on its own row.
TEST_F(NetworkWindowTest, WriteReadAndVerifyAllAgainstSimulatedUnitsWithOneNodeMissing) {
    ASSERT_TRUE(Start({"--network", net.net}));
    CSimServer sim;
    SimulateUnits(sim, 5);
    auto run = [&](const char* button) {
        Find<QPushButton>(button)->click();
        EXPECT_TRUE(Network()->Running());
        EXPECT_FALSE(Find<QPushButton>("syncButton")->isEnabled());
        EXPECT_TRUE(Find<QPushButton>("cancelButton")->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(!Network()->Running(), 30000);
        QProgressBar* bar = Find<QProgressBar>("networkProgress");
        EXPECT_EQ(bar->value(), bar->maximum());
        EXPECT_EQ(bar->maximum(), 7);
    };
    auto results = [&] {
        std::map<int, QString> byNode;
        for (int row = 0; row < Nodes()->rowCount(); ++row)
            byNode[Cell(row, CNetworkDlg::kNumberColumn).toInt()] = Cell(row, CNetworkDlg::kResultColumn);
        return byNode;
    };
    const QString failed = QString::fromUtf8("失敗");

    // The fresh units hold their defaults: every reachable one differs from its file.
    run("verifyAllButton");
    for (const auto& [node, text] : results())
        EXPECT_TRUE(text.startsWith(node == 5 ? failed : QString::fromUtf8("照合不一致"))) << node << " " << text.toStdString();

    // Write all asks once for the whole network; No sends nothing.
    prompter.answers = {PromptAnswer::No};
    Find<QPushButton>("writeAllButton")->click();
    EXPECT_FALSE(Network()->Running());
    ASSERT_EQ(ShownIds(), std::vector<int>{kWriteQuestion});
    run("verifyAllButton");
    EXPECT_TRUE(results()[1].startsWith(QString::fromUtf8("照合不一致")));

    prompter.shown.clear();
    run("writeAllButton");
    EXPECT_EQ(ShownIds().front(), kWriteQuestion);
    for (const auto& [node, text] : results())
        EXPECT_EQ(text, node == 5 ? text : QString::fromUtf8("完了")) << node;
    EXPECT_TRUE(results()[5].startsWith(failed));
    EXPECT_EQ(Network()->LastRun().Count(NodeOutcome::Done), 6u);

    run("verifyAllButton");
    for (const auto& [node, text] : results())
        EXPECT_TRUE(text.startsWith(node == 5 ? failed : QString::fromUtf8("照合一致"))) << node << " " << text.toStdString();

    // Read all into a folder of the user's choice, one settings file per node.
    const std::string out = Path("read");
    std::filesystem::create_directories(out);
    Network()->chooseReadFolder = [&] { return out; };
    run("readAllButton");
    for (const auto& n : Network()->Plan()->nodes) {
        const std::string file = (std::filesystem::path(out) / n.entry.file).string();
        EXPECT_EQ(std::filesystem::exists(file), n.Number() != 5) << file;
    }
    EXPECT_TRUE(results()[1].startsWith(QString::fromUtf8("完了: ")));
    EXPECT_TRUE(results()[5].startsWith(failed));
}

// The monitor button watches every unit of the network side by side, each row reading its own
// unit; a run from the window leaves them all unread until it has ended.
TEST_F(NetworkWindowTest, MonitorButtonWatchesEveryUnitAndLeavesThemToARun) {
    ASSERT_TRUE(Start({"--network", net.net}));
    CSimServer sim;
    SimulateUnits(sim);
    Network()->operationOptions.timeoutMs = 1000;
    ASSERT_TRUE(Find<QPushButton>("monitorButton")->isEnabled());
    Find<QPushButton>("monitorButton")->click();
    CMonitorDlg* monitor = Network()->Monitor();
    ASSERT_NE(monitor, nullptr);
    // Its reads end before the simulated units go.
    const auto stop = qScopeGuard([monitor] { monitor->close(); });
    EXPECT_TRUE(monitor->isVisible());
    EXPECT_FALSE(monitor->isModal());
    auto* choice = monitor->findChild<QComboBox*>("monitorTarget");
    ASSERT_EQ(choice->count(), 7);
    EXPECT_TRUE(choice->isVisible());
    EXPECT_EQ(choice->itemText(2), QString::fromUtf8("ﾉｰﾄﾞ 3"));

    const CMonitorLog& log = monitor->Log();
    ASSERT_EQ(log.TargetCount(), 7u);
    const auto allRead = [&] {
        for (size_t i = 0; i < log.TargetCount(); ++i)
            if (!log.LastGood(i)) return false;
        return true;
    };
    ASSERT_TRUE(QTest::qWaitFor(allRead, 10000));
    for (size_t i = 0; i < log.TargetCount(); ++i) {
        const int node = Network()->Plan()->nodes[i].Number();
        EXPECT_EQ(log.Target(i).label, std::to_string(node));
        EXPECT_EQ(log.Target(i).listedNodes.size(), 7u);
        // Its own unit: the one that sees this node alone in the data link.
        EXPECT_TRUE(log.LastGood(i)->dataLink[static_cast<size_t>(node)]) << node;
        EXPECT_EQ(log.LastGood(i)->DataLinkCount(), 1) << node;
    }
    choice->setCurrentIndex(2);
    auto* shownNodes = monitor->findChild<QTableWidget*>("monitorNodes");
    ASSERT_EQ(shownNodes->rowCount(), 1);
    EXPECT_EQ(shownNodes->item(0, 0)->text(), "3");
    Find<QPushButton>("monitorButton")->click();
    EXPECT_EQ(Network()->Monitor(), monitor) << "the button shows the same window again";

    // Node 1's unit answers slowly, so verify all runs for a while; the monitor reads on at
    // 0.5 s but none of the units the run uses.
    monitor->findChild<QDoubleSpinBox*>("monitorInterval")->setValue(0.5);
    SimFaults slow;
    slow.delayFraction = 1;
    slow.delay = std::chrono::milliseconds(400);
    ASSERT_TRUE(sim.SetPlcFaults(1, 1, slow));
    auto* paused = monitor->findChild<QLabel*>("monitorPaused");
    EXPECT_FALSE(paused->isVisible());
    Find<QPushButton>("verifyAllButton")->click();
    // The click returns once no read of the monitor is under way: every reading is older.
    const auto pausedAt = std::chrono::system_clock::now();
    ASSERT_TRUE(Network()->Running());
    EXPECT_TRUE(paused->isVisible());
    const int rounds = monitor->Rounds();
    ASSERT_TRUE(QTest::qWaitFor([&] { return monitor->Rounds() >= rounds + 2 || !Network()->Running(); }, 10000));
    ASSERT_TRUE(Network()->Running()) << "the run ended before the monitor had two rounds";
    for (size_t i = 0; i < log.TargetCount(); ++i)
        EXPECT_LE(log.Last(i)->time, pausedAt) << "node " << log.Target(i).label << " read during the run";
    QTRY_VERIFY_WITH_TIMEOUT(!Network()->Running(), 30000);
    EXPECT_EQ(Network()->LastRun().Count(NodeOutcome::Failed), 0u);
    EXPECT_FALSE(paused->isVisible());
    EXPECT_TRUE(QTest::qWaitFor([&] { return log.Last(1)->time > pausedAt; }, 8000)) << "reads again afterwards";
}

}  // namespace
