#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QKeyEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>

#include "model/Prompter.h"
#include "model/ValueText.h"
#include "pages/qt/ExtensionPageWidget.h"
#include "pages/qt/LocalNodePageWidget.h"
#include "pages/qt/MappingTablePageWidget.h"
#include "pages/qt/SystemSettingPageWidget.h"
#include "pages/qt/UnitAreaPanelWidget.h"

namespace {

template <typename T>
T* Find(QWidget& root, const char* name) {
    T* w = root.findChild<T*>(name);
    EXPECT_NE(w, nullptr) << name;
    return w;
}

// Types text that has no key of its own (kana, characters outside CP932) as key presses.
void TypeText(QWidget* target, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, text);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, text);
    QApplication::sendEvent(target, &release);
}

void ShowActive(QWidget& w) {
    w.show();
    QApplication::setActiveWindow(&w);
    w.activateWindow();
    QApplication::processEvents();
}

TEST(UnitAreaPanelWidget, TypingReachesThePanelAndABadKeyIsUndone) {
    CUnitSettings record;
    CUnitAreaPanel panel;
    panel.InitFromRecord(record, kDecimal);
    CUnitAreaPanelWidget w(panel);
    ShowActive(w);
    QLineEdit* edit = Find<QLineEdit>(w, "tokenWatchdogEdit");
    ASSERT_TRUE(edit);
    EXPECT_EQ(edit->text(), "50");
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, "12");
    EXPECT_EQ(panel.Text(CUnitAreaPanel::kTokenWatchdog), "12");
    QTest::keyClicks(edit, "x");
    EXPECT_EQ(edit->text(), "12");
    QTest::keyClicks(edit, "34");  // a fourth digit is refused
    EXPECT_EQ(edit->text(), "123");
    EXPECT_EQ(panel.Text(CUnitAreaPanel::kTokenWatchdog), "123");

    QCheckBox* check = Find<QCheckBox>(w, "nodeNameCheck");
    ASSERT_TRUE(check);
    check->click();
    EXPECT_TRUE(panel.Checked(CUnitAreaPanel::kNodeName));
}

TEST(UnitAreaPanelWidget, NodeNameRefusesDoubleByteTypingAndTakesHalfWidthKana) {
    CUnitSettings record;
    CUnitAreaPanel panel;
    panel.InitFromRecord(record, kDecimal);
    CUnitAreaPanelWidget w(panel);
    ShowActive(w);
    QLineEdit* edit = Find<QLineEdit>(w, "nodeNameEdit");
    ASSERT_TRUE(edit);
    edit->setFocus();
    for (const QChar c : QString::fromUtf8("ﾉｰﾄﾞ")) TypeText(edit, QString(c));
    EXPECT_EQ(panel.Text(CUnitAreaPanel::kNodeName), "\xC9\xB0\xC4\xDE");
    TypeText(edit, QString::fromUtf8("あ"));
    EXPECT_EQ(edit->text(), QString::fromUtf8("ﾉｰﾄﾞ"));
    TypeText(edit, QString::fromUtf8("\xF0\x9F\x98\x80"));  // not in CP932 at all
    EXPECT_EQ(edit->text(), QString::fromUtf8("ﾉｰﾄﾞ"));
    EXPECT_EQ(panel.Text(CUnitAreaPanel::kNodeName), "\xC9\xB0\xC4\xDE");
    // A pasted text goes through the same filter: too long as a whole, it is refused whole.
    edit->selectAll();
    QApplication::clipboard()->setText("ABCDEFGHIJK");
    edit->paste();
    EXPECT_EQ(edit->text(), QString::fromUtf8("ﾉｰﾄﾞ"));
    edit->selectAll();
    QApplication::clipboard()->setText("ABCDEFGHIJ");
    edit->paste();
    EXPECT_EQ(panel.Text(CUnitAreaPanel::kNodeName), "ABCDEFGHIJ");
}

TEST(UnitAreaPanelWidget, RefusedCheckFocusesTheEditWithItsTextSelected) {
    CUnitSettings record;
    CUnitAreaPanel panel;
    panel.InitFromRecord(record, kDecimal);
    CUnitAreaPanelWidget w(panel);
    ShowActive(w);
    Find<QCheckBox>(w, "minFrameIntervalCheck")->click();
    QLineEdit* edit = Find<QLineEdit>(w, "minFrameIntervalEdit");
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, "51");
    RecordingPrompter prompter;
    EXPECT_FALSE(w.CheckUnitArea(false, prompter));
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].id, 32826);
    EXPECT_EQ(QApplication::focusWidget(), edit);
    EXPECT_EQ(edit->selectedText(), "51");
}

