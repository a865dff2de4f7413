#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSettings>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTranslator>
#include <QToolBar>
#include <algorithm>
#include <filesystem>
#include <functional>
#include <iostream>
#include <fstream>

#include "app/CommSettings.h"
#include "app/qt/AppSettingsStore.h"
#include "app/qt/EntryEditorDlg.h"
#include "app/qt/LinkSmithStartup.h"
#include "app/qt/QtPrompter.h"
#include "comm/CommuProcess.h"
#include "comm/LinkMiddleware.h"
#include "sim/SimServer.h"
#include "sim/UnitSimulatorAdapter.h"
#include "app/qt/LinkSmithDlg.h"
#include "model/Messages.h"
#include "model/FileIo.h"
#include "model/Prompter.h"
#include "tests/model/FailingFileOps.h"
#include "tests/app/qt/ScriptedDialogs.h"

namespace {

// A simulated unit at the unit number of the sample settings file, plant-line1.lsm.
std::unique_ptr<CUnitSimulatorAdapter> SampleUnit() {
    auto unit = std::make_unique<CUnitSimulatorAdapter>();
    unit->Unit().SetUnitNumber(2);
    return unit;
}

class MainWindowTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    CLinkSmithApp app;
    CUnitSettings record;
    RecordingPrompter prompter;
    ScriptedDialogs dialogs;
    std::unique_ptr<CAppSettingsStore> store;
    CSystemClock clock;
    CLinkMiddleware middleware{clock};
    CCommuProcess commu{record, prompter, middleware};

    void SetUp() override {
        store = std::make_unique<CAppSettingsStore>(dir.path().toStdString());
        commu.SetProfileFile(dir.filePath("profile.ini").toStdString());
    }
    std::unique_ptr<CLinkSmithDlg> Open(bool simulated = false) {
        auto w = std::make_unique<CLinkSmithDlg>(app, record, commu, prompter, &dialogs, *store, simulated);
        EXPECT_TRUE(w->Start());
        return w;
    }
    std::string Path(const char* name) { return dir.filePath(name).toStdString(); }
};

TEST_F(MainWindowTest, FirstStartShowsBothBarsDecimalNoExtensionAndUntitled) {
    auto w = Open();
    EXPECT_FALSE(w->findChild<QToolBar*>("toolBar")->isHidden());
    EXPECT_FALSE(w->statusBar()->isHidden());
    EXPECT_EQ(w->DisplayMode(), 0);
    EXPECT_FALSE(w->ExtensionOn());
    EXPECT_TRUE(w->Action(32796)->isChecked());
    EXPECT_EQ(w->windowTitle(), QString::fromUtf8("無題 - LinkSmith"));
    EXPECT_EQ(w->StatusText(), QString::fromUtf8("接続先: ﾈｯﾄ:0 ﾉｰﾄﾞ:0 ﾕﾆｯﾄ:0  10進表示"));
    EXPECT_EQ(w->findChild<QWidget*>("simulatedPane"), nullptr);
    EXPECT_EQ(w->Document(), CLinkSmithDlg::kNewDocument);
}

TEST_F(MainWindowTest, ViewStateIsRestoredAndWrittenBack) {
    store->SetViewStatus("0 1 1 1");
    {
        auto w = Open(true);
        EXPECT_TRUE(w->findChild<QToolBar*>("toolBar")->isHidden());
        EXPECT_FALSE(w->statusBar()->isHidden());
        EXPECT_TRUE(w->ExtensionOn());
        EXPECT_EQ(record.extensionCheck, 1u);
        EXPECT_TRUE(w->Action(32797)->isChecked());
        EXPECT_FALSE(w->Action(32796)->isChecked());
        EXPECT_NE(w->findChild<QWidget*>("simulatedPane"), nullptr);
        w->RunCommand(32796);
        w->RunCommand(32780);
    }
    EXPECT_EQ(store->ViewStatus(), "1 1 1 0");
}

