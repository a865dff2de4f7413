#include "model/SettingsFile.h"

#include <cctype>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <vector>

#include "model/AreaType.h"
#include "model/FileIo.h"
#include "model/FileSystemOps.h"
#include "model/Messages.h"
#include "model/Prompter.h"

namespace {

// The sections and keys of the file, in the order they are written.
enum Slot {
    kTypeSection,
    kVersionSection,
    kCommSection,
    kSystemSection,
    kUnitAreaSection,
    kMappingSection,
    kLocalSection,
    kExtensionSection,
    kRelayPlc,
    kTargetPlc,
    kUnitNumber,
    kMapMethod,
    kStartupMethod,
    kConfirmMessage,
    kBroadcastType,
    kIpMethod,
    kSubnetMask,
    kIpAddress,
    kNodeCount,
    kSend1Start,
    kSend1Size,
    kSend2Start,
    kSend2Size,
    kTokenWatchdog,
    kMinFrameInterval,
    kNodeName,
    kMinFrameWait,
    kMapArea1,
    kMapArea2,
    kNodeNumber,
    kMapOffset1,
    kMapSize1,
    kMapOffset2,
    kMapSize2,
    kLocalArea1,
    kLocalSize1,
    kLocalCom1,
    kLocalArea2,
    kLocalSize2,
    kLocalCom2,
    kSendDataOrder,
    kEtherBaudRate,
    kReceiveDataOrder,
    kExtensionCheck,
    kSlotCount
};

// English, Japanese (Shift_JIS bytes) and old-version names of each slot.
const char* const kNames[kSlotCount][3] = {
    {"Type", "\x8C`\x8E\xAE", "Type"},
    {"Version", "\x83o\x81[\x83W\x83\x87\x83\x93", "Version"},
    {"Communication settings", "\x92\xCA\x90M\x90\xDD\x92\xE8", "Communication settings"},
    {"CPU Bus Unit system setting", "CPU\x8D\x82\x8B@\x94\\\x83V\x83X\x83" "e\x83\x80\x90\xDD\x92\xE8", "CPU Bus Unit system setting"},
    {"Unit area setting", "\x83\x86\x83j\x83" "b\x83g\x83G\x83\x8A\x83" "A\x90\xDD\x92\xE8", "Unit area setting"},
    {"FA Link mapping area table", "\x82" "e\x82`\x83\x8A\x83\x93\x83N\x8A\x84\x95t\x83G\x83\x8A\x83" "A\x83" "e\x81[\x83u\x83\x8B", "FA Link mapping area table"},
    {"Local node setup area", "\x8E\xA9\x83m\x81[\x83h\x90\xDD\x92\xE8\x97\xCC\x88\xE6", "Local node setup area"},
    {"Extension Setting", "\x8Ag\x92\xA3\x90\xDD\x92\xE8", "Extension Setting"},
    {"RelayPLC", "Dummy", "Dummy"},
    {"TargetPLC", "Dummy", "Dummy"},
    {"Unit Number", "\x83\x86\x83j\x83" "b\x83g\x94\xD4\x8D\x86", "Unit No."},
    {"FA Link mapping table method", "\x82" "e\x82`\x83\x8A\x83\x93\x83N\x8A\x84\x95t\x83" "e\x81[\x83u\x83\x8B\x8Ai\x94[\x95\xFB\x8E\xAE", "FA Link mapping table method"},
    {"FA Link startup method", "\x82" "e\x82`\x83\x8A\x83\x93\x83N\x8BN\x93\xAE\x95\xFB\x8E\xAE", "FA Link startup method"},
    {"Confirm message protocol", "\x83\x81\x83" "b\x83Z\x81[\x83W\x8E\xE8\x8F\x87\x8Am\x94" "F", "Confirm message protocol"},
    {"Broadcast type", "\x83u\x83\x8D\x81[\x83h\x83L\x83\x83\x83X\x83g\x8C`\x8E\xAE", "Broadcast type"},
    {"IP address set method", "IP\x83" "A\x83h\x83\x8C\x83X\x90\xDD\x92\xE8\x95\xFB\x8E\xAE", "IP address set method"},
    {"Sub-net Mask", "\x83T\x83u\x83l\x83" "b\x83g\x83}\x83X\x83N", " Sub-net Mask"},
    {"IP address", "IP\x83" "A\x83h\x83\x8C\x83X", "IP address"},
    {"No. of nodes in FA link", "\x82" "e\x82`\x83\x8A\x83\x93\x83N\x8D\\\x90\xAC\x83m\x81[\x83h\x90\x94", "No. of nodes in FA link"},
    {"Start address of send area 1", "\x91\x97\x90M\x97\xCC\x88\xE6\x82P\x90\xE6\x93\xAA\x83" "A\x83h\x83\x8C\x83X", "Start address of send area 1"},
    {"Size of setting send area 1", "\x91\x97\x90M\x97\xCC\x88\xE6\x82P\x83T\x83" "C\x83Y", "Size of setting send area 1"},
    {"Start address of send area 2", "\x91\x97\x90M\x97\xCC\x88\xE6\x82Q\x90\xE6\x93\xAA\x83" "A\x83h\x83\x8C\x83X", "Start address of send area 2"},
    {"Size of setting send area 2", "\x91\x97\x90M\x97\xCC\x88\xE6\x82Q\x83T\x83" "C\x83Y", "Size of setting send area 2"},
    {"Token watchdog timer", "\x83g\x81[\x83N\x83\x93\x8A\xC4\x8E\x8B\x83^\x83" "C\x83\x80\x83" "A\x83" "E\x83g\x8E\x9E\x8A\xD4", "Token watchdog timer"},
    {"Allowed min. frame interval", "\x8D\xC5\x8F\xAC\x8B\x96\x97" "e\x83t\x83\x8C\x81[\x83\x80\x8A\xD4\x8Au", "Allowed min. frame interval"},
    {"Node name", "\x83m\x81[\x83h\x96\xBC", "Node name"},
    {"Allowed min. frame interval wait time", "\x89\xBC\x91z\x83" "A\x83h\x83\x8C\x83X\x8B\xF3\x8A\xD4\x90\xE6\x93\xAA\x83" "A\x83h\x83\x8C\x83X", "Start address of virtual address area"},
    {"Start address of area 1 in mapping area", "\x97\xCC\x88\xE6\x82P\x8A\x84\x95t\x83G\x83\x8A\x83" "A\x90\xE6\x93\xAA\x83" "A\x83h\x83\x8C\x83X", "Start address of area 1 in mapping area"},
    {"Start address of area 2 in mapping area", "\x97\xCC\x88\xE6\x82Q\x8A\x84\x95t\x83G\x83\x8A\x83" "A\x90\xE6\x93\xAA\x83" "A\x83h\x83\x8C\x83X", "Start address of area 2 in mapping area"},
    {"Node number", "\x83m\x81[\x83h\x94\xD4\x8D\x86", "Node number"},
    {"Offset size of setting area 1", "\x97\xCC\x88\xE6\x82P\x83I\x83t\x83Z\x83" "b\x83g", "Offset size of setting area 1"},
    {"Size of setting area 1", "\x97\xCC\x88\xE6\x82P\x83T\x83" "C\x83Y", "Size of setting area 1"},
    {"Offset size of setting area 2", "\x97\xCC\x88\xE6\x82Q\x83I\x83t\x83Z\x83" "b\x83g", " offset size of setting area 1"},
    {"Size of setting area 2", "\x97\xCC\x88\xE6\x82Q\x83T\x83" "C\x83Y", "Size of setting area 2"},
    {"Memory area of area 1", "\x97\xCC\x88\xE6\x82P\x8E\xED\x95\xCA", "Memory area of area 1"},
    {"Size of setting area 1", "\x97\xCC\x88\xE6\x82P\x83T\x83" "C\x83Y", "Size of setting area 1"},
    {"COM start address of area 1", "\x97\xCC\x88\xE6\x82PCOM\x90\xE6\x93\xAA\x83" "A\x83h\x83\x8C\x83X", "COM start address of area 1"},
    {"Memory area of area 2", "\x97\xCC\x88\xE6\x82Q\x8E\xED\x95\xCA", "Memory area of area 2"},
    {"Size of setting area 2", "\x97\xCC\x88\xE6\x82Q\x83T\x83" "C\x83Y", "Size of setting area 2"},
    {"COM start address of area 2", "\x97\xCC\x88\xE6\x82QCOM\x90\xE6\x93\xAA\x83" "A\x83h\x83\x8C\x83X", "COM start address of area 2"},
    {"Send Data Order", "\x91\x97\x90M\x83" "f\x81[\x83^\x95\xC0\x82\xD1", "Send Data Order"},
    {"Ether Baud Rate", "\x92\xCA\x90M\x91\xAC\x93x", "Ether Baud Rate"},
    {"Receive Data Order", "\x8E\xF3\x90M\x83" "f\x81[\x83^\x95\xC0\x82\xD1", "Receive Data Order"},
    {"Extension Setting Check", "\x8Ag\x92\xA3\x90\xDD\x92\xE8\x83`\x83" "F\x83" "b\x83N", "Extension Setting Check"},
};

enum Dialect { kEnglish = 0, kJapanese = 1, kOldVersion = 2 };

const char kCommentSection[] = "COMMENT";
constexpr int kSectionCount = kExtensionSection + 1;
constexpr int kCommentSectionIndex = kSectionCount;

void SplitFirst(const std::string& text, std::string& first, std::string& rest) {
    size_t comma = text.find(',');
    if (comma == std::string::npos) {
        first = text;
        rest.clear();
    } else {
        first = text.substr(0, comma);
        rest = text.substr(comma + 1);
    }
}

std::string FirstField(const std::string& text) {
    return text.substr(0, text.find(','));
}

// A text value as the record keeps it: a NUL byte ends it as the comma does, so a value that
// starts with one counts as empty (the default stays) instead of being kept as an empty text
// that a save and reload would turn back into the default.
std::string TextField(const std::string& text) {
    std::string field = FirstField(text);
    return field.substr(0, field.find('\0'));
}

// Leading decimal digits with an optional sign, as atoi reads them; saturates instead of overflowing.
long long ReadNumber(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        if (value < (1LL << 40)) value = value * 10 + (text[i] - '0');
    }
    return negative ? -value : value;
}

