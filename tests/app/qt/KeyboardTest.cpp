// The main window driven from the keyboard alone: labels lead to their fields, every control
// has a name for screen readers, the focus follows the page's reading order, and the keys move
// the ten-line windows of the mapping table and the extension page as their scroll bars do.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <fstream>
#include <sstream>

#include "app/qt/LinkSmithDlg.h"
#include "model/FileIo.h"
#include "tests/app/qt/StartupFixture.h"

namespace {

class KeyboardTest : public StartupFixture {
protected:
    CLinkSmithDlg* w = nullptr;

    void Open(const std::vector<std::string>& args = {}) {
        ASSERT_TRUE(Start(args));
        w = startup->Window();
        w->RunCommand(32792);  // the extension tab
        w->show();
        w->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(w));
        prompter.shown.clear();
    }
    template <typename T = QWidget>
    T* Find(const QString& name) {
        T* widget = w->findChild<T*>(name);
        EXPECT_NE(widget, nullptr) << name.toStdString();
        return widget;
    }
    void ShowTab(int tab) {
        w->Tabs()->setCurrentIndex(tab);
        ASSERT_EQ(w->CurrentTab(), tab);
    }
    void Key(int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), static_cast<Qt::Key>(key), mods);
    }
    QString Focused() const { return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : "none"; }

    // The sample file with the mapping table holding nodes 1 to count (ten words each in both
    // areas, one after another).
    std::string FileWithNodes(int count) {
        std::string text;
        ReadWholeFile(std::string(LINKSMITH_EXAMPLES_DIR) + "/plant-line1.lsm", text);
        auto row = [count](const char* key, int first, int step) {
            std::string line = std::string(",") + key;
            for (int i = 0; i < count; ++i) line += "," + std::to_string(first + i * step);
            return line + ",";
        };
        std::istringstream in(text);
        std::string out, line;
        while (std::getline(in, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            const auto starts = [&line](const char* key) { return line.rfind(std::string(",") + key, 0) == 0; };
            if (starts("Node number,")) line = row("Node number", 1, 1);
            else if (starts("Offset size of setting area 1,")) line = row("Offset size of setting area 1", 0, 10);
            else if (starts("Size of setting area 1,") && out.find("FA Link mapping") != std::string::npos &&
                     out.find("Local node setup") == std::string::npos)
                line = row("Size of setting area 1", 10, 0);
            else if (starts("Offset size of setting area 2,")) line = row("Offset size of setting area 2", 0, 10);
            else if (starts("Size of setting area 2,") && out.find("Local node setup") == std::string::npos)
                line = row("Size of setting area 2", 10, 0);
            else if (starts("Receive Data Order,")) line = row("Receive Data Order", 0, 0);
            else if (starts("No. of nodes in FA link,")) line = ",No. of nodes in FA link," + std::to_string(count);
            out += line + "\r\n";
        }
        return Write("nodes.lsm", out);
    }
};

