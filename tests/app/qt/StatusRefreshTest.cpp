// The status views' automatic refresh, opened from the main window over the simulated unit:
// no read behind a question of the view, node status lamps that do not blink, and the data
// link grid's header row.
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QPushButton>
#include <QTimer>
#include <functional>

#include "app/qt/LinkSmithDlg.h"
#include "comm/ProfileFile.h"
#include "model/Messages.h"
#include "sim/SimServer.h"
#include "status/StatusView.h"
#include "status/qt/ColorListCtrl.h"
#include "status/qt/LampEdit.h"
#include "status/qt/StatusDialog.h"
#include "tests/app/qt/StartupFixture.h"

namespace {

constexpr int kDataLink = 32786, kErrorHistory = 32790, kNodeStatus = 32791;
const char kShortTimeout[] = "[DEV]DEV:VR4H;CPU:MPU90;[NET]FRAME:1004;NET:HWSP;TMO:400;";

// Records like the scripted prompter, but keeps each box open for a while and lets the window
// system run meanwhile, as a real message box does.
struct OpenBoxPrompter : RecordingPrompter {
    int openMs = 0;
    std::function<void()> whileOpen;
    PromptAnswer Show(int id, const std::vector<std::string>& inserts, PromptButtons buttons,
                      PromptIcon icon) override {
        QElapsedTimer open;
        open.start();
        while (open.elapsed() < openMs) {
            QApplication::processEvents(QEventLoop::AllEvents, 10);
            if (whileOpen) whileOpen();
        }
        return RecordingPrompter::Show(id, inserts, buttons, icon);
    }
};

class StatusRefreshTest : public StartupFixture {
protected:
    void StartWithScenario() {
        ASSERT_TRUE(CProfileFile(Path("profile.ini")).WriteString("VLCProject", "PLCConfig", kShortTimeout));
        StartupOptions options = Options();
        options.prompter = &boxes;
        startup = std::make_unique<CLinkSmithStartup>(options);
        ASSERT_TRUE(startup->Start({"--simulate", LINKSMITH_EXAMPLES_DIR "/plant-line1.lsm"}));
        std::string error;
        ASSERT_TRUE(startup->Simulator()->Unit(0, 0)->LoadState(LINKSMITH_EXAMPLES_DIR "/scenario-faults.txt", &error))
            << error;
        startup->Window()->show();
        boxes.shown.clear();
    }
    unsigned Requests() { return startup->Simulator()->Count().requests; }
    void DelayReplies(int ms) {
        SimFaults f;
        f.delayFraction = 1;
        f.delay = std::chrono::milliseconds(ms);
        startup->Simulator()->SetFaults(f);
    }
    // Lets the window system run until done() or the time is up.
    static bool RunUntil(const std::function<bool()>& done, int ms = 4000) {
        QElapsedTimer t;
        t.start();
        while (!done() && t.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 10);
        return done();
    }
    // Runs the menu command; inspect runs once on the view when it shows, then the view is closed.
    int RunView(int command, const char* name, const std::function<void(CStatusDialog&)>& inspect) {
        int shows = 0;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            for (QWidget* top : QApplication::topLevelWidgets()) {
                auto* view = qobject_cast<CStatusDialog*>(top);
                if (!view || !view->isVisible() || top->objectName() != name) continue;
                if (shows++ == 0) {
                    poll.stop();
                    inspect(*view);
                }
                view->findChild<QPushButton*>("closeButton")->click();
            }
        });
        poll.start(5);
        startup->Window()->Action(command)->trigger();
        return shows;
    }
    // Ticks the view's automatic refresh at its shortest interval.
    static void StartRefresh(CStatusDialog& view) {
        view.View().AutoRefresh().SetIntervalMs(CAutoRefresh::kMinIntervalMs);
        view.findChild<QCheckBox*>("autoRefresh")->setChecked(true);
    }

    OpenBoxPrompter boxes;
};

