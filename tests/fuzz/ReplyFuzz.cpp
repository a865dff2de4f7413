// Every reply decoder of the transfer and status commands, driven through the communication
// object by a middleware whose answers come from the simulated unit and are then bent by the
// fuzz bytes: end codes, replaced, cut or flipped data, failed completions, refused sends.
// What must hold: no crash, no node count past 128, and a sequence reports success without a
// message or failure with exactly one.
//
// Input: op byte, configuration byte, then per command one control byte and its operands.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "comm/CommuProcess.h"
#include "comm/DeviceString.h"
#include "comm/SettingsBlock.h"
#include "comm/StatusReplies.h"
#include "sim/UnitSimulator.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {

class CInput {
public:
    CInput(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}
    bool Empty() const { return m_at >= m_size; }
    uint8_t Byte() { return m_at < m_size ? m_data[m_at++] : 0; }
    uint16_t Word() { return static_cast<uint16_t>((Byte() << 8) | Byte()); }
    std::vector<uint8_t> Bytes(size_t n) {
        n = std::min(n, m_size - std::min(m_at, m_size));
        std::vector<uint8_t> out(m_data + m_at, m_data + m_at + n);
        m_at += n;
        return out;
    }
    std::vector<uint8_t> Rest() { return Bytes(m_size); }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_at = 0;
};

uint16_t Get16Host(const uint8_t* p) {
    uint16_t v;
    std::memcpy(&v, p, 2);
    return v;
}
void Put16Host(uint8_t* p, uint16_t v) { std::memcpy(p, &v, 2); }

// Calls back before SendCommand returns, which the communication object allows. Reads are
// answered by the shared unit; the first write copies it, so every input starts alike.
class CFuzzMiddleware : public IMiddleware {
public:
    CFuzzMiddleware(CUnitSimulator& shared, CInput& input) : m_unit(&shared), m_input(input) {}

    uint16_t Initialize() override { return Mw::kOk; }
    void Shutdown() override {}
    uint16_t OpenProject(void*, MemoryStorage*, const std::string&, int, uint16_t* project) override {
        *project = 1;
        return Mw::kOk;
    }
    uint16_t GetProjectFilePath(uint16_t, std::string* path) override {
        path->clear();
        return Mw::kOk;
    }
    void CloseProject(uint16_t) override {}
    uint16_t EnumDeviceTypes(EnumDeviceCallback, void*) override { return Mw::kOk; }
    uint16_t SetOfferedDeviceTypes(const std::string&) override { return Mw::kOk; }
    uint16_t AddPlcEntry(uint16_t, const std::string&, const std::string&, const std::string&, std::string*) override {
        return Mw::kOk;
    }
    uint16_t RemovePlcEntry(uint16_t, const std::string&) override { return Mw::kOk; }
    uint16_t EditPlcEntry(uint16_t, const std::string&, const std::string&, std::string*, std::string*) override {
        return Mw::kOk;
    }
    uint16_t OpenPlc(uint16_t, const std::string&, int, uint16_t* plc) override {
        *plc = 1;
        return Mw::kOk;
    }
    void ClosePlc(uint16_t) override {}
    std::string ReadDeviceValue(const std::string& deviceString, const std::string& section,
                                const std::string& key) override {
        CDeviceString d;
        return d.Parse(deviceString) ? d.Get(section, key) : std::string();
    }
    uint16_t WriteDeviceValue(std::string*, const std::string&, const std::string&, const std::string&) override {
        return Mw::kOk;
    }
    uint16_t AllocateBlock(int initialSize, int, uint32_t* block, uint8_t** address) override {
        auto& b = m_blocks[++m_next];
        b.assign(static_cast<size_t>(initialSize), 0);
        *block = m_next;
        *address = b.data();
        return Mw::kOk;
    }
    uint16_t SizeBlock(int, size_t dataLength, int, uint32_t block, uint8_t** address) override {
        if (dataLength > Mw::kMaxCommandData) return Mw::kBlockTooLarge;
        auto& b = m_blocks.at(block);
        if (b.size() < CommandBlock::kData + dataLength) b.resize(CommandBlock::kData + dataLength);
        *address = b.data();
        return Mw::kOk;
    }
    void FreeBlock(uint32_t block) override { FUZZ_CHECK(m_blocks.erase(block) == 1); }