TEST_F(KeyboardTest, EveryLabelLeadsToItsFieldAndEveryControlHasAName) {
    Open();
    // The label that names each field is its buddy, and stands left of it on its line.
    const char* fields[] = {"mappingTableMethodList", "ipAddressMethodList", "subnetMask1Edit", "ipAddress1Edit",
                            "faLinkNodeCountEdit",    "baudRateFixedButton", "localArea1TypeList",
                            "localArea2StartEdit",    "localArea2ComStartEdit", "mapArea1TypeList",
                            "mapArea2StartEdit",      "sendDataOrderList",   "vendorNameEdit",
                            "unitIpAddressEdit"};
    const QList<QLabel*> labels = w->findChildren<QLabel*>();
    for (const char* name : fields) {
        SCOPED_TRACE(name);
        QWidget* field = Find(name);
        if (!field) continue;
        for (int tab = 0; tab < w->Tabs()->count(); ++tab)
            if (w->Tabs()->widget(tab)->isAncestorOf(field)) ShowTab(tab);
        QLabel* label = nullptr;
        for (QLabel* l : labels)
            if (l->buddy() == field) label = l;
        ASSERT_NE(label, nullptr) << "no label leads to it";
        EXPECT_LT(label->mapTo(w, QPoint(0, 0)).x(), field->mapTo(w, QPoint(0, 0)).x());
        // Screen readers hear the field by its label: named after it (an edit), or labelled by
        // it (a list, whose name is its current item).
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(field);
        const QString text = label->text().remove('&').remove(QChar(0xFF1A)).trimmed();
        bool labelled = false;
        for (const auto& relation : a->relations(QAccessible::Label))
            labelled = labelled || relation.first->object() == label;
        EXPECT_TRUE(labelled || a->text(QAccessible::Name).startsWith(text))
            << a->text(QAccessible::Name).toStdString() << " / " << text.toStdString();
    }
    // A label's mnemonic (the language's texts may carry one) takes the focus to its field.
    for (QLabel* label : labels) {
        const int amp = label->text().indexOf('&');
        if (!label->buddy() || amp < 0 || amp + 1 >= label->text().size() || !label->isVisible()) continue;
        QTest::keyClick(w, label->text().at(amp + 1).toLower().toLatin1(), Qt::AltModifier);
        EXPECT_EQ(QApplication::focusWidget(), label->buddy()) << label->text().toStdString();
    }

    // Every control the keyboard can reach, on every page and beside them, has a name.
    for (int tab = 0; tab < w->Tabs()->count(); ++tab) {
        ShowTab(tab);
        for (QWidget* control : w->findChildren<QWidget*>()) {
            if (!control->isVisible() || !(control->focusPolicy() & Qt::TabFocus)) continue;
            // The tab control hands the focus to its bar, which its tabs name.
            if (qobject_cast<QTabBar*>(control) || qobject_cast<QTabWidget*>(control)) continue;
            QAccessibleInterface* a = QAccessible::queryAccessibleInterface(control);
            ASSERT_NE(a, nullptr);
            EXPECT_FALSE(a->text(QAccessible::Name).trimmed().isEmpty())
                << "tab " << tab << ": " << control->metaObject()->className() << " "
                << control->objectName().toStdString();
        }
    }
    // The table cells are named by their column and line.
    const QString cell = QAccessible::queryAccessibleInterface(Find("area2SizeCell3"))->text(QAccessible::Name);
    EXPECT_TRUE(cell.contains(QString::fromUtf8("ｻｲｽﾞ")) && cell.endsWith(" 4")) << cell.toStdString();
    EXPECT_NE(cell, QAccessible::queryAccessibleInterface(Find("area1SizeCell3"))->text(QAccessible::Name));
}

TEST_F(KeyboardTest, TabFollowsEachPagesReadingOrder) {
    Open();
    QWidget* pages[] = {Find("systemSettingPage"), Find("localNodePage"), Find("mappingTablePage"),
                        Find("extensionPage"), Find("unitAreaPanel")};
    for (int p = 0; p < 5; ++p) {
        if (p < 4) ShowTab(p);
        QWidget* page = pages[p];
        ASSERT_NE(page, nullptr);
        // The page's controls in the order Tab visits them.
        QList<QWidget*> chain;
        QWidget* start = page->nextInFocusChain();
        for (QWidget* x = start; chain.size() < 400; x = x->nextInFocusChain()) {
            if (page->isAncestorOf(x) && x->isVisible() && x->isEnabled() && (x->focusPolicy() & Qt::TabFocus) &&
                !qobject_cast<QScrollBar*>(x) && !chain.contains(x))
                chain.append(x);
            if (x->nextInFocusChain() == start) break;
        }
        ASSERT_GT(chain.size(), 3) << p;
        for (int i = 1; i < chain.size(); ++i) {
            const QRect a(chain[i - 1]->mapTo(w, QPoint(0, 0)), chain[i - 1]->size());
            const QRect b(chain[i]->mapTo(w, QPoint(0, 0)), chain[i]->size());
            const bool sameLine = std::abs(a.center().y() - b.center().y()) < std::min(a.height(), b.height()) / 2;
            EXPECT_TRUE(sameLine ? b.x() > a.x() : b.center().y() > a.center().y())
                << "page " << p << ": " << chain[i - 1]->objectName().toStdString() << " then "
                << chain[i]->objectName().toStdString();
        }
    }
    // Tab itself goes that way: from the subnet mask through its four octets.
    ShowTab(CLinkSmithDlg::kSystemTab);
    Find("subnetMask1Edit")->setFocus();
    for (const char* next : {"subnetMask2Edit", "subnetMask3Edit", "subnetMask4Edit"}) {
        Key(Qt::Key_Tab);
        EXPECT_EQ(Focused(), next);
    }
}

