// The verify result dialog as a verify from the main window opens it: the three text columns
// share the list's width 7 : 5 : 5 after the scroll bar and 35 pixels, and every row can be read.
#include <QApplication>
#include <QHeaderView>
#include <QScrollBar>
#include <QStyle>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <cstring>
#include <fstream>
#include <iterator>

#include "app/qt/LinkSmithDlg.h"
#include "comm/CommuProcess.h"
#include "tests/app/qt/StartupFixture.h"

namespace {

constexpr int kToPlc = 32782, kVerify = 32784;

class VerifyResultDlgTest : public StartupFixture {
protected:
    struct Columns {
        int widths[4] = {};
        int unit = 0;  // what the split gives per share
        bool fixed = true;
        bool onScreen = false;
    };
    static Columns Measure(QTableWidget& list) {
        Columns m;
        const int client = list.width() - 2 * list.frameWidth();
        const int scrollBar = list.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &list);
        m.unit = (client - scrollBar - 35) / 17;
        int sum = 0;
        for (int c = 0; c < 4; ++c) {
            m.widths[c] = list.columnWidth(c);
            sum += m.widths[c];
            m.fixed = m.fixed && list.horizontalHeader()->sectionResizeMode(c) == QHeaderView::Fixed;
        }
        m.onScreen = sum <= list.viewport()->width();
        return m;
    }
    // Every text of every row fits its column, so nothing is cut or elided.
    static void ExpectReadable(QTableWidget& list) {
        const QFontMetrics metrics = list.fontMetrics();
        for (int r = 0; r < list.rowCount(); ++r)
            for (int c = 0; c < 4; ++c) {
                const QString text = list.item(r, c) ? list.item(r, c)->text() : QString();
                EXPECT_LT(metrics.horizontalAdvance(text) + 6, list.columnWidth(c))
                    << "row " << r << " column " << c << ": " << text.toStdString();
            }
    }
};

TEST_F(VerifyResultDlgTest, ColumnsShareTheListWidthAndEveryRowCanBeRead) {
    std::ifstream in(LINKSMITH_EXAMPLES_DIR "/plant-line1.lsm", std::ios::binary);
    const std::string sample((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_TRUE(Start({"--simulate", Write("line1.lsm", sample)}));
    CLinkSmithDlg& w = *startup->Window();
    w.show();
    w.Action(kToPlc)->trigger();
    ASSERT_EQ(ShownIds(), (std::vector<int>{32941, 33030}));

    // Eighteen differences, among them the longest item and choice texts.
    SettingsImage& pc = startup->Record().pc;
    pc.tokenWatchdog = 77;
    pc.tokenWatchdogEnabled = 1;
    pc.nodeNameEnabled = 1;  // the unit was sent no name
    std::memcpy(pc.nodeName, "\x91\xE6" "1" "\x83\x89\x83\x43\x83\x93", 10);  // "第1ライン"
    pc.ipAddressMethod = 1;  // "ﾕﾆｯﾄ裏面ﾛｰﾀﾘSW+ﾉｰﾄﾞNo."
    pc.localArea1ComStart = 20;  // "自ﾉｰﾄﾞ領域1ｺﾓﾝﾒﾓﾘ割付先頭ｱﾄﾞﾚｽ"
    pc.subnetMask[3] = 128;
    for (int i = 0; i < 6; ++i) {
        ++pc.entries[i].area1Offset;
        ++pc.entries[i].area2Offset;
    }
    w.ReloadPagesFromRecord(false);
    prompter.shown.clear();

    int dialogs = 0;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (!dialog || dialog->objectName() != "verifyResultDialog") return;
        poll.stop();
        ++dialogs;
        auto* list = dialog->findChild<QTableWidget*>("verifyList");
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(list->rowCount(), 18);
        EXPECT_TRUE(list->verticalScrollBar()->isVisible()) << "more rows than the list shows at once";
        EXPECT_GE(list->viewport()->height(), list->rowHeight(0) * 15 - 2) << "fifteen rows are on screen";

        Columns opened = Measure(*list);
        EXPECT_EQ(opened.widths[0], 30);
        EXPECT_EQ(opened.widths[1], 7 * opened.unit);
        EXPECT_EQ(opened.widths[2], 5 * opened.unit);
        EXPECT_EQ(opened.widths[3], 5 * opened.unit);
        EXPECT_TRUE(opened.fixed) << "the widths cannot be dragged";
        EXPECT_TRUE(opened.onScreen) << "the scroll bar takes nothing from the last column";
        ExpectReadable(*list);

        // A wider dialog gives the columns the room, in the same shares.
        dialog->resize(dialog->width() + 170, dialog->height());
        QTest::qWait(20);
        const Columns wider = Measure(*list);
        EXPECT_GT(wider.unit, opened.unit);
        EXPECT_EQ(wider.widths[1], 7 * wider.unit);
        EXPECT_EQ(wider.widths[3], 5 * wider.unit);
        EXPECT_TRUE(wider.onScreen);
        dialog->close();
    });
    poll.start(5);
    w.Action(kVerify)->trigger();
    poll.stop();
    EXPECT_EQ(dialogs, 1);
    EXPECT_EQ(ShownIds(), std::vector<int>{32892});
    EXPECT_EQ(startup->Commu().m_verifyResult.Count(), 18u);
}

}  // namespace
