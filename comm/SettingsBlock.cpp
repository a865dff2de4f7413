#include "comm/SettingsBlock.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

namespace {
uint16_t Be16(const uint8_t* d) { return static_cast<uint16_t>((d[0] << 8) | d[1]); }
void Put16(std::vector<uint8_t>& d, uint16_t v) {
    d.push_back(static_cast<uint8_t>(v >> 8));
    d.push_back(static_cast<uint8_t>(v));
}
void Set16(uint8_t* d, uint16_t v) {
    d[0] = static_cast<uint8_t>(v >> 8);
    d[1] = static_cast<uint8_t>(v);
}
// Copies n raw bytes into a text field and terminates it inside its width.
void RawText(char* dest, size_t width, const uint8_t* src, size_t n) {
    size_t m = std::min(n, width - 1);
    std::memcpy(dest, src, m);
    std::memset(dest + m, 0, width - m);
}
}  // namespace

std::vector<uint8_t> CSettingsBlock::Encode(const SettingsImage& im, int nodeCount) {
    nodeCount = std::clamp(nodeCount, 0, kMaxMappingEntries);
    std::vector<uint8_t> b(kFixedBytes + kRecordBytes * static_cast<size_t>(nodeCount), 0);
    Set16(&b[0], CUnitSettings::ComposeSystemFlags(im.systemFlags, im));
    std::memcpy(&b[2], im.subnetMask, 4);
    std::memcpy(&b[6], im.ipAddress, 4);
    Set16(&b[10], static_cast<uint16_t>(nodeCount));
    uint8_t* h = &b[12];
    h[0] = im.localArea1Type;
    h[1] = im.localArea2Type;
    Set16(h + 2, im.localArea1Start);
    Set16(h + 4, im.localArea2Start);
    Set16(h + 6, im.localArea1Size);
    Set16(h + 8, im.localArea2Size);
    Set16(h + 10, im.localArea1ComStart);
    Set16(h + 12, im.localArea2ComStart);
    h[14] = im.mapArea1Type;
    h[15] = im.mapArea2Type;
    Set16(h + 16, im.mapArea1Start);
    Set16(h + 18, im.mapArea2Start);
    for (int i = 0; i < nodeCount; ++i) {
        const MappingEntry& e = im.entries[i];
        uint8_t* r = &b[kFixedBytes + kRecordBytes * static_cast<size_t>(i)];
        r[0] = static_cast<uint8_t>(e.nodeNumber);
        r[1] = static_cast<uint8_t>((e.receiveDataOrder << 4) & 0xF0);
        Set16(r + 2, e.area1Size);
        Set16(r + 4, e.area1Offset);
        Set16(r + 6, e.area2Size);
        Set16(r + 8, e.area2Offset);
    }
    return b;
}

bool CSettingsBlock::DecodeHead(const uint8_t* d, size_t n, SettingsImage& im) {
    if (n < 10) return false;
    im.systemFlags = Be16(d);
    CUnitSettings::DeriveFromSystemFlags(im);
    std::memcpy(im.subnetMask, d + 2, 4);
    std::memcpy(im.ipAddress, d + 6, 4);
    return true;
}

bool CSettingsBlock::DecodeAreaHeader(const uint8_t* h, size_t n, SettingsImage& im) {
    if (n < kAreaHeaderBytes) return false;
    im.localArea1Type = h[0];
    im.localArea2Type = h[1];
    im.localArea1Start = Be16(h + 2);
    im.localArea2Start = Be16(h + 4);
    im.localArea1Size = Be16(h + 6);
    im.localArea2Size = Be16(h + 8);
    im.localArea1ComStart = Be16(h + 10);
    im.localArea2ComStart = Be16(h + 12);
    im.mapArea1Type = h[14];
    im.mapArea2Type = h[15];
    im.mapArea1Start = Be16(h + 16);
    im.mapArea2Start = Be16(h + 18);
    return true;
}

bool CSettingsBlock::DecodeRecords(const uint8_t* d, size_t n, int first, int count, bool verifyMode,
                                   SettingsImage& im) {
    if (first < 0 || count < 0 || first + count > kMaxMappingEntries) return false;
    if (n < kRecordBytes * static_cast<size_t>(count)) return false;
    for (int i = 0; i < count; ++i) {
        const uint8_t* r = d + kRecordBytes * static_cast<size_t>(i);
        MappingEntry& e = im.entries[first + i];
        e.nodeNumber = r[0];
        // The verify comparison allows for the whole byte.
        e.receiveDataOrder = verifyMode ? r[1] : static_cast<uint16_t>(r[1] >> 4);
        e.area1Size = Be16(r + 2);
        e.area1Offset = Be16(r + 4);
        e.area2Size = Be16(r + 6);
        e.area2Offset = Be16(r + 8);
    }
    return true;
}

std::vector<CSettingsBlock::Chunk> CSettingsBlock::ReadChunks(int nodeCount, int frameSize) {
    std::vector<Chunk> chunks;
    int m = frameSize - 10;
    // The first chunk carries the area header (and no record when the frame has room for no more,
    // frames of 30 to 39 bytes); every later chunk at least one record, so the reads always end.
    if (m < static_cast<int>(kAreaHeaderBytes) || nodeCount < 0) return chunks;
    int remaining = nodeCount;
    int offset = 12;
    int k = std::min(remaining, (m - 20) / 10);
    chunks.push_back({static_cast<uint16_t>(offset), static_cast<uint16_t>((k + 2) * 10), k});
    remaining -= k;
    offset += (k + 2) * 10;
    while (remaining > 0) {
        k = std::min(remaining, m / 10);
        chunks.push_back({static_cast<uint16_t>(offset), static_cast<uint16_t>(k * 10), k});
        remaining -= k;
        offset += k * 10;
    }
    return chunks;
}