// The send area values are written as 0x%x; reading them back as hex keeps them across
// a load and save instead of turning every one into 0.
int32_t ReadCarried(const std::string& text) {
    if (text.size() > 2 && text[0] == '0' && (text[1] | 0x20) == 'x') {
        uint32_t value = 0;
        for (size_t i = 2; i < text.size() && std::isxdigit(static_cast<unsigned char>(text[i])); ++i) {
            char c = static_cast<char>(text[i] | 0x20);
            value = value * 16 + static_cast<uint32_t>(c <= '9' ? c - '0' : c - 'a' + 10);
        }
        return static_cast<int32_t>(value);
    }
    return static_cast<int32_t>(ReadNumber(text));
}

std::string TextBetweenQuotes(const std::string& text) {
    size_t open = text.find('"');
    if (open == std::string::npos) return {};
    size_t close = text.find('"', open + 1);
    return text.substr(open + 1, close == std::string::npos ? std::string::npos : close - open - 1);
}

std::string AreaNameForFile(uint8_t code) {
    std::string name = AreaType::NameFromCode(code);
    return name.empty() ? "CIO" : name;
}

// One pass over a file's lines; owns the error flags of that read.
class CFileReader {
public:
    CFileReader(CUnitSettings& record, CSettingsFile& file, IConnectionSink* sink, Dialect dialect)
        : m_record(record), m_image(record.pc), m_file(file), m_sink(sink), m_dialect(dialect) {}

