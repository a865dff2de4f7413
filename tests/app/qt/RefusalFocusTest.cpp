// What save, transfer and verify refuse, seen at the main window: the mapping table shows the
// row its refusal points at, and a node name loaded with double-byte characters is accepted.
#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <fstream>
#include <iterator>

#include "app/qt/LinkSmithDlg.h"
#include "model/Messages.h"
#include "tests/app/FullTable.h"
#include "tests/app/qt/StartupFixture.h"

namespace {

constexpr int kSave = 32774, kToPlc = 32782, kVerify = 32784;
constexpr int kDuplicateNode = 32929;
// "第1ライン" as the sample file and the unit keep it.
const char kLine1[] = "\x91\xE6" "1" "\x83\x89\x83\x43\x83\x93";

class RefusalFocusTest : public StartupFixture {
protected:
    // The shipped sample, copied so that saving writes the copy.
    void StartWithSample() {
        std::ifstream in(LINKSMITH_EXAMPLES_DIR "/plant-line1.lsm", std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        ASSERT_FALSE(bytes.empty());
        sample = Write("line1.lsm", bytes);
        ASSERT_TRUE(Start({"--simulate", sample}));
        Window().show();
        Window().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&Window()));
        prompter.shown.clear();
    }
    CLinkSmithDlg& Window() { return *startup->Window(); }
    template <typename T>
    T* Find(const QString& name) {
        T* child = Window().findChild<T*>(name);
        EXPECT_NE(child, nullptr) << name.toStdString();
        return child;
    }
    QString Text(const QString& name) { return Find<QLineEdit>(name)->text(); }
    // rows entries, node n + 1 at row n, except that row `repeat` takes the node of row `of`.
    void LoadTable(int rows, int repeat, int of) {
        SettingsImage& pc = startup->Record().pc;
        FillFullTable(pc);
        pc.entryCount = static_cast<uint32_t>(rows);
        for (int i = rows; i < 128; ++i) pc.entries[i] = MappingEntry{};
        pc.entries[repeat].nodeNumber = pc.entries[of].nodeNumber;
        Window().ReloadPagesFromRecord(false);
        prompter.shown.clear();
    }
    const MappingRow& Row(int index) { return Window().MappingPage().Row(index); }
    // After the refusal: the cell with the focus is the node number cell of `line`, and the
    // line shows table row `row` (0-based) with that row's values.
    void ExpectFocusOnRow(int line, int row) {
        QWidget* focused = Window().focusWidget();
        ASSERT_NE(focused, nullptr);
        EXPECT_EQ(focused->objectName(), QString("nodeCell%1").arg(line));
        EXPECT_EQ(Text(QString("no%1").arg(line)), QString::number(row + 1));
        const MappingRow& r = Row(row);
        EXPECT_EQ(Text(QString("nodeCell%1").arg(line)), QString::number(r.words[MappingRow::kNodeNumber]));
        EXPECT_EQ(Text(QString("area1OffsetCell%1").arg(line)), QString::number(r.words[MappingRow::kArea1Offset]));
        EXPECT_EQ(Text(QString("area2SizeCell%1").arg(line)), QString::number(r.words[MappingRow::kArea2Size]));
        EXPECT_EQ(Find<QLineEdit>(QString("nodeCell%1").arg(line))->selectedText(),
                  QString::number(r.words[MappingRow::kNodeNumber]))
            << "the whole text is selected";
    }
    std::string sample;
};

