#include <QApplication>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include "app/qt/LinkSmithDlg.h"
#include "tests/app/qt/StartupFixture.h"

namespace {

// A widget the user can be typing in, and the tab that has to be current for it to show.
struct Target {
    const char* name;  // object name; "tabBar" is the tab control's bar
    int tab;
};

const Target kTargets[] = {
    {"subnetMask1Edit", CLinkSmithDlg::kSystemTab},
    {"localArea1StartEdit", CLinkSmithDlg::kLocalTab},
    {"nodeCell0", CLinkSmithDlg::kMappingTab},
    {"area2SizeCell3", CLinkSmithDlg::kMappingTab},
    {"extNo0", CLinkSmithDlg::kExtensionTab},
    {"tokenWatchdogEdit", CLinkSmithDlg::kLocalTab},  // the unit area panel is beside every tab
    {"nodeNameEdit", CLinkSmithDlg::kMappingTab},
    {"tabBar", CLinkSmithDlg::kSystemTab},
};

class KeyBindingTest : public StartupFixture {
protected:
    CLinkSmithDlg* w = nullptr;

    void SetUp() override {
        ASSERT_TRUE(Start({}));
        w = startup->Window();
        w->RunCommand(32792);  // the extension tab, so its page can hold the focus too
        w->show();
        w->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(w));
        prompter.shown.clear();
    }

    // Brings the target's tab to the front and puts the focus into the target.
    QWidget* Focus(const Target& target) {
        if (w->CurrentTab() != target.tab) w->Tabs()->setCurrentIndex(target.tab);
        EXPECT_EQ(w->CurrentTab(), target.tab) << "the tab change was refused";
        QWidget* widget = std::string(target.name) == "tabBar" ? w->Tabs()->tabBar()
                                                               : w->findChild<QWidget*>(target.name);
        EXPECT_NE(widget, nullptr) << target.name;
        if (!widget) return nullptr;
        widget->setFocus(Qt::OtherFocusReason);
        EXPECT_EQ(QApplication::focusWidget(), widget) << target.name;
        return widget;
    }
};

TEST_F(KeyBindingTest, CommandKeysRunTheirCommandsWhereverTheFocusIs) {
    for (const Target& target : kTargets) {
        SCOPED_TRACE(target.name);

        // Ctrl+N: New, which first asks about the modified document (Cancel keeps it).
        QWidget* widget = Focus(target);
        ASSERT_NE(widget, nullptr);
        startup->App().modified = true;
        prompter.shown.clear();
        prompter.answers = {PromptAnswer::Cancel};
        QTest::keyClick(widget, Qt::Key_N, Qt::ControlModifier);
        EXPECT_EQ(ShownIds(), std::vector<int>{32899});
        EXPECT_TRUE(startup->App().modified);
        startup->App().modified = false;

        // Ctrl+O: Open, which asks for the file (the script cancels).
        widget = Focus(target);
        prompter.shown.clear();
        const int opened = dialogs.openAsked;
        QTest::keyClick(widget, Qt::Key_O, Qt::ControlModifier);
        EXPECT_EQ(dialogs.openAsked, opened + 1);
        EXPECT_EQ(ShownIds(), std::vector<int>{});

        // Ctrl+S: Save of the untitled document: the comment, then the file (cancelled).
        widget = Focus(target);
        const int comments = dialogs.commentAsked, saves = dialogs.saveAsked;
        QTest::keyClick(widget, Qt::Key_S, Qt::ControlModifier);
        EXPECT_EQ(dialogs.commentAsked, comments + 1);
        EXPECT_EQ(dialogs.saveAsked, saves + 1);
        EXPECT_EQ(ShownIds(), std::vector<int>{}) << "the pages' checks passed";

        // Ctrl+T: transfer PC to PLC, up to its question (answered No).
        widget = Focus(target);
        prompter.answers = {PromptAnswer::No};
        QTest::keyClick(widget, Qt::Key_T, Qt::ControlModifier);
        EXPECT_EQ(ShownIds(), std::vector<int>{32941});
        EXPECT_FALSE(w->Busy());

        // Ctrl+Shift+T: transfer PLC to PC, up to its own question.
        widget = Focus(target);
        prompter.shown.clear();
        prompter.answers = {PromptAnswer::No};
        QTest::keyClick(widget, Qt::Key_T, Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_EQ(ShownIds(), std::vector<int>{32909});
        prompter.shown.clear();
        prompter.answers.clear();
    }
}

TEST_F(KeyBindingTest, EscapeAndEnterCloseNeitherTheWindowNorAPage) {
    for (const Target& target : kTargets) {
        SCOPED_TRACE(target.name);
        for (Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter}) {
            QWidget* widget = Focus(target);
            ASSERT_NE(widget, nullptr);
            QTest::keyClick(widget, key);
            EXPECT_TRUE(w->isVisible());
            EXPECT_TRUE(w->Tabs()->currentWidget()->isVisible()) << "the page stays";
            EXPECT_TRUE(w->findChild<QWidget*>("unitAreaPanel")->isVisible());
            EXPECT_EQ(w->CurrentTab(), target.tab);
        }
    }
    EXPECT_EQ(ShownIds(), std::vector<int>{});
    EXPECT_EQ(dialogs.openAsked + dialogs.saveAsked + dialogs.commentAsked, 0) << "no command ran";
}

}  // namespace