    void ApplyLine(const std::string& line);
    void Finish();
    bool HadErrors() const { return m_valueError || m_mappingError; }

private:
    const char* Name(int slot) const { return kNames[slot][m_dialect]; }
    int FindKey(const std::string& key, int firstSlot, int lastSlot) const {
        for (int slot = firstSlot; slot <= lastSlot; ++slot)
            if (key == Name(slot)) return slot;
        return -1;
    }

    // A number in [low, high] is stored; any other sets the value error flag and gives fallback.
    long long Ranged(const std::string& text, long long low, long long high, long long fallback) {
        long long value = ReadNumber(text);
        if (value >= low && value <= high) return value;
        m_valueError = true;
        return fallback;
    }

    void ReadCommunication(const std::string& key, const std::string& value);
    void ReadSystem(const std::string& key, const std::string& value);
    void ReadUnitArea(const std::string& key, const std::string& value);
    void ReadMapping(const std::string& key, const std::string& value);
    void ReadLocal(const std::string& key, const std::string& value);
    void ReadExtension(const std::string& key, const std::string& value);
    void ReadOctets(const std::string& value, uint8_t octets[4], const uint8_t fallback[4]);
    void ReadAreaStart(const std::string& value, uint8_t& type, uint16_t& start);
    // Reads a list of values into consecutive entries; store returns false to end the list.
    template <typename Store>
    void ReadList(const std::string& value, Store store);

    CUnitSettings& m_record;
    SettingsImage& m_image;
    CSettingsFile& m_file;
    IConnectionSink* m_sink;
    Dialect m_dialect;
    int m_section = kTypeSection;
    bool m_relay = false;
    bool m_valueError = false;
    bool m_mappingError = false;
};