TEST_F(MainWindowTest, DisplayModeSwitchConvertsOnlyFromTheModeShown) {
    store->SetViewStatus("1 1 0 7");  // no display mode has 7: decimal, as without the value
    auto w = Open();
    w->show();
    QAction* decimal = w->Action(32796);
    QAction* hexadecimal = w->Action(32797);
    auto* watchdog = w->findChild<QLineEdit*>("tokenWatchdogEdit");
    EXPECT_TRUE(decimal->isChecked());
    EXPECT_FALSE(hexadecimal->isChecked());
    watchdog->selectAll();
    QTest::keyClicks(watchdog, "255");
    ASSERT_EQ(watchdog->text(), "255");
    const QString before = w->StatusText();
    // Chosen from the menu, the item that already carries the check mark changes nothing.
    decimal->trigger();
    EXPECT_TRUE(decimal->isChecked());
    EXPECT_EQ(w->StatusText(), before);
    EXPECT_EQ(watchdog->text(), "255");
    hexadecimal->trigger();
    EXPECT_EQ(watchdog->text(), "FF");
    EXPECT_TRUE(w->StatusText().endsWith(QString::fromUtf8("16進表示")));
    EXPECT_FALSE(decimal->isChecked());
    hexadecimal->trigger();
    EXPECT_TRUE(hexadecimal->isChecked());
    EXPECT_EQ(watchdog->text(), "FF");
    decimal->trigger();
    EXPECT_EQ(watchdog->text(), "255");
    w.reset();
    EXPECT_EQ(store->ViewStatus(), "1 1 0 0");
}

TEST_F(MainWindowTest, OpenAddsRecentFilesAndReopensThem) {
    for (const char* name : {"a.lsm", "b.lsm", "c.lsm", "d.lsm"})
        std::filesystem::copy_file(LINKSMITH_EXAMPLES_DIR "/plant-line1.lsm", Path(name));
    {
        auto w = Open();
        for (const char* name : {"a.lsm", "b.lsm", "c.lsm", "d.lsm"}) {
            dialogs.openPaths = {Path(name)};
            w->RunCommand(32773);
        }
        EXPECT_EQ(w->Recent().Paths(), (std::vector<std::string>{Path("d.lsm"), Path("c.lsm"), Path("b.lsm")}));
        EXPECT_EQ(w->Document(), CLinkSmithDlg::kSettingsFile);
        EXPECT_EQ(w->windowTitle(), QString::fromUtf8("d.lsm - LinkSmith"));
        EXPECT_EQ(record.unitNumber, 2u);
        ASSERT_NE(w->Action(32934), nullptr);
        EXPECT_EQ(w->Action(32934)->text().toStdString(), Path("b.lsm"));
        w->RunCommand(32934);
        EXPECT_EQ(w->Recent().Paths().front(), Path("b.lsm"));
        EXPECT_EQ(w->Recent().Paths().size(), 3u);
    }
    EXPECT_EQ(store->RecentFiles().front(), Path("b.lsm"));

    // An entry whose file has gone says so once and is dropped.
    std::filesystem::remove(Path("d.lsm"));
    {
        auto w = Open();
        prompter.shown.clear();
        w->RunCommand(32933);
        ASSERT_EQ(prompter.shown.size(), 1u);
        EXPECT_EQ(prompter.shown[0].id, Msg::kFileNotFound);
        EXPECT_EQ(w->Recent().Paths(), (std::vector<std::string>{Path("b.lsm"), Path("c.lsm")}));
        EXPECT_EQ(w->Action(32934), nullptr);
    }
    // The next start offers what is left and starts new documents beside the latest.
    auto again = Open();
    EXPECT_EQ(again->Recent().Paths().size(), 2u);
    EXPECT_EQ(app.documentFolder, dir.path().toStdString() + "/");
}

TEST_F(MainWindowTest, ModifiedDocumentAsksBeforeNewAndCancelKeepsEverything) {
    auto w = Open();
    record.pc.tokenWatchdog = 77;
    w->SetModified();
    prompter.answers = {PromptAnswer::Cancel};
    w->RunCommand(32771);
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].id, 32899);
    EXPECT_EQ(prompter.shown[0].buttons, PromptButtons::YesNoCancel);
    EXPECT_EQ(record.pc.tokenWatchdog, 77);

    EXPECT_FALSE(w->close());
    EXPECT_EQ(prompter.shown.size(), 2u);

    prompter.answers = {PromptAnswer::No};
    w->RunCommand(32771);
    EXPECT_EQ(record.pc.tokenWatchdog, 50);
    EXPECT_EQ(w->Document(), CLinkSmithDlg::kNewDocument);
}

