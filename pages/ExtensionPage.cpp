#include "pages/ExtensionPage.h"

#include <cstring>

#include "model/ValueText.h"

CExtensionPage::CExtensionPage() = default;

void CExtensionPage::InitFromRecord(const CUnitSettings& record) {
    m_sendOrder = record.pc.sendDataOrder ? 1 : 0;
    ClearEntries();
    m_topRow = 1;
    m_position = 0;
}

void CExtensionPage::LoadFromRecord(const CUnitSettings& record) {
    const SettingsImage& im = record.pc;
    m_sendOrder = im.sendDataOrder ? 1 : 0;
    SetCount(im.entryCount);
    for (uint32_t i = 0; i < m_count; ++i)
        if (im.entries[i].nodeNumber != 0) m_nodes[i] = {im.entries[i].nodeNumber, im.entries[i].receiveDataOrder};
}

void CExtensionPage::ShowWorkingCopy(const CUnitSettings& record, int radix, int firstRow) {
    m_sendOrder = record.pc.sendDataOrder ? 1 : 0;
    m_radix = radix;
    m_topRow = firstRow;
    KeepTopRowInRange();
    m_position = m_topRow * 10 / 13;
    if (m_position > 100) m_position = 100;
}

void CExtensionPage::StoreInto(CUnitSettings& record) const {
    uint16_t nodes[kMaxMappingEntries] = {};
    uint16_t orders[kMaxMappingEntries] = {};
    for (uint32_t i = 0; i < m_count; ++i) {
        nodes[i] = m_nodes[i].nodeNumber;
        orders[i] = m_nodes[i].receiveDataOrder;
    }
    record.SetDataOrders(static_cast<uint16_t>(m_sendOrder), nodes, orders);
}

void CExtensionPage::SelectSendOrder(int index) {
    if (index < 0 || index > 1 || index == m_sendOrder) return;
    m_sendOrder = index;
    NotifyModified();
}

void CExtensionPage::SelectReceiveOrder(int line, int index) {
    if (line < 0 || line >= kLines || index < 0 || index > 1 || !LineHasNode(line)) return;
    NodeOrderEntry& e = m_nodes[EntryIndex(line)];
    if (e.receiveDataOrder == index) return;
    e.receiveDataOrder = static_cast<uint16_t>(index);
    NotifyModified();
}

void CExtensionPage::KeepTopRowInRange() {
    if (m_topRow < 1) m_topRow = 1;
    if (m_topRow > kLastTopRow) m_topRow = kLastTopRow;
}

void CExtensionPage::LineUp() {
    if (m_topRow > 1) {
        --m_topRow;
        if (m_position > m_topRow * 10 / 13) --m_position;
    }
}

void CExtensionPage::LineDown() {
    if (m_topRow + kLines <= kMaxMappingEntries) {
        ++m_topRow;
        if (m_position < 100 && m_position <= m_topRow * 10 / 13) ++m_position;
    }
}

void CExtensionPage::PageUp() {
    m_topRow -= kLines;
    if (m_topRow < 9) {
        m_topRow = 1;
        m_position = 0;
    } else {
        m_position = m_topRow * 10 / 13;
    }
}

void CExtensionPage::PageDown() {
    m_topRow += kLines;
    if (m_topRow >= 120) {
        m_topRow = kLastTopRow;
        m_position = 100;
    } else {
        m_position = m_topRow * 10 / 13;
    }
}

void CExtensionPage::ThumbTo(int p) {
    if (p < 0) p = 0;
    if (p > 100) p = 100;
    m_topRow = p >= 91 ? kLastTopRow : p == 0 ? 1 : p * kLastTopRow / 100;
    KeepTopRowInRange();
    m_position = p;
}

std::string CExtensionPage::NoText(int line) const { return std::to_string(m_topRow + line); }

bool CExtensionPage::LineHasNode(int line) const {
    if (line < 0 || line >= kLines) return false;
    const int i = EntryIndex(line);
    // Entries past the count may hold a node of an earlier publish; they are not in use.
    return i < static_cast<int>(m_count) && m_nodes[i].nodeNumber != 0;
}

std::string CExtensionPage::NodeText(int line) const {
    return LineHasNode(line) ? FormatForRadix(m_nodes[EntryIndex(line)].nodeNumber, m_radix) : std::string();
}

int CExtensionPage::LineOrder(int line) const {
    return LineHasNode(line) && m_nodes[EntryIndex(line)].receiveDataOrder != 0 ? 1 : 0;
}

void CExtensionPage::SetEntryNode(int index, uint16_t node) {
    if (index >= 0 && index < kMaxMappingEntries) m_nodes[index].nodeNumber = node;
}

void CExtensionPage::SetEntry(int index, const NodeOrderEntry& entry) {
    if (index >= 0 && index < kMaxMappingEntries) m_nodes[index] = entry;
}

void CExtensionPage::ClearEntries() {
    std::memset(m_nodes, 0, sizeof m_nodes);
    m_count = 0;
}