void CFileReader::ApplyLine(const std::string& line) {
    if (line.empty()) return;
    if (m_section == kCommentSectionIndex) {
        m_record.comment += "\n" + line;
        return;
    }
    std::string first, rest;
    SplitFirst(line, first, rest);
    if (first == kCommentSection) {
        m_section = kCommentSectionIndex;
    } else {
        for (int section = kTypeSection; section < kSectionCount; ++section)
            if (first == Name(section)) m_section = section;
    }

    if (m_section == kTypeSection || m_section == kVersionSection) {
        std::string text = TextField(rest);
        if (text.empty()) return;
        if (m_section == kTypeSection)
            CopyText(m_image.modelName, sizeof m_image.modelName, text);
        else
            CopyText(m_image.protocolVersion, sizeof m_image.protocolVersion, text);
        return;
    }
    if (m_section == kCommentSectionIndex) {
        m_record.comment += rest;
        return;
    }
    std::string key, value;
    SplitFirst(rest, key, value);
    switch (m_section) {
    case kCommSection: ReadCommunication(key, value); break;
    case kSystemSection: ReadSystem(key, value); break;
    case kUnitAreaSection: ReadUnitArea(key, value); break;
    case kMappingSection: ReadMapping(key, value); break;
    case kLocalSection: ReadLocal(key, value); break;
    case kExtensionSection: ReadExtension(key, value); break;
    default: break;
    }
}

void CFileReader::ReadCommunication(const std::string& key, const std::string& value) {
    int slot = FindKey(key, kRelayPlc, kUnitNumber);
    if (slot < 0) return;
    if (slot == kRelayPlc) {
        std::string name = TextBetweenQuotes(value);
        if (name.empty()) return;
        m_record.relayPlc = name;
        if (m_sink) m_sink->SetGatewayDeviceString(name);
        m_relay = true;
    } else if (slot == kTargetPlc) {
        std::string number, remainder;
        SplitFirst(value, number, remainder);
        if (!number.empty()) m_record.targetPlcNumber = static_cast<uint32_t>(ReadNumber(number));
        std::string name = TextBetweenQuotes(remainder);
        if (name.empty()) return;
        m_record.targetPlc = name;
        if (m_sink) {
            m_sink->SetDirectDeviceString(name);
            m_sink->SetConnectionType(m_relay ? 1 : 0);
        }
    } else {
        std::string text = FirstField(value);
        if (text.empty()) return;
        size_t x = text.find('x');
        if (x != std::string::npos) text = text.substr(x + 1);
        m_record.unitNumber = static_cast<uint32_t>(Ranged(text, 0, 15, 0));
        if (m_sink) m_sink->SetUnitNumber(m_record.unitNumber);
    }
}

void CFileReader::ReadOctets(const std::string& value, uint8_t octets[4], const uint8_t fallback[4]) {
    std::string rest = FirstField(value);
    for (int i = 0; i < 4; ++i) {
        size_t dot = rest.find('.');
        std::string part = rest.substr(0, dot);
        rest = dot == std::string::npos ? std::string() : rest.substr(dot + 1);
        octets[i] = static_cast<uint8_t>(Ranged(part, 0, 255, 0));
    }
    if (m_valueError) std::memcpy(octets, fallback, 4);
}

void CFileReader::ReadSystem(const std::string& key, const std::string& value) {
    int slot = FindKey(key, kMapMethod, kNodeCount);
    if (slot < 0) return;
    std::string text = FirstField(value);
    if (text.empty() && slot != kSubnetMask && slot != kIpAddress) return;
    switch (slot) {
    case kMapMethod: m_image.mappingTableMethod = static_cast<uint16_t>(Ranged(text, 0, 1, 0)); break;
    case kStartupMethod: m_image.startupMethod = static_cast<uint16_t>(Ranged(text, 0, 1, 0)); break;
    case kConfirmMessage: m_image.confirmMessage = static_cast<uint16_t>(Ranged(text, 0, 1, 0)); break;
    case kBroadcastType: m_image.broadcastType = static_cast<uint16_t>(Ranged(text, 0, 1, 0)); break;
    case kIpMethod:
        // The value is written as 0x%x; whatever its first two characters are, they are dropped.
        m_image.ipAddressMethod = static_cast<uint16_t>(Ranged(text.size() > 2 ? text.substr(2) : "", 0, 3, 3));
        break;
    case kSubnetMask: {
        static const uint8_t kDefaultMask[4] = {255, 255, 255, 0};
        ReadOctets(value, m_image.subnetMask, kDefaultMask);
        break;
    }
    case kIpAddress: {
        static const uint8_t kNoAddress[4] = {0, 0, 0, 0};
        ReadOctets(value, m_image.ipAddress, kNoAddress);
        break;
    }
    case kNodeCount: m_image.faLinkNodeCount = static_cast<uint16_t>(Ranged(text, 0, kMaxMappingEntries, 0)); break;
    default: break;
    }
}