TEST_F(MainWindowTest, SaveAsksForTheFileOnceThenWritesThereAgain) {
    auto w = Open();
    dialogs.savePaths.clear();
    w->SetModified();
    w->RunCommand(32774);  // cancelled file choice: nothing changes
    EXPECT_EQ(w->windowTitle(), QString::fromUtf8("無題 - LinkSmith"));
    EXPECT_EQ(w->Document(), CLinkSmithDlg::kNewDocument);
    EXPECT_TRUE(app.modified);

    dialogs.savePaths = {Path("new.lsm")};
    w->RunCommand(32774);
    EXPECT_TRUE(std::filesystem::exists(Path("new.lsm")));
    EXPECT_EQ(w->Document(), CLinkSmithDlg::kSettingsFile);
    EXPECT_FALSE(app.modified);
    EXPECT_EQ(w->windowTitle(), QString::fromUtf8("new.lsm - LinkSmith"));

    const int commentsBefore = dialogs.commentAsked;
    ASSERT_TRUE(w->Panel().EditText(CUnitAreaPanel::kTokenWatchdog, "99"));
    EXPECT_TRUE(app.modified);
    w->RunCommand(32774);  // no file choice left in the script: it must not ask
    EXPECT_EQ(dialogs.commentAsked, commentsBefore + 1);
    std::ifstream in(Path("new.lsm"), std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find(",Token watchdog timer,99,"), std::string::npos);
}

TEST_F(MainWindowTest, FailedSaveReportsOnceAndKeepsTheDocumentModified) {
    auto w = Open();
    dialogs.savePaths = {Path("unit.lsm")};
    w->RunCommand(32774);
    ASSERT_FALSE(app.modified);
    std::string before;
    ASSERT_TRUE(ReadWholeFile(Path("unit.lsm"), before));
    const QString title = w->windowTitle();
    const auto recent = w->Recent().Paths();

    ASSERT_TRUE(w->Panel().EditText(CUnitAreaPanel::kTokenWatchdog, "99"));
    CFailingFileOps full;
    full.failAt = CFailingFileOps::kWrite;
    full.failErrno = ENOSPC;
    full.writeFailAfter = 100;
    w->SettingsFile().fileOps = &full;
    for (int command : {32774, 32775}) {  // Save to the same file, and Save as to a new one
        prompter.shown.clear();
        dialogs.savePaths = {Path("other.lsm")};
        w->RunCommand(command);
        ASSERT_EQ(prompter.shown.size(), 1u) << command;
        EXPECT_EQ(prompter.shown[0].id, Msg::kFileSaveError);
        EXPECT_TRUE(app.modified);
        EXPECT_EQ(w->windowTitle(), title);
        EXPECT_EQ(app.documentFileName, "unit.lsm");
        EXPECT_EQ(w->Recent().Paths(), recent);
        EXPECT_EQ(w->SettingsFile().saveState, command == 32775 ? 1 : 2);
        std::string now;
        ASSERT_TRUE(ReadWholeFile(Path("unit.lsm"), now));
        EXPECT_EQ(now, before);
        EXPECT_FALSE(std::filesystem::exists(Path("other.lsm")));
        EXPECT_FALSE(std::filesystem::exists(Path("unit.lsm.saving")));
    }

    // Closing: Yes to saving runs save as; when that fails the window stays open.
    prompter.shown.clear();
    prompter.answers = {PromptAnswer::Yes};
    dialogs.savePaths = {Path("unit.lsm")};
    EXPECT_FALSE(w->close());
    ASSERT_EQ(prompter.shown.size(), 2u);
    EXPECT_EQ(prompter.shown[1].id, Msg::kFileSaveError);
    EXPECT_TRUE(app.modified);

    w->SettingsFile().fileOps = nullptr;
    dialogs.savePaths.clear();
    w->RunCommand(32774);
    EXPECT_FALSE(app.modified);
    std::string after;
    ASSERT_TRUE(ReadWholeFile(Path("unit.lsm"), after));
    EXPECT_NE(after.find(",Token watchdog timer,99,"), std::string::npos);
}

// The help command, with and without the manual: DesktopTest; Escape and Enter: KeyBindingTest.
TEST_F(MainWindowTest, TabChangeValidatesThePageLeftAndEditItemsFollowTheMappingTab) {
    auto w = Open();
    EXPECT_FALSE(w->Action(32823)->isEnabled());
    ASSERT_TRUE(w->SystemPage().EditOctet(0, ""));  // an empty subnet mask octet is refused
    w->Tabs()->setCurrentIndex(CLinkSmithDlg::kMappingTab);
    EXPECT_EQ(w->Tabs()->currentIndex(), CLinkSmithDlg::kSystemTab);
    EXPECT_EQ(w->CurrentTab(), CLinkSmithDlg::kSystemTab);
    ASSERT_FALSE(prompter.shown.empty());
    EXPECT_EQ(prompter.shown.back().id, 32855);

    ASSERT_TRUE(w->SystemPage().EditOctet(0, "255"));
    w->Tabs()->setCurrentIndex(CLinkSmithDlg::kMappingTab);
    EXPECT_EQ(w->CurrentTab(), CLinkSmithDlg::kMappingTab);
    EXPECT_TRUE(w->Action(32823)->isEnabled());
    EXPECT_TRUE(w->Action(32825)->isEnabled());
    w->Tabs()->setCurrentIndex(CLinkSmithDlg::kLocalTab);
    EXPECT_FALSE(w->Action(32824)->isEnabled());
}