TEST_F(StatusRefreshTest, NoHistoryReadStartsWhileTheClearQuestionIsOpen) {
    StartWithScenario();
    std::string error;  // the scenario's unit is write-protected: a new one at the same unit number is not
    ASSERT_TRUE(startup->Simulator()->Unit(0, 0)->LoadState(Write("open.txt", "unit 2\nprotected 0\n"), &error))
        << error;
    const int shows = RunView(kErrorHistory, "errorHistoryDlg", [&](CStatusDialog& view) {
        StartRefresh(view);
        unsigned before = Requests();
        ASSERT_TRUE(RunUntil([&] { return Requests() > before; })) << "the refresh reads";

        // The question stays open for three intervals; no read may go out behind it.
        auto* clear = view.findChild<QPushButton*>("clearButton");
        for (PromptAnswer answer : {PromptAnswer::No, PromptAnswer::Yes}) {
            boxes.openMs = 3 * CAutoRefresh::kMinIntervalMs;
            boxes.answers = {answer};
            unsigned atOpen = 0;
            bool sentWhileOpen = false;
            boxes.whileOpen = [&] {
                if (!atOpen) atOpen = Requests();
                sentWhileOpen = sentWhileOpen || Requests() != atOpen;
            };
            boxes.shown.clear();
            before = Requests();
            clear->click();
            boxes.openMs = 0;
            boxes.whileOpen = nullptr;
            ASSERT_EQ(boxes.shown.size(), 1u);
            EXPECT_EQ(boxes.shown[0].id, Msg::kClearHistoryQuestion);
            EXPECT_NE(atOpen, 0u);
            EXPECT_FALSE(sentWhileOpen) << (answer == PromptAnswer::Yes ? "Yes" : "No");
            // No sends nothing; Yes sends the clear and nothing else.
            EXPECT_EQ(Requests(), before + (answer == PromptAnswer::Yes ? 1 : 0));
        }
        EXPECT_TRUE(view.findChild<QCheckBox*>("autoRefresh")->isChecked());
        before = Requests();
        EXPECT_TRUE(RunUntil([&] { return Requests() > before; })) << "the refresh goes on after the question";
    });
    EXPECT_EQ(shows, 1);
    EXPECT_EQ(boxes.shown.size(), 1u) << "the question and no message";
}

TEST_F(StatusRefreshTest, AutomaticRefreshKeepsTheLampsButUpdateTurnsThemOffWhileItReads) {
    StartWithScenario();
    const int shows = RunView(kNodeStatus, "nodeStatusDlg", [&](CStatusDialog& view) {
        std::vector<CLampEdit*> lamps;
        for (int i = 0; i < 15; ++i) lamps.push_back(view.findChild<CLampEdit*>(QString("lamp%1").arg(i)));
        std::vector<LampState> shown;
        for (CLampEdit* lamp : lamps) shown.push_back(lamp->State());
        ASSERT_NE(std::count(shown.begin(), shown.end(), LampState::Off), 15) << "some lamp is lit";

        // Sampled while the reads wait (they pump, so the sampler runs inside them).
        int samples = 0, samplesWhileBusy = 0, darkWhileBusy = 0, changed = 0;
        QTimer sampler;
        QObject::connect(&sampler, &QTimer::timeout, [&] {
            ++samples;
            int lit = 0;
            bool same = true;
            for (size_t i = 0; i < lamps.size(); ++i) {
                lit += lamps[i]->State() != LampState::Off;
                same = same && lamps[i]->State() == shown[i];
            }
            if (!same) ++changed;
            if (view.View().IsBusy()) {
                ++samplesWhileBusy;
                if (lit == 0) ++darkWhileBusy;
            }
        });
        sampler.start(5);
        DelayReplies(60);
        StartRefresh(view);
        const unsigned before = Requests();
        EXPECT_TRUE(RunUntil([&] { return Requests() >= before + 3; })) << "three refresh reads";
        view.findChild<QCheckBox*>("autoRefresh")->setChecked(false);
        RunUntil([&] { return !view.View().IsBusy(); });
        EXPECT_GT(samplesWhileBusy, 0);
        EXPECT_EQ(changed, 0) << "the same reading keeps every lamp as it was";

        // By hand the lamps go off while the read waits, and come back with the reading.
        samplesWhileBusy = darkWhileBusy = changed = 0;
        view.findChild<QPushButton*>("updateButton")->click();
        sampler.stop();
        EXPECT_GT(samplesWhileBusy, 0);
        EXPECT_EQ(darkWhileBusy, samplesWhileBusy);
        for (size_t i = 0; i < lamps.size(); ++i) EXPECT_EQ(lamps[i]->State(), shown[i]) << i;
        startup->Simulator()->SetFaults(SimFaults());
    });
    EXPECT_EQ(shows, 1);
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(StatusRefreshTest, DataLinkGridShowsItsBlankHeaderRowAndEveryRow) {
    StartWithScenario();
    const int shows = RunView(kDataLink, "dataLinkStatusDlg", [&](CStatusDialog& view) {
        auto* grid = view.findChild<CColorListCtrl*>("dataLinkGrid");
        ASSERT_NE(grid, nullptr);
        QHeaderView* header = grid->horizontalHeader();
        EXPECT_TRUE(header->isVisible());
        EXPECT_GT(header->height(), 0);
        ASSERT_EQ(grid->columnCount(), 16);
        for (int c = 0; c < 16; ++c) {
            EXPECT_TRUE(grid->horizontalHeaderItem(c) == nullptr || grid->horizontalHeaderItem(c)->text().isEmpty());
            EXPECT_LE(std::abs(grid->columnWidth(c) - grid->viewport()->width() / 16), 1) << c;
        }
        // Below the header every row is still on screen, node 254 included.
        const QRect last = grid->visualItemRect(grid->item(15, 14));
        EXPECT_EQ(grid->CellText(15, 14), "254");
        EXPECT_TRUE(grid->viewport()->rect().contains(last)) << last.bottom() << " " << grid->viewport()->height();
    });
    EXPECT_EQ(shows, 1);
    EXPECT_TRUE(boxes.shown.empty());
}

}  // namespace