void CFileReader::ReadUnitArea(const std::string& key, const std::string& value) {
    int slot = FindKey(key, kSend1Start, kMinFrameWait);
    if (slot < 0) return;
    std::string text = FirstField(value);
    if (text.empty()) return;
    switch (slot) {
    case kSend1Start: m_file.sendArea1Start = ReadCarried(text); break;
    case kSend1Size: m_file.sendArea1Size = ReadCarried(text); break;
    case kSend2Start: m_file.sendArea2Start = ReadCarried(text); break;
    case kSend2Size: m_file.sendArea2Size = ReadCarried(text); break;
    case kTokenWatchdog: m_image.tokenWatchdog = static_cast<uint16_t>(Ranged(text, 0, 255, 50)); break;
    case kMinFrameInterval: m_image.minFrameInterval = static_cast<uint16_t>(Ranged(text, 0, 50, 1)); break;
    case kMinFrameWait: m_image.minFrameWait = static_cast<uint16_t>(Ranged(text, 0, 15, 0)); break;
    case kNodeName: CopyText(m_image.nodeName, sizeof m_image.nodeName, text); break;
    default: break;
    }
}

void CFileReader::ReadAreaStart(const std::string& value, uint8_t& type, uint16_t& start) {
    std::string name, rest;
    SplitFirst(value, name, rest);
    if (name.empty()) return;
    if (!AreaType::CodeFromName(name, type)) {
        type = AreaType::CIO;
        m_valueError = true;
    }
    start = static_cast<uint16_t>(Ranged(FirstField(rest), 0, AreaType::HighestStart(type), 0));
}

template <typename Store>
void CFileReader::ReadList(const std::string& value, Store store) {
    std::string rest = value;
    for (int index = 0;; ++index) {
        std::string item;
        SplitFirst(rest, item, rest);
        if (item.empty()) return;
        if (index >= kMaxMappingEntries) {
            // More entries than the table holds: keep the first 128 and say so.
            m_valueError = true;
            return;
        }
        if (!store(index, ReadNumber(item))) return;
    }
}

void CFileReader::ReadMapping(const std::string& key, const std::string& value) {
    int slot = FindKey(key, kMapArea1, kMapSize2);
    if (slot < 0) return;
    MappingEntry* entries = m_image.entries;
    auto fail = [this] {
        m_mappingError = true;
        return false;
    };
    switch (slot) {
    case kMapArea1: ReadAreaStart(value, m_image.mapArea1Type, m_image.mapArea1Start); break;
    case kMapArea2: ReadAreaStart(value, m_image.mapArea2Type, m_image.mapArea2Start); break;
    case kNodeNumber:
        m_image.entryCount = 0;
        ReadList(value, [&](int i, long long v) {
            if (v < 0 || v > 254) return fail();
            entries[i].nodeNumber = static_cast<uint16_t>(v);
            m_image.entryCount = static_cast<uint32_t>(i + 1);
            return true;
        });
        break;
    case kMapOffset1:
        ReadList(value, [&](int i, long long v) {
            // The size line may have come first: the sum is checked whichever is read last.
            if (v < 0 || v > kCommonArea1Words - 1 || v + entries[i].area1Size > kCommonArea1Words) return fail();
            entries[i].area1Offset = static_cast<uint16_t>(v);
            return true;
        });
        break;
    case kMapSize1:
        ReadList(value, [&](int i, long long v) {
            // A negative size would pass the sum test and be stored as a huge one.
            long long end = entries[i].area1Offset + v;
            if (v < 0 || end > kCommonArea1Words) return fail();
            entries[i].area1Size = static_cast<uint16_t>(v);
            return true;
        });
        break;
    case kMapOffset2:
        ReadList(value, [&](int i, long long v) {
            if (v < 0 || v > kCommonArea2Words - 1 || v + entries[i].area2Size > kCommonArea2Words) return fail();
            entries[i].area2Offset = static_cast<uint16_t>(v);
            return true;
        });
        break;
    case kMapSize2:
        ReadList(value, [&](int i, long long v) {
            long long end = entries[i].area2Offset + v;
            if (v < 0 || end > kCommonArea2Words) return fail();
            entries[i].area2Size = static_cast<uint16_t>(v);
            return true;
        });
        break;
    default: break;
    }
}