std::vector<CSettingsBlock::Chunk> CSettingsBlock::WriteChunks(size_t blockBytes, int frameSize) {
    std::vector<Chunk> chunks;
    int m = frameSize - 10;
    if (m < static_cast<int>(kRecordBytes) || blockBytes > 0x7FFF) return chunks;
    size_t offset = 0;
    while (offset < blockBytes) {
        size_t count = std::min(blockBytes - offset, static_cast<size_t>(m));
        uint16_t sent = static_cast<uint16_t>(offset);
        if (offset + count == blockBytes) sent = static_cast<uint16_t>(sent | 0x8000);
        chunks.push_back({sent, static_cast<uint16_t>(count), 0});
        offset += count;
    }
    return chunks;
}

std::vector<uint8_t> CSettingsBlock::ExtensionWriteData(const std::vector<uint8_t>& block, const Chunk& chunk) {
    std::vector<uint8_t> d;
    size_t at = chunk.offset & 0x7FFFu;
    if (at > block.size() || chunk.count > block.size() - at) return d;
    Put16(d, chunk.offset);
    Put16(d, chunk.count);
    d.insert(d.end(), block.begin() + static_cast<long>(at), block.begin() + static_cast<long>(at + chunk.count));
    return d;
}

std::vector<uint8_t> CSettingsBlock::ExtensionReadData(const Chunk& chunk) {
    std::vector<uint8_t> d;
    Put16(d, chunk.offset);
    Put16(d, chunk.count);
    return d;
}

std::vector<uint8_t> CSettingsBlock::AreaReadBlock(unsigned unitNumber, uint16_t wordOffset, uint16_t wordCount) {
    std::vector<uint8_t> d;
    Put16(d, static_cast<uint16_t>(0x10 + unitNumber));
    d.push_back('F');
    d.push_back('L');
    Put16(d, wordOffset);
    Put16(d, wordCount);
    return d;
}

std::vector<uint8_t> CSettingsBlock::AreaWriteBlock(unsigned unitNumber, uint16_t wordOffset, uint16_t wordCount,
                                                    const uint8_t* bytes, size_t length) {
    std::vector<uint8_t> d;
    Put16(d, 0);
    std::vector<uint8_t> head = AreaReadBlock(unitNumber, wordOffset, wordCount);
    d.insert(d.end(), head.begin(), head.end());
    d.insert(d.end(), bytes, bytes + length);
    return d;
}

std::vector<uint8_t> CSettingsBlock::UnitSettingWriteData(const SettingsImage& im) {
    std::vector<uint8_t> d;
    Put16(d, im.unitAreaWord);
    for (size_t i = 0; i < 10; ++i) d.push_back(static_cast<uint8_t>(im.nodeName[i]));
    Put16(d, im.tokenWatchdog);
    Put16(d, im.minFrameInterval);
    return d;
}

bool CSettingsBlock::DecodeUnitSetting(const uint8_t* d, size_t n, SettingsImage& im) {
    if (n < kUnitSettingReply) return false;
    RawText(im.nodeName, sizeof im.nodeName, d, 10);
    im.tokenWatchdog = Be16(d + 10);
    im.minFrameInterval = Be16(d + 12);
    im.minFrameWait = d[14];
    return true;
}

void CSettingsBlock::PackSoftwareVersion(const uint8_t* raw, char* out, size_t width) {
    char packed[21] = {};
    size_t n = 0;
    for (size_t i = 0; i < 20; ++i)
        if (raw[i] != ' ' && raw[i] != '\0') packed[n++] = static_cast<char>(raw[i]);
    // One character after each point stays.
    for (size_t i = 0; i < 20; ++i)
        if (packed[i] == '.')
            for (size_t j = i + 2; j < 20; ++j) packed[j] = '\0';
    std::string text(packed);
    std::memset(out, 0, width);
    std::memcpy(out, text.data(), std::min(text.size(), width - 1));
}

bool CSettingsBlock::DecodeControllerData(const uint8_t* d, size_t n, SettingsImage& im, std::string* model) {
    if (n < kControllerDataReply) return false;
    if (model) {
        std::string text(reinterpret_cast<const char*>(d), 10);
        size_t end = text.find('\0');
        if (end != std::string::npos) text.resize(end);
        *model = text;
    }
    PackSoftwareVersion(d + 20, im.softwareVersion, sizeof im.softwareVersion);
    std::memcpy(im.unitIpAddress, d + 40, 4);
    return true;
}

bool CSettingsBlock::DecodeUnitData(const uint8_t* d, size_t n, SettingsImage& im) {
    if (n < kUnitDataReply) return false;
    RawText(im.vendorName, sizeof im.vendorName, d + 11, 10);
    RawText(im.modelName, sizeof im.modelName, d + 21, 10);
    std::snprintf(im.protocolVersion, sizeof im.protocolVersion, "%d", d[45]);
    return true;
}
