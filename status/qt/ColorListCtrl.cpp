#include "status/qt/ColorListCtrl.h"

#include <QHeaderView>

#include "status/CellGrid.h"

namespace {
QColor ToQColor(Rgb c) { return QColor(c.r, c.g, c.b); }
}  // namespace

CColorListCtrl::CColorListCtrl(QWidget* parent) : QTableWidget(parent) {
    setShowGrid(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::NoSelection);
    setFocusPolicy(Qt::NoFocus);
    verticalHeader()->setVisible(false);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
}

void CColorListCtrl::SetFirstColumnWidth(int pixels) {
    m_firstColumnWidth = pixels;
    if (columnCount() == 0) return;
    if (pixels < 0) {
        horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    } else {
        horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
        horizontalHeader()->setSectionResizeMode(0, QHeaderView::Fixed);
        setColumnWidth(0, pixels);
    }
}

void CColorListCtrl::SetCells(const CCellGrid& grid) {
    setUpdatesEnabled(false);
    const bool reshaped = rowCount() != grid.Rows() || columnCount() != grid.Columns();
    if (reshaped) {
        setRowCount(grid.Rows());
        setColumnCount(grid.Columns());
    }
    // A report list always has its header row, blank texts and all (the data link grid's).
    QStringList headers;
    for (int c = 0; c < grid.Columns(); ++c) {
        const std::string h = c < static_cast<int>(grid.Headers().size()) ? grid.Headers()[c] : std::string();
        headers << QString::fromStdString(h);
    }
    setHorizontalHeaderLabels(headers);
    if (reshaped) SetFirstColumnWidth(m_firstColumnWidth);

    QPalette pal = viewport()->palette();
    pal.setColor(QPalette::Base, ToQColor(grid.ListBackground()));
    viewport()->setPalette(pal);

    for (int r = 0; r < grid.Rows(); ++r) {
        for (int c = 0; c < grid.Columns(); ++c) {
            QTableWidgetItem* cell = item(r, c);
            if (!cell) {
                cell = new QTableWidgetItem;
                cell->setTextAlignment(Qt::AlignCenter);
                cell->setFlags(Qt::ItemIsEnabled);
                setItem(r, c, cell);
            }
            const QString text = QString::fromStdString(grid.Text(r, c));
            if (cell->text() != text) cell->setText(text);
            const QColor fg = ToQColor(grid.TextColourAt(r, c));
            const QColor bg = ToQColor(grid.BackgroundAt(r, c));
            if (cell->foreground().color() != fg || cell->foreground().style() == Qt::NoBrush)
                cell->setForeground(fg);
            if (cell->background().color() != bg || cell->background().style() == Qt::NoBrush)
                cell->setBackground(bg);
        }
    }
    setUpdatesEnabled(true);
}

QString CColorListCtrl::CellText(int row, int column) const {
    const QTableWidgetItem* cell = item(row, column);
    return cell ? cell->text() : QString();
}

QColor CColorListCtrl::CellTextColour(int row, int column) const {
    const QTableWidgetItem* cell = item(row, column);
    return cell ? cell->foreground().color() : QColor();
}

QColor CColorListCtrl::CellBackground(int row, int column) const {
    const QTableWidgetItem* cell = item(row, column);
    return cell ? cell->background().color() : QColor();
}