void CFileReader::ReadLocal(const std::string& key, const std::string& value) {
    int slot = FindKey(key, kLocalArea1, kLocalCom2);
    if (slot < 0) return;
    if (slot == kLocalArea1) return ReadAreaStart(value, m_image.localArea1Type, m_image.localArea1Start);
    if (slot == kLocalArea2) return ReadAreaStart(value, m_image.localArea2Type, m_image.localArea2Start);
    std::string text = FirstField(value);
    if (text.empty()) return;
    auto size = [&](uint8_t type, uint16_t start) -> uint16_t {
        long long v = ReadNumber(text);
        long long end = start + v;
        if (v >= 0 && end <= AreaType::AreaEnd(type)) return static_cast<uint16_t>(v);
        m_valueError = true;
        return 0;
    };
    switch (slot) {
    case kLocalSize1: m_image.localArea1Size = size(m_image.localArea1Type, m_image.localArea1Start); break;
    case kLocalSize2: m_image.localArea2Size = size(m_image.localArea2Type, m_image.localArea2Start); break;
    case kLocalCom1: m_image.localArea1ComStart = static_cast<uint16_t>(Ranged(text, 0, kCommonArea1Words - 1, 0)); break;
    case kLocalCom2: m_image.localArea2ComStart = static_cast<uint16_t>(Ranged(text, 0, kCommonArea2Words - 1, 0)); break;
    default: break;
    }
}

void CFileReader::ReadExtension(const std::string& key, const std::string& value) {
    int slot = FindKey(key, kSendDataOrder, kExtensionCheck);
    if (slot < 0) return;
    if (slot == kReceiveDataOrder) {
        ReadList(value, [&](int i, long long v) {
            if (v == 16 || v == 0)
                m_image.entries[i].receiveDataOrder = v == 16 ? 1 : 0;
            else
                m_valueError = true;
            return true;
        });
        return;
    }
    std::string text = FirstField(value);
    if (text.empty()) return;
    switch (slot) {
    case kSendDataOrder: m_image.sendDataOrder = static_cast<uint16_t>(Ranged(text, 0, 1, 0)); break;
    case kEtherBaudRate: m_image.etherBaudRate = static_cast<uint16_t>(Ranged(text, 0, 1, 0)); break;
    case kExtensionCheck: {
        bool on = text.size() == 4 && (text[0] | 0x20) == 't' && (text[1] | 0x20) == 'r' &&
                  (text[2] | 0x20) == 'u' && (text[3] | 0x20) == 'e';
        m_record.extensionCheck = on ? 1 : 0;
        break;
    }
    default: break;
    }
}

void CFileReader::Finish() {
    // A local area's size was checked against the area named when it was read; the area line
    // may have come later and named a smaller one.
    auto fit = [this](uint8_t type, uint16_t start, uint16_t& size) {
        if (start + size <= AreaType::AreaEnd(type)) return;
        size = 0;
        m_valueError = true;
    };
    fit(m_image.localArea1Type, m_image.localArea1Start, m_image.localArea1Size);
    fit(m_image.localArea2Type, m_image.localArea2Start, m_image.localArea2Size);
    if (!m_mappingError) return;
    // A bad mapping value makes the whole table suspect: it is thrown away.
    m_image.mapArea1Start = m_image.mapArea2Start = 0;
    std::memset(m_image.entries, 0, sizeof m_image.entries);
    m_image.entryCount = 0;
    m_image.mapArea1Type = AreaType::CIO;
    m_image.mapArea2Type = AreaType::DM;
}

bool StartsWithTypeIgnoringCase(const std::string& field) {
    static const char kType[] = "type";
    if (field.size() != 4) return false;
    for (size_t i = 0; i < 4; ++i)
        if ((field[i] | 0x20) != kType[i]) return false;
    return true;
}

}  // namespace

CSettingsFile::CSettingsFile(CUnitSettings& record, IPrompter& prompter, IConnectionSink* sink,
                             ISettingsFileDialogs* dialogs)
    : m_record(record), m_prompter(prompter), m_sink(sink), m_dialogs(dialogs) {}

