#include <gtest/gtest.h>

#include <QCheckBox>
#include <QKeyEvent>
#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QThread>

#include "status/qt/ColorListCtrl.h"
#include "status/qt/DataLinkStatusDlg.h"
#include "status/qt/ErrorStatusDlg.h"
#include "status/qt/LampEdit.h"
#include "status/qt/NetworkStatusDlg.h"

namespace {
template <typename T>
T* Find(QWidget& w, const char* name) {
    T* child = w.findChild<T*>(name);
    EXPECT_NE(child, nullptr) << name;
    return child;
}
}  // namespace

TEST(DataLinkStatusDlg, UpdateButtonShowsTheGridAndFailureReenablesButtons) {
    CUnitSettings settings;
    RecordingPrompter prompter;
    bool ok = true;
    bool disabledDuringRead = false;
    CDataLinkStatusDlg* self = nullptr;
    CDataLinkStatusDlg dlg(settings, prompter, [&] {
        if (self) disabledDuringRead = !Find<QPushButton>(*self, "updateButton")->isEnabled() &&
                                       !Find<QPushButton>(*self, "closeButton")->isEnabled();
        return ok;
    });
    self = &dlg;
    ASSERT_TRUE(dlg.OpenView());
    auto* grid = Find<CColorListCtrl>(dlg, "dataLinkGrid");
    EXPECT_EQ(grid->CellText(1, 1), "17");
    EXPECT_EQ(grid->CellBackground(1, 1), QColor(255, 255, 255));
    settings.status.participation[17] = 1;
    Find<QPushButton>(dlg, "updateButton")->click();
    EXPECT_TRUE(disabledDuringRead);
    EXPECT_EQ(grid->CellBackground(1, 1), QColor(0, 0, 255));
    EXPECT_EQ(grid->CellTextColour(1, 1), QColor(255, 255, 255));
    EXPECT_EQ(grid->CellText(0, 0), "");
    ok = false;
    Find<QPushButton>(dlg, "updateButton")->click();
    EXPECT_EQ(grid->CellBackground(1, 1), QColor(255, 255, 255));
    EXPECT_EQ(grid->CellTextColour(1, 1), QColor(210, 210, 210));
    EXPECT_TRUE(Find<QPushButton>(dlg, "updateButton")->isEnabled());
    EXPECT_TRUE(Find<QPushButton>(dlg, "closeButton")->isEnabled());
}

TEST(DataLinkStatusDlg, FailedFirstReadClosesWithoutShowing) {
    CUnitSettings settings;
    RecordingPrompter prompter;
    CDataLinkStatusDlg dlg(settings, prompter, [] { return false; });
    EXPECT_EQ(dlg.exec(), QDialog::Rejected);
    EXPECT_FALSE(dlg.isVisible());
}

TEST(NetworkStatusDlg, TableColoursEscapeAndAutoRefreshStopsOnFailure) {
    CUnitSettings settings;
    RecordingPrompter prompter;
    int calls = 0;
    bool ok = true;
    settings.status.nodeStatus[0].participating = 1;
    CNetworkStatusDlg dlg(settings, prompter, [&] {
        ++calls;
        return ok;
    });
    ASSERT_TRUE(dlg.OpenView());
    dlg.show();
    auto* table = Find<CColorListCtrl>(dlg, "networkTable");
    EXPECT_EQ(table->rowCount(), 254);
    EXPECT_EQ(table->CellText(0, 2), QString::fromUtf8("加入"));
    EXPECT_EQ(table->CellBackground(0, 2), QColor(0, 0, 255));
    EXPECT_EQ(table->CellText(253, 4), QString::fromUtf8("停止中"));
    EXPECT_EQ(table->CellBackground(5, 0), QColor(225, 225, 225));

    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&dlg, &escape);
    EXPECT_TRUE(dlg.isVisible());

    auto* autoRefresh = Find<QCheckBox>(dlg, "autoRefresh");
    dlg.View().AutoRefresh().SetIntervalMs(CAutoRefresh::kMinIntervalMs);
    autoRefresh->setChecked(true);
    ok = false;
    QElapsedTimer clock;
    clock.start();
    while (autoRefresh->isChecked() && clock.elapsed() < 5000) QApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_FALSE(autoRefresh->isChecked());
    EXPECT_FALSE(dlg.View().AutoRefresh().IsOn());
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_TRUE(Find<QPushButton>(dlg, "updateButton")->isEnabled());
    const int after = calls;
    clock.restart();
    while (clock.elapsed() < 600) QApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_EQ(calls, after);

    Find<QPushButton>(dlg, "copyCsvButton")->click();
    EXPECT_TRUE(dlg.CopiedText().startsWith(QString::fromUtf8("ﾉｰﾄﾞNo,")));
    Find<QPushButton>(dlg, "closeButton")->click();
    EXPECT_FALSE(dlg.isVisible());
}

TEST(ErrorStatusDlg, LampsFollowTheWord) {
    CUnitSettings settings;
    RecordingPrompter prompter;
    settings.status.errorStatusWord = 0x8181;
    CErrorStatusDlg dlg(settings, prompter, [] { return true; });
    ASSERT_TRUE(dlg.OpenView());
    EXPECT_EQ(Find<CLampEdit>(dlg, "lamp0")->State(), LampState::On);
    EXPECT_EQ(Find<CLampEdit>(dlg, "lamp1")->State(), LampState::Off);
    EXPECT_EQ(Find<CLampEdit>(dlg, "lamp8")->State(), LampState::On);
    EXPECT_EQ(Find<CLampEdit>(dlg, "lamp8")->text(), QString::fromUtf8("EEP-ROM異常"));
    EXPECT_EQ(Find<CLampEdit>(dlg, "lamp8")->palette().color(QPalette::Base), QColor(0, 0, 255));
}
