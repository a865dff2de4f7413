#include "sim/UnitSimulator.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "comm/SettingsBlock.h"
#include "model/AreaType.h"
#include "model/FileIo.h"

namespace {
uint16_t Be16(const std::vector<uint8_t>& d, size_t at) {
    return static_cast<uint16_t>((d[at] << 8) | d[at + 1]);
}
void Put16(std::vector<uint8_t>& d, uint16_t v) {
    d.push_back(static_cast<uint8_t>(v >> 8));
    d.push_back(static_cast<uint8_t>(v));
}
void Put32(std::vector<uint8_t>& d, uint32_t v) {
    Put16(d, static_cast<uint16_t>(v >> 16));
    Put16(d, static_cast<uint16_t>(v));
}
void PutText(std::vector<uint8_t>& d, const std::string& text, size_t width) {
    for (size_t i = 0; i < width; ++i) d.push_back(i < text.size() ? static_cast<uint8_t>(text[i]) : ' ');
}
ZephReply Fail(uint16_t code) { return ZephReply{code, {}}; }
ZephReply LengthError(size_t have, size_t want) {
    return Fail(have < want ? CUnitSimulator::kEndTooShort : CUnitSimulator::kEndTooLong);
}

constexpr int kLinkBase = 1500;
constexpr int kLinkStride = 25;
constexpr int kLinkFirstWord = 9;
constexpr int kErrorWord = 6;
constexpr int kNetworkBase = 30000;
constexpr int kNetworkStride = 100;
constexpr int kNetworkWords = 64;
}  // namespace

CUnitSimulator::CUnitSimulator() : m_block(kBlockSize, 0) {
    // A fresh unit holds the program's own defaults, as one set up from a new document would,
    // not zeros: a zero IP address set method is refused for this model, and zero area codes
    // name no memory area, so a read of a fresh unit could neither be written back nor verified.
    const CUnitSettings defaults;
    const std::vector<uint8_t> head = CSettingsBlock::Encode(defaults.pc, 0);
    std::copy(head.begin(), head.end(), m_block.begin());
    const char name[] = "SIMNODE";
    for (size_t i = 0; i < m_nodeName.size(); ++i) m_nodeName[i] = i < sizeof(name) - 1 ? name[i] : ' ';
    m_cycle = CycleTime{1, 10, 50, 5, 9, 3};
}

ZephReply CUnitSimulator::Execute(const ZephRequest& request) {
    const auto& d = request.data;
    if (request.selector != kSelectorCpu && request.selector != m_unitNumber) return Fail(kEndNoSuchUnit);
    bool write = request.command == 0x2914 || request.command == 0x0221 || request.command == 0x2912 ||
                 request.command == 0x2103;
    if (write && m_protected) return Fail(kEndProtected);
    switch (request.command) {
    case 0x0104: return MemoryAreaRead(d);
    case 0x0501: return ControllerData(d);
    case 0x0601: return UnitData(d);
    case 0x0602: return CycleTimeRead(d);
    case 0x0603: return NodeInformation(d);
    case 0x0220: return SystemAreaRead(d);
    case 0x0221: return SystemAreaWrite(d);
    case 0x2102: return HistoryRead(d);
    case 0x2103: return HistoryClear(d);
    case 0x2911: return ExtensionRead(d);
    case 0x2912: return ExtensionWrite(d);
    case 0x2913: return UnitSettingRead(d);
    case 0x2914: return UnitSettingWrite(d);
    case 0x2931: return MessageSequence(d);
    default: return Fail(kEndNotSupported);
    }
}

// ---- memory ----

uint16_t CUnitSimulator::ReadWord(uint8_t area, int address) const {
    auto it = m_memory.find(area);
    if (it == m_memory.end() || address < 0 || address >= static_cast<int>(it->second.size())) return 0;
    return it->second[static_cast<size_t>(address)];
}

bool CUnitSimulator::WriteWord(uint8_t area, int address, uint16_t value) {
    if (!AreaType::IsKnownCode(area) || address < 0 || address >= AreaType::AreaEnd(area)) return false;
    auto& bank = m_memory[area];
    if (bank.empty()) bank.assign(static_cast<size_t>(AreaType::AreaEnd(area)), 0);
    bank[static_cast<size_t>(address)] = value;
    return true;
}

