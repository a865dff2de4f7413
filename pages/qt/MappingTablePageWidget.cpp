#include "pages/qt/MappingTablePageWidget.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QVBoxLayout>
#include <QWheelEvent>

#include "pages/qt/PageWidgetTools.h"

namespace {
using C = CMappingTablePage;
// Page column of each display column after "No".
const int kDisplayOrder[] = {C::kNodeColumn,       C::kArea1OffsetColumn, C::kArea1StartColumn, C::kArea1SizeColumn,
                             C::kArea2OffsetColumn, C::kArea2StartColumn, C::kArea2SizeColumn};
const char* kColumnNames[C::kColumnCount] = {"node", "area1Offset", "area1Size", "area2Offset",
                                             "area2Size", "area1Start", "area2Start"};
}  // namespace

CMappingTablePageWidget::CMappingTablePageWidget(CMappingTablePage& page, IPrompter& prompter, QWidget* parent)
    : QWidget(parent), m_page(page), m_prompter(prompter) {
    setObjectName("mappingTablePage");
    auto* layout = new QVBoxLayout(this);

    auto* areas = new QGridLayout;
    for (int a = 0; a < 2; ++a) {
        auto* list = new QComboBox(this);
        list->setObjectName(a == 0 ? "mapArea1TypeList" : "mapArea2TypeList");
        FillAreaList(list);
        m_list[a] = list;
        auto* start = new QLineEdit(this);
        start->setObjectName(a == 0 ? "mapArea1StartEdit" : "mapArea2StartEdit");
        m_start[a] = start;
        start->installEventFilter(this);
        areas->addWidget(new QLabel(tr(a == 0 ? QT_TR_NOOP("領域1　ｴﾘｱ種別：") : QT_TR_NOOP("領域2　ｴﾘｱ種別：")), this), a, 0);
        areas->addWidget(list, a, 1);
        areas->addWidget(new QLabel(tr("先頭ﾁｬﾈﾙ"), this), a, 2);
        areas->addWidget(start, a, 3);
        connect(list, qOverload<int>(&QComboBox::activated), this,
                [this, a](int index) { m_page.SelectArea(a + 1, index); });
        BindFilteredEdit(
            start, [this, a](const std::string& t) { return m_page.EditAreaStart(a + 1, t); },
            [this, a] { return m_page.AreaStartText(a + 1); });
    }
    layout->addLayout(areas);

    auto* tableRow = new QHBoxLayout;
    auto* grid = new QGridLayout;
    // The ten lines sit close, as the lines of a table: the page then fits a laptop screen at 200 %.
    grid->setVerticalSpacing(1);
    const char* headers[kGridColumns] = {"No",
                                         QT_TR_NOOP("ﾉｰﾄﾞ番号"),
                                         QT_TR_NOOP("ｵﾌｾｯﾄ"),
                                         QT_TR_NOOP("先頭ﾁｬﾈﾙ"),
                                         QT_TR_NOOP("ｻｲｽﾞ"),
                                         QT_TR_NOOP("ｵﾌｾｯﾄ"),
                                         QT_TR_NOOP("先頭ﾁｬﾈﾙ"),
                                         QT_TR_NOOP("ｻｲｽﾞ")};
    grid->addWidget(new QLabel(tr("領　域　1"), this), 0, 2, 1, 3, Qt::AlignCenter);
    grid->addWidget(new QLabel(tr("領　域　2"), this), 0, 5, 1, 3, Qt::AlignCenter);
    for (int c = 0; c < kGridColumns; ++c) grid->addWidget(new QLabel(tr(headers[c]), this), 1, c, Qt::AlignCenter);
    for (int line = 0; line < C::kLines; ++line) {
        m_no[line] = new QLineEdit(this);
        m_no[line]->setObjectName(QString("no%1").arg(line));
        m_no[line]->setReadOnly(true);
        m_no[line]->installEventFilter(this);
        grid->addWidget(m_no[line], line + 2, 0);
        for (int d = 0; d < C::kColumnCount; ++d) {
            const int column = kDisplayOrder[d];
            auto* cell = new QLineEdit(this);
            cell->setObjectName(QString("%1Cell%2").arg(kColumnNames[column]).arg(line));
            cell->installEventFilter(this);
            m_cell[column][line] = cell;
            grid->addWidget(cell, line + 2, d + 1);
            if (column == C::kArea1StartColumn || column == C::kArea2StartColumn) {
                cell->setReadOnly(true);
                continue;
            }
            BindFilteredEdit(
                cell, [this, column, line](const std::string& t) { return m_page.EditCell(column, line, t); },
                [this, column, line] { return m_page.CellText(column, line); });
        }
    }
    tableRow->addLayout(grid);
    m_scroll = new QScrollBar(Qt::Vertical, this);
    m_scroll->setObjectName("tableScrollBar");
    m_scroll->setRange(0, 100);
    m_scroll->setPageStep(10);
    m_scroll->installEventFilter(this);
    connect(m_scroll, &QScrollBar::actionTriggered, this, &CMappingTablePageWidget::OnScrollAction);
    tableRow->addWidget(m_scroll);
    layout->addLayout(tableRow);

    auto* info = new QGroupBox(tr("情報"), this);
    auto* infoLayout = new QVBoxLayout(info);
    m_information = new QLabel(info);
    m_information->setObjectName("informationLine");
    infoLayout->addWidget(m_information);
    layout->addWidget(info);
    for (int a = 0; a < 2; ++a) m_list[a]->installEventFilter(this);
    m_scroll->setAccessibleName(MessageString(32810));
    LinkLabelsToFields(this);
    Refresh();
}

