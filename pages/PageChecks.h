#pragma once
#include <cstdint>

#include "model/UnitSettings.h"

class IPrompter;
class CUnitAreaPanel;
class CSystemSettingPage;
class CLocalNodePage;
class CMappingTablePage;
class CExtensionPage;
struct MappingTableData;

// True when the channel ranges [a, a + na - 1] and [b, b + nb - 1] share no channel;
// an empty range never overlaps.
bool RangesDisjoint(uint16_t a, uint16_t na, uint16_t b, uint16_t nb);

// The editor as the checks see it; extension is null while the extension settings are off.
struct PageSet {
    CUnitAreaPanel& panel;
    CSystemSettingPage& system;
    CLocalNodePage& local;
    CMappingTablePage& mapping;
    CExtensionPage* extension = nullptr;
};

// Loads every page from the record as after opening a file or reading the unit: panel and
// system, local node and mapping table working copies, the table's rows published, the
// extension page (when present) from its first row.
void LoadPagesFromRecord(PageSet& pages, const CUnitSettings& record, int radix);

// Validates the panel and the three pages in order, each stopping at its first failing
// rule (message shown, focus requested on that page), and stores each accepted page into
// the scratch record. False at the first refusal.
bool CheckAllPages(PageSet& pages, bool forSave, int radix, CUnitSettings& scratch, IPrompter& prompter);

// The local node's areas against every mapping table row in use; one message and false
// at the first overlap.
bool CheckLocalOtherOverlap(const LocalNodeValues& local, const MappingTableData& table, IPrompter& prompter);