TEST_F(MainWindowTest, ExtensionSwitchAddsAndRemovesTheFourthTab) {
    auto w = Open();
    EXPECT_EQ(w->Tabs()->count(), 3);
    w->RunCommand(32792);
    EXPECT_EQ(w->Tabs()->count(), 4);
    EXPECT_EQ(record.extensionCheck, 1u);
    w->Tabs()->setCurrentIndex(CLinkSmithDlg::kExtensionTab);
    EXPECT_EQ(w->CurrentTab(), CLinkSmithDlg::kExtensionTab);
    w->RunCommand(32792);
    EXPECT_EQ(w->Tabs()->count(), 3);
    EXPECT_EQ(w->CurrentTab(), CLinkSmithDlg::kSystemTab);
    EXPECT_EQ(w->Tabs()->currentIndex(), CLinkSmithDlg::kSystemTab);
    EXPECT_EQ(record.extensionCheck, 0u);

    // New keeps the switch as it is.
    w->RunCommand(32792);
    w->RunCommand(32771);
    EXPECT_EQ(w->Tabs()->count(), 4);
}

TEST_F(MainWindowTest, OldVersionFileIsSavedAsANewSettingsFile) {
    dialogs.openPaths = {LINKSMITH_EXAMPLES_DIR "/plant-line1-old.csv"};
    auto w = Open();
    w->RunCommand(32776);
    EXPECT_EQ(w->Document(), CLinkSmithDlg::kOldVersionFile);
    EXPECT_EQ(w->Recent().Paths().front(), LINKSMITH_EXAMPLES_DIR "/plant-line1-old.csv");
    EXPECT_EQ(TextOf(record.pc.nodeName, sizeof record.pc.nodeName).size(), 9u);
    dialogs.savePaths = {Path("converted.lsm")};
    w->RunCommand(32774);
    EXPECT_EQ(w->Document(), CLinkSmithDlg::kSettingsFile);
    EXPECT_EQ(app.documentFileName, "converted.lsm");
    std::ifstream in(Path("converted.lsm"), std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text.rfind("Type,VR4K-LUX22,\r\n", 0), 0u);
    EXPECT_NE(text.find(",Node number,1,3,4,5,8,10,"), std::string::npos);
}

TEST_F(MainWindowTest, TransferAndVerifyTheOpenedFileWithTheSimulatedUnit) {
    CSimServer sim;
    sim.AddPlc(0, 0, SampleUnit());
    middleware.SetSimulatedPeer(&sim);
    middleware.SetSimulateAll(true);
    dialogs.openPaths = {LINKSMITH_EXAMPLES_DIR "/plant-line1.lsm"};
    auto w = Open(true);
    w->RunCommand(32773);
    prompter.shown.clear();
    w->RunCommand(32782);
    std::vector<int> ids;
    for (const auto& e : prompter.shown) ids.push_back(e.id);
    EXPECT_EQ(ids, (std::vector<int>{32941, 33030}));
    EXPECT_TRUE(w->isEnabled());
    EXPECT_FALSE(w->Busy());
    EXPECT_TRUE(w->StatusText().startsWith(QString::fromUtf8("接続先: "))) << "the progress text is put back";

    prompter.shown.clear();
    // A mismatch would open the result dialog; close it so the test reports instead of waiting.
    QTimer::singleShot(0, [] {
        if (QWidget* dialog = QApplication::activeModalWidget()) dialog->close();
    });
    w->RunCommand(32784);
    for (const VerifyRow& row : commu.m_verifyResult.Rows())
        ADD_FAILURE() << row.item << ": PLC " << row.plcText << " PC " << row.pcText;
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].id, 32891);

    // A new document addresses unit 0, where the PLC has no unit.
    prompter.answers = {PromptAnswer::No};  // do not save the changes
    w->RunCommand(32771);
    EXPECT_EQ(w->MappingPage().Values().entryCount, 0u);
    prompter.shown.clear();
    prompter.answers.clear();
    w->RunCommand(32783);
    EXPECT_EQ(prompter.shown.back().id, 33007);
    EXPECT_EQ(w->MappingPage().Values().entryCount, 0u);
    // With unit 2 chosen in the communication settings, reading back shows the unit's table.
    CCommSettings settings(commu, record, {});
    settings.Open();
    settings.SelectUnitNumber(2);
    settings.Close();
    prompter.shown.clear();
    w->RunCommand(32783);
    EXPECT_EQ(prompter.shown.back().id, 33030);
    EXPECT_EQ(w->MappingPage().Values().entryCount, 6u);
    EXPECT_EQ(w->MappingPage().Values().entries[5].nodeNumber, 10);
}