TEST(SystemSettingPageWidget, IpMethodEnablesTheAddressAndValidationFocusesTheOctet) {
    CUnitSettings record;
    CSystemSettingPage page;
    page.InitFromRecord(record, kDecimal);
    CSystemSettingPageWidget w(page);
    ShowActive(w);
    QLineEdit* ip3 = Find<QLineEdit>(w, "ipAddress3Edit");
    QComboBox* method = Find<QComboBox>(w, "ipAddressMethodList");
    ASSERT_TRUE(ip3 && method);
    EXPECT_FALSE(ip3->isEnabled());
    EXPECT_EQ(Find<QLineEdit>(w, "subnetMask1Edit")->text(), "255");
    method->setFocus();
    method->setCurrentIndex(2);
    emit method->activated(2);
    EXPECT_TRUE(ip3->isEnabled());
    EXPECT_EQ(page.ListSelection(CSystemSettingPage::kIpAddressMethod), 2);

    ip3->setFocus();
    ip3->selectAll();
    QTest::keyClick(ip3, Qt::Key_Backspace);
    EXPECT_EQ(page.OctetText(6), "");
    RecordingPrompter prompter;
    EXPECT_FALSE(w.Validate(kDecimal, prompter));
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].id, 32937);
    EXPECT_EQ(QApplication::focusWidget(), ip3);

    QLineEdit* mask2 = Find<QLineEdit>(w, "subnetMask2Edit");
    mask2->setFocus();
    mask2->selectAll();
    QTest::keyClicks(mask2, "256");
    prompter.shown.clear();
    EXPECT_FALSE(w.Validate(kDecimal, prompter));
    EXPECT_EQ(prompter.shown[0].id, 32855);
    EXPECT_EQ(QApplication::focusWidget(), mask2);
    EXPECT_EQ(mask2->selectedText(), "256");
}

TEST(LocalNodePageWidget, TypedValuesAreValidatedAndAFifthHexDigitIsUndone) {
    CUnitSettings record;
    CLocalNodePage page;
    page.InitFromRecord(record, kHexadecimal);
    CLocalNodePageWidget w(page);
    ShowActive(w);
    QLineEdit* com2 = Find<QLineEdit>(w, "localArea2ComStartEdit");
    com2->setFocus();
    com2->selectAll();
    QTest::keyClicks(com2, "1FFFF");
    EXPECT_EQ(com2->text(), "1FFF");
    QLineEdit* size1 = Find<QLineEdit>(w, "localArea1SizeEdit");
    size1->setFocus();
    size1->selectAll();
    QTest::keyClicks(size1, "201");  // 513 words
    RecordingPrompter prompter;
    EXPECT_FALSE(w.Validate(kHexadecimal, prompter));
    EXPECT_EQ(prompter.shown[0].id, 32831);
    EXPECT_EQ(QApplication::focusWidget(), size1);
    EXPECT_EQ(size1->selectedText(), "201");
}

class MappingWidgetTest : public ::testing::Test {
protected:
    void SetUp() override {
        system.InitFromRecord(record, kDecimal);
        extension.InitFromRecord(record);
        page.InitFromRecord(record, kDecimal);
        widget = std::make_unique<CMappingTablePageWidget>(page, prompter);
        ShowActive(*widget);
    }
    QLineEdit* CellAt(const char* column, int line) {
        return Find<QLineEdit>(*widget, QString("%1Cell%2").arg(column).arg(line).toLatin1().constData());
    }
    void TypeRow(int line, const char* node, const char* o1, const char* s1, const char* o2, const char* s2) {
        const char* cols[] = {"node", "area1Offset", "area1Size", "area2Offset", "area2Size"};
        const char* texts[] = {node, o1, s1, o2, s2};
        for (int i = 0; i < 5; ++i) {
            QLineEdit* cell = CellAt(cols[i], line);
            cell->setFocus();
            QTest::keyClicks(cell, texts[i]);
        }
    }
    CUnitSettings record;
    CSystemSettingPage system;
    CExtensionPage extension;
    CMappingTablePage page{system, extension};
    RecordingPrompter prompter;
    std::unique_ptr<CMappingTablePageWidget> widget;
};

