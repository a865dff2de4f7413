#include "pages/MappingTablePage.h"

#include <cstdio>
#include <cstring>

#include "model/AreaType.h"
#include "model/Messages.h"
#include "model/Prompter.h"
#include "model/ValueText.h"
#include "pages/ExtensionPage.h"
#include "pages/PageChecks.h"
#include "pages/SystemSettingPage.h"

namespace {
// A typed value that does not fit a word is kept as 0xFFFF, which every rule refuses,
// rather than wrapping into a value that might pass.
uint16_t ToWord(int32_t v) { return v < 0 ? 0 : v > 0xFFFF ? 0xFFFF : static_cast<uint16_t>(v); }

constexpr int kUserWords[] = {MappingRow::kNodeNumber, MappingRow::kArea1Size, MappingRow::kArea1Offset,
                              MappingRow::kArea2Size, MappingRow::kArea2Offset};
}  // namespace

CMappingTablePage::CMappingTablePage(CSystemSettingPage& system, CExtensionPage& extension)
    : m_system(system), m_extension(extension) {
    m_data.mapArea1Type = AreaType::CIO;
    m_data.mapArea2Type = AreaType::DM;
    m_list[0] = AreaType::IndexFromCode(m_data.mapArea1Type);
    m_list[1] = AreaType::IndexFromCode(m_data.mapArea2Type);
    m_startText[0] = m_startText[1] = "0";
    RecomputeChains();
}

MappingRow::Word CMappingTablePage::WordOfColumn(int column) {
    switch (column) {
    case kNodeColumn: return MappingRow::kNodeNumber;
    case kArea1OffsetColumn: return MappingRow::kArea1Offset;
    case kArea1SizeColumn: return MappingRow::kArea1Size;
    case kArea2OffsetColumn: return MappingRow::kArea2Offset;
    case kArea2SizeColumn: return MappingRow::kArea2Size;
    case kArea1StartColumn: return MappingRow::kArea1StartChannel;
    default: return MappingRow::kArea2StartChannel;
    }
}

int CMappingTablePage::FieldOfColumn(int column) {
    switch (column) {
    case kNodeColumn: return Field::kMapNodeNumber;
    case kArea1OffsetColumn: return Field::kMapArea1Offset;
    case kArea1SizeColumn: return Field::kMapArea1Size;
    case kArea2OffsetColumn: return Field::kMapArea2Offset;
    case kArea2SizeColumn: return Field::kMapArea2Size;
    default: return 0;
    }
}

const MappingRow& CMappingTablePage::Row(int index) const {
    if (index < 0) index = 0;
    if (index >= kMaxMappingEntries) index = kMaxMappingEntries - 1;
    return m_data.rows[index];
}

void CMappingTablePage::SetRowField(int row, int column, int32_t value) {
    if (row < 0 || row >= kMaxMappingEntries || column < 0 || column > kArea2SizeColumn) return;
    const MappingRow::Word w = WordOfColumn(column);
    MappingRow& r = m_data.rows[row];
    r.entered[w] = value >= 0;
    r.words[w] = ToWord(value);
}

void CMappingTablePage::InitFromRecord(const CUnitSettings& record, int radix) {
    const SettingsImage& im = record.pc;
    std::memset(&m_data, 0, sizeof m_data);
    m_radix = radix;
    m_data.mapArea1Type = im.mapArea1Type;
    m_data.mapArea2Type = im.mapArea2Type;
    m_data.mapArea1Start = im.mapArea1Start;
    m_data.mapArea2Start = im.mapArea2Start;
    m_list[0] = AreaType::IndexFromCode(im.mapArea1Type);
    m_list[1] = AreaType::IndexFromCode(im.mapArea2Type);
    m_startText[0] = FormatForRadix(im.mapArea1Start, radix);
    m_startText[1] = FormatForRadix(im.mapArea2Start, radix);
    m_data.entryCount = im.entryCount > kMaxMappingEntries ? kMaxMappingEntries : im.entryCount;
    RecomputeChains();
    m_topRow = 1;
    m_position = 0;
    m_currentRow = -1;
    m_focus.Clear();
    UpdateInformation();
}