ZephReply CUnitSimulator::MemoryAreaRead(const std::vector<uint8_t>& d) const {
    if (d.empty() || d.size() % 4 != 0) return Fail(d.size() < 4 ? kEndTooShort : kEndTooLong);
    ZephReply reply;
    for (size_t at = 0; at < d.size(); at += 4) {
        uint8_t area = d[at];
        int address = Be16(d, at + 1);
        if (!AreaType::IsKnownCode(area)) return Fail(kEndBadArea);
        if (address >= AreaType::AreaEnd(area) || d[at + 3] > 15) return Fail(kEndBadAddress);
        reply.data.push_back(area);
        Put16(reply.data, ReadWord(area, address));
    }
    return reply;
}

// ---- status words kept in PLC memory at the unit's addresses ----

bool CUnitSimulator::IsStatusWord(uint8_t area, int address) const {
    int link = kLinkBase + kLinkStride * m_unitNumber;
    int net = kNetworkBase + kNetworkStride * m_unitNumber;
    if (area == AreaType::CIO)
        return address == link + kErrorWord || (address >= link + kLinkFirstWord && address < link + kLinkFirstWord + 16);
    return area == AreaType::DM && address >= net && address < net + kNetworkWords;
}

void CUnitSimulator::WriteStatusWords() {
    int link = kLinkBase + kLinkStride * m_unitNumber;
    for (int k = 0; k < 16; ++k) {
        uint16_t w = 0;
        for (int j = 0; j < 16; ++j)
            if (m_participation[static_cast<size_t>(16 * k + j)]) w = static_cast<uint16_t>(w | (1u << j));
        WriteWord(AreaType::CIO, link + kLinkFirstWord + k, w);
    }
    WriteWord(AreaType::CIO, link + kErrorWord, m_errorStatus);
    int net = kNetworkBase + kNetworkStride * m_unitNumber;
    for (int i = 0; i < kNetworkWords; ++i) {
        uint16_t w = 0;
        for (int q = 0; q < 4; ++q) {
            int node = 4 * i + q;
            if (node == 0) continue;
            w = static_cast<uint16_t>(w | ((m_nodeStatus[static_cast<size_t>(node)] & 0xF) << (4 * q)));
        }
        WriteWord(AreaType::DM, net + i, w);
    }
}

void CUnitSimulator::ClearStatusWords() {
    int link = kLinkBase + kLinkStride * m_unitNumber;
    for (int k = 0; k < 16; ++k) WriteWord(AreaType::CIO, link + kLinkFirstWord + k, 0);
    WriteWord(AreaType::CIO, link + kErrorWord, 0);
    int net = kNetworkBase + kNetworkStride * m_unitNumber;
    for (int i = 0; i < kNetworkWords; ++i) WriteWord(AreaType::DM, net + i, 0);
}

bool CUnitSimulator::SetUnitNumber(int unit) {
    if (unit < 0 || unit > 15) return false;
    ClearStatusWords();
    m_unitNumber = unit;
    WriteStatusWords();
    return true;
}

void CUnitSimulator::SetParticipation(int node, bool on) {
    if (node < 0 || node > 255) return;
    m_participation[static_cast<size_t>(node)] = on;
    WriteStatusWords();
}

bool CUnitSimulator::Participation(int node) const {
    return node >= 0 && node <= 255 && m_participation[static_cast<size_t>(node)];
}

void CUnitSimulator::SetNodeStatus(int node, uint8_t nibble) {
    if (node < 1 || node > 255) return;
    m_nodeStatus[static_cast<size_t>(node)] = static_cast<uint8_t>(nibble & 0xF);
    WriteStatusWords();
}

uint8_t CUnitSimulator::NodeStatus(int node) const {
    return node >= 1 && node <= 255 ? m_nodeStatus[static_cast<size_t>(node)] : 0;
}

void CUnitSimulator::SetErrorStatusWord(uint16_t word) {
    m_errorStatus = word;
    WriteStatusWords();
}

void CUnitSimulator::SetNodeInfo(int node, const NodeInfo& info) {
    if (node >= 0 && node <= 255) m_nodeInfo[static_cast<size_t>(node)] = info;
}