    uint16_t SendCommand(uint16_t, uint16_t kind, uint32_t block, int, CompletionCallback callback,
                         void* context) override {
        const std::vector<uint8_t>& b = m_blocks.at(block);
        ZephRequest request;
        request.command = Get16Host(&b[CommandBlock::kCommand]);
        request.selector = Get16Host(&b[CommandBlock::kSelector]);
        size_t length = Get16Host(&b[CommandBlock::kDataLength]);
        FUZZ_CHECK(CommandBlock::kData + length <= b.size());
        request.data.assign(b.begin() + CommandBlock::kData, b.begin() + static_cast<long>(CommandBlock::kData + length));
        ++sent;

        const uint16_t c = request.command;
        if (!m_own && (c == 0x0221 || c == 0x2912 || c == 0x2914 || c == 0x2103)) {
            m_copy = *m_unit;
            m_unit = &m_copy;
            m_own = true;
        }
        ZephReply reply = m_unit->Execute(request);
        uint16_t status = Mw::kOk;
        switch (m_input.Empty() ? 0 : m_input.Byte() & 7) {
        case 1: reply.endCode = m_input.Word(); break;
        case 2: reply.data = m_input.Bytes(m_input.Word() & 0x0FFF); break;
        case 3: reply.data.resize(std::min<size_t>(reply.data.size(), m_input.Word())); break;
        case 4: status = static_cast<uint16_t>(Mw::kFailed | m_input.Byte()); break;
        case 5: return Mw::kSendFailed;
        case 6: {
            size_t at = m_input.Word();
            uint8_t flip = m_input.Byte();
            if (at < reply.data.size()) reply.data[at] ^= flip;
            break;
        }
        case 7: reply.data.resize(reply.data.size() + m_input.Byte(), m_input.Byte()); break;
        default: break;
        }
        std::vector<uint8_t> result(CommandResult::kData + reply.data.size(), 0);
        Put16Host(&result[CommandResult::kCommand], request.command);
        Put16Host(&result[CommandResult::kEndCode], reply.endCode);
        Put16Host(&result[CommandResult::kDataLength], static_cast<uint16_t>(reply.data.size()));
        if (!reply.data.empty()) std::memcpy(&result[CommandResult::kData], reply.data.data(), reply.data.size());
        callback(0, kind, result.data(), status, context);
        return Mw::kOk;
    }

    int sent = 0;

private:
    CUnitSimulator* m_unit;
    CUnitSimulator m_copy;
    bool m_own = false;
    CInput& m_input;
    std::map<uint32_t, std::vector<uint8_t>> m_blocks;
    uint32_t m_next = 0;
};

// A unit with a mapping table of nodes records in its settings block and a full history.
std::string UnitState(int nodes, bool extensionMethod) {
    SettingsImage image;
    std::memset(&image, 0, sizeof image);
    image.systemFlags = static_cast<uint16_t>(0x0080 | (extensionMethod ? 1 : 0));
    image.mappingTableMethod = extensionMethod ? 1 : 0;
    image.ipAddressMethod = 2;
    const uint8_t mask[4] = {255, 255, 255, 0}, ip[4] = {192, 168, 250, 1};
    std::memcpy(image.subnetMask, mask, 4);
    std::memcpy(image.ipAddress, ip, 4);
    image.localArea1Type = 0xB0;
    image.localArea2Type = 0x82;
    image.localArea1Size = 4;
    for (int i = 0; i < nodes; ++i) {
        image.entries[i] = MappingEntry{static_cast<uint16_t>(i + 2), static_cast<uint16_t>(i & 1), 2,
                                        static_cast<uint16_t>(4 + 2 * i), 8, static_cast<uint16_t>(8 * i)};
    }
    std::vector<uint8_t> block = CSettingsBlock::Encode(image, nodes);
    std::string text =
        "unit 0\nnodename LINE-1\nparticipate 1 2 3 4 200\nnodestatus 1 10\nnodestatus 2 11\nerrorstatus 0x0042\n"
        "nodeinfo 2 0 1 0 0 50 10 50 1 0 16 0 0\nnodeinfo 3 1 1 0 0 50 10 50 1 16 16 0 0\nsequence 1 1200\n"
        "send 0 1200\nsend 253 7\nreceive 1 1 1180 4\nreceive 253 1 1175 2\n";
    char line[128];
    for (int i = 0; i < 64; ++i) {
        std::snprintf(line, sizeof line, "history 0x%04x 0x%04x 2612070400%02d\n", 0x0200 + i % 5, i, i % 60);
        text += line;
    }
    for (size_t at = 0; at < block.size(); at += 32) {
        std::snprintf(line, sizeof line, "block %zu ", at);
        text += line;
        for (size_t i = at; i < block.size() && i < at + 32; ++i) {
            std::snprintf(line, sizeof line, "%02x", block[i]);
            text += line;
        }
        text += "\n";
    }
    return text;
}

CUnitSimulator& Shared(int which) {
    static struct Units {
        CUnitSimulator unit[4];
        Units() {
            const int nodes[4] = {3, 128, 40, 0};
            for (int i = 0; i < 4; ++i) {
                std::string error;
                FUZZ_CHECK(unit[i].LoadStateText(UnitState(nodes[i], i % 2 == 1 || i == 2), &error));
            }
        }
    } units;
    return units.unit[which & 3];
}