void CMappingTablePage::LoadValues(const MappingTableValues& v) {
    m_data.mapArea1Type = v.mapArea1Type;
    m_data.mapArea2Type = v.mapArea2Type;
    m_data.mapArea1Start = v.mapArea1Start;
    m_data.mapArea2Start = v.mapArea2Start;
    m_data.entryCount = v.entryCount > kMaxMappingEntries ? kMaxMappingEntries : v.entryCount;
    for (int i = 0; i < kMaxMappingEntries; ++i) {
        MappingRow& r = m_data.rows[i];
        std::memset(&r, 0, sizeof r);
        const MappingEntry& e = v.entries[i];
        r.words[MappingRow::kNodeNumber] = e.nodeNumber;
        r.words[MappingRow::kReceiveDataOrder] = e.receiveDataOrder;
        r.words[MappingRow::kArea1Size] = e.area1Size;
        r.words[MappingRow::kArea1Offset] = e.area1Offset;
        r.words[MappingRow::kArea2Size] = e.area2Size;
        r.words[MappingRow::kArea2Offset] = e.area2Offset;
    }
}

void CMappingTablePage::ShowWorkingCopy(int radix) {
    m_radix = radix;
    m_list[0] = AreaType::IndexFromCode(m_data.mapArea1Type);
    m_list[1] = AreaType::IndexFromCode(m_data.mapArea2Type);
    m_startText[0] = FormatForRadix(m_data.mapArea1Start, radix);
    m_startText[1] = FormatForRadix(m_data.mapArea2Start, radix);
    for (uint32_t i = 0; i < m_data.entryCount; ++i)
        for (int w : kUserWords) m_data.rows[i].entered[w] = true;
    RecomputeChains();
    m_position = 0;
    m_currentRow = -1;
    m_focus.Clear();
    UpdateInformation();
}

void CMappingTablePage::RecomputeChain(int area, int fromRow, bool fromStartEdit) {
    const int start = area == 1 ? MappingRow::kArea1StartChannel : MappingRow::kArea2StartChannel;
    const int size = area == 1 ? MappingRow::kArea1Size : MappingRow::kArea2Size;
    if (fromStartEdit) {
        const std::string& text = m_startText[area - 1];
        MappingRow& first = m_data.rows[0];
        first.entered[start] = !text.empty();
        first.words[start] = text.empty() ? 0 : ToWord(ParseDisplayText(text, m_radix));
        fromRow = 0;
    }
    if (fromRow < 0) fromRow = 0;
    for (int r = fromRow + 1; r < kMaxMappingEntries; ++r) {
        const MappingRow& prev = m_data.rows[r - 1];
        MappingRow& row = m_data.rows[r];
        if (prev.entered[start] && prev.entered[size]) {
            row.words[start] = static_cast<uint16_t>(prev.words[start] + prev.words[size]);
            row.entered[start] = true;
        } else {
            row.words[start] = 0;
            row.entered[start] = false;
        }
    }
}

void CMappingTablePage::RecomputeChains() {
    RecomputeChain(1, 0, true);
    RecomputeChain(2, 0, true);
}

void CMappingTablePage::UpdateInformation() {
    m_information.clear();
    for (const MappingRow& r : m_data.rows) {
        if (r.words[MappingRow::kArea1Size] + r.words[MappingRow::kArea2Size] >= kSimultaneityLimit) {
            m_information = FormatMessage(32944, {std::to_string(r.words[MappingRow::kNodeNumber])});
            return;
        }
    }
}

void CMappingTablePage::Redisplay() {
    RecomputeChains();
    UpdateInformation();
}

void CMappingTablePage::TakeOverPendingEdits() { RecomputeChains(); }

void CMappingTablePage::ConvertRadix(int newRadix) {
    if (newRadix == m_radix) return;
    for (std::string& t : m_startText) t = ReformatForRadix(t, newRadix);
    m_radix = newRadix;
}

void CMappingTablePage::SelectArea(int area, int index) {
    if ((area != 1 && area != 2) || index < 0 || index >= AreaType::kListCount) return;
    int& sel = m_list[area - 1];
    if (sel == index) return;
    sel = index;
    NotifyModified();
}

bool CMappingTablePage::EditAreaStart(int area, const std::string& text) {
    if ((area != 1 && area != 2) || !CheckInputText(text, m_radix, 5)) return false;
    std::string& t = m_startText[area - 1];
    if (t != text) {
        t = text;
        NotifyModified();
    }
    return true;
}

void CMappingTablePage::AreaStartFocusLost(int area) {
    if (area != 1 && area != 2) return;
    RecomputeChain(area, 0, true);
}

bool CMappingTablePage::EditCell(int column, int line, const std::string& text) {
    if (column < 0 || column > kArea2SizeColumn || line < 0 || line >= kLines) return false;
    if (!CheckInputText(text, m_radix, MaxCellLength(column))) return false;
    const int row = m_topRow - 1 + line;
    const MappingRow::Word w = WordOfColumn(column);
    MappingRow& r = m_data.rows[row];
    const bool entered = !text.empty();
    const uint16_t value = entered ? ToWord(ParseDisplayText(text, m_radix)) : 0;
    if (r.entered[w] != entered || r.words[w] != value) {
        r.entered[w] = entered;
        r.words[w] = value;
    }
    NotifyModified();
    return true;
}