TEST_F(MainWindowTest, StatusViewOpensOverTheSimulatedUnitAndEndsIdle) {
    CSimServer sim;
    sim.AddPlc(0, 0, std::make_unique<CUnitSimulatorAdapter>());  // unit 0, as a new document
    middleware.SetSimulatedPeer(&sim);
    middleware.SetSimulateAll(true);
    auto w = Open(true);
    // Closes the view once it shows, so the modal loop ends.
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (top->isVisible() && top->objectName() == "dataLinkStatusDlg") {
                top->close();
            }
        }
    });
    poll.start(10);
    w->RunCommand(32786);
    for (const auto& e : prompter.shown) ADD_FAILURE() << "message " << e.id << " " << MessageText(e.id);
    EXPECT_FALSE(w->Busy());
    EXPECT_TRUE(w->isEnabled());
    EXPECT_GE(sim.Count().requests, 2u) << "model check and the status read";
}

TEST_F(MainWindowTest, StatusBarShowsTheCommentAsTyped) {
    auto w = Open();
    auto* pane = w->findChild<QLabel*>("statusPane");
    ASSERT_NE(pane, nullptr);
    EXPECT_EQ(pane->textFormat(), Qt::PlainText);
    const QString expected = QString::fromUtf8("接続先: ﾈｯﾄ:0 ﾉｰﾄﾞ:0 ﾕﾆｯﾄ:0 <b>A</b>  &amp; B next 10進表示");
    dialogs.comments = {"<b>A</b>  &amp; B\r\nnext"};
    dialogs.savePaths = {Path("comment.lsm")};
    w->RunCommand(32774);
    EXPECT_EQ(pane->text(), expected);
    // Read back from the file, the same.
    w->RunCommand(32771);
    dialogs.openPaths = {Path("comment.lsm")};
    w->RunCommand(32773);
    EXPECT_EQ(record.comment, "<b>A</b>  &amp; B\r\nnext");
    EXPECT_EQ(pane->text(), expected);
}

TEST_F(MainWindowTest, ToolbarHiddenFromTheRightClickMenuIsTheViewMenusSwitch) {
    {
        auto w = Open();
        w->show();
        auto* bar = w->findChild<QToolBar*>("toolBar");
        const int heightBefore = w->height();
        const QPoint at(bar->width() / 2, bar->height() / 2);
        QContextMenuEvent click(QContextMenuEvent::Mouse, at, bar->mapToGlobal(at));
        QApplication::sendEvent(bar, &click);
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        ASSERT_TRUE(menu->actions().contains(w->Action(32780)));
        EXPECT_TRUE(menu->actions().contains(w->Action(32781)));
        w->Action(32780)->trigger();
        menu->close();
        EXPECT_TRUE(bar->isHidden());
        EXPECT_FALSE(w->Action(32780)->isChecked());
        EXPECT_LT(w->height(), heightBefore) << "the settings keep their size";
    }
    EXPECT_EQ(store->ViewStatus(), "0 1 0 0");
}