void CheckRecord(const CUnitSettings& s, const CCommuProcess& c) {
    FUZZ_CHECK(c.m_nodeCount >= 0 && c.m_nodeCount <= kMaxMappingEntries);
    for (const SettingsImage* im : {&s.pc, &s.plc}) {
        FUZZ_CHECK(im->entryCount <= kMaxMappingEntries);
        FUZZ_CHECK(im->faLinkNodeCount <= kMaxMappingEntries);
        FUZZ_CHECK(std::memchr(im->nodeName, 0, sizeof im->nodeName) != nullptr);
        FUZZ_CHECK(std::memchr(im->modelName, 0, sizeof im->modelName) != nullptr);
        FUZZ_CHECK(std::memchr(im->softwareVersion, 0, sizeof im->softwareVersion) != nullptr);
        FUZZ_CHECK(std::memchr(im->vendorName, 0, sizeof im->vendorName) != nullptr);
        FUZZ_CHECK(std::memchr(im->protocolVersion, 0, sizeof im->protocolVersion) != nullptr);
    }
    FUZZ_CHECK(s.status.historyInReply <= kMaxHistoryRecords);
    FUZZ_CHECK(c.m_sequenceIndex >= 0 && c.m_sequenceIndex <= 7);
}

// The decoders on their own with any parameters: they refuse what does not fit.
void DirectDecoders(uint8_t op, CInput& in) {
    SettingsImage image;
    std::memset(&image, 0, sizeof image);
    StatusArea status;
    std::memset(&status, 0, sizeof status);
    const uint8_t a = in.Byte(), b = in.Byte();
    std::vector<uint8_t> d = in.Rest();
    const uint8_t* p = d.empty() ? nullptr : d.data();
    switch (op) {
    case 0: (void)CSettingsBlock::DecodeRecords(p, d.size(), static_cast<int8_t>(a), static_cast<int8_t>(b), a & 1, image); break;
    case 1: (void)CStatusReplies::DecodeMessageSequence(a, static_cast<int8_t>(b), p, d.size(), status); break;
    case 2: (void)CStatusReplies::DecodeHistory(static_cast<uint16_t>((a << 8) | b), p, d.size(), status); break;
    case 3: {
        std::vector<CSettingsBlock::Chunk> chunks = CSettingsBlock::ReadChunks(static_cast<int8_t>(a), b * 8);
        int records = 0;
        for (const auto& c : chunks) records += c.records;
        FUZZ_CHECK(chunks.empty() || records == static_cast<int8_t>(a) || static_cast<int8_t>(a) < 0);
        std::vector<uint8_t> block = CSettingsBlock::Encode(image, a);
        for (const auto& c : CSettingsBlock::WriteChunks(block.size(), b * 8)) {
            std::vector<uint8_t> w = CSettingsBlock::ExtensionWriteData(block, c);
            FUZZ_CHECK(w.size() == 4u + c.count);
        }
        break;
    }
    default: break;
    }
    FUZZ_CHECK(image.entryCount == 0);
    FUZZ_CHECK(status.historyInReply <= kMaxHistoryRecords);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CInput in(data, size);
    const uint8_t op = in.Byte() % 16;
    const uint8_t config = in.Byte();
    if (op >= 12) {
        DirectDecoders(static_cast<uint8_t>(op - 12), in);
        return 0;
    }

    CFuzzMiddleware middleware(Shared(config & 3), in);
    CUnitSettings settings;
    RecordingPrompter prompter;
    CCommuProcess comm(settings, prompter, middleware);
    static const char* const kFrames[4] = {"", "1004", "200", "40"};
    if (config & 0x0C)
        comm.SetDirectDeviceString(std::string("[DEV]DEV:VR4H;[NET]FRAME:") + kFrames[(config >> 2) & 3] + ";");
    comm.m_mapMethod = (config >> 4) & 1;
    // The PC side's table for a write and a verify.
    const int entries = (config >> 5) * 18 + (config >> 7) * 2;
    for (int i = 0; i < entries && i < kMaxMappingEntries; ++i)
        settings.pc.entries[i] = MappingEntry{static_cast<uint16_t>(i + 2), 0, 2, static_cast<uint16_t>(2 * i), 0, 0};
    settings.pc.entryCount = static_cast<uint32_t>(std::min(entries, kMaxMappingEntries));

    bool ok = false;
    switch (op) {
    case 0: ok = comm.ReadUnitFromPlc(); break;
    case 1: ok = comm.VerifyUnitWithPlc(); break;
    case 2: ok = comm.WriteUnitToPlc(); break;
    case 3: ok = comm.ReadControllerData(); break;
    case 4: ok = comm.ReadDataLinkStatus(); break;
    case 5: ok = comm.ReadNetworkStatus(); break;
    case 6: ok = comm.ReadErrorStatusWord(); break;
    case 7: ok = comm.ReadNodeInformation(in.Byte()); break;
    case 8: ok = comm.ReadCycleTime(); break;
    case 9: ok = comm.ReadMessageSequence(); break;
    case 10: ok = comm.ReadErrorHistory(); break;
    default: ok = comm.ClearErrorHistory(); break;
    }
    FUZZ_CHECK(middleware.sent > 0);
    if (ok)
        FUZZ_CHECK(prompter.shown.empty());
    else
        FUZZ_CHECK(prompter.shown.size() == 1);
    CheckRecord(settings, comm);
    if (op == 1 && ok) FUZZ_CHECK(comm.m_verifyResult.Count() <= CVerifyResult::kMaxRows);
    return 0;
}
