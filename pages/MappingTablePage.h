#pragma once
#include <cstdint>
#include <string>

#include "model/UnitSettings.h"
#include "pages/PageBase.h"

class IPrompter;
class CSystemSettingPage;
class CExtensionPage;

// One record of the mapping table as the page holds it: eight words, each with a flag
// telling whether the field holds a value (an empty cell is flag false and value 0).
struct MappingRow {
    enum Word {
        kNodeNumber = 0,
        kReceiveDataOrder,
        kArea1Size,
        kArea1Offset,
        kArea1StartChannel,
        kArea2Size,
        kArea2Offset,
        kArea2StartChannel,
        kWordCount
    };
    uint16_t words[kWordCount];
    bool entered[kWordCount];

    bool IsComplete() const {
        return entered[kNodeNumber] && entered[kArea1Size] && entered[kArea1Offset] && entered[kArea2Size] &&
               entered[kArea2Offset];
    }
    bool IsEmpty() const {
        return !entered[kNodeNumber] && !entered[kArea1Size] && !entered[kArea1Offset] && !entered[kArea2Size] &&
               !entered[kArea2Offset];
    }
};

// The mapping table page's working copy.
struct MappingTableData {
    uint8_t mapArea1Type;
    uint8_t mapArea2Type;
    uint16_t mapArea1Start;
    uint16_t mapArea2Start;
    MappingRow rows[kMaxMappingEntries];
    uint32_t entryCount;
};

// The FA Link mapping table of the other nodes: 128 records shown ten at a time, derived
// start channels, the edit commands and the whole-table validation. It writes the node
// numbers into the extension page and the record count into the system settings page.
class CMappingTablePage : public CPageBase {
public:
    static constexpr int kLines = 10;
    static constexpr int kLastTopRow = 119;
    // Editable columns (FocusCell numbering), then the two derived start-channel columns.
    enum Column {
        kNodeColumn = 0,
        kArea1OffsetColumn,
        kArea1SizeColumn,
        kArea2OffsetColumn,
        kArea2SizeColumn,
        kArea1StartColumn,
        kArea2StartColumn,
        kColumnCount
    };
    // Rows whose two sizes add up to this or more cannot be refreshed simultaneously.
    static constexpr int kSimultaneityLimit = 7678;

    CMappingTablePage(CSystemSettingPage& system, CExtensionPage& extension);

    void InitFromRecord(const CUnitSettings& record, int radix);
    // After ClearAll: the values GetMappingTable returned.
    void LoadValues(const MappingTableValues& values);
    void ShowWorkingCopy(int radix);
    bool Validate(int radix, IPrompter& prompter);
    bool PublishRows();
    void Redisplay();
    MappingTableValues Values() const;
    void StoreInto(CUnitSettings& record) const;

    // Edit commands. AskClearAll asks first and clears unless the answer is No.
    void ClearAll();
    bool AskClearAll(IPrompter& prompter);
    // False when the command was refused (nothing changed).
    bool CopyLine();
    bool DeleteLine();
    // column 0-4, row 0-based: scrolls the row into view and asks for the cell's focus.
    void FocusCell(int column, int row);

    // User input. area is 1 or 2; line 0-9 of the visible lines.
    void SelectArea(int area, int index);
    bool EditAreaStart(int area, const std::string& text);
    void AreaStartFocusLost(int area);
    bool EditCell(int column, int line, const std::string& text);
    void CellFocused(int line);
    void OtherFieldFocused() { m_currentRow = -1; }
    void CellFocusLost(int column, int line);
    // What hiding the page or scrolling does first.
    void TakeOverPendingEdits();
    void ConvertRadix(int newRadix);

    void LineUp();
    void LineDown();
    void PageUp();
    void PageDown();
    void ThumbTo(int position);

    // The view.
    std::string NoText(int line) const;
    std::string CellText(int column, int line) const;
    bool LineHighlighted(int line) const;
    const std::string& InformationText() const { return m_information; }
    int TopRow() const { return m_topRow; }
    int ScrollPosition() const { return m_position; }
    int CurrentRow() const { return m_currentRow; }
    int AreaSelection(int area) const { return m_list[area == 2 ? 1 : 0]; }
    const std::string& AreaStartText(int area) const { return m_startText[area == 2 ? 1 : 0]; }
    int Radix() const { return m_radix; }
    const MappingTableData& WorkingCopy() const { return m_data; }
    // Row access for loading and tests; the index is clamped to the table.
    const MappingRow& Row(int index) const;
    // Sets one field of a row as a cell edit would (value -1 clears it).
    void SetRowField(int row, int column, int32_t value);

    static int MaxCellLength(int column) { return column == kNodeColumn ? 3 : 5; }
    static int FieldOfColumn(int column);

private:
    static MappingRow::Word WordOfColumn(int column);
    void RecomputeChain(int area, int fromRow, bool fromStartEdit);
    void RecomputeChains();
    void UpdateInformation();
    void MoveUserFields(int from, int to);
    void ClearUserFields(int row);

    CSystemSettingPage& m_system;
    CExtensionPage& m_extension;
    MappingTableData m_data{};
    int m_list[2] = {};
    std::string m_startText[2];
    std::string m_information;
    int m_topRow = 1;
    int m_position = 0;
    int m_currentRow = -1;
    int m_radix = 0;
};
