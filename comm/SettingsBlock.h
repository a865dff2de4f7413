#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "model/UnitSettings.h"

// The unit's settings block and the other request and response layouts of the parameter
// transfer commands. Everything on the wire is big-endian; decoders check the length first.
class CSettingsBlock {
public:
    static constexpr size_t kHeadBytes = 12;      // flag word, subnet mask, IP address, node count
    static constexpr size_t kAreaHeaderBytes = 20;
    static constexpr size_t kRecordBytes = 10;
    static constexpr size_t kFixedBytes = 32;     // everything before the first mapping record
    static constexpr size_t kUnitSettingReply = 15;
    static constexpr size_t kControllerDataReply = 44;
    static constexpr size_t kUnitDataReply = 46;

    struct Chunk {
        uint16_t offset;   // as sent: bit 15 marks the last chunk of an extension write
        uint16_t count;    // bytes
        int records;       // mapping records carried (reads)
    };

    // The whole block from an image: 32 + 10 x nodeCount bytes (nodeCount at most 128).
    static std::vector<uint8_t> Encode(const SettingsImage& image, int nodeCount);

    // Bytes 0-11: the flag word and the fields derived from it, subnet mask, IP address.
    static bool DecodeHead(const uint8_t* data, size_t length, SettingsImage& image);
    static bool DecodeAreaHeader(const uint8_t* data, size_t length, SettingsImage& image);
    // Records into entries[first..first+count-1]; verify mode keeps the order byte whole.
    static bool DecodeRecords(const uint8_t* data, size_t length, int first, int count, bool verifyMode,
                              SettingsImage& image);

    // Chunks of the extension area read of nodeCount records, and of the write of a block.
    // Empty when the frame is too small: a read needs room for the area header (a frame of 30
    // bytes), a write for one record (20 bytes).
    static std::vector<Chunk> ReadChunks(int nodeCount, int frameSize);
    static std::vector<Chunk> WriteChunks(size_t blockBytes, int frameSize);
    // 0x2912 data for one chunk of the block.
    static std::vector<uint8_t> ExtensionWriteData(const std::vector<uint8_t>& block, const Chunk& chunk);
    static std::vector<uint8_t> ExtensionReadData(const Chunk& chunk);

    // Parameter area blocks of the system setting area ("FL", word addressed).
    static std::vector<uint8_t> AreaReadBlock(unsigned unitNumber, uint16_t wordOffset, uint16_t wordCount);
    static std::vector<uint8_t> AreaWriteBlock(unsigned unitNumber, uint16_t wordOffset, uint16_t wordCount,
                                               const uint8_t* bytes, size_t length);

    // Unit settings.
    static std::vector<uint8_t> UnitSettingWriteData(const SettingsImage& image);
    static bool DecodeUnitSetting(const uint8_t* data, size_t length, SettingsImage& image);

    // Software version as kept: blanks removed, one character after each point.
    static void PackSoftwareVersion(const uint8_t* raw20, char* out, size_t width);
    // Controller data: model text (read mode only), software version, unit IP address.
    static bool DecodeControllerData(const uint8_t* data, size_t length, SettingsImage& image, std::string* model);
    static bool DecodeUnitData(const uint8_t* data, size_t length, SettingsImage& image);
};