TEST_F(RefusalFocusTest, SaveFromAnotherTabShowsTheDuplicateRowAndTypingEditsIt) {
    StartWithSample();
    LoadTable(30, 24, 19);
    ASSERT_EQ(Window().CurrentTab(), CLinkSmithDlg::kSystemTab);
    Window().Action(kSave)->trigger();
    ASSERT_EQ(ShownIds(), std::vector<int>{kDuplicateNode});
    EXPECT_EQ(Window().CurrentTab(), CLinkSmithDlg::kMappingTab);
    ExpectFocusOnRow(0, 24);

    // Typing replaces the selected node number of row 25, the row on screen.
    QTest::keyClicks(Window().focusWidget(), "77");
    EXPECT_EQ(Row(24).words[MappingRow::kNodeNumber], 77);
    EXPECT_EQ(Row(0).words[MappingRow::kNodeNumber], 1) << "the first row is untouched";
    EXPECT_EQ(Row(19).words[MappingRow::kNodeNumber], 20);

    // Ctrl+D deletes that row: row 26 moves up into it.
    QTest::keyClick(Window().focusWidget(), Qt::Key_D, Qt::ControlModifier);
    EXPECT_EQ(Row(24).words[MappingRow::kNodeNumber], 26);
    EXPECT_EQ(Row(23).words[MappingRow::kNodeNumber], 24);
    EXPECT_EQ(Text("nodeCell0"), "26");

    prompter.shown.clear();
    Window().Action(kSave)->trigger();
    EXPECT_TRUE(prompter.shown.empty()) << "the table is now accepted";
    EXPECT_FALSE(startup->App().modified);
}

TEST_F(RefusalFocusTest, TransferAndVerifyFromTheScrolledTableShowTheRowTheyRefuse) {
    StartWithSample();
    LoadTable(30, 24, 19);
    Window().Tabs()->setCurrentIndex(CLinkSmithDlg::kMappingTab);
    ASSERT_EQ(Window().CurrentTab(), CLinkSmithDlg::kMappingTab);
    // The user pages down and clicks into a cell of row 13.
    Find<QScrollBar>("tableScrollBar")->triggerAction(QAbstractSlider::SliderPageStepAdd);
    ASSERT_EQ(Text("no0"), "11");
    Find<QLineEdit>("area1SizeCell2")->setFocus(Qt::MouseFocusReason);

    Window().Action(kToPlc)->trigger();
    ASSERT_EQ(ShownIds(), std::vector<int>{kDuplicateNode});
    ExpectFocusOnRow(0, 24);
    QTest::keyClicks(Window().focusWidget(), "66");
    EXPECT_EQ(Row(24).words[MappingRow::kNodeNumber], 66);
    EXPECT_EQ(Row(10).words[MappingRow::kNodeNumber], 11);
    EXPECT_EQ(Row(12).words[MappingRow::kArea1Size], 4) << "the cell left behind keeps its value";

    // A duplicate near the end: the last screen shows rows 119 to 128.
    LoadTable(128, 125, 100);
    Window().Action(kVerify)->trigger();
    ASSERT_EQ(ShownIds(), std::vector<int>{kDuplicateNode});
    EXPECT_EQ(Text("no0"), "119");
    ExpectFocusOnRow(7, 125);
    QTest::keyClicks(Window().focusWidget(), "5");
    EXPECT_EQ(Row(125).words[MappingRow::kNodeNumber], 5);
    EXPECT_EQ(Row(118).words[MappingRow::kNodeNumber], 119);
}

TEST_F(RefusalFocusTest, SampleNodeNameTickedPassesSaveTransferAndVerify) {
    StartWithSample();
    auto* edit = Find<QLineEdit>("nodeNameEdit");
    ASSERT_EQ(edit->text(), QString::fromUtf8("第1ライン"));
    Find<QCheckBox>("nodeNameCheck")->setChecked(true);

    Window().Action(kSave)->trigger();
    EXPECT_TRUE(prompter.shown.empty());
    std::ifstream in(sample, std::ios::binary);
    const std::string saved((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(saved.find(std::string(",Node name,") + kLine1 + ","), std::string::npos) << saved;

    Window().Action(kToPlc)->trigger();
    EXPECT_EQ(ShownIds(), (std::vector<int>{32941, 33030}));
    // The unit holds the name: verify compares it (its box is ticked) and finds no difference.
    prompter.shown.clear();
    Window().Action(kVerify)->trigger();
    EXPECT_EQ(ShownIds(), std::vector<int>{32891});
    EXPECT_EQ(std::string(startup->Record().plc.nodeName), kLine1);

    // Typing still refuses a double-byte character.
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, "LINE");
    QKeyEvent wide(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString::fromUtf8("あ"));
    QApplication::sendEvent(edit, &wide);
    EXPECT_EQ(edit->text(), "LINE");
    EXPECT_EQ(Window().Panel().Text(CUnitAreaPanel::kNodeName), "LINE");
}

}  // namespace