void CMappingTablePage::CellFocused(int line) {
    if (line >= 0 && line < kLines) m_currentRow = line;
}

void CMappingTablePage::CellFocusLost(int column, int line) {
    if (line < 0 || line >= kLines) return;
    if (column != kArea1SizeColumn && column != kArea2SizeColumn) return;
    RecomputeChain(column == kArea1SizeColumn ? 1 : 2, m_topRow - 1 + line, false);
    UpdateInformation();
}

std::string CMappingTablePage::NoText(int line) const { return std::to_string(m_topRow + line); }

std::string CMappingTablePage::CellText(int column, int line) const {
    if (column < 0 || column >= kColumnCount || line < 0 || line >= kLines) return std::string();
    const MappingRow& r = m_data.rows[m_topRow - 1 + line];
    const MappingRow::Word w = WordOfColumn(column);
    if (!r.entered[w]) return std::string();
    if (column == kArea1StartColumn || column == kArea2StartColumn) {
        char buf[16];
        std::snprintf(buf, sizeof buf, m_radix == kHexadecimal ? "%.4X" : "%.5d", r.words[w]);
        return buf;
    }
    return FormatForRadix(r.words[w], m_radix);
}

bool CMappingTablePage::LineHighlighted(int line) const {
    if (line < 0 || line >= kLines) return false;
    const MappingRow& r = m_data.rows[m_topRow - 1 + line];
    return r.words[MappingRow::kArea1Size] + r.words[MappingRow::kArea2Size] >= kSimultaneityLimit;
}

void CMappingTablePage::LineUp() {
    TakeOverPendingEdits();
    if (m_topRow > 1) {
        --m_topRow;
        if (m_position > m_topRow * 10 / 13) --m_position;
    }
}

void CMappingTablePage::LineDown() {
    TakeOverPendingEdits();
    if (m_topRow + kLines <= kMaxMappingEntries) {
        ++m_topRow;
        if (m_position < 100 && m_position <= m_topRow * 10 / 13) ++m_position;
    }
}

void CMappingTablePage::PageUp() {
    TakeOverPendingEdits();
    m_topRow -= kLines;
    if (m_topRow < 9) {
        m_topRow = 1;
        m_position = 0;
    } else {
        m_position = m_topRow * 10 / 13;
    }
}

void CMappingTablePage::PageDown() {
    TakeOverPendingEdits();
    m_topRow += kLines;
    if (m_topRow >= 120) {
        m_topRow = kLastTopRow;
        m_position = 100;
    } else {
        m_position = m_topRow * 10 / 13;
    }
}

void CMappingTablePage::ThumbTo(int p) {
    TakeOverPendingEdits();
    if (p < 0) p = 0;
    if (p > 100) p = 100;
    m_topRow = p >= 91 ? kLastTopRow : p == 0 ? 1 : p * kLastTopRow / 100;
    if (m_topRow < 1) m_topRow = 1;
    m_position = p;
}

void CMappingTablePage::FocusCell(int column, int row) {
    if (column < 0 || column > kArea2SizeColumn || row < 0 || row >= kMaxMappingEntries) return;
    int line = 0;
    if (row + 1 < 120) {
        m_topRow = row + 1;
        m_position = m_topRow * 10 / 13;
    } else {
        m_topRow = kLastTopRow;
        line = row - (kLastTopRow - 1);
        m_position = 100;
    }
    Redisplay();
    m_currentRow = line;
    RequestFocus(FieldOfColumn(column), row);
}

bool CMappingTablePage::PublishRows() {
    uint32_t count = 0;
    for (int i = 0; i < kMaxMappingEntries; ++i) {
        const MappingRow& r = m_data.rows[i];
        if (!r.IsComplete()) continue;
        m_extension.SetEntryNode(i, r.words[MappingRow::kNodeNumber]);
        ++count;
    }
    m_data.entryCount = count;
    m_extension.SetCount(count);
    m_system.SetNodeCount(count, m_radix);
    return true;
}