void CUnitSimulator::SetSequenceHeader(uint32_t version, uint32_t send1toN) {
    m_sequenceVersion = version;
    m_sequenceSend1toN = send1toN;
}

void CUnitSimulator::SetSendSequence(int index, uint32_t value) {
    if (index >= 0 && index < kSequenceNodes) m_sendSequence[static_cast<size_t>(index)] = value;
}

void CUnitSimulator::SetReceiveSequence(int index, const ReceiveSequence& value) {
    if (index >= 0 && index < kSequenceNodes) m_receiveSequence[static_cast<size_t>(index)] = value;
}

bool CUnitSimulator::AddHistory(const HistoryEntry& entry) {
    if (m_history.size() >= static_cast<size_t>(kHistoryCapacity)) return false;
    m_history.push_back(entry);
    return true;
}

// ---- controller, unit and diagnostic data ----

ZephReply CUnitSimulator::ControllerData(const std::vector<uint8_t>& d) const {
    if (!d.empty()) return Fail(kEndTooLong);
    ZephReply reply;
    PutText(reply.data, m_model, 20);
    PutText(reply.data, m_version, 20);
    reply.data.insert(reply.data.end(), m_unitIp.begin(), m_unitIp.end());
    return reply;
}

ZephReply CUnitSimulator::UnitData(const std::vector<uint8_t>& d) const {
    if (!d.empty()) return Fail(kEndTooLong);
    ZephReply reply;
    PutText(reply.data, "", 11);
    PutText(reply.data, m_vendor, 10);
    PutText(reply.data, m_modelName, 10);
    reply.data.resize(45, 0);
    reply.data.push_back(m_protocol);
    return reply;
}

ZephReply CUnitSimulator::UnitSettingRead(const std::vector<uint8_t>& d) const {
    if (!d.empty()) return Fail(kEndTooLong);
    ZephReply reply;
    reply.data.assign(m_nodeName.begin(), m_nodeName.end());
    Put16(reply.data, m_tokenWatchdog);
    Put16(reply.data, m_minFrameInterval);
    reply.data.push_back(static_cast<uint8_t>((m_unitAreaWord >> 4) & 0xF));
    return reply;
}

ZephReply CUnitSimulator::UnitSettingWrite(const std::vector<uint8_t>& d) {
    if (d.size() != 16) return LengthError(d.size(), 16);
    m_unitAreaWord = Be16(d, 0);
    for (size_t i = 0; i < m_nodeName.size(); ++i) m_nodeName[i] = d[2 + i];
    m_tokenWatchdog = Be16(d, 12);
    m_minFrameInterval = Be16(d, 14);
    return ZephReply{};
}

ZephReply CUnitSimulator::CycleTimeRead(const std::vector<uint8_t>& d) const {
    if (!d.empty()) return Fail(kEndTooLong);
    ZephReply reply;
    reply.data.push_back(m_cycle.tokenNode);
    reply.data.push_back(m_cycle.frameInterval);
    Put16(reply.data, m_cycle.refreshAllowed);
    Put16(reply.data, m_cycle.refreshCurrent);
    Put16(reply.data, m_cycle.refreshMaximum);
    Put16(reply.data, m_cycle.refreshMinimum);
    return reply;
}

ZephReply CUnitSimulator::NodeInformation(const std::vector<uint8_t>& d) const {
    if (d.size() != 1) return LengthError(d.size(), 1);
    const NodeInfo& n = m_nodeInfo[d[0]];
    ZephReply reply;
    reply.endCode = n.completion ? 1 : 0;
    reply.data.push_back(d[0]);
    reply.data.push_back(n.state1);
    reply.data.push_back(n.state2);
    reply.data.push_back(n.errorCode);
    reply.data.push_back(n.tokenWatchdog);
    reply.data.push_back(n.frameInterval);
    Put16(reply.data, n.refreshAllowed);
    reply.data.push_back(0);
    reply.data.push_back(n.localState);
    Put16(reply.data, n.area1Start);
    Put16(reply.data, n.area1Size);
    Put16(reply.data, n.area2Start);
    Put16(reply.data, n.area2Size);
    return reply;
}

