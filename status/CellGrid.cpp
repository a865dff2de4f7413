#include "status/CellGrid.h"

#include "status/CsvText.h"

void CCellGrid::Reset(int rows, int columns, int mode) {
    m_rows = rows < 0 ? 0 : rows;
    m_columns = columns < 0 ? 0 : columns;
    m_mode = mode;
    m_texts.assign(static_cast<size_t>(m_rows) * static_cast<size_t>(m_columns), std::string());
    for (CellColour& c : m_colours) c = CellColour{StatusColour::kWindowText, StatusColour::kWindow};
}

void CCellGrid::SetText(int row, int column, const std::string& text) {
    if (row < 0 || row >= m_rows || column < 0 || column >= m_columns) return;
    m_texts[static_cast<size_t>(row) * m_columns + column] = text;
}

const std::string& CCellGrid::Text(int row, int column) const {
    static const std::string kEmpty;
    if (row < 0 || row >= m_rows || column < 0 || column >= m_columns) return kEmpty;
    return m_texts[static_cast<size_t>(row) * m_columns + column];
}

void CCellGrid::SetCellColours(int cell, Rgb text, Rgb background) {
    if (cell < 0 || cell >= kMaxColourCells) return;
    m_colours[cell] = CellColour{text, background};
}

// -1: the window colours; a position beyond the colour cells also falls back to them.
int CCellGrid::ColourIndex(int row, int column) const {
    int cell = -1;
    if (m_mode == kModeSixteen) {
        cell = row * 16 + column;
    } else if (m_mode == kModeFive) {
        cell = row * 5 + column;
    }
    return cell >= 0 && cell < kMaxColourCells ? cell : -1;
}

Rgb CCellGrid::TextColourAt(int row, int column) const {
    if (m_mode != kModeSixteen && column == 0) return StatusColour::kWindowText;
    int cell = ColourIndex(row, column);
    return cell < 0 ? StatusColour::kWindowText : m_colours[cell].text;
}

Rgb CCellGrid::BackgroundAt(int row, int column) const {
    if (m_mode != kModeSixteen && column == 0) return m_colours[0].background;
    int cell = ColourIndex(row, column);
    return cell < 0 ? StatusColour::kWindow : m_colours[cell].background;
}

std::string CCellGrid::ToCsv() const {
    std::string out;
    bool anyHeader = false;
    for (const std::string& h : m_headers) anyHeader = anyHeader || !h.empty();
    if (anyHeader) out += CsvLine(m_headers);
    std::vector<std::string> fields(static_cast<size_t>(m_columns));
    for (int r = 0; r < m_rows; ++r) {
        for (int c = 0; c < m_columns; ++c) fields[c] = Text(r, c);
        out += CsvLine(fields);
    }
    return out;
}
