#pragma once
#include <cstdint>
#include <string>

#include "model/UnitSettings.h"
#include "pages/PageBase.h"

class IPrompter;

// Local node settings: the two PLC areas this node publishes into common memory.
class CLocalNodePage : public CPageBase {
public:
    // The six number edits, in the order the rules test them.
    enum Edit { kArea1Start = 0, kArea1Size, kArea1ComStart, kArea2Start, kArea2Size, kArea2ComStart, kEditCount };

    CLocalNodePage();

    void InitFromRecord(const CUnitSettings& record, int radix);
    // After the main window loaded the working copy (GetLocalNodeArea).
    void LoadValues(const LocalNodeValues& values) { m_values = values; }
    void ShowWorkingCopy(int radix);
    bool Validate(int radix, IPrompter& prompter);
    const LocalNodeValues& Values() const { return m_values; }
    void StoreInto(CUnitSettings& record) const { record.SetLocalNodeArea(m_values); }

    // area 1 or 2; index into the area list.
    void SelectArea(int area, int index);
    bool EditText(Edit edit, const std::string& text);
    void ConvertRadix(int newRadix);

    int AreaSelection(int area) const { return m_list[area == 2 ? 1 : 0]; }
    const std::string& Text(Edit edit) const { return m_text[edit]; }
    int Radix() const { return m_radix; }

    static int FieldOf(Edit edit);

private:
    LocalNodeValues m_values{};
    int m_list[2] = {};
    std::string m_text[kEditCount];
    int m_radix = 0;
};
