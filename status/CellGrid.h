#pragma once
#include <string>
#include <vector>

#include "status/StatusColour.h"

// What a colour grid list shows: texts by row and column, and up to kMaxColourCells colour
// cells that the colour mode maps onto the table.
//   mode 255: cell r*16+c
//   mode 2:   column 0 takes the background of cell 0, other columns cell r*5+c
//   mode 1:   column 0 takes the background of cell 0, other columns the window colours
class CCellGrid {
public:
    static constexpr int kMaxColourCells = 2000;
    static constexpr int kModeSixteen = 255;
    static constexpr int kModeFive = 2;
    static constexpr int kModeShadedFirst = 1;

    // Empties every text and sets every colour cell to window text on window.
    void Reset(int rows, int columns, int mode);
    void SetHeaders(const std::vector<std::string>& headers) { m_headers = headers; }
    void SetListBackground(Rgb colour) { m_listBackground = colour; }

    int Rows() const { return m_rows; }
    int Columns() const { return m_columns; }
    int Mode() const { return m_mode; }
    const std::vector<std::string>& Headers() const { return m_headers; }
    Rgb ListBackground() const { return m_listBackground; }

    // Out-of-range positions are ignored on writing and read as empty / window colours.
    void SetText(int row, int column, const std::string& text);
    const std::string& Text(int row, int column) const;
    void SetCellColours(int cell, Rgb text, Rgb background);

    Rgb TextColourAt(int row, int column) const;
    Rgb BackgroundAt(int row, int column) const;

    // The header line (when any header is not blank) and then every row's texts.
    std::string ToCsv() const;

private:
    struct CellColour {
        Rgb text;
        Rgb background;
    };
    int ColourIndex(int row, int column) const;

    int m_rows = 0;
    int m_columns = 0;
    int m_mode = kModeShadedFirst;
    Rgb m_listBackground = StatusColour::kWindow;
    std::vector<std::string> m_headers;
    std::vector<std::string> m_texts;
    std::vector<CellColour> m_colours = std::vector<CellColour>(kMaxColourCells);
};