MappingTableValues CMappingTablePage::Values() const {
    MappingTableValues v{};
    v.mapArea1Type = m_data.mapArea1Type;
    v.mapArea2Type = m_data.mapArea2Type;
    v.mapArea1Start = m_data.mapArea1Start;
    v.mapArea2Start = m_data.mapArea2Start;
    for (int i = 0; i < kMaxMappingEntries; ++i) {
        const MappingRow& r = m_data.rows[i];
        MappingEntry& e = v.entries[i];
        e.nodeNumber = r.words[MappingRow::kNodeNumber];
        e.receiveDataOrder = r.words[MappingRow::kReceiveDataOrder];
        e.area1Size = r.words[MappingRow::kArea1Size];
        e.area1Offset = r.words[MappingRow::kArea1Offset];
        e.area2Size = r.words[MappingRow::kArea2Size];
        e.area2Offset = r.words[MappingRow::kArea2Offset];
    }
    v.entryCount = m_data.entryCount;
    return v;
}

void CMappingTablePage::StoreInto(CUnitSettings& record) const { record.SetMappingTable(Values()); }

void CMappingTablePage::ClearUserFields(int row) {
    MappingRow& r = m_data.rows[row];
    for (int w : kUserWords) {
        r.words[w] = 0;
        r.entered[w] = false;
    }
}

void CMappingTablePage::MoveUserFields(int from, int to) {
    const MappingRow& s = m_data.rows[from];
    MappingRow& d = m_data.rows[to];
    for (int w : kUserWords) {
        d.words[w] = s.words[w];
        d.entered[w] = s.entered[w];
    }
}

void CMappingTablePage::ClearAll() {
    for (int i = 0; i < kMaxMappingEntries; ++i) {
        ClearUserFields(i);
        if (i > 0) {
            MappingRow& r = m_data.rows[i];
            r.words[MappingRow::kArea1StartChannel] = r.words[MappingRow::kArea2StartChannel] = 0;
            r.entered[MappingRow::kArea1StartChannel] = r.entered[MappingRow::kArea2StartChannel] = false;
        }
    }
    m_extension.ClearEntries();
    RecomputeChains();
    UpdateInformation();
    m_topRow = 1;
    m_position = 0;
    m_currentRow = -1;
    NotifyModified();
}

bool CMappingTablePage::AskClearAll(IPrompter& prompter) {
    if (prompter.Show(32938, {}, PromptButtons::YesNo, PromptIcon::None) == PromptAnswer::No) return false;
    ClearAll();
    return true;
}

bool CMappingTablePage::CopyLine() {
    if (m_currentRow < 0) return false;
    const int c = m_topRow - 1 + m_currentRow;
    if (c >= kMaxMappingEntries - 1 || !m_data.rows[c].entered[MappingRow::kNodeNumber]) return false;
    // Refused whenever the last row holds anything: the copy would push it out of the table.
    if (!m_data.rows[kMaxMappingEntries - 1].IsEmpty()) return false;
    for (int r = kMaxMappingEntries - 2; r > c; --r) {
        MoveUserFields(r, r + 1);
        m_extension.SetEntry(r + 1, m_extension.Entry(r));
    }
    MoveUserFields(c, c + 1);
    MappingRow& copy = m_data.rows[c + 1];
    copy.words[MappingRow::kNodeNumber] = static_cast<uint16_t>(copy.words[MappingRow::kNodeNumber] + 1);
    m_extension.SetEntry(c + 1, {copy.words[MappingRow::kNodeNumber], m_extension.Entry(c).receiveDataOrder});
    if (m_topRow < kLastTopRow)
        ++m_topRow;
    else
        ++m_currentRow;
    RecomputeChain(1, c, false);
    RecomputeChain(2, c, false);
    UpdateInformation();
    if (m_topRow < 120 && m_position < 100 && m_position <= m_topRow * 10 / 13) ++m_position;
    NotifyModified();
    return true;
}

bool CMappingTablePage::DeleteLine() {
    if (m_currentRow < 0) return false;
    const int c = m_topRow - 1 + m_currentRow;
    if (m_data.rows[c].IsEmpty()) return false;
    // Every row below moves up by one, whatever it holds, so no other row is lost.
    for (int r = c; r < kMaxMappingEntries - 1; ++r) {
        MoveUserFields(r + 1, r);
        m_extension.SetEntry(r, m_extension.Entry(r + 1));
    }
    ClearUserFields(kMaxMappingEntries - 1);
    m_extension.SetEntry(kMaxMappingEntries - 1, {0, 0});
    RecomputeChain(1, c > 0 ? c - 1 : 0, c == 0);
    RecomputeChain(2, c > 0 ? c - 1 : 0, c == 0);
    UpdateInformation();
    if (m_position > m_topRow * 10 / 13) --m_position;
    NotifyModified();
    return true;
}

