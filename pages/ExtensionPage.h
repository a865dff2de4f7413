#pragma once
#include <cstdint>
#include <string>

#include "model/UnitSettings.h"
#include "pages/PageBase.h"

// One entry of the extension page's node list: a mapping table record's node number and
// the word order of the data received from it.
struct NodeOrderEntry {
    uint16_t nodeNumber;
    uint16_t receiveDataOrder;
};

// Extension settings: the send data order of the local node and, per mapping table record,
// the receive data order. The node list is filled and kept in step by the mapping table page.
class CExtensionPage : public CPageBase {
public:
    static constexpr int kLines = 10;
    static constexpr int kLastTopRow = 119;

    CExtensionPage();

    void InitFromRecord(const CUnitSettings& record);
    // Loads the node list from the record after a file was opened or the unit was read.
    void LoadFromRecord(const CUnitSettings& record);
    void ShowWorkingCopy(const CUnitSettings& record, int radix, int firstRow);
    // Stores the orders with SetDataOrders.
    void StoreInto(CUnitSettings& record) const;

    void SelectSendOrder(int index);
    // line 0-9; index 0 forward, 1 reverse. Ignored on a line without a node.
    void SelectReceiveOrder(int line, int index);
    void ConvertRadix(int newRadix) { m_radix = newRadix; }

    // Scrolling, as on the mapping table page.
    void LineUp();
    void LineDown();
    void PageUp();
    void PageDown();
    void ThumbTo(int position);

    // What the ten lines show.
    std::string NoText(int line) const;
    std::string NodeText(int line) const;
    // True when the line shows a node (two-item order list); false for the "non" form.
    bool LineHasNode(int line) const;
    int LineOrder(int line) const;

    int SendOrder() const { return m_sendOrder; }
    int TopRow() const { return m_topRow; }
    int ScrollPosition() const { return m_position; }
    int Radix() const { return m_radix; }

    // Node list access for the mapping table page.
    // The index is clamped to the table.
    const NodeOrderEntry& Entry(int index) const {
        return m_nodes[index < 0 ? 0 : index >= kMaxMappingEntries ? kMaxMappingEntries - 1 : index];
    }
    void SetEntryNode(int index, uint16_t node);
    void SetEntry(int index, const NodeOrderEntry& entry);
    uint32_t Count() const { return m_count; }
    void SetCount(uint32_t count) { m_count = count > kMaxMappingEntries ? kMaxMappingEntries : count; }
    void ClearEntries();

private:
    int EntryIndex(int line) const { return m_topRow - 1 + line; }
    void KeepTopRowInRange();

    int m_sendOrder = 0;
    NodeOrderEntry m_nodes[kMaxMappingEntries] = {};
    uint32_t m_count = 0;
    int m_topRow = 1;
    int m_position = 0;
    int m_radix = 0;
};
