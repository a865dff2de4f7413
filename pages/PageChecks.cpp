#include "pages/PageChecks.h"

#include <string>

#include "model/Prompter.h"
#include "pages/ExtensionPage.h"
#include "pages/LocalNodePage.h"
#include "pages/MappingTablePage.h"
#include "pages/SystemSettingPage.h"
#include "pages/UnitAreaPanel.h"

bool RangesDisjoint(uint16_t a, uint16_t na, uint16_t b, uint16_t nb) {
    if (na == 0 || nb == 0) return true;
    const int32_t sa = a, sb = b, la = na, lb = nb;
    if (sb <= sa && sa <= sb + lb - 1) return false;
    if (sa < sb && sb <= sa + la - 1) return false;
    return true;
}

void LoadPagesFromRecord(PageSet& pages, const CUnitSettings& record, int radix) {
    pages.panel.InitFromRecord(record, radix);
    pages.system.LoadValues(record.GetSystemSettings());
    pages.local.LoadValues(record.GetLocalNodeArea());
    pages.mapping.ClearAll();
    pages.mapping.LoadValues(record.GetMappingTable());
    pages.system.ShowWorkingCopy(radix);
    pages.local.ShowWorkingCopy(radix);
    pages.mapping.ShowWorkingCopy(radix);
    pages.mapping.PublishRows();
    if (pages.extension) {
        pages.extension->LoadFromRecord(record);
        pages.extension->ShowWorkingCopy(record, radix, 1);
    }
}

bool CheckAllPages(PageSet& pages, bool forSave, int radix, CUnitSettings& scratch, IPrompter& prompter) {
    if (!pages.panel.CheckUnitArea(forSave, prompter)) return false;
    pages.panel.unitAreaWord = scratch.SetUnitArea(pages.panel.WorkingCopy());
    scratch.pc.unitAreaWord = pages.panel.unitAreaWord;

    if (!pages.system.Validate(radix, prompter)) return false;
    pages.system.StoreInto(scratch);

    if (!pages.local.Validate(radix, prompter)) return false;
    pages.local.StoreInto(scratch);

    if (!pages.mapping.Validate(radix, prompter)) return false;
    pages.mapping.StoreInto(scratch);
    if (pages.extension) pages.extension->StoreInto(scratch);
    return true;
}

bool CheckLocalOtherOverlap(const LocalNodeValues& local, const MappingTableData& table, IPrompter& prompter) {
    struct Local {
        uint8_t type;
        uint16_t start;
        uint16_t size;
        int messageArea1;
        int messageArea2;
    };
    const Local areas[2] = {
        {local.localArea1Type, local.localArea1Start, local.localArea1Size, 33034, 33035},
        {local.localArea2Type, local.localArea2Start, local.localArea2Size, 33036, 33037},
    };
    const uint32_t count = table.entryCount > kMaxMappingEntries ? kMaxMappingEntries : table.entryCount;
    for (const Local& l : areas) {
        if (l.size == 0) continue;
        for (int other = 1; other <= 2; ++other) {
            if (l.type != (other == 1 ? table.mapArea1Type : table.mapArea2Type)) continue;
            const int startWord = other == 1 ? MappingRow::kArea1StartChannel : MappingRow::kArea2StartChannel;
            const int sizeWord = other == 1 ? MappingRow::kArea1Size : MappingRow::kArea2Size;
            for (uint32_t i = 0; i < count; ++i) {
                const MappingRow& r = table.rows[i];
                if (r.words[MappingRow::kNodeNumber] == 0) continue;
                if (!RangesDisjoint(l.start, l.size, r.words[startWord], r.words[sizeWord])) {
                    prompter.Message(other == 1 ? l.messageArea1 : l.messageArea2, {std::to_string(i + 1)});
                    return false;
                }
            }
        }
    }
    return true;
}
