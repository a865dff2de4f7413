#include "pages/LocalNodePage.h"

#include <cstring>

#include "model/AreaType.h"
#include "model/Prompter.h"
#include "model/ValueText.h"
#include "pages/PageChecks.h"

CLocalNodePage::CLocalNodePage() {
    m_values.localArea1Type = AreaType::CIO;
    m_values.localArea2Type = AreaType::DM;
    ShowWorkingCopy(m_radix);
}

int CLocalNodePage::FieldOf(Edit edit) {
    static const int kFields[kEditCount] = {Field::kLocalArea1Start, Field::kLocalArea1Size,
                                            Field::kLocalArea1ComStart, Field::kLocalArea2Start,
                                            Field::kLocalArea2Size, Field::kLocalArea2ComStart};
    return kFields[edit];
}

void CLocalNodePage::InitFromRecord(const CUnitSettings& record, int radix) {
    std::memset(&m_values, 0, sizeof m_values);
    m_values = record.GetLocalNodeArea();
    ShowWorkingCopy(radix);
}

void CLocalNodePage::ShowWorkingCopy(int radix) {
    m_radix = radix;
    m_list[0] = AreaType::IndexFromCode(m_values.localArea1Type);
    m_list[1] = AreaType::IndexFromCode(m_values.localArea2Type);
    m_text[kArea1Start] = FormatForRadix(m_values.localArea1Start, radix);
    m_text[kArea1Size] = FormatForRadix(m_values.localArea1Size, radix);
    m_text[kArea1ComStart] = FormatForRadix(m_values.localArea1ComStart, radix);
    m_text[kArea2Start] = FormatForRadix(m_values.localArea2Start, radix);
    m_text[kArea2Size] = FormatForRadix(m_values.localArea2Size, radix);
    m_text[kArea2ComStart] = FormatForRadix(m_values.localArea2ComStart, radix);
    m_focus.Clear();
}

void CLocalNodePage::SelectArea(int area, int index) {
    if ((area != 1 && area != 2) || index < 0 || index >= AreaType::kListCount) return;
    int& sel = m_list[area - 1];
    if (sel == index) return;
    sel = index;
    NotifyModified();
}

bool CLocalNodePage::EditText(Edit edit, const std::string& text) {
    if (edit < 0 || edit >= kEditCount || !CheckInputText(text, m_radix, 5)) return false;
    if (m_text[edit] != text) {
        m_text[edit] = text;
        NotifyModified();
    }
    return true;
}

void CLocalNodePage::ConvertRadix(int newRadix) {
    if (newRadix == m_radix) return;
    for (std::string& t : m_text) t = ReformatForRadix(t, newRadix);
    m_radix = newRadix;
}

bool CLocalNodePage::Validate(int radix, IPrompter& prompter) {
    m_focus.Clear();
    int32_t v[kEditCount];
    for (int i = 0; i < kEditCount; ++i) v[i] = ParseDisplayText(m_text[i], radix);

    struct AreaRules {
        int listIndex;
        Edit start, size, comStart;
        int32_t maxSize;
        int commonArea;
        int startMessage, sizeMessage, comMessage;
        uint8_t LocalNodeValues::*type;
        uint16_t LocalNodeValues::*startField;
        uint16_t LocalNodeValues::*sizeField;
        uint16_t LocalNodeValues::*comField;
    };
    const AreaRules areas[2] = {
        {m_list[0], kArea1Start, kArea1Size, kArea1ComStart, kCommonArea1Words, 1, 32830, 32831, 32832,
         &LocalNodeValues::localArea1Type, &LocalNodeValues::localArea1Start, &LocalNodeValues::localArea1Size,
         &LocalNodeValues::localArea1ComStart},
        {m_list[1], kArea2Start, kArea2Size, kArea2ComStart, kCommonArea2Words, 2, 32833, 32834, 32835,
         &LocalNodeValues::localArea2Type, &LocalNodeValues::localArea2Start, &LocalNodeValues::localArea2Size,
         &LocalNodeValues::localArea2ComStart},
    };
    for (const AreaRules& a : areas) {
        m_values.*a.type = AreaType::CodeFromIndex(a.listIndex);
        const int32_t start = v[a.start], size = v[a.size], com = v[a.comStart];
        if (!IsStartAddressValid(a.listIndex, start)) {
            prompter.Message(a.startMessage);
            RequestFocus(FieldOf(a.start));
            return false;
        }
        m_values.*a.startField = static_cast<uint16_t>(start);
        if (size < 0 || size > a.maxSize || !IsAreaEndValid(a.listIndex, start, size)) {
            prompter.Message(a.sizeMessage);
            RequestFocus(FieldOf(a.size));
            return false;
        }
        m_values.*a.sizeField = static_cast<uint16_t>(size);
        if (!IsCommonMemoryRangeValid(com, size, a.commonArea)) {
            prompter.Message(a.comMessage);
            RequestFocus(FieldOf(a.comStart));
            return false;
        }
        m_values.*a.comField = static_cast<uint16_t>(com);
    }
    if (m_list[0] == m_list[1] &&
        !RangesDisjoint(m_values.localArea1Start, m_values.localArea1Size, m_values.localArea2Start,
                        m_values.localArea2Size)) {
        prompter.Message(33065);
        return false;
    }
    return true;
}