ZephReply CUnitSimulator::MessageSequence(const std::vector<uint8_t>& d) const {
    if (d.size() != 1) return LengthError(d.size(), 1);
    uint8_t p = d[0];
    ZephReply reply;
    if (p >= 1 && p <= 4) {
        Put32(reply.data, m_sequenceVersion);
        Put32(reply.data, m_sequenceSend1toN);
        int first = 64 * (p - 1);
        for (int i = first; i < first + 64 && i < kSequenceNodes; ++i)
            Put32(reply.data, m_sendSequence[static_cast<size_t>(i)]);
    } else if (p >= 0x11 && p <= 0x14) {
        int first = 64 * (p - 0x11);
        for (int i = first; i < first + 64 && i < kSequenceNodes; ++i) {
            const ReceiveSequence& r = m_receiveSequence[static_cast<size_t>(i)];
            Put32(reply.data, r.version);
            Put32(reply.data, r.oneToN);
            Put32(reply.data, r.oneToOne);
        }
    } else {
        return Fail(kEndBadParameter);
    }
    return reply;
}

ZephReply CUnitSimulator::HistoryRead(const std::vector<uint8_t>& d) const {
    if (d.size() != 4) return LengthError(d.size(), 4);
    size_t start = Be16(d, 0);
    size_t count = Be16(d, 2);
    if (start > static_cast<size_t>(kHistoryCapacity) || count > static_cast<size_t>(kHistoryCapacity))
        return Fail(kEndBadParameter);
    size_t n = start >= m_history.size() ? 0 : std::min(count, m_history.size() - start);
    ZephReply reply;
    Put16(reply.data, static_cast<uint16_t>(kHistoryCapacity));
    Put16(reply.data, static_cast<uint16_t>(m_history.size()));
    Put16(reply.data, static_cast<uint16_t>(n));
    for (size_t i = start; i < start + n; ++i) {
        Put16(reply.data, m_history[i].errorCode);
        Put16(reply.data, m_history[i].detail);
        reply.data.insert(reply.data.end(), m_history[i].time.begin(), m_history[i].time.end());
    }
    return reply;
}

ZephReply CUnitSimulator::HistoryClear(const std::vector<uint8_t>& d) {
    if (!d.empty()) return Fail(kEndTooLong);
    m_history.clear();
    return ZephReply{};
}

// ---- the settings block: system setting area (words) and extension area (bytes) ----

ZephReply CUnitSimulator::SystemAreaRead(const std::vector<uint8_t>& d) const {
    if (d.size() != 8) return LengthError(d.size(), 8);
    uint16_t unit = Be16(d, 0);
    if (unit < 0x10 || unit > 0x1F || d[2] != 'F' || d[3] != 'L') return Fail(kEndBadArea);
    size_t offset = 2u * Be16(d, 4);
    size_t count = 2u * Be16(d, 6);
    if (offset > m_block.size() || count > m_block.size() - offset) return Fail(kEndBadAddress);
    return ZephReply{0, std::vector<uint8_t>(m_block.begin() + static_cast<long>(offset),
                                             m_block.begin() + static_cast<long>(offset + count))};
}

ZephReply CUnitSimulator::SystemAreaWrite(const std::vector<uint8_t>& d) {
    if (d.size() < 10) return Fail(kEndTooShort);
    uint16_t unit = Be16(d, 2);
    if (unit < 0x10 || unit > 0x1F || d[4] != 'F' || d[5] != 'L') return Fail(kEndBadArea);
    size_t offset = 2u * Be16(d, 6);
    size_t count = 2u * Be16(d, 8);
    if (d.size() != 10 + count) return LengthError(d.size(), 10 + count);
    if (offset > m_block.size() || count > m_block.size() - offset) return Fail(kEndBadAddress);
    std::copy(d.begin() + 10, d.end(), m_block.begin() + static_cast<long>(offset));
    return ZephReply{};
}

