#pragma once
#include <cstdint>

#include "model/UnitSettings.h"

// All 128 mapping records, node n taking 4 words of area 1 and 8 of area 2 one after the other:
// 1312 block bytes, two extension chunks each way at FRAME 1004.
inline void FillFullTable(SettingsImage& image) {
    image.entryCount = 128;
    image.faLinkNodeCount = 128;
    for (int i = 0; i < 128; ++i)
        image.entries[i] = {static_cast<uint16_t>(i + 1), 0, 4, static_cast<uint16_t>(4 * i), 8,
                            static_cast<uint16_t>(8 * i)};
}