bool CMappingTablePage::Validate(int radix, IPrompter& prompter) {
    m_focus.Clear();
    m_radix = radix;
    TakeOverPendingEdits();

    // Rules 1 and 2: the two area starts.
    for (int area = 1; area <= 2; ++area) {
        const int index = m_list[area - 1];
        const int32_t start = ParseDisplayText(m_startText[area - 1], radix);
        (area == 1 ? m_data.mapArea1Type : m_data.mapArea2Type) = AreaType::CodeFromIndex(index);
        if (!IsStartAddressValid(index, start)) {
            prompter.Message(area == 1 ? 32837 : 32838);
            RequestFocus(area == 1 ? Field::kMapArea1Start : Field::kMapArea2Start);
            return false;
        }
        (area == 1 ? m_data.mapArea1Start : m_data.mapArea2Start) = static_cast<uint16_t>(start);
    }

    // Rule 3: the records must follow each other without a gap.
    int n = 0;
    bool gap = false;
    for (const MappingRow& r : m_data.rows) {
        if (r.IsEmpty()) {
            gap = true;
        } else {
            if (gap) {
                prompter.Message(32928);
                return false;
            }
            ++n;
        }
    }

    // Rule 4: a table kept in the PLC holds at most 96 records.
    if (m_system.ListSelection(CSystemSettingPage::kMappingTableMethod) == 0 && n > 96) {
        prompter.Message(32913);
        return false;
    }

    const int index1 = m_list[0], index2 = m_list[1];
    auto fail = [&](int messageId, int column, int row) {
        prompter.Message(messageId);
        if (column >= 0) FocusCell(column, row);
        return false;
    };
    for (int j = 0; j < n; ++j) {
        const MappingRow& r = m_data.rows[j];
        if (!r.IsComplete()) return fail(32927, -1, 0);
        const int32_t node = r.words[MappingRow::kNodeNumber];
        const int32_t size1 = r.words[MappingRow::kArea1Size], offset1 = r.words[MappingRow::kArea1Offset];
        const int32_t size2 = r.words[MappingRow::kArea2Size], offset2 = r.words[MappingRow::kArea2Offset];
        const int32_t start1 = r.words[MappingRow::kArea1StartChannel];
        const int32_t start2 = r.words[MappingRow::kArea2StartChannel];
        if (node > 254) return fail(32922, kNodeColumn, j);
        if (size1 > kCommonArea1Words || !IsStartAddressValid(index1, size1) || !IsAreaEndValid(index1, start1, size1))
            return fail(32840, kArea1SizeColumn, j);
        if (size2 > kCommonArea2Words || !IsStartAddressValid(index2, size2) || !IsAreaEndValid(index2, start2, size2))
            return fail(32842, kArea2SizeColumn, j);
        if (offset1 > kCommonArea1Words - 1) return fail(32839, kArea1OffsetColumn, j);
        if (offset2 > kCommonArea2Words - 1) return fail(32841, kArea2OffsetColumn, j);
        if (offset1 + size1 > kCommonArea1Words) return fail(33010, kArea1SizeColumn, j);
        if (offset2 + size2 > kCommonArea2Words) return fail(33011, kArea2SizeColumn, j);
        if (node != 0)
            for (int k = j + 1; k < n; ++k)
                if (m_data.rows[k].words[MappingRow::kNodeNumber] == node) return fail(32929, kNodeColumn, k);
    }

    // Rule 6: the records together fit each common memory area.
    int32_t sum1 = 0, sum2 = 0;
    for (int r = 0; r < kMaxMappingEntries; ++r) {
        sum1 += m_data.rows[r].words[MappingRow::kArea1Size];
        if (sum1 > kCommonArea1Words) return fail(32840, kArea1SizeColumn, r);
        sum2 += m_data.rows[r].words[MappingRow::kArea2Size];
        if (sum2 > kCommonArea2Words) return fail(32842, kArea2SizeColumn, r);
    }

    // Rule 7: in one PLC area the two common memory areas must not meet.
    if (index1 == index2) {
        for (int a = 0; a < n; ++a) {
            const MappingRow& ra = m_data.rows[a];
            if (ra.words[MappingRow::kArea1Size] == 0) continue;
            for (int b = 0; b < n; ++b) {
                const MappingRow& rb = m_data.rows[b];
                if (rb.words[MappingRow::kArea2Size] == 0) continue;
                if (!RangesDisjoint(ra.words[MappingRow::kArea1StartChannel], ra.words[MappingRow::kArea1Size],
                                    rb.words[MappingRow::kArea2StartChannel], rb.words[MappingRow::kArea2Size])) {
                    prompter.Message(33003, {std::to_string(a + 1), std::to_string(b + 1)});
                    return false;
                }
            }
        }
    }

    PublishRows();
    return true;
}