ZephReply CUnitSimulator::ExtensionRead(const std::vector<uint8_t>& d) const {
    if (d.size() != 4) return LengthError(d.size(), 4);
    size_t offset = Be16(d, 0);
    size_t count = Be16(d, 2);
    if (offset > m_block.size() || count > m_block.size() - offset) return Fail(kEndBadAddress);
    return ZephReply{0, std::vector<uint8_t>(m_block.begin() + static_cast<long>(offset),
                                             m_block.begin() + static_cast<long>(offset + count))};
}

ZephReply CUnitSimulator::ExtensionWrite(const std::vector<uint8_t>& d) {
    if (d.size() < 4) return Fail(kEndTooShort);
    // Bit 15 of the offset marks the last chunk of a block.
    size_t offset = Be16(d, 0) & 0x7FFFu;
    size_t count = Be16(d, 2);
    if (d.size() != 4 + count) return LengthError(d.size(), 4 + count);
    if (offset > m_block.size() || count > m_block.size() - offset) return Fail(kEndBadAddress);
    std::copy(d.begin() + 4, d.end(), m_block.begin() + static_cast<long>(offset));
    return ZephReply{};
}

// ---- state file ----

namespace {
bool ParseNumber(const std::string& token, unsigned long max, unsigned long* value) {
    if (token.empty()) return false;
    char* end = nullptr;
    errno = 0;
    unsigned long v = std::strtoul(token.c_str(), &end, 0);
    if (errno != 0 || *end != '\0' || token[0] == '-' || v > max) return false;
    *value = v;
    return true;
}

std::string Hex(unsigned long v, int digits) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%0*lX", digits, v);
    return buffer;
}

std::string HexBytes(const uint8_t* p, size_t n) {
    std::string out;
    char buffer[4];
    for (size_t i = 0; i < n; ++i) {
        std::snprintf(buffer, sizeof buffer, "%02X", p[i]);
        out += buffer;
    }
    return out;
}

bool ParseHexBytes(const std::string& text, std::vector<uint8_t>* out) {
    if (text.size() % 2 != 0) return false;
    out->clear();
    for (size_t i = 0; i < text.size(); i += 2) {
        unsigned long v = 0;
        if (!std::isxdigit(static_cast<unsigned char>(text[i])) ||
            !std::isxdigit(static_cast<unsigned char>(text[i + 1])) ||
            !ParseNumber("0x" + text.substr(i, 2), 0xFF, &v))
            return false;
        out->push_back(static_cast<uint8_t>(v));
    }
    return true;
}
}  // namespace

bool CUnitSimulator::LoadState(const std::string& path, std::string* error) {
    std::string text;
    if (!ReadWholeFile(path, text)) {
        if (error) *error = "cannot open " + path;
        return false;
    }
    return LoadStateText(text, error);
}

bool CUnitSimulator::SaveState(const std::string& path, std::string* error) const {
    if (WriteFileAtomically(path, StateText())) return true;
    if (error) *error = "cannot write " + path;
    return false;
}

bool CUnitSimulator::LoadStateText(const std::string& text, std::string* error) {
    CUnitSimulator next;
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    while (std::getline(lines, line)) {
        ++number;
        std::string why;
        if (!next.ParseStateLine(line, &why)) {
            if (error) *error = "line " + std::to_string(number) + ": " + why;
            return false;
        }
    }
    // Status values win over plain memory lines at the same addresses.
    next.WriteStatusWords();
    *this = std::move(next);
    return true;
}

bool CUnitSimulator::ApplyStateLine(const std::string& text, std::string* error) {
    size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos || text[first] == '#') {
        if (error) *error = "a key and its value(s) expected";
        return false;
    }
    CUnitSimulator next = *this;
    if (!next.ParseStateLine(text, error)) return false;
    next.WriteStatusWords();
    *this = std::move(next);
    return true;
}