QLineEdit* CMappingTablePageWidget::Cell(int column, int line) const { return m_cell[column][line]; }

bool CMappingTablePageWidget::FindCell(QObject* watched, int& column, int& line) const {
    for (int c = 0; c < C::kColumnCount; ++c)
        for (int l = 0; l < C::kLines; ++l)
            if (m_cell[c][l] == watched) {
                column = c;
                line = l;
                return true;
            }
    return false;
}

void CMappingTablePageWidget::Refresh() {
    for (int a = 0; a < 2; ++a) {
        m_list[a]->setCurrentIndex(m_page.AreaSelection(a + 1));
        ShowText(m_start[a], FromAscii(m_page.AreaStartText(a + 1)));
    }
    for (int line = 0; line < C::kLines; ++line) {
        ShowText(m_no[line], FromAscii(m_page.NoText(line)));
        const bool yellow = m_page.LineHighlighted(line);
        for (int c = 0; c < C::kColumnCount; ++c) {
            QLineEdit* cell = m_cell[c][line];
            ShowText(cell, FromAscii(m_page.CellText(c, line)));
            if (c == C::kArea1StartColumn || c == C::kArea2StartColumn) continue;
            cell->setStyleSheet(yellow ? "QLineEdit { background: rgb(255, 255, 0); }" : QString());
        }
    }
    m_scroll->setValue(m_page.ScrollPosition());
    m_information->setText(QString::fromStdString(m_page.InformationText()));
}

bool CMappingTablePageWidget::Validate(int radix, IPrompter& prompter) {
    if (!m_page.Validate(radix, prompter)) {
        ApplyFocus(m_page.Focus());
        return false;
    }
    Refresh();
    if (onTableChanged) onTableChanged();
    return true;
}

void CMappingTablePageWidget::ApplyFocus(const FocusRequest& focus) {
    // A refusal scrolls the table to the offending row: show that row before its cell takes
    // the focus, or typing would edit a row that is not on screen.
    Refresh();
    if (focus.field == Field::kMapArea1Start) return FocusAndSelectAll(m_start[0]);
    if (focus.field == Field::kMapArea2Start) return FocusAndSelectAll(m_start[1]);
    if (focus.row < 0) return;
    const int line = focus.row - (m_page.TopRow() - 1);
    if (line < 0 || line >= C::kLines) return;
    for (int c = 0; c <= C::kArea2SizeColumn; ++c)
        if (C::FieldOfColumn(c) == focus.field) FocusAndSelectAll(m_cell[c][line]);
}

void CMappingTablePageWidget::ClearAll() {
    if (m_page.AskClearAll(m_prompter)) {
        Refresh();
        if (onTableChanged) onTableChanged();
    }
}