TEST_F(MappingWidgetTest, TypedRowsChainTheStartChannels) {
    TypeRow(0, "5", "0", "10", "0", "20");
    TypeRow(1, "6", "10", "10", "20", "20");
    CellAt("node", 2)->setFocus();  // leaving the size cell runs the chain
    EXPECT_EQ(page.Row(1).words[MappingRow::kNodeNumber], 6);
    EXPECT_EQ(CellAt("area1Start", 1)->text(), "00010");
    EXPECT_EQ(CellAt("area2Start", 1)->text(), "00020");
    QTest::keyClicks(CellAt("node", 2), "1234");
    EXPECT_EQ(CellAt("node", 2)->text(), "123");
    // The third row holds only its node number.
    EXPECT_FALSE(widget->Validate(kDecimal, prompter));
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].id, 32927);
    QTest::keyClick(CellAt("node", 2), Qt::Key_Backspace);
    QTest::keyClick(CellAt("node", 2), Qt::Key_Backspace);
    QTest::keyClick(CellAt("node", 2), Qt::Key_Backspace);
    prompter.shown.clear();
    EXPECT_TRUE(widget->Validate(kDecimal, prompter));
    EXPECT_EQ(system.NodeCountText(), "2");
}

TEST_F(MappingWidgetTest, CtrlDDeletesTheCurrentRow) {
    TypeRow(0, "5", "0", "1", "0", "1");
    TypeRow(1, "6", "1", "1", "1", "1");
    TypeRow(2, "7", "2", "1", "2", "1");
    QLineEdit* node0 = CellAt("node", 0);
    node0->setFocus();
    QTest::keyClick(node0, Qt::Key_D, Qt::ControlModifier);
    EXPECT_EQ(page.Row(0).words[MappingRow::kNodeNumber], 6);
    EXPECT_EQ(page.Row(1).words[MappingRow::kNodeNumber], 7);
    EXPECT_TRUE(page.Row(2).IsEmpty());
    EXPECT_EQ(node0->text(), "6");
    EXPECT_EQ(CellAt("node", 2)->text(), "");

    // Ctrl+C copies the current row below it with the next node number.
    QLineEdit* node1 = CellAt("node", 1);
    node1->setFocus();
    QTest::keyClick(node1, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(page.Row(2).words[MappingRow::kNodeNumber], 8);

    // Ctrl+A asks first; No keeps the table.
    prompter.answers = {PromptAnswer::No};
    QTest::keyClick(node1, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(prompter.shown.back().id, 32938);
    EXPECT_FALSE(page.Row(0).IsEmpty());
    QTest::keyClick(node1, Qt::Key_A, Qt::ControlModifier);
    EXPECT_TRUE(page.Row(0).IsEmpty());
    EXPECT_EQ(node0->text(), "");
}

TEST_F(MappingWidgetTest, ScrollBarPagesTheTable) {
    QScrollBar* bar = Find<QScrollBar>(*widget, "tableScrollBar");
    ASSERT_TRUE(bar);
    bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(page.TopRow(), 11);
    EXPECT_EQ(Find<QLineEdit>(*widget, "no0")->text(), "11");
    EXPECT_EQ(bar->value(), 11 * 10 / 13);
    bar->triggerAction(QAbstractSlider::SliderToMaximum);
    EXPECT_EQ(page.TopRow(), 119);
    EXPECT_EQ(Find<QLineEdit>(*widget, "no9")->text(), "128");
    // Typing on the last line lands in row 128.
    QLineEdit* node9 = CellAt("node", 9);
    node9->setFocus();
    QTest::keyClicks(node9, "9");
    EXPECT_EQ(page.Row(127).words[MappingRow::kNodeNumber], 9);
}

TEST(ExtensionPageWidget, LinesShowTheNodeListForms) {
    CUnitSettings record;
    CExtensionPage page;
    page.InitFromRecord(record);
    page.SetEntry(0, {5, 1});
    page.SetEntry(1, {6, 0});
    page.SetCount(2);
    CExtensionPageWidget w(page);
    ShowActive(w);
    QComboBox* first = Find<QComboBox>(w, "receiveOrderList0");
    QComboBox* third = Find<QComboBox>(w, "receiveOrderList2");
    EXPECT_EQ(Find<QLineEdit>(w, "extNode0")->text(), "5");
    EXPECT_EQ(first->count(), 2);
    EXPECT_EQ(first->currentIndex(), 1);
    EXPECT_TRUE(first->isEnabled());
    EXPECT_EQ(third->count(), 1);
    EXPECT_EQ(third->currentText(), "non");
    EXPECT_FALSE(third->isEnabled());
    QComboBox* second = Find<QComboBox>(w, "receiveOrderList1");
    second->setCurrentIndex(1);
    emit second->activated(1);
    EXPECT_EQ(page.Entry(1).receiveDataOrder, 1);
}

}  // namespace