bool CUnitSimulator::ParseStateLine(std::string line, std::string* why) {
    auto bad = [&](const std::string& reason) {
        if (why) *why = reason;
        return false;
    };
    // Every CR at the end goes: one kept would come back one fewer after a save and reload.
    while (!line.empty() && line.back() == '\r') line.pop_back();
    size_t first = line.find_first_not_of(" \t");
    if (first == std::string::npos || line[first] == '#') return true;
    line = line.substr(first);
    size_t space = line.find(' ');
    std::string key = line.substr(0, space);
    std::string rest = space == std::string::npos ? std::string() : line.substr(space + 1);
    std::istringstream fields(rest);
    std::vector<std::string> tok;
    for (std::string t; fields >> t;) tok.push_back(t);
    std::vector<unsigned long> v;
    auto numbers = [&](size_t count, unsigned long max) {
        v.assign(count, 0);
        if (tok.size() != count) return false;
        for (size_t i = 0; i < count; ++i)
            if (!ParseNumber(tok[i], max, &v[i])) return false;
        return true;
    };
    if (key == "model") {
        m_model = rest;
    } else if (key == "version") {
        m_version = rest;
    } else if (key == "vendor") {
        m_vendor = rest;
    } else if (key == "modelname") {
        m_modelName = rest;
    } else if (key == "nodename") {
        // The name is padded with spaces and saved without them; a carriage return left at its
        // end would go with the line end at the next load, so neither belongs to the name.
        while (!rest.empty() && (rest.back() == ' ' || rest.back() == '\r')) rest.pop_back();
        if (rest.size() > 10) return bad("node name longer than 10 characters");
        for (size_t i = 0; i < 10; ++i) m_nodeName[i] = i < rest.size() ? static_cast<uint8_t>(rest[i]) : ' ';
    } else if (key == "unit") {
        if (!numbers(1, 15)) return bad("unit number 0-15 expected");
        SetUnitNumber(static_cast<int>(v[0]));
    } else if (key == "protected") {
        if (!numbers(1, 1)) return bad("0 or 1 expected");
        m_protected = v[0] == 1;
    } else if (key == "protocol") {
        if (!numbers(1, 255)) return bad("protocol version 0-255 expected");
        m_protocol = static_cast<uint8_t>(v[0]);
    } else if (key == "ipaddress") {
        unsigned a[4];
        char tail = 0;
        if (std::sscanf(rest.c_str(), "%u.%u.%u.%u%c", &a[0], &a[1], &a[2], &a[3], &tail) != 4 || a[0] > 255 ||
            a[1] > 255 || a[2] > 255 || a[3] > 255)
            return bad("IPv4 address expected");
        for (int i = 0; i < 4; ++i) m_unitIp[static_cast<size_t>(i)] = static_cast<uint8_t>(a[i]);
    } else if (key == "tokenwatchdog") {
        if (!numbers(1, 0xFFFF)) return bad("number 0-65535 expected");
        m_tokenWatchdog = static_cast<uint16_t>(v[0]);
    } else if (key == "minframeinterval") {
        if (!numbers(1, 0xFFFF)) return bad("number 0-65535 expected");
        m_minFrameInterval = static_cast<uint16_t>(v[0]);
    } else if (key == "unitareaword") {
        if (!numbers(1, 0xFFFF)) return bad("number 0-65535 expected");
        m_unitAreaWord = static_cast<uint16_t>(v[0]);
    } else if (key == "participate") {
        v.clear();
        for (const auto& t : tok) {
            unsigned long node = 0;
            if (!ParseNumber(t, 255, &node)) return bad("node numbers 0-255 expected");
            m_participation[node] = true;
        }
    } else if (key == "nodestatus") {
        if (!numbers(2, 255) || v[0] < 1 || v[1] > 15) return bad("node 1-255 and status 0-15 expected");
        m_nodeStatus[v[0]] = static_cast<uint8_t>(v[1]);
    } else if (key == "errorstatus") {
        if (!numbers(1, 0xFFFF)) return bad("number 0-65535 expected");
        m_errorStatus = static_cast<uint16_t>(v[0]);
    } else if (key == "nodeinfo") {
        if (!numbers(13, 0xFFFF) || v[0] > 255 || v[1] > 1) return bad("node and twelve values expected");
        for (size_t i : {2, 3, 4, 5, 6, 8})
            if (v[i] > 255) return bad("byte value above 255");
        NodeInfo n;
        n.completion = static_cast<uint8_t>(v[1]);
        n.state1 = static_cast<uint8_t>(v[2]);
        n.state2 = static_cast<uint8_t>(v[3]);
        n.errorCode = static_cast<uint8_t>(v[4]);
        n.tokenWatchdog = static_cast<uint8_t>(v[5]);
        n.frameInterval = static_cast<uint8_t>(v[6]);
        n.refreshAllowed = static_cast<uint16_t>(v[7]);
        n.localState = static_cast<uint8_t>(v[8]);
        n.area1Start = static_cast<uint16_t>(v[9]);
        n.area1Size = static_cast<uint16_t>(v[10]);
        n.area2Start = static_cast<uint16_t>(v[11]);
        n.area2Size = static_cast<uint16_t>(v[12]);
        m_nodeInfo[v[0]] = n;
    } else if (key == "cycle") {
        if (!numbers(6, 0xFFFF) || v[0] > 255 || v[1] > 255) return bad("six values expected");
        m_cycle = CycleTime{static_cast<uint8_t>(v[0]), static_cast<uint8_t>(v[1]),
                                 static_cast<uint16_t>(v[2]), static_cast<uint16_t>(v[3]),
                                 static_cast<uint16_t>(v[4]), static_cast<uint16_t>(v[5])};
    } else if (key == "sequence") {
        if (!numbers(2, 0xFFFFFFFFul)) return bad("two values expected");
        SetSequenceHeader(static_cast<uint32_t>(v[0]), static_cast<uint32_t>(v[1]));
    } else if (key == "send") {
        if (!numbers(2, 0xFFFFFFFFul) || v[0] >= kSequenceNodes) return bad("index 0-253 and value expected");
        m_sendSequence[v[0]] = static_cast<uint32_t>(v[1]);
    } else if (key == "receive") {
        if (!numbers(4, 0xFFFFFFFFul) || v[0] >= kSequenceNodes) return bad("index 0-253 and three values expected");
        m_receiveSequence[v[0]] = ReceiveSequence{static_cast<uint32_t>(v[1]), static_cast<uint32_t>(v[2]),
                                                       static_cast<uint32_t>(v[3])};
    } else if (key == "history") {
        std::vector<uint8_t> time;
        unsigned long code = 0, detail = 0;
        if (tok.size() != 3 || !ParseNumber(tok[0], 0xFFFF, &code) || !ParseNumber(tok[1], 0xFFFF, &detail) ||
            !ParseHexBytes(tok[2], &time) || time.size() != 6)
            return bad("error code, detail and 12 hex digits of time expected");
        HistoryEntry e;
        e.errorCode = static_cast<uint16_t>(code);
        e.detail = static_cast<uint16_t>(detail);
        std::copy(time.begin(), time.end(), e.time.begin());
        if (!AddHistory(e)) return bad("more than 64 history records");
    } else if (key == "block") {
        std::vector<uint8_t> bytes;
        unsigned long offset = 0;
        if (tok.size() != 2 || !ParseNumber(tok[0], kBlockSize, &offset) || !ParseHexBytes(tok[1], &bytes) ||
            bytes.size() > kBlockSize - offset)
            return bad("offset and hex bytes within the settings block expected");
        std::copy(bytes.begin(), bytes.end(), m_block.begin() + static_cast<long>(offset));
    } else if (key == "memory") {
        uint8_t area = 0;
        unsigned long address = 0;
        if (tok.size() < 3 || !AreaType::CodeFromName(tok[0], area) ||
            !ParseNumber(tok[1], static_cast<unsigned long>(AreaType::AreaEnd(area)), &address))
            return bad("area name, address and words expected");
        for (size_t i = 2; i < tok.size(); ++i) {
            unsigned long word = 0;
            if (!ParseNumber(tok[i], 0xFFFF, &word) ||
                !WriteWord(area, static_cast<int>(address + i - 2), static_cast<uint16_t>(word)))
                return bad("word value or address out of range");
        }
    } else {
        return bad("unknown key \"" + key + "\"");
    }
    return true;
}

