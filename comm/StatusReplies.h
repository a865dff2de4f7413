#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "model/UnitSettings.h"

// Requests and response decoders of the status and diagnostic commands. Every decoder checks
// the length it reads against the response; false means the reply was short or out of range.
class CStatusReplies {
public:
    static constexpr int kDataLinkWords = 16;
    static constexpr int kNetworkWords = 64;
    static constexpr size_t kNodeInfoReply = 18;
    static constexpr size_t kCycleTimeReply = 10;
    static constexpr int kSequenceSlice = 64;
    // The fixed parameter table: 1-4 read send counters, 0x11-0x14 receive counters.
    static constexpr uint8_t kSequenceParams[8] = {1, 2, 3, 4, 0x11, 0x12, 0x13, 0x14};

    // Word addresses of the unit's status words.
    static int DataLinkWord(unsigned unit, int i) { return 1500 + 25 * static_cast<int>(unit) + i; }
    static int NetworkWord(unsigned unit, int i) { return 30000 + 100 * static_cast<int>(unit) + i; }

    // 0x0104 element lists.
    static std::vector<uint8_t> DataLinkRequest(unsigned unit);
    static std::vector<uint8_t> NetworkRequest(unsigned unit);
    static std::vector<uint8_t> ErrorStatusRequest(unsigned unit);

    static bool DecodeDataLink(const uint8_t* data, size_t length, StatusArea& status);
    static bool DecodeNetwork(const uint8_t* data, size_t length, StatusArea& status);
    static bool DecodeErrorStatus(const uint8_t* data, size_t length, StatusArea& status);
    static bool DecodeNodeInfo(uint16_t endCode, const uint8_t* data, size_t length, StatusArea& status);
    static bool DecodeCycleTime(const uint8_t* data, size_t length, StatusArea& status);
    // One 0x2931 response for parameter param at response index r (0-7).
    static bool DecodeMessageSequence(uint8_t param, int r, const uint8_t* data, size_t length, StatusArea& status);
    // One 0x2102 response of the read starting at start.
    static bool DecodeHistory(uint16_t start, const uint8_t* data, size_t length, StatusArea& status);
    static std::vector<uint8_t> HistoryRequest(uint16_t start, uint16_t count);
};