void CMappingTablePageWidget::CopyLine() {
    const int line = m_page.CurrentRow();
    if (!m_page.CopyLine()) return;
    Refresh();
    const int now = m_page.CurrentRow();
    if (line >= 0 && now >= 0) m_cell[C::kNodeColumn][now]->setFocus(Qt::OtherFocusReason);
    if (onTableChanged) onTableChanged();
}

void CMappingTablePageWidget::DeleteLine() {
    if (!m_page.DeleteLine()) return;
    Refresh();
    if (onTableChanged) onTableChanged();
}

void CMappingTablePageWidget::OnScrollAction(int action) {
    if (!ApplyScrollAction(m_page, action, m_scroll->sliderPosition())) return;
    // The page owns the position; the slider takes the page's instead of its own step.
    m_scroll->setSliderPosition(m_page.ScrollPosition());
    Refresh();
}

void CMappingTablePageWidget::wheelEvent(QWheelEvent* event) {
    ApplyWheelSteps(m_page, event->angleDelta().y());
    Refresh();
    event->accept();
}

bool CMappingTablePageWidget::MoveThroughTable(QObject* watched, QKeyEvent* key) {
    int column = -1, line = -1;
    if (!FindCell(watched, column, line)) {
        for (int l = 0; l < C::kLines; ++l)
            if (m_no[l] == watched) line = l;
        if (line < 0) return false;
    }
    auto cellAt = [this, column](int l) { return column < 0 ? m_no[l] : m_cell[column][l]; };
    const Qt::KeyboardModifiers mods = key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier);
    const int k = key->key();
    if ((k == Qt::Key_Tab && mods == Qt::NoModifier && column == C::kArea2SizeColumn && line == C::kLines - 1) ||
        (k == Qt::Key_Backtab && column == C::kNodeColumn && line == 0)) {
        // Tab past the last line's last cell goes on to the next row, which the window scrolls
        // up to show; Shift+Tab before the first line's first cell goes back one row.
        const bool forward = k == Qt::Key_Tab;
        if (forward ? m_page.TopRow() >= C::kLastTopRow : m_page.TopRow() <= 1) return false;
        m_cell[forward ? C::kNodeColumn : C::kArea2SizeColumn][line]->setFocus(Qt::TabFocusReason);
        forward ? m_page.LineDown() : m_page.LineUp();
        Refresh();
        FocusAndSelectAll(m_cell[forward ? C::kNodeColumn : C::kArea2SizeColumn][line]);
        return true;
    }
    if (mods != Qt::NoModifier) return false;
    if (ApplyScrollKey(m_page, k, line, C::kLines)) {
        Refresh();
        return true;
    }
    if (k == Qt::Key_Up || k == Qt::Key_Down) {
        FocusAndSelectAll(cellAt(k == Qt::Key_Up ? line - 1 : line + 1));
        return true;
    }
    return false;
}

bool CMappingTablePageWidget::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (event->type() == QEvent::KeyPress && MoveThroughTable(watched, key)) return true;
        const bool ctrlOnly = (key->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier)) ==
                              Qt::ControlModifier;
        if (ctrlOnly && (key->key() == Qt::Key_A || key->key() == Qt::Key_C || key->key() == Qt::Key_D)) {
            // The page's edit commands win over the edits' own select-all and copy.
            if (event->type() == QEvent::ShortcutOverride) {
                event->accept();
                return true;
            }
            if (key->key() == Qt::Key_A) ClearAll();
            else if (key->key() == Qt::Key_C) CopyLine();
            else DeleteLine();
            return true;
        }
        return QWidget::eventFilter(watched, event);
    }
    int column = 0, line = 0;
    if (event->type() == QEvent::FocusIn) {
        if (FindCell(watched, column, line) && column <= C::kArea2SizeColumn)
            m_page.CellFocused(line);
        else if (watched != m_scroll && watched != m_list[0] && watched != m_list[1])
            m_page.OtherFieldFocused();
    } else if (event->type() == QEvent::FocusOut) {
        if (FindCell(watched, column, line)) {
            if (column == C::kArea1SizeColumn || column == C::kArea2SizeColumn) {
                m_page.CellFocusLost(column, line);
                Refresh();
            }
        } else if (watched == m_start[0] || watched == m_start[1]) {
            m_page.AreaStartFocusLost(watched == m_start[0] ? 1 : 2);
            Refresh();
        }
    }
    return QWidget::eventFilter(watched, event);
}