std::string CUnitSimulator::StateText() const {
    std::ostringstream out;
    out << "# linksmith-unitsim state\n";
    out << "unit " << m_unitNumber << "\n";
    out << "protected " << (m_protected ? 1 : 0) << "\n";
    out << "model " << m_model << "\n";
    out << "version " << m_version << "\n";
    out << "ipaddress " << int(m_unitIp[0]) << '.' << int(m_unitIp[1]) << '.' << int(m_unitIp[2]) << '.'
        << int(m_unitIp[3]) << "\n";
    out << "vendor " << m_vendor << "\n";
    out << "modelname " << m_modelName << "\n";
    out << "protocol " << int(m_protocol) << "\n";
    std::string name(m_nodeName.begin(), m_nodeName.end());
    while (!name.empty() && name.back() == ' ') name.pop_back();
    out << "nodename " << name << "\n";
    out << "tokenwatchdog " << m_tokenWatchdog << "\n";
    out << "minframeinterval " << m_minFrameInterval << "\n";
    out << "unitareaword " << Hex(m_unitAreaWord, 4) << "\n";
    out << "errorstatus " << Hex(m_errorStatus, 4) << "\n";
    std::string nodes;
    for (int n = 0; n < 256; ++n)
        if (m_participation[static_cast<size_t>(n)]) nodes += " " + std::to_string(n);
    if (!nodes.empty()) out << "participate" << nodes << "\n";
    for (int n = 1; n < 256; ++n)
        if (m_nodeStatus[static_cast<size_t>(n)]) out << "nodestatus " << n << " " << int(m_nodeStatus[static_cast<size_t>(n)]) << "\n";
    for (int n = 0; n < 256; ++n) {
        const NodeInfo& i = m_nodeInfo[static_cast<size_t>(n)];
        if (i.completion == 0 && i.state1 == 0 && i.state2 == 0 && i.errorCode == 0 && i.tokenWatchdog == 0 &&
            i.frameInterval == 0 && i.refreshAllowed == 0 && i.localState == 0 && i.area1Start == 0 &&
            i.area1Size == 0 && i.area2Start == 0 && i.area2Size == 0)
            continue;
        out << "nodeinfo " << n << ' ' << int(i.completion) << ' ' << int(i.state1) << ' ' << int(i.state2) << ' '
            << int(i.errorCode) << ' ' << int(i.tokenWatchdog) << ' ' << int(i.frameInterval) << ' '
            << i.refreshAllowed << ' ' << int(i.localState) << ' ' << i.area1Start << ' ' << i.area1Size << ' '
            << i.area2Start << ' ' << i.area2Size << "\n";
    }
    out << "cycle " << int(m_cycle.tokenNode) << ' ' << int(m_cycle.frameInterval) << ' ' << m_cycle.refreshAllowed
        << ' ' << m_cycle.refreshCurrent << ' ' << m_cycle.refreshMaximum << ' ' << m_cycle.refreshMinimum << "\n";
    out << "sequence " << m_sequenceVersion << ' ' << m_sequenceSend1toN << "\n";
    for (int i = 0; i < kSequenceNodes; ++i)
        if (m_sendSequence[static_cast<size_t>(i)]) out << "send " << i << ' ' << m_sendSequence[static_cast<size_t>(i)] << "\n";
    for (int i = 0; i < kSequenceNodes; ++i) {
        const ReceiveSequence& r = m_receiveSequence[static_cast<size_t>(i)];
        if (r.version || r.oneToN || r.oneToOne)
            out << "receive " << i << ' ' << r.version << ' ' << r.oneToN << ' ' << r.oneToOne << "\n";
    }
    for (const auto& h : m_history)
        out << "history " << Hex(h.errorCode, 4) << ' ' << Hex(h.detail, 4) << ' ' << HexBytes(h.time.data(), 6) << "\n";
    for (size_t at = 0; at < m_block.size(); at += 32) {
        size_t n = std::min<size_t>(32, m_block.size() - at);
        bool zero = true;
        for (size_t i = 0; i < n; ++i) zero = zero && m_block[at + i] == 0;
        if (!zero) out << "block " << at << ' ' << HexBytes(&m_block[at], n) << "\n";
    }
    for (const auto& bank : m_memory) {
        std::string name = AreaType::NameFromCode(bank.first);
        for (size_t a = 0; a < bank.second.size(); ++a) {
            if (bank.second[a] == 0 || IsStatusWord(bank.first, static_cast<int>(a))) continue;
            out << "memory " << name << ' ' << a << ' ' << Hex(bank.second[a], 4) << "\n";
        }
    }
    return out.str();
}
