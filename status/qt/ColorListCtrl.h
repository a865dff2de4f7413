#pragma once
#include <QColor>
#include <QTableWidget>

class CCellGrid;

// The grid list of the status views: grid lines, centred read-only cells, each with the text
// and colours that the view model's grid gives for it.
class CColorListCtrl : public QTableWidget {
    Q_OBJECT
public:
    explicit CColorListCtrl(QWidget* parent = nullptr);

    // Takes row and column counts, headers, texts and colours from the grid.
    void SetCells(const CCellGrid& grid);
    // The first column gets this width and the others share the rest; -1: all share.
    void SetFirstColumnWidth(int pixels);

    QString CellText(int row, int column) const;
    QColor CellTextColour(int row, int column) const;
    QColor CellBackground(int row, int column) const;

private:
    int m_firstColumnWidth = -1;
};