TEST_F(KeyboardTest, KeysMoveTheMappingTablesTenLinesAsItsScrollBarDoes) {
    Open();
    ShowTab(CLinkSmithDlg::kMappingTab);
    CMappingTablePage& page = w->MappingPage();
    auto* bar = Find<QScrollBar>("tableScrollBar");

    // Within the ten lines the arrows move between them; on the last line Down moves the window.
    Find("nodeCell0")->setFocus();
    Key(Qt::Key_Down);
    EXPECT_EQ(Focused(), "nodeCell1");
    Key(Qt::Key_Up);
    Key(Qt::Key_Up);  // the first line of the first screen: nothing above
    EXPECT_EQ(Focused(), "nodeCell0");
    EXPECT_EQ(page.TopRow(), 1);
    Find("area1SizeCell9")->setFocus();
    Key(Qt::Key_Down);
    EXPECT_EQ(page.TopRow(), 2);
    EXPECT_EQ(Focused(), "area1SizeCell9");
    EXPECT_EQ(Find<QLineEdit>("no9")->text(), "11");
    // What is typed now lands in row 11, the row on screen.
    QTest::keyClicks(QApplication::focusWidget(), "25");
    EXPECT_EQ(page.WorkingCopy().rows[10].words[MappingRow::kArea1Size], 25);
    EXPECT_FALSE(page.WorkingCopy().rows[9].entered[MappingRow::kArea1Size]);

    // Page Down and Page Up by ten, as clicking the scroll bar's trough does; the bar follows.
    Key(Qt::Key_PageDown);
    EXPECT_EQ(page.TopRow(), 12);
    EXPECT_EQ(bar->value(), page.ScrollPosition());
    for (int i = 0; i < 12; ++i) Key(Qt::Key_PageDown);
    EXPECT_EQ(page.TopRow(), 119);
    EXPECT_EQ(bar->value(), 100);
    EXPECT_EQ(Find<QLineEdit>("no9")->text(), "128");
    Key(Qt::Key_PageUp);
    EXPECT_EQ(page.TopRow(), 109);
    EXPECT_EQ(bar->value(), page.ScrollPosition());
    for (int i = 0; i < 12; ++i) Key(Qt::Key_PageUp);
    EXPECT_EQ(page.TopRow(), 1);
    EXPECT_EQ(bar->value(), 0);

    // The same moves made on the scroll bar land on the same rows and positions.
    bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    const int byBar = page.TopRow(), barPosition = page.ScrollPosition();
    bar->triggerAction(QAbstractSlider::SliderPageStepSub);
    Find("nodeCell4")->setFocus();
    Key(Qt::Key_PageDown);
    EXPECT_EQ(page.TopRow(), byBar);
    EXPECT_EQ(page.ScrollPosition(), barPosition);
    Key(Qt::Key_PageUp);

    // Tab past the last line's last cell goes on to the next row; Shift+Tab before the first
    // line's first cell back to the row before.
    Find("area2SizeCell9")->setFocus();
    Key(Qt::Key_Tab);
    EXPECT_EQ(page.TopRow(), 2);
    EXPECT_EQ(Focused(), "nodeCell9");
    QTest::keyClicks(QApplication::focusWidget(), "7");
    EXPECT_EQ(page.WorkingCopy().rows[10].words[MappingRow::kNodeNumber], 7);
    Find("nodeCell0")->setFocus();
    Key(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(page.TopRow(), 1);
    EXPECT_EQ(Focused(), "area2SizeCell0");
    // Inside the lines Tab goes from cell to cell as usual.
    Key(Qt::Key_Tab);
    EXPECT_EQ(Focused(), "no1");
    EXPECT_EQ(page.TopRow(), 1);
}

TEST_F(KeyboardTest, KeysMoveTheExtensionPagesTenLinesOverTheNodes) {
    Open({FileWithNodes(14)});
    ASSERT_EQ(w->ExtensionPage().Count(), 14u);
    ShowTab(CLinkSmithDlg::kExtensionTab);
    CExtensionPage& page = w->ExtensionPage();
    auto* bar = Find<QScrollBar>("extensionScrollBar");

    // Tab from the last line's list shows the next node's list in its place.
    Find("receiveOrderList9")->setFocus();
    Key(Qt::Key_Tab);
    EXPECT_EQ(page.TopRow(), 2);
    EXPECT_EQ(Focused(), "receiveOrderList9");
    EXPECT_EQ(Find<QLineEdit>("extNode9")->text(), "11");
    // Choosing there sets that node's order.
    Key(Qt::Key_Down);
    EXPECT_EQ(Find<QComboBox>("receiveOrderList9")->currentIndex(), 1);
    EXPECT_EQ(page.LineOrder(9), 1);
    EXPECT_EQ(page.TopRow(), 2) << "the arrows on a list choose its item";
    for (int i = 0; i < 3; ++i) Key(Qt::Key_Tab);
    EXPECT_EQ(page.TopRow(), 5);
    EXPECT_EQ(Find<QLineEdit>("extNode9")->text(), "14");
    // The last node is on screen: Tab leaves the table.
    Key(Qt::Key_Tab);
    EXPECT_EQ(page.TopRow(), 5);
    EXPECT_NE(Focused(), "receiveOrderList9");

    // Shift+Tab from the first line's list goes back a node.
    Find("receiveOrderList0")->setFocus();
    Key(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(page.TopRow(), 4);
    EXPECT_EQ(Find<QLineEdit>("extNode0")->text(), "4");

    // On the No cells the arrows move the lines; Page Up and Page Down move ten, as the bar does.
    Find("extNo0")->setFocus();
    Key(Qt::Key_Up);
    EXPECT_EQ(page.TopRow(), 3);
    Key(Qt::Key_Down);
    EXPECT_EQ(Focused(), "extNo1");
    Key(Qt::Key_PageDown);
    EXPECT_EQ(page.TopRow(), 13);
    EXPECT_EQ(bar->value(), page.ScrollPosition());
    EXPECT_EQ(Find<QLineEdit>("extNode1")->text(), "14");
    EXPECT_FALSE(Find<QComboBox>("receiveOrderList2")->isEnabled());
    Key(Qt::Key_PageUp);
    Key(Qt::Key_PageUp);
    EXPECT_EQ(page.TopRow(), 1);
    EXPECT_EQ(bar->value(), 0);
}

TEST_F(KeyboardTest, EveryControlOfEveryStatusViewHasAName) {
    ASSERT_TRUE(Start({"--simulate", LINKSMITH_EXAMPLES_DIR "/plant-line1.lsm"}));
    w = startup->Window();
    w->show();
    for (int command : {32786, 33044, 32791, 32787, 32790, 32789, 32788}) {
        SCOPED_TRACE(command);
        bool seen = false;
        QStringList unnamed, unlabelled;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* view = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!view || !view->isVisible() || seen) return;
            seen = true;
            for (QWidget* control : view->findChildren<QWidget*>()) {
                if (!control->isVisible() || !(control->focusPolicy() & Qt::TabFocus)) continue;
                if (QAccessible::queryAccessibleInterface(control)->text(QAccessible::Name).trimmed().isEmpty())
                    unnamed << QString("%1 %2").arg(control->metaObject()->className(), control->objectName());
            }
            // A label beside a field it names leads to it.
            for (QLabel* label : view->findChildren<QLabel*>()) {
                auto* grid = qobject_cast<QGridLayout*>(label->parentWidget() ? label->parentWidget()->layout() : nullptr);
                if (!grid || !label->isVisible()) continue;
                const int at = grid->indexOf(label);
                if (at < 0) continue;  // in a row layout of its own inside the grid
                int r = 0, c = 0, rs = 0, cs = 0;
                grid->getItemPosition(at, &r, &c, &rs, &cs);
                QLayoutItem* next = grid->itemAtPosition(r, c + cs);
                auto* field = next ? qobject_cast<QLineEdit*>(next->widget()) : nullptr;
                if (field && field->isVisible() && label->buddy() != field) unlabelled << label->text();
            }
            view->findChild<QPushButton*>("closeButton")->click();
        });
        poll.start(5);
        w->RunCommand(command);
        poll.stop();
        EXPECT_TRUE(seen);
        EXPECT_TRUE(unnamed.isEmpty()) << unnamed.join(", ").toStdString();
        EXPECT_TRUE(unlabelled.isEmpty()) << unlabelled.join(", ").toStdString();
    }
}

}  // namespace