TEST_F(MainWindowTest, RecentFilesAreEveryKeyFoundAndOnlyKeysReadAreRemoved) {
    const std::string a = Path("a.lsm"), b = Path("b.lsm"), c = Path("c.lsm");
    const QString ini = QString::fromStdString(store->LinkSmithFile());
    auto write = [&](const char* key, const std::string& value) {
        QSettings s(ini, QSettings::IniFormat);
        s.setValue(QString("Recent File List/") + key, QString::fromStdString(value));
    };
    auto read = [&](const char* key) {
        QSettings s(ini, QSettings::IniFormat);
        return s.value(QString("Recent File List/") + key, "(none)").toString().toStdString();
    };
    // The first key is missing: the two after it are still offered.
    write("SAVE_FILENAME2", a);
    write("SAVE_FILENAME3", b);
    {
        auto w = Open();
        EXPECT_EQ(w->Recent().Paths(), (std::vector<std::string>{a, b}));
        ASSERT_NE(w->Action(32933), nullptr);
        EXPECT_EQ(w->Action(32933)->text().toStdString(), b);
    }
    EXPECT_EQ(read("SAVE_FILENAME1"), a);
    EXPECT_EQ(read("SAVE_FILENAME2"), b);
    EXPECT_EQ(read("SAVE_FILENAME3"), "(none)") << "read, and now in the key before";
    std::ifstream file(ini.toStdString());
    std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("[Recent%20File%20List]"), std::string::npos) << text;

    // A key written by another run meanwhile was never read and is left alone.
    {
        auto w = Open();
        write("SAVE_FILENAME3", c);
    }
    EXPECT_EQ(read("SAVE_FILENAME2"), b);
    EXPECT_EQ(read("SAVE_FILENAME3"), c);
}

// Qt's own buttons in Japanese, and Japanese texts in our dialogs; the icon in the title and the
// About box.
TEST_F(MainWindowTest, DialogsSpeakJapaneseAndCarryTheProgramIcon) {
    QTemporaryDir empty;
    EXPECT_EQ(InstallQtTranslations(*QCoreApplication::instance(), empty.path()), nullptr)
        << "nothing to load: the program runs on in English buttons";
    QTranslator* japanese = InstallQtTranslations(*QCoreApplication::instance());
    ASSERT_NE(japanese, nullptr) << "qtbase_ja.qm (Debian package qt6-translations-l10n)";

    auto w = Open();
    w->show();
    EXPECT_FALSE(w->windowIcon().pixmap(16, 16).isNull());
    EXPECT_FALSE(w->windowIcon().pixmap(32, 32).isNull());

    // Every visible text of a modal dialog: labels, button texts and form labels.
    std::vector<QString> texts;
    auto collect = [&](QWidget& dialog) {
        texts.clear();
        for (QLabel* label : dialog.findChildren<QLabel*>()) texts.push_back(label->text());
        for (QAbstractButton* button : dialog.findChildren<QAbstractButton*>()) texts.push_back(button->text());
    };
    auto whenShown = [&](const char* name, const std::function<void(QWidget&)>& inspect) {
        auto* poll = new QTimer;
        QObject::connect(poll, &QTimer::timeout, [=] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal || (name && modal->objectName() != name)) return;
            poll->stop();
            inspect(*modal);
            modal->close();
            poll->deleteLater();
        });
        poll->start(5);
    };
    auto contains = [&](const char* text) {
        return std::find(texts.begin(), texts.end(), QString::fromUtf8(text)) != texts.end();
    };

    bool iconShown = false;
    whenShown("aboutDialog", [&](QWidget& about) {
        collect(about);
        auto* icon = about.findChild<QLabel*>("aboutIcon");
        iconShown = icon && !icon->pixmap().isNull();
    });
    w->RunCommand(32795);
    EXPECT_TRUE(iconShown);
    EXPECT_TRUE(contains("LinkSmith Version 1.0"));
    EXPECT_TRUE(contains("Copyright (C) 2026 LinkSmith 開発者一同"));

    whenShown("plcEntryDialog", collect);
    std::string device = "[DEV]DEV:VR4H;", comment;
    EXPECT_FALSE(EditPlcEntry(w.get(), CCommuProcess::kDirectEntry, &device, &comment));
    EXPECT_TRUE(contains("ﾃﾞﾊﾞｲｽ文字列"));
    EXPECT_TRUE(contains("ｺﾒﾝﾄ"));
    EXPECT_TRUE(contains("キャンセル"));

    CQtPrompter boxes;
    whenShown(nullptr, collect);
    boxes.Show(32899, {"a.lsm"}, PromptButtons::YesNoCancel, PromptIcon::Exclamation);
    EXPECT_TRUE(contains("はい(&Y)"));
    EXPECT_TRUE(contains("いいえ(&N)"));
    EXPECT_TRUE(contains("キャンセル"));
    for (const QString& text : texts) EXPECT_FALSE(text.contains("Yes") || text.contains("Cancel")) << text.toStdString();

    QCoreApplication::removeTranslator(japanese);
    delete japanese;
}

}  // namespace