bool CSettingsFile::Apply(const std::string& bytes, bool oldVersion) {
    // CR LF ends a line; a CR left before it (a comment's line break) stays in the line.
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t lf = bytes.find('\n', start);
        size_t end = lf == std::string::npos ? bytes.size() : lf;
        size_t cut = end;
        if (lf != std::string::npos && cut > start && bytes[cut - 1] == '\r') --cut;
        lines.push_back(bytes.substr(start, cut - start));
        start = end + 1;
    }
    if (lines.empty()) return true;

    Dialect dialect = kEnglish;
    if (!StartsWithTypeIgnoringCase(FirstField(lines.front())))
        dialect = kJapanese;
    else if (oldVersion)
        dialect = kOldVersion;

    m_record.ResetToDefaults();
    CFileReader reader(m_record, *this, m_sink, dialect);
    for (const std::string& line : lines) reader.ApplyLine(line);
    reader.Finish();
    if (!reader.HadErrors()) return true;
    m_prompter.Message(Msg::kFileReadWarning, {}, PromptIcon::Warning);
    return false;
}

namespace {

// Builds the file text line by line; every line ends in CR LF as it is appended.
class CLineWriter {
public:
    explicit CLineWriter(size_t reserve) { m_out.reserve(reserve); }
    CLineWriter& Text(const std::string& text) {
        m_out += text;
        return *this;
    }
    CLineWriter& Text(const char* text) {
        m_out += text;
        return *this;
    }
    CLineWriter& Number(long long value) {
        char buffer[24];
        auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
        m_out.append(buffer, result.ptr);
        return *this;
    }
    CLineWriter& HexNumber(int32_t value) {
        char buffer[16];
        auto result = std::to_chars(buffer, buffer + sizeof buffer, static_cast<uint32_t>(value), 16);
        m_out += "0x";
        m_out.append(buffer, result.ptr);
        return *this;
    }
    CLineWriter& Octets(const uint8_t o[4]) {
        return Number(o[0]).Text(".").Number(o[1]).Text(".").Number(o[2]).Text(".").Number(o[3]);
    }
    // A key line: an empty first field, then the key.
    CLineWriter& Key(int slot) { return Text(",").Text(kNames[slot][kEnglish]).Text(","); }
    CLineWriter& Section(int slot, const char* commas) { return Text(kNames[slot][kEnglish]).Text(commas); }
    void End() { m_out += "\r\n"; }
    // Every LF of the text becomes CR LF, so a comment's CR LF is stored as CR CR LF.
    void EndWithTextLines(const std::string& text) {
        for (char c : text) {
            if (c == '\n') m_out += '\r';
            m_out += c;
        }
        End();
    }
    std::string Take() { return std::move(m_out); }

private:
    std::string m_out;
};

}  // namespace

std::string CSettingsFile::Serialize() const {
    const SettingsImage& pc = m_record.pc;
    const uint32_t count = pc.entryCount < kMaxMappingEntries ? pc.entryCount : kMaxMappingEntries;
    CLineWriter w(2048 + count * 48 + m_record.comment.size());
    auto list = [&](int slot, auto valueOf) {
        w.Key(slot);
        if (count == 0) w.Text(",");
        for (uint32_t i = 0; i < count; ++i) w.Number(valueOf(pc.entries[i])).Text(",");
        w.End();
    };
    auto quoted = [&](const std::string& text) {
        if (!text.empty()) w.Text("\"").Text(text).Text("\"");
    };
    auto area = [&](int slot, uint8_t type, uint16_t start) {
        w.Key(slot).Text(AreaNameForFile(type)).Text(",").Number(start);
        w.End();
    };
    auto number = [&](int slot, long long value, const char* tail) {
        w.Key(slot).Number(value).Text(tail);
        w.End();
    };

    w.Section(kTypeSection, ",").Text(TextOf(pc.modelName, sizeof pc.modelName)).Text(",");
    w.End();
    w.Section(kVersionSection, ",").Text(TextOf(pc.protocolVersion, sizeof pc.protocolVersion)).Text(",");
    w.End();
    w.Section(kCommSection, ",,");
    w.End();
    w.Key(kRelayPlc);
    quoted(m_record.relayPlc);
    w.End();
    w.Key(kTargetPlc).Number(static_cast<int32_t>(m_record.targetPlcNumber)).Text(",");
    quoted(m_record.targetPlc);
    w.End();
    number(kUnitNumber, static_cast<int32_t>(m_record.unitNumber), "");

    w.Section(kSystemSection, ",,");
    w.End();
    number(kMapMethod, pc.mappingTableMethod, "");
    number(kStartupMethod, pc.startupMethod, "");
    number(kConfirmMessage, pc.confirmMessage, "");
    number(kBroadcastType, pc.broadcastType, "");
    w.Key(kIpMethod).HexNumber(pc.ipAddressMethod);
    w.End();
    w.Key(kSubnetMask).Octets(pc.subnetMask);
    w.End();
    w.Key(kIpAddress).Octets(pc.ipAddress);
    w.End();
    number(kNodeCount, pc.faLinkNodeCount, "");

    w.Section(kUnitAreaSection, ",,");
    w.End();
    for (auto [slot, value] : {std::pair{kSend1Start, sendArea1Start}, std::pair{kSend1Size, sendArea1Size},
                               std::pair{kSend2Start, sendArea2Start}, std::pair{kSend2Size, sendArea2Size}}) {
        w.Key(slot).HexNumber(value).Text(",");
        w.End();
    }
    number(kTokenWatchdog, pc.tokenWatchdog, ",");
    number(kMinFrameInterval, pc.minFrameInterval, ",");
    w.Key(kNodeName).Text(TextOf(pc.nodeName, sizeof pc.nodeName)).Text(",");
    w.End();
    number(kMinFrameWait, pc.minFrameWait, ",");

    w.Section(kMappingSection, ",,,");
    w.End();
    area(kMapArea1, pc.mapArea1Type, pc.mapArea1Start);
    area(kMapArea2, pc.mapArea2Type, pc.mapArea2Start);
    list(kNodeNumber, [](const MappingEntry& e) { return e.nodeNumber; });
    list(kMapOffset1, [](const MappingEntry& e) { return e.area1Offset; });
    list(kMapSize1, [](const MappingEntry& e) { return e.area1Size; });
    list(kMapOffset2, [](const MappingEntry& e) { return e.area2Offset; });
    list(kMapSize2, [](const MappingEntry& e) { return e.area2Size; });

    w.Section(kLocalSection, ",,,");
    w.End();
    area(kLocalArea1, pc.localArea1Type, pc.localArea1Start);
    number(kLocalSize1, pc.localArea1Size, ",");
    number(kLocalCom1, pc.localArea1ComStart, ",");
    area(kLocalArea2, pc.localArea2Type, pc.localArea2Start);
    number(kLocalSize2, pc.localArea2Size, ",");
    number(kLocalCom2, pc.localArea2ComStart, ",");

    w.Section(kExtensionSection, ",,,");
    w.End();
    number(kSendDataOrder, pc.sendDataOrder, ",");
    number(kEtherBaudRate, pc.etherBaudRate, ",");
    list(kReceiveDataOrder, [](const MappingEntry& e) { return e.receiveDataOrder ? 16 : 0; });
    w.Key(kExtensionCheck).Text(m_record.extensionCheck ? "TRUE," : "FALSE,");
    w.End();
    if (!m_record.comment.empty()) w.Text(kCommentSection).Text(",").EndWithTextLines(m_record.comment);
    return w.Take();
}

void CSettingsFile::TakeOverPath(const std::string& path) {
    SplitPath(path, currentDirectory, currentFileName);
}

bool CSettingsFile::ReadFile(const std::string& path, bool oldVersion) {
    std::string bytes;
    if (!ReadWholeFile(path, bytes)) {
        m_prompter.Message(Msg::kFileNotFound, {}, PromptIcon::Warning);
        return false;
    }
    Apply(bytes, oldVersion);
    TakeOverPath(path);
    return true;
}

bool CSettingsFile::Load(const std::string& path, bool oldVersion) {
    std::string chosen = path;
    if (chosen.empty() && !(m_dialogs && m_dialogs->ChooseFileToOpen(oldVersion, currentDirectory, chosen)))
        return false;
    return ReadFile(chosen, oldVersion);
}

bool CSettingsFile::WriteFile(const std::string& path) {
    commentText = m_record.comment;
    if (!WriteFileAtomically(path, Serialize(), fileOps ? *fileOps : CFileSystemOps::System())) {
        m_prompter.Message(Msg::kFileSaveError, {}, PromptIcon::Warning);
        return false;
    }
    TakeOverPath(path);
    saveState = 2;
    return true;
}

bool CSettingsFile::Save(const std::string& path) {
    if (m_dialogs) {
        std::string comment = m_record.comment;
        if (!m_dialogs->EditComment(comment)) return false;
        m_record.comment = comment;
        commentText = comment;
    }
    std::string chosen = path;
    if (chosen.empty() && !(m_dialogs && m_dialogs->ChooseFileToSave(currentDirectory, chosen))) return false;
    return WriteFile(chosen);
}
